#include "tests/support/core_test_support.h"

#include "classifier/classifier_reader.h"
#include "resources/init_resources.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QResource>
#include <QTemporaryDir>

class TestClassifiers : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString write(const QString &name, const QByteArray &content)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() ? f.fileName() : QString();
    }
    static QByteArray head() { return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n"; }
    static QByteArray doc(const char *body) { return head() + QByteArray(body) + "</dataroot>\n"; }
    static QString joined(const QVector<ClassifierRecord> &records)
    {
        QStringList out;
        for (const ClassifierRecord &r : records)
            out << r.code + "/" + r.name + "/" + r.sort;
        return out.join("|");
    }
    // A carried file is well-formed XML whose records are named after the file (the reader cannot tell).
    static bool is_classifier_document(const QString &path)
    {
        QFile f(path);
        QDomDocument doc;
        bool ok = f.open(QIODevice::ReadOnly) && doc.setContent(&f) && doc.documentElement().tagName() == "dataroot";
        for (QDomElement e = doc.documentElement().firstChildElement(); ok && !e.isNull(); e = e.nextSiblingElement())
            ok = e.tagName() == QFileInfo(path).completeBaseName();
        return ok;
    }

private slots:
    void initTestCase() { quelt_init_resources(); }

    void load_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("records"); // code/name/sort|...

        QTest::newRow("truncated") << (head() + "<t><Код>1</Код><Наименование>Глава</Наименование></t>\n<t><Код>2")
                                   << "";
        QTest::newRow("sort, code, name") << doc("<t><Сорт>1</Сорт><Код>20656</Код><Наименование>Главный бухгалтер"
                                                 "</Наименование></t><t><Код>2</Код><Наименование>Директор"
                                                 "</Наименование><Алгоритм>11+14</Алгоритм></t>")
                                          << "20656/Главный бухгалтер/1|2/Директор/1";
        QTest::newRow("name before code takes the previous code")
            << doc("<t><Код>10</Код><Наименование>A</Наименование></t><t><Наименование>B</Наименование><Код>11</Код>"
                   "</t><t><Код>12</Код><Наименование>C</Наименование></t>")
            << "10/A/|10/B/|12/C/";
        QTest::newRow("blanks, entities, cdata")
            << doc("<t><Код><![CDATA[ 5 ]]></Код><Наименование>ООО &quot;Рога &amp; копыта&quot; </Наименование></t>")
            << " 5 /ООО \"Рога & копыта\" /";
        QTest::newRow("fields at any depth, child text joined")
            << doc("<g><t><i><Код>3</Код></i><Наименование>Глав<b>ный</b> врач</Наименование></t></g>")
            << "3/Главный врач/";
        QTest::newRow("field inside a name applies after the name")
            << doc("<t><Код>1</Код><Наименование>a<Код>9</Код>b</Наименование></t><t><Наименование>c</Наименование>"
                   "</t>")
            << "1/a9b/|9/c/";
        QTest::newRow("tag names are case-sensitive") << doc("<t><код>1</код><НАИМЕНОВАНИЕ>x</НАИМЕНОВАНИЕ></t>") << "";
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, records);
        ClassifierReader r;
        QVERIFY(r.load(write(QString("case_%1.xml").arg(QTest::currentDataTag()).replace(' ', '_'), content)));
        QCOMPARE(joined(r.records), records);
        QStringList vus; // the same entries read as a VUS list
        for (const VusRecord &v : qAsConst(r.vus_records))
            vus << v.region + "/" + v.enlisted_vus + "/" + v.officer_vus;
        QCOMPARE(vus.join('|'), records);
    }

    void state_across_loads()
    {
        ClassifierReader r;
        QVERIFY(r.load(write("good.xml", doc("<t><Код>1</Код><Сорт>7</Сорт><Наименование>a</Наименование></t>"
                                             "<t><Код>2</Код><Наименование>b</Наименование></t>"))));
        QCOMPARE(r.records.size(), 2);
        // A broken file sets a code and a sort before it breaks off: the current record keeps its values.
        QVERIFY(r.load(write("broken.xml", head() + "<t><Код>99</Код><Сорт>99</Сорт><Наименование>x</Наименование></t>"
                                                    "<t>")));
        QVERIFY(r.records.isEmpty());
        // Code and sort carry over from the previous load into a record that lacks them.
        QVERIFY(r.load(write("name_only.xml", doc("<t><Наименование>c</Наименование></t>"))));
        QCOMPARE(joined(r.records), QString("2/c/7"));
        QVERIFY(!r.load(dir.filePath("gone.xml")));
        QVERIFY(r.records.isEmpty() && r.vus_records.isEmpty());
    }

    // The packed form made at build time gives exactly what the XML gives, the code and sort carried over
    // from a load before included; a damaged one is left for the XML.
    void packed_as_xml_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : {classifier_file::addresses, classifier_file::head_positions, classifier_file::okato,
                                 classifier_file::okopf, classifier_file::okfs, classifier_file::okved,
                                 classifier_file::positions, classifier_file::facets, classifier_file::iogv,
                                 classifier_file::okogu, classifier_file::offices, classifier_file::vus})
            QTest::newRow(file) << QString::fromUtf8(file);
        // Its packed form claims two thousand million fields in twelve bytes: read from the XML instead.
        QTest::newRow("damaged packed form") << QString("damaged_packed.xml");
    }

    void packed_as_xml()
    {
        QFETCH(QString, file);
        QVERIFY(QResource(classifier_file::packed_dir + file).isValid());
        ClassifierReader packed, xml;
        const QString path = classifier_file::resource_dir + file;
        const QString before = QString(classifier_file::resource_dir) + classifier_file::facets;
        QVERIFY(packed.load(before) && xml.load_xml(before) && packed.load(path) && xml.load_xml(path));
        QCOMPARE(joined(packed.records), joined(xml.records));
        QCOMPARE(joined({packed.current}), joined({xml.current}));
        QCOMPARE(packed.vus_records.size(), xml.vus_records.size());
        for (int i = 0; i < xml.vus_records.size(); ++i)
            QVERIFY(packed.vus_records.at(i).region == xml.vus_records.at(i).region &&
                    packed.vus_records.at(i).enlisted_vus == xml.vus_records.at(i).enlisted_vus &&
                    packed.vus_records.at(i).officer_vus == xml.vus_records.at(i).officer_vus);
    }

    void embedded_files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("forms"); // every code, name and sort match these
        QTest::addColumn<QString>("ends");  // first|last record where known
        // Five digits from 90001: never one of the 1 to 4 digit street codes of other programs.
        QTest::newRow("addresses") << "адрес_new.xml" << QString("^9\\d{4}$ . ^$")
                                   << QString("90001/1-й Бадаевский пр-д/|92836/Яхтенная ул./");
        QTest::newRow("head positions") << "Должности_new.xml" << QString("^([1-9]|1[0-4])$ . ^$")
                                        << QString("1/Генеральный директор/|14/Начальник/");
        QTest::newRow("okato") << "ОКАТО_new.xml" << QString("^(\\d{5}|\\d{8})$ . ^$") << QString();
        QTest::newRow("okopf") << "ОКОПФ_new.xml" << QString("^\\d{5}$ . ^$") << QString();
        QTest::newRow("okfs") << "ОКФС_new.xml" << QString("^\\d{2}$ . ^$") << QString();
        QTest::newRow("okved") << "OKVED_new.xml" << QString("^\\d\\d(\\.\\d(\\d(\\.\\d\\d?)?)?)?$ . ^$") << QString();
        QTest::newRow("okpdtr") << "OKPDTR_new.xml" << QString("^\\d{5}$ . ^[1-4]$")
                                << QString("10003/Авербандщик/4|47855/Электромеханик устройств сигнализации, "
                                           "централизации, блокировки и средств связи/2");
        QTest::newRow("facets") << "Faset_new.xml" << QString("^\\d{1,2}$ . ^\\d\\d$")
                                << QString("01/Вице-/01|0/- - - удалить фасет - - -/00");
        // Running numbers: a card stores only the name.
        QTest::newRow("iogv") << "IOGV_new.xml" << QString("^[1-9]\\d?$ . ^$")
                              << QString("1/Администрация Губернатора Санкт-Петербурга/|"
                                         "61/Администрация Центрального района Санкт-Петербурга/");
        QTest::newRow("okogu") << "ОКОГУ_new.xml" << QString("^\\d{7}$ . ^$") << QString();
        // Regions, enlisted and officer VUS lists; it may hold no region yet.
        QTest::newRow("vus") << "VUS.xml" << QString("^\\S ^\\d{3}(,\\s\\d{3})*$ ^(Нет|\\d{6}(,\\s\\d{6})*)$")
                             << QString();
        QTest::newRow("military commissariats") << "VK_org_new.xml" << QString("^\\d{1,3}$ . ^$") << QString();
    }

    void embedded_files()
    {
        QFETCH(QString, file);
        QFETCH(QString, forms);
        QFETCH(QString, ends);
        const QString path = ":/database/xml/" + file;
        QVERIFY(is_classifier_document(path));
        ClassifierReader r;
        QVERIFY(r.load(path));
        const QStringList form = forms.split(' ');
        QSet<QString> codes;
        for (const ClassifierRecord &rec : qAsConst(r.records)) {
            const QString fields[] = {rec.code, rec.name, rec.sort};
            for (int i = 0; i < 3; ++i)
                QVERIFY2(QRegularExpression(form.at(i)).match(fields[i]).hasMatch(), qPrintable(rec.code));
            QVERIFY2(!rec.name.trimmed().isEmpty() && !rec.name.contains('\n'), qPrintable(rec.code));
            codes.insert(rec.code);
        }
        QCOMPARE(codes.size(), r.records.size()); // codes are unique
        if (!ends.isEmpty())
            QCOMPARE(joined({r.records.first(), r.records.last()}), ends);
    }
};

QUELT_CORE_TEST_MAIN(TestClassifiers)
#include "tst_classifiers.moc"
