// The import's rules over a workbook held in memory: cells, look-ups, blocks and outcomes.
#include "excelimport/import_rules.h"
#include "excelimport/workbook.h"
#include "tests/support/core_test_support.h"

#include <QHash>
#include <cmath>
#include <limits>

using namespace xls_import;
using namespace balance;

namespace
{

// A workbook whose cells are set by the test.
class MemoryWorkbook : public Workbook
{
public:
    QStringList names = {"Лист1", "Лист2"};
    QHash<QString, QVariant> cells;

    void set(int sheet, int row, int column, const QVariant &value) { cells.insert(key(sheet, row, column), value); }
    QStringList sheet_names() const override { return names; }
    QVariant cell(int sheet, int row, int column) override
    {
        ++reads;
        return cells.value(key(sheet, row, column));
    }
    void close() override { cells.clear(); }
    int reads = 0;

private:
    static QString key(int sheet, int row, int column) { return QString("%1:%2:%3").arg(sheet).arg(row).arg(column); }
};

ClassifierIndex positions()
{
    return ClassifierIndex({{"20336", "Бухгалтер", "2"},
                            {"21495", "Директор", "1"},
                            {"20336", "Бухгалтер второй записи", "3"},
                            {"77777", "Без категории", "7"}});
}

ClassifierIndex facets()
{
    return ClassifierIndex({{"01", "Вице-", "01"}, {"03", "Заместитель", "03"}});
}

} // namespace

class TestImportRules : public QObject
{
    Q_OBJECT

private slots:
    void cell_int_data();
    void cell_int();
    void blank_free_data();
    void blank_free();
    void kind_letters_data();
    void kind_letters();
    void first_cell_outcome_data();
    void first_cell_outcome();
    void form6_merge_data();
    void form6_merge();
    void block_end_data();
    void block_end();
    void reservation_rows_stop_at_a_gap();
    void balance_row_lookups_data();
    void balance_row_lookups();
    void balance_row_figures_data();
    void balance_row_figures();
    void balance_rows_read_from_offsets();
};

void TestImportRules::cell_int_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("whole number") << QVariant(20336.0) << 20336;
    QTest::newRow("rounds up") << QVariant(2.6) << 3;
    QTest::newRow("rounds down") << QVariant(2.4) << 2;
    QTest::newRow("negative") << QVariant(-3.0) << -3;
    QTest::newRow("digits as text") << QVariant("12") << 12;
    QTest::newRow("letters") << QVariant("abc") << 0;
    QTest::newRow("empty cell") << QVariant() << 0;
    QTest::newRow("true") << QVariant(true) << 1;
    QTest::newRow("beyond int") << QVariant(1e20) << 0;
    QTest::newRow("below int") << QVariant(-1e20) << 0;
    QTest::newRow("infinite") << QVariant(std::numeric_limits<double>::infinity()) << 0;
    QTest::newRow("not a number") << QVariant(std::nan("")) << 0;
}

void TestImportRules::cell_int()
{
    QFETCH(QVariant, value);
    QFETCH(int, expected);
    QCOMPARE(xls_import::cell_int(value), expected);
}

void TestImportRules::blank_free_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("number") << QVariant(20336.0) << "20336";
    QTest::newRow("facet as number") << QVariant(1.0) << "1";
    QTest::newRow("blanks inside") << QVariant(" 1 1442 ") << "11442";
    QTest::newRow("tabs and line breaks") << QVariant("\t01\n") << "01";
    QTest::newRow("only blanks") << QVariant("   ") << "";
}

void TestImportRules::blank_free()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(xls_import::blank_free(value), expected);
}

void TestImportRules::kind_letters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    for (const char *t : {"вспомогательное", "Вспом.", "b", "B", "и", "d"})
        QTest::newRow(t) << QString(t) << 2;
    for (const char *t : {"Др.службы", "д", "l", "L"})
        QTest::newRow(t) << QString(t) << 3;
    for (const char *t : {"прочие", "П", "g", "G"})
        QTest::newRow(t) << QString(t) << 4;
    for (const char *t : {"Основное", "основное", "o", "", "1", "x"})
        QTest::newRow(QByteArray("other ") + t) << QString(t) << 0;
}

void TestImportRules::kind_letters()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QCOMPARE(kind_code_for_text(text), kind);
}

void TestImportRules::first_cell_outcome_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("outcome");
    QTest::newRow("accepted") << true << 10 << 2 << int(FirstCell::import);
    QTest::newRow("row 0") << true << 0 << 2 << int(FirstCell::bad_coordinates);
    QTest::newRow("column 0") << true << 10 << 0 << int(FirstCell::bad_coordinates);
    QTest::newRow("cancelled") << false << 10 << 2 << int(FirstCell::skipped);
    QTest::newRow("cancelled with 0") << false << 0 << 0 << int(FirstCell::skipped);
}

void TestImportRules::first_cell_outcome()
{
    QFETCH(bool, accepted);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, outcome);
    QCOMPARE(int(xls_import::first_cell_outcome(accepted, row, column)), outcome);
}

void TestImportRules::form6_merge_data()
{
    QTest::addColumn<bool>("add");
    QTest::addColumn<bool>("reserving");
    QTest::addColumn<QString>("expected"); // all priziv of neof bron_of bron_neof mp
    // On the form: 10 1 2 3 4 5 6; in the sheet: 100 -5 7 0 8 9 999999.
    QTest::newRow("replace, reserving") << false << true << "100 0 7 0 8 9 999999";
    QTest::newRow("replace, not reserving") << false << false << "100 0 7 0 0 0 999999";
    QTest::newRow("add, reserving") << true << true << "110 1 9 3 12 14 999999";
    QTest::newRow("add, not reserving") << true << false << "110 1 9 3 4 5 999999";
}

void TestImportRules::form6_merge()
{
    QFETCH(bool, add);
    QFETCH(bool, reserving);
    QFETCH(QString, expected);
    F6Figures form;
    form.all = 10, form.priziv = 1, form.of = 2, form.neof = 3, form.bron_of = 4, form.bron_neof = 5, form.mp = 6;
    Form6Cells cells;
    cells.all = 100, cells.priziv = -5, cells.of = 7, cells.neof = 0, cells.bron_of = 8, cells.bron_neof = 9;
    cells.mp = 999999;
    const F6Figures f = merge_form6(form, cells, add, reserving);
    const QString got = QString("%1 %2 %3 %4 %5 %6 %7")
                            .arg(f.all)
                            .arg(f.priziv)
                            .arg(f.of)
                            .arg(f.neof)
                            .arg(f.bron_of)
                            .arg(f.bron_neof)
                            .arg(f.mp);
    QCOMPARE(got, expected);

    // The sum of two big figures is held at the boxes' maximum, never wrapped.
    form.all = std::numeric_limits<int>::max() - 1;
    cells.all = std::numeric_limits<int>::max() - 1;
    QCOMPARE(merge_form6(form, cells, true, reserving).all, f6_maximum);
}

void TestImportRules::block_end_data()
{
    QTest::addColumn<int>("filled"); // cells filled from row 5 down
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("end");
    QTest::newRow("first cell empty") << 0 << 5 << 5;
    QTest::newRow("one row") << 1 << 5 << 6;
    QTest::newRow("1999 rows") << 1999 << 5 << 2004;
    QTest::newRow("2000 cells, none empty") << 2000 << 5 << 0;
    QTest::newRow("more than 2000") << 2500 << 5 << 0;
    QTest::newRow("starting below the block") << 2 << 9 << 9;
}

void TestImportRules::block_end()
{
    QFETCH(int, filled);
    QFETCH(int, first);
    QFETCH(int, end);
    MemoryWorkbook book;
    for (int i = 0; i < filled; ++i)
        book.set(0, 5 + i, 2, i == 0 ? QVariant("  ") : QVariant(20336.0)); // blanks count as filled
    QCOMPARE(balance_block_end(book, 0, first, 2), end);
}

void TestImportRules::reservation_rows_stop_at_a_gap()
{
    // Rows 3 and 4 filled, 5 empty, 6 filled again: each block is rows 3 and 4.
    MemoryWorkbook book;
    for (int r : {3, 4, 6}) {
        book.set(0, r, 4, "Иванов");
        book.set(1, r, 1, 2.0);
    }
    QCOMPARE(read_bron_rows(book, 0).size(), 2);
    QCOMPARE(read_nebron_rows(book, 1).size(), 2);
}

void TestImportRules::balance_row_lookups_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("facet");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("expected"); // key, kind word, category word, name, facet name, facet code
    QTest::addColumn<bool>("unknown_code");
    QTest::addColumn<bool>("unknown_facet");
    QTest::newRow("known, first record wins")
        << "20336"
        << "01"
        << "вспом" << QStringList{"222033601", "Вспомогательное", "Специалисты", "Бухгалтер", "Вице-", "01"} << false
        << false;
    QTest::newRow("unknown code: no category in the key")
        << "99999"
        << ""
        << "" << QStringList{"199999", "Основное", "", unknown_position_marker(), "", ""} << true << false;
    QTest::newRow("category outside 1..4")
        << "77777"
        << ""
        << "Пр" << QStringList{"4777777", "Пр.рабочие", "", "Без категории", "", ""} << false << false;
    QTest::newRow("facet 1 is not 01")
        << "21495"
        << "1"
        << "" << QStringList{"1121495", "Основное", "Руководители", "Директор", unknown_facet_marker(), ""} << false
        << true;
    QTest::newRow("empty code") << ""
                                << ""
                                << "d" << QStringList{"2", "Вспомогательное", "", unknown_position_marker(), "", ""}
                                << true << false;
}

void TestImportRules::balance_row_lookups()
{
    QFETCH(QString, code);
    QFETCH(QString, facet);
    QFETCH(QString, kind);
    QFETCH(QStringList, expected);
    QFETCH(bool, unknown_code);
    QFETCH(bool, unknown_facet);
    BalanceSourceRow s;
    s.code = code;
    s.facet = facet;
    s.kind_text = kind;
    const ImportedBalanceRow r = import_balance_row(s, positions(), facets(), RowOptions{});
    const auto &c = r.row.cells;
    QCOMPARE(QStringList({c[col_key], c[col_kind], c[col_category], c[col_name], c[col_facet], c[col_facet_code]}),
             expected);
    QCOMPARE(c[col_code], code);
    QCOMPARE(r.unknown_code, unknown_code);
    QCOMPARE(r.unknown_facet, unknown_facet);
}

void TestImportRules::balance_row_figures_data()
{
    QTest::addColumn<QVector<int>>("source");   // shtat fact mp bron treb
    QTest::addColumn<bool>("treb_shown");       // the column was shown before this row
    QTest::addColumn<QVector<int>>("expected"); // columns 6..17
    QTest::addColumn<bool>("shows_treb");
    // 6 7 8 9 10 11 12 13 14 15 16 17
    QTest::newRow("no mobilisation figure: column 7 copies 6")
        << QVector<int>{5, 4, 1, 1, 0} << false << QVector<int>{5, 5, 4, 1, 0, 1, 4, 1, 1, 0, 1, 0} << false;
    QTest::newRow("own mobilisation figure")
        << QVector<int>{3, 3, 0, 0, 6} << false << QVector<int>{3, 6, 3, 0, 0, 0, 3, 0, 3, 0, 3, 0} << true;
    QTest::newRow("equal mobilisation figure")
        << QVector<int>{2, 2, 0, 0, 2} << false << QVector<int>{2, 2, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0} << false;
    QTest::newRow("column already shown")
        << QVector<int>{4, 1, 0, 0, 0} << true << QVector<int>{4, 4, 1, 0, 0, 0, 4, 3, 0, 0, 0, 0} << false;
    QTest::newRow("empty row") << QVector<int>{0, 0, 0, 0, 0} << false
                               << QVector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0} << false;
}

void TestImportRules::balance_row_figures()
{
    QFETCH(QVector<int>, source);
    QFETCH(bool, treb_shown);
    QFETCH(QVector<int>, expected);
    QFETCH(bool, shows_treb);
    BalanceSourceRow s;
    s.code = "20336";
    s.shtat = source[0], s.fact = source[1], s.mp = source[2], s.bron = source[3], s.treb = source[4];
    RowOptions options;
    options.mobilisation_staff_column = treb_shown;
    const ImportedBalanceRow r = import_balance_row(s, positions(), facets(), options);
    QVector<int> got;
    for (int column = col_shtat; column <= col_izbytok; ++column)
        got << r.row.figure(column);
    QCOMPARE(got, expected);
    QCOMPARE(r.shows_treb, shows_treb);
    for (int column = col_shtat; column <= col_izbytok; ++column)
        QVERIFY2(!r.row.cells[column].isEmpty(), qPrintable(QString::number(column)));
}

void TestImportRules::balance_rows_read_from_offsets()
{
    MemoryWorkbook book;
    // Code in column 3: kind in 2, facet in 4, column 5 not read, figures in 6..10.
    book.set(1, 7, 2, "  в спом ");
    book.set(1, 7, 3, 20336.0);
    book.set(1, 7, 4, "0 1");
    book.set(1, 7, 5, 555.0);
    book.set(1, 7, 6, 6.0);
    book.set(1, 7, 7, "8");
    book.set(1, 7, 8, -9.0);
    book.set(1, 7, 9, "abc");
    book.set(1, 7, 10, 7.4);
    book.set(1, 8, 3, "21495");
    const QVector<BalanceSourceRow> rows = read_balance_rows(book, 1, 7, 9, 3);
    QCOMPARE(rows.size(), 2);
    const BalanceSourceRow &r = rows[0];
    QCOMPARE(r.sheet_row, 7);
    QCOMPARE(r.kind_text, "вспом");
    QCOMPARE(r.code, "20336");
    QCOMPARE(r.facet, "01");
    QCOMPARE(QVector<int>({r.shtat, r.fact, r.mp, r.bron, r.treb}), QVector<int>({6, 8, 0, 0, 7}));
    QCOMPARE(rows[1].code, "21495");

    // Codes in the first column: no kind is read.
    book.set(1, 7, 1, 20336.0);
    book.reads = 0;
    QCOMPARE(read_balance_rows(book, 1, 7, 8, 1).at(0).kind_text, QString());
    QCOMPARE(book.reads, 7);
}

QUELT_CORE_TEST_MAIN(TestImportRules)
#include "tst_import_rules.moc"
