// Name tidy-up, the additional OKVED list and the tool-tip wrapper.
#include "tests/support/core_test_support.h"
#include "text/text_rules.h"

class TestTextRules : public QObject
{
    Q_OBJECT

private slots:
    void org_name_data();
    void org_name();
    void name_through_sentence_case();
    void okved_sort_data();
    void okved_sort();
    void okved_clean_data();
    void okved_clean();
    void tooltip_wrapper();
    void append_space_adds_one_blank();
};

void TestTextRules::org_name_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("capital after the opening quote") << "ООО \"ромашка\""
                                                     << "ООО \"Ромашка\"";
    QTest::newRow("guillemets give no capital") << "ООО «ромашка»"
                                                << "ООО «ромашка»";
    QTest::newRow("only the opening quote goes") << "\"Ромашка\""
                                                 << "Ромашка\"";
    QTest::newRow("three double quotes at most") << "\"\"\"\"альфа"
                                                 << "\"альфа";
    QTest::newRow("quote then apostrophe") << "\"'Альфа"
                                           << "Альфа";
    QTest::newRow("apostrophe then quote") << "'\"Альфа"
                                           << "\"Альфа";
    QTest::newRow("guillemet then quote") << "«\"Альфа"
                                          << "\"Альфа";
    QTest::newRow("blanks do not protect a quote") << "  \"Альфа"
                                                   << "Альфа";
    QTest::newRow("first letter capital") << "ромашка"
                                          << "Ромашка";
    QTest::newRow("spb any case") << "ооо спб, СПБ и Спб"
                                  << "Ооо СПб, СПб и СПб";
    QTest::newRow("spb inside a word") << "спбгу"
                                       << "СПбгу";
    QTest::newRow("city inside a word") << "гуп санкт-петербургский"
                                        << "Гуп Санкт-Петербургский";
    QTest::newRow("control characters") << QString("А") + QChar(2) + "Б" + QChar(3) << "А-Б-";
    QTest::newRow("inner blanks") << "ООО   \t Ромашка \n"
                                  << "ООО Ромашка";
    QTest::newRow("later quote gives no capital") << "а \"б\" \"в\""
                                                  << "А \"Б\" \"в\"";
    QTest::newRow("quote at the end") << "ООО \""
                                      << "ООО \"";
}

void TestTextRules::org_name()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(normalise_org_name(input), expected);
}

void TestTextRules::name_through_sentence_case()
{
    QCOMPARE(normalise_org_name(sentence_case("ООО \"РОМАШКА\" СПБ")), QString("Ооо \"Ромашка\" СПб"));
    QCOMPARE(sentence_case("  "), QString());
}

void TestTextRules::okved_sort_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("picked order sorted") << "02.1, 01.11"
                                         << "01.11, 02.1";
    QTest::newRow("by characters, not numbers") << "9.1,10.1,02.1"
                                                << "02.1, 10.1, 9.1";
    QTest::newRow("duplicates stay") << "01.1, 01.1"
                                     << "01.1, 01.1";
    QTest::newRow("blanks inside a code vanish") << "01. 1"
                                                 << "01.1";
    QTest::newRow("empty item sorts first") << ",01.1"
                                            << ", 01.1";
    QTest::newRow("single comma") << ","
                                  << ",";
    QTest::newRow("runs again with the same result") << "01.11, 02.1"
                                                     << "01.11, 02.1";
}

void TestTextRules::okved_sort()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(sort_okved_list(input), expected);
}

void TestTextRules::okved_clean_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("doubled and edge commas") << ",,01.1,,,02.1,"
                                             << "01.1, 02.1";
    QTest::newRow("single comma") << ","
                                  << "";
    QTest::newRow("tab and no-break space") << QString("01.1,\t02.2") + QChar(0xA0) + ",03.3"
                                            << "01.1, 02.2, 03.3";
    QTest::newRow("long comma run") << "01.1" + QString(300, ',') + "02.1"
                                    << "01.1, 02.1";
}

void TestTextRules::okved_clean()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(clean_okved_list(input), expected);
}

void TestTextRules::tooltip_wrapper()
{
    const QString empty = wrap_tooltip_html(QString());
    QCOMPARE(empty.size(), 84);
    QCOMPARE(empty,
             QString("<html><body><table width=\"200\"><tr><td align=\"left\"></td></tr></table></body></html>"));
    QVERIFY(wrap_tooltip_html("a <b>&</b>").contains("a <b>&</b>"));
}

void TestTextRules::append_space_adds_one_blank()
{
    QString empty;
    QCOMPARE(append_space(empty), QString(" "));
    QString word = "пять";
    append_space(word);
    QCOMPARE(word, QString("пять "));
}

QUELT_CORE_TEST_MAIN(TestTextRules)
#include "tst_text_rules.moc"
