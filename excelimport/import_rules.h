#pragma once

// What the Excel import does with the cells of a workbook, without widgets: reading blocks of cells into
// plain rows, the look-ups by code, and the outcome rules. The Widget slots only show the boxes and write the
// results into the form.

#include "balance/balance_rules.h"
#include "balance/form6_rules.h"
#include "classifier/classifier_reader.h"
#include "excelimport/workbook.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace xls_import
{

// ---- cells ----

// A cell as an int, as QVariant::toInt() gives it (a number rounds, text converts or gives 0), but a number
// beyond the int range or not finite gives 0 instead of an undefined result.
int cell_int(const QVariant &value);
// A cell as text with every blank taken out (codes).
QString blank_free(const QVariant &value);
// An int read with cell_int, with 0 for anything not above 0.
int positive_or_zero(const QVariant &value);

// ---- refused workbook ----

// The text of the box shown when a workbook cannot be read: the size limit that ran out, or for none that the
// file is damaged, protected or no workbook; either way the import stopped and changed nothing.
QString refused_workbook_text(WorkbookLimit limit);

// ---- first-cell dialog ----

enum class FirstCell {
    import,          // accepted with row and column above 0
    bad_coordinates, // accepted with a 0: "Ошибка 20001!"
    skipped,         // cancelled or closed: the part's skip box
};
FirstCell first_cell_outcome(bool accepted, int row, int column);

// Whether a part may read sheet `sheet` of a workbook with `sheet_count` sheets.
bool sheet_exists(int sheet, int sheet_count);

// ---- Form 6 figures ----

// The cells of one row, as ints; the reserved-staff cells only when the organisation reserves staff.
struct Form6Cells {
    int all = 0;       // c0
    int priziv = 0;    // c0+1
    int of = 0;        // c0+3
    int neof = 0;      // c0+4
    int bron_of = 0;   // c0+6
    int bron_neof = 0; // c0+7
    int mp = 0;        // c0+8
};
Form6Cells read_form6_cells(Workbook &book, int sheet, int row, int column, bool reserving);

// The seven input figures after the import: replace mode starts every figure from 0 (the reserved ones
// too), add mode from the form's values; each cell above 0 is added, sums held at the boxes' maximum.
balance::F6Figures merge_form6(const balance::F6Figures &current, const Form6Cells &cells, bool add_mode,
                               bool reserving);

// ---- balance rows ----

// Worksheet rows read per block at most.
constexpr int balance_block_limit = 2000;

// The first row at or after `first_row` whose code cell is empty as text (blanks count as filled), or 0 when
// none of the block_limit cells is empty.
int balance_block_end(Workbook &book, int sheet, int first_row, int column);

// One worksheet row of the balance block, as read.
struct BalanceSourceRow {
    int sheet_row = 0;
    QString kind_text; // blank-free text of the column before the code; empty when the code is in column 1
    QString code;
    QString facet;
    int shtat = 0; // c0+3
    int fact = 0;  // c0+4
    int mp = 0;    // c0+5
    int bron = 0;  // c0+6
    int treb = 0;  // c0+7
};
QVector<BalanceSourceRow> read_balance_rows(Workbook &book, int sheet, int first_row, int end_row, int column);

// Kind code 2, 3 or 4 for the first letter of a kind text ("в", "b", "и", "d"; "д", "l"; "п", "g" in
// either case); 0 leaves the row's kind as it is.
int kind_code_for_text(const QString &kind_text);

// A classifier looked up by code: the first record of a code in file order wins.
class ClassifierIndex
{
public:
    ClassifierIndex() = default;
    explicit ClassifierIndex(const QVector<ClassifierRecord> &records);
    const ClassifierRecord *find(const QString &code) const;
    int size() const { return by_code.size(); }

private:
    QVector<ClassifierRecord> records;
    QHash<QString, int> by_code;
};

QString unknown_position_marker();
QString unknown_facet_marker();

// What became of one imported row.
struct ImportedBalanceRow {
    balance::BalanceRow row;
    bool unknown_code = false;
    bool unknown_facet = false;
    // The mobilisation staff figure differs from the establishment one: the column is to be shown.
    bool shows_treb = false;
};

// A new table row (as the table's own row operation makes it) filled from one worksheet row: codes and
// names looked up, kind, key, then the figures with the row arithmetic in the order the table runs it
// (6, 8, 9, 11, then 7: its own figure when above 0, else the establishment figure; 15 := 0).
ImportedBalanceRow import_balance_row(const BalanceSourceRow &source, const ClassifierIndex &positions,
                                      const ClassifierIndex &facets, const balance::RowOptions &options);

// ---- reservation tables ----

constexpr int reservation_first_row = 3;
constexpr int reservation_row_limit = 1000;

struct BronRow {
    QString surname; // column 4: an empty cell ends the block
    QString order;   // column 3
};
struct NebronRow {
    int count = 0; // column 1 as a whole number (blanks around it allowed), else 0; an empty cell ends the block
    QString reason;
    QString extra;
};
QVector<BronRow> read_bron_rows(Workbook &book, int sheet);
QVector<NebronRow> read_nebron_rows(Workbook &book, int sheet);

} // namespace xls_import
