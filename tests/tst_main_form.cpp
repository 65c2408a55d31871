// The main form as its tables describe it, and the window frame around it.
#include "mainwindow/tab_order.h"
#include "mainwindow/widget.h"
#include "tests/support/test_support.h"
#include "ui_widget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLayout>
#include <QTabBar>
#include <QTabWidget>
#include <QTextStream>

namespace
{

QString unescape(const QString &value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == '\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            out += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : next;
        } else {
            out += value.at(i);
        }
    }
    return out;
}

QObject *find_object(QWidget *root, const QString &name)
{
    if (root->objectName() == name)
        return root;
    return root->findChild<QObject *>(name);
}

// The grid layout that holds `object` (a widget or a layout) and the object's cell in it.
QString cell_in(QLayout *layout, QObject *object)
{
    auto *grid = qobject_cast<QGridLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == object || item->layout() == object) {
            if (!grid)
                return QString("index %1").arg(i);
            int row, column, rows, columns;
            grid->getItemPosition(i, &row, &column, &rows, &columns);
            return QString("%1,%2,%3,%4").arg(row).arg(column).arg(rows).arg(columns);
        }
    }
    return QString();
}

QString actual_fact(QWidget *root, QObject *object, const QString &key, const QString &layout_name)
{
    if (key == "class")
        return object->metaObject()->className();
    if (key == "parent") {
        QObject *parent = object->isWidgetType() ? static_cast<QWidget *>(object)->parentWidget() : object->parent();
        return parent ? parent->objectName() : QString();
    }
    if (key == "layout") {
        for (QLayout *layout : root->findChildren<QLayout *>())
            if (!cell_in(layout, object).isEmpty())
                return layout->objectName();
        return QString();
    }
    if (key == "cell") {
        auto *layout = root->findChild<QLayout *>(layout_name);
        return layout ? cell_in(layout, object) : QString("no layout %1").arg(layout_name);
    }
    if (key == "items") {
        auto *combo = qobject_cast<QComboBox *>(object);
        if (!combo)
            return "not a combo box";
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items.join('|');
    }
    if (key == "geometry") {
        const QRect g = static_cast<QWidget *>(object)->geometry();
        return QString("%1,%2,%3,%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    }
    const QVariant value = object->property(key.toLatin1().constData());
    if (!value.isValid())
        return QString("no property %1").arg(key);
    return value.toString();
}

struct FormHost {
    QWidget window;
    Ui::Widget ui;
    FormHost()
    {
        ui.setupUi(&window);
        set_form_tab_order(&window);
    }
};

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void form_facts_data();
    void form_facts();
    void pages_before_edition_switch();
    void initial_indexes_run_no_slot();
    void tab_order_follows_the_chain();
    void slots_connect_by_name_without_warnings();
    void window_frame();
    void masked_fields_take_what_the_mask_allows_data();
    void masked_fields_take_what_the_mask_allows();

private:
    FormHost *host()
    {
        if (!form_host)
            form_host.reset(new FormHost);
        return form_host.get();
    }
    std::unique_ptr<FormHost> form_host;
};

void TestMainForm::form_facts_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("layout");

    const QDir dir(QUELT_TEST_DATA "/main_form");
    const QStringList tables = dir.entryList({"*.tsv"}, QDir::Files, QDir::Name);
    QVERIFY2(!tables.isEmpty(), "no form tables");
    for (const QString &table : tables) {
        QFile file(dir.filePath(table));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QTextStream in(&file);
        in.setCodec("UTF-8");
        QHash<QString, QString> layouts;
        QList<QStringList> rows;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList parts = line.split('\t');
            QVERIFY2(parts.size() == 3, qPrintable(table + ": " + line));
            if (parts.at(1) == "layout")
                layouts.insert(parts.at(0), parts.at(2));
            rows << parts;
        }
        for (const QStringList &parts : rows) {
            const QString tag = table + ": " + parts.at(0) + " " + parts.at(1);
            QTest::newRow(qPrintable(tag))
                << parts.at(0) << parts.at(1) << unescape(parts.at(2)) << layouts.value(parts.at(0));
        }
    }
}

void TestMainForm::form_facts()
{
    QFETCH(QString, object);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, layout);
    QObject *found = find_object(&host()->window, object);
    QVERIFY2(found, qPrintable("no object " + object));
    QCOMPARE(actual_fact(&host()->window, found, key, layout), value);
}

void TestMainForm::pages_before_edition_switch()
{
    QTabWidget *tabs = host()->ui.tabWidget;
    const QStringList names = {"tab_1",    "tab_2adr", "tab_3kod", "tab_4dop",
                               "tab_5bal", "tab_6obu", "tab_7bro", "tab_slug"};
    const QStringList titles = {"Основные", "Адреса",   "Коды",         "Дополнительные",
                                "Баланс",   "Обучение", "Бронирование", "---"};
    QCOMPARE(tabs->count(), 8);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(tabs->widget(i)->objectName(), names.at(i));
        QCOMPARE(tabs->tabText(i), titles.at(i));
        QCOMPARE(tabs->tabIcon(i).isNull(), i == 7);
    }
    QVERIFY(tabs->tabToolTip(5).contains(
        "Вкладка доступна ТОЛЬКО организациям, включенным в список бронирующих организаций (п.4 ЦВЕЛТ)"));
    QCOMPARE(tabs->currentIndex(), 0);
}

void TestMainForm::initial_indexes_run_no_slot()
{
    QCOMPARE(host()->ui.cb_OGV->currentText(), QString("Нет"));
    QCOMPARE(host()->ui.cb_kat_b->currentText(), QString("Нет"));
    QCOMPARE(host()->ui.cb_sf_ved->currentIndex(), 0);
    QCOMPARE(host()->ui.cb_sf_ved->currentText(), QString());
}

void TestMainForm::tab_order_follows_the_chain()
{
    QFile file(QUELT_TEST_DATA "/main_form/tab_order.txt");
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList expected = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(expected.size(), 165);
    const QSet<QString> chain_names(expected.begin(), expected.end());

    QWidget *start = host()->window.findChild<QWidget *>(expected.first());
    QVERIFY(start);
    QStringList seen;
    QWidget *w = start;
    do {
        if (chain_names.contains(w->objectName()) && !seen.contains(w->objectName()))
            seen << w->objectName();
        w = w->nextInFocusChain();
    } while (w != start && seen.size() < expected.size());
    QCOMPARE(seen, expected);
}

namespace
{
QStringList captured_warnings;
void capture(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        captured_warnings << message;
}
} // namespace

void TestMainForm::slots_connect_by_name_without_warnings()
{
    captured_warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(capture);
    {
        Widget window;
    }
    qInstallMessageHandler(previous);
    for (const QString &message : captured_warnings)
        QVERIFY2(!message.contains("connectSlotsByName") && !message.contains("No matching signal"),
                 qPrintable(message));
}

void TestMainForm::window_frame()
{
    Widget window;
    window.resize(300, 200);
    QVERIFY(window.width() >= 1200);
    QVERIFY(window.height() >= 800);
    QCOMPARE(window.minimumSize(), QSize(1200, 800));
    QCOMPARE(window.windowTitle(), QString("Морвель"));
    Ui::Widget *ui = window.form();
    QCOMPARE(ui->label->text(), QString("         Морвель"));
    QVERIFY(ui->title_ver->text().startsWith("Версия программы: 3.2025\nСайт: "));
    const QList<QPair<QAbstractButton *, QString>> buttons = {{ui->save_Button, "Сохранить"},
                                                              {ui->open_Button, "Открыть"},
                                                              {ui->print_Button, "Печать"},
                                                              {ui->help_Button, "Справка"},
                                                              {ui->exit_Button, "Выход"}};
    for (const auto &button : buttons) {
        QCOMPARE(button.first->text(), button.second);
        QVERIFY(!button.first->icon().isNull());
        QCOMPARE(button.first->font().pointSize(), 13);
        QVERIFY(button.first->font().bold());
    }
    QVERIFY(window.styleSheet().startsWith("QWidget {\n    background-color: rgb(237, 233, 255);\n}"));
    QVERIFY(window.styleSheet().contains("QComboBox {\n    border: 1px solid black;\n    border-radius: 4px;"));
}

void TestMainForm::masked_fields_take_what_the_mask_allows_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    // The masks themselves are in the form tables; these rows show typing goes through them.
    QTest::newRow("telephone") << "le_TelRuk"
                               << "8121234567"
                               << "(812)-123-45-67";
    QTest::newRow("telephone takes no letters") << "le_TelVur"
                                                << "abc"
                                                << "()---";
    QTest::newRow("KPP: digits only") << "le_KPP"
                                      << "78ab0101001"
                                      << "780101001";
    QTest::newRow("unmasked field takes letters") << "le_FamRuk"
                                                  << "Ivanov 2"
                                                  << "Ivanov 2";
}

void TestMainForm::masked_fields_take_what_the_mask_allows()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    auto *edit = host()->window.findChild<QLineEdit *>(field);
    QVERIFY(edit);
    edit->clear();
    edit->setFocus();
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
}

QUELT_TEST_MAIN(TestMainForm)
#include "tst_main_form.moc"
