#include "tests/support/test_support.h"

#include "resources/init_resources.h"
#include "widgets/help.h"
#include "widgets/message_box.h"
#include "widgets/nprogress.h"
#include "widgets/resolve.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTextEdit>

class TestSmallDialogs : public QObject
{
    Q_OBJECT

    static QProgressBar *bar(nProgress &p) { return p.findChild<QProgressBar *>("progressBar"); }
    static QCalendarWidget *calendar(Resolve &r) { return r.findChild<QCalendarWidget *>("calendarWidget"); }
    static QTextEdit *help_text(Help &h) { return h.findChild<QTextEdit *>("textEdit"); }
    static void press(QWidget &w, const char *button)
    {
        QTest::mouseClick(w.findChild<QWidget *>(button), Qt::LeftButton);
    }

private slots:
    void initTestCase() { quelt_init_resources(); }

    void progress_placement()
    {
        QCOMPARE(nProgress::placement(QRect(0, 0, 1279, 1023)), QRect(439, 481, 400, 100));
        QCOMPARE(nProgress::placement(QRect(0, 40, 1920, 1040)), QRect(760, 490, 400, 100)); // origin not added
        nProgress p;
        QCOMPARE(p.geometry(), nProgress::placement(QGuiApplication::primaryScreen()->availableGeometry()));
    }

    void progress_stays_in_range()
    {
        nProgress p;
        p.add_value(); // no step set: adds nothing
        QCOMPARE(bar(p)->value(), 0);
        p.set_iterator(10);
        for (int stage = 1; stage <= 12; ++stage)
            p.add_value();
        QCOMPARE(bar(p)->value(), 100);
        // A step that would overshoot from below 100 is refused too.
        p.clear_source();
        p.set_iterator(35);
        for (int stage = 1; stage <= 3; ++stage)
            p.add_value();
        QCOMPARE(bar(p)->value(), 70);
        // A percentage out of range is ignored.
        p.set_procent(40);
        p.set_procent(150);
        p.set_procent(-1);
        QCOMPARE(bar(p)->value(), 40);
        p.set_procent(100);
        QCOMPARE(bar(p)->value(), 100);
    }

    void progress_texts_and_closing()
    {
        nProgress p;
        p.set_title("Загрузка классификаторов");
        p.set_text("ОКВЭД");
        QCOMPARE(p.findChild<QLabel *>("label")->text(), QString("ОКВЭД"));
        p.set_iterator(5);
        p.set_procent(55);
        p.clear_source();
        QVERIFY(p.windowTitle().isEmpty() && p.findChild<QLabel *>("label")->text().isEmpty());
        p.add_value();
        QCOMPARE(bar(p)->value(), 0);
        // A hidden bar still counts; closing keeps title and value.
        p.set_title("Печать");
        p.set_iterator(3);
        p.show();
        p.set_progress_bar_visible(false);
        p.add_value();
        p.set_progress_bar_visible(true);
        QVERIFY(bar(p)->isVisible() && p.close());
        QCOMPARE(p.windowTitle(), QString("Печать"));
        p.add_value();
        QCOMPARE(bar(p)->value(), 6);
    }

    void calendar_choose_emits_once_then_closes()
    {
        QWidget main_window;
        main_window.show();
        Resolve r;
        const QDate today = QDate::currentDate();
        calendar(r)->setSelectedDate(today.addDays(1));
        QCOMPARE(calendar(r)->selectedDate(), today);
        QList<QPair<QDate, bool>> sent; // date, window still visible
        connect(&r, &Resolve::sig_from_calendar, this, [&](QDate d) { sent << qMakePair(d, r.isVisible()); });
        r.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r));
        QCOMPARE(QApplication::activeModalWidget(), &r);
        press(r, "pushButton");
        QCOMPARE(sent, (QList<QPair<QDate, bool>>{{today, true}}));
        QVERIFY(!r.isVisible() && !QApplication::activeModalWidget());
        // Reused: the last choice stays selected.
        calendar(r)->setSelectedDate(QDate(2021, 3, 15));
        r.show();
        press(r, "pushButton");
        r.show();
        press(r, "pushButton");
        QCOMPARE(sent.size(), 3);
        QCOMPARE(sent.last(), qMakePair(QDate(2021, 3, 15), true));
    }

    void calendar_enter_and_close_send_nothing()
    {
        Resolve r;
        QSignalSpy spy(&r, &Resolve::sig_from_calendar);
        r.show();
        QVERIFY(QTest::qWaitForWindowActive(&r));
        // Enter on a day only selects it.
        calendar(r)->setSelectedDate(QDate(2022, 6, 15));
        auto *days = calendar(r)->findChild<QTableView *>();
        days->setFocus();
        QTest::keyClick(days, Qt::Key_Left);
        QTest::keyClick(days, Qt::Key_Return);
        QVERIFY(calendar(r)->selectedDate() == QDate(2022, 6, 14) && r.isVisible());
        press(r, "pushButton_2"); // "Закрыть"
        QVERIFY(!r.isVisible());
        r.show();
        QVERIFY(r.close());
        QVERIFY(!r.isVisible() && spy.isEmpty());
    }

    void help_text_read_only_copyable_and_reopens_where_left()
    {
        Help h;
        h.show();
        QVERIFY(QTest::qWaitForWindowActive(&h) && !QApplication::activeModalWidget());
        QTextEdit *te = help_text(h);
        const QString before = te->toHtml();
        te->setFocus();
        QTest::keyClicks(te, "abc");
        QTest::keyClick(te, Qt::Key_Delete);
        QCOMPARE(te->toHtml(), before);
        QApplication::clipboard()->clear();
        QTest::keyClick(te, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(te, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().contains("Справочная информация."));

        QScrollBar *scroll = te->verticalScrollBar();
        QVERIFY(scroll->maximum() > 100);
        scroll->setValue(scroll->maximum() / 2);
        const int where = scroll->value();
        press(h, "pushButton");
        QVERIFY(!h.isVisible());
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        QCOMPARE(scroll->value(), where);
    }

    void help_outline_and_pictures()
    {
        Help h;
        const QString text = help_text(h)->toPlainText();
        // In order, each after the contents list where it is named again.
        int from = 0;
        for (const QString heading : {"Программное обеспечение", "Справочная информация.", "Содержание:",
                                      "1. Краткие методические указания по заполнению карточки учета организации",
                                      "2. Краткие методические указания по заполнению баланса трудовых ресурсов",
                                      "4.4 Сохранение и загрузка данных", "Берегите себя и своих сотрудников!"}) {
            const int at = text.indexOf(heading, from);
            QVERIFY2(at >= 0, qPrintable(heading));
            from = heading == "Содержание:" ? from : at + heading.length();
        }
        for (int i = 1; i <= 24; ++i)
            QVERIFY2(text.contains(QString("3.%1)").arg(i)), qPrintable(QString::number(i)));
        int pictures = 0;
        for (auto it = QRegularExpression("<img src=\"([^\"]+)\"").globalMatch(help_text(h)->toHtml()); it.hasNext();) {
            const QString path = it.next().captured(1);
            QVERIFY2(!help_text(h)->document()->resource(QTextDocument::ImageResource, QUrl(path)).isNull(),
                     qPrintable(path));
            ++pictures;
        }
        QCOMPARE(pictures, 8);
    }

    // The shared box keeps what a use does not name: the next plain notice runs with the earlier
    // style and stays on top, but gets its own buttons and loses no text it did not name.
    void message_box_applies_only_what_it_names()
    {
        QMessageBox box;
        MessageSetup first;
        first.icon = QMessageBox::Warning;
        first.title = "Первый";
        first.text = "Текст";
        first.informative_text = "Подробно";
        first.buttons = QMessageBox::Ok | QMessageBox::Cancel;
        first.labels = {{QMessageBox::Ok, "Подтверждаю"}, {QMessageBox::Cancel, "Отменить"}};
        first.default_button = QMessageBox::Cancel;
        first.style_sheet = "QLabel { font-size: 14px }";
        first.on_top = true;
        const auto seen = test_support::answer_next_modal("Подтверждаю");
        QCOMPARE(run_message(box, first), int(QMessageBox::Ok));
        QVERIFY(seen->seen);
        QCOMPARE(QSet<QString>(seen->buttons.begin(), seen->buttons.end()), (QSet<QString>{"Подтверждаю", "Отменить"}));

        MessageSetup second;
        second.title = "Второй";
        second.buttons = QMessageBox::Ok;
        apply_message(box, second);
        QCOMPARE(box.windowTitle(), QString("Второй"));
        QCOMPARE(box.text(), QString("Текст"));
        QCOMPARE(box.informativeText(), QString("Подробно"));
        QCOMPARE(box.icon(), QMessageBox::Warning);
        QCOMPARE(box.styleSheet(), QString("QLabel { font-size: 14px }"));
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        // New buttons come with their own labels.
        QVERIFY(box.button(QMessageBox::Ok)->text() != "Подтверждаю");
    }
};

QUELT_TEST_MAIN(TestSmallDialogs)
#include "tst_small_dialogs.moc"
