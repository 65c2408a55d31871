#pragma once

// Rules of the staff balance table as plain functions over rows: the row arithmetic with its
// ripple from column to column, the totals by staff category, the table check and the merge
// of rows with equal keys. Nothing here touches a widget.

#include <QMetaType>
#include <QString>
#include <QVector>
#include <array>
#include <initializer_list>
#include <utility>

namespace balance
{

// Columns of the balance model.
enum Column {
    col_key = 0,          // kind code + category code + position code + facet code
    col_kind = 1,         // production kind word
    col_category = 2,     // staff category word
    col_code = 3,         // position code
    col_facet = 4,        // facet name
    col_name = 5,         // position name
    col_shtat = 6,        // staff number by the establishment
    col_treb = 7,         // staff number for the mobilisation task
    col_fact = 8,         // actual staff
    col_mp = 9,           // leaving on mobilisation
    col_ubyl = 10,        // natural loss
    col_bron = 11,        // reserved
    col_posle_vybyt = 12, // staff after departures
    col_nekomplekt = 13,  // current shortage
    col_dop_potr = 14,    // additional need after mobilisation
    col_vnutr_ist = 15,   // covered from internal sources
    col_vnesh_ist = 16,   // covered from external sources
    col_izbytok = 17,     // surplus of labour
    col_cat_code = 18,    // category code "1".."4"
    col_facet_code = 19,  // facet code
    col_kind_code = 20,   // production kind code "1".."4"
    column_count = 21
};

// Background mark of a cell as far as the arithmetic is concerned.
enum class Mark {
    none,  // no background of its own (never marked)
    red,   // fault
    clear, // transparent: a mark was cleared
};

// One row of the balance as the display texts of its 21 cells plus the marks.
struct BalanceRow {
    std::array<QString, column_count> cells;
    std::array<Mark, column_count> marks{};
    // Model row this one was read from (-1: none); lets a reordered table keep its cell objects.
    int source_row = -1;

    // The cell as a whole number: empty or non-numeric text gives 0.
    int figure(int column) const;
    bool is_empty(int column) const { return cells[column].isEmpty(); }
    void set_figure(int column, int value) { cells[column] = QString::number(value); }
};

// The key of column 0 built from columns 20, 18, 3 and 19.
QString row_key(const BalanceRow &row);
QString row_key(const QString &kind_code, const QString &category_code, const QString &position_code,
                const QString &facet_code);

// "Руководители" .. "Рабочие" for 1..4, empty otherwise.
QString category_word(int category_code);
// "Основное" .. "Пр.рабочие" for 1..4, empty otherwise.
QString kind_word(int kind_code);
// The codes 1..4 of those words; 0 for any other text.
int category_code(const QString &word);
int kind_code(const QString &word);

// 0.1 % of the actual staff, truncated toward zero.
int natural_loss(int actual_staff);

// Which totals a change made stale.
enum Total : unsigned {
    total_none = 0,
    total_fact = 1u << 0,  // column 8: summ_all
    total_bron = 1u << 1,  // column 11: summ_bron
    total_mp = 1u << 2,    // column 9: summ_mp
    total_vnutr = 1u << 3, // column 15: summ_vnutr_ist
    total_treb = 1u << 4,  // column 7: summ_treb
    total_every = 0x1f,
};

struct RowOptions {
    bool mobilisation_staff_column = false; // checkBox_balance_voenshtat ticked
};

// What the arithmetic did to a row.
struct RowEffects {
    QVector<int> changed_cells; // columns whose value changed, in the order first written
    QVector<int> changed_marks; // columns whose mark changed
    unsigned totals = total_none;

    void merge(const RowEffects &other);
};

// Runs the arithmetic that a change of `column` triggers, as the model's change handler
// does: every write that changes a value or a mark runs the branch of its own column in
// turn, until the row is settled. Column 1 (kind) only moves the cursor, which is the
// caller's business.
RowEffects apply_cell_change(BalanceRow &row, int column, const RowOptions &options);

// Writes `value` into `column` and runs the arithmetic when the value changed.
RowEffects write_figure(BalanceRow &row, int column, int value, const RowOptions &options);
// The (column, value) pairs written in turn as write_figure() writes each, in one pass whose effects are not
// gathered.
void write_figures(BalanceRow &row, std::initializer_list<std::pair<int, int>> figures, const RowOptions &options);

// Column 7 := column 6 in every row, each change with its arithmetic.
RowEffects copy_shtat_to_treb(QVector<BalanceRow> &rows, const RowOptions &options);
// Column 15 := 0 in every row, each change with its arithmetic.
RowEffects clear_vnutr_ist(QVector<BalanceRow> &rows, const RowOptions &options);

// Totals by staff category; rows with a category code other than 1..4 count in none of
// them, the overall one included.
struct CategoryTotals {
    int all = 0;
    int ruk = 0;         // 1 heads
    int specialists = 0; // 2 specialists
    int slug = 0;        // 3 employees
    int rab = 0;         // 4 workers
};

CategoryTotals category_totals(const QVector<BalanceRow> &rows, int column, bool positive_only = false);
inline CategoryTotals summ_all(const QVector<BalanceRow> &rows)
{
    return category_totals(rows, col_fact);
}
inline CategoryTotals summ_bron(const QVector<BalanceRow> &rows)
{
    return category_totals(rows, col_bron);
}
inline CategoryTotals summ_treb(const QVector<BalanceRow> &rows)
{
    return category_totals(rows, col_treb);
}
inline CategoryTotals summ_vnutr_ist(const QVector<BalanceRow> &rows)
{
    return category_totals(rows, col_vnutr_ist, true);
}
// Column 9 over all rows, whatever their category.
int summ_mp(const QVector<BalanceRow> &rows);

// Sort by the text of column 0, ascending and stable, as the item model sorts.
void sort_rows(QVector<BalanceRow> &rows);

// Figures of the form that the table check compares with the table.
struct BalanceCheckFigures {
    int b_all = 0;       // sb_b_all
    int f6_all = 0;      // sb_f6_all
    int b_ruk_bron = 0;  // sb_b_ruk_bron
    int b_spec_bron = 0; // sb_b_spec_bron
    int b_slug_bron = 0; // sb_b_slug_bron
    int b_rab_bron = 0;  // sb_b_rab_bron
    int f6_bron_all = 0; // sb_f6_bron_all
};

// The first fault the table check finds.
enum class BalanceFault {
    none,
    empty_cell,       // a figure cell is empty
    arithmetic,       // leaving by mobilisation and reserved exceed the actual staff
    repeated_key,     // two rows share a key
    actual_total,     // the actual total differs from all working staff
    reserved_total,   // the reserved total differs from the form's reserved figure
    empty_row,        // establishment and actual staff are both 0
    no_code_or_name,  // a row without a position code or with no valid name
    no_establishment, // a row's establishment is 0
    no_rows,          // the table is empty
};

struct BalanceCheckResult {
    BalanceFault fault = BalanceFault::none;
    int duplicate_row = -1;    // repeated_key: 0-based index of the first of the two equal keys
    QString duplicate_text;    // repeated_key: text of the repeated-key box
    QVector<int> vnutr_filled; // rows (sorted order) whose empty column 15 got 0
    bool kol_mir_set = false;  // whether sb_b_kol_mir was recomputed
    int kol_mir = 0;           // its new value
};

// The whole-table check. Sorts `rows` when there are two or more, writes 0 into empty cells
// of column 15 (with their arithmetic), and returns the first fault.
BalanceCheckResult check_balance_table(QVector<BalanceRow> &rows, const BalanceCheckFigures &figures,
                                       const RowOptions &options);

QString duplicate_key_title();
QString duplicate_key_text(int first_row_number, int second_row_number);
// The line of the card's error list for a fault (without its running number); empty for none.
QString balance_fault_text(BalanceFault fault);

struct MergeResult {
    int merged = 0;      // rows folded into others
    bool report = false; // whether the count is shown (two rows or more)
    RowEffects effects;
};

// Sorts the rows and folds every run of equal keys into its first row: column 15 := 0, and
// columns 7, 6, 8, 9 and 11 summed, each write with its arithmetic.
MergeResult summ_same(QVector<BalanceRow> &rows, const RowOptions &options);

QString merge_question_title();
QString merge_question_text();
QString merge_accept_button();
QString merge_skip_button();
QString merge_report_title();
QString merge_report_text(int merged);

} // namespace balance

// Test tables carry faults in their columns.
Q_DECLARE_METATYPE(balance::BalanceFault)
