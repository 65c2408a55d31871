#include "test_support.h"

#include "classifier_reader.h"
#include "init_resources.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{

const QByteArray head =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<dataroot xmlns:od=\"urn:schemas-microsoft-com:officedata\" generated=\"2024-02-13T17:24:56\">\n";
const QByteArray tail = "</dataroot>\n";

QByteArray doc(const char *body)
{
    return head + QByteArray(body) + tail;
}

// A carried file is well-formed XML in the classifier schema: root "dataroot", every record
// element named after the table (the file name less ".xml"). The reader itself cannot tell
// a broken file from an empty one.
bool is_classifier_document(const QString &path)
{
    QFile f(path);
    QDomDocument doc;
    QString error;
    int line = 0;
    if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f, &error, &line)) {
        qWarning("%s: %s at line %d", qPrintable(path), qPrintable(error), line);
        return false;
    }
    const QDomElement root = doc.documentElement();
    if (root.tagName() != "dataroot")
        return false;
    const QString table = QFileInfo(path).completeBaseName();
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() != table) {
            qWarning("%s: record element %s", qPrintable(path), qPrintable(e.tagName()));
            return false;
        }
    }
    return true;
}

QString joined(const QVector<ClassifierRecord> &records)
{
    QStringList out;
    for (const ClassifierRecord &r : records)
        out << r.code + "/" + r.name + "/" + r.sort;
    return out.join("|");
}

} // namespace

class TestClassifiers : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        f.write(content);
        return path;
    }

private slots:
    void initTestCase()
    {
        quelt_init_resources();
        QVERIFY(dir.isValid());
    }

    void new_reader_is_empty()
    {
        ClassifierReader r;
        QVERIFY(r.records.isEmpty());
        QVERIFY(r.vus_records.isEmpty());
        QVERIFY(r.current.code.isEmpty() && r.current.name.isEmpty() && r.current.sort.isEmpty());
        QVERIFY(r.current_vus.region.isEmpty() && r.current_vus.enlisted_vus.isEmpty() &&
                r.current_vus.officer_vus.isEmpty());
    }

    void load_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("records"); // code/name/sort|...

        QTest::newRow("missing file") << false << QByteArray() << false << "";
        QTest::newRow("empty file") << true << QByteArray() << true << "";
        QTest::newRow("not xml") << true << QByteArray("Код;Наименование\n1;Директор\n") << true << "";
        QTest::newRow("truncated") << true
                                   << (head + "<t><Код>1</Код><Наименование>Глава</Наименование></t>\n<t><Код>2")
                                   << true << "";
        QTest::newRow("unclosed tags") << true << doc("<t><Код>1</Код><Наименование>Глава</t>\n") << true << "";
        QTest::newRow("no records") << true << doc("") << true << "";
        QTest::newRow("code, name")
            << true
            << doc("<t>\n<Код>1</Код>\n<Наименование>Генеральный директор</Наименование>\n</t>\n"
                   "<t>\n<Код>2</Код>\n<Наименование>Директор</Наименование>\n</t>\n")
            << true << "1/Генеральный директор/|2/Директор/";
        QTest::newRow("sort, code, name")
            << true
            << doc("<t><Сорт>1</Сорт><Код>20656</Код><Наименование>Главный бухгалтер</Наименование></t>"
                   "<t><Сорт>2</Сорт><Код>20336</Код><Наименование>Бухгалтер</Наименование></t>")
            << true << "20656/Главный бухгалтер/1|20336/Бухгалтер/2";
        QTest::newRow("code, sort, name")
            << true << doc("<t><Код>0</Код><Сорт>00</Сорт><Наименование>- - -</Наименование></t>") << true
            << "0/- - -/00";
        QTest::newRow("name before code takes the previous code")
            << true
            << doc("<t><Код>10</Код><Наименование>A</Наименование></t>"
                   "<t><Наименование>B</Наименование><Код>11</Код></t>"
                   "<t><Код>12</Код><Наименование>C</Наименование></t>")
            << true << "10/A/|10/B/|12/C/";
        QTest::newRow("extra elements ignored")
            << true
            << doc("<t><Код>11</Код><Наименование>Федеральная</Наименование><Алгоритм>11+14</Алгоритм></t>"
                   "<t><Код>12</Код><Наименование>Частная</Наименование></t>")
            << true << "11/Федеральная/|12/Частная/";
        QTest::newRow("trailing blanks kept")
            << true << doc("<t><Код>41203</Код><Наименование>Бокситогорский </Наименование></t>") << true
            << "41203/Бокситогорский /";
        QTest::newRow("entities and quotes")
            << true
            << doc("<t><Код>7</Код><Наименование>ООО &quot;Рога &amp; копыта&quot; &lt;1&gt;</Наименование></t>")
            << true << "7/ООО \"Рога & копыта\" <1>/";
        QTest::newRow("cdata") << true << doc("<t><Код><![CDATA[ 5 ]]></Код><Наименование>X</Наименование></t>") << true
                               << " 5 /X/";
        QTest::newRow("fields at any depth")
            << true << doc("<group><t><inner><Код>3</Код></inner><Наименование>Deep</Наименование></t></group>") << true
            << "3/Deep/";
        QTest::newRow("text of child elements joined")
            << true << doc("<t><Код>4</Код><Наименование>Глав<b>ный</b> врач</Наименование></t>") << true
            << "4/Главный врач/";
        QTest::newRow("field inside a name applies after the name")
            << true
            << doc("<t><Код>1</Код><Наименование>a<Код>9</Код>b</Наименование></t><t><Наименование>c</Наименование></"
                   "t>")
            << true << "1/a9b/|9/c/";
        QTest::newRow("whitespace-only text is no text")
            << true << doc("<t><Код>2</Код><Наименование>   </Наименование></t>") << true << "2//";
        QTest::newRow("root element itself not read")
            << true << QByteArray("<?xml version=\"1.0\"?><Наименование><Код>1</Код></Наименование>") << true << "";
        QTest::newRow("tag names are case-sensitive")
            << true << doc("<t><код>1</код><НАИМЕНОВАНИЕ>x</НАИМЕНОВАНИЕ></t>") << true << "";
        QTest::newRow("undeclared namespace prefix")
            << true
            << QByteArray("<?xml version=\"1.0\"?><dataroot><od:t><Код>5</Код><Наименование>N</Наименование></od:t>"
                          "</dataroot>")
            << true << "5/N/";
    }

    void load()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, content);
        QFETCH(bool, result);
        QFETCH(QString, records);

        const QString path = exists
                                 ? write(QString("case_%1.xml").arg(QTest::currentDataTag()).replace(' ', '_'), content)
                                 : dir.filePath("does_not_exist.xml");
        ClassifierReader r;
        QCOMPARE(r.load(path), result);
        QCOMPARE(joined(r.records), records);
        QCOMPARE(r.vus_records.size(), r.records.size());
        for (int i = 0; i < r.records.size(); ++i) {
            QCOMPARE(r.vus_records[i].region, r.records[i].code);
            QCOMPARE(r.vus_records[i].enlisted_vus, r.records[i].name);
            QCOMPARE(r.vus_records[i].officer_vus, r.records[i].sort);
        }
    }

    void each_load_replaces_the_records()
    {
        ClassifierReader r;
        QVERIFY(r.load(write("two.xml", doc("<t><Код>1</Код><Наименование>a</Наименование></t>"
                                            "<t><Код>2</Код><Наименование>b</Наименование></t>"))));
        QCOMPARE(r.records.size(), 2);
        QVERIFY(r.load(write("one.xml", doc("<t><Код>3</Код><Наименование>c</Наименование></t>"))));
        QCOMPARE(joined(r.records), QString("3/c/"));
        QVERIFY(!r.load(dir.filePath("gone.xml")));
        QVERIFY(r.records.isEmpty());
        QVERIFY(r.vus_records.isEmpty());
    }

    void sort_carries_over_from_the_previous_load()
    {
        const QString with_sort =
            write("with_sort.xml", doc("<t><Код>1</Код><Сорт>26</Сорт><Наименование>a</Наименование></t>"
                                       "<t><Код>0</Код><Сорт>00</Сорт><Наименование>b</Наименование></t>"));
        const QString without_sort =
            write("without_sort.xml", doc("<t><Код>01</Код><Наименование>c</Наименование></t>"));

        ClassifierReader fresh;
        QVERIFY(fresh.load(without_sort));
        QCOMPARE(joined(fresh.records), QString("01/c/"));

        ClassifierReader r;
        QVERIFY(r.load(with_sort));
        QVERIFY(r.load(without_sort));
        QCOMPARE(joined(r.records), QString("01/c/00"));
        QCOMPARE(r.vus_records.first().officer_vus, QString("00"));
    }

    void failed_parse_leaves_current_record_alone()
    {
        ClassifierReader r;
        QVERIFY(r.load(write("good.xml", doc("<t><Код>1</Код><Сорт>7</Сорт><Наименование>a</Наименование></t>"))));
        // The broken file sets a code and a sort before it breaks off.
        QVERIFY(
            r.load(write("broken.xml", head + "<t><Код>99</Код><Сорт>99</Сорт><Наименование>x</Наименование></t><t>")));
        QVERIFY(r.records.isEmpty());
        QCOMPARE(r.current.code, QString("1"));
        QCOMPARE(r.current.sort, QString("7"));
        QVERIFY(r.load(write("name_only.xml", doc("<t><Наименование>b</Наименование></t>"))));
        QCOMPARE(joined(r.records), QString("1/b/7"));
    }

    void embedded_files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("code_form"); // every code matches this
        QTest::addColumn<bool>("has_sort");
        QTest::addColumn<bool>("may_be_empty"); // no record known to be right is carried yet

        QTest::newRow("addresses") << "адрес_new.xml"
                                   << "^\\d{1,4}$" << false << false;
        QTest::newRow("head positions") << "Должности_new.xml"
                                        << "^([1-9]|1[0-4])$" << false << false;
        QTest::newRow("okato") << "ОКАТО_new.xml"
                               << "^(\\d{5}|\\d{8})$" << false << false;
        QTest::newRow("okopf") << "ОКОПФ_new.xml"
                               << "^\\d{5}$" << false << false;
        QTest::newRow("okfs") << "ОКФС_new.xml"
                              << "^\\d{2}$" << false << false;
        QTest::newRow("okved") << "OKVED_new.xml"
                               << "^\\d\\d(\\.\\d(\\d(\\.\\d\\d?)?)?)?$" << false << false;
        QTest::newRow("okpdtr") << "OKPDTR_new.xml"
                                << "^\\d{5}$" << true << false;
        QTest::newRow("facets") << "Faset_new.xml"
                                << "^\\d{1,2}$" << true << false;
        QTest::newRow("iogv") << "IOGV_new.xml"
                              << "^\\d{2}$" << false << true;
        QTest::newRow("okogu") << "ОКОГУ_new.xml"
                               << "^\\d{7}$" << false << false;
        QTest::newRow("military commissariats") << "VK_org_new.xml"
                                                << "^\\d{1,3}$" << false << true;
    }

    void embedded_files()
    {
        QFETCH(QString, file);
        QFETCH(QString, code_form);
        QFETCH(bool, has_sort);
        QFETCH(bool, may_be_empty);

        const QString path = ":/database/xml/" + file;
        QVERIFY2(is_classifier_document(path), qPrintable(file));
        ClassifierReader r;
        QVERIFY2(r.load(path), qPrintable(file));
        QVERIFY(may_be_empty || r.records.size() > 0);
        qInfo("%s: %d records", qPrintable(file), r.records.size());
        const QRegularExpression form(code_form);
        QSet<QString> codes;
        for (const ClassifierRecord &rec : qAsConst(r.records)) {
            QVERIFY2(form.match(rec.code).hasMatch(), qPrintable(rec.code));
            QVERIFY2(!rec.name.trimmed().isEmpty(), qPrintable(rec.code));
            QVERIFY2(!rec.name.contains('\t') && !rec.name.contains('\n'), qPrintable(rec.code));
            QCOMPARE(rec.sort.isEmpty(), !has_sort);
            codes.insert(rec.code);
        }
        QCOMPARE(codes.size(), r.records.size()); // codes are unique
    }

    void position_categories()
    {
        ClassifierReader r;
        QVERIFY(r.load(":/database/xml/OKPDTR_new.xml"));
        QSet<QString> categories;
        for (const ClassifierRecord &rec : qAsConst(r.records))
            categories.insert(rec.sort);
        QCOMPARE(categories, (QSet<QString>{"1", "2", "3", "4"}));
    }

    void head_positions_in_file_order()
    {
        ClassifierReader r;
        QVERIFY(r.load(":/database/xml/Должности_new.xml"));
        QCOMPARE(r.records.size(), 14);
        QCOMPARE(r.records.first().name, QString("Генеральный директор"));
        QCOMPARE(r.records.last().code, QString("14"));
        QCOMPARE(r.records.last().name, QString("Начальник"));
    }

    void facets_in_file_order()
    {
        ClassifierReader r;
        QVERIFY(r.load(":/database/xml/Faset_new.xml"));
        QCOMPARE(r.records.size(), 34);
        QCOMPARE(joined({r.records.first()}), QString("01/Вице-/01"));
        QCOMPARE(joined({r.records.at(25)}), QString("1/1 разр./кат./26"));
        QCOMPARE(joined({r.records.last()}), QString("0/- - - удалить фасет - - -/00"));
    }

    void vus_list()
    {
        ClassifierReader r;
        QVERIFY(r.load(QUELT_TEST_DATA "/classifiers/VUS.xml"));
        QCOMPARE(r.vus_records.size(), 8);
        QCOMPARE(r.vus_records.size(), r.records.size());
        QCOMPARE(r.vus_records.first().region, QString("Алтайский край"));
        QVERIFY(r.vus_records.first().officer_vus.startsWith("020600, 021000"));
        QVERIFY(r.vus_records.first().enlisted_vus.startsWith("131, 137"));
        QCOMPARE(r.vus_records.at(3).region, QString("Брянская область "));
        QCOMPARE(r.vus_records.at(3).officer_vus, QString("Нет"));
        QCOMPARE(r.vus_records.last().region, QString("Томская область"));
        QCOMPARE(r.vus_records.last().enlisted_vus, QString("100, 131"));
    }

    void carried_vus_list()
    {
        // The carried list may hold no region yet; what it holds keeps the form of the list.
        const QString path = ":/database/xml/VUS.xml";
        QVERIFY(is_classifier_document(path));
        ClassifierReader r;
        QVERIFY(r.load(path));
        qInfo("VUS.xml: %d regions", r.vus_records.size());
        QCOMPARE(r.vus_records.size(), r.records.size());
        QSet<QString> regions;
        for (const VusRecord &v : qAsConst(r.vus_records)) {
            QVERIFY(!v.region.trimmed().isEmpty());
            QVERIFY2(v.officer_vus == "Нет" ||
                         QRegularExpression("^\\d{6}(, \\d{6})*$").match(v.officer_vus).hasMatch(),
                     qPrintable(v.region));
            QVERIFY2(QRegularExpression("^\\d{3}(, \\d{3})*$").match(v.enlisted_vus).hasMatch(), qPrintable(v.region));
            regions.insert(v.region);
        }
        QCOMPARE(regions.size(), r.vus_records.size());
    }
};

QUELT_TEST_MAIN(TestClassifiers)
#include "tst_classifiers.moc"
