#include "test_support.h"

#include "classifier_reader.h"
#include "form.h"
#include "form_pdp.h"
#include "init_resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTextBrowser>

namespace
{

ClassifierRecord rec(const QString &code, const QString &name, const QString &sort = QString())
{
    ClassifierRecord r;
    r.code = code;
    r.name = name;
    r.sort = sort;
    return r;
}

// Three records whose order differs by code, by name and by sort.
QVector<ClassifierRecord> three()
{
    return {rec("2", "Вторая", "3"), rec("3", "Альфа", "1"), rec("1", "Бета", "2")};
}

QVector<ClassifierRecord> from_resource(const QString &file)
{
    ClassifierReader r;
    if (!r.load(file.startsWith('/') ? file : ":/database/xml/" + file))
        qFatal("no file %s", qPrintable(file));
    return r.records;
}

// Regions with made-up VUS lists (the carried list may hold no regions at all).
QVector<VusRecord> vus_fixture()
{
    ClassifierReader r;
    r.load(QUELT_TEST_DATA "/classifiers/VUS.xml");
    return r.vus_records;
}

// The picker's widgets, reached by object name as a user of the form would.
struct Picker {
    Form form;
    QSignalSpy spy{&form, SIGNAL(sig(QString, QString, QString))};

    Picker(int mode, const QVector<ClassifierRecord> &items, bool show = true)
    {
        form.set_mode(mode);
        form.set_items(items);
        if (show) {
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
        }
    }
    QLineEdit *kod() { return form.findChild<QLineEdit *>("KlassForm_le_kod"); }
    QLineEdit *naim() { return form.findChild<QLineEdit *>("KlassForm_le_naim"); }
    QTableView *view() { return form.findChild<QTableView *>("tableView"); }
    int rows() { return view()->model()->rowCount(); }
    QStringList column(int c)
    {
        QStringList out;
        for (int r = 0; r < rows(); ++r)
            out << view()->model()->index(r, c).data().toString();
        return out;
    }
    void click_code(const QString &code, bool twice = false)
    {
        const QPoint p = view()->visualRect(view()->model()->index(column(0).indexOf(code), 1)).center();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, p);
        if (twice)
            QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, p);
    }
    // Presses "Выбрать"; returns the box shown, if one was expected.
    std::shared_ptr<test_support::ModalAnswer> choose(bool expect_box = false)
    {
        auto box = expect_box ? test_support::answer_next_modal("OK") : nullptr;
        QTest::mouseClick(form.findChild<QPushButton *>("pushButton"), Qt::LeftButton);
        return box;
    }
    // Types text as key presses, one character at a time (Cyrillic included).
    void type(QLineEdit *edit, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Selects the whole field and deletes it, as a user would.
    void erase(QLineEdit *edit)
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
};

} // namespace

class TestPicker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quelt_init_resources(); }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("codes_in_order");
        QTest::addColumn<QString>("hidden"); // c: code column, k: category, s: code search, b: button
        QTest::addColumn<QString>("mask");

        const QStringList by_code{"1", "2", "3"}, by_name{"3", "1", "2"}, by_sort{"3", "1", "2"};
        QTest::newRow("0") << 0 << by_code << "k"
                           << "";
        QTest::newRow("1") << 1 << by_name << "k"
                           << "";
        QTest::newRow("2") << 2 << by_sort << "k"
                           << "";
        QTest::newRow("3") << 3 << by_name << "cks"
                           << "";
        QTest::newRow("4") << 4 << by_name << ""
                           << "";
        QTest::newRow("5") << 5 << by_name << "b"
                           << "";
        QTest::newRow("6") << 6 << by_code << "k"
                           << "99.99.99";
        QTest::newRow("7") << 7 << by_code << "cks"
                           << "";
    }

    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, codes_in_order);
        QFETCH(QString, hidden);
        QFETCH(QString, mask);
        Picker p(mode, three(), false);
        QCOMPARE(p.column(0), codes_in_order);
        QCOMPARE(p.view()->isColumnHidden(0), hidden.contains('c'));
        QCOMPARE(p.view()->isColumnHidden(2), hidden.contains('k'));
        QCOMPARE(p.form.findChild<QGroupBox *>("dopinfo")->isHidden(), hidden.contains('k'));
        QCOMPARE(p.kod()->isHidden(), hidden.contains('s'));
        QCOMPARE(p.form.findChild<QPushButton *>("pushButton")->isHidden(), hidden.contains('b'));
        QCOMPARE(p.kod()->inputMask(), mask);
    }

    void name_search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("needle"); // rows whose name contains this, letter case aside
        QTest::newRow("upper case") << "НЕВСКИЙ"
                                    << "невский";
        QTest::newRow("mixed, inside a word") << "гРаДск"
                                              << "градск";
        QTest::newRow("nothing") << "щщщщ"
                                 << "щщщщ";
    }

    void name_search()
    {
        QFETCH(QString, typed);
        QFETCH(QString, needle);
        const QVector<ClassifierRecord> streets = from_resource("адрес_new.xml");
        QStringList expected;
        for (const ClassifierRecord &r : streets)
            if (r.name.contains(needle, Qt::CaseInsensitive))
                expected << r.name;
        std::sort(expected.begin(), expected.end());
        Picker p(3, streets, false);
        p.type(p.naim(), typed);
        QCOMPARE(p.column(1), expected);
        p.erase(p.naim());
        QCOMPARE(p.rows(), streets.size());
    }

    void broken_pattern_shows_nothing()
    {
        Picker p(3, from_resource("адрес_new.xml"), false);
        p.type(p.naim(), "(пр");
        QCOMPARE(p.rows(), 0);
        QTest::keyClick(p.naim(), Qt::Key_Home);
        QTest::keyClick(p.naim(), Qt::Key_Delete);
        QVERIFY(p.rows() > 0);
    }

    void code_search_under_mask_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("field_text");
        QTest::addColumn<QString>("pattern"); // '?' for any one character
        QTest::newRow("35") << "35"
                            << "35.."
                            << "35";
        QTest::newRow("351") << "351"
                             << "35.1."
                             << "35?1";
        QTest::newRow("351410") << "351410"
                                << "35.14.10"
                                << "35?14?10";
    }

    void code_search_under_mask()
    {
        QFETCH(QString, digits);
        QFETCH(QString, field_text);
        QFETCH(QString, pattern);
        const QVector<ClassifierRecord> okved = from_resource("OKVED_new.xml");
        QStringList expected;
        const QRegularExpression re(QRegularExpression::escape(pattern).replace("\\?", "."));
        for (const ClassifierRecord &r : okved)
            if (re.match(r.code).hasMatch())
                expected << r.code;
        std::sort(expected.begin(), expected.end());

        Picker p(6, okved, false);
        p.kod()->setFocus();
        QTest::keyClick(p.kod(), Qt::Key_Home);
        QTest::keyClicks(p.kod(), digits);
        QCOMPARE(p.kod()->text(), field_text);
        QCOMPARE(p.column(0), expected);
        p.erase(p.kod());
        QCOMPARE(p.rows(), okved.size());
    }

    void code_search_free_text_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("trailing dots dropped") << "12.." << QStringList{"12", "123"};
        QTest::newRow("dot matches any") << "1.3" << QStringList{"123"};
        QTest::newRow("anywhere in the code") << "23" << QStringList{"123", "230"};
    }

    void code_search_free_text()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, codes);
        Picker p(0, {rec("12", "a"), rec("123", "b"), rec("230", "c"), rec("4", "d")}, false);
        QTest::keyClicks(p.kod(), typed);
        QCOMPARE(p.column(0), codes);
    }

    void name_search_replaces_code_search()
    {
        Picker p(0, three(), false);
        QTest::keyClicks(p.kod(), "3");
        QCOMPARE(p.column(0), QStringList{"3"});
        // Filters by name only: "Альфа", "Вторая" and "Бета" all hold an "а".
        p.type(p.naim(), "а");
        QCOMPARE(p.rows(), 3);
        QCOMPARE(p.kod()->text(), QString("3"));
    }

    void pick_by_double_click_resets()
    {
        Picker p(3, three());
        p.type(p.naim(), "а");
        p.click_code("2", true);
        // The code column is hidden in this mode, the code is sent all the same.
        QCOMPARE(p.spy, (QList<QList<QVariant>>{{"2", "Вторая", "3"}}));
        QVERIFY(p.form.isHidden());
        QCOMPARE(p.naim()->text(), QString());
        QCOMPARE(p.rows(), 3);

        // The reset forgets the row: the next "Выбрать" asks for a row.
        p.form.show();
        auto box = p.choose(true);
        QVERIFY(box->seen);
        QCOMPARE(box->title, QString("Не выбрана строка."));
        QCOMPARE(
            box->text,
            QString("Пожалуйста, перед нажатием кнопки выделите нужную строку из списка или дважды щелкните по ней."));
        QCOMPARE(p.spy.count(), 1);
        QVERIFY(p.form.isVisible());
    }

    void pick_by_button_follows_search()
    {
        Picker p(4, from_resource("OKPDTR_new.xml"));
        p.click_code("20656");
        p.choose();
        QCOMPARE(p.spy, (QList<QList<QVariant>>{{"20656", "Главный бухгалтер", "1"}}));
        QVERIFY(p.form.isHidden());

        // The current row stays current through a search that keeps it.
        Picker q(0, {rec("1", "Альфа"), rec("2", "Бета"), rec("3", "Бетон"), rec("4", "Вагон"), rec("5", "Тон")});
        q.click_code("4");
        q.type(q.naim(), "он");
        QCOMPARE(q.column(0), (QStringList{"3", "4", "5"}));
        q.choose();
        QCOMPARE(q.spy.value(0).value(1).toString(), QString("Вагон"));
        // Another row made current before the search: the one row left is picked.
        q.form.show();
        q.click_code("2");
        q.type(q.naim(), "альф");
        q.choose();
        QCOMPARE(q.spy.value(1).value(0).toString(), QString("1"));
    }

    void choose_without_row_keeps_everything()
    {
        Picker empty(3, {});
        QVERIFY(empty.choose(true)->seen);

        Picker p(0, three());
        // No row has been current since the list was filled: even a single row left is not taken.
        p.type(p.naim(), "бет");
        QCOMPARE(p.rows(), 1);
        QVERIFY(p.choose(true)->seen);
        QCOMPARE(p.spy.count(), 0);
        QVERIFY(p.form.isVisible());
        // Closing keeps the search too.
        p.form.close();
        p.form.show();
        QCOMPARE(p.naim()->text(), QString("бет"));
        QCOMPARE(p.rows(), 1);
    }

    void start_up_fill_is_fast()
    {
        // The main window's start-up: eleven files into thirteen pickers.
        const QList<QPair<QString, QList<int>>> loads = {
            {"адрес_new.xml", {3, 3}}, {"Должности_new.xml", {3}}, {"ОКАТО_new.xml", {0}},  {"ОКОПФ_new.xml", {0}},
            {"ОКФС_new.xml", {0}},     {"OKVED_new.xml", {6, 6}},  {"OKPDTR_new.xml", {4}}, {"Faset_new.xml", {2}},
            {"IOGV_new.xml", {3}},     {"ОКОГУ_new.xml", {0}},     {"VK_org_new.xml", {3}}};
        std::vector<std::unique_ptr<Form>> pickers;
        for (int i = 0; i < 13; ++i)
            pickers.emplace_back(new Form);
        ClassifierReader reader;
        QElapsedTimer timer;
        timer.start();
        int next = 0;
        for (const auto &load : loads) {
            reader.load(":/database/xml/" + load.first);
            for (int mode : load.second) {
                pickers[next]->set_mode(mode);
                pickers[next++]->set_items(reader);
            }
        }
        QVERIFY2(timer.elapsed() < 400, qPrintable(QString::number(timer.elapsed())));
        // The facet picker lists by its hidden sort value: the removing entry comes first.
        auto *facets = pickers[9]->findChild<QTableView *>("tableView")->model();
        QCOMPARE(facets->index(0, 1).data().toString(), QString("- - - удалить фасет - - -"));
    }

    // The VUS list window.

    void vus_before_first_show()
    {
        Form_pdp w;
        const QVector<VusRecord> vus = vus_fixture();
        w.set_vus_items(vus);
        QCOMPARE(w.findChild<QTableView *>("tableView")->model()->rowCount(), 0);
        auto *combo = w.findChild<QComboBox *>("comboBox");
        QStringList items{"Санкт-Петербург", "Ленинградская область"};
        for (const VusRecord &v : vus)
            items << v.region;
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        QCOMPARE(shown, items);
    }

    void vus_show_region_data()
    {
        QTest::addColumn<QString>("region");
        QTest::newRow("first fixed item") << "Санкт-Петербург";
        QTest::newRow("parentheses") << "Республика Саха (Якутия)";
        QTest::newRow("part of another name") << "Омская область";
        QTest::newRow("trailing blank") << "Брянская область ";
    }

    void vus_show_region()
    {
        QFETCH(QString, region);
        const QVector<VusRecord> vus = vus_fixture();
        VusRecord expected;
        for (const VusRecord &v : vus)
            if (v.region == region)
                expected = v;
        QCOMPARE(expected.region, region);

        Form_pdp w;
        w.set_vus_items(vus);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *combo = w.findChild<QComboBox *>("comboBox");
        // Choose the region's own entry (the last one with that text) with the keyboard.
        int index = 0;
        for (int i = 1; i < combo->count(); ++i)
            if (combo->itemText(i) == region && combo->itemText(0) != region)
                index = i;
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), region);
        QTest::mouseClick(w.findChild<QPushButton *>("find_pdp"), Qt::LeftButton);
        QAbstractItemModel *shown = w.findChild<QTableView *>("tableView")->model();
        QCOMPARE(shown->rowCount(), 1);
        QCOMPARE(shown->index(0, 0).data().toString(), region);
        QCOMPARE(shown->index(0, 1).data().toString(), expected.officer_vus);
        QCOMPARE(shown->index(0, 2).data().toString(), expected.enlisted_vus);
    }

    void vus_changes_text()
    {
        Form_pdp w;
        w.set_vus_items({});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *box = w.findChild<QCheckBox *>("cb_dopinfo");
        auto *changes = w.findChild<QTextBrowser *>("VUSlabel2");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(changes->isVisible());
        QVERIFY(!w.findChild<QTextBrowser *>("VUSlabel")->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(!changes->isVisible());

        // Headings of both regions, each followed by the note that the list is not supplied.
        const QStringList lines = changes->toPlainText().split('\n');
        const QStringList in_order{QString("Санкт-Петербург"),
                                   QString("ВУС офицеров запаса в 2025 году (добавлено – 7 / изъято – 0):"),
                                   QString("Ленинградская область"),
                                   QString("ВУС прапорщиков, мичманов, сержантов, старшин, солдат и матросов запаса в "
                                           "2025 году (добавлено – 31, изъято – 84):")};
        int at = -1;
        for (const QString &line : in_order) {
            at = lines.indexOf(line, at + 1);
            QVERIFY2(at >= 0, qPrintable(line));
        }
        const QString note = lines.value(lines.indexOf(in_order.at(1)) + 1);
        QVERIFY(!note.trimmed().isEmpty());
        QCOMPARE(lines.value(at + 1), note);
        // Nothing that looks like a list of VUS codes.
        const QRegularExpression code_list("\\b\\d{3}(\\d{3})?\\s*,\\s*\\d{3}");
        for (const QString &line : lines)
            QVERIFY2(!code_list.match(line).hasMatch(), qPrintable(line));
    }
};

QUELT_TEST_MAIN(TestPicker)
#include "tst_picker.moc"
