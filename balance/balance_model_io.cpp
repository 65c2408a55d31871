#include "balance/balance_model_io.h"

#include "balance/card_balance_row.h"

#include <QBrush>
#include <QHash>
#include <QStandardItemModel>
#include <QVector>

#include <algorithm>
#include <array>

namespace balance
{

namespace
{

bool is_figure_column(int column)
{
    return column >= col_shtat && column <= col_izbytok;
}

Mark mark_of(const QVariant &background)
{
    // Most cells hold no background or a brush: neither needs a conversion.
    if (!background.isValid())
        return Mark::none;
    if (background.userType() != QMetaType::QBrush && !background.canConvert<QBrush>())
        return Mark::none;
    const QBrush brush = background.value<QBrush>();
    if (brush.style() == Qt::NoBrush)
        return Mark::none;
    if (brush.color() == QColor(255, 0, 0))
        return Mark::red;
    if (brush.color().alpha() == 0)
        return Mark::clear;
    return Mark::none;
}

QVariant brush_of(Mark mark)
{
    switch (mark) {
    case Mark::red:
        return QBrush(QColor(255, 0, 0));
    case Mark::clear:
        return QBrush(Qt::transparent);
    case Mark::none:
    default:
        return QVariant();
    }
}

QVariant value_of(int column, const QString &text)
{
    return is_figure_column(column) ? figure_cell(text) : QVariant(text);
}

QString text_of(const QStandardItem *item)
{
    return item ? item->data(Qt::DisplayRole).toString() : QString();
}

// Text and mark of `item` into `column` of `row`.
void read_cell(const QStandardItem *item, int column, BalanceRow &row)
{
    row.cells[column] = text_of(item);
    row.marks[column] = item ? mark_of(item->data(Qt::BackgroundRole)) : Mark::none;
}

// What the cells `items` (one per column) hold.
BalanceRow row_of(const QList<QStandardItem *> &items)
{
    BalanceRow row;
    for (int column = 0; column < column_count && column < items.size(); ++column)
        read_cell(items.at(column), column, row);
    return row;
}

// Writes into `item` (made when null) the text and the mark of `row` in `column` that differ from `now`.
void set_cell(QStandardItemModel &model, QStandardItem *&item, int column, const BalanceRow &row, const BalanceRow &now)
{
    const bool text_differs = now.cells[column] != row.cells[column];
    const bool mark_differs = now.marks[column] != row.marks[column];
    if (!text_differs && !mark_differs)
        return;
    if (!item)
        item = model.itemPrototype() ? model.itemPrototype()->clone() : new QStandardItem;
    if (text_differs)
        item->setData(value_of(column, row.cells[column]), Qt::EditRole);
    if (mark_differs)
        item->setData(brush_of(row.marks[column]), Qt::BackgroundRole);
}

// Writes into items what of `row` differs from them.
void set_cells(QStandardItemModel &model, QList<QStandardItem *> &items, const BalanceRow &row)
{
    const BalanceRow now = row_of(items);
    while (items.size() < column_count)
        items.append(nullptr);
    for (int column = 0; column < column_count; ++column)
        set_cell(model, items[column], column, row, now);
}

} // namespace

BalanceRow row_from_model(const QStandardItemModel &model, int row)
{
    BalanceRow result;
    result.source_row = row;
    for (int column = 0; column < column_count && column < model.columnCount(); ++column)
        read_cell(model.item(row, column), column, result);
    return result;
}

QVector<BalanceRow> rows_from_model(const QStandardItemModel &model)
{
    QVector<BalanceRow> rows;
    rows.reserve(model.rowCount());
    for (int r = 0; r < model.rowCount(); ++r)
        rows.append(row_from_model(model, r));
    return rows;
}

void write_row_to_model(QStandardItemModel &model, int model_row, const BalanceRow &row)
{
    if (model_row < 0 || model_row >= model.rowCount())
        return;
    for (int column = 0; column < column_count && column < model.columnCount(); ++column) {
        const QModelIndex index = model.index(model_row, column);
        const QStandardItem *item = model.item(model_row, column);
        if (text_of(item) != row.cells[column])
            model.setData(index, value_of(column, row.cells[column]), Qt::EditRole);
        const Mark current = item ? mark_of(item->data(Qt::BackgroundRole)) : Mark::none;
        if (current != row.marks[column])
            model.setData(index, brush_of(row.marks[column]), Qt::BackgroundRole);
    }
}

QVector<QList<QStandardItem *>> cells_for_rows(QStandardItemModel &model, const QList<QStandardItem *> &like,
                                               const QVector<BalanceRow> &rows)
{
    const BalanceRow now = row_of(like);
    // The first cell written with a text and a mark in a column; later ones alike are its copies.
    std::array<std::array<QHash<QString, const QStandardItem *>, int(Mark::clear) + 1>, column_count> first_written;
    QVector<QList<QStandardItem *>> cells(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const BalanceRow &row = rows.at(i);
        QList<QStandardItem *> &items = cells[i];
        items.reserve(column_count);
        for (int column = 0; column < column_count; ++column) {
            const QStandardItem *cell = like.value(column);
            if (now.cells[column] == row.cells[column] && now.marks[column] == row.marks[column]) {
                items.append(cell ? cell->clone() : nullptr);
                continue;
            }
            const QStandardItem *&first = first_written[column][int(row.marks[column])][row.cells[column]];
            QStandardItem *item = first ? first->clone() : cell ? cell->clone() : nullptr;
            if (!first) {
                set_cell(model, item, column, row, now);
                first = item;
            }
            items.append(item);
        }
    }
    return cells;
}

void replace_rows_in_model(QStandardItemModel &model, const QVector<BalanceRow> &rows)
{
    QVector<QList<QStandardItem *>> taken(model.rowCount());
    for (int r = model.rowCount() - 1; r >= 0; --r)
        taken[r] = model.takeRow(r);

    QVector<bool> used(taken.size(), false);
    for (const BalanceRow &row : rows) {
        QList<QStandardItem *> items;
        if (row.source_row >= 0 && row.source_row < taken.size() && !used[row.source_row]) {
            items = taken[row.source_row];
            used[row.source_row] = true;
        }
        set_cells(model, items, row);
        model.appendRow(items);
    }
    for (int r = 0; r < taken.size(); ++r)
        if (!used[r])
            qDeleteAll(taken[r]);
}

QVector<int> sort_model_rows(QStandardItemModel &model)
{
    QVector<BalanceRow> rows = rows_from_model(model);
    sort_rows(rows);
    QVector<int> moved_from;
    moved_from.reserve(rows.size());
    for (const BalanceRow &row : qAsConst(rows))
        moved_from.append(row.source_row);
    if (std::is_sorted(moved_from.cbegin(), moved_from.cend()))
        return {};
    replace_rows_in_model(model, rows);
    return moved_from;
}

} // namespace balance
