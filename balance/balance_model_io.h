#pragma once

// Moves balance rows between the 21-column item model and the plain rows of balance_rules.h.

#include "balance/balance_rules.h"

class QStandardItem;
class QStandardItemModel;

namespace balance
{

// Display texts and marks of one model row; source_row is set to `row`.
BalanceRow row_from_model(const QStandardItemModel &model, int row);
QVector<BalanceRow> rows_from_model(const QStandardItemModel &model);

// Writes into model row `model_row` every cell and mark of `row` that differs from the model:
// figures of columns 6 to 17 as integers, other cells as text, marks as the red or the
// transparent background. Each write is an ordinary change of the model (dataChanged).
void write_row_to_model(QStandardItemModel &model, int model_row, const BalanceRow &row);

// For each of rows, copies of the cells `like` (one per balance column, null where there is none) written as
// write_row_to_model() writes a model row of such cells: what differs, a missing cell made from the model's
// prototype. The cells are not in the model.
QVector<QList<QStandardItem *>> cells_for_rows(QStandardItemModel &model, const QList<QStandardItem *> &like,
                                               const QVector<BalanceRow> &rows);

// Makes the model hold exactly `rows`, in their order: each row reuses the cell objects of its
// source_row (so their colours, alignment and flags stay), gets the new values written into
// them, and model rows that no row refers to are dropped. Rows move by take and insert, so no
// dataChanged is raised.
void replace_rows_in_model(QStandardItemModel &model, const QVector<BalanceRow> &rows);

// The one sort of the balance table, the import's: the rows taken out, sorted by sort_rows() and given back
// by replace_rows_in_model(). A model already in order is left alone. Returns the former row of each row in
// its new order; empty when nothing moved.
QVector<int> sort_model_rows(QStandardItemModel &model);

} // namespace balance
