#include "test_support.h"

#include "card_lists.h"
#include "iexml.h"
#include "password_list_reader.h"

#include <QBuffer>
#include <QFile>
#include <QSet>

namespace
{

using Values = QVector<QString>;
using Expected = QMap<int, QString>; // slot -> text; -2, -3, -4: balance, bron, nebron rows joined by "|"

const QString data_dir = QStringLiteral(QUELT_TEST_DATA "/cardfile/");

QByteArray read_fixture(const QString &name)
{
    QFile file(data_dir + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A filled card: every slot that carries something holds a recognisable value.
Values sample_card(bool reserving)
{
    Values v(card_lists::main_size);
    for (int i = 0; i < card_lists::main_size; ++i)
        v[i] = QString("знач_%1").arg(i);
    for (int s : {12, 13, 42, 43, 46, 53})
        v[s].clear();
    for (int s = 70; s <= 92; ++s)
        v[s].clear();
    for (int s = 94; s <= 98; ++s)
        v[s].clear();
    v[card_slot::le_osn_ved] = "62.01";
    v[card_slot::le_dop_ved] = "01.11, 46.90, 10.1";
    v[card_slot::checkBox_balance_voenshtat] = "shtatvv";
    v[card_slot::cb_OGV] = "Да";
    v[card_slot::cb_MobOrgan] = "Да";
    v[card_slot::dateZap] = "2024-03-05";
    for (int s : {card_slot::ob_ruk_date, card_slot::ob_vur_date, card_slot::ob_mob_date, card_slot::dateINN,
                  card_slot::NPA_date})
        v[s] = "2023-12-31";
    if (reserving) {
        v[card_slot::cb_kat_b] = "Б";
        v[card_slot::balance_row_count] = "2";
        v[card_slot::bron_row_count] = "1";
        v[card_slot::nebron_row_count] = "2";
    } else {
        v[card_slot::cb_kat_b] = "А";
        v[card_slot::balance_row_count] = "0";
        v[card_slot::bron_row_count] = "0";
        v[card_slot::nebron_row_count] = "0";
        for (int s = 101; s <= 109; ++s)
            v[s].clear();
        for (int s : {112, 113, 116})
            v[s].clear();
    }
    for (int s = 101; s <= 108; ++s)
        v[s].clear();
    return v;
}

Values rows(int count, int size, const QString &tag)
{
    Values r;
    for (int j = 0; j < count; ++j)
        for (int k = 0; k < size; ++k)
            r << QString("%1 %2/%3").arg(tag).arg(j).arg(k);
    return r;
}

// Slots that the reader never fills, whatever the card holds.
const QSet<int> &unread_slots()
{
    static QSet<int> s = [] {
        QSet<int> set{13, 42, 43, 46, 53};
        for (int i = 70; i <= 92; ++i)
            set << i;
        for (int i = 94; i <= 98; ++i)
            set << i;
        for (int i = 101; i <= 108; ++i)
            set << i;
        return set;
    }();
    return s;
}

QStringList child_names(const QDomElement &parent)
{
    QStringList names;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

QDomElement org_of(const QDomDocument &doc)
{
    return doc.documentElement().firstChildElement("R_aORG");
}

QByteArray card_document(const QString &version_element, const QString &body)
{
    return QString("<?xml version = \"1.0\" encoding=\"UTF-8\"?>\n<dataroot><R_aORG>%1%2</R_aORG></dataroot>\n")
        .arg(version_element, body)
        .toUtf8();
}

} // namespace

class TestCardXml : public QObject
{
    Q_OBJECT

private slots:
    void round_trip_data();
    void round_trip();
    void round_trip_not_reserving();
    void golden_document();
    void element_order_follows_slots();
    void control_characters_dropped();
    void category_a_leaves_reserving_out();
    void zero_ogrn_takes_inn();
    void okved_sections_data();
    void okved_sections();
    void okved_empty_codes();
    void counts_larger_than_lists();
    void counts_zero_leave_blocks_out();
    void version_gates_data();
    void version_gates();
    void old_balance_rows();
    void kol_mp_first_non_empty_wins();
    void okved_before_any_n_is_ignored();
    void tag_names_are_case_sensitive();
    void rows_before_their_count_are_ignored();
    void unparsable_document_gives_nothing_data();
    void unparsable_document_gives_nothing();
    void row_lists_by_kind();
    void password_list();
    void password_list_duplicates_and_nesting();
    void password_list_broken_or_missing();
};

void TestCardXml::round_trip_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("value");
    QTest::newRow("cyrillic") << card_slot::te_orgname << QString("ООО «Ромашка» — Санкт-Петербург");
    QTest::newRow("quotes") << card_slot::te_orgname2 << QString("АО \"Звезда\" и 'Луна'");
    QTest::newRow("markup") << card_slot::te_dopinfo << QString("a < b & c > d </Dop_inf> &amp;");
    QTest::newRow("blanks around") << card_slot::lineEdit << QString("  директор  ");
    QTest::newRow("only blanks") << card_slot::le_FamRuk << QString("   ");
    QTest::newRow("lines") << card_slot::te_up_l << QString("строка 1\nстрока 2\r\n\tотступ");
    QTest::newRow("empty") << card_slot::le_KPP << QString();
    QTest::newRow("phone") << card_slot::le_TelRuk << QString("(812)-555-12-34");
}

void TestCardXml::round_trip()
{
    QFETCH(int, slot);
    QFETCH(QString, value);
    Values card = sample_card(true);
    card[slot] = value;
    const Values balance = rows(2, 10, "бал <&>");
    const Values bron = rows(1, 5, " бронь \"x\" ");
    const Values nebron = rows(2, 3, "не");

    iexml writer;
    const QByteArray text = iexml::card_xml_text(writer.write_card_xml(card, balance, bron, nebron));
    iexml reader;
    QVERIFY(reader.read_card_document(text));
    QCOMPARE(card_file_version, 25);
    QCOMPARE(reader.card_values.size(), card_lists::read_main_size);
    for (int i = 0; i < card_lists::main_size; ++i) {
        if (unread_slots().contains(i))
            QVERIFY2(reader.card_values.at(i).isEmpty(), qPrintable(QString("slot %1").arg(i)));
        else
            QVERIFY2(reader.card_values.at(i) == card.at(i),
                     qPrintable(QString("slot %1: %2 != %3").arg(i).arg(reader.card_values.at(i)).arg(card.at(i))));
    }
    QCOMPARE(reader.parse_card(QDomDocument(), 2), balance);
    QCOMPARE(reader.parse_card(QDomDocument(), 3), bron);
    QCOMPARE(reader.parse_card(QDomDocument(), 4), nebron);
}

void TestCardXml::round_trip_not_reserving()
{
    Values card = sample_card(false);
    card[card_slot::cb_OGV] = "Нет";
    card[card_slot::cb_MobOrgan] = "Нет";
    card[card_slot::te_orgname] = " Общество с ограниченной ответственностью & <Ко> ";
    iexml writer;
    const QByteArray text = iexml::card_xml_text(writer.write_card_xml(card, {}, {}, {}));
    iexml reader;
    QVERIFY(reader.read_card_document(text));
    // Written unconditionally: read back as they were.
    for (int s : {0, 1, 17, 19, 21, 27, 28, 33, 34, 35, 44, 47, 52, 54, 55, 93, 99, 110, 111, 117})
        QCOMPARE(reader.card_values.at(s), card.at(s));
    // Left out for such a card: empty, or the date default.
    for (int s : {40, 41, 45, 61, 63, 64, 66, 67, 69, 100, 109, 112, 113, 114, 115, 118, 119, 125})
        QVERIFY2(reader.card_values.at(s).isEmpty(), qPrintable(QString::number(s)));
    for (int s : {62, 65, 68, 116})
        QCOMPARE(reader.card_values.at(s), QString("2000-01-01"));
    QVERIFY(reader.balance_rows.isEmpty() && reader.bron_rows.isEmpty() && reader.nebron_rows.isEmpty());
}

void TestCardXml::golden_document()
{
    Values card = sample_card(true);
    card[card_slot::le_FaxRuk] = QString();
    card[card_slot::te_orgname] = "ООО \"Тест\" & <Ко>";
    iexml writer;
    const QByteArray text =
        iexml::card_xml_text(writer.write_card_xml(card, rows(2, 10, "б"), rows(1, 5, "р"), rows(2, 3, "н")));
    const QByteArray golden = read_fixture("golden_card.xml");
    QVERIFY(!golden.isEmpty());
    if (text != golden) {
        QFile out(QDir::tempPath() + "/golden_card.actual.xml");
        if (out.open(QIODevice::WriteOnly))
            out.write(text);
        QFAIL(qPrintable("document differs from the golden file; written to " + out.fileName()));
    }
    QVERIFY(text.startsWith("<?xml version = \"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n <R_aORG>\n  <N_ver_quelt>25<"));
    QVERIFY(text.contains("  <Fax></Fax>\n"));
    QVERIFY(!text.contains("/>"));
    QVERIFY(!text.startsWith("\xEF\xBB\xBF"));
}

void TestCardXml::element_order_follows_slots()
{
    Values card = sample_card(true);
    iexml writer;
    const QDomDocument doc = writer.write_card_xml(card, rows(2, 10, "б"), rows(1, 5, "р"), rows(2, 3, "н"));
    const QStringList names = child_names(org_of(doc));
    QCOMPARE(names.first(), QString("N_ver_quelt"));
    QCOMPARE(names.count("R_aOrg_Ved"), 4);
    QCOMPARE(names.count("R_aorg_tr"), 2);
    QCOMPARE(names.count("R_GPZ_bron"), 1);
    QCOMPARE(names.count("R_GPZ_nebron"), 2);
    QVERIFY(names.indexOf("fax_nkp") < names.indexOf("R_aOrg_Ved"));
    QVERIFY(names.indexOf("R_obuchenie") < names.indexOf("balance_str"));
    QCOMPARE(names.indexOf("balance_str") + 1, names.indexOf("R_aorg_tr"));
    QCOMPARE(names.indexOf("bron_strok") + 1, names.indexOf("R_GPZ_bron"));
    QCOMPARE(names.indexOf("nebron_strok") + 1, names.indexOf("R_GPZ_nebron"));
    QCOMPARE(names.size(), 74 + 4 + 1 + 3 + 5);
    const QDomElement tr = org_of(doc).firstChildElement("R_aorg_tr").nextSiblingElement("R_aorg_tr");
    QCOMPARE(child_names(tr), QStringList({"OGRN_TR", "kol_shtat", "Naim_kat", "Kod_spec", "Kod_faset", "Kol_all",
                                           "Kol_ub_mob", "Kol_trbron", "Kol_treb", "kol_dob_vnut", "Kol_treb_mir"}));
    QCOMPARE(tr.firstChildElement("kol_shtat").text(), QString("б 1/0"));
    QCOMPARE(tr.firstChildElement("Kol_treb_mir").text(), QString("б 1/9"));
    QCOMPARE(tr.firstChildElement("OGRN_TR").text(), card.at(card_slot::le_OGRN));
}

void TestCardXml::control_characters_dropped()
{
    Values card = sample_card(false);
    card[card_slot::te_orgname] =
        QString("А\x01Б\x1F") + QChar(0xFFFE) + QChar(0xD800) + "В\tГ" + QString::fromUcs4(U"\U0001F600");
    iexml writer;
    const QByteArray text = iexml::card_xml_text(writer.write_card_xml(card, {}, {}, {}));
    QDomDocument strict;
    QVERIFY(strict.setContent(text));
    iexml reader;
    QVERIFY(reader.read_card_document(text));
    QCOMPARE(reader.card_values.at(card_slot::te_orgname), QString("АБВ\tГ") + QString::fromUcs4(U"\U0001F600"));
}

void TestCardXml::category_a_leaves_reserving_out()
{
    Values card = sample_card(false);
    iexml writer;
    const QStringList names = child_names(org_of(writer.write_card_xml(card, rows(1, 10, "x"), {}, {})));
    QVERIFY(names.contains("AB"));
    for (const char *absent : {"Kol_SM", "Kol_neSM", "NPA_doc", "NPA_no", "NPA_date", "VK_org", "R_obuchenie",
                               "balance_str", "bron_strok", "nebron_strok", "R_aorg_tr"})
        QVERIFY2(!names.contains(absent), absent);

    card[card_slot::cb_kat_b] = " Б";
    QVERIFY(!child_names(org_of(writer.write_card_xml(card, {}, {}, {}))).contains("Kol_SM"));
    card[card_slot::cb_OGV] = "Нет";
    card[card_slot::cb_MobOrgan] = "да";
    const QStringList names2 = child_names(org_of(writer.write_card_xml(card, {}, {}, {})));
    QVERIFY(!names2.contains("OKOGU"));
    QVERIFY(names2.contains("mob_yes"));
    QVERIFY(!names2.contains("vur_in_mob") && !names2.contains("fax_nkp"));
}

void TestCardXml::zero_ogrn_takes_inn()
{
    Values card = sample_card(true);
    card[card_slot::le_OGRN] = "0";
    card[card_slot::le_INN] = "7801234567";
    iexml writer;
    const QDomElement org = org_of(writer.write_card_xml(card, rows(2, 10, "b"), rows(1, 5, "r"), rows(2, 3, "n")));
    QCOMPARE(org.firstChildElement("OGRN").text(), QString("7801234567"));
    QCOMPARE(org.firstChildElement("INN").text(), QString("7801234567"));
    for (const char *key : {"ogrn", "GRN", "OGRN_TR", "ogrn_real"}) {
        const QDomNodeList all = org.elementsByTagName(key);
        QVERIFY(all.size() > 0);
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(all.at(i).toElement().text(), QString("0"));
    }
}

void TestCardXml::okved_sections_data()
{
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("sections");
    QTest::newRow("four") << "62.01"
                          << "01.11, 46.90, 10.1" << QStringList{"62.01", "01.11", "46.90", "10.1"}
                          << QStringList{"J", "A", "G", "C"};
    QTest::newRow("empty part") << "85.11"
                                << "85.41, , 99" << QStringList{"85.11", "85.41", "99"} << QStringList{"P", "P", "U"};
    QTest::newRow("bounds") << "05"
                            << "09.1, 35, 39, 41, 43.2, 53, 55, 56" << QStringList{}
                            << QStringList{"B", "B", "D", "E", "F", "F", "H", "I", "I"};
    QTest::newRow("gaps fall to C") << "04"
                                    << "34, 40, 44, 48, 54, 57, 67, 76, 83, 89, ab, 3" << QStringList{}
                                    << QStringList(QVector<QString>(13, "C").toList());
    QTest::newRow("leading blank") << " 62"
                                   << "" << QStringList{" 62"} << QStringList{"C"};
    QTest::newRow("high") << "68"
                          << "69, 75, 77, 82, 84, 86, 88, 90, 93, 94, 96, 97, 98" << QStringList{}
                          << QStringList{"L", "M", "M", "N", "N", "O", "Q", "Q", "R", "R", "S", "S", "T", "T"};
}

void TestCardXml::okved_sections()
{
    QFETCH(QString, main);
    QFETCH(QString, extra);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, sections);
    Values card = sample_card(false);
    card[card_slot::le_osn_ved] = main;
    card[card_slot::le_dop_ved] = extra;
    iexml writer;
    const QDomNodeList records = org_of(writer.write_card_xml(card, {}, {}, {})).elementsByTagName("R_aOrg_Ved");
    QCOMPARE(records.size(), sections.size());
    for (int i = 0; i < records.size(); ++i) {
        const QDomElement r = records.at(i).toElement();
        QCOMPARE(child_names(r), QStringList({"ogrn", "N", "okved", "OK_razdel"}));
        QCOMPARE(r.firstChildElement("N").text(), QString(i == 0 ? "Осн" : "Доп"));
        QCOMPARE(r.firstChildElement("OK_razdel").text(), sections.at(i));
        if (!codes.isEmpty())
            QCOMPARE(r.firstChildElement("okved").text(), codes.at(i));
    }
}

void TestCardXml::okved_empty_codes()
{
    Values card = sample_card(false);
    card[card_slot::le_osn_ved].clear();
    card[card_slot::le_dop_ved].clear();
    iexml writer;
    const QDomNodeList records = org_of(writer.write_card_xml(card, {}, {}, {})).elementsByTagName("R_aOrg_Ved");
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.at(0).toElement().firstChildElement("okved").text(), QString());
    QCOMPARE(records.at(0).toElement().firstChildElement("OK_razdel").text(), QString());
}

void TestCardXml::counts_larger_than_lists()
{
    Values card = sample_card(true);
    card[card_slot::balance_row_count] = "5";
    card[card_slot::bron_row_count] = "3";
    card[card_slot::nebron_row_count] = "4";
    iexml writer;
    Values short_balance = rows(1, 10, "b");
    short_balance << "tail";
    const QDomElement org = org_of(writer.write_card_xml(card, short_balance, {}, rows(1, 3, "n")));
    QCOMPARE(org.firstChildElement("balance_str").text(), QString("5"));
    QCOMPARE(org.elementsByTagName("R_aorg_tr").size(), 2);
    QCOMPARE(org.elementsByTagName("R_aorg_tr").at(1).toElement().firstChildElement("kol_shtat").text(),
             QString("tail"));
    QCOMPARE(org.elementsByTagName("R_aorg_tr").at(1).toElement().firstChildElement("Naim_kat").text(), QString());
    QCOMPARE(org.elementsByTagName("R_GPZ_bron").size(), 0);
    QCOMPARE(org.elementsByTagName("R_GPZ_nebron").size(), 1);
}

void TestCardXml::counts_zero_leave_blocks_out()
{
    Values card = sample_card(true);
    card[card_slot::bron_row_count] = "0";
    card[card_slot::balance_row_count] = "два";
    iexml writer;
    const QStringList names = child_names(org_of(writer.write_card_xml(card, rows(2, 10, "b"), rows(2, 5, "r"), {})));
    QVERIFY(!names.contains("bron_strok") && !names.contains("R_GPZ_bron"));
    QVERIFY(!names.contains("balance_str") && !names.contains("R_aorg_tr"));
}

// Old cards: each element is read only from the version that brought it in.
void TestCardXml::version_gates_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("body");
    QTest::addColumn<Expected>("expected");

    const QString body = "<Naim_org1>Имя</Naim_org1><Tel_ruk_dob1>12</Tel_ruk_dob1>"
                         "<R_aOrg_Ved><N>Осн</N><okved>62.01</okved></R_aOrg_Ved>"
                         "<Kol_vredn>3</Kol_vredn><kolont1>верх</kolont1><Adr_reg1>СПб</Adr_reg1>"
                         "<mob_yes>Да</mob_yes><Fam_nkp>Петров</Fam_nkp>"
                         "<OKOGU>2300</OKOGU><KPP>780101001</KPP><Date_INN>2001-02-03</Date_INN>"
                         "<NPA_date>2005-06-07</NPA_date><VK_org>5</VK_org>"
                         "<Kol_SM>2</Kol_SM><oficer_b>3</oficer_b><oficer_b>4</oficer_b>"
                         "<ob_ruk_date>2010-01-01</ob_ruk_date><ob_mob>7</ob_mob>";
    const auto row = [](QString name, QString okved, QString tel, QString vredn, QString kolont, QString mob,
                        QString okogu, QString kpp, QString date_inn, QString npa_date, QString kol_sm, QString ob_date,
                        QString ob_mob) {
        return Expected{{0, name},
                        {57, tel},
                        {33, okved},
                        {59, vredn},
                        {48, kolont},
                        {99, kolont.isEmpty() ? "" : "СПб"},
                        {117, mob},
                        {120, mob.isEmpty() ? "" : "Петров"},
                        {45, okogu},
                        {110, kpp},
                        {111, date_inn},
                        {116, npa_date},
                        {109, okogu.isEmpty() ? "" : "5"},
                        {40, kol_sm},
                        {62, ob_date},
                        {67, ob_mob},
                        {52, "2000-01-01"}};
    };
    const QString d = "2000-01-01";
    QTest::newRow("no version") << "" << body << row("Имя", "", "", "", "", "", "", "", d, d, "7", d, "");
    QTest::newRow("v0 text") << "<N_ver_quelt>abc</N_ver_quelt>" << body
                             << row("Имя", "", "", "", "", "", "", "", d, d, "7", d, "");
    QTest::newRow("v1") << "<N_ver_quelt>1</N_ver_quelt>" << body
                        << row("Имя", "62.01", "12", "", "", "", "", "", d, d, "7", d, "");
    QTest::newRow("v3") << "<N_ver_quelt>3</N_ver_quelt>" << body
                        << row("Имя", "62.01", "12", "3", "", "", "", "", d, d, "7", d, "");
    QTest::newRow("v4") << "<N_ver_quelt>4</N_ver_quelt>" << body
                        << row("Имя", "62.01", "12", "3", "верх", "", "", "", d, d, "7", d, "");
    QTest::newRow("v10") << "<N_ver_quelt>10</N_ver_quelt>" << body
                         << row("Имя", "62.01", "12", "3", "верх", "Да", "", "", d, d, "7", d, "");
    QTest::newRow("v22") << "<N_ver_quelt>22</N_ver_quelt>" << body
                         << row("Имя", "62.01", "12", "3", "верх", "Да", "", "", d, d, "7", d, "");
    QTest::newRow("v23") << "<N_ver_quelt>23</N_ver_quelt>" << body
                         << row("Имя", "62.01", "12", "3", "верх", "Да", "2300", "780101001", "2001-02-03",
                                "2005-06-07", "7", d, "");
    QTest::newRow("v24") << "<N_ver_quelt>24</N_ver_quelt>" << body
                         << row("Имя", "62.01", "12", "3", "верх", "Да", "2300", "780101001", "2001-02-03",
                                "2005-06-07", "7", d, "");
    QTest::newRow("v25") << "<N_ver_quelt>25</N_ver_quelt>" << body
                         << row("Имя", "62.01", "12", "3", "верх", "Да", "2300", "780101001", "2001-02-03",
                                "2005-06-07", "2", "2010-01-01", "7");
    QTest::newRow("v24 without oficer_b") << "<N_ver_quelt>24</N_ver_quelt>"
                                          << "<Kol_SM>2</Kol_SM>" << Expected{{40, ""}};
    QTest::newRow("v7 rows") << "<N_ver_quelt>7</N_ver_quelt>"
                             << "<bron_strok>1</bron_strok><R_GPZ_bron><Kod_pdp>a</Kod_pdp><FIO>b</FIO></R_GPZ_bron>"
                                "<nebron_strok>1</nebron_strok><R_GPZ_nebron><kol_nebron>4</kol_nebron>"
                                "</R_GPZ_nebron>"
                             << Expected{{114, "1"}, {115, "1"}, {-3, "a|b"}, {-4, "4"}};
    QTest::newRow("v6 rows") << "<N_ver_quelt>6</N_ver_quelt>"
                             << "<bron_strok>1</bron_strok><R_GPZ_bron><Kod_pdp>a</Kod_pdp></R_GPZ_bron>"
                                "<balance_str>1</balance_str><R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr>"
                             << Expected{{114, ""}, {100, "1"}, {-3, ""}, {-2, "1"}};
    QTest::newRow("v4 balance") << "<N_ver_quelt>4</N_ver_quelt>"
                                << "<balance_str>1</balance_str><R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr>"
                                << Expected{{100, ""}, {-2, ""}};
}

void TestCardXml::version_gates()
{
    QFETCH(QString, version);
    QFETCH(QString, body);
    QFETCH(Expected, expected);
    card_file_version = 99;
    iexml reader;
    QVERIFY(reader.read_card_document(card_document(version, body)));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QString actual;
        if (it.key() >= 0)
            actual = reader.card_values.at(it.key());
        else if (it.key() == -2)
            actual = QStringList(reader.balance_rows.toList()).join("|");
        else if (it.key() == -3)
            actual = QStringList(reader.bron_rows.toList()).join("|");
        else
            actual = QStringList(reader.nebron_rows.toList()).join("|");
        QVERIFY2(actual == it.value(),
                 qPrintable(QString("key %1: '%2' expected '%3'").arg(it.key()).arg(actual, it.value())));
    }
    const int expected_version = version.isEmpty() ? 0 : QString(version).remove(QRegExp("[^0-9]")).toInt();
    QCOMPARE(card_file_version, expected_version);
}

void TestCardXml::old_balance_rows()
{
    const QString record = "<R_aorg_tr><OGRN_TR>1</OGRN_TR><kol_shtat>%1</kol_shtat><Naim_kat>к</Naim_kat>"
                           "<Kod_spec>с</Kod_spec><Kod_faset>ф</Kod_faset><Kol_all>10</Kol_all>"
                           "<Kol_ub_mob>2</Kol_ub_mob><Kol_trbron>3</Kol_trbron><Kol_treb>%2</Kol_treb>"
                           "</R_aorg_tr>";
    const QString body = "<balance_str>2</balance_str>" + record.arg("1", "7") + record.arg("2", "8");
    iexml v14;
    QVERIFY(v14.read_card_document(card_document("<N_ver_quelt>14</N_ver_quelt>", body)));
    QCOMPARE(v14.balance_rows, Values({"1", "к", "с", "ф", "10", "2", "3", "7", "0", "7",
                                       "2", "к", "с", "ф", "10", "2", "3", "8", "0", "8"}));

    iexml v15;
    QVERIFY(v15.read_card_document(card_document("<N_ver_quelt>15</N_ver_quelt>", body)));
    QCOMPARE(v15.balance_rows.size(), 16);
    QCOMPARE(v15.balance_rows.at(8), QString("2"));

    // Old cards carry no kol_dob_vnut/Kol_treb_mir; if they did they would be ignored.
    iexml v10;
    QVERIFY(v10.read_card_document(card_document("<N_ver_quelt>10</N_ver_quelt>",
                                                 "<balance_str>1</balance_str><Kol_treb>5</Kol_treb><kol_dob_vnut>9</"
                                                 "kol_dob_vnut><Kol_treb_mir>9</Kol_treb_mir>")));
    QCOMPARE(v10.balance_rows, Values({"5", "0", "5"}));
}

void TestCardXml::kol_mp_first_non_empty_wins()
{
    iexml a;
    QVERIFY(a.read_card_document(card_document("", "<Kol_MP>5</Kol_MP><Kol_MP>7</Kol_MP>")));
    QCOMPARE(a.card_values.at(card_slot::sb_f6_mp), QString("5"));
    iexml b;
    QVERIFY(b.read_card_document(card_document("", "<Kol_MP></Kol_MP><Kol_MP>7</Kol_MP>")));
    QCOMPARE(b.card_values.at(card_slot::sb_f6_mp), QString("7"));
}

void TestCardXml::okved_before_any_n_is_ignored()
{
    iexml reader;
    QVERIFY(reader.read_card_document(card_document(
        "<N_ver_quelt>25</N_ver_quelt>", "<okved>01</okved><N>Осн</N><okved>62</okved><N>Доп</N><okved>46</okved>"
                                         "<N>другое</N><okved>47</okved>")));
    QCOMPARE(reader.card_values.at(card_slot::le_osn_ved), QString("62"));
    QCOMPARE(reader.card_values.at(card_slot::le_dop_ved), QString("46, 47"));
}

void TestCardXml::tag_names_are_case_sensitive()
{
    iexml reader;
    QVERIFY(reader.read_card_document(card_document(
        "<N_ver_quelt>25</N_ver_quelt>", "<ogrn>1</ogrn><N>Осн</N><OKVED>62</OKVED><naim_org1>x</naim_org1>")));
    QVERIFY(reader.card_values.at(card_slot::le_OGRN).isEmpty());
    QVERIFY(reader.card_values.at(card_slot::le_osn_ved).isEmpty());
    QVERIFY(reader.card_values.at(card_slot::te_orgname).isEmpty());
}

void TestCardXml::rows_before_their_count_are_ignored()
{
    iexml reader;
    QVERIFY(reader.read_card_document(
        card_document("<N_ver_quelt>25</N_ver_quelt>",
                      "<R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr><balance_str>1</balance_str>")));
    QVERIFY(reader.balance_rows.isEmpty());
    iexml zero;
    QVERIFY(zero.read_card_document(
        card_document("<N_ver_quelt>25</N_ver_quelt>", "<balance_str>0</balance_str><kol_shtat>1</kol_shtat>")));
    QVERIFY(zero.balance_rows.isEmpty());
}

void TestCardXml::unparsable_document_gives_nothing_data()
{
    QTest::addColumn<QByteArray>("bad");
    QTest::newRow("truncated") << QByteArray("<dataroot><R_aORG>");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("не xml");
    QTest::newRow("two roots") << QByteArray("<a/><b/>");
}

void TestCardXml::unparsable_document_gives_nothing()
{
    QFETCH(QByteArray, bad);
    iexml reader;
    QVERIFY(reader.read_card_document(card_document("<N_ver_quelt>25</N_ver_quelt>", "<Naim_org1>x</Naim_org1>")));
    QVERIFY(!reader.card_values.isEmpty());
    QVERIFY(!reader.read_card_document(bad));
    QVERIFY(reader.card_values.isEmpty());
    QVERIFY(reader.balance_rows.isEmpty() && reader.bron_rows.isEmpty() && reader.nebron_rows.isEmpty());
    QCOMPARE(reader.messages().size(), 1);
    QCOMPARE(reader.messages().first().title, QString("Ошибка!"));
    QVERIFY(reader.messages().first().text.startsWith("Ошибка чтения файла!\n"));
    QCOMPARE(reader.messages().first().icon, CardMessage::Critical);
    QCOMPARE(reader.messages().first().style_sheet(), QString("font-size: 12px"));
    QCOMPARE(reader.error_text(), reader.messages().first().text);
}

void TestCardXml::row_lists_by_kind()
{
    iexml reader;
    QVERIFY(reader.read_card_document(
        card_document("<N_ver_quelt>25</N_ver_quelt>",
                      "<bron_strok>1</bron_strok><Kod_pdp>p</Kod_pdp><nebron_strok>1</nebron_strok><Povod>x</Povod>")));
    QCOMPARE(reader.parse_card(QDomDocument(), 3), Values({"p"}));
    QCOMPARE(reader.parse_card(QDomDocument(), 7), Values({"x"}));
    QCOMPARE(reader.open_card("Getbron"), Values({"p"}));
    QCOMPARE(reader.open_card("Getnebron"), Values({"x"}));
    QVERIFY(reader.open_card("Getbalance").isEmpty());
    QCOMPARE(reader.card_values.at(card_slot::bron_row_count), QString("1"));
}

void TestCardXml::password_list()
{
    PasswordListReader reader;
    QVERIFY(reader.load(QStringLiteral(QUELT_SOURCE_DIR "/resources/xml/pass.xml")));
    QCOMPARE(reader.current_password, QString("marvolt47"));
    QCOMPARE(reader.old_passwords.size(), 2);
    for (const QString &old : reader.old_passwords)
        QVERIFY(QRegExp("[0-9]{3}").exactMatch(old));
    QVERIFY(reader.old_passwords.at(0) != reader.old_passwords.at(1));
    QFile file(QStringLiteral(QUELT_SOURCE_DIR "/resources/xml/pass.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("<?xml version = \"1.0\" encoding=\"UTF-8\"?>\n"));
    QVERIFY(!text.contains('\r'));
}

void TestCardXml::password_list_duplicates_and_nesting()
{
    PasswordListReader reader;
    QVERIFY(reader.load(data_dir + "pass_nested.xml"));
    QCOMPARE(reader.current_password, QString("второй"));
    QCOMPARE(reader.old_passwords, Values({"111", "222", "333"}));

    QBuffer buffer;
    buffer.setData("<pass><Текущий_пароль>a<b>c</b></Текущий_пароль></pass>");
    buffer.open(QIODevice::ReadOnly);
    QVERIFY(reader.load(&buffer));
    QCOMPARE(reader.current_password, QString("ac"));
    QVERIFY(reader.old_passwords.isEmpty());
}

void TestCardXml::password_list_broken_or_missing()
{
    PasswordListReader reader;
    reader.current_password = "x";
    reader.old_passwords << "y";
    QVERIFY(reader.load(data_dir + "pass_broken.xml"));
    QVERIFY(reader.current_password.isEmpty());
    QVERIFY(reader.old_passwords.isEmpty());
    reader.current_password = "x";
    QVERIFY(!reader.load(data_dir + "no_such_file.xml"));
    QVERIFY(reader.current_password.isEmpty());
}

QUELT_TEST_MAIN(TestCardXml)
#include "tst_card_xml.moc"
