#pragma once

// A balance row as a card file stores it, turned into the cells of the balance table.

#include <QHash>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

namespace balance
{

// The values of one stored row that the table takes.
struct CardBalanceRow {
    QString kind_code;
    QString category_word;
    QString position_code;
    QString facet_code;
    QString actual;
    QString leaving_by_mob;
    QString reserved;
    QString required; // the mobilisation-task staff, taken only when that column is shown
    QString staff;
};

// Names the card does not store, by code.
struct CardRowNames {
    QHash<QString, QString> positions;
    QHash<QString, QString> facets;
};

// What a stored row writes into a fresh table row.
struct TableRowFromCard {
    // Code, word, name and key cells: written quietly, in this order, over a fresh row's defaults.
    QVector<QPair<int, QVariant>> identity;
    // Figure cells: written one by one, each with its arithmetic, in this order.
    QVector<QPair<int, QVariant>> figures;
    // The position code is not in the classifier: its name cell holds invalid_code_text().
    bool invalid_code = false;
};

// Name cell of a position code the classifier no longer holds.
QString invalid_code_text();

// A stored figure as a table cell: a whole number as an int, other text as it is.
QVariant figure_cell(const QString &text);

// The kind word is written for kind codes 2..4 only (a fresh row says kind 1 already), the category
// code only for a known category word, the facet only when the row has one.
TableRowFromCard table_row_from_card(const CardBalanceRow &row, const CardRowNames &names, bool for_task);

} // namespace balance
