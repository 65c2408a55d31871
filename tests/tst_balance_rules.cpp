#include "balance/balance_model_io.h"
#include "balance/balance_rules.h"
#include "balance/card_balance_row.h"
#include "balance/form6_rules.h"
#include "balance/row_fault_boxes.h"
#include "tests/support/core_test_support.h"
#include "tests/support/named_values.h"

#include <QStandardItemModel>
#include <limits>

using namespace balance;

Q_DECLARE_METATYPE(QVector<balance::BalanceRow>)

using Cells = test_support::NamedValues; // column -> cell text
Q_DECLARE_METATYPE(Cells)

namespace
{

const int E = -1; // an empty cell in make_row

// A row as the position picker makes it, with the input figures (E leaves a cell empty).
BalanceRow make_row(const QString &kind, const QString &category, const QString &code, const QString &name, int shtat,
                    int treb, int fact, int mp, int bron, int vnutr = 0)
{
    BalanceRow row;
    row.cells[col_kind_code] = kind;
    row.cells[col_cat_code] = category;
    row.cells[col_code] = code;
    row.cells[col_name] = name;
    row.cells[col_key] = kind + category + code;
    const QPair<int, int> inputs[] = {{col_shtat, shtat}, {col_treb, treb}, {col_fact, fact},
                                      {col_mp, mp},       {col_bron, bron}, {col_vnutr_ist, vnutr}};
    for (const auto &p : inputs)
        if (p.second != E)
            row.set_figure(p.first, p.second);
    return row;
}

BalanceRow good_row(const QString &code, int fact = 10)
{
    return make_row("1", "2", code, QStringLiteral("Инженер"), 10, 10, fact, 0, 0);
}

BalanceRow empty_row()
{
    return make_row("1", "2", "100", "a", E, E, E, E, E, E);
}

// Columns by the name after "col_", as the edit strings below give them.
int column_named(const QString &name)
{
    static const QHash<QString, int> columns{
        {"key", col_key},
        {"kind", col_kind},
        {"category", col_category},
        {"code", col_code},
        {"facet", col_facet},
        {"name", col_name},
        {"shtat", col_shtat},
        {"treb", col_treb},
        {"fact", col_fact},
        {"mp", col_mp},
        {"ubyl", col_ubyl},
        {"bron", col_bron},
        {"posle_vybyt", col_posle_vybyt},
        {"nekomplekt", col_nekomplekt},
        {"dop_potr", col_dop_potr},
        {"vnutr_ist", col_vnutr_ist},
        {"vnesh_ist", col_vnesh_ist},
        {"izbytok", col_izbytok},
        {"cat_code", col_cat_code},
        {"facet_code", col_facet_code},
        {"kind_code", col_kind_code},
    };
    const int column = columns.value(name, -1);
    if (column < 0)
        qFatal("no column named %s", qPrintable(name));
    return column;
}

// "fact=7;mp=2;shtat=10": edits typed one after the other, each followed by its arithmetic.
void type_edits(BalanceRow &row, const QString &edits, const RowOptions &options = RowOptions())
{
    for (const QString &edit : edits.split(';', Qt::SkipEmptyParts)) {
        const QStringList parts = edit.split('=');
        const int column = column_named(parts[0]);
        row.cells[column] = parts[1];
        apply_cell_change(row, column, options);
    }
}

// "treb=10;nekomplekt=;!vnutr_ist=clear": expected cell texts and marks (!column: red, clear or none).
void verify_row(const BalanceRow &row, const QString &expected)
{
    for (const QString &item : expected.split(';', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split('=');
        if (parts[0].startsWith('!')) {
            const Mark mark = parts[1] == "red" ? Mark::red : parts[1] == "clear" ? Mark::clear : Mark::none;
            QVERIFY2(row.marks[column_named(parts[0].mid(1))] == mark, qPrintable("mark of " + parts[0]));
        } else {
            const int column = column_named(parts[0]);
            QVERIFY2(row.cells[column] == parts[1],
                     qPrintable(QString("%1: %2, expected %3").arg(parts[0], row.cells[column], parts[1])));
        }
    }
}

} // namespace

class BalanceRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void row_arithmetic_data();
    void row_arithmetic();
    void derived_columns_trigger_nothing();
    void category_totals_data();
    void category_totals();
    void sums_saturate_instead_of_wrapping();
    void form6_rules_data();
    void form6_rules();
    void form6_derived_boxes_are_clamped();
    void management_sphere_data();
    void management_sphere();
    void card_row_data();
    void card_row();
    void widened_values_data();
    void widened_values();
    void merge_data();
    void merge();
    void merge_recomputes_kept_row();
    void merge_refreshes_shortage_when_column_7_is_unchanged();
    void model_round_trip();
    void row_fault_boxes_data();
    void row_fault_boxes();
};

void BalanceRulesTest::row_arithmetic_data()
{
    QTest::addColumn<bool>("mobilisation_column");
    QTest::addColumn<QString>("edits_and_expected");
    QTest::newRow("worked example, staff copied to the task column")
        << false
        << "fact=7;mp=2;shtat=10 > "
           "treb=10;ubyl=0;nekomplekt=3;posle_vybyt=8;dop_potr=2;vnesh_ist=2;izbytok=0;vnutr_ist=;!vnutr_ist=clear";
    QTest::newRow("natural loss truncates") << false << "fact=1999 > ubyl=1";
    QTest::newRow("actual staff empty: nothing derived")
        << true << "shtat=10 > posle_vybyt=;nekomplekt=;dop_potr=;treb=";
    QTest::newRow("actual staff afterwards") << true << "shtat=10;fact=4 > nekomplekt=6;posle_vybyt=10;dop_potr=";
    QTest::newRow("mobilisation column typed")
        << true
        << "shtat=10;fact=12;mp=3;treb=20 > nekomplekt=0;posle_vybyt=9;dop_potr=11;vnesh_ist=11;izbytok=0;treb=20";
    QTest::newRow("surplus of labour")
        << false << "fact=20;mp=2;shtat=5 > treb=5;izbytok=13;nekomplekt=0;posle_vybyt=18;dop_potr=0";
    QTest::newRow("departures plus reserved above actual")
        << false << "fact=5;mp=3;bron=3 > !fact=red;!mp=red;!bron=red;!vnutr_ist=none";
    QTest::newRow("mark cleared again") << false << "fact=5;mp=3;bron=3;bron=2 > !fact=clear;!mp=clear;!bron=clear";
    QTest::newRow("no additional need forces internal sources to 0")
        << true << "vnutr_ist=4;shtat=5;fact=5;treb=3 > dop_potr=0;vnutr_ist=0;vnesh_ist=0;!vnutr_ist=clear";
    QTest::newRow("internal sources above the need")
        << false << "fact=7;mp=2;shtat=10;vnutr_ist=5 > dop_potr=2;vnesh_ist=0;!vnutr_ist=red";
    QTest::newRow("internal sources equal to the need")
        << false << "fact=7;mp=2;shtat=10;vnutr_ist=2 > dop_potr=2;vnesh_ist=0;!vnutr_ist=clear";
    QTest::newRow("non-numeric text reads as 0")
        << false << "fact=abc;mp=1;shtat=3 > ubyl=0;nekomplekt=3;posle_vybyt=2;dop_potr=1";
    QTest::newRow("leading zeros, minus zero and figures past int read as numbers or 0")
        << false << "fact=007;mp=-0;bron=2147483648;shtat=10 > nekomplekt=3;posle_vybyt=10;dop_potr=0;!fact=clear";
}

void BalanceRulesTest::row_arithmetic()
{
    QFETCH(bool, mobilisation_column);
    QFETCH(QString, edits_and_expected);
    RowOptions options;
    options.mobilisation_staff_column = mobilisation_column;
    BalanceRow row = empty_row();
    type_edits(row, edits_and_expected.section(" > ", 0, 0), options);
    verify_row(row, edits_and_expected.section(" > ", 1));
}

void BalanceRulesTest::derived_columns_trigger_nothing()
{
    const BalanceRow row = make_row("1", "2", "100", "x", 10, 10, 7, 2, 0, E);
    for (int column : {10, 12, 13, 16, 17, 0, 3, 5, 20}) {
        BalanceRow changed = row;
        changed.cells[column] = "777";
        const BalanceRow before = changed;
        const RowEffects effects = apply_cell_change(changed, column, RowOptions());
        QVERIFY2(effects.changed_cells.isEmpty() && effects.changed_marks.isEmpty() && effects.totals == 0,
                 qPrintable(QString::number(column)));
        QCOMPARE(changed.cells, before.cells);
    }
}

void BalanceRulesTest::category_totals_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVector<int>>("expected"); // all, ruk, specialists, slug, rab
    QTest::newRow("reserved staff") << int(col_bron) << QVector<int>{4, 0, 0, 1, 3};
    QTest::newRow("actual staff, negative value lowers the total") << int(col_fact) << QVector<int>{2, 1, 2, 3, -4};
    QTest::newRow("internal sources count only positive values") << int(col_vnutr_ist) << QVector<int>{7, 5, 0, 2, 0};
}

void BalanceRulesTest::category_totals()
{
    QFETCH(int, column);
    QFETCH(QVector<int>, expected);
    // Rows of category 0, 5 and 6 count in no category total, not even the overall one.
    QVector<BalanceRow> rows;
    rows << make_row("1", "1", "1", "a", 1, 1, 1, 1, 0, 5) << make_row("1", "2", "2", "b", 1, 1, 2, 1, 0, -3)
         << make_row("1", "3", "3", "c", 1, 1, 3, 1, 1, 2) << make_row("1", "4", "4", "d", 1, 1, -4, 1, 3, 0)
         << make_row("1", "0", "5", "e", 1, 1, 50, 7, 9, 9) << make_row("1", "5", "6", "f", 1, 1, 60, 8, 9, 9)
         << make_row("1", "6", "7", "g", 1, 1, 70, 0, 9, 9);
    const CategoryTotals t = balance::category_totals(rows, column, column == col_vnutr_ist);
    QCOMPARE((QVector<int>{t.all, t.ruk, t.specialists, t.slug, t.rab}), expected);
    // Departures on mobilisation are summed over every row, whatever its category.
    QCOMPARE(summ_mp(rows), 1 + 1 + 1 + 1 + 7 + 8);
}

void BalanceRulesTest::sums_saturate_instead_of_wrapping()
{
    // Workbooks and card files can carry figures far above the editor's range.
    QVector<BalanceRow> rows{make_row("1", "1", "1", "a", 1, 1, 2000000000, 2000000000, 0),
                             make_row("1", "1", "2", "b", 1, 1, 2000000000, 2000000000, 0)};
    QCOMPARE(summ_all(rows).all, std::numeric_limits<int>::max());
    QCOMPARE(summ_all(rows).ruk, std::numeric_limits<int>::max());
    QCOMPARE(summ_mp(rows), std::numeric_limits<int>::max());
    rows[1].cells[col_key] = rows[0].cells[col_key];
    summ_same(rows, RowOptions());
    QCOMPARE(rows[0].figure(col_fact), std::numeric_limits<int>::max());
}

void BalanceRulesTest::form6_rules_data()
{
    // all, priziv, gpz, of, neof, bron_all, bron_of, bron_neof, mp
    QTest::addColumn<QVector<int>>("figures");
    QTest::addColumn<F6Fault>("fault");
    QTest::newRow("consistent") << QVector<int>{20, 2, 10, 6, 4, 5, 3, 2, 4} << F6Fault::none;
    QTest::newRow("reserve and conscripts above staff")
        << QVector<int>{10, 3, 8, 8, 0, 0, 0, 0, 0} << F6Fault::reserve_over_staff;
    QTest::newRow("reserve equal to staff") << QVector<int>{11, 3, 8, 8, 0, 0, 0, 0, 0} << F6Fault::none;
    QTest::newRow("reserved non-officers above non-officers")
        << QVector<int>{20, 0, 5, 3, 2, 3, 0, 3, 0} << F6Fault::others_reserved_over;
    QTest::newRow("reserved sum differs from its box")
        << QVector<int>{20, 0, 10, 5, 5, 3, 2, 2, 0} << F6Fault::reserved_sum_differs;
    // Inputs that break two rules at once: the earlier rule wins, not the lower code.
    QTest::newRow("rule of code 1 before code 3")
        << QVector<int>{5, 0, 8, 4, 4, 6, 6, 0, 0} << F6Fault::reserve_over_staff;
    QTest::newRow("code 3 before code 2")
        << QVector<int>{20, 0, 3, 1, 2, 3, 3, 0, 5} << F6Fault::officers_reserved_over;
    QTest::newRow("code 4 before code 2") << QVector<int>{20, 0, 3, 2, 1, 3, 0, 3, 5} << F6Fault::others_reserved_over;
    QTest::newRow("code 3 before code 4")
        << QVector<int>{20, 0, 2, 1, 1, 4, 2, 2, 0} << F6Fault::officers_reserved_over;
    QTest::newRow("code 2 before code 5")
        << QVector<int>{20, 0, 10, 5, 5, 9, 2, 2, 7} << F6Fault::reserved_and_orders_over;
    QTest::newRow("code 5 before code 6") << QVector<int>{20, 0, 9, 5, 5, 5, 2, 2, 0} << F6Fault::reserved_sum_differs;
}

void BalanceRulesTest::form6_rules()
{
    QFETCH(QVector<int>, figures);
    QFETCH(F6Fault, fault);
    const F6Figures f{figures[0], figures[1], figures[2], figures[3], figures[4],
                      figures[5], figures[6], figures[7], figures[8]};
    QCOMPARE(check_f6(f), fault);
    QCOMPARE(f6_error_text(fault).isEmpty(), fault == F6Fault::none);
}

void BalanceRulesTest::form6_derived_boxes_are_clamped()
{
    // A reserve sum above the box's maximum is held there, and the sum rule notices.
    F6Figures big{f6_maximum, 0, 0, f6_maximum, 1, 0, 0, 0, 0};
    big.gpz = f6_gpz(big);
    QCOMPARE(big.gpz, f6_maximum);
    QCOMPARE(check_f6(big), F6Fault::reserve_sum_differs);
}

void BalanceRulesTest::management_sphere_data()
{
    QTest::addColumn<QString>("okfs");
    QTest::addColumn<int>("sphere");
    for (const char *code : {"10", "11", "12"})
        QTest::newRow(code) << code << int(Sphere::federal);
    for (const char *code : {"13", "14"})
        QTest::newRow(code) << code << int(Sphere::subject);
    for (const char *code : {"", "15", "16", "1", "110", " 13"})
        QTest::newRow(qPrintable("'" + QString(code) + "'")) << code << int(Sphere::none);
}

void BalanceRulesTest::management_sphere()
{
    QFETCH(QString, okfs);
    QFETCH(int, sphere);
    QCOMPARE(int(balance::management_sphere(okfs)), sphere);
}

// A stored row as the card holds it, values separated by "|"; expected cells by column, in the order written;
// the stored row those cells write back.
void BalanceRulesTest::card_row_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("for_task");
    QTest::addColumn<Cells>("identity");
    QTest::addColumn<Cells>("figures");
    QTest::addColumn<bool>("invalid");
    QTest::addColumn<QString>("written");
    QTest::newRow("known position, known facet")
        << "2|Специалисты|20336|07|5|1|2|4||6" << false
        << Cells{{col_kind_code, "2"},   {col_kind, "Вспомогательное"}, {col_category, "Специалисты"},
                 {col_cat_code, "2"},    {col_code, "20336"},           {col_name, "Бухгалтер"},
                 {col_facet_code, "07"}, {col_facet, "Фасет"},          {col_key, "222033607"}}
        << Cells{{col_fact, "5"}, {col_mp, "1"}, {col_bron, "2"}, {col_vnutr_ist, "0"}, {col_shtat, "6"}} << false
        << "2|Специалисты|20336|07|5|1|2|6||6"; // required is the establishment
    QTest::newRow("kind 1 leaves the fresh row's word, task column taken")
        << "1|Рабочие|20336||5|||4||6" << true
        << Cells{{col_kind_code, "1"}, {col_category, "Рабочие"}, {col_cat_code, "4"},
                 {col_code, "20336"},  {col_name, "Бухгалтер"},   {col_key, "1420336"}}
        << Cells{{col_fact, "5"}, {col_mp, ""}, {col_bron, ""}, {col_treb, "4"}, {col_vnutr_ist, "0"}, {col_shtat, "6"}}
        << false << "1|Рабочие|20336||5|||4||6"; // required is the task staff
    QTest::newRow("unknown position, unknown facet, unknown words")
        << "9|Прочие|99999|55|x|||||" << false
        << Cells{{col_kind_code, "9"},   {col_category, "Прочие"},
                 {col_code, "99999"},    {col_name, "!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!"},
                 {col_facet_code, "55"}, {col_key, "99999955"}}
        << Cells{{col_fact, "x"}, {col_mp, ""}, {col_bron, ""}, {col_vnutr_ist, "0"}, {col_shtat, ""}} << true
        << "9|Прочие|99999|55|x|||||";
}

void BalanceRulesTest::card_row()
{
    QFETCH(QString, stored);
    QFETCH(bool, for_task);
    QFETCH(Cells, identity);
    QFETCH(Cells, figures);
    QFETCH(bool, invalid);
    QFETCH(QString, written);
    // The row stands second in the stored rows: the first is only there to be skipped.
    const QVector<QString> rows = QVector<QString>(balance_pos::row_size, "1") + stored.split('|').toVector();
    CardRowNames names;
    names.positions.insert("20336", "Бухгалтер");
    names.facets.insert("07", "Фасет");
    const TableRowFromCard out = table_row_from_card(stored_balance_row(rows, 1), names, for_task);
    const auto texts = [](const QVector<QPair<int, QVariant>> &cells) {
        Cells plain;
        for (const auto &cell : cells)
            plain.append({cell.first, cell.second.toString()});
        return plain;
    };
    QCOMPARE(texts(out.identity), identity);
    QCOMPARE(texts(out.figures), figures);
    QCOMPARE(out.invalid_code, invalid);
    // Whole numbers go in as numbers, so the arithmetic and the sorting see figures.
    QCOMPARE(out.figures.first().second.type(), figures.first().second == "x" ? QVariant::String : QVariant::Int);

    BalanceRow table_row;
    for (const auto &cell : identity + figures)
        table_row.cells[cell.first] = cell.second;
    QCOMPARE(QStringList(stored_values_from_table(table_row, for_task).toList()).join('|'), written);
}

// Values each stored element adds: old cards lack the internal cover and the peacetime staff.
void BalanceRulesTest::widened_values_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("added");
    QTest::newRow("old required brings the two missing values")
        << last_eight_value_version << balance_pos::required << QStringList{"7", "0", "7"};
    QTest::newRow("old internal cover adds nothing") << 0 << balance_pos::internal_cover << QStringList{};
    QTest::newRow("old staff adds nothing") << 5 << balance_pos::staff << QStringList{};
    QTest::newRow("old actual as it is") << 5 << balance_pos::actual << QStringList{"7"};
    QTest::newRow("new required as it is") << last_eight_value_version + 1 << balance_pos::required << QStringList{"7"};
    QTest::newRow("new staff as it is") << 25 << balance_pos::staff << QStringList{"7"};
}

void BalanceRulesTest::widened_values()
{
    QFETCH(int, version);
    QFETCH(int, position);
    QFETCH(QStringList, added);
    QCOMPARE(QStringList(widened_stored_values(version, position, "7").toList()), added);
}

void BalanceRulesTest::merge_data()
{
    QTest::addColumn<QVector<BalanceRow>>("rows");
    QTest::addColumn<int>("merged");
    QTest::addColumn<bool>("report");
    QTest::addColumn<QStringList>("keys_after");
    QTest::addColumn<QVector<int>>("fact_after");
    QTest::newRow("one row") << QVector<BalanceRow>{good_row("100", 3)} << 0 << false << QStringList{"12100"}
                             << QVector<int>{3};
    QTest::newRow("same code in other kinds stays apart, reported with 0")
        << QVector<BalanceRow>{make_row("2", "2", "100", "a", 1, 1, 1, 0, 0),
                               make_row("1", "2", "100", "a", 1, 1, 2, 0, 0)}
        << 0 << true << QStringList{"12100", "22100"} << QVector<int>{2, 1};
    QTest::newRow("two runs") << QVector<BalanceRow>{good_row("300", 1), good_row("100", 2), good_row("300", 4),
                                                     good_row("100", 8), good_row("100", 16)}
                              << 3 << true << QStringList{"12100", "12300"} << QVector<int>{26, 5};
}

void BalanceRulesTest::merge()
{
    QFETCH(QVector<BalanceRow>, rows);
    QFETCH(int, merged);
    QFETCH(bool, report);
    QFETCH(QStringList, keys_after);
    QFETCH(QVector<int>, fact_after);
    const MergeResult result = summ_same(rows, RowOptions());
    QCOMPARE(result.merged, merged);
    QCOMPARE(result.report, report);
    QStringList keys;
    QVector<int> fact;
    for (const BalanceRow &row : rows) {
        keys << row.cells[col_key];
        fact << row.figure(col_fact);
    }
    QCOMPARE(keys, keys_after);
    QCOMPARE(fact, fact_after);
}

void BalanceRulesTest::merge_recomputes_kept_row()
{
    QVector<BalanceRow> rows{empty_row(), empty_row()};
    type_edits(rows[0], "fact=7;mp=1;bron=1;shtat=10;vnutr_ist=2");
    type_edits(rows[1], "fact=1000;mp=2;bron=3;shtat=900");
    rows[1].cells[col_facet] = "only in the second";
    const MergeResult result = summ_same(rows, RowOptions());
    QCOMPARE(result.merged, 1);
    QCOMPARE(rows.size(), 1);
    QVERIFY(result.effects.totals & total_fact);
    // Sums, column 15 reset, derived columns recomputed; the other cells are the first row's.
    verify_row(rows[0], "shtat=910;treb=910;fact=1007;mp=3;bron=4;vnutr_ist=0;ubyl=1;nekomplekt=0;posle_vybyt=1003;dop_"
                        "potr=0;vnesh_ist=0;izbytok=93;facet=;!fact=clear");
}

void BalanceRulesTest::merge_refreshes_shortage_when_column_7_is_unchanged()
{
    // Column 7 is summed before column 6; when the copy of column 6 then finds column 7
    // already equal, the shortage must still follow the new establishment number.
    QVector<BalanceRow> rows{empty_row(), empty_row()};
    type_edits(rows[0], "fact=7;mp=0;bron=0;shtat=10");
    type_edits(rows[1], "fact=0;mp=0;bron=0;shtat=5");
    verify_row(rows[0], "nekomplekt=3;posle_vybyt=10;dop_potr=0");
    summ_same(rows, RowOptions());
    verify_row(rows[0], "shtat=15;treb=15;fact=7;nekomplekt=8;posle_vybyt=15;dop_potr=0;izbytok=0");
}

void BalanceRulesTest::model_round_trip()
{
    QStandardItemModel model(0, column_count);
    model.appendRow(QList<QStandardItem *>() << new QStandardItem("12100") << new QStandardItem("Основное"));
    model.setData(model.index(0, col_fact), 7);
    BalanceRow row = row_from_model(model, 0);
    QCOMPARE(row.cells[col_fact], QString("7"));
    QVERIFY(row.is_empty(col_shtat));
    type_edits(row, "shtat=10;bron=9");
    write_row_to_model(model, 0, row);
    QCOMPARE(model.data(model.index(0, col_treb), Qt::EditRole).type(), QVariant::Int);
    QCOMPARE(model.data(model.index(0, col_bron), Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    QCOMPARE(row_from_model(model, 0).cells, row.cells);
    QCOMPARE(row_from_model(model, 0).marks[col_fact], Mark::red);
    // Writing the same row again changes nothing.
    QSignalSpy changed(&model, &QStandardItemModel::dataChanged);
    write_row_to_model(model, 0, row);
    QCOMPARE(changed.count(), 0);
}

// Faulty rows ("first-last" or "a,b,c"): which get a box of their own, and the closing box.
void BalanceRulesTest::row_fault_boxes_data()
{
    QTest::addColumn<bool>("facet");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("closing");
    QTest::newRow("no more than the own boxes") << false << "2,5,9"
                                                << "2,5,9"
                                                << "";
    QTest::newRow("one past them") << false << "2,4,6,8"
                                   << "2,4,6"
                                   << "Ещё 1 строка с недействительным кодом должности: 8.";
    QTest::newRow("two past them, facets") << true << "10-14"
                                           << "10,11,12"
                                           << "Ещё 2 строки с недействительным кодом фасета: 13, 14.";
    QTest::newRow("eleven past them, listed in full")
        << false << "1-14"
        << "1,2,3"
        << "Ещё 11 строк с недействительным кодом должности: 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14.";
    QTest::newRow("twenty-one past them, shortened")
        << false << "1-24"
        << "1,2,3"
        << "Ещё 21 строка с недействительным кодом должности: 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, …, 24.";
    QTest::newRow("a full card") << false << "1-20000"
                                 << "1,2,3"
                                 << "Ещё 19997 строк с недействительным кодом должности: 4, 5, 6, 7, 8, 9, 10, 11, 12, "
                                    "13, …, 20000.";
}

void BalanceRulesTest::row_fault_boxes()
{
    QFETCH(bool, facet);
    QFETCH(QString, rows);
    QFETCH(QString, own);
    QFETCH(QString, closing);
    QVector<int> numbers;
    if (rows.contains('-'))
        for (int r = rows.section('-', 0, 0).toInt(); r <= rows.section('-', 1).toInt(); ++r)
            numbers << r;
    else
        for (const QString &r : rows.split(','))
            numbers << r.toInt();
    RowFaultBoxes boxes(facet ? RowFault::facet_code : RowFault::position_code);
    QStringList boxed;
    for (int r : numbers)
        if (boxes.own_box(r))
            boxed << QString::number(r);
    QCOMPARE(boxed.join(','), own);
    QCOMPARE(boxes.closing_text(), closing);
}

QUELT_CORE_TEST_MAIN(BalanceRulesTest)
#include "tst_balance_rules.moc"
