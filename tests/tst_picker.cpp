#include "tests/support/test_support.h"

#include "classifier/classifier_reader.h"
#include "resources/init_resources.h"
#include "widgets/form.h"
#include "widgets/form_pdp.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTextBrowser>

namespace
{

// Three records whose order differs by code, by name and by sort.
const QVector<ClassifierRecord> three = {{"2", "Вторая", "1"}, {"3", "Альфа", "2"}, {"1", "Бета", "3"}};

QVector<ClassifierRecord> from_resource(const QString &file)
{
    ClassifierReader r;
    r.load(":/database/xml/" + file);
    return r.records;
}

// Regions with made-up VUS lists (the carried list may hold no regions at all).
QVector<VusRecord> vus_fixture()
{
    ClassifierReader r;
    r.load(QUELT_TEST_DATA "/classifiers/VUS.xml");
    return r.vus_records;
}

struct Picker {
    Form form;
    QSignalSpy spy{&form, &Form::sig};

    Picker(int mode, const QVector<ClassifierRecord> &items, bool show = true)
    {
        form.set_mode(mode);
        form.set_items(items);
        form.setVisible(show);
        QVERIFY(!show || QTest::qWaitForWindowExposed(&form));
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
        QTest::mouseClick(form.findChild<QWidget *>("pushButton"), Qt::LeftButton);
        return box;
    }
    // Types text as key presses, one character at a time (Cyrillic included).
    void type(QLineEdit *edit, const QString &text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
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
        QTest::addColumn<QString>("hidden"); // c: code column, k: category, s: code search, b: button
        QTest::addColumn<QString>("codes_in_order");
        QTest::newRow("by_code") << int(picker_mode::by_code) << "k" << QString("1 2 3");
        QTest::newRow("by_name") << int(picker_mode::by_name) << "k" << QString("3 1 2");
        QTest::newRow("by_category") << int(picker_mode::by_category) << "k" << QString("2 3 1");
        QTest::newRow("names_only") << int(picker_mode::names_only) << "cks" << QString("3 1 2");
        QTest::newRow("positions") << int(picker_mode::positions) << "" << QString("3 1 2");
        QTest::newRow("positions_no_pick") << int(picker_mode::positions_no_pick) << "b" << QString("3 1 2");
        QTest::newRow("okved") << int(picker_mode::okved) << "k" << QString("1 2 3");
        QTest::newRow("names_by_code") << int(picker_mode::names_by_code) << "cks" << QString("1 2 3");
    }

    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, hidden);
        QFETCH(QString, codes_in_order);
        Picker p(mode, three, false);
        QCOMPARE(p.column(0).join(' '), codes_in_order);
        QCOMPARE(p.view()->isColumnHidden(0), hidden.contains('c'));
        QCOMPARE(p.view()->isColumnHidden(2), hidden.contains('k'));
        QCOMPARE(p.form.findChild<QWidget *>("dopinfo")->isHidden(), hidden.contains('k'));
        QCOMPARE(p.kod()->isHidden(), hidden.contains('s'));
        QCOMPARE(p.form.findChild<QWidget *>("pushButton")->isHidden(), hidden.contains('b'));
        QCOMPARE(p.kod()->inputMask(), QString(mode == picker_mode::okved ? "99.99.99" : ""));
    }

    void name_search_and_broken_pattern()
    {
        const QVector<ClassifierRecord> streets = from_resource("адрес_new.xml");
        QStringList expected;
        for (const ClassifierRecord &r : streets)
            if (r.name.contains("градск", Qt::CaseInsensitive))
                expected << r.name;
        std::sort(expected.begin(), expected.end());
        QVERIFY(!expected.isEmpty());
        Picker p(picker_mode::names_only, streets, false);
        // Letter case aside, inside a word.
        p.type(p.naim(), "гРаДск");
        QCOMPARE(p.column(1), expected);
        // Deleting the text brings the whole list back.
        QTest::keyClick(p.naim(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(p.naim(), Qt::Key_Backspace);
        QCOMPARE(p.rows(), streets.size());
        // A broken pattern shows nothing, until it is mended.
        p.type(p.naim(), "(пр");
        QCOMPARE(p.rows(), 0);
        QTest::keyClick(p.naim(), Qt::Key_Home);
        QTest::keyClick(p.naim(), Qt::Key_Delete);
        QVERIFY(p.rows() > 0);
    }

    // Every picker as the main window fills it: the rows and their order after each key, typing and then
    // deleting, against the pattern matched row by row and the list sorted by the mode's column.
    void rows_after_every_key_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("by_code"); // typed into the code search instead of the name search
        QTest::addColumn<QStringList>("texts");
        const QStringList names{"и",   "ИН", "инж", "ё", "Ё", "ул",  "пр.", "Ст",
                                "ая ", "-",  "k",   "K", "1", "а|б", "(пр", "ОЖ"};
        const QStringList codes{"4", "41", "1", "0", "12", "9"};
        const struct {
            const char *tag;
            const char *file;
            int mode;
        } pickers[] = {
            {"addresses", classifier_file::addresses, picker_mode::names_only},
            {"head positions", classifier_file::head_positions, picker_mode::names_only},
            {"okato", classifier_file::okato, picker_mode::by_code},
            {"okopf", classifier_file::okopf, picker_mode::by_code},
            {"okfs", classifier_file::okfs, picker_mode::by_code},
            {"okved", classifier_file::okved, picker_mode::okved},
            {"positions", classifier_file::positions, picker_mode::positions},
            {"facets", classifier_file::facets, picker_mode::by_category},
            {"iogv", classifier_file::iogv, picker_mode::names_only},
            {"okogu", classifier_file::okogu, picker_mode::by_code},
            {"offices", classifier_file::offices, picker_mode::names_only},
        };
        for (const auto &picker : pickers) {
            const QString file = QString::fromUtf8(picker.file);
            QTest::addRow("%s by name", picker.tag) << file << picker.mode << false << names;
            if (picker.mode == picker_mode::by_code)
                QTest::addRow("%s by code", picker.tag) << file << picker.mode << true << codes;
        }
        // Letter pairs the pattern library may know while QString does not (Unicode 14), and pairs both know.
        QTest::newRow("case pairs") << QString() << int(picker_mode::by_code) << false
                                    << QStringList{"\u2C2F", "\u2C5F", "\uA7C1", "ё", "Ё", "k", "K"};
    }

    void rows_after_every_key()
    {
        QFETCH(QString, file);
        QFETCH(int, mode);
        QFETCH(bool, by_code);
        QFETCH(QStringList, texts);
        QVector<ClassifierRecord> records = from_resource(file);
        if (file.isEmpty())
            for (const char *name : {"\u2C2F", "\u2C5F", "\uA7C0", "Ёж", "ёж", "\u212A"})
                records.append({QString::number(records.size() + 1), QString::fromUtf8(name), QString()});
        const int sort_column = mode == picker_mode::by_category                             ? 2
                                : mode == picker_mode::by_code || mode == picker_mode::okved ? 0
                                                                                             : 1;
        const auto field = [](const ClassifierRecord &r, int c) { return c == 0 ? r.code : c == 1 ? r.name : r.sort; };
        QVector<ClassifierRecord> sorted = records;
        std::stable_sort(sorted.begin(), sorted.end(), [&](const ClassifierRecord &a, const ClassifierRecord &b) {
            return field(a, sort_column).compare(field(b, sort_column)) < 0;
        });
        const auto expected = [&](const QString &text) {
            const QRegularExpression re(text, by_code ? QRegularExpression::NoPatternOption
                                                      : QRegularExpression::CaseInsensitiveOption);
            QStringList codes;
            for (const ClassifierRecord &r : qAsConst(sorted))
                if (text.isEmpty() || (re.isValid() && re.match(field(r, by_code ? 0 : 1)).hasMatch()))
                    codes << r.code;
            return codes;
        };
        Picker p(mode, records, false);
        QLineEdit *edit = by_code ? p.kod() : p.naim();
        for (const QString &text : texts) {
            for (int i = 1; i <= text.size(); ++i) {
                // A letter the keyboard does not give (unknown to Qt's tables) comes pasted.
                if (text.at(i - 1).isPrint()) {
                    p.type(edit, text.at(i - 1));
                } else {
                    QGuiApplication::clipboard()->setText(text.at(i - 1));
                    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
                }
                QVERIFY2(p.column(0) == expected(text.left(i)), qPrintable(text.left(i)));
            }
            for (int i = text.size() - 1; i >= 0; --i) {
                QTest::keyClick(edit, Qt::Key_Backspace);
                QVERIFY2(p.column(0) == expected(text.left(i)), qPrintable(text.left(i) + " after a deletion"));
            }
        }
    }

    void code_search_under_mask()
    {
        const QVector<ClassifierRecord> okved = from_resource("OKVED_new.xml");
        QStringList expected;
        for (const ClassifierRecord &r : okved)
            if (QRegularExpression("35.1").match(r.code).hasMatch())
                expected << r.code;
        std::sort(expected.begin(), expected.end());
        QVERIFY(!expected.isEmpty());
        Picker p(picker_mode::okved, okved, false);
        p.kod()->setFocus();
        QTest::keyClick(p.kod(), Qt::Key_Home);
        QTest::keyClicks(p.kod(), "351");
        QCOMPARE(p.kod()->text(), QString("35.1."));
        QCOMPARE(p.column(0), expected);
    }

    void code_search_free_text_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("trailing dots dropped") << "12.." << QString() << "12 123";
        QTest::newRow("dot matches any") << "1.3" << QString() << "123";
        QTest::newRow("anywhere in the code") << "23" << QString() << "123 230";
        // A name search filters by name only, the code stays in its field.
        QTest::newRow("name replaces code") << "4" << QString("c") << "230";
    }

    void code_search_free_text()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        Picker p(picker_mode::by_code, {{"12", "a", ""}, {"123", "b", ""}, {"230", "c", ""}, {"4", "d", ""}}, false);
        QTest::keyClicks(p.kod(), code);
        p.type(p.naim(), name);
        QCOMPARE(p.column(0).join(' '), shown);
        QCOMPARE(p.kod()->text(), code);
    }

    void pick_by_double_click_resets()
    {
        Picker p(picker_mode::names_only, three);
        p.type(p.naim(), "а");
        p.click_code("2", true);
        // The code column is hidden in this mode, the code is sent all the same.
        QCOMPARE(p.spy, (QList<QList<QVariant>>{{"2", "Вторая", "1"}}));
        QVERIFY(p.form.isHidden() && p.naim()->text().isEmpty() && p.rows() == 3);

        // The reset forgets the row: the next "Выбрать" asks for a row.
        p.form.show();
        auto box = p.choose(true);
        QCOMPARE(box->title + " " + box->text, QString("Не выбрана строка. Пожалуйста, перед нажатием кнопки выделите "
                                                       "нужную строку из списка или дважды щелкните по ней."));
        QVERIFY(p.spy.count() == 1 && p.form.isVisible());
    }

    void pick_by_button_follows_search()
    {
        // The current row stays current through a search that keeps it.
        Picker q(picker_mode::by_code,
                 {{"1", "Альфа", ""}, {"2", "Бета", ""}, {"3", "Бетон", ""}, {"4", "Вагон", ""}, {"5", "Тон", ""}});
        q.click_code("4");
        q.type(q.naim(), "он");
        QCOMPARE(q.column(0).join(' '), QString("3 4 5"));
        q.choose();
        QVERIFY(q.form.isHidden() && q.spy.value(0).value(1) == "Вагон");
        // Another row made current before the search: the one row left is picked.
        q.form.show();
        q.click_code("2");
        q.type(q.naim(), "альф");
        q.choose();
        QCOMPARE(q.spy.value(1).value(0).toString(), QString("1"));
    }

    void choose_without_row_keeps_everything()
    {
        QVERIFY(Picker(picker_mode::names_only, {}).choose(true)->seen);

        Picker p(picker_mode::by_code, three);
        // No row has been current since the list was filled: even a single row left is not taken.
        p.type(p.naim(), "бет");
        QVERIFY(p.rows() == 1 && p.choose(true)->seen);
        QVERIFY(p.spy.isEmpty() && p.form.isVisible());
        // Closing keeps the search too.
        p.form.close();
        p.form.show();
        QVERIFY(p.naim()->text() == "бет" && p.rows() == 1);
    }

    // The VUS list window.

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
        const auto expected =
            std::find_if(vus.begin(), vus.end(), [&](const VusRecord &v) { return v.region == region; });
        QVERIFY(expected != vus.end());

        Form_pdp w;
        w.set_vus_items(vus);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *combo = w.findChild<QComboBox *>("comboBox");
        combo->setCurrentIndex(combo->itemText(0) == region ? 0 : combo->findText(region));
        QCOMPARE(combo->currentText(), region);
        QTest::mouseClick(w.findChild<QWidget *>("find_pdp"), Qt::LeftButton);
        QAbstractItemModel *shown = w.findChild<QTableView *>("tableView")->model();
        QCOMPARE(shown->rowCount(), 1);
        QCOMPARE(shown->index(0, 0).data().toString(), region);
        QCOMPARE(shown->index(0, 1).data().toString(), expected->officer_vus);
        QCOMPARE(shown->index(0, 2).data().toString(), expected->enlisted_vus);
    }

    void vus_regions_and_changes_text()
    {
        Form_pdp w;
        const QVector<VusRecord> vus = vus_fixture();
        w.set_vus_items(vus);
        // Nothing is shown before the first search; the regions follow the two fixed items.
        QCOMPARE(w.findChild<QTableView *>("tableView")->model()->rowCount(), 0);
        auto *combo = w.findChild<QComboBox *>("comboBox");
        QStringList items{"Санкт-Петербург", "Ленинградская область"}, shown;
        for (const VusRecord &v : vus)
            items << v.region;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        QCOMPARE(shown, items);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *box = w.findChild<QWidget *>("cb_dopinfo");
        auto *changes = w.findChild<QTextBrowser *>("VUSlabel2");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(changes->isVisible() && !w.findChild<QTextBrowser *>("VUSlabel")->isVisible());

        // Headings of both regions, each followed by the same note that the list is not supplied, and nothing
        // that looks like a list of VUS codes.
        const QStringList lines = changes->toPlainText().split('\n');
        const QStringList in_order{
            "Санкт-Петербург", "ВУС офицеров запаса в 2025 году (добавлено – 7 / изъято – 0):", "Ленинградская область",
            "ВУС прапорщиков, мичманов, сержантов, старшин, солдат и матросов запаса в 2025 году "
            "(добавлено – 31, изъято – 84):"};
        int at = -1;
        for (const QString &line : in_order) {
            at = lines.indexOf(line, at + 1);
            QVERIFY2(at >= 0, qPrintable(line));
        }
        const QString note = lines.value(lines.indexOf(in_order.at(1)) + 1);
        QVERIFY(!note.trimmed().isEmpty() && lines.value(at + 1) == note);
        QVERIFY(!changes->toPlainText().contains(QRegularExpression("\\b\\d{3}(\\d{3})?\\s*,\\s*\\d{3}")));
    }
};

QUELT_TEST_MAIN(TestPicker)
#include "tst_picker.moc"
