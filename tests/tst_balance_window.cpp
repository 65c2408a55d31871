// The staff page of the real main window: balance rows, arithmetic and totals, merging,
// Form 6 figures, the item 4 switch, the reservation tables and the VUS list's access code.
#include "form.h"
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

namespace
{

Form *picker_titled(const QString &title)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form *>(w))
            if (form->windowTitle() == title)
                return form;
    return nullptr;
}

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
    void same_position_twice_gives_two_rows();
    void kind_choice_rekeys_the_row();
    void facet_button_and_pick();
    void delete_row();
    void sort_orders_by_key();

    void natural_loss_data();
    void natural_loss();
    void edit_ripples_through_the_row();
    void shortage_waits_for_both_numbers();
    void red_marks_follow_the_figures();
    void internal_sources();
    void totals_by_category();

    void merge_equal_rows();
    void merge_two_different_rows_reports_zero();
    void merge_skipped_keeps_order();
    void merge_single_row_reports_nothing();

    void mobilisation_staff_column();
    void internal_sources_column();
    void column_boxes_and_width_rule();
    void cursor_after_activation_data();
    void cursor_after_activation();
    void cursor_after_enter_data();
    void cursor_after_enter();

    void form6_check_data();
    void form6_check();
    void form6_rest_is_clamped();

    void reservation_switch_sphere_data();
    void reservation_switch_sphere();
    void reservation_switch_confirmed_and_back();
    void reservation_switch_cancelled();
    void set_reservation_is_silent();

    void reservation_tables_add();
    void reservation_tables_delete();
    void reservation_group_boxes();

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
    QTest::newRow("specialists") << "2"
                                 << "Специалисты";
    QTest::newRow("employees") << "3"
                               << "Служащие";
    QTest::newRow("workers") << "4"
                             << "Рабочие";
    QTest::newRow("unknown") << "5"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestBalanceWindow::position_pick_makes_a_row()
{
    QFETCH(QString, category);
    QFETCH(QString, word);
    pick("22446", "Инженер", category);
    QStandardItemModel *m = balance();
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(cell(m, 0, 0), "1" + category + "22446");
    QCOMPARE(cell(m, 0, 1), QString("Основное"));
    QCOMPARE(cell(m, 0, 2), word);
    QCOMPARE(cell(m, 0, 3), QString("22446"));
    QCOMPARE(cell(m, 0, 5), QString("Инженер"));
    QCOMPARE(cell(m, 0, 18), category);
    QCOMPARE(cell(m, 0, 20), QString("1"));
    QCOMPARE(m->index(0, 15).data(Qt::EditRole), QVariant(0));
    for (int column : {6, 7, 8, 9, 11})
        QVERIFY2(!m->item(0, column), qPrintable(QString::number(column)));
    QCOMPARE(ui()->table_balance->currentIndex(), m->index(0, 6));
    // No arithmetic ran for the key cells.
    QCOMPARE(cell(m, 0, 16), QString());
    // Cells as a new row has them.
    QCOMPARE(m->item(0, 20)->flags() & Qt::ItemIsSelectable, Qt::ItemFlags());
    QVERIFY(m->item(0, 1)->flags() & Qt::ItemIsEditable);
    QCOMPARE(m->item(0, 5)->flags() & Qt::ItemIsEditable, Qt::ItemFlags());
    QCOMPARE(m->item(0, 0)->background().color(), QColor(255, 255, 0));
    QCOMPARE(m->item(0, 13)->background().color(), QColor(192, 192, 192, 155));
    QCOMPARE(int(m->item(0, 13)->textAlignment()), int(Qt::AlignCenter));
    QCOMPARE(int(m->item(0, 5)->textAlignment()), int(Qt::AlignLeft | Qt::AlignVCenter));
}

void TestBalanceWindow::same_position_twice_gives_two_rows()
{
    pick("22446", "Инженер", "2");
    pick("22446", "Инженер", "2");
    QCOMPARE(balance()->rowCount(), 2);
    QCOMPARE(cell(balance(), 0, 0), cell(balance(), 1, 0));
    QCOMPARE(ui()->table_balance->currentIndex(), balance()->index(1, 6));
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
    QVERIFY(box->seen);
    QCOMPARE(box->title, QString("Выберите строку!"));
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
    QCOMPARE(cell(balance(), 1, 4), QString("Заместитель"));
    QCOMPARE(cell(balance(), 1, 19), QString("03"));
    QCOMPARE(cell(balance(), 1, 0), QString("122033603"));
    QCOMPARE(cell(balance(), 0, 4), QString());
}

void TestBalanceWindow::delete_row()
{
    auto none = test_support::answer_next_modal("OK");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_delete_clicked"));
    QCOMPARE(none->title, QString("Выберите строку!"));
    QCOMPARE(none->text, QString("Для удаления строки, выделите в ней любую ячейку."));

    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("23369", "Кассир", "3");
    type(0, {{8, 4}});
    type(2, {{8, 5}, {9, 1}});
    QCOMPARE(ui()->sb_b_all->value(), 9);
    QCOMPARE(ui()->sb_b_sum_mp->value(), 1);

    ui()->table_balance->setCurrentIndex(balance()->index(2, 8));
    auto no = test_support::answer_next_modal("Нет");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_delete_clicked"));
    QCOMPARE(no->title, QString("Удаление строки!"));
    QCOMPARE(no->text, QString("Удалить строку №3"));
    QCOMPARE(no->buttons.size(), 2);
    QCOMPARE(balance()->rowCount(), 3);
    QCOMPARE(ui()->sb_b_all->value(), 9);

    ui()->table_balance->setCurrentIndex(balance()->index(2, 8));
    auto yes = test_support::answer_next_modal("Да");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_delete_clicked"));
    QVERIFY(yes->seen);
    QCOMPARE(balance()->rowCount(), 2);
    QCOMPARE(cell(balance(), 1, 3), QString("22446"));
    QCOMPARE(ui()->sb_b_all->value(), 4);
    QCOMPARE(ui()->sb_b_slug->value(), 0);
    QCOMPARE(ui()->sb_b_sum_mp->value(), 0);
}

void TestBalanceWindow::sort_orders_by_key()
{
    pick("23369", "Кассир", "3");
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_sort_clicked"));
    QCOMPARE(cell(balance(), 0, 3), QString("20656"));
    QCOMPARE(cell(balance(), 1, 3), QString("22446"));
    QCOMPARE(cell(balance(), 2, 3), QString("23369"));
}

void TestBalanceWindow::natural_loss_data()
{
    QTest::addColumn<int>("fact");
    QTest::addColumn<QString>("loss");
    QTest::newRow("999") << 999 << "0";
    QTest::newRow("1000") << 1000 << "1";
    QTest::newRow("1999") << 1999 << "1";
    QTest::newRow("2500") << 2500 << "2";
}

void TestBalanceWindow::natural_loss()
{
    QFETCH(int, fact);
    QFETCH(QString, loss);
    pick("22446", "Инженер", "2");
    type(0, {{8, fact}});
    QCOMPARE(cell(balance(), 0, 10), loss);
    QCOMPARE(balance()->index(0, 10).data(Qt::EditRole).type(), QVariant::Int);
}

void TestBalanceWindow::edit_ripples_through_the_row()
{
    pick("22446", "Инженер", "2");
    type(0, {{8, 7}, {9, 2}});
    balance()->setData(balance()->index(0, 15), QString());
    type(0, {{6, 10}});
    QStandardItemModel *m = balance();
    QCOMPARE(cell(m, 0, 7), QString("10"));
    QCOMPARE(cell(m, 0, 13), QString("3"));
    QCOMPARE(cell(m, 0, 12), QString("8"));
    QCOMPARE(cell(m, 0, 14), QString("2"));
    QCOMPARE(cell(m, 0, 16), QString("2"));
    QCOMPARE(cell(m, 0, 17), QString("0"));
    QVERIFY(!is_red(m, 0, 15));
    QCOMPARE(ui()->sb_b_sum_treb->value(), 10);
    QCOMPARE(ui()->sb_b_treb_spec->value(), 10);
    QCOMPARE(ui()->sb_b_all->value(), 7);
    QCOMPARE(ui()->sb_b_spec->value(), 7);
    QCOMPARE(ui()->sb_b_sum_mp->value(), 2);
    // Figures are written as numbers.
    QCOMPARE(m->index(0, 7).data(Qt::EditRole).type(), QVariant::Int);
    QCOMPARE(m->index(0, 14).data(Qt::EditRole).type(), QVariant::Int);
}

void TestBalanceWindow::shortage_waits_for_both_numbers()
{
    pick("22446", "Инженер", "2");
    ui()->checkBox_balance_voenshtat->setChecked(true);
    type(0, {{6, 10}});
    for (int column : {12, 13, 14})
        QCOMPARE(cell(balance(), 0, column), QString());
    type(0, {{8, 4}});
    QCOMPARE(cell(balance(), 0, 13), QString("6"));
    QCOMPARE(cell(balance(), 0, 12), QString("10"));
    QCOMPARE(cell(balance(), 0, 14), QString());
    type(0, {{7, 12}});
    QCOMPARE(cell(balance(), 0, 14), QString("2"));
}

void TestBalanceWindow::red_marks_follow_the_figures()
{
    pick("22446", "Инженер", "2");
    type(0, {{8, 5}, {9, 3}, {11, 2}});
    for (int column : {8, 9, 11})
        QVERIFY(!is_red(balance(), 0, column));
    type(0, {{11, 3}});
    for (int column : {8, 9, 11})
        QVERIFY(is_red(balance(), 0, column));
    QCOMPARE(ui()->sb_b_bron->value(), 3);
    QCOMPARE(ui()->sb_b_spec_bron->value(), 3);
    type(0, {{11, 2}});
    for (int column : {8, 9, 11})
        QVERIFY(!is_red(balance(), 0, column));
}

void TestBalanceWindow::internal_sources()
{
    pick("22446", "Инженер", "2");
    type(0, {{8, 5}, {9, 5}, {6, 10}});
    QCOMPARE(cell(balance(), 0, 14), QString("5"));
    type(0, {{15, 7}});
    QVERIFY(is_red(balance(), 0, 15));
    QCOMPARE(cell(balance(), 0, 16), QString("0"));
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 7);
    type(0, {{15, 5}});
    QVERIFY(!is_red(balance(), 0, 15));
    // A need of 0 forces the internal sources to 0.
    type(0, {{15, 3}, {9, 0}});
    QCOMPARE(cell(balance(), 0, 14), QString("0"));
    QCOMPARE(cell(balance(), 0, 15), QString("0"));
    QCOMPARE(cell(balance(), 0, 16), QString("0"));
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 0);
}

void TestBalanceWindow::totals_by_category()
{
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("23369", "Кассир", "3");
    pick("99999", "Без категории", "5");
    pick("16199", "Оператор", "4");
    type(0, {{8, 1}});
    type(1, {{8, 2}});
    type(2, {{8, 3}});
    type(3, {{8, 100}, {9, 4}});
    type(4, {{8, 5}, {9, 1}});
    QCOMPARE(ui()->sb_b_ruk->value(), 1);
    QCOMPARE(ui()->sb_b_spec->value(), 2);
    QCOMPARE(ui()->sb_b_slug->value(), 3);
    QCOMPARE(ui()->sb_b_rab->value(), 5);
    QCOMPARE(ui()->sb_b_all->value(), 11);
    QCOMPARE(ui()->sb_b_sum_mp->value(), 5);
}

void TestBalanceWindow::merge_equal_rows()
{
    pick("22446", "Инженер", "2");
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("22446", "Инженер", "2");
    type(0, {{6, 1}, {8, 1}});
    type(1, {{6, 9}, {8, 9}});
    type(2, {{6, 2}, {8, 2}, {11, 1}});
    type(3, {{6, 3}, {8, 3}, {15, 2}});
    std::shared_ptr<test_support::ModalAnswer> report;
    auto question = test_support::answer_next_modal("Сложить", [&](QWidget *modal) {
        report = test_support::answer_next_modal("OK");
        for (QAbstractButton *b : static_cast<QMessageBox *>(modal)->buttons())
            if (b->text() == "Сложить")
                b->click();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "summ_same"));
    QCOMPARE(question->title, QString("Сложение одинаковых кодов"));
    QVERIFY(question->buttons.contains("Пропустить"));
    QVERIFY(report && report->seen);
    QCOMPARE(report->title, QString("Сложение одинаковых строк"));
    QCOMPARE(report->text, QString("Объединено строк - 2."));

    QStandardItemModel *m = balance();
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(cell(m, 0, 3), QString("20656"));
    QCOMPARE(cell(m, 1, 3), QString("22446"));
    QCOMPARE(cell(m, 1, 8), QString("6"));
    QCOMPARE(cell(m, 1, 6), QString("6"));
    QCOMPARE(cell(m, 1, 7), QString("6"));
    QCOMPARE(cell(m, 1, 11), QString("1"));
    QCOMPARE(cell(m, 1, 15), QString("0"));
    QCOMPARE(cell(m, 1, 13), QString("0"));
    QCOMPARE(ui()->sb_b_all->value(), 15);
    QCOMPARE(ui()->sb_b_spec->value(), 6);
    QCOMPARE(ui()->sb_b_sum_treb->value(), 15);
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 0);
    QCOMPARE(ui()->sb_b_bron->value(), 1);
}

void TestBalanceWindow::merge_two_different_rows_reports_zero()
{
    pick("22446", "Инженер", "2");
    // Same position, other production kind: another key.
    pick("22446", "Инженер", "2");
    balance()->setData(balance()->index(1, 20), "2");
    balance()->setData(balance()->index(1, 0), "2222446");
    std::shared_ptr<test_support::ModalAnswer> report;
    test_support::answer_next_modal("Сложить", [&](QWidget *modal) {
        report = test_support::answer_next_modal("OK");
        static_cast<QMessageBox *>(modal)->button(QMessageBox::Save)->click();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "summ_same"));
    QVERIFY(report && report->seen);
    QCOMPARE(report->text, QString("Объединено строк - 0."));
    QCOMPARE(balance()->rowCount(), 2);
}

void TestBalanceWindow::merge_skipped_keeps_order()
{
    pick("23369", "Кассир", "3");
    pick("22446", "Инженер", "2");
    pick("22446", "Инженер", "2");
    auto skip = test_support::answer_next_modal("Пропустить");
    QVERIFY(QMetaObject::invokeMethod(w(), "summ_same"));
    QVERIFY(skip->seen);
    QCOMPARE(balance()->rowCount(), 3);
    QCOMPARE(cell(balance(), 0, 3), QString("23369"));
}

void TestBalanceWindow::merge_single_row_reports_nothing()
{
    pick("22446", "Инженер", "2");
    std::shared_ptr<test_support::ModalAnswer> report;
    test_support::answer_next_modal("Сложить", [&](QWidget *modal) {
        report = test_support::answer_next_modal("OK", {}, 300);
        static_cast<QMessageBox *>(modal)->button(QMessageBox::Save)->click();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "summ_same"));
    QTest::qWait(400);
    QVERIFY(report && !report->seen);
    QCOMPARE(balance()->rowCount(), 1);
}

void TestBalanceWindow::mobilisation_staff_column()
{
    QTableView *view = ui()->table_balance;
    pick("22446", "Инженер", "2");
    type(0, {{8, 4}, {6, 5}});
    QCOMPARE(cell(balance(), 0, 7), QString("5"));

    ui()->checkBox_balance_voenshtat->setChecked(true);
    QVERIFY(!view->isColumnHidden(7));
    QCOMPARE(ui()->label_111->text(), QString("Для выполнения\nмоб.задания"));
    type(0, {{7, 9}});
    QCOMPARE(ui()->sb_b_sum_treb->value(), 9);

    auto cancel = test_support::answer_next_modal("Отменить");
    ui()->checkBox_balance_voenshtat->setChecked(false);
    QVERIFY(cancel->seen);
    QCOMPARE(cancel->title, QString("Внимание!"));
    QVERIFY(cancel->text.startsWith("Вся информация в столбце баланса ''Численность для выполнения"));
    QVERIFY(ui()->checkBox_balance_voenshtat->isChecked());
    QVERIFY(!view->isColumnHidden(7));
    QCOMPARE(cell(balance(), 0, 7), QString("9"));

    auto confirm = test_support::answer_next_modal("Подтверждаю");
    ui()->checkBox_balance_voenshtat->setChecked(false);
    QVERIFY(confirm->seen);
    QVERIFY(view->isColumnHidden(7));
    QCOMPARE(cell(balance(), 0, 7), QString("5"));
    QCOMPARE(ui()->sb_b_sum_treb->value(), 5);
    QCOMPARE(ui()->label_111->text(), QString("Численность\nпо штату,\nчеловек"));

    // From a card: no question, no copy.
    type(0, {{6, 7}});
    auto none = test_support::answer_next_modal("Подтверждаю", {}, 300);
    w()->set_mobilisation_staff_column(true);
    QVERIFY(!view->isColumnHidden(7));
    type(0, {{7, 11}});
    w()->set_mobilisation_staff_column(false);
    QTest::qWait(400);
    QVERIFY(!none->seen);
    QVERIFY(!ui()->checkBox_balance_voenshtat->isChecked());
    QVERIFY(view->isColumnHidden(7));
    QCOMPARE(cell(balance(), 0, 7), QString("11"));
}

void TestBalanceWindow::internal_sources_column()
{
    QTableView *view = ui()->table_balance;
    pick("22446", "Инженер", "2");
    type(0, {{8, 5}, {9, 5}, {6, 10}});
    ui()->checkBox_balance_vnutr_ist->setChecked(true);
    QVERIFY(!view->isColumnHidden(15) && !view->isColumnHidden(16));
    type(0, {{15, 3}});
    QCOMPARE(cell(balance(), 0, 16), QString("2"));

    auto cancel = test_support::answer_next_modal("Отменить");
    ui()->checkBox_balance_vnutr_ist->setChecked(false);
    QVERIFY(cancel->seen);
    QVERIFY(ui()->checkBox_balance_vnutr_ist->isChecked());
    QCOMPARE(cell(balance(), 0, 15), QString("3"));

    auto confirm = test_support::answer_next_modal("Подтверждаю");
    ui()->checkBox_balance_vnutr_ist->setChecked(false);
    QVERIFY(confirm->seen);
    QCOMPARE(confirm->text,
             QString("Вся информация в столбце баланса ''Обеспечение за счет внутренних источников'' будет УДАЛЕНА."));
    QCOMPARE(cell(balance(), 0, 15), QString("0"));
    QCOMPARE(cell(balance(), 0, 16), QString("5"));
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 0);
    QVERIFY(view->isColumnHidden(15) && view->isColumnHidden(16));
}

void TestBalanceWindow::column_boxes_and_width_rule()
{
    QTableView *view = ui()->table_balance;
    w()->set_reservation(true);
    QApplication::processEvents();
    const int width = view->width();
    QVERIFY(width > 100);

    ui()->checkBox_balance_dop->setChecked(true);
    for (int column : {2, 3, 10, 12, 17})
        QVERIFY(!view->isColumnHidden(column));
    QCOMPARE(view->columnWidth(3), int(0.04 * width));
    ui()->checkBox_balance_dop->setChecked(false);
    QVERIFY(view->isColumnHidden(10));

    ui()->checkBox_balance_vid_pr->setChecked(true);
    QVERIFY(!view->isColumnHidden(1));
    QCOMPARE(view->columnWidth(1), int(0.072 * width));
    ui()->checkBox_balance_vid_pr->setChecked(false);
    QVERIFY(view->isColumnHidden(1));

    // Only the start columns: the name takes what is left, less 14 %.
    w()->resize(w()->width() + 1, w()->height());
    QApplication::processEvents();
    const int W = view->width();
    const int rest = W - view->columnWidth(4) - view->columnWidth(6) - view->columnWidth(8) - view->columnWidth(9) -
                     view->columnWidth(11) - view->columnWidth(13);
    QCOMPARE(view->columnWidth(5), int(rest - 0.14 * W));

    ui()->checkBox_balance_hiden->setChecked(true);
    for (int column : {0, 18, 19, 20})
        QVERIFY(!view->isColumnHidden(column));
    QCOMPARE(view->columnWidth(0), W / 12 - 2);
    ui()->checkBox_balance_hiden->setChecked(false);
    QVERIFY(view->isColumnHidden(0));

    ui()->checkBox_f6_resize->setChecked(true);
    QCOMPARE(view->columnWidth(5), W / 8 - 2);
    // Switched off: a resize changes nothing.
    w()->resize(w()->width() + 40, w()->height());
    QApplication::processEvents();
    QCOMPARE(view->columnWidth(5), W / 8 - 2);

    QVERIFY(ui()->groupBox_b_itogi->isHidden());
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
    QTest::newRow("name") << 5 << false << false << 0 << 0 << 6;
    QTest::newRow("shtat") << 6 << false << false << 0 << 0 << 8;
    QTest::newRow("shtat, mob task") << 6 << true << false << 0 << 0 << 7;
    QTest::newRow("mp") << 9 << false << false << 0 << 0 << 11;
    QTest::newRow("bron") << 11 << false << false << 0 << 1 << 6;
    QTest::newRow("bron, internal") << 11 << false << true << 0 << 0 << 15;
    QTest::newRow("surplus") << 17 << false << false << 0 << 1 << 6;
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
    QTest::newRow("loss") << 4 << 10 << 0 << 11;
    QTest::newRow("shortage") << 4 << 13 << 1 << 6;
    QTest::newRow("external") << 4 << 16 << 1 << 6;
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
    QTest::newRow("all zero") << QList<int>{0, 0, 0, 0, 0, 0, 0} << 0 << ""
                              << "WWWWWWW";
    QTest::newRow("rule 1 before the others") << QList<int>{10, 3, 8, 0, 9, 0, 0} << 1
                                              << "* - Количество ГПЗ и призывников не должно превышать всего "
                                                 "работающих в организации."
                                              << "RYYYWWW";
    QTest::newRow("officers before the reserve total")
        << QList<int>{20, 0, 1, 5, 2, 0, 9} << 3 << "* - Забронированных офицеров больше, чем офицеров в запасе"
        << "WWYWYWW";
    QTest::newRow("non-officers") << QList<int>{20, 0, 5, 1, 0, 2, 0} << 4
                                  << "* - Забронированных не офицеров больше, чем не офицеров в запасе"
                                  << "WWWYWYW";
    QTest::newRow("reserve exceeded") << QList<int>{20, 0, 5, 5, 2, 2, 7} << 2
                                      << "* - Кол-во забронированных и имеющих моб.предписания превышают кол-во ГПЗ"
                                      << "WWRRYYY";
    QTest::newRow("consistent") << QList<int>{20, 2, 5, 5, 2, 2, 6} << 0 << ""
                                << "WWWWWWW";
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

void TestBalanceWindow::form6_rest_is_clamped()
{
    w()->set_reservation(true);
    ui()->sb_f6_all->setValue(30);
    ui()->sb_f6_of->setValue(5);
    ui()->sb_f6_neof->setValue(5);
    ui()->sb_f6_mp->setValue(3);
    QCOMPARE(ui()->sb_f6_ost->value(), 7);
    ui()->sb_f6_bron_of->setValue(2);
    QCOMPARE(ui()->sb_f6_ost->value(), 5);
    ui()->sb_f6_mp->setValue(9);
    QCOMPARE(ui()->sb_f6_ost->value(), 0);
    QCOMPARE(ui()->f6_errlabel->text(),
             QString("* - Кол-во забронированных и имеющих моб.предписания превышают кол-во ГПЗ"));
}

void TestBalanceWindow::reservation_switch_sphere_data()
{
    QTest::addColumn<QString>("okfs");
    QTest::addColumn<int>("index");
    QTest::newRow("10") << "10" << 2;
    QTest::newRow("12") << "12" << 2;
    QTest::newRow("13") << "13" << 1;
    QTest::newRow("14") << "14" << 1;
    QTest::newRow("15") << "15" << 0;
    QTest::newRow("empty") << "" << 0;
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
    QCOMPARE(f->tabWidget->tabText(4), QString("Баланс"));
    QVERIFY(f->tabWidget->isTabEnabled(5));
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
    QVERIFY(!f->gb_bal_buttons->isHidden());
    QCOMPARE(f->tabWidget->tabText(4), QString("Баланс"));
    f->sb_f6_of->setValue(4);
    f->sb_f6_bron_of->setValue(3);

    f->cb_sf_ved->setCurrentIndex(2);
    w()->set_reservation(false);
    QTest::qWait(400);
    QCOMPARE(f->cb_sf_ved->currentIndex(), 2);
    QVERIFY(!none->seen);
    QCOMPARE(f->cb_kat_b->currentText(), QString("Нет"));
    QCOMPARE(f->sb_f6_bron_of->value(), 3);
    QVERIFY(f->gb_bal_buttons->isHidden());
    QVERIFY(f->NPA_groupBox->isHidden());
    QCOMPARE(f->tabWidget->tabText(4), QString("Персонал"));
    QVERIFY(!f->tabWidget->isTabEnabled(5));
}

void TestBalanceWindow::reservation_tables_add()
{
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_bron_clicked"));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_nebron_clicked"));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_nebron_clicked"));
    auto *bron = static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model());
    auto *nebron = static_cast<QStandardItemModel *>(ui()->table_nebronGPZ->model());
    QCOMPARE(bron->rowCount(), 1);
    QCOMPARE(nebron->rowCount(), 2);
    const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(bron->item(0, c) != nullptr, c == 2 || c == 4);
        if (bron->item(0, c))
            QCOMPARE(int(bron->item(0, c)->textAlignment()), left);
    }
    for (int c = 0; c < 3; ++c)
        QCOMPARE(nebron->item(1, c) != nullptr, c != 0);
    // A value written later into an empty place is centred.
    nebron->setData(nebron->index(1, 0), 3);
    QCOMPARE(int(nebron->item(1, 0)->textAlignment()), int(Qt::AlignCenter));
}

void TestBalanceWindow::reservation_tables_delete()
{
    auto *bron = static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model());
    auto none = test_support::answer_next_modal("OK");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QCOMPARE(none->title, QString("Выберите строку!"));
    QCOMPARE(none->text, QString("Для удаления, сначала укажите строку, выделив в ней любую ячейку."));

    for (int i = 0; i < 2; ++i)
        QVERIFY(QMetaObject::invokeMethod(w(), "on_add_bron_clicked"));
    bron->setData(bron->index(0, 4), "Иванов И.И.");
    bron->setData(bron->index(1, 4), "Петров П.П.");
    ui()->table_bronGPZ->setCurrentIndex(bron->index(0, 4));
    auto no = test_support::answer_next_modal("Нет");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QCOMPARE(no->title, QString("Удаление строки!"));
    QCOMPARE(no->text, QString("Удалить строку №1"));
    QCOMPARE(bron->rowCount(), 2);
    auto yes = test_support::answer_next_modal("Да");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QVERIFY(yes->seen);
    QCOMPARE(bron->rowCount(), 1);
    QCOMPARE(cell(bron, 0, 4), QString("Петров П.П."));

    auto *nebron = static_cast<QStandardItemModel *>(ui()->table_nebronGPZ->model());
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_nebron_clicked"));
    ui()->table_nebronGPZ->setCurrentIndex(nebron->index(0, 1));
    auto yes2 = test_support::answer_next_modal("Да");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_nebron_clicked"));
    QVERIFY(yes2->seen);
    QCOMPARE(nebron->rowCount(), 0);
}

void TestBalanceWindow::reservation_group_boxes()
{
    auto *bron = static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model());
    QVERIFY(QMetaObject::invokeMethod(w(), "on_add_bron_clicked"));
    ui()->cb_GPZ->setChecked(false);
    QVERIFY(ui()->groupBox_GPZ->isHidden());
    QCOMPARE(bron->rowCount(), 1);
    ui()->cb_GPZ->setChecked(true);
    QVERIFY(!ui()->groupBox_GPZ->isHidden());
    ui()->cb_neGPZ->setChecked(false);
    QVERIFY(ui()->groupBox_neGPZ->isHidden());
}

void TestBalanceWindow::access_code_refused_and_counted()
{
    // Cancel counts nothing.
    enter_code(QString(), true);
    for (int i = 0; i < 10; ++i) {
        std::shared_ptr<test_support::ModalAnswer> box;
        // A blank around an accepted code, and an empty entry, are wrong entries.
        enter_code(i == 0 ? " перепроверить200%" : QString(), false, &box);
        QVERIFY(box && box->seen);
        QCOMPARE(box->title, QString("Ввод не верный!"));
        QCOMPARE(box->text, QString("Введенный код доступа не верен, попробуйте ещё раз."));
    }
    // The eleventh wrong entry is still asked.
    std::shared_ptr<test_support::ModalAnswer> box;
    enter_code("перепроверить", false, &box);
    QVERIFY(box && box->seen);

    // Anything but the notice (such as a further prompt) is turned away.
    auto used_up = test_support::answer_next_modal(QString(), [](QWidget *modal) {
        if (auto *notice = qobject_cast<QMessageBox *>(modal))
            notice->button(QMessageBox::Ok)->click();
        else
            static_cast<QDialog *>(modal)->reject();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_pdp_clicked"));
    QVERIFY(used_up->seen);
    QCOMPARE(used_up->text, QString("Исчерпано максимальное количество попыток ввода кода доступа."));
    QVERIFY(!vus_window()->isVisible());
}

void TestBalanceWindow::access_code_accepted_once()
{
    Form_pdp *pdp = vus_window();
    QVERIFY(pdp);
    std::shared_ptr<test_support::ModalAnswer> box;
    enter_code("неверно", false, &box);
    QVERIFY(box->seen);
    // Capitals of either script are lowered first.
    enter_code("ПЕРЕПРОВЕРИТЬ ДВА ДОКУМЕНТА", false);
    QVERIFY(pdp->isVisible());
    bool loaded = false;
    for (QStandardItemModel *m : pdp->findChildren<QStandardItemModel *>())
        loaded = loaded || m->rowCount() > 0;
    QVERIFY(loaded);

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
