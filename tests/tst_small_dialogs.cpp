#include "test_support.h"

#include "help.h"
#include "init_resources.h"
#include "nprogress.h"
#include "resolve.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTextEdit>

namespace
{

template <class T> T *child(QWidget &w, const char *name)
{
    return w.findChild<T *>(name);
}

QProgressBar *bar(nProgress &p)
{
    return child<QProgressBar>(p, "progressBar");
}

QCalendarWidget *calendar(Resolve &r)
{
    return child<QCalendarWidget>(r, "calendarWidget");
}

QTextEdit *help_text(Help &h)
{
    return child<QTextEdit>(h, "textEdit");
}

} // namespace

class TestSmallDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quelt_init_resources(); }

    void progress_placement_data();
    void progress_placement();
    void progress_steps_stop_at_full();
    void progress_percent_data();
    void progress_percent();
    void progress_texts_and_closing();

    void calendar_choose_emits_once_then_closes();
    void calendar_close_sends_nothing_data();
    void calendar_close_sends_nothing();
    void calendar_enter_on_day_only_selects();

    void help_text_read_only_but_copyable();
    void help_outline_and_pictures();
    void help_reopens_where_left();
};

void TestSmallDialogs::progress_placement_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1280x1024") << QRect(0, 0, 1280, 1024) << QRect(440, 482, 400, 100);
    QTest::newRow("odd sizes round down") << QRect(0, 0, 1279, 1023) << QRect(439, 481, 400, 100);
    // The area's origin is not added.
    QTest::newRow("task bar on top") << QRect(0, 40, 1920, 1040) << QRect(760, 490, 400, 100);
}

void TestSmallDialogs::progress_placement()
{
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(nProgress::placement(available), expected);
    nProgress p;
    QCOMPARE(p.geometry(), nProgress::placement(QGuiApplication::primaryScreen()->availableGeometry()));
}

void TestSmallDialogs::progress_steps_stop_at_full()
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
}

void TestSmallDialogs::progress_percent_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("above range") << 150 << 40;
    QTest::newRow("below range") << -1 << 40;
    QTest::newRow("full") << 100 << 100;
    QTest::newRow("zero") << 0 << 0;
}

void TestSmallDialogs::progress_percent()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    nProgress p;
    p.set_procent(40);
    p.set_procent(value);
    QCOMPARE(bar(p)->value(), expected);
}

void TestSmallDialogs::progress_texts_and_closing()
{
    nProgress p;
    QLabel *line = child<QLabel>(p, "label");
    p.set_title("Загрузка классификаторов");
    p.set_text("ОКВЭД");
    QCOMPARE(p.windowTitle(), QString("Загрузка классификаторов"));
    QCOMPARE(line->text(), QString("ОКВЭД"));
    p.set_iterator(5);
    p.set_procent(55);
    p.clear_source();
    QCOMPARE(p.windowTitle(), QString());
    QCOMPARE(line->text(), QString());
    QCOMPARE(bar(p)->value(), 0);
    p.add_value();
    QCOMPARE(bar(p)->value(), 0);

    // A hidden bar still counts; closing keeps title and value.
    p.set_title("Печать");
    p.set_iterator(3);
    p.show();
    p.set_progress_bar_visible(false);
    p.add_value();
    p.set_progress_bar_visible(true);
    QVERIFY(bar(p)->isVisible());
    QVERIFY(p.close());
    QCOMPARE(p.windowTitle(), QString("Печать"));
    p.add_value();
    QCOMPARE(bar(p)->value(), 6);
}

void TestSmallDialogs::calendar_choose_emits_once_then_closes()
{
    QWidget main_window;
    main_window.show();
    Resolve r;
    const QDate today = QDate::currentDate();
    QCOMPARE(calendar(r)->maximumDate(), today);
    calendar(r)->setSelectedDate(today.addDays(1));
    QCOMPARE(calendar(r)->selectedDate(), today);
    QList<QPair<QDate, bool>> sent; // date, window still visible
    connect(&r, &Resolve::sig_from_calendar, this, [&](QDate d) { sent << qMakePair(d, r.isVisible()); });
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    QCOMPARE(QApplication::activeModalWidget(), &r);
    // Untouched: today is sent.
    QTest::mouseClick(child<QPushButton>(r, "pushButton"), Qt::LeftButton);
    QCOMPARE(sent, (QList<QPair<QDate, bool>>{{today, true}}));
    QVERIFY(!r.isVisible());
    QVERIFY(!QApplication::activeModalWidget());

    // Reused: the last choice stays selected.
    const QDate day(2021, 3, 15);
    calendar(r)->setSelectedDate(day);
    r.show();
    QTest::mouseClick(child<QPushButton>(r, "pushButton"), Qt::LeftButton);
    r.show();
    QTest::mouseClick(child<QPushButton>(r, "pushButton"), Qt::LeftButton);
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.last(), qMakePair(day, true));
}

void TestSmallDialogs::calendar_close_sends_nothing_data()
{
    QTest::addColumn<bool>("by_button");
    QTest::newRow("Закрыть") << true;
    QTest::newRow("title bar") << false;
}

void TestSmallDialogs::calendar_close_sends_nothing()
{
    QFETCH(bool, by_button);
    Resolve r;
    QSignalSpy spy(&r, &Resolve::sig_from_calendar);
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    calendar(r)->setSelectedDate(QDate(2020, 1, 10));
    if (by_button)
        QTest::mouseClick(child<QPushButton>(r, "pushButton_2"), Qt::LeftButton);
    else
        QVERIFY(r.close());
    QVERIFY(!r.isVisible());
    QCOMPARE(spy.count(), 0);
}

void TestSmallDialogs::calendar_enter_on_day_only_selects()
{
    Resolve r;
    QSignalSpy spy(&r, &Resolve::sig_from_calendar);
    r.show();
    QVERIFY(QTest::qWaitForWindowActive(&r));
    QCalendarWidget *c = calendar(r);
    c->setSelectedDate(QDate(2022, 6, 15));
    auto *days = c->findChild<QTableView *>();
    QVERIFY(days);
    days->setFocus();
    QTest::keyClick(days, Qt::Key_Left);
    QTest::keyClick(days, Qt::Key_Return);
    QCOMPARE(c->selectedDate(), QDate(2022, 6, 14));
    QCOMPARE(spy.count(), 0);
    QVERIFY(r.isVisible());
}

void TestSmallDialogs::help_text_read_only_but_copyable()
{
    Help h;
    h.show();
    QVERIFY(QTest::qWaitForWindowActive(&h));
    QVERIFY(!QApplication::activeModalWidget());
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
}

void TestSmallDialogs::help_outline_and_pictures()
{
    Help h;
    const QString text = help_text(h)->toPlainText();
    const QStringList headings{"Программное обеспечение",
                               "Справочная информация.",
                               "Содержание:",
                               "1. Краткие методические указания по заполнению карточки учета организации",
                               "2. Краткие методические указания по заполнению баланса трудовых ресурсов",
                               "4.4 Сохранение и загрузка данных",
                               "Берегите себя и своих сотрудников!"};
    int from = 0;
    for (const QString &heading : headings) {
        // In order, each after the contents list where it is named again.
        const int at = text.indexOf(heading, from);
        QVERIFY2(at >= 0, qPrintable(heading));
        if (heading != "Содержание:")
            from = at + heading.length();
    }
    for (int i = 1; i <= 24; ++i)
        QVERIFY2(text.contains(QString("3.%1)").arg(i)), qPrintable(QString::number(i)));

    QRegularExpression src("<img src=\"([^\"]+)\"");
    QStringList pictures;
    for (auto it = src.globalMatch(help_text(h)->toHtml()); it.hasNext();)
        pictures << it.next().captured(1);
    QCOMPARE(pictures.size(), 8);
    for (const QString &path : pictures)
        QVERIFY2(!help_text(h)->document()->resource(QTextDocument::ImageResource, QUrl(path)).isNull(),
                 qPrintable(path));
}

void TestSmallDialogs::help_reopens_where_left()
{
    Help h;
    h.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h));
    QScrollBar *scroll = help_text(h)->verticalScrollBar();
    QVERIFY(scroll->maximum() > 100);
    scroll->setValue(scroll->maximum() / 2);
    const int where = scroll->value();
    QTest::mouseClick(child<QPushButton>(h, "pushButton"), Qt::LeftButton);
    QVERIFY(!h.isVisible());
    h.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h));
    QCOMPARE(scroll->value(), where);
}

QUELT_TEST_MAIN(TestSmallDialogs)
#include "tst_small_dialogs.moc"
