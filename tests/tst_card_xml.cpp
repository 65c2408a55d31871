#include "tests/support/core_test_support.h"

#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "cardfile/password_list_reader.h"
#include "cardfile/temp_card.h"
#include "tests/support/named_values.h"

#include <QDir>
#include <QFile>

namespace
{

using Values = QVector<QString>;
using Expected = QMap<int, QString>; // slot -> text, or one of the row keys -> the rows joined by "|"
constexpr int balance_key = -2, bron_key = -3, nebron_key = -4;

const QString data_dir = QStringLiteral(QUELT_TEST_DATA "/cardfile/");

Values sample_card(bool reserving)
{
    using namespace card_slot;
    Values v(card_lists::main_size);
    // Slots no widget feeds, or that the document does not carry back, stay empty as collected.
    for (int i = 0; i < card_lists::main_size; ++i) {
        if (!unused(i) && i != Mesto_reg && i != cb_sf_ved && i != lineEdit_24 && (i < sb_b_bron || i > sb_b_sum_vnutr))
            v[i] = QString("знач_%1").arg(i);
    }
    v[card_slot::le_osn_ved] = "62.01";
    v[card_slot::le_dop_ved] = "01.11, 46.90, 10.1";
    v[card_slot::checkBox_balance_voenshtat] = "shtatvv";
    v[card_slot::cb_OGV] = v[card_slot::cb_MobOrgan] = "Да";
    v[card_slot::dateZap] = "2024-03-05";
    for (int s : {card_slot::ob_ruk_date, card_slot::ob_vur_date, card_slot::ob_mob_date, card_slot::dateINN,
                  card_slot::NPA_date})
        v[s] = "2023-12-31";
    v[card_slot::cb_kat_b] = reserving ? "Б" : "А";
    v[card_slot::balance_row_count] = reserving ? "2" : "0";
    v[card_slot::bron_row_count] = reserving ? "1" : "0";
    v[card_slot::nebron_row_count] = reserving ? "2" : "0";
    if (!reserving)
        for (int s : {card_slot::VK_org, card_slot::NPA_doc, card_slot::NPA_no, card_slot::NPA_date})
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

QStringList child_names(const QDomElement &parent)
{
    QStringList names;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

QDomElement org_of(const Values &card, const Values &balance = {}, const Values &bron = {}, const Values &nebron = {})
{
    return iexml().write_card_xml(card, balance, bron, nebron).documentElement().firstChildElement("R_aORG");
}

QByteArray card_document(const QString &version_element, const QString &body)
{
    return ("<?xml version = \"1.0\" encoding=\"UTF-8\"?>\n<dataroot><R_aORG>" + version_element + body +
            "</R_aORG></dataroot>\n")
        .toUtf8();
}

} // namespace

class TestCardXml : public QObject
{
    Q_OBJECT

private slots:
    void round_trip_data();
    void round_trip();
    void golden_document();
    void text_writer_matches_tree_data();
    void text_writer_matches_tree();
    void category_a_leaves_reserving_out();
    void control_characters_dropped();
    void okved_sections();
    void row_counts_and_zero_ogrn();
    void reading_data();
    void reading();
    void unparsable_document_gives_nothing();
    void limits_data();
    void limits();
    void fuzz_findings_data();
    void fuzz_findings();
    void password_lists();
};

void TestCardXml::round_trip_data()
{
    QTest::addColumn<test_support::NamedValues>("values"); // {slot, value} in the sample card
    using namespace card_slot;
    QTest::newRow("markup") << test_support::NamedValues{{te_dopinfo, "a < b & c > d </Dop_inf> &amp;"}};
    QTest::newRow("only blanks") << test_support::NamedValues{{le_FamRuk, "   "}};
    QTest::newRow("lines") << test_support::NamedValues{{te_up_l, "строка 1\nстрока 2\r\n\tотступ"}};
    // The two switches differ: the state body's code stays, the mobilisation body's head is not there.
    test_support::NamedValues no_mob_body{{cb_MobOrgan, "Нет"}};
    for (const int head : {cb_MobOrgan_2, DolgRukMO, FamRukMO, ImRukMO, OtRukMO, TelRukMO, DopRukMO, FaxRukMO})
        no_mob_body.append({head, ""});
    QTest::newRow("state body without a mobilisation body") << no_mob_body;
}

void TestCardXml::round_trip()
{
    QFETCH(test_support::NamedValues, values);
    Values card = sample_card(true);
    test_support::set_list(card, values);
    const Values balance = rows(2, 10, "бал <&>"), bron = rows(1, 5, " бронь \"x\" "), nebron = rows(2, 3, "не");
    iexml writer, reader;
    QVERIFY(reader.read_card_document(iexml::card_xml_text(writer.write_card_xml(card, balance, bron, nebron))));
    QCOMPARE(reader.card_values.size(), card_lists::read_main_size);
    QCOMPARE(reader.card_values.mid(0, card_lists::main_size), card);
    QCOMPARE(reader.balance_rows + reader.bron_rows + reader.nebron_rows, balance + bron + nebron);
}

void TestCardXml::golden_document()
{
    Values card = sample_card(true);
    card[card_slot::le_FaxRuk] = QString();
    card[card_slot::te_orgname] = "ООО \"Тест\" & <Ко>";
    const Values balance = rows(2, 10, "б"), bron = rows(1, 5, "р"), nebron = rows(2, 3, "н");
    iexml writer, reader;
    const QByteArray text = writer.card_xml_bytes(card, balance, bron, nebron);
    QFile file(data_dir + "golden_card.xml");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    QVERIFY2(text == stored, "the document differs from the golden file");
    // The stored card reads back as the lists it was written from.
    QVERIFY(reader.read_card_document(stored));
    QCOMPARE(reader.card_values.mid(0, card_lists::main_size), card);
    QCOMPARE(reader.balance_rows, balance);
    QCOMPARE(reader.bron_rows, bron);
    QCOMPARE(reader.nebron_rows, nebron);
}

void TestCardXml::text_writer_matches_tree_data()
{
    QTest::addColumn<Values>("card");
    QTest::addColumn<int>("rows");
    QTest::newRow("reserving, rows") << sample_card(true) << 3;
    QTest::newRow("not reserving") << sample_card(false) << 0;
    QTest::newRow("empty") << Values(card_lists::main_size) << 0;
    Values odd = sample_card(true);
    odd[card_slot::te_orgname] = "a]]>b]>c>\r\n\"'<&&amp;\t " + QString(QChar(0xD800)) + QChar(0x1) + "Ё";
    odd[card_slot::le_dop_ved] = ", , 01.11,";
    QTest::newRow("characters to escape") << odd << 1;
}

// The card file is written straight as text: exactly the bytes of the document tree.
void TestCardXml::text_writer_matches_tree()
{
    QFETCH(Values, card);
    QFETCH(int, rows);
    iexml writer;
    const Values balance = ::rows(rows, 10, "б]]>\r"), bron = ::rows(rows, 5, "р&"), nebron = ::rows(rows, 3, "н<");
    QCOMPARE(writer.card_xml_bytes(card, balance, bron, nebron),
             iexml::card_xml_text(writer.write_card_xml(card, balance, bron, nebron)));
}

void TestCardXml::category_a_leaves_reserving_out()
{
    Values card = sample_card(false);
    card[card_slot::cb_OGV] = "Нет";
    card[card_slot::cb_MobOrgan] = "да";
    const QStringList names = child_names(org_of(card, rows(1, 10, "x")));
    QVERIFY(names.contains("AB") && names.contains("mob_yes"));
    for (const char *absent : {"Kol_SM", "NPA_doc", "VK_org", "R_obuchenie", "balance_str", "bron_strok",
                               "nebron_strok", "R_aorg_tr", "OKOGU", "vur_in_mob", "fax_nkp"})
        QVERIFY2(!names.contains(absent), absent);
    card[card_slot::cb_kat_b] = " Б";
    QVERIFY(!child_names(org_of(card)).contains("Kol_SM"));
}

void TestCardXml::control_characters_dropped()
{
    Values card = sample_card(false);
    card[card_slot::te_orgname] =
        QString("А\x01Б\x1F") + QChar(0xFFFE) + QChar(0xD800) + "В\tГ" + QString::fromUcs4(U"\U0001F600");
    iexml writer, reader;
    const QByteArray text = iexml::card_xml_text(writer.write_card_xml(card, {}, {}, {}));
    QVERIFY(QDomDocument().setContent(text));
    QVERIFY(reader.read_card_document(text));
    QCOMPARE(reader.card_values.at(card_slot::te_orgname), QString("АБВ\tГ") + QString::fromUcs4(U"\U0001F600"));
}

void TestCardXml::okved_sections()
{
    // A blank in front, a letter, or a code between the sections' ranges gives C; empty parts are skipped.
    const QString extra = "09.1, 35, 39, 41, 43.2, 53, 55, 56, 68, 69, 75, 77, 82, 84, 86, 88, 90, 93, 94, 96, 97, "
                          "98, , 85.41, 99, 34, 40, 44, 48, 54, 57, 67, 76, 83, 89, ab, 3";
    const QStringList sections =
        QString("C B D E F F H I I L M M N N O Q Q R R S S T T P U C C C C C C C C C C C C").split(' ');
    Values card = sample_card(false);
    card[card_slot::le_osn_ved] = " 62";
    card[card_slot::le_dop_ved] = extra;
    const QDomNodeList records = org_of(card).elementsByTagName("R_aOrg_Ved");
    QCOMPARE(records.size(), sections.size());
    const QStringList codes = (" 62, " + extra).split(", ", Qt::SkipEmptyParts);
    for (int i = 0; i < records.size(); ++i) {
        const QDomElement r = records.at(i).toElement();
        QCOMPARE(r.firstChildElement("N").text(), QString(i == 0 ? "Осн" : "Доп"));
        QCOMPARE(r.firstChildElement("OK_razdel").text(), sections.at(i));
        QCOMPARE(r.firstChildElement("okved").text(), codes.at(i));
    }
}

void TestCardXml::row_counts_and_zero_ogrn()
{
    Values card = sample_card(true);
    card[card_slot::balance_row_count] = "5";
    card[card_slot::bron_row_count] = "3";
    card[card_slot::nebron_row_count] = "4";
    card[card_slot::le_OGRN] = "0";
    card[card_slot::le_INN] = "7801234567";
    // Counts above the lists: as many records as the lists fill, the last one partly.
    QDomElement org = org_of(card, rows(1, 10, "b") << "tail", {}, rows(1, 3, "n"));
    QCOMPARE(org.firstChildElement("balance_str").text(), QString("5"));
    const QDomNodeList tr = org.elementsByTagName("R_aorg_tr");
    QCOMPARE(tr.size(), 2);
    QCOMPARE(tr.at(1).toElement().firstChildElement("kol_shtat").text(), QString("tail"));
    QCOMPARE(org.elementsByTagName("R_GPZ_bron").size(), 0);
    QCOMPARE(org.elementsByTagName("R_GPZ_nebron").size(), 1);
    // An OGRN of "0" gives way to the INN in its own element only.
    QCOMPARE(org.firstChildElement("OGRN").text(), QString("7801234567"));
    for (const char *key : {"ogrn", "OGRN_TR", "ogrn_real"})
        QCOMPARE(org.elementsByTagName(key).at(0).toElement().text(), QString("0"));

    // A count of 0, or not a number, leaves the block out.
    card[card_slot::bron_row_count] = "0";
    card[card_slot::balance_row_count] = "два";
    const QStringList names = child_names(org_of(card, rows(2, 10, "b"), rows(2, 5, "r")));
    for (const char *absent : {"bron_strok", "R_GPZ_bron", "balance_str", "R_aorg_tr"})
        QVERIFY2(!names.contains(absent), absent);
}

// Old cards: each element is read only from the version that brought it in; odd documents.
void TestCardXml::reading_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("body");
    QTest::addColumn<Expected>("expected");

    const QString body = "<Naim_org1>Имя</Naim_org1><Tel_ruk_dob1>12</Tel_ruk_dob1>"
                         "<R_aOrg_Ved><N>Осн</N><okved>62.01</okved></R_aOrg_Ved>"
                         "<Kol_vredn>3</Kol_vredn><kolont1>верх</kolont1><mob_yes>Да</mob_yes>"
                         "<OKOGU>2300</OKOGU><Date_INN>2001-02-03</Date_INN><Kol_SM>2</Kol_SM>"
                         "<oficer_b>3</oficer_b><oficer_b>4</oficer_b><ob_ruk_date>2010-01-01</ob_ruk_date>";
    // The version each group of elements came in with: 1, 3, 4, 10, 23, 25.
    const auto upto = [](int gate) {
        const QString d = "2000-01-01";
        Expected e{{card_slot::te_orgname, "Имя"}, {card_slot::dateZap, d}};
        e.insert(card_slot::le_DopRuk, gate >= 1 ? "12" : "");
        e.insert(card_slot::le_osn_ved, gate >= 1 ? "62.01" : "");
        e.insert(card_slot::sb_kol_vred, gate >= 3 ? "3" : "");
        e.insert(card_slot::te_up_l, gate >= 4 ? "верх" : "");
        e.insert(card_slot::cb_MobOrgan, gate >= 10 ? "Да" : "");
        e.insert(card_slot::OKOGU_le, gate >= 23 ? "2300" : "");
        e.insert(card_slot::dateINN, gate >= 23 ? "2001-02-03" : d);
        e.insert(card_slot::sb_f6_bron_of, gate >= 25 ? "2" : "7"); // before 25: the sum of oficer_b
        e.insert(card_slot::ob_ruk_date, gate >= 25 ? "2010-01-01" : d);
        return e;
    };
    const auto v = [](int n) { return QString("<N_ver_quelt>%1</N_ver_quelt>").arg(n); };
    QTest::newRow("no version") << "" << body << upto(0);
    QTest::newRow("version not a number") << "<N_ver_quelt>abc</N_ver_quelt>" << body << upto(0);
    // A list number is decimal: a leading zero makes no octal number.
    QTest::newRow("version with a leading zero") << "<N_ver_quelt>010</N_ver_quelt>" << body << upto(10);
    for (int n : {1, 3, 4, 10, 22, 23, 25})
        QTest::newRow(qPrintable(QString("v%1").arg(n))) << v(n) << body << upto(n == 22 ? 10 : n);
    QTest::newRow("v24 without oficer_b") << v(24) << "<Kol_SM>2</Kol_SM>" << Expected{{card_slot::sb_f6_bron_of, ""}};
    QTest::newRow("v7 reservation rows")
        << v(7)
        << "<bron_strok>1</bron_strok><R_GPZ_bron><Kod_pdp>a</Kod_pdp><FIO>b</FIO></R_GPZ_bron>"
           "<nebron_strok>1</nebron_strok><R_GPZ_nebron><kol_nebron>4</kol_nebron></R_GPZ_nebron>"
        << Expected{{card_slot::bron_row_count, "1"},
                    {card_slot::nebron_row_count, "1"},
                    {bron_key, "a|b"},
                    {nebron_key, "4"}};
    QTest::newRow("v6 balance rows, no reservation rows")
        << v(6)
        << "<bron_strok>1</bron_strok><R_GPZ_bron><Kod_pdp>a</Kod_pdp></R_GPZ_bron>"
           "<balance_str>1</balance_str><R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr>"
        << Expected{{card_slot::bron_row_count, ""},
                    {card_slot::balance_row_count, "1"},
                    {bron_key, ""},
                    {balance_key, "1"}};
    QTest::newRow("v4 no balance rows") << v(4)
                                        << "<balance_str>1</balance_str><R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr>"
                                        << Expected{{card_slot::balance_row_count, ""}, {balance_key, ""}};
    const QString record = "<R_aorg_tr><OGRN_TR>1</OGRN_TR><kol_shtat>%1</kol_shtat><Naim_kat>к</Naim_kat>"
                           "<Kod_spec>с</Kod_spec><Kod_faset>ф</Kod_faset><Kol_all>10</Kol_all>"
                           "<Kol_ub_mob>2</Kol_ub_mob><Kol_trbron>3</Kol_trbron><Kol_treb>%2</Kol_treb></R_aorg_tr>";
    const QString two = "<balance_str>2</balance_str>" + record.arg("1", "7") + record.arg("2", "8");
    // Up to 14 the two newer balance columns are made up from Kol_treb; from 15 they are not read.
    QTest::newRow("v14 balance columns made up")
        << v(14) << two << Expected{{balance_key, "1|к|с|ф|10|2|3|7|0|7|2|к|с|ф|10|2|3|8|0|8"}};
    QTest::newRow("v15 balance columns") << v(15) << two
                                         << Expected{{balance_key, "1|к|с|ф|10|2|3|7|2|к|с|ф|10|2|3|8"}};
    QTest::newRow("first non-empty Kol_MP")
        << ""
        << "<Kol_MP></Kol_MP><Kol_MP>7</Kol_MP><Kol_MP>5</Kol_MP>" << Expected{{card_slot::sb_f6_mp, "7"}};
}

void TestCardXml::reading()
{
    QFETCH(QString, version);
    QFETCH(QString, body);
    QFETCH(Expected, expected);
    card_file_version = 99;
    iexml reader;
    QVERIFY(reader.read_card_document(card_document(version, body)));
    const QMap<int, QVector<QString>> lists{
        {balance_key, reader.balance_rows}, {bron_key, reader.bron_rows}, {nebron_key, reader.nebron_rows}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString actual =
            it.key() >= 0 ? reader.card_values.at(it.key()) : QStringList(lists.value(it.key()).toList()).join("|");
        QVERIFY2(actual == it.value(),
                 qPrintable(QString("key %1: '%2' expected '%3'").arg(it.key()).arg(actual, it.value())));
    }
    QCOMPARE(card_file_version, QString(version).remove(QRegExp("[^0-9]")).toInt());
}

void TestCardXml::unparsable_document_gives_nothing()
{
    for (const QByteArray &bad : {QByteArray("<dataroot><R_aORG>"), QByteArray("<a/><b/>")}) {
        iexml reader;
        QVERIFY(reader.read_card_document(card_document("<N_ver_quelt>25</N_ver_quelt>",
                                                        "<Naim_org1>x</Naim_org1><bron_strok>1</bron_strok>"
                                                        "<Kod_pdp>p</Kod_pdp>")));
        QVERIFY(!reader.card_values.isEmpty() && !reader.bron_rows.isEmpty());
        QVERIFY(!reader.read_card_document(bad));
        QVERIFY(reader.card_values.isEmpty() && reader.balance_rows.isEmpty() && reader.bron_rows.isEmpty() &&
                reader.nebron_rows.isEmpty());
        QCOMPARE(reader.messages().size(), 1);
        QVERIFY(reader.messages().first().title == "Ошибка!" &&
                reader.messages().first().text.startsWith("Ошибка чтения файла!\n"));
        QCOMPARE(reader.messages().first().icon, CardMessage::Critical);
    }
}

void TestCardXml::limits_data()
{
    QTest::addColumn<QString>("body"); // inside R_aORG, after the version
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("name"); // slot 0 when read
    const auto nest = [](int levels, const QString &inner) {
        return QString("<x>").repeated(levels) + inner + QString("</x>").repeated(levels);
    };
    // dataroot and R_aORG are the first two levels.
    QTest::newRow("16 levels") << nest(13, "<Naim_org1>deep</Naim_org1>") << true << "deep";
    QTest::newRow("17 levels") << nest(14, "<Naim_org1>deep</Naim_org1>") << false << "";
    // An element's text is its own, up to its first child element.
    QTest::newRow("own text only") << "<Naim_org1>own<Fam_ruk>child</Fam_ruk> text</Naim_org1>" << true << "own";
    const QString row = "<R_aorg_tr><kol_shtat>1</kol_shtat></R_aorg_tr>";
    QTest::newRow("20000 balance rows declared") << "<balance_str>20000</balance_str>" + row << true << "x";
    QTest::newRow("20001 balance rows declared") << "<balance_str>20001</balance_str>" + row << false << "";
    QTest::newRow("20000 balance rows") << "<balance_str>1</balance_str>" + QString("<Kol_all/>").repeated(200000)
                                        << true << "x";
    QTest::newRow("one value past 20000 balance rows")
        << "<balance_str>1</balance_str>" + QString("<Kol_all/>").repeated(200001) << false << "";
    QTest::newRow("5001 bron rows declared") << "<bron_strok>5001</bron_strok>" << false << "";
    QTest::newRow("5000 nebron rows declared") << "<nebron_strok>5000</nebron_strok>" << true << "x";
    QTest::newRow("one value past 5000 nebron rows")
        << "<nebron_strok>1</nebron_strok>" + QString("<Povod/>").repeated(15001) << false << "";
}

// Past a limit the read error, with nothing filled; at the limit the card reads, the same way
// from text and from a parsed document.
void TestCardXml::limits()
{
    QFETCH(QString, body);
    QFETCH(bool, read);
    QFETCH(QString, name);
    const QByteArray text = card_document("<N_ver_quelt>25</N_ver_quelt><Naim_org1>x</Naim_org1>", body);
    iexml reader;
    QCOMPARE(reader.read_card_document(text), read);
    QCOMPARE(reader.card_values.isEmpty(), !read);
    QCOMPARE(reader.messages().size(), read ? 0 : 1);
    if (read)
        QCOMPARE(reader.card_values.at(card_slot::te_orgname), name);
    else
        QVERIFY(reader.balance_rows.isEmpty() && reader.bron_rows.isEmpty() && reader.nebron_rows.isEmpty());

    QDomDocument document;
    QVERIFY(document.setContent(text));
    iexml dom_reader;
    QCOMPARE(dom_reader.parse_card(document, 1), reader.card_values);
    QCOMPARE(dom_reader.balance_rows + dom_reader.bron_rows + dom_reader.nebron_rows,
             reader.balance_rows + reader.bron_rows + reader.nebron_rows);
    QCOMPARE(dom_reader.messages().size(), read ? 0 : 1);
}

void TestCardXml::fuzz_findings_data()
{
    QTest::addColumn<QString>("file");
    // The fuzzers' seeds (one of them the unfinished card that once declared 2^31-1 strings) and
    // every input they found a fault with.
    for (const QString folder : {"card_xml", "temp_settings", "findings"}) {
        const QDir dir(data_dir + "../fuzz/" + folder);
        for (const QString &name : dir.entryList(QDir::Files))
            QTest::newRow(qPrintable(folder + "/" + name)) << dir.filePath(name);
    }
}

// Such inputs read or give the read error, and nothing else.
void TestCardXml::fuzz_findings()
{
    QFETCH(QString, file);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    iexml reader;
    const bool read = reader.read_card_document(bytes);
    QCOMPARE(reader.card_values.size(), read ? card_lists::read_main_size : 0);
    QString text;
    if (TempCardFile::card_text_of(bytes, &text)) {
        QVERIFY(text.size() * 2 <= bytes.size());
        QVERIFY(!file.contains("huge_count"));
    }
}

void TestCardXml::password_lists()
{
    // Repeated and nested elements: the last current password, every old one.
    PasswordListReader reader;
    QVERIFY(reader.load(data_dir + "pass_nested.xml"));
    QCOMPARE(reader.current_password, QString("второй"));
    QCOMPARE(reader.old_passwords, Values({"111", "222", "333"}));
    // A broken or missing list leaves nothing from before.
    QVERIFY(reader.load(data_dir + "pass_broken.xml"));
    QVERIFY(reader.current_password.isEmpty() && reader.old_passwords.isEmpty());
    reader.current_password = "x";
    QVERIFY(!reader.load(data_dir + "no_such_file.xml"));
    QVERIFY(reader.current_password.isEmpty());
}

QUELT_CORE_TEST_MAIN(TestCardXml)
#include "tst_card_xml.moc"
