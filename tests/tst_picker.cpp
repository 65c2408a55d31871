#include "test_support.h"

#include "classifier_reader.h"
#include "form.h"
#include "form_pdp.h"
#include "init_resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
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
    if (!r.load(":/database/xml/" + file))
        qFatal("no resource %s", qPrintable(file));
    return r.records;
}

// Regions with made-up VUS lists (the carried list may hold no regions at all).
QVector<VusRecord> vus_fixture()
{
    ClassifierReader r;
    if (!r.load(QUELT_TEST_DATA "/classifiers/VUS.xml") || r.vus_records.isEmpty())
        qFatal("no VUS fixture");
    return r.vus_records;
}

// The picker's widgets, reached by object name as a user of the form would.
struct Picker {
    Form &form;
    QLineEdit *kod() const { return form.findChild<QLineEdit *>("KlassForm_le_kod"); }
    QLineEdit *naim() const { return form.findChild<QLineEdit *>("KlassForm_le_naim"); }
    QTableView *view() const { return form.findChild<QTableView *>("tableView"); }
    QAbstractItemModel *shown() const { return view()->model(); }
    QPushButton *button() const { return form.findChild<QPushButton *>("pushButton"); }
    int rows() const { return shown()->rowCount(); }
    QString at(int row, int column) const { return shown()->index(row, column).data().toString(); }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < rows(); ++r)
            out << at(r, c);
        return out;
    }
    int row_of_code(const QString &code) const { return column(0).indexOf(code); }
    QPoint centre_of(int row) const { return view()->visualRect(shown()->index(row, 1)).center(); }
    void click_row(int row) const { QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, centre_of(row)); }
    void double_click_row(int row) const
    {
        const QPoint p = centre_of(row);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, p);
    }
    void press_choose() const { QTest::mouseClick(button(), Qt::LeftButton); }
};

// Types text as key presses, one character at a time (Cyrillic included).
void type(QWidget *w, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Selects the whole field and deletes it, as a user would.
void erase_all(QLineEdit *edit)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
}

} // namespace

Q_DECLARE_METATYPE(QVector<ClassifierRecord>)

class TestPicker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quelt_init_resources(); }

    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("codes_in_order");
        QTest::addColumn<bool>("code_column_hidden");
        QTest::addColumn<bool>("category_hidden");
        QTest::addColumn<bool>("code_search_hidden");
        QTest::addColumn<bool>("button_hidden");
        QTest::addColumn<QString>("mask");

        const QStringList by_code{"1", "2", "3"}, by_name{"3", "1", "2"}, by_sort{"3", "1", "2"};
        QTest::newRow("0") << 0 << by_code << false << true << false << false << "";
        QTest::newRow("1") << 1 << by_name << false << true << false << false << "";
        QTest::newRow("2") << 2 << by_sort << false << true << false << false << "";
        QTest::newRow("3") << 3 << by_name << true << true << true << false << "";
        QTest::newRow("4") << 4 << by_name << false << false << false << false << "";
        QTest::newRow("5") << 5 << by_name << false << false << false << true << "";
        QTest::newRow("6") << 6 << by_code << false << true << false << false << "99.99.99";
        QTest::newRow("7") << 7 << by_code << true << true << true << false << "";
    }

    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, codes_in_order);
        QFETCH(bool, code_column_hidden);
        QFETCH(bool, category_hidden);
        QFETCH(bool, code_search_hidden);
        QFETCH(bool, button_hidden);
        QFETCH(QString, mask);

        Form form;
        Picker p{form};
        form.set_mode(mode);
        QVERIFY(!p.view()->model()); // set_mode alone fills nothing
        form.set_items(three());

        QCOMPARE(p.column(0), codes_in_order);
        QCOMPARE(p.shown()->headerData(0, Qt::Horizontal).toString(), QString("Код"));
        QCOMPARE(p.shown()->headerData(1, Qt::Horizontal).toString(), QString("Наименование"));
        QCOMPARE(p.shown()->headerData(2, Qt::Horizontal).toString(), QString("Категория"));
        QCOMPARE(p.view()->isColumnHidden(0), code_column_hidden);
        QVERIFY(!p.view()->isColumnHidden(1));
        QCOMPARE(p.view()->isColumnHidden(2), category_hidden);
        QCOMPARE(form.findChild<QGroupBox *>("dopinfo")->isHidden(), category_hidden);
        QCOMPARE(p.kod()->isHidden(), code_search_hidden);
        QCOMPARE(form.findChild<QLabel *>("label")->isHidden(), code_search_hidden);
        QCOMPARE(p.button()->isHidden(), button_hidden);
        QCOMPARE(p.kod()->inputMask(), mask);
        QVERIFY(p.view()->isSortingEnabled());
        QVERIFY(p.view()->verticalHeader()->isHidden());
        QCOMPARE(p.shown()->index(0, 0).data(Qt::TextAlignmentRole).toInt(), 0x84);
        QCOMPARE(p.shown()->index(0, 2).data(Qt::TextAlignmentRole).toInt(), 0x84);
    }

    void position_picker_widths()
    {
        Form form;
        Picker p{form};
        form.set_mode(4);
        form.set_items(three());
        const int w = p.view()->width();
        QCOMPARE(p.view()->columnWidth(0), int(w * 0.7));
        QCOMPARE(p.view()->columnWidth(1), w * 3);
    }

    void explanation_toggles()
    {
        Form form;
        form.set_mode(4);
        form.set_items(three());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *group = form.findChild<QGroupBox *>("dopinfo");
        auto *text = form.findChild<QTextBrowser *>("textBrowser");
        QVERIFY(text->isVisible());
        QVERIFY(text->toPlainText().contains("1 - Руководители,       2 - Специалисты, "));
        group->setFocus();
        QTest::keyClick(group, Qt::Key_Space);
        QVERIFY(!group->isChecked());
        QVERIFY(!text->isVisible());
        group->setChecked(true);
        QVERIFY(text->isVisible());
    }

    void header_click_resorts()
    {
        Form form;
        Picker p{form};
        form.set_items(three());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QHeaderView *header = p.view()->horizontalHeader();
        const QPoint name_header(header->sectionViewportPosition(1) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, name_header);
        QCOMPARE(p.column(1), (QStringList{"Альфа", "Бета", "Вторая"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, name_header);
        QCOMPARE(p.column(1), (QStringList{"Вторая", "Бета", "Альфа"}));
    }

    void empty_list()
    {
        Form form;
        Picker p{form};
        form.set_mode(3);
        form.set_items(QVector<ClassifierRecord>());
        QCOMPARE(p.rows(), 0);
        auto box = test_support::answer_next_modal("OK");
        p.press_choose();
        QVERIFY(box->seen);
    }

    void name_search_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("needle"); // rows whose name contains this, letter case aside

        QTest::newRow("lower case") << "невский"
                                    << "невский";
        QTest::newRow("upper case") << "НЕВСКИЙ"
                                    << "невский";
        QTest::newRow("mixed") << "нЕвСк"
                               << "невск";
        QTest::newRow("inside a word") << "градск"
                                       << "градск";
        QTest::newRow("nothing") << "щщщщ"
                                 << "щщщщ";
    }

    void name_search()
    {
        QFETCH(QString, typed);
        QFETCH(QString, needle);
        const QVector<ClassifierRecord> streets = from_resource("адрес_new.xml");
        int expected = 0;
        for (const ClassifierRecord &r : streets)
            expected += r.name.contains(needle, Qt::CaseInsensitive) ? 1 : 0;

        Form form;
        Picker p{form};
        form.set_mode(3);
        form.set_items(streets);
        type(p.naim(), typed);
        QCOMPARE(p.rows(), expected);
        for (const QString &name : p.column(1))
            QVERIFY2(name.contains(needle, Qt::CaseInsensitive), qPrintable(name));
        // Still sorted by name.
        QStringList sorted = p.column(1);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(p.column(1), sorted);
        erase_all(p.naim());
        QCOMPARE(p.rows(), streets.size());
    }

    void broken_pattern_shows_nothing()
    {
        Form form;
        Picker p{form};
        form.set_mode(3);
        form.set_items(from_resource("адрес_new.xml"));
        type(p.naim(), "(пр");
        QCOMPARE(p.rows(), 0);
        QTest::keyClick(p.naim(), Qt::Key_Home);
        QTest::keyClick(p.naim(), Qt::Key_Delete);
        QVERIFY(p.rows() > 0);
        QTest::keyClick(p.naim(), Qt::Key_End);
        erase_all(p.naim());
        QCOMPARE(p.rows(), from_resource("адрес_new.xml").size());
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
        QTest::newRow("3514") << "3514"
                              << "35.14."
                              << "35?14";
        QTest::newRow("351410") << "351410"
                                << "35.14.10"
                                << "35?14?10";
        QTest::newRow("0") << "0"
                           << "0.."
                           << "0";
    }

    void code_search_under_mask()
    {
        QFETCH(QString, digits);
        QFETCH(QString, field_text);
        QFETCH(QString, pattern);

        const QVector<ClassifierRecord> okved = from_resource("OKVED_new.xml");
        QStringList expected;
        for (const ClassifierRecord &r : okved) {
            for (int i = 0; i + pattern.size() <= r.code.size(); ++i) {
                bool match = true;
                for (int k = 0; k < pattern.size() && match; ++k)
                    match = pattern[k] == '?' || pattern[k] == r.code[i + k];
                if (match) {
                    expected << r.code;
                    break;
                }
            }
        }
        std::sort(expected.begin(), expected.end());

        Form form;
        Picker p{form};
        form.set_mode(6);
        form.set_items(okved);
        p.kod()->setFocus();
        QTest::keyClick(p.kod(), Qt::Key_Home);
        QTest::keyClicks(p.kod(), digits);
        QCOMPARE(p.kod()->text(), field_text);
        QCOMPARE(p.column(0), expected);
        if (digits == "35") {
            QVERIFY(expected.contains("46.35"));
            QVERIFY(expected.contains("08.99.35"));
        }
        erase_all(p.kod());
        QCOMPARE(p.kod()->text(), QString(".."));
        QCOMPARE(p.rows(), okved.size());
    }

    void code_search_free_text_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("codes");

        QTest::newRow("trailing dot dropped") << "12." << QStringList{"12", "123"};
        QTest::newRow("two trailing dots dropped") << "12.." << QStringList{"12", "123"};
        QTest::newRow("dot matches any") << "1.3" << QStringList{"123"};
        QTest::newRow("anywhere in the code") << "23" << QStringList{"123", "230"};
    }

    void code_search_free_text()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, codes);
        Form form;
        Picker p{form};
        form.set_items({rec("12", "a"), rec("123", "b"), rec("230", "c"), rec("4", "d")});
        QTest::keyClicks(p.kod(), typed);
        QCOMPARE(p.column(0), codes);
    }

    void name_search_replaces_code_search()
    {
        Form form;
        Picker p{form};
        form.set_items(three());
        QTest::keyClicks(p.kod(), "3");
        QCOMPARE(p.column(0), QStringList{"3"});
        type(p.naim(), "а");
        // Filters by name only: "Альфа", "Вторая" and "Бета" all hold an "а".
        QCOMPARE(p.rows(), 3);
        QCOMPARE(p.kod()->text(), QString("3"));
        erase_all(p.naim());
        type(p.naim(), "бет");
        QCOMPARE(p.column(0), QStringList{"1"});
    }

    void pick_by_double_click()
    {
        Form form;
        Picker p{form};
        form.set_mode(3);
        form.set_items(three());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy spy(&form, SIGNAL(sig(QString, QString, QString)));
        type(p.naim(), "а");
        const int row = p.column(1).indexOf("Вторая");
        p.double_click_row(row);
        QCOMPARE(spy.count(), 1);
        // The code column is hidden in this mode, the code is sent all the same.
        QCOMPARE(spy.first(), (QList<QVariant>{"2", "Вторая", "3"}));
        QVERIFY(form.isHidden());
        QCOMPARE(p.naim()->text(), QString());
        QCOMPARE(p.kod()->text(), QString());
        QCOMPARE(p.rows(), 3);

        // The reset forgets the row: the next "Выбрать" asks for a row.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto box = test_support::answer_next_modal("OK");
        p.press_choose();
        QVERIFY(box->seen);
        QCOMPARE(box->title, QString("Не выбрана строка."));
        QCOMPARE(
            box->text,
            QString("Пожалуйста, перед нажатием кнопки выделите нужную строку из списка или дважды щелкните по ней."));
        QCOMPARE(spy.count(), 1);
        QVERIFY(form.isVisible());
    }

    void pick_by_button()
    {
        Form form;
        Picker p{form};
        form.set_mode(4);
        form.set_items(from_resource("OKPDTR_new.xml"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy spy(&form, SIGNAL(sig(QString, QString, QString)));
        p.click_row(p.column(1).indexOf("Главный бухгалтер"));
        p.press_choose();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first(), (QList<QVariant>{"20656", "Главный бухгалтер", "1"}));
        QVERIFY(form.isHidden());
    }

    void choose_without_row_keeps_everything()
    {
        Form form;
        Picker p{form};
        form.set_items(three());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy spy(&form, SIGNAL(sig(QString, QString, QString)));
        type(p.naim(), "а");
        auto box = test_support::answer_next_modal("OK");
        p.press_choose();
        QVERIFY(box->seen);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(p.naim()->text(), QString("а"));
        QVERIFY(form.isVisible());
    }

    void single_row_left_by_search()
    {
        Form form;
        Picker p{form};
        form.set_items(three());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy spy(&form, SIGNAL(sig(QString, QString, QString)));

        // No row has been current since the list was filled: the one row is not taken.
        type(p.naim(), "бет");
        QCOMPARE(p.rows(), 1);
        auto box = test_support::answer_next_modal("OK");
        p.press_choose();
        QVERIFY(box->seen);
        QCOMPARE(spy.count(), 0);

        // Another row made current before the search: the one row left is picked.
        erase_all(p.naim());
        p.click_row(p.row_of_code("2"));
        type(p.naim(), "альф");
        QCOMPARE(p.rows(), 1);
        p.press_choose();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(0).toString(), QString("3"));
    }

    void current_row_follows_a_search()
    {
        Form form;
        Picker p{form};
        form.set_items({rec("1", "Альфа"), rec("2", "Бета"), rec("3", "Бетон"), rec("4", "Вагон"), rec("5", "Тон")});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy spy(&form, SIGNAL(sig(QString, QString, QString)));
        p.click_row(p.row_of_code("4"));
        type(p.naim(), "он");
        QCOMPARE(p.column(0), (QStringList{"3", "4", "5"}));
        p.press_choose();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(1).toString(), QString("Вагон"));
    }

    void closing_keeps_the_search()
    {
        Form form;
        Picker p{form};
        form.set_items(three());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        type(p.naim(), "бет");
        form.close();
        form.show();
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
        int next = 0, records = 0;
        for (const auto &load : loads) {
            reader.load(":/database/xml/" + load.first);
            for (int mode : load.second) {
                pickers[next]->set_mode(mode);
                pickers[next++]->set_items(reader);
                records += reader.records.size();
            }
        }
        const qint64 elapsed = timer.elapsed();
        qInfo("%d records into 13 pickers in %lld ms", records, elapsed);
        QVERIFY2(elapsed < 400, qPrintable(QString::number(elapsed)));
        // Both OKVED pickers hold the same list, each with the mask.
        Picker a{*pickers[6]}, b{*pickers[7]};
        QCOMPARE(a.column(0), b.column(0));
        QCOMPARE(b.kod()->inputMask(), QString("99.99.99"));
        // The facet picker lists by its hidden sort value: the removing entry comes first.
        QCOMPARE(Picker{*pickers[9]}.at(0, 1), QString("- - - удалить фасет - - -"));
    }

    // The VUS list window.

    void vus_before_first_show()
    {
        Form_pdp w;
        const QVector<VusRecord> vus = vus_fixture();
        w.set_vus_items(vus);
        auto *view = w.findChild<QTableView *>("tableView");
        QCOMPARE(view->model()->rowCount(), 0);
        QCOMPARE(view->model()->columnCount(), 3);
        QCOMPARE(view->model()->headerData(0, Qt::Horizontal).toString(), QString("Субъект РФ"));
        QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("ВУС офицеров запаса"));
        auto *combo = w.findChild<QComboBox *>("comboBox");
        QCOMPARE(combo->count(), 2 + vus.size());
        QCOMPARE(combo->itemText(0), QString("Санкт-Петербург"));
        QCOMPARE(combo->itemText(1), QString("Ленинградская область"));
        for (int i = 0; i < vus.size(); ++i)
            QCOMPARE(combo->itemText(2 + i), vus.at(i).region);
        QVERIFY(w.findChild<QGroupBox *>("groupBox_2")->isHidden());
        QVERIFY(w.findChild<QTextBrowser *>("VUSlabel2")->isHidden());
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
        // Choose the region's own entry (the last one with that text) with the keyboard;
        // the first fixed item is current already.
        int index = 0;
        if (combo->itemText(0) != region)
            for (int i = 0; i < combo->count(); ++i)
                if (combo->itemText(i) == region)
                    index = i;
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), region);
        QTest::mouseClick(w.findChild<QPushButton *>("find_pdp"), Qt::LeftButton);
        auto *view = w.findChild<QTableView *>("tableView");
        QCOMPARE(view->model()->rowCount(), 1);
        QCOMPARE(view->model()->index(0, 0).data().toString(), region);
        QCOMPARE(view->model()->index(0, 1).data().toString(), expected.officer_vus);
        QCOMPARE(view->model()->index(0, 2).data().toString(), expected.enlisted_vus);
        QCOMPARE(view->model()->headerData(0, Qt::Vertical).toString(), QString());
    }

    void vus_changes_text_toggles()
    {
        Form_pdp w;
        w.set_vus_items({});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *box = w.findChild<QCheckBox *>("cb_dopinfo");
        auto *instructions = w.findChild<QTextBrowser *>("VUSlabel");
        auto *changes = w.findChild<QTextBrowser *>("VUSlabel2");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(box->isChecked());
        QVERIFY(!instructions->isVisible());
        QVERIFY(changes->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(instructions->isVisible());
        QVERIFY(!changes->isVisible());
        // No records: only the two fixed regions, and "Показать" shows an empty table.
        QCOMPARE(w.findChild<QComboBox *>("comboBox")->count(), 2);
        QTest::mouseClick(w.findChild<QPushButton *>("find_pdp"), Qt::LeftButton);
        QCOMPARE(w.findChild<QTableView *>("tableView")->model()->rowCount(), 0);
    }

    void vus_carried_list()
    {
        // Whatever the carried list holds (it may hold no region), the window takes all of it.
        ClassifierReader r;
        QVERIFY(r.load(":/database/xml/VUS.xml"));
        int spb_rows = 0;
        for (const VusRecord &v : qAsConst(r.vus_records))
            spb_rows += v.region.compare("Санкт-Петербург", Qt::CaseInsensitive) == 0 ? 1 : 0;
        Form_pdp w;
        w.set_vus_items(r.vus_records);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.findChild<QComboBox *>("comboBox")->count(), 2 + r.vus_records.size());
        QTest::mouseClick(w.findChild<QPushButton *>("find_pdp"), Qt::LeftButton);
        QCOMPARE(w.findChild<QTableView *>("tableView")->model()->rowCount(), spb_rows);
    }

    void vus_changes_text_carries_no_code_lists()
    {
        Form_pdp w;
        const QStringList lines = w.findChild<QTextBrowser *>("VUSlabel2")->toPlainText().split('\n');
        for (const QString &bold : {QString("Коды ВУС, добавленные 17.07.2025, выделены желтым цветом. "),
                                    QString("Коды ВУС, изъятые 17.07.2025, выделены красным цветом. "),
                                    QString("Коды без цвета не изменились.")})
            QVERIFY2(lines.contains(bold), qPrintable(bold));
        // The region names in order, each followed by its headings; under every heading the one
        // line that says the list is not supplied.
        const QStringList regions{QString("Санкт-Петербург"), QString("Ленинградская область")};
        const QStringList in_order{QString("Санкт-Петербург"),
                                   QString("ВУС офицеров запаса в 2025 году (добавлено – 7 / изъято – 0):"),
                                   QString("ВУС прапорщиков, мичманов, сержантов, старшин, солдат и матросов запаса в "
                                           "2025 году (добавлено – 23 / изъято – 238):"),
                                   QString("Изъятые коды ВУС по сравнению с 2024 годом (можно бронировать независимо "
                                           "от процента забронированных):"),
                                   QString("Ленинградская область"),
                                   QString("ВУС офицеров запаса в 2025 году (добавлено – 2 / изъято – 90):"),
                                   QString("Изъятые коды ВУС по сравнению с 2024 годом:"),
                                   QString("ВУС прапорщиков, мичманов, сержантов, старшин, солдат и матросов запаса в "
                                           "2025 году (добавлено – 31, изъято – 84):"),
                                   QString("Изъятые коды ВУС по сравнению с 2024 годом:")};
        const QString note = lines.value(lines.indexOf(in_order.at(1)) + 1);
        QVERIFY(!note.trimmed().isEmpty());
        QVERIFY2(!note.contains(QRegularExpression("\\d")), qPrintable(note));
        int at = -1;
        for (const QString &line : in_order) {
            at = lines.indexOf(line, at + 1);
            QVERIFY2(at >= 0, qPrintable(line));
            if (!regions.contains(line))
                QCOMPARE(lines.value(at + 1), note);
        }
        QCOMPARE(lines.count(note), in_order.size() - regions.size());
        // Nothing that looks like a list of VUS codes.
        const QRegularExpression code_list("\\b\\d{3}(\\d{3})?\\s*,\\s*\\d{3}");
        for (const QString &line : lines)
            QVERIFY2(!code_list.match(line).hasMatch(), qPrintable(line));
    }

    void vus_column_widths_follow_resize()
    {
        Form_pdp w;
        w.set_vus_items(vus_fixture());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(1500, 900);
        QTRY_COMPARE(w.width(), 1500);
        auto *view = w.findChild<QTableView *>("tableView");
        QCOMPARE(view->columnWidth(0), 225);
        QCOMPARE(view->columnWidth(1), 675);
    }
};

QUELT_TEST_MAIN(TestPicker)
#include "tst_picker.moc"
