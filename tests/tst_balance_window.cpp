// The staff page of the real main window: balance rows, arithmetic and totals, merging,
// Form 6 figures, the item 4 switch, the reservation tables and the VUS list's access code.
#include "form.h"
#include "form_helpers.h"
#include "form_pdp.h"
#include "test_support.h"
#include "ui_widget.h"
#include "widget.h"

#include "comboboxdelegate.h"
#include "spinboxdelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QStandardItemModel>
#include <QTableView>

using test_support::picker_titled;

namespace
{

Form_pdp *vus_window()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *pdp = qobject_cast<Form_pdp *>(w))
            return pdp;
    return nullptr;
}

QString cell(QAbstractItemModel *model, int row, int column)
{
    return model->index(row, column).data().toString();
}

bool is_red(QAbstractItemModel *model, int row, int column)
{
    const QVariant v = model->index(row, column).data(Qt::BackgroundRole);
    return v.canConvert<QBrush>() && v.value<QBrush>().color() == QColor(255, 0, 0);
}

} // namespace

class TestBalanceWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window.reset(); }

    void position_pick_makes_a_row_data();
    void position_pick_makes_a_row();
    void kind_choice_rekeys_the_row();
    void facet_button_and_pick();
    void delete_row();
    void sort_orders_by_key();

    void totals_by_category();

    void merge_equal_rows_data();
    void merge_equal_rows();

    void column_switch_asks_first_data();
    void column_switch_asks_first();
    void column_boxes_and_width_rule();
    void cursor_after_activation_data();
    void cursor_after_activation();
    void cursor_after_enter_data();
    void cursor_after_enter();

    void form6_check_data();
    void form6_check();

    void reservation_switch_sphere_data();
    void reservation_switch_sphere();
    void reservation_switch_confirmed_and_back();
    void reservation_switch_cancelled();
    void set_reservation_is_silent();

    void reservation_tables_add();
    void reservation_tables_delete();

    void access_code_refused_and_counted();
    void access_code_accepted_once();

private:
    Widget *w() { return window.get(); }
    Ui::Widget *ui() { return window->form(); }
    QStandardItemModel *balance() { return static_cast<QStandardItemModel *>(ui()->table_balance->model()); }
    void pick(const QString &code, const QString &name, const QString &category)
    {
        Form *picker = picker_titled("Должности и профессии");
        QVERIFY(picker);
        QVERIFY(QMetaObject::invokeMethod(picker, "sig", Q_ARG(QString, code), Q_ARG(QString, name),
                                          Q_ARG(QString, category)));
    }
    // Types figures into a row as the spin editor does: whole numbers, one change each.
    void type(int row, const QList<QPair<int, int>> &edits)
    {
        for (const auto &e : edits)
            balance()->setData(balance()->index(row, e.first), e.second, Qt::EditRole);
    }
    // Enters a code into the access prompt; `box` receives the message that follows, if one is expected.
    void enter_code(const QString &code, bool cancel, std::shared_ptr<test_support::ModalAnswer> *box = nullptr)
    {
        auto prompt = test_support::answer_next_modal(QString(), [=](QWidget *modal) {
            auto *dialog = qobject_cast<QInputDialog *>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Ограниченный доступ"));
            QCOMPARE(dialog->labelText(), QString("Введите код доступа:"));
            QCOMPARE(dialog->textEchoMode(), QLineEdit::Password);
            if (box)
                *box = test_support::answer_next_modal("OK");
            if (cancel) {
                dialog->reject();
            } else {
                dialog->setTextValue(code);
                dialog->accept();
            }
        });
        QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_pdp_clicked"));
        QVERIFY(prompt->seen);
    }

    std::unique_ptr<Widget> window;
};

void TestBalanceWindow::init()
{
    window.reset(new Widget);
    window->resize(1200, 900);
    window->show();
    ui()->tabWidget->setCurrentIndex(4);
}

void TestBalanceWindow::position_pick_makes_a_row_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("word");
    QTest::newRow("heads") << "1"
                           << "Руководители";
    QTest::newRow("workers") << "4"
                             << "Рабочие";
    QTest::newRow("unknown") << "5"
                             << "";
}

void TestBalanceWindow::position_pick_makes_a_row()
{
    QFETCH(QString, category);
    QFETCH(QString, word);
    pick("22446", "Инженер", category);
    QStandardItemModel *m = balance();
    QCOMPARE(m->rowCount(), 1);
    const QStringList expected{"1" + category + "22446", "Основное", word, "22446", "", "Инженер"};
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(cell(m, 0, column), expected.at(column));
    QCOMPARE(cell(m, 0, 18), category);
    QCOMPARE(cell(m, 0, 20), QString("1"));
    QCOMPARE(m->index(0, 15).data(Qt::EditRole), QVariant(0));
    for (int column : {6, 7, 8, 9, 11})
        QVERIFY2(!m->item(0, column), qPrintable(QString::number(column)));
    QCOMPARE(cell(m, 0, 16), QString()); // no arithmetic ran for the key cells
    QCOMPARE(ui()->table_balance->currentIndex(), m->index(0, 6));
    QVERIFY(m->item(0, 1)->flags() & Qt::ItemIsEditable);
    QCOMPARE(m->item(0, 5)->flags() & Qt::ItemIsEditable, Qt::ItemFlags());
    QCOMPARE(m->item(0, 0)->background().color(), QColor(255, 255, 0));
}

void TestBalanceWindow::kind_choice_rekeys_the_row()
{
    pick("22446", "Инженер", "2");
    QTableView *view = ui()->table_balance;
    view->setCurrentIndex(balance()->index(0, 9));
    auto *delegate = qobject_cast<comboboxDelegate *>(view->itemDelegateForColumn(1));
    QVERIFY(delegate);
    const QModelIndex kind = balance()->index(0, 1);
    std::unique_ptr<QWidget> editor(delegate->createEditor(view->viewport(), QStyleOptionViewItem(), kind));
    auto *box = qobject_cast<QComboBox *>(editor.get());
    QVERIFY(box);
    box->setCurrentIndex(box->findText("Вспомогательное"));
    delegate->setModelData(editor.get(), balance(), kind);
    QCOMPARE(cell(balance(), 0, 1), QString("Вспомогательное"));
    QCOMPARE(cell(balance(), 0, 20), QString("2"));
    QCOMPARE(cell(balance(), 0, 0), QString("2222446"));
    // The cursor jumps to the establishment number.
    QCOMPARE(view->currentIndex(), balance()->index(0, 6));
}

void TestBalanceWindow::facet_button_and_pick()
{
    Form *facets = picker_titled("Фасет");
    QVERIFY(facets);
    auto box = test_support::answer_next_modal("OK");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_faset_clicked"));
    QCOMPARE(box->text, QString("Выделите любую ячейку ячейку в строке, где Вы хотели бы изменить фасет."));
    QVERIFY(!facets->isVisible());

    pick("22446", "Инженер", "2");
    pick("20336", "Бухгалтер", "2");
    ui()->table_balance->setCurrentIndex(balance()->index(0, 5));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_faset_clicked"));
    QVERIFY(facets->isVisible());
    // The pick lands in the row current when it arrives.
    ui()->table_balance->setCurrentIndex(balance()->index(1, 6));
    QVERIFY(QMetaObject::invokeMethod(facets, "sig", Q_ARG(QString, "03"), Q_ARG(QString, "Заместитель"),
                                      Q_ARG(QString, "03")));
    QCOMPARE((QStringList{cell(balance(), 1, 4), cell(balance(), 1, 19), cell(balance(), 1, 0), cell(balance(), 0, 4)}),
             (QStringList{"Заместитель", "03", "122033603", ""}));
}

void TestBalanceWindow::delete_row()
{
    auto none = test_support::answer_next_modal("OK");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_delete_clicked"));
    QCOMPARE(none->text, QString("Для удаления строки, выделите в ней любую ячейку."));

    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("23369", "Кассир", "3");
    type(0, {{8, 4}});
    type(2, {{8, 5}, {9, 1}});
    for (const QString &answer : {QStringLiteral("Нет"), QStringLiteral("Да")}) {
        ui()->table_balance->setCurrentIndex(balance()->index(2, 8));
        auto box = test_support::answer_next_modal(answer);
        QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_delete_clicked"));
        QCOMPARE(box->title, QString("Удаление строки!"));
        QCOMPARE(box->text, QString("Удалить строку №3"));
        QCOMPARE(balance()->rowCount(), answer == "Да" ? 2 : 3);
        QCOMPARE(ui()->sb_b_all->value(), answer == "Да" ? 4 : 9);
    }
    QCOMPARE(cell(balance(), 1, 3), QString("22446"));
    QCOMPARE(ui()->sb_b_sum_mp->value(), 0);
}

void TestBalanceWindow::sort_orders_by_key()
{
    pick("23369", "Кассир", "3");
    pick("22446", "Инженер", "2");
    pick("20656", "Главный бухгалтер", "1");
    // The same position twice gives two rows.
    pick("22446", "Инженер", "2");
    QCOMPARE(ui()->table_balance->currentIndex(), balance()->index(3, 6));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_sort_clicked"));
    QStringList codes;
    for (int row = 0; row < balance()->rowCount(); ++row)
        codes << cell(balance(), row, 3);
    QCOMPARE(codes, (QStringList{"20656", "22446", "22446", "23369"}));
}

void TestBalanceWindow::totals_by_category()
{
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("23369", "Кассир", "3");
    pick("99999", "Без категории", "5");
    pick("16199", "Оператор", "4");
    type(0, {{8, 1}});
    type(1, {{8, 7}, {9, 2}, {11, 1}, {6, 10}});
    type(2, {{8, 3}});
    type(3, {{8, 100}, {9, 4}});
    type(4, {{8, 5}, {9, 1}});
    // An edit ripples through its row into the totals.
    QCOMPARE(cell(balance(), 1, 7), QString("10"));
    QCOMPARE(cell(balance(), 1, 16), QString("2"));
    QCOMPARE(ui()->sb_b_sum_treb->value(), 10);
    QCOMPARE(ui()->sb_b_treb_spec->value(), 10);
    QCOMPARE(ui()->sb_b_bron->value(), 1);
    const QList<int> totals{ui()->sb_b_ruk->value(), ui()->sb_b_spec->value(), ui()->sb_b_slug->value(),
                            ui()->sb_b_rab->value(), ui()->sb_b_all->value(),  ui()->sb_b_sum_mp->value()};
    QCOMPARE(totals, (QList<int>{1, 7, 3, 5, 16, 7}));
    type(1, {{11, 6}});
    QVERIFY(is_red(balance(), 1, 8) && is_red(balance(), 1, 11));
}

void TestBalanceWindow::merge_equal_rows_data()
{
    QTest::addColumn<bool>("add");
    QTest::newRow("Сложить") << true;
    QTest::newRow("Пропустить") << false;
}

void TestBalanceWindow::merge_equal_rows()
{
    QFETCH(bool, add);
    pick("22446", "Инженер", "2");
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("22446", "Инженер", "2");
    type(0, {{6, 1}, {8, 1}});
    type(1, {{6, 9}, {8, 9}});
    type(2, {{6, 2}, {8, 2}, {11, 1}});
    type(3, {{6, 3}, {8, 3}, {15, 2}});
    std::shared_ptr<test_support::ModalAnswer> report;
    auto question = test_support::answer_next_modal(add ? "Сложить" : "Пропустить", [&](QWidget *modal) {
        if (add)
            report = test_support::answer_next_modal("OK");
        for (QAbstractButton *b : static_cast<QMessageBox *>(modal)->buttons())
            if (b->text() == (add ? "Сложить" : "Пропустить"))
                b->click();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "summ_same"));
    QCOMPARE(question->title, QString("Сложение одинаковых кодов"));
    QStandardItemModel *m = balance();
    if (!add) {
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(cell(m, 0, 3), QString("22446"));
        return;
    }
    QVERIFY(report && report->seen);
    QCOMPARE(report->text, QString("Объединено строк - 2."));
    // Sums, and the derived columns and totals refreshed.
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(cell(m, 1, 3), QString("22446"));
    const QStringList merged{cell(m, 1, 6),  cell(m, 1, 7),  cell(m, 1, 8),
                             cell(m, 1, 11), cell(m, 1, 13), cell(m, 1, 15)};
    QCOMPARE(merged, (QStringList{"6", "6", "6", "1", "0", "0"}));
    QCOMPARE(ui()->sb_b_all->value(), 15);
    QCOMPARE(ui()->sb_b_sum_treb->value(), 15);
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 0);
    QCOMPARE(ui()->sb_b_bron->value(), 1);
}

void TestBalanceWindow::column_switch_asks_first_data()
{
    QTest::addColumn<bool>("mobilisation"); // else: internal sources
    QTest::addColumn<QString>("question");
    QTest::newRow("mobilisation staff") << true << "Вся информация в столбце баланса ''Численность для выполнения";
    QTest::newRow("internal sources")
        << false << "Вся информация в столбце баланса ''Обеспечение за счет внутренних источников'' будет УДАЛЕНА.";
}

void TestBalanceWindow::column_switch_asks_first()
{
    QFETCH(bool, mobilisation);
    QFETCH(QString, question);
    QCheckBox *box = mobilisation ? ui()->checkBox_balance_voenshtat : ui()->checkBox_balance_vnutr_ist;
    const int column = mobilisation ? 7 : 15;
    pick("22446", "Инженер", "2");
    type(0, {{8, 5}, {9, 5}, {6, 10}});
    box->setChecked(true);
    QVERIFY(!ui()->table_balance->isColumnHidden(column));
    type(0, {{column, mobilisation ? 12 : 3}});
    const QString typed = cell(balance(), 0, column);

    auto cancel = test_support::answer_next_modal("Отменить");
    box->setChecked(false);
    QVERIFY(cancel->seen);
    QCOMPARE(cancel->title, QString("Внимание!"));
    QVERIFY(cancel->text.startsWith(question));
    QVERIFY(box->isChecked());
    QCOMPARE(cell(balance(), 0, column), typed);

    auto confirm = test_support::answer_next_modal("Подтверждаю");
    box->setChecked(false);
    QVERIFY(confirm->seen);
    QVERIFY(ui()->table_balance->isColumnHidden(column));
    // Establishment copied back, or internal sources cleared; the totals follow.
    QCOMPARE(cell(balance(), 0, column), QString(mobilisation ? "10" : "0"));
    QCOMPARE(ui()->sb_b_sum_treb->value(), 10);
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 0);
    QCOMPARE(cell(balance(), 0, 16), QString("5"));

    // From a card: no question, no copy.
    if (mobilisation) {
        auto none = test_support::answer_next_modal("Подтверждаю", {}, 300);
        w()->set_mobilisation_staff_column(true);
        type(0, {{7, 11}});
        w()->set_mobilisation_staff_column(false);
        QTest::qWait(400);
        QVERIFY(!none->seen);
        QVERIFY(!box->isChecked());
        QCOMPARE(cell(balance(), 0, 7), QString("11"));
    }
}

void TestBalanceWindow::column_boxes_and_width_rule()
{
    QTableView *view = ui()->table_balance;
    w()->set_reservation(true);
    QApplication::processEvents();
    const QList<QPair<QCheckBox *, QList<int>>> boxes = {{ui()->checkBox_balance_dop, {2, 3, 10, 12, 17}},
                                                         {ui()->checkBox_balance_vid_pr, {1}},
                                                         {ui()->checkBox_balance_hiden, {0, 18, 19, 20}}};
    for (const auto &box : boxes) {
        box.first->setChecked(true);
        for (int column : box.second)
            QVERIFY2(!view->isColumnHidden(column), qPrintable(box.first->objectName()));
        box.first->setChecked(false);
        for (int column : box.second)
            QVERIFY2(view->isColumnHidden(column), qPrintable(box.first->objectName()));
    }

    // Only the start columns: the name takes what is left, less 14 %.
    w()->resize(w()->width() + 1, w()->height());
    QApplication::processEvents();
    const int W = view->width();
    const int rest = W - view->columnWidth(4) - view->columnWidth(6) - view->columnWidth(8) - view->columnWidth(9) -
                     view->columnWidth(11) - view->columnWidth(13);
    QCOMPARE(view->columnWidth(5), int(rest - 0.14 * W));
    // Switched off: a resize changes nothing.
    ui()->checkBox_f6_resize->setChecked(true);
    const int name_width = view->columnWidth(5);
    w()->resize(w()->width() + 40, w()->height());
    QApplication::processEvents();
    QCOMPARE(view->columnWidth(5), name_width);

    ui()->checkBox_balance_itogi->setChecked(true);
    QVERIFY(!ui()->groupBox_b_itogi->isHidden());
}

void TestBalanceWindow::cursor_after_activation_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("voenshtat");
    QTest::addColumn<bool>("vnutr");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("expected_row");
    QTest::addColumn<int>("expected_column");
    QTest::newRow("shtat") << 6 << false << false << 0 << 0 << 8;
    QTest::newRow("shtat, mob task") << 6 << true << false << 0 << 0 << 7;
    QTest::newRow("bron") << 11 << false << false << 0 << 1 << 6;
    QTest::newRow("bron, internal") << 11 << false << true << 0 << 0 << 15;
    QTest::newRow("key stays") << 0 << false << false << 1 << 1 << 0;
    QTest::newRow("last row") << 16 << false << false << 1 << -1 << -1;
}

void TestBalanceWindow::cursor_after_activation()
{
    QFETCH(int, column);
    QFETCH(bool, voenshtat);
    QFETCH(bool, vnutr);
    QFETCH(int, row);
    QFETCH(int, expected_row);
    QFETCH(int, expected_column);
    pick("22446", "Инженер", "2");
    pick("20336", "Бухгалтер", "2");
    w()->set_mobilisation_staff_column(voenshtat);
    ui()->checkBox_balance_vnutr_ist->setChecked(vnutr);
    const QModelIndex index = balance()->index(row, column);
    ui()->table_balance->setCurrentIndex(index);
    QVERIFY(QMetaObject::invokeMethod(w(), "on_table_balance_activated", Q_ARG(QModelIndex, index)));
    const QModelIndex current = ui()->table_balance->currentIndex();
    QCOMPARE(current.row(), expected_row);
    QCOMPARE(current.column(), expected_column);
}

void TestBalanceWindow::cursor_after_enter_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("expected_row");
    QTest::addColumn<int>("expected_column");
    QTest::newRow("name") << 4 << 5 << 0 << 6;
    QTest::newRow("shortage") << 4 << 13 << 1 << 6;
    QTest::newRow("figure stays") << 4 << 8 << 0 << 8;
    QTest::newRow("other page") << 3 << 5 << 0 << 5;
}

void TestBalanceWindow::cursor_after_enter()
{
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(int, expected_row);
    QFETCH(int, expected_column);
    pick("22446", "Инженер", "2");
    pick("20336", "Бухгалтер", "2");
    ui()->tabWidget->setCurrentIndex(page);
    ui()->table_balance->setCurrentIndex(balance()->index(0, column));
    auto *delegate = qobject_cast<spinboxDelegate *>(ui()->table_balance->itemDelegateForColumn(6));
    QVERIFY(delegate);
    QVERIFY(QMetaObject::invokeMethod(delegate, "sig_press_enter_tomain"));
    QCOMPARE(ui()->table_balance->currentIndex(), balance()->index(expected_row, expected_column));
}

void TestBalanceWindow::form6_check_data()
{
    // all, priziv, of, neof, bron_of, bron_neof, mp
    QTest::addColumn<QList<int>>("figures");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("colours");
    QTest::newRow("consistent") << QList<int>{20, 2, 5, 5, 2, 2, 6} << 0 << ""
                                << "WWWWWWW";
    QTest::newRow("rule 1 before the others") << QList<int>{10, 3, 8, 0, 9, 0, 0} << 1
                                              << "* - Количество ГПЗ и призывников не должно превышать всего "
                                                 "работающих в организации."
                                              << "RYYYWWW";
    QTest::newRow("officers before the reserve total")
        << QList<int>{20, 0, 1, 5, 2, 0, 9} << 3 << "* - Забронированных офицеров больше, чем офицеров в запасе"
        << "WWYWYWW";
    QTest::newRow("reserve exceeded") << QList<int>{20, 0, 5, 5, 2, 2, 7} << 2
                                      << "* - Кол-во забронированных и имеющих моб.предписания превышают кол-во ГПЗ"
                                      << "WWRRYYY";
}

void TestBalanceWindow::form6_check()
{
    QFETCH(QList<int>, figures);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, colours);
    w()->set_reservation(true);
    nSpinBox *const boxes[] = {ui()->sb_f6_all,     ui()->sb_f6_priziv,    ui()->sb_f6_of, ui()->sb_f6_neof,
                               ui()->sb_f6_bron_of, ui()->sb_f6_bron_neof, ui()->sb_f6_mp};
    for (int i = 0; i < 7; ++i)
        boxes[i]->setValue(figures.at(i));
    QCOMPARE(ui()->sb_f6_gpz->value(), figures.at(2) + figures.at(3));
    QCOMPARE(ui()->sb_f6_bron_all->value(), figures.at(4) + figures.at(5));
    QCOMPARE(ui()->sb_f6_ost->value(),
             qMax(0, figures.at(2) + figures.at(3) - figures.at(4) - figures.at(5) - figures.at(6)));
    QCOMPARE(w()->check_f6(), code);
    QCOMPARE(ui()->f6_errlabel->isHidden(), code == 0);
    if (code)
        QCOMPARE(ui()->f6_errlabel->text(), message);
    const QHash<QChar, QString> sheets = {{'W', "QSpinBox { background: white}"},
                                          {'Y', "QSpinBox { background: yellow}"},
                                          {'R', "QSpinBox { background: red}"}};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(boxes[i]->styleSheet(), sheets.value(colours.at(i)));
    QCOMPARE(ui()->sb_f6_gpz->styleSheet(), QString("QSpinBox { background: lightgrey}"));
}

void TestBalanceWindow::reservation_switch_sphere_data()
{
    QTest::addColumn<QString>("okfs");
    QTest::addColumn<int>("index");
    QTest::newRow("12") << "12" << 2;
    QTest::newRow("13") << "13" << 1;
    QTest::newRow("15") << "15" << 0;
    QTest::newRow("12 blank") << "12 " << 0;
}

void TestBalanceWindow::reservation_switch_sphere()
{
    QFETCH(QString, okfs);
    QFETCH(int, index);
    ui()->lineEdit_25->setText(okfs);
    ui()->cb_sf_ved->setCurrentIndex(2);
    ui()->cb_kat_b->setCurrentIndex(ui()->cb_kat_b->findText("Да"));
    QCOMPARE(ui()->cb_sf_ved->currentIndex(), index);
}

void TestBalanceWindow::reservation_switch_confirmed_and_back()
{
    Ui::Widget *f = ui();
    const QList<QWidget *> parts = {f->NPA_groupBox,  f->sb_f6_bron_all,   f->sb_f6_bron_of,      f->sb_f6_bron_neof,
                                    f->label_f6_bron, f->label_f6_bron_of, f->label_f6_bron_neof, f->table_balance,
                                    f->gb_balance,    f->gb_bal_buttons};
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Да"));
    for (QWidget *part : parts)
        QVERIFY2(!part->isHidden(), qPrintable(part->objectName()));
    QCOMPARE(f->tabWidget->tabText(4), QString("Баланс"));
    QVERIFY(f->tabWidget->isTabEnabled(5));
    QVERIFY(f->groupBox_b_itogi->isHidden());
    QVERIFY(f->checkBox_balance_hiden->isHidden());

    pick("22446", "Инженер", "2");
    type(0, {{8, 5}, {11, 2}});
    f->sb_f6_of->setValue(4);
    f->sb_f6_bron_of->setValue(2);
    f->sb_f6_bron_neof->setValue(0);
    QCOMPARE(f->sb_b_bron->value(), 2);

    auto confirm = test_support::answer_next_modal("Подтверждаю");
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Нет"));
    QVERIFY(confirm->seen);
    QCOMPARE(confirm->title, QString("Внимание!"));
    QCOMPARE(confirm->text, QString("При переводе организации в НЕбронирующую будут удалены сведения о числе "
                                    "забронированных. Подтвердите, пожалуйста, изменение."));
    for (nSpinBox *box : {f->sb_f6_bron_all, f->sb_f6_bron_of, f->sb_f6_bron_neof, f->sb_b_bron})
        QCOMPARE(box->value(), 0);
    QCOMPARE(f->sb_f6_ost->value(), 4);
    for (QWidget *part : parts)
        QVERIFY2(part->isHidden(), qPrintable(part->objectName()));
    QCOMPARE(f->tabWidget->tabText(4), QString("Персонал"));
    QVERIFY(!f->tabWidget->isTabEnabled(5));
    QCOMPARE(f->cb_sf_ved->currentText(), QString());
    // Other totals keep their values.
    QCOMPARE(f->sb_b_spec_bron->value(), 2);

    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Да"));
    QCOMPARE(balance()->rowCount(), 1);
    QCOMPARE(cell(balance(), 0, 11), QString("2"));
    QVERIFY(!f->table_balance->isHidden());
    QCOMPARE(f->sb_f6_bron_of->value(), 0);
    // The reserved total follows the rows again rather than staying 0.
    QCOMPARE(f->sb_b_bron->value(), 2);
}

void TestBalanceWindow::reservation_switch_cancelled()
{
    Ui::Widget *f = ui();
    f->lineEdit_25->setText("14");
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Да"));
    f->sb_f6_of->setValue(4);
    f->sb_f6_bron_of->setValue(3);
    f->cb_sf_ved->setCurrentIndex(0);
    auto cancel = test_support::answer_next_modal("Отменить");
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Нет"));
    QVERIFY(cancel->seen);
    QCOMPARE(f->cb_kat_b->currentText(), QString("Да"));
    QCOMPARE(f->sb_f6_bron_of->value(), 3);
    QVERIFY(!f->table_balance->isHidden());
    QCOMPARE(f->cb_sf_ved->currentIndex(), 1);
}

void TestBalanceWindow::set_reservation_is_silent()
{
    Ui::Widget *f = ui();
    auto none = test_support::answer_next_modal("Подтверждаю", {}, 300);
    f->lineEdit_25->setText("13");
    w()->set_reservation(true);
    QCOMPARE(f->cb_kat_b->currentText(), QString("Да"));
    QCOMPARE(f->cb_sf_ved->currentIndex(), 1);
    f->sb_f6_of->setValue(4);
    f->sb_f6_bron_of->setValue(3);
    f->cb_sf_ved->setCurrentIndex(2);
    w()->set_reservation(false);
    QTest::qWait(400);
    QVERIFY(!none->seen);
    QCOMPARE(f->cb_kat_b->currentText(), QString("Нет"));
    QCOMPARE(f->cb_sf_ved->currentIndex(), 2);
    QCOMPARE(f->sb_f6_bron_of->value(), 3);
    QVERIFY(f->gb_bal_buttons->isHidden());
    QCOMPARE(f->tabWidget->tabText(4), QString("Персонал"));
}

void TestBalanceWindow::reservation_tables_add()
{
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_bron_clicked"));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_nebron_clicked"));
    auto *bron = static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model());
    auto *nebron = static_cast<QStandardItemModel *>(ui()->table_nebronGPZ->model());
    for (int c = 0; c < 5; ++c)
        QCOMPARE(bron->item(0, c) != nullptr, c == 2 || c == 4);
    for (int c = 0; c < 3; ++c)
        QCOMPARE(nebron->item(0, c) != nullptr, c != 0);
    // A value written later into an empty place is centred.
    nebron->setData(nebron->index(0, 0), 3);
    QCOMPARE(int(nebron->item(0, 0)->textAlignment()), int(Qt::AlignCenter));
    // Hiding a group keeps its rows.
    ui()->cb_GPZ->setChecked(false);
    QVERIFY(ui()->groupBox_GPZ->isHidden());
    QCOMPARE(bron->rowCount(), 1);
}

void TestBalanceWindow::reservation_tables_delete()
{
    auto *bron = static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model());
    auto none = test_support::answer_next_modal("OK");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QCOMPARE(none->text, QString("Для удаления, сначала укажите строку, выделив в ней любую ячейку."));

    for (const char *name : {"Иванов И.И.", "Петров П.П."}) {
        QVERIFY(QMetaObject::invokeMethod(w(), "on_add_bron_clicked"));
        bron->setData(bron->index(bron->rowCount() - 1, 4), name);
    }
    ui()->table_bronGPZ->setCurrentIndex(bron->index(0, 4));
    auto no = test_support::answer_next_modal("Нет");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QCOMPARE(no->text, QString("Удалить строку №1"));
    QCOMPARE(bron->rowCount(), 2);
    auto yes = test_support::answer_next_modal("Да");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QVERIFY(yes->seen);
    QCOMPARE(bron->rowCount(), 1);
    QCOMPARE(cell(bron, 0, 4), QString("Петров П.П."));
}

void TestBalanceWindow::access_code_refused_and_counted()
{
    enter_code(QString(), true); // cancel counts nothing
    for (int i = 0; i < 10; ++i) {
        std::shared_ptr<test_support::ModalAnswer> box;
        // A blank around an accepted code, and an empty entry, are wrong entries.
        enter_code(i == 0 ? " перепроверить200%" : QString(), false, &box);
        QVERIFY(box && box->seen);
        QCOMPARE(box->text, QString("Введенный код доступа не верен, попробуйте ещё раз."));
    }
    // After the eleventh wrong entry only the notice is shown.
    std::shared_ptr<test_support::ModalAnswer> box;
    enter_code("перепроверить", false, &box);
    auto used_up = test_support::answer_next_modal(QString(), [](QWidget *modal) {
        if (auto *notice = qobject_cast<QMessageBox *>(modal))
            notice->button(QMessageBox::Ok)->click();
        else
            static_cast<QDialog *>(modal)->reject();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_pdp_clicked"));
    QCOMPARE(used_up->text, QString("Исчерпано максимальное количество попыток ввода кода доступа."));
    QVERIFY(!vus_window()->isVisible());
}

void TestBalanceWindow::access_code_accepted_once()
{
    // Capitals of either script are lowered first.
    enter_code("ПЕРЕПРОВЕРИТЬ ДВА ДОКУМЕНТА", false);
    Form_pdp *pdp = vus_window();
    QVERIFY(pdp->isVisible());
    bool loaded = false;
    for (QStandardItemModel *m : pdp->findChildren<QStandardItemModel *>())
        loaded = loaded || m->rowCount() > 0;
    QVERIFY(loaded);
    // Not asked again.
    pdp->hide();
    auto nothing = test_support::answer_next_modal(QString(), {}, 300);
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_pdp_clicked"));
    QTest::qWait(400);
    QVERIFY(!nothing->seen);
    QVERIFY(pdp->isVisible());

    // The Latin-layout variant is accepted in a fresh run too.
    window.reset(new Widget);
    enter_code("LKT,WQMNBVXZRTYUIOPASDFGH", false);
    QVERIFY(vus_window()->isVisible());
}

QUELT_TEST_MAIN(TestBalanceWindow)
#include "tst_balance_window.moc"
