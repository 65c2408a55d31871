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

const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<dataroot xmlns:od=\"urn:schemas-microsoft-com:officedata\">\n";

QByteArray doc(const char *body)
{
    return head + QByteArray(body) + "</dataroot>\n";
}

// A carried file is well-formed XML whose records are named after the file (the reader
// itself cannot tell a broken file from an empty one).
bool is_classifier_document(const QString &path)
{
    QFile f(path);
    QDomDocument doc;
    if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f) || doc.documentElement().tagName() != "dataroot")
        return false;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.tagName() != QFileInfo(path).completeBaseName())
            return false;
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
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(f.fileName()));
        f.write(content);
        return f.fileName();
    }

private slots:
    void initTestCase()
    {
        quelt_init_resources();
        QVERIFY(dir.isValid());
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("records"); // code/name/sort|...

        QTest::newRow("not xml") << QByteArray("Код;Наименование\n1;Директор\n") << "";
        QTest::newRow("truncated") << (head + "<t><Код>1</Код><Наименование>Глава</Наименование></t>\n<t><Код>2") << "";
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
        QTest::newRow("whitespace-only text is no text")
            << doc("<t><Код>2</Код><Наименование>   </Наименование></t>") << "2//";
        QTest::newRow("tag names are case-sensitive") << doc("<t><код>1</код><НАИМЕНОВАНИЕ>x</НАИМЕНОВАНИЕ></t>") << "";
        QTest::newRow("undeclared namespace prefix")
            << QByteArray("<dataroot><od:t><Код>5</Код><Наименование>N</Наименование></od:t></dataroot>") << "5/N/";
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, records);
        ClassifierReader r;
        QVERIFY(r.load(write(QString("case_%1.xml").arg(QTest::currentDataTag()).replace(' ', '_'), content)));
        QCOMPARE(joined(r.records), records);
        QCOMPARE(r.vus_records.size(), r.records.size());
        for (int i = 0; i < r.records.size(); ++i) {
            QCOMPARE(r.vus_records[i].region, r.records[i].code);
            QCOMPARE(r.vus_records[i].enlisted_vus, r.records[i].name);
            QCOMPARE(r.vus_records[i].officer_vus, r.records[i].sort);
        }
    }

    void state_across_loads()
    {
        ClassifierReader r;
        QVERIFY(r.load(write("good.xml", doc("<t><Код>1</Код><Сорт>7</Сорт><Наименование>a</Наименование></t>"
                                             "<t><Код>2</Код><Наименование>b</Наименование></t>"))));
        QCOMPARE(r.records.size(), 2);
        // A broken file sets a code and a sort before it breaks off: the current record keeps its values.
        QVERIFY(r.load(write("broken.xml", head + "<t><Код>99</Код><Сорт>99</Сорт><Наименование>x</Наименование></t>"
                                                  "<t>")));
        QVERIFY(r.records.isEmpty());
        // Code and sort carry over from the previous load into a record that lacks them.
        QVERIFY(r.load(write("name_only.xml", doc("<t><Наименование>c</Наименование></t>"))));
        QCOMPARE(joined(r.records), QString("2/c/7"));
        QVERIFY(!r.load(dir.filePath("gone.xml")));
        QVERIFY(r.records.isEmpty() && r.vus_records.isEmpty());
    }

    void embedded_files_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("code_form"); // every code matches this
        QTest::addColumn<bool>("has_sort");
        QTest::addColumn<QString>("ends"); // first|last record where known

        QTest::newRow("addresses") << "адрес_new.xml"
                                   << "^\\d{1,4}$" << false << "";
        QTest::newRow("head positions") << "Должности_new.xml"
                                        << "^([1-9]|1[0-4])$" << false << "1/Генеральный директор/|14/Начальник/";
        QTest::newRow("okato") << "ОКАТО_new.xml"
                               << "^(\\d{5}|\\d{8})$" << false << "";
        QTest::newRow("okopf") << "ОКОПФ_new.xml"
                               << "^\\d{5}$" << false << "";
        QTest::newRow("okfs") << "ОКФС_new.xml"
                              << "^\\d{2}$" << false << "";
        QTest::newRow("okved") << "OKVED_new.xml"
                               << "^\\d\\d(\\.\\d(\\d(\\.\\d\\d?)?)?)?$" << false << "";
        QTest::newRow("okpdtr") << "OKPDTR_new.xml"
                                << "^\\d{5}$" << true << "";
        QTest::newRow("facets") << "Faset_new.xml"
                                << "^\\d{1,2}$" << true << "01/Вице-/01|0/- - - удалить фасет - - -/00";
        QTest::newRow("iogv") << "IOGV_new.xml"
                              << "^\\d{2}$" << false << "";
        QTest::newRow("okogu") << "ОКОГУ_new.xml"
                               << "^\\d{7}$" << false << "";
        QTest::newRow("military commissariats") << "VK_org_new.xml"
                                                << "^\\d{1,3}$" << false << "";
    }

    void embedded_files()
    {
        QFETCH(QString, file);
        QFETCH(QString, code_form);
        QFETCH(bool, has_sort);
        QFETCH(QString, ends);

        const QString path = ":/database/xml/" + file;
        QVERIFY(is_classifier_document(path));
        ClassifierReader r;
        QVERIFY(r.load(path));
        const QRegularExpression form(code_form);
        QSet<QString> codes;
        for (const ClassifierRecord &rec : qAsConst(r.records)) {
            QVERIFY2(form.match(rec.code).hasMatch(), qPrintable(rec.code));
            QVERIFY2(!rec.name.trimmed().isEmpty() && !rec.name.contains('\n'), qPrintable(rec.code));
            QCOMPARE(rec.sort.isEmpty(), !has_sort);
            codes.insert(rec.code);
        }
        QCOMPARE(codes.size(), r.records.size()); // codes are unique
        if (!ends.isEmpty())
            QCOMPARE(joined({r.records.first(), r.records.last()}), ends);
        if (file == "OKPDTR_new.xml") {
            QSet<QString> categories;
            for (const ClassifierRecord &rec : qAsConst(r.records))
                categories.insert(rec.sort);
            QCOMPARE(categories, (QSet<QString>{"1", "2", "3", "4"}));
        }
    }

    void vus_lists()
    {
        ClassifierReader r;
        QVERIFY(r.load(QUELT_TEST_DATA "/classifiers/VUS.xml"));
        QCOMPARE(r.vus_records.size(), 8);
        QCOMPARE(r.vus_records.at(3).region, QString("Брянская область "));
        QCOMPARE(r.vus_records.at(3).officer_vus, QString("Нет"));
        QCOMPARE(r.vus_records.last().enlisted_vus, QString("100, 131"));

        // The carried list may hold no region yet; what it holds keeps the form of the list.
        QVERIFY(is_classifier_document(":/database/xml/VUS.xml"));
        QVERIFY(r.load(":/database/xml/VUS.xml"));
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
