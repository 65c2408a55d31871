#include "balance/card_balance_row.h"

#include "balance/balance_rules.h"

#include <QCoreApplication>

namespace balance
{

QVector<QString> widened_stored_values(int format_version, int position, const QString &text)
{
    if (format_version > last_eight_value_version)
        return {text};
    switch (position) {
    case balance_pos::required:
        return {text, QStringLiteral("0"), text};
    case balance_pos::internal_cover:
    case balance_pos::staff:
        return {};
    default:
        return {text};
    }
}

CardBalanceRow stored_balance_row(const QVector<QString> &rows, int row)
{
    const auto v = [&](int position) { return rows.at(row * balance_pos::row_size + position); };
    return {v(balance_pos::kind_code),  v(balance_pos::category_word), v(balance_pos::position_code),
            v(balance_pos::facet_code), v(balance_pos::actual),        v(balance_pos::leaving_by_mob),
            v(balance_pos::reserved),   v(balance_pos::required),      v(balance_pos::staff)};
}

QVector<QString> stored_values_from_table(const BalanceRow &row, bool for_task)
{
    QVector<QString> v(balance_pos::row_size);
    v[balance_pos::kind_code] = row.cells[col_kind_code];
    v[balance_pos::category_word] = row.cells[col_category];
    v[balance_pos::position_code] = row.cells[col_code];
    v[balance_pos::facet_code] = row.cells[col_facet_code];
    v[balance_pos::actual] = row.cells[col_fact];
    v[balance_pos::leaving_by_mob] = row.cells[col_mp];
    v[balance_pos::reserved] = row.cells[col_bron];
    v[balance_pos::required] = row.cells[for_task ? col_treb : col_shtat];
    v[balance_pos::staff] = row.cells[col_shtat];
    return v;
}

QString invalid_code_text()
{
    return QCoreApplication::translate("Widget", "!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!");
}

QVariant figure_cell(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? QVariant(value) : QVariant(text);
}

TableRowFromCard table_row_from_card(const CardBalanceRow &row, const CardRowNames &names, bool for_task)
{
    TableRowFromCard out;
    auto &cells = out.identity;
    cells.append({col_kind_code, row.kind_code});
    bool ok = false;
    const int kind = row.kind_code.toInt(&ok, 10);
    if (ok && kind >= 2 && kind <= 4)
        cells.append({col_kind, kind_word(kind)});
    cells.append({col_category, row.category_word});
    const int category = category_code(row.category_word);
    if (category != 0)
        cells.append({col_cat_code, category});
    cells.append({col_code, row.position_code});
    const QString name = names.positions.value(row.position_code);
    out.invalid_code = name.isEmpty();
    cells.append({col_name, out.invalid_code ? invalid_code_text() : name});
    if (!row.facet_code.isEmpty()) {
        cells.append({col_facet_code, row.facet_code});
        if (names.facets.contains(row.facet_code))
            cells.append({col_facet, names.facets.value(row.facet_code)});
    }
    cells.append({col_key, row_key(row.kind_code, category != 0 ? QString::number(category) : QString(),
                                   row.position_code, row.facet_code)});

    auto &figures = out.figures;
    figures.append({col_fact, figure_cell(row.actual)});
    figures.append({col_mp, figure_cell(row.leaving_by_mob)});
    figures.append({col_bron, figure_cell(row.reserved)});
    if (for_task)
        figures.append({col_treb, figure_cell(row.required)});
    figures.append({col_vnutr_ist, 0});
    figures.append({col_shtat, figure_cell(row.staff)});
    return out;
}

} // namespace balance
