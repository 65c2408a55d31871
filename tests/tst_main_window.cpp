// The main window after construction, and what a clerk does on its first pages.
#include "form.h"
#include "form_helpers.h"
#include "test_support.h"
#include "ui_widget.h"
#include "widget.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPointer>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>

#include "comboboxdelegate.h"
#include "spinboxdelegate.h"

using test_support::picker_titled;

namespace
{

int picker_rows(Form *picker)
{
    auto *view = picker->findChild<QTableView *>();
    return view && view->model() ? view->model()->rowCount() : -1;
}

QStringList visible_columns(QTableView *view)
{
    QStringList columns;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        if (!view->isColumnHidden(c))
            columns << QString::number(c);
    return columns;
}

void set_marker(const QVariant &value)
{
    QSettings settings("Trevane", "QUELT");
    if (value.isValid())
        settings.setValue("settings/oldset", value);
    else
        settings.remove("settings/oldset");
}

QVariant marker()
{
    return QSettings("Trevane", "QUELT").value("settings/oldset");
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { set_marker(QVariant()); }
    void cleanup() { window.reset(); }

    void tab_bar_after_the_edition_switch();
    void hidden_widgets_and_removed_pages();
    void pickers_hold_their_classifiers();
    void table_views_show_their_columns();
    void progress_names_each_load();
    void reminder_data();
    void reminder();
    void return_and_tab_move_on();

    void picks_fill_fields_data();
    void picks_fill_fields();
    void address_picker_keeps_the_street_until_a_pick();
    void ownership_code_data();
    void ownership_code();
    void facet_pick_data();
    void facet_pick();
    void name_tidy_up_writes_plain_text();
    void okved_list_through_the_window();
    void mobilisation_block();
    void mobilisation_body_set_from_a_card();
    void headers_check_box();
    void address_copy();
    void clipboard_summary();
    void exit_closes_the_child_windows();
    void calendar_and_today();

private:
    Widget *make()
    {
        window.reset(new Widget);
        return window.get();
    }
    std::unique_ptr<Widget> window;
};

void TestMainWindow::tab_bar_after_the_edition_switch()
{
    Ui::Widget *ui = make()->form();
    QTabWidget *tabs = ui->tabWidget;
    QCOMPARE(tabs->count(), 6);
    const QStringList titles = {"Основные", "Адреса", "Коды", "Дополнительные", "Персонал", "Обучение"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(tabs->tabText(i), titles.at(i));
        QCOMPARE(tabs->isTabEnabled(i), i != 5);
    }
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(ui->title_ver->text().section('\n', 0, 0).endsWith("3.2025"));
    QCOMPARE(ui->dateZap->date(), QDate::currentDate());
    QCOMPARE(ui->te_orgname->property("maxLength").isValid() ? 0 : 0, 0);
}

void TestMainWindow::hidden_widgets_and_removed_pages()
{
    Ui::Widget *ui = make()->form();
    const QList<QWidget *> hidden = {ui->VK_org,
                                     ui->sb_f6_bron_all,
                                     ui->sb_f6_bron_of,
                                     ui->sb_f6_bron_neof,
                                     ui->label_f6_bron,
                                     ui->label_f6_bron_of,
                                     ui->label_f6_bron_neof,
                                     ui->label_f6_ost,
                                     ui->gb_bal_buttons,
                                     ui->gb_balance,
                                     ui->table_balance,
                                     ui->NPA_groupBox,
                                     ui->groupBox_b_itogi,
                                     ui->testButton,
                                     ui->checkBox_balance_hiden,
                                     ui->checkBox_balance_vnutr_ist,
                                     ui->copyButton,
                                     ui->label_MobOrgan_2,
                                     ui->cb_MobOrgan_2,
                                     ui->groupBox_1_6,
                                     ui->line_4,
                                     ui->pb_zaglav,
                                     ui->pb_zaglav2,
                                     ui->f6_errlabel,
                                     ui->label_51,
                                     ui->cb_sf_ved};
    for (QWidget *w : hidden)
        QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
    // Pages out of the tab bar keep working widgets.
    ui->cb_sf_ved->setCurrentIndex(2);
    QCOMPARE(ui->cb_sf_ved->currentText(), QString("ФОИВ"));
    ui->ob_ruk->setText("Иванов");
    QCOMPARE(ui->ob_ruk->text(), QString("Иванов"));
    QCOMPARE(ui->tabWidget->indexOf(ui->tab_7bro), -1);
    QCOMPARE(ui->tabWidget->indexOf(ui->tab_slug), -1);
}

void TestMainWindow::pickers_hold_their_classifiers()
{
    make();
    const QList<QPair<QString, QString>> pickers = {
        {"Руководитель организации", "Должности_new.xml"},
        {"Организационно-правовая форма", "ОКОПФ_new.xml"},
        {"Код ОКАТО", "ОКАТО_new.xml"},
        {"Фактический адрес", "адрес_new.xml"},
        {"Форма собственности", "ОКФС_new.xml"},
        {"Виды экономической деятельности", "OKVED_new.xml"},
        {"Неосновные коды ОКВЭД", "OKVED_new.xml"},
        {"Почтовый адрес", "адрес_new.xml"},
        {"Должности и профессии", "OKPDTR_new.xml"},
        {"Фасет", "Faset_new.xml"},
        {"Перечень ИОГВ", "IOGV_new.xml"},
        {"Справочник военкоматов СПб и ЛО", "VK_org_new.xml"},
        {"Классификатор органов гос. власти и управления", "ОКОГУ_new.xml"}};
    for (const auto &picker : pickers) {
        Form *form = picker_titled(picker.first);
        QVERIFY2(form, qPrintable(picker.first));
        ClassifierReader reader;
        QVERIFY(reader.load(":/database/xml/" + picker.second));
        QCOMPARE(picker_rows(form), reader.records.size());
        QVERIFY(!form->isVisible());
    }
    QVERIFY(picker_rows(picker_titled("Виды экономической деятельности")) > 1000);
    QVERIFY(picker_rows(picker_titled("Фактический адрес")) > 1000);
}

void TestMainWindow::table_views_show_their_columns()
{
    Ui::Widget *ui = make()->form();
    QCOMPARE(visible_columns(ui->table_balance), QString("4 5 6 8 9 11 13 14").split(' '));
    QCOMPARE(visible_columns(ui->table_bronGPZ), QString("3 4").split(' '));
    QCOMPARE(visible_columns(ui->table_nebronGPZ), QString("0 1 2").split(' '));
    QAbstractItemModel *balance = ui->table_balance->model();
    QCOMPARE(balance->columnCount(), 21);
    QCOMPARE(balance->rowCount(), 0);
    for (int c = 0; c < 21; ++c)
        QCOMPARE(balance->headerData(c, Qt::Horizontal).toString().count('\n'), 3);
    QCOMPARE(balance->headerData(5, Qt::Horizontal).toString(), QString("Наименование\nдолжности / профессии\n\n"));
    QCOMPARE(ui->table_bronGPZ->model()->headerData(3, Qt::Horizontal).toString(),
             QString("Дата и номер приказа (распоряжения) о бронировании"));
    QCOMPARE(ui->table_nebronGPZ->model()->headerData(0, Qt::Horizontal).toString(), QString("Количество\nГПЗ"));
    for (int c = 0; c < 21; ++c) {
        QAbstractItemDelegate *d = ui->table_balance->itemDelegateForColumn(c);
        const bool spin = QList<int>{6, 7, 8, 9, 11, 15}.contains(c);
        QCOMPARE(qobject_cast<spinboxDelegate *>(d) != nullptr, spin);
        QCOMPARE(qobject_cast<comboboxDelegate *>(d) != nullptr, c == 1);
    }
    QVERIFY(qobject_cast<spinboxDelegate *>(ui->table_nebronGPZ->itemDelegateForColumn(0)));
    // A cell the model creates by itself is centred.
    balance->insertRow(0);
    balance->setData(balance->index(0, 6), 5);
    QCOMPARE(balance->index(0, 6).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    balance->removeRow(0);
}

namespace
{
// Records the titles the progress window takes while the window is built.
class TitleRecorder : public QObject
{
public:
    QStringList titles;
    QPointer<QWidget> progress;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowTitleChange && watched->inherits("nProgress")) {
            progress = static_cast<QWidget *>(watched);
            titles << progress->windowTitle();
        }
        return false;
    }
};
} // namespace

void TestMainWindow::progress_names_each_load()
{
    TitleRecorder recorder;
    qApp->installEventFilter(&recorder);
    make();
    qApp->removeEventFilter(&recorder);
    QStringList expected = {"Первичная инициализация", "Загрузка адресов",      "Загрузка должностей",
                            "Загрузка кодов ОКАТО",    "Загрузка кодов ОКОПФ",  "Загрузка кодов ОКФС",
                            "Загрузка кодов ОКВЕД",    "Загрузка кодов ОКПДТР", "Загрузка фасетов",
                            "Загрузка ИОГВ",           "Загрузка ОКОГУ",        "Загрузка ВК"};
    // Its own form names it "Form" and clearing empties the title before the first load is named.
    recorder.titles.removeAll(QString());
    recorder.titles.removeAll("Form");
    recorder.titles.removeDuplicates();
    QCOMPARE(recorder.titles, expected);
    QVERIFY(recorder.progress);
    QVERIFY(!recorder.progress->isVisible());
}

void TestMainWindow::reminder_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("after");
    QTest::newRow("absent") << QVariant() << "" << false << "";
    QTest::newRow("number 1, OK") << QVariant(1) << "ОК" << true << "1";
    QTest::newRow("text 1, do not remind") << QVariant("1") << "НЕ напоминать" << true << "2";
    QTest::newRow("2") << QVariant(2) << "" << false << "2";
    QTest::newRow("0") << QVariant(0) << "" << false << "0";
    QTest::newRow("01") << QVariant("01") << "" << false << "01";
    QTest::newRow("blank 1") << QVariant(" 1") << "" << false << " 1";
}

void TestMainWindow::reminder()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, answer);
    QFETCH(bool, shown);
    QFETCH(QString, after);
    set_marker(stored);
    auto box = test_support::answer_next_modal(answer, {}, 3000);
    make();
    QCOMPARE(box->seen, shown);
    if (shown) {
        QCOMPARE(box->title, QString("Загрузка последних данных"));
        QVERIFY(box->text.startsWith("Для продолжения заполнения незавершенной карточки учета"));
        QCOMPARE(box->buttons.size(), 2);
    }
    QCOMPARE(marker().toString(), after);
    // Let a pending poll end before the next row.
    QTest::qWait(20);
}

void TestMainWindow::return_and_tab_move_on()
{
    Widget *w = make();
    Ui::Widget *ui = w->form();
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Tab), int(Qt::Key_Enter)}) {
        ui->te_orgname->setFocus();
        QVERIFY(ui->te_orgname->hasFocus());
        QTest::keyClick(ui->te_orgname, Qt::Key(key), key == Qt::Key_Return ? Qt::ControlModifier : Qt::NoModifier);
        QVERIFY(!ui->te_orgname->hasFocus());
        QCOMPARE(ui->te_orgname->toPlainText(), QString());
        // pb_zaglav is hidden: the next field in the chain is pb_ruk.
        QCOMPARE(QApplication::focusWidget(), ui->pb_ruk);
    }
    ui->le_FamRuk->setFocus();
    QTest::keyClick(ui->le_FamRuk, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ui->le_ImRuk);
}

void TestMainWindow::picks_fill_fields_data()
{
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    // field=text|tooltip|cursor; tooltip "*" means the wrapped name, "-" means untouched
    QTest::addColumn<QStringList>("checks");
    const QString longname = "Очень длинное наименование, которое не помещается в поле";
    QTest::newRow("head position") << "Руководитель организации"
                                   << "1"
                                   << "Директор" << QStringList{"lineEdit=Директор|Директор|"};
    QTest::newRow("okopf") << "Организационно-правовая форма"
                           << "12300" << longname
                           << QStringList{"lineEdit_11=12300|12300|",
                                          "lineEdit_13=" + longname + "|" + longname + "|0"};
    QTest::newRow("okato") << "Код ОКАТО"
                           << "40298000000"
                           << "Район" << QStringList{"le_okato=40298000000|40298000000|"};
    QTest::newRow("actual address") << "Фактический адрес"
                                    << "" << longname << QStringList{"lineEdit_23=" + longname + "|" + longname + "|0"};
    QTest::newRow("postal address") << "Почтовый адрес"
                                    << "" << longname << QStringList{"lineEdit_37=" + longname + "|" + longname + "|0"};
    QTest::newRow("superior body") << "Перечень ИОГВ"
                                   << "1" << longname << QStringList{"lineEdit_36=" + longname + "|" + longname + "|0"};
    QTest::newRow("okved") << "Виды экономической деятельности"
                           << "62.01" << longname
                           << QStringList{"lineEdit_26=" + longname + "|*|0", "le_osn_ved=62.01|62.01|"};
    QTest::newRow("commissariat") << "Справочник военкоматов СПб и ЛО"
                                  << "7" << longname << QStringList{"le_VK=" + longname + "|*|0", "VK_org=7|-|"};
    QTest::newRow("okogu, no tool tip") << "Классификатор органов гос. власти и управления"
                                        << "2300229"
                                        << "Орган" << QStringList{"OKOGU_le=2300229|-|"};
}

void TestMainWindow::picks_fill_fields()
{
    QFETCH(QString, picker);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QStringList, checks);
    Ui::Widget *ui = make()->form();
    Form *form = picker_titled(picker);
    QVERIFY(form);
    for (const QString &check : checks)
        window->findChild<QLineEdit *>(check.section('=', 0, 0))->setToolTip("прежняя");
    QVERIFY(QMetaObject::invokeMethod(form, "sig", Q_ARG(QString, code), Q_ARG(QString, name), Q_ARG(QString, "")));
    for (const QString &check : checks) {
        auto *field = window->findChild<QLineEdit *>(check.section('=', 0, 0));
        const QStringList expected = check.section('=', 1).split('|');
        QCOMPARE(field->text(), expected.at(0));
        const QString tip = expected.at(1) == "*"   ? window->wrap_tooltip_html(name)
                            : expected.at(1) == "-" ? QString("прежняя")
                                                    : expected.at(1);
        QCOMPARE(field->toolTip(), tip);
        if (!expected.at(2).isEmpty())
            QCOMPARE(field->cursorPosition(), expected.at(2).toInt());
    }
    Q_UNUSED(ui);
}

void TestMainWindow::address_picker_keeps_the_street_until_a_pick()
{
    Ui::Widget *ui = make()->form();
    ui->lineEdit_23->setText("Невский пр.");
    ui->lineEdit_37->setText("Садовая ул.");
    QTest::mouseClick(ui->pb_fadr, Qt::LeftButton);
    QTest::mouseClick(ui->pb_padr, Qt::LeftButton);
    Form *actual = picker_titled("Фактический адрес");
    QVERIFY(actual->isVisible());
    actual->close();
    picker_titled("Почтовый адрес")->close();
    QCOMPARE(ui->lineEdit_23->text(), QString("Невский пр."));
    QCOMPARE(ui->lineEdit_37->text(), QString("Садовая ул."));
}

void TestMainWindow::ownership_code_data()
{
    QTest::addColumn<bool>("reserving");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("sphere");
    QTest::addColumn<bool>("warned");
    QTest::newRow("11, reserving") << true << "11" << 2 << true;
    QTest::newRow("14, reserving") << true << "14" << 1 << false;
    QTest::newRow("13, reserving") << true << "13" << 1 << false;
    QTest::newRow("16, reserving") << true << "16" << 0 << false;
    QTest::newRow("12, not reserving") << false << "12" << 2 << true;
    QTest::newRow("100") << false << "100" << 2 << false;
    QTest::newRow("blank 10") << false << " 10" << 2 << false;
}

void TestMainWindow::ownership_code()
{
    QFETCH(bool, reserving);
    QFETCH(QString, code);
    QFETCH(int, sphere);
    QFETCH(bool, warned);
    Ui::Widget *ui = make()->form();
    if (reserving) {
        ui->cb_kat_b->blockSignals(true);
        ui->cb_kat_b->setCurrentIndex(0);
        ui->cb_kat_b->blockSignals(false);
    }
    ui->cb_sf_ved->setCurrentIndex(2);
    auto box = test_support::answer_next_modal("OK", {}, 500);
    window->paste_okfs(code, "Собственность");
    QTest::qWait(warned ? 0 : 600);
    QCOMPARE(box->seen, warned);
    if (warned)
        QCOMPARE(box->title, QString("Внимание - Федеральная форма собственности"));
    QCOMPARE(ui->cb_sf_ved->currentIndex(), sphere);
    QCOMPARE(ui->lineEdit_25->text(), code);
    QCOMPARE(ui->lineEdit_24->text(), QString("Собственность"));
}

void TestMainWindow::facet_pick_data()
{
    QTest::addColumn<bool>("current");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("expected"); // columns 0, 4, 19
    QTest::newRow("facet") << true << "А"
                           << QStringList{"14"
                                          "23456"
                                          "А",
                                          "Фасет А", "А"};
    QTest::newRow("no facet") << true << "0" << QStringList{"1423456", "", ""};
    QTest::newRow("no current row") << false << "А" << QStringList{"old", "old4", "old19"};
}

void TestMainWindow::facet_pick()
{
    QFETCH(bool, current);
    QFETCH(QString, code);
    QFETCH(QStringList, expected);
    Ui::Widget *ui = make()->form();
    QAbstractItemModel *model = ui->table_balance->model();
    model->blockSignals(true);
    model->insertRow(0);
    const QList<QPair<int, QString>> cells = {{0, "old"}, {3, "23456"},  {4, "old4"},
                                              {18, "4"},  {19, "old19"}, {20, "1"}};
    for (const auto &cell : cells)
        model->setData(model->index(0, cell.first), cell.second);
    model->blockSignals(false);
    if (current)
        ui->table_balance->setCurrentIndex(model->index(0, 5));
    QSignalSpy changes(model, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)));
    Form *facets = picker_titled("Фасет");
    QVERIFY(
        QMetaObject::invokeMethod(facets, "sig", Q_ARG(QString, code), Q_ARG(QString, "Фасет А"), Q_ARG(QString, "")));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(model->index(0, 0).data().toString(), expected.at(0));
    QCOMPARE(model->index(0, 4).data().toString(), expected.at(1));
    QCOMPARE(model->index(0, 19).data().toString(), expected.at(2));
}

void TestMainWindow::name_tidy_up_writes_plain_text()
{
    Ui::Widget *ui = make()->form();
    ui->te_orgname->setPlainText("ООО \"<b>РОМАШКА</b> & КО\" СПБ");
    QVERIFY(QMetaObject::invokeMethod(window.get(), "on_pb_zaglav_clicked"));
    QCOMPARE(ui->te_orgname->toPlainText(), QString("Ооо \"<b>ромашка</b> & ко\" СПб"));
    ui->te_orgname2->setPlainText("«пример»");
    QVERIFY(QMetaObject::invokeMethod(window.get(), "on_pb_zaglav2_clicked"));
    QCOMPARE(ui->te_orgname2->toPlainText(), QString("Пример»"));
    QCOMPARE(window->normalise_org_name("ооо \"альфа\""), QString("Ооо \"Альфа\""));
}

void TestMainWindow::okved_list_through_the_window()
{
    Widget *w = make();
    Ui::Widget *ui = w->form();
    QVERIFY(!ui->le_dop_ved->isEnabled());
    Form *extra = picker_titled("Неосновные коды ОКВЭД");
    QMetaObject::invokeMethod(extra, "sig", Q_ARG(QString, "02.1"), Q_ARG(QString, "x"), Q_ARG(QString, ""));
    QMetaObject::invokeMethod(extra, "sig", Q_ARG(QString, "01.11"), Q_ARG(QString, "y"), Q_ARG(QString, ""));
    QCOMPARE(ui->le_dop_ved->text(), QString("02.1, 01.11"));
    QCOMPARE(ui->le_dop_ved->toolTip(), QString("02.1, 01.11"));
    QTest::mouseClick(ui->pb_dop_sort, Qt::LeftButton);
    QCOMPARE(ui->le_dop_ved->text(), QString("01.11, 02.1"));

    auto box = test_support::answer_next_modal("OK");
    QTest::mouseClick(ui->pb_dop_del, Qt::LeftButton);
    QVERIFY(box->seen);
    QCOMPARE(box->title, QString("Редактирование кодов ВЭД."));
    QVERIFY(ui->le_dop_ved->isEnabled());

    w->show();
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    ui->tabWidget->setCurrentIndex(2);
    ui->le_dop_ved->setFocus();
    QVERIFY(ui->le_dop_ved->hasFocus());
    ui->le_dop_ved->setText(",,03.1,,,01.11, 02.1,");
    ui->le_INN->setFocus();
    QCOMPARE(ui->le_dop_ved->text(), QString("01.11, 02.1, 03.1"));
    QVERIFY(!ui->le_dop_ved->isEnabled());
}

void TestMainWindow::mobilisation_block()
{
    Ui::Widget *ui = make()->form();
    const QList<QWidget *> block = {ui->label_MobOrgan_2, ui->cb_MobOrgan_2, ui->groupBox_1_6, ui->line_4};
    ui->cb_MobOrgan->setCurrentText("Да");
    for (QWidget *w : block)
        QVERIFY(!w->isHidden());
    ui->FamRukMO->setText("Петров");
    ui->cb_MobOrgan_2->setCurrentIndex(1);

    auto refuse = test_support::answer_next_modal("Отменить");
    ui->cb_MobOrgan->setCurrentText("Нет");
    QVERIFY(refuse->seen);
    QCOMPARE(refuse->title, QString("Внимание!"));
    QCOMPARE(refuse->text, QString("Удалить информацию о наличии моб.органа в организации?"));
    QCOMPARE(ui->cb_MobOrgan->currentText(), QString("Да"));
    QCOMPARE(ui->FamRukMO->text(), QString("Петров"));
    for (QWidget *w : block)
        QVERIFY(!w->isHidden());

    auto confirm = test_support::answer_next_modal("Подтверждаю");
    ui->cb_MobOrgan->setCurrentText("Нет");
    QVERIFY(confirm->seen);
    for (QWidget *w : block)
        QVERIFY(w->isHidden());
    QCOMPARE(ui->FamRukMO->text(), QString());
    QCOMPARE(ui->cb_MobOrgan_2->currentIndex(), 0);
}

void TestMainWindow::mobilisation_body_set_from_a_card()
{
    Ui::Widget *ui = make()->form();
    const QList<QWidget *> block = {ui->label_MobOrgan_2, ui->cb_MobOrgan_2, ui->groupBox_1_6, ui->line_4};
    auto box = test_support::answer_next_modal("Отменить", {}, 300);
    window->set_mobilisation_body(true);
    QCOMPARE(ui->cb_MobOrgan->currentText(), QString("Да"));
    ui->FamRukMO->setText("Петров");
    window->set_mobilisation_body(false);
    QTest::qWait(400);
    QVERIFY(!box->seen);
    QCOMPARE(ui->cb_MobOrgan->currentText(), QString("Нет"));
    for (QWidget *w : block)
        QVERIFY(w->isHidden());
    // The card's own values come after: nothing is emptied here.
    QCOMPARE(ui->FamRukMO->text(), QString("Петров"));
}

void TestMainWindow::headers_check_box()
{
    Ui::Widget *ui = make()->form();
    ui->te_up_l->setPlainText("Экз. № 1");
    ui->checkBox_kolont->setChecked(false);
    QVERIFY(ui->groupBox_kolont->isHidden());
    QCOMPARE(ui->te_up_l->toPlainText(), QString("Экз. № 1"));
    ui->checkBox_kolont->setChecked(true);
    QVERIFY(!ui->groupBox_kolont->isHidden());
}

void TestMainWindow::address_copy()
{
    Ui::Widget *ui = make()->form();
    ui->lineEdit_23->setText("Невский пр.");
    ui->lineEdit_9->setText("");
    ui->lineEdit_31->setText("12");
    ui->lineEdit_8->setText("старый дом");
    QTest::mouseClick(ui->pushButton_9, Qt::LeftButton);
    QCOMPARE(ui->lineEdit_21->text(), QString("Невский пр."));
    QCOMPARE(ui->lineEdit_8->text(), QString());
    QCOMPARE(ui->lineEdit_18->text(), QString("12"));
    QCOMPARE(ui->lineEdit_18->toolTip(), QString("12"));
    QTest::mouseClick(ui->pushButton_6, Qt::LeftButton);
    QCOMPARE(ui->lineEdit_37->text(), QString("Невский пр."));
    QCOMPARE(ui->lineEdit_37->toolTip(), QString("Невский пр."));
    QCOMPARE(ui->lineEdit_35->text(), QString("12"));
}

void TestMainWindow::clipboard_summary()
{
    Ui::Widget *ui = make()->form();
    ui->te_orgname->setPlainText("ООО «Ромашка»\nСанкт-Петербург");
    ui->te_orgname2->setPlainText("ООО «Ромашка» Санкт-Петербург");
    ui->le_INN->setText("7801234567");
    ui->OKOGU_le->setText("2300229");
    ui->sb_b_treb_ruk->setValue(2);
    ui->sb_b_treb_rab->setValue(40);
    QVERIFY(QMetaObject::invokeMethod(window.get(), "on_copyButton_clicked"));
    QStringList fields = QApplication::clipboard()->text().split('\t');
    QCOMPARE(fields.size(), 16);
    QCOMPARE(fields.at(0), QString("ООО «Ромашка» Санкт-Петербург"));
    QCOMPARE(fields.at(1), QString());
    QCOMPARE(fields.at(2), QString("7801234567"));
    QCOMPARE(fields.at(6), QString());
    QCOMPARE(fields.at(7), QString("Задача"));
    QCOMPARE(fields.at(11), QString("85%"));
    QCOMPARE(fields.at(12), QString("42"));
    QVERIFY(!fields.last().endsWith('\n'));
    QCOMPARE(ui->copyButton->toolTip(), QString("Успешно скопировано в буфер обмена!"));

    ui->cb_OGV->setCurrentText("Да");
    QVERIFY(QMetaObject::invokeMethod(window.get(), "on_copyButton_clicked"));
    fields = QApplication::clipboard()->text().split('\t');
    QCOMPARE(fields.at(6), QString("2300229"));
    QCOMPARE(fields.at(7), QString("Орган управления"));
    QCOMPARE(fields.at(11), QString("95%"));
    const qint64 share2 = QIcon(":/images/img/share2.png").pixmap(20, 20).toImage().cacheKey();
    Q_UNUSED(share2);
    for (int i = 0; i < 3; ++i)
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_copyButton_clicked"));
    // Five clicks in all: back at the first icon.
    QCOMPARE(ui->copyButton->icon().pixmap(20, 20).toImage(),
             QIcon(":/images/img/share1.png").pixmap(20, 20).toImage());
}

void TestMainWindow::exit_closes_the_child_windows()
{
    Widget *w = make();
    Ui::Widget *ui = w->form();
    w->show();
    QTest::mouseClick(ui->pb_okfs, Qt::LeftButton);
    QTest::mouseClick(ui->pb_okfs, Qt::LeftButton);
    QTest::mouseClick(ui->help_Button, Qt::LeftButton);
    Form *okfs = picker_titled("Форма собственности");
    QVERIFY(okfs->isVisible());
    QTest::mouseClick(ui->exit_Button, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(!okfs->isVisible());
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!top->isVisible() || top->inherits("QMenu"), qPrintable(top->windowTitle()));
}

void TestMainWindow::calendar_and_today()
{
    Ui::Widget *ui = make()->form();
    ui->dateZap->setDate(QDate(2001, 1, 1));
    QTest::mouseClick(ui->pb_today, Qt::LeftButton);
    QCOMPARE(ui->dateZap->date(), QDate::currentDate());
    window->paste_res2(QDate(2010, 5, 17));
    QCOMPARE(ui->dateINN->date(), QDate(2010, 5, 17));
    QCOMPARE(ui->dateINN->text(), QString("17.05.2010"));
}

QUELT_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
