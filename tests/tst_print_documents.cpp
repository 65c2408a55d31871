// The balance with its pagination, the application, the agreement and numbers in words, built from
// plain values with no window.
#include "printing/application_form.h"
#include "printing/balance_form.h"
#include "printing/number_words.h"

#include <QRegularExpression>
#include <QtTest>

using namespace printing;

namespace
{

const QRegularExpression any_placeholder("\\[[^\\]<>\\[]{1,40}\\]");

CommonValues common()
{
    CommonValues c;
    c.up_left = "<html><body>верх слева</body></html>";
    c.down_left = "<html><body>низ слева</body></html>";
    c.fill_date = "15.03.2026";
    c.head.post = "Директор";
    c.head.surname = "Сидоров";
    c.head.first_name = "Иван";
    c.head.patronymic = "Петрович";
    c.version = version_footer(3, 25);
    return c;
}

// Row n of a balance: kind "Основное", category "Рабочие", position code 10000 + n.
balance::BalanceRow balance_row(int n, const QString &kind_code = "1")
{
    using namespace balance;
    BalanceRow row;
    row.cells[col_key] = kind_code + "4" + QString::number(10000 + n);
    row.cells[col_kind] = kind_word(kind_code.toInt());
    row.cells[col_category] = "Рабочие";
    row.cells[col_code] = QString::number(10000 + n);
    row.cells[col_facet] = "";
    row.cells[col_name] = "Слесарь";
    const int figures[][2] = {{col_shtat, 7},    {col_treb, 6},      {col_fact, 5},        {col_mp, 3},
                              {col_ubyl, 2},     {col_bron, 1},      {col_posle_vybyt, 4}, {col_nekomplekt, 2},
                              {col_dop_potr, 2}, {col_vnutr_ist, 1}, {col_vnesh_ist, 1},   {col_izbytok, 0}};
    for (const auto &f : figures)
        row.set_figure(f[0], f[1]);
    row.cells[col_cat_code] = "4";
    row.cells[col_kind_code] = kind_code;
    return row;
}

QVector<balance::BalanceRow> balance_rows(int count)
{
    QVector<balance::BalanceRow> rows;
    for (int i = 0; i < count; ++i)
        rows << balance_row(i);
    return rows;
}

BalanceBoxes boxes(int all = 0)
{
    BalanceBoxes b;
    b.all = all;
    b.all_text = QString::number(all);
    b.sum_mp = 0;
    b.sum_mp_text = "0";
    b.sum_treb_text = "0";
    b.sum_vnutr_text = "0";
    b.bron_text = "0";
    b.ruk_text = b.spec_text = b.slug_text = b.rab_text = "0";
    return b;
}

// The body's rows in order, each named by what it is.
QStringList layout_of(const QString &html)
{
    QStringList kinds;
    static const QRegularExpression row("<[tT][rR] ?[^>]*>.*?</[tT][rR]>");
    for (auto it = row.globalMatch(html); it.hasNext();) {
        const QString r = it.next().captured();
        if (r.contains("[i") || r.contains("ВСЕГО"))
            kinds << "T";
        else if (r.contains("Слесарь"))
            kinds << "R";
        else if (r.contains("page-break"))
            kinds << "break";
        else if (r.contains("colspan=\"6\""))
            kinds << "first footer";
        else if (r.contains("&nbsp<p></FONT>"))
            kinds << "filler";
        else if (r.contains("colspan=\"9\""))
            kinds << "footer";
        else if (r.startsWith("<TR >"))
            kinds << "closing " + r.section("normal_text\">", 1).section('<', 0, 0);
        else if (r.contains("align=\"right\" bordercolor=\"white\"><FONT class=\"normal_text\">"))
            kinds << "page " + r.section("normal_text\">", 1).section('<', 0, 0);
        else if (r.contains("<TD>4.1</TD>"))
            kinds << "columns";
        // The spacer rows that follow page numbers and column numbers carry nothing.
    }
    return kinds;
}

// Runs of data rows shortened: "15R" for fifteen data rows in a row.
QString squeezed(const QStringList &kinds)
{
    QStringList out;
    int run = 0;
    for (const QString &k : kinds + QStringList{""}) {
        if (k == "R") {
            ++run;
            continue;
        }
        if (run)
            out << QString::number(run) + "R";
        run = 0;
        if (!k.isEmpty())
            out << k;
    }
    return out.join(", ");
}

} // namespace

class TestPrintDocuments : public QObject
{
    Q_OBJECT

private slots:
    void number_words_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("words");
        const std::pair<int, const char *> rows[] = {
            {0, "ноль"},
            {1, "один"},
            {2, "два"},
            {10, "десять"},
            {11, "одиннадцать"},
            {14, "четырнадцать"},
            {19, "девятнадцать"},
            {20, "двадцать"},
            {21, "двадцать один"},
            {40, "сорок"},
            {100, "сто"},
            {101, "сто один"},
            {111, "сто одиннадцать"},
            {999, "девятьсот девяносто девять"},
            {1000, "одна тысяча"},
            {1001, "одна тысяча один"},
            {2000, "две тысячи"},
            {2001, "две тысячи один"},
            {3000, "три тысячи"},
            {4002, "четыре тысячи два"},
            {5000, "пять тысяч"},
            {10000, "десять тысяч"},
            {11000, "одиннадцать тысяч"},
            {12000, "двенадцать тысяч"},
            {14000, "четырнадцать тысяч"},
            {21345, "двадцать одна тысяча триста сорок пять"},
            {22000, "двадцать две тысячи"},
            {100000, "сто тысяч"},
            {102000, "сто две тысячи"},
            {111000, "сто одиннадцать тысяч"},
            {112000, "сто двенадцать тысяч"},
            {201000, "двести одна тысяча"},
            {999999, "девятьсот девяносто девять тысяч девятьсот девяносто девять"},
            {-1, "-1"},
            {1000000, "1000000"},
        };
        for (const auto &row : rows)
            QTest::newRow(QByteArray::number(row.first)) << row.first << QString::fromUtf8(row.second);
    }
    void number_words()
    {
        QFETCH(int, n);
        QFETCH(QString, words);
        NumberWords lists;
        fill_number_words(lists);
        QCOMPARE(number_to_words(n, lists), words);
    }

    void filled_word_lists_keep_their_entries()
    {
        NumberWords lists;
        lists[0] = QStringList{"", "раз", "два", "три", "четыре", "пять", "шесть", "семь", "восемь", "девять"};
        fill_number_words(lists);
        QCOMPARE(lists[0].at(1), QString("раз"));
        QCOMPARE(lists[3].size(), 10);
        QCOMPARE(lists[3].at(0), QString());
    }

    void pagination_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("footers");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("layout");
        const auto row = [](const char *tag, int count, bool footers, int pages, const QString &layout) {
            QTest::newRow(tag) << count << footers << pages << layout;
        };
        const QString first = "first footer, break, page 2, columns";
        row("0", 0, true, 1, "T");
        row("9", 9, true, 1, "9R, T");
        row("10", 10, true, 2, "10R, T, filler, filler, filler, filler, first footer, break, closing 2");
        row("13", 13, true, 2, "13R, T, filler, first footer, break, closing 2");
        row("15", 15, true, 2, "15R, T, first footer, break, closing 2");
        row("16", 16, true, 2, "15R, " + first + ", 1R, T");
        row("30", 30, true, 2, "15R, " + first + ", 15R, T");
        row("31", 31, true, 3, "15R, " + first + ", 16R, T, filler, filler, filler, filler, footer, break, closing 3");
        row("36", 36, true, 3, "15R, " + first + ", 21R, T, footer, break, closing 3");
        row("37", 37, true, 3, "15R, " + first + ", 21R, footer, break, page 3, columns, 1R, T");
        row("52", 52, true, 4,
            "15R, " + first +
                ", 21R, footer, break, page 3, columns, 16R, T, filler, filler, filler, filler, "
                "footer, break, closing 4");
        row("57", 57, true, 4,
            "15R, " + first + ", 21R, footer, break, page 3, columns, 21R, T, footer, break, closing 4");
        row("58", 58, true, 4,
            "15R, " + first + ", 21R, footer, break, page 3, columns, 21R, footer, break, page 4, columns, 1R, T");
        row("58 without footers", 58, false, 4,
            "15R, " + first + ", 21R, break, page 3, columns, 21R, break, page 4, columns, 1R, T");
        row("31 without footers", 31, false, 3,
            "15R, " + first + ", 16R, T, filler, filler, filler, filler, break, closing 3");
    }
    void pagination()
    {
        QFETCH(int, count);
        QFETCH(bool, footers);
        QFETCH(int, pages);
        QFETCH(QString, layout);
        if (count == 37 || count > 51)
            QTest::ignoreMessage(QtDebugMsg, "new newpage=57");
        if (count > 57)
            QTest::ignoreMessage(QtDebugMsg, "new newpage=78");
        const BalanceBody body = balance_rows_html(balance_rows(count), boxes(), footers ? "низ слева" : "",
                                                   footers ? "низ справа" : "", version_footer(3, 25));
        QCOMPARE(body.pages, pages);
        QCOMPARE(squeezed(layout_of(body.html)), layout);
        QCOMPARE(body.html.count("ВСЕГО"), 1);
        // The version stands in the first page's footer only.
        QCOMPARE(body.html.count("версия программы 3.2025"), count >= 10 ? 1 : 0);
        QCOMPARE(body.html.count("низ слева"), footers ? layout.count("footer") : 0);
        QCOMPARE(any_placeholder.match(body.html).captured(), QString());
    }

    void thousand_rows_each_once()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("new newpage=\\d+"));
        const BalanceBody body = balance_rows_html(balance_rows(1000), boxes(), "л", "п", "в");
        QCOMPARE(body.pages, 49);
        for (int n : {0, 14, 15, 35, 36, 500, 998, 999})
            QCOMPARE(body.html.count(">" + QString::number(10000 + n) + "<"), 1);
        QCOMPARE(body.html.count("Слесарь"), 1000);
        const QStringList kinds = layout_of(body.html);
        QCOMPARE(kinds.count("break"), 48);
        QCOMPARE(kinds.count("columns"), 47);
        QCOMPARE(kinds.count("filler"), 1);
        QCOMPARE(kinds.last(), QString("closing 49"));
        QCOMPARE(kinds.count("T"), 1);
        QCOMPARE(kinds.indexOf("T"), kinds.size() - 5);
    }

    void row_cells_and_sums()
    {
        QVector<balance::BalanceRow> rows{balance_row(1, "2"), balance_row(2, "3"), balance_row(3, "4"),
                                          balance_row(4, "1")};
        BalanceBoxes b = boxes(20);
        b.sum_mp = 12;
        b.sum_mp_text = "12";
        b.sum_vnutr = 4;
        b.sum_vnutr_text = "4";
        b.sum_treb_text = "24";
        b.bron_text = "4";
        const BalanceBody body = balance_rows_html(rows, b, "", "", "в");
        QCOMPARE(body.auxiliary, 5);
        QCOMPARE(body.other_services, 5);
        QCOMPARE(body.external, 4);
        QCOMPARE(body.natural_loss, 8);
        QVERIFY(body.html.contains(
            "<tr><td>Вспомогательное,<br>Рабочие</td><td>10001</td><td></td>"
            "<td align=\"left\">Слесарь</td><td>5</td><td>7</td><td>2</td><td>5</td><td>3</td>"
            "<td>2</td><td>4</td><td>6</td><td>2</td><td>0</td><td>1</td><td>1</td><td>1</td></tr>"));
        // Total: all, peacetime, shortage, mp + natural loss, mp, natural loss, all + shortage - mp - loss,
        // treb, external + internal, surplus, internal, external, reserved.
        QStringList cells;
        static const QRegularExpression cell("zagolovok_bold\">([^<]*)</FONT>");
        for (auto it = cell.globalMatch(body.html); it.hasNext();)
            cells << it.next().captured(1);
        QCOMPARE(cells, (QStringList{"ВСЕГО", "", "", "", "20", "28", "8", "20", "12", "8", "8", "24", "8", "0", "4",
                                     "4", "4"}));
    }

    void sums_beyond_a_box_are_kept_at_its_maximum_and_printed_whole()
    {
        QVector<balance::BalanceRow> rows;
        for (int i = 0; i < 3; ++i) {
            balance::BalanceRow row = balance_row(i, "3");
            row.set_figure(balance::col_fact, 999999);
            row.set_figure(balance::col_ubyl, 999999);
            rows << row;
        }
        const BalanceBody body = balance_rows_html(rows, boxes(), "", "", "в");
        QCOMPARE(body.other_services, kol_drsl_max);
        QCOMPARE(body.natural_loss, sum_est_max);
        // Natural loss printed as summed, not wrapped or capped.
        QVERIFY(body.html.contains("zagolovok_bold\">2999997</FONT>"));
    }

    void escaped_cells_and_footers()
    {
        QVector<balance::BalanceRow> rows = balance_rows(10);
        rows[0].cells[balance::col_name] = "<b>Слесарь</b> & сын";
        const BalanceBody body = balance_rows_html(rows, boxes(), "<i>л</i>", "", "в");
        QVERIFY(body.html.contains("&lt;b&gt;Слесарь&lt;/b&gt; &amp; сын"));
        QVERIFY(body.html.contains("&lt;i&gt;л&lt;/i&gt;"));
        QVERIFY(!body.html.contains("<b>"));
    }

    void balance_heights_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QVector<int>>("heights");
        QTest::newRow("96") << 96 << QVector<int>{888, 1739, 2599, 3459};
        QTest::newRow("120") << 120 << QVector<int>{1111, 2174, 3249, 4324};
        QTest::newRow("144") << 144 << QVector<int>{1333, 2609, 3899, 5189};
        QTest::newRow("192") << 192 << QVector<int>{1777, 3479, 5199, 6919};
    }
    void balance_heights()
    {
        QFETCH(int, dpi);
        QFETCH(QVector<int>, heights);
        for (int p = 1; p <= 4; ++p)
            QCOMPARE(balance_page_height(dpi, p), heights.at(p - 1));
        QCOMPARE(balance_page_height(dpi, 0), heights.at(0));
    }

    void balance_form_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("version");
        QTest::newRow("one page") << 9 << "888" << true;
        QTest::newRow("two pages") << 10 << "1739" << false;
    }
    void balance_form()
    {
        QFETCH(int, rows);
        QFETCH(QString, height);
        QFETCH(bool, version);
        BalanceValues v;
        v.common = common();
        v.short_name = "ООО\n\"Ромашка\"";
        v.ogrn = "1027700132195";
        v.rows = balance_rows(rows);
        v.boxes = boxes(120);
        v.boxes.ruk_text = "7";
        v.rows[0].cells[balance::col_kind_code] = "2";
        v.rows[0].set_figure(balance::col_fact, 20);
        v.rows[1].cells[balance::col_kind_code] = "3";
        v.rows[1].set_figure(balance::col_fact, 15);
        BalanceBody body;
        int steps = 0;
        const QString html = build_balance(v, 96, &body, [&] { ++steps; });
        QCOMPARE(steps, 1);
        QVERIFY(html.contains("html{height:" + height + ";}"));
        QVERIFY(html.contains("ООО &quot;Ромашка&quot;, ОГРН 1027700132195"));
        const std::pair<const char *, const char *> totals[] = {{"ИТОГО", "120"},
                                                                {"Основное производство - всего", "85"},
                                                                {"Вспомогательное производство - всего", "20"},
                                                                {"Другие службы - всего", "15"},
                                                                {"промышленно-производственный персонал", "105"},
                                                                {"Непромышленный персонал", "15"},
                                                                {"- Руководителей", "7"}};
        for (const auto &t : totals) {
            const QRegularExpression re(QString::fromUtf8(t.first) + "(</font>)?</td><td[^>]*>(<font[^>]*>)?" +
                                        t.second + "<");
            QVERIFY2(re.match(html).hasMatch(), t.first);
        }
        QCOMPARE(html.contains("little_text\">версия программы 3.2025</font>"), version);
        QCOMPARE(html.count("версия программы 3.2025"), 1);
        QVERIFY(html.contains("П. Сидоров"));
        // Style rules may select by attribute: only the text outside them counts.
        QCOMPARE(
            any_placeholder
                .match(html.section("[table_insert]", 0, 0).remove(QRegularExpression("<!--.*?-->|<style.*?</style>")))
                .captured(),
            QString());
    }

    void balance_dpi_120_uses_larger_table_text()
    {
        BalanceValues v;
        v.common = common();
        const QString html = build_balance(v, 120, nullptr);
        QVERIFY(html.contains("<style type=\"text/css\">.zagolovok_bold { font-size: 16pt; }"));
        QVERIFY(html.contains("table.sample { font-size: 13pt; }"));
        QVERIFY(!html.contains("<!---120"));
    }

    void basis_document_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("blank name") << "   "
                                    << "12"
                                    << "01.02.2020"
                                    << "";
        QTest::newRow("no number") << "Распоряжение"
                                   << " "
                                   << "01.02.2020"
                                   << "";
        QTest::newRow("date never set") << "Распоряжение"
                                        << "12"
                                        << "01.02.2000"
                                        << "Распоряжение от 01.02.2000 №12";
        QTest::newRow("unset date") << "Распоряжение"
                                    << "12"
                                    << "01.01.2000"
                                    << "";
        QTest::newRow("all") << " Распоряжение "
                             << " 12-р "
                             << "01.02.2020"
                             << "Распоряжение от 01.02.2020 №12-р";
    }
    void basis_document()
    {
        QFETCH(QString, name);
        QFETCH(QString, number);
        QFETCH(QString, date);
        QFETCH(QString, text);
        QCOMPARE(basis_document_text({name, number, date}), text);
        QCOMPARE(basis_document_missing({name, number, date}), text.isEmpty());
    }

    void application_data()
    {
        QTest::addColumn<bool>("state_body");
        QTest::addColumn<QString>("short_name");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("organisation") << false << "ООО \"Ромашка\""
                                      << QStringList{"Общество &quot;Ромашка&quot; (ООО &quot;Ромашка&quot;)", "---",
                                                     "Организация, имеющая мобилизационное задание (заказ, задачу)",
                                                     "85%"};
        QTest::newRow("state body, same short name")
            << true << " Общество\n\"Ромашка\""
            << QStringList{"Общество &quot;Ромашка&quot;", "4000001", "Орган управления", "95%"};
    }
    void application()
    {
        QFETCH(bool, state_body);
        QFETCH(QString, short_name);
        QFETCH(QStringList, cells);
        ApplicationValues v;
        v.common = common();
        v.full_name = "Общество  \"Ромашка\"";
        v.short_name = short_name;
        v.inn = "7707083893";
        v.kpp = "770701001";
        v.tax_date = "14.05.2010";
        v.okato = "40262563000";
        v.okogu = "4000001";
        v.state_body = state_body;
        v.basis = {"Распоряжение <1>", "12", "01.02.2020"};
        v.military_office = "ВК района";
        v.wartime_staff[0] = 1, v.wartime_staff[1] = 2, v.wartime_staff[2] = 3, v.wartime_staff[3] = 999999;
        v.reserve_text = "40";
        v.reserved_text = "5";
        const QString html = build_application(v, 96);
        QVERIFY(html.contains("<td>" + cells.at(0) + "</td>"));
        QVERIFY(html.contains("<div class=\"rotate\">" + cells.at(1) + "</div>"));
        QVERIFY(html.contains("<td>" + cells.at(2) + "</td>"));
        QVERIFY(html.contains("<td>" + cells.at(3) + "</td>"));
        QVERIFY(html.contains("<div class=\"rotate\">770701001<BR>14.05.2010</div>"));
        QVERIFY(html.contains("<td>Распоряжение &lt;1&gt; от 01.02.2020 №12</td>"));
        QVERIFY(html.contains("<td>1000005</td>"));
        QVERIFY(html.contains("<td>ВК района</td><td>40</td><td>5</td>"));
        QVERIFY(html.contains("html{height:902.4;}"));
        QVERIFY(html.contains("И.П. Сидоров"));
        QVERIFY(html.contains("15.03.2026 г."));
        QCOMPARE(any_placeholder.match(html).captured(), QString());
    }

    void application_date_in_a_running_title_is_filled()
    {
        ApplicationValues v;
        v.common = common();
        v.common.up_left = "<p>[Дата]</p>";
        QVERIFY(build_application(v, 96).contains("<p>15.03.2026</p>"));
    }

    void page_heights_of_application_and_agreement_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("agreement");
        QTest::newRow("96") << 96 << "902.4"
                            << "1267.2";
        QTest::newRow("120") << 120 << "1128"
                             << "1584";
        QTest::newRow("111 as 120") << 111 << "1128"
                                    << "1584";
        QTest::newRow("144") << 144 << "1353.6"
                             << "1900.8";
        QTest::newRow("192") << 192 << "1804.8"
                             << "2534.4";
    }
    void page_heights_of_application_and_agreement()
    {
        QFETCH(int, dpi);
        QFETCH(QString, application);
        QFETCH(QString, agreement);
        ApplicationValues a;
        QVERIFY(build_application(a, dpi).contains("html{height:" + application + ";}"));
        AgreementValues g;
        NumberWords words;
        QVERIFY(build_agreement(g, dpi, words).contains("html{height:" + agreement + ";}"));
    }

    void agreement_data()
    {
        QTest::addColumn<int>("staff");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("0") << 0 << "составляет 0 (ноль) человек(-а).";
        QTest::newRow("2001") << 2001 << "составляет 2001 (две тысячи один) человек(-а).";
    }
    void agreement()
    {
        QFETCH(int, staff);
        QFETCH(QString, sentence);
        AgreementValues v;
        v.common = common();
        v.full_name = "ООО \"Ромашка\" & Ко";
        v.inn = "7707083893";
        v.staff = staff;
        v.staff_text = QString::number(staff);
        NumberWords words;
        int steps = 0;
        const QString html = build_agreement(v, 96, words, [&] { ++steps; });
        QCOMPARE(steps, 10);
        QVERIFY(html.contains(sentence));
        QVERIFY(html.contains("\"ООО &quot;Ромашка&quot; &amp; Ко\"<BR>ИНН 7707083893"));
        QVERIFY(html.contains("И.П. Сидоров"));
        QCOMPARE(any_placeholder.match(html).captured(), QString());
        QCOMPARE(build_agreement(v, 96, words), html);
    }
};

QTEST_GUILESS_MAIN(TestPrintDocuments)
#include "tst_print_documents.moc"
