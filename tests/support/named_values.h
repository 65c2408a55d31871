#pragma once

// Test values placed by named position: a balance column (balance::col_*), a main list slot (card_slot::*) or a
// reservation table column (bron_pos::, nebron_pos::), so that no test spells a position as a bare number.

#include <QAbstractItemModel>
#include <QPair>
#include <QStringList>
#include <QVector>

namespace test_support
{

// {position, value} pairs, e.g. {{balance::col_fact, "5"}, {balance::col_mp, "1"}}.
using NamedValues = QVector<QPair<int, QString>>;

// The values alone, in the order given.
inline QStringList values_of(const NamedValues &named)
{
    QStringList out;
    for (const auto &n : named)
        out << n.second;
    return out;
}

// The texts of a model row at the named columns, in the order given.
inline QStringList row_texts(const QAbstractItemModel *model, int row, const NamedValues &named)
{
    QStringList out;
    for (const auto &n : named)
        out << model->index(row, n.first).data().toString();
    return out;
}

// The list's values at the named positions, in the order given; past its end, empty.
inline QStringList list_texts(const QVector<QString> &list, const NamedValues &named)
{
    QStringList out;
    for (const auto &n : named)
        out << list.value(n.first);
    return out;
}

// Writes the named cells of a model row.
inline void set_row(QAbstractItemModel *model, int row, const NamedValues &named)
{
    for (const auto &n : named)
        model->setData(model->index(row, n.first), n.second, Qt::EditRole);
}

// Writes the named positions of a list.
inline void set_list(QVector<QString> &list, const NamedValues &named)
{
    for (const auto &n : named)
        list[n.first] = n.second;
}

} // namespace test_support
