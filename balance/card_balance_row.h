#pragma once

// A balance row as a card file stores it, turned into the cells of the balance table.

#include <QHash>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

// Positions within one stored balance row and the table column each comes from.
namespace balance_pos
{

constexpr int kind_code = 0;      // col_kind_code
constexpr int category_word = 1;  // col_category
constexpr int position_code = 2;  // col_code
constexpr int facet_code = 3;     // col_facet_code
constexpr int actual = 4;         // col_fact
constexpr int leaving_by_mob = 5; // col_mp
constexpr int reserved = 6;       // col_bron
constexpr int required = 7;       // col_treb when the mobilisation-task box is checked, else col_shtat
constexpr int internal_cover = 8; // always empty when collected
constexpr int staff = 9;          // col_shtat
constexpr int row_size = 10;

} // namespace balance_pos

namespace balance
{

struct BalanceRow;

// Cards up to this format version stored eight values a balance row: no internal cover and no
// peacetime staff.
constexpr int last_eight_value_version = 14;

// What one stored value at `position` adds to the ten-value rows read from a card of
// `format_version`. For an eight-value card the required figure brings the two values it lacked
// (internal cover 0, peacetime staff equal to the required figure), and elements of those two
// add nothing.
QVector<QString> widened_stored_values(int format_version, int position, const QString &text);

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

// Row `row` of the flat stored rows, which must hold it.
CardBalanceRow stored_balance_row(const QVector<QString> &rows, int row);

// Name cell of a position code the classifier no longer holds.
QString invalid_code_text();

// A stored figure as a table cell: a whole number as an int, other text as it is.
QVariant figure_cell(const QString &text);

// The kind word is written for kind codes 2..4 only (a fresh row says kind 1 already), the category
// code only for a known category word, the facet only when the row has one.
TableRowFromCard table_row_from_card(const CardBalanceRow &row, const CardRowNames &names, bool for_task);

// The stored values of one table row, by balance_pos. The required figure is the mobilisation-task
// staff when that column is shown (`for_task`), else the establishment; the internal cover stays empty.
QVector<QString> stored_values_from_table(const BalanceRow &row, bool for_task);

} // namespace balance
