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

QProgressBar *bar(nProgress &p)
{
    return p.findChild<QProgressBar *>("progressBar");
}

QLabel *line(nProgress &p)
{
    return p.findChild<QLabel *>("label");
}

QCalendarWidget *calendar(Resolve &r)
{
    return r.findChild<QCalendarWidget *>("calendarWidget");
}

QPushButton *button(QWidget &w, const char *name)
{
    return w.findChild<QPushButton *>(name);
}

QTextEdit *help_text(Help &h)
{
    return h.findChild<QTextEdit *>("textEdit");
}

} // namespace

class TestSmallDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { quelt_init_resources(); }

    void progress_after_construction();
    void progress_placement_data();
    void progress_placement();
    void progress_add_value_without_step_adds_nothing();
    void progress_steps_stop_at_full();
    void progress_percent_data();
    void progress_percent();
    void progress_texts();
    void progress_hidden_bar_keeps_value();
    void progress_close_keeps_state();

    void calendar_window_settings();
    void calendar_refuses_days_after_today();
    void calendar_choose_emits_once_then_closes();
    void calendar_choose_without_touching_gives_selection();
    void calendar_close_sends_nothing_data();
    void calendar_close_sends_nothing();
    void calendar_enter_on_day_only_selects();
    void calendar_blocks_other_windows();

    void help_window_settings();
    void help_text_read_only_but_copyable();
    void help_outline();
    void help_pictures_exist();
    void help_reopens_where_left();
};

void TestSmallDialogs::progress_after_construction()
{
    nProgress p;
    QVERIFY(!p.isVisible());
    QCOMPARE(p.objectName(), QString("nProgress"));
    QCOMPARE(p.windowTitle(), QString("Form"));
    QCOMPARE(bar(p)->value(), 0);
    QCOMPARE(bar(p)->minimum(), 0);
    QCOMPARE(bar(p)->maximum(), 100);
    QCOMPARE(line(p)->text(), QString("TextLabel"));
    QVERIFY(line(p)->wordWrap());
    QVERIFY(!p.windowIcon().isNull());
    QVERIFY(p.isWindow());
    QCOMPARE(p.windowModality(), Qt::NonModal);
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(p.geometry(), nProgress::placement(avail));
}

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
}

void TestSmallDialogs::progress_add_value_without_step_adds_nothing()
{
    nProgress p;
    p.set_iterator(30);
    p.add_value();
    QCOMPARE(bar(p)->value(), 30);
    p.clear_source();
    QCOMPARE(bar(p)->value(), 0);
    p.add_value();
    p.add_value();
    QCOMPARE(bar(p)->value(), 0);
}

void TestSmallDialogs::progress_steps_stop_at_full()
{
    nProgress p;
    p.clear_source();
    p.set_iterator(10);
    for (int stage = 1; stage <= 12; ++stage) {
        p.add_value();
        QCOMPARE(bar(p)->value(), qMin(stage * 10, 100));
    }
    // A step that overshoots from below 100 is refused too.
    p.clear_source();
    p.set_iterator(35);
    p.add_value();
    p.add_value();
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
    QTest::newRow("inside") << 67 << 67;
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

void TestSmallDialogs::progress_texts()
{
    nProgress p;
    p.set_title("Загрузка классификаторов");
    QCOMPARE(p.windowTitle(), QString("Загрузка классификаторов"));
    QCOMPARE(line(p)->text(), QString("Загрузка классификаторов"));
    p.set_text("ОКВЭД");
    QCOMPARE(line(p)->text(), QString("ОКВЭД"));
    QCOMPARE(p.windowTitle(), QString("Загрузка классификаторов"));
    p.set_iterator(5);
    p.set_procent(55);
    p.clear_source();
    QCOMPARE(p.windowTitle(), QString());
    QCOMPARE(line(p)->text(), QString());
    QCOMPARE(bar(p)->value(), 0);
    p.add_value();
    QCOMPARE(bar(p)->value(), 0);
}

void TestSmallDialogs::progress_hidden_bar_keeps_value()
{
    nProgress p;
    p.show();
    p.set_procent(45);
    p.set_progress_bar_visible(false);
    QVERIFY(!bar(p)->isVisible());
    p.set_iterator(5);
    p.add_value();
    p.set_progress_bar_visible(true);
    QVERIFY(bar(p)->isVisible());
    QCOMPARE(bar(p)->value(), 50);
}

void TestSmallDialogs::progress_close_keeps_state()
{
    nProgress p;
    p.clear_source();
    p.set_title("Печать");
    p.set_iterator(3);
    p.show();
    p.add_value();
    QVERIFY(p.close());
    QVERIFY(!p.isVisible());
    QCOMPARE(p.windowTitle(), QString("Печать"));
    QCOMPARE(bar(p)->value(), 3);
    p.add_value();
    QCOMPARE(bar(p)->value(), 6);
}

void TestSmallDialogs::calendar_window_settings()
{
    Resolve r;
    QCOMPARE(r.objectName(), QString("Resolve"));
    QCOMPARE(r.windowTitle(), QString("Form"));
    QCOMPARE(r.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(r.windowModality(), Qt::ApplicationModal);
    QVERIFY(!r.isVisible());
    QCalendarWidget *c = calendar(r);
    QCOMPARE(c->minimumDate(), QDate(1900, 1, 1));
    QCOMPARE(c->maximumDate(), QDate::currentDate());
    QCOMPARE(c->firstDayOfWeek(), Qt::Monday);
    QCOMPARE(c->selectedDate(), QDate::currentDate());
    QCOMPARE(button(r, "pushButton")->text(), QString("Выбрать"));
    QCOMPARE(button(r, "pushButton_2")->text(), QString("Закрыть"));
}

void TestSmallDialogs::calendar_refuses_days_after_today()
{
    Resolve r;
    QCalendarWidget *c = calendar(r);
    const QDate today = QDate::currentDate();
    c->setSelectedDate(today.addDays(-3));
    QCOMPARE(c->selectedDate(), today.addDays(-3));
    c->setSelectedDate(today.addDays(1));
    QVERIFY(c->selectedDate() <= today);
    c->setSelectedDate(today);
    QCOMPARE(c->selectedDate(), today);
}

void TestSmallDialogs::calendar_choose_emits_once_then_closes()
{
    Resolve r;
    r.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r));
    const QDate day(2021, 3, 15);
    calendar(r)->setSelectedDate(day);
    int emitted = 0;
    bool visible_when_sent = false;
    QDate sent;
    connect(&r, &Resolve::sig_from_calendar, this, [&](QDate d) {
        ++emitted;
        sent = d;
        visible_when_sent = r.isVisible();
    });
    QTest::mouseClick(button(r, "pushButton"), Qt::LeftButton);
    QCOMPARE(emitted, 1);
    QCOMPARE(sent, day);
    QVERIFY(visible_when_sent);
    QVERIFY(!r.isVisible());

    // Reused: the last choice stays selected.
    r.show();
    QTest::mouseClick(button(r, "pushButton"), Qt::LeftButton);
    QCOMPARE(emitted, 2);
    QCOMPARE(sent, day);
}

void TestSmallDialogs::calendar_choose_without_touching_gives_selection()
{
    Resolve r;
    QSignalSpy spy(&r, &Resolve::sig_from_calendar);
    r.show();
    QTest::mouseClick(button(r, "pushButton"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDate(), QDate::currentDate());
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
        QTest::mouseClick(button(r, "pushButton_2"), Qt::LeftButton);
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

void TestSmallDialogs::calendar_blocks_other_windows()
{
    QWidget main_window;
    main_window.show();
    Resolve r;
    QVERIFY(!QApplication::activeModalWidget());
    r.show();
    QCOMPARE(QApplication::activeModalWidget(), &r);
    r.close();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestSmallDialogs::help_window_settings()
{
    Help h;
    QCOMPARE(h.objectName(), QString("Help"));
    QCOMPARE(h.windowTitle(), QString("Form"));
    QCOMPARE(h.windowModality(), Qt::NonModal);
    QVERIFY(h.isWindow());
    QVERIFY(!h.isVisible());
    QPushButton *close_button = button(h, "pushButton");
    QCOMPARE(close_button->text(), QString("Закрыть справочную информацию"));
    h.show();
    QVERIFY(!QApplication::activeModalWidget());
    QTest::mouseClick(close_button, Qt::LeftButton);
    QVERIFY(!h.isVisible());
}

void TestSmallDialogs::help_text_read_only_but_copyable()
{
    Help h;
    h.show();
    QVERIFY(QTest::qWaitForWindowActive(&h));
    QTextEdit *te = help_text(h);
    QVERIFY(te->isReadOnly());
    const QString before = te->toHtml();
    te->setFocus();
    QTest::keyClicks(te, "abc");
    QTest::keyClick(te, Qt::Key_Delete);
    QTest::keyClick(te, Qt::Key_Return);
    QCOMPARE(te->toHtml(), before);

    QApplication::clipboard()->clear();
    QTest::keyClick(te, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(te, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().contains("Справочная информация."));
}

void TestSmallDialogs::help_outline()
{
    Help h;
    const QString text = help_text(h)->toPlainText();
    const QStringList headings{"Программное обеспечение",
                               "Справочная информация.",
                               "Что нового в последних версиях (основные изменения):",
                               "Для организаций, имеющих право бронировать ГПЗ:",
                               "Ответы на часто задаваемые вопросы:",
                               "Содержание:",
                               "1. Краткие методические указания по заполнению карточки учета организации",
                               "ВНИМАНИЕ!",
                               "Нормативная база:",
                               "2. Краткие методические указания по заполнению баланса трудовых ресурсов",
                               "3) Заполнение таблицы баланс трудовых ресурсов",
                               "4. Работа с программой",
                               "4.1 Ввод информации",
                               "4.2 Проверка введённой информации",
                               "4.3 Печать отчетов",
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
    // The introduction and the closing lines stand after a separator.
    const int first_star = text.indexOf("* * *");
    const int contents_end = text.indexOf("4.4 Сохранение и загрузка данных");
    const int section1 = text.indexOf("1. Краткие методические указания", contents_end);
    QVERIFY(first_star > contents_end && first_star < section1);
    QVERIFY(text.lastIndexOf("* * *") > text.lastIndexOf("4.4 Сохранение и загрузка данных"));
    for (int i = 1; i <= 24; ++i)
        QVERIFY2(text.contains(QString("3.%1)").arg(i)), qPrintable(QString::number(i)));
}

void TestSmallDialogs::help_pictures_exist()
{
    Help h;
    const QString html = help_text(h)->toHtml();
    QRegularExpression src("<img src=\"([^\"]+)\"");
    QStringList pictures;
    for (auto it = src.globalMatch(html); it.hasNext();)
        pictures << it.next().captured(1);
    const QStringList expected{":/images/img/arrow.png",   ":/images/img/arrow.png",   ":/images/img/primer1.png",
                               ":/images/img/primer2.png", ":/images/img/primer5.png", ":/images/img/primer3.png",
                               ":/images/img/primer6.png", ":/images/img/primer4.png"};
    QCOMPARE(pictures, expected);
    QTextDocument *doc = help_text(h)->document();
    for (const QString &path : pictures) {
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY2(!doc->resource(QTextDocument::ImageResource, QUrl(path)).isNull(), qPrintable(path));
    }
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
    QTest::mouseClick(button(h, "pushButton"), Qt::LeftButton);
    QVERIFY(!h.isVisible());
    h.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h));
    QCOMPARE(scroll->value(), where);
}

QUELT_TEST_MAIN(TestSmallDialogs)
#include "tst_small_dialogs.moc"
