#include "balance/balance_rules.h"
#include "balance/form6_rules.h"
#include "cardfile/card_lists.h"
#include "mainwindow/main_tabs.h"
#include "mainwindow/widget.h"
#include "tests/support/form_helpers.h"
#include "tests/support/test_support.h"
#include "ui_widget.h"
#include "widgets/form.h"
#include "widgets/form_pdp.h"

#include <QApplication>
#include <QInputDialog>
#include <QStandardItemModel>
#include <QTableView>

using namespace balance;
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

} // namespace

class TestBalanceWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window.reset(); }

    void position_pick_makes_a_row();
    void row_buttons();
    void totals_by_category();
    void merge_equal_rows();
    void column_switch_asks_first_data();
    void column_switch_asks_first();
    void name_column_width_rule();
    void cursor_moves_data();
    void cursor_moves();
    void form6_check_data();
    void form6_check();
    void reservation_switch_cancelled_confirmed_and_back();
    void reservation_tables();
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
    void type(int row, const QList<QPair<int, int>> &edits)
    {
        for (const auto &e : edits)
            balance()->setData(balance()->index(row, e.first), e.second, Qt::EditRole);
    }
    // Answers the access prompt; `box` receives the message that follows, if one is expected.
    void enter_code(const QString &code, bool cancel, std::shared_ptr<test_support::ModalAnswer> *box = nullptr)
    {
        auto prompt = test_support::answer_next_modal(QString(), [=](QWidget *modal) {
            auto *dialog = qobject_cast<QInputDialog *>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle() + dialog->labelText(),
                     QString("Ограниченный доступ") + "Введите код доступа:");
            QCOMPARE(dialog->textEchoMode(), QLineEdit::Password);
            if (box)
                *box = test_support::answer_next_modal("OK");
            dialog->setTextValue(code);
            cancel ? dialog->reject() : dialog->accept();
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
    ui()->tabWidget->setCurrentIndex(main_tab::staff);
}

void TestBalanceWindow::position_pick_makes_a_row()
{
    pick("22446", "Инженер", "1");
    QStandardItemModel *m = balance();
    QCOMPARE(m->rowCount(), 1);
    QStringList row;
    for (int column :
         {col_key, col_kind, col_category, col_code, col_facet, col_name, col_vnesh_ist, col_cat_code, col_kind_code})
        row << cell(m, 0, column);
    QCOMPARE(row, (QStringList{"1122446", "Основное", "Руководители", "22446", "", "Инженер", "", "1", "1"}));
    QCOMPARE(m->index(0, balance::col_vnutr_ist).data(Qt::EditRole), QVariant(0));
    for (int column : {col_shtat, col_treb, col_fact, col_mp, col_bron})
        QVERIFY2(!m->item(0, column), qPrintable(QString::number(column)));
    QCOMPARE(ui()->table_balance->currentIndex(), m->index(0, balance::col_shtat));
    // A new kind sends the cursor to the establishment number.
    ui()->table_balance->setCurrentIndex(m->index(0, balance::col_mp));
    m->setData(m->index(0, balance::col_kind), "Вспомогательное");
    QCOMPARE(ui()->table_balance->currentIndex(), m->index(0, balance::col_shtat));
}

void TestBalanceWindow::row_buttons()
{
    const QList<QPair<const char *, QString>> without_row = {
        {"on_balance_faset_clicked", "Выделите любую ячейку ячейку в строке, где Вы хотели бы изменить фасет."},
        {"on_balance_delete_clicked", "Для удаления строки, выделите в ней любую ячейку."}};
    for (const auto &button : without_row) {
        auto box = test_support::answer_next_modal("OK");
        QVERIFY(QMetaObject::invokeMethod(w(), button.first));
        QCOMPARE(box->text, button.second);
    }
    QVERIFY(!picker_titled("Фасет")->isVisible());

    pick("23369", "Кассир", "3");
    pick("22446", "Инженер", "2");
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2"); // the same position twice gives two rows
    type(0, {{col_fact, 5}, {col_mp, 1}});
    type(2, {{col_fact, 4}});
    ui()->table_balance->setCurrentIndex(balance()->index(0, col_fact));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_sort_clicked"));
    QStringList codes;
    for (int row = 0; row < balance()->rowCount(); ++row)
        codes << cell(balance(), row, col_code);
    QCOMPARE(codes, (QStringList{"20656", "22446", "22446", "23369"}));
    // The current cell follows its row.
    QCOMPARE(ui()->table_balance->currentIndex(), balance()->index(3, col_fact));
    QVERIFY(ui()->table_balance->selectionModel()->isSelected(balance()->index(3, col_fact)));

    ui()->table_balance->setCurrentIndex(balance()->index(3, balance::col_name));
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_faset_clicked"));
    QVERIFY(picker_titled("Фасет")->isVisible());
    for (const QString &answer : {QStringLiteral("Нет"), QStringLiteral("Да")}) {
        ui()->table_balance->setCurrentIndex(balance()->index(3, balance::col_fact));
        auto box = test_support::answer_next_modal(answer);
        QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_delete_clicked"));
        QCOMPARE(box->title, QString("Удаление строки!"));
        QCOMPARE(box->text, QString("Удалить строку №4"));
        QCOMPARE(balance()->rowCount(), answer == "Да" ? 3 : 4);
        QCOMPARE(ui()->sb_b_all->value(), answer == "Да" ? 4 : 9);
    }
    QCOMPARE(ui()->sb_b_sum_mp->value(), 0);
}

void TestBalanceWindow::totals_by_category()
{
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("23369", "Кассир", "3");
    pick("99999", "Без категории", "5");
    pick("16199", "Оператор", "4");
    type(0, {{col_fact, 1}});
    type(1, {{col_fact, 7}, {col_mp, 2}, {col_bron, 1}, {col_shtat, 10}});
    type(2, {{col_fact, 3}});
    type(3, {{col_fact, 100}, {col_mp, 4}});
    type(4, {{col_fact, 5}, {col_mp, 1}});
    QCOMPARE(cell(balance(), 1, col_treb), QString("10"));
    QCOMPARE(cell(balance(), 1, col_vnesh_ist), QString("2"));
    const QList<int> totals{ui()->sb_b_ruk->value(),      ui()->sb_b_spec->value(),      ui()->sb_b_slug->value(),
                            ui()->sb_b_rab->value(),      ui()->sb_b_all->value(),       ui()->sb_b_sum_mp->value(),
                            ui()->sb_b_sum_treb->value(), ui()->sb_b_treb_spec->value(), ui()->sb_b_bron->value()};
    QCOMPARE(totals, (QList<int>{1, 7, 3, 5, 16, 7, 10, 10, 1}));
    type(1, {{col_bron, 6}});
    for (int column : {col_fact, col_bron})
        QCOMPARE(balance()->index(1, column).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
}

// The merged row's derived columns and the totals are refreshed.
void TestBalanceWindow::merge_equal_rows()
{
    pick("22446", "Инженер", "2");
    pick("20656", "Главный бухгалтер", "1");
    pick("22446", "Инженер", "2");
    pick("22446", "Инженер", "2");
    type(0, {{col_shtat, 1}, {col_fact, 1}});
    type(1, {{col_shtat, 9}, {col_fact, 9}});
    type(2, {{col_shtat, 2}, {col_fact, 2}, {col_bron, 1}});
    type(3, {{col_shtat, 3}, {col_fact, 3}, {col_vnutr_ist, 2}});
    std::shared_ptr<test_support::ModalAnswer> report;
    auto question = test_support::answer_next_modal(QString(), [&](QWidget *modal) {
        report = test_support::answer_next_modal("OK");
        for (QAbstractButton *b : static_cast<QMessageBox *>(modal)->buttons())
            if (b->text() == "Сложить")
                b->click();
    });
    QVERIFY(QMetaObject::invokeMethod(w(), "summ_same"));
    QCOMPARE(question->title, QString("Сложение одинаковых кодов"));
    QStandardItemModel *m = balance();
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(report->text, QString("Объединено строк - 2."));
    QStringList merged;
    for (int column : {col_code, col_shtat, col_treb, col_fact, col_bron, col_nekomplekt, col_vnutr_ist})
        merged << cell(m, 1, column);
    QCOMPARE(merged, (QStringList{"22446", "6", "6", "6", "1", "0", "0"}));
    const QList<int> totals{ui()->sb_b_all->value(), ui()->sb_b_sum_treb->value(), ui()->sb_b_sum_vnutr->value(),
                            ui()->sb_b_bron->value()};
    QCOMPARE(totals, (QList<int>{15, 15, 0, 1}));
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
    const int column = mobilisation ? col_treb : col_vnutr_ist;
    pick("22446", "Инженер", "2");
    type(0, {{col_fact, 5}, {col_mp, 5}, {col_shtat, 10}});
    box->setChecked(true);
    QVERIFY(!ui()->table_balance->isColumnHidden(column));
    type(0, {{column, mobilisation ? 12 : 3}});
    const QString typed = cell(balance(), 0, column);

    auto cancel = test_support::answer_next_modal("Отменить");
    box->setChecked(false);
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
    QCOMPARE(cell(balance(), 0, col_vnesh_ist), QString("5"));
    QCOMPARE(ui()->sb_b_sum_treb->value(), 10);
    QCOMPARE(ui()->sb_b_sum_vnutr->value(), 0);
}

void TestBalanceWindow::name_column_width_rule()
{
    QTableView *view = ui()->table_balance;
    w()->set_reservation(true);
    // Only the start columns: the name takes what is left, less 14 %.
    w()->resize(w()->width() + 1, w()->height());
    QApplication::processEvents();
    const int W = view->width();
    int rest = W;
    for (int column : {col_facet, col_shtat, col_fact, col_mp, col_bron, col_nekomplekt})
        rest -= view->columnWidth(column);
    QCOMPARE(view->columnWidth(col_name), int(rest - 0.14 * W));
}

void TestBalanceWindow::cursor_moves_data()
{
    QTest::addColumn<bool>("enter"); // else: activation
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("voenshtat");
    QTest::addColumn<bool>("vnutr");
    QTest::addColumn<int>("expected_row");
    QTest::addColumn<int>("expected_column");
    QTest::newRow("shtat, mob task") << false << int(col_shtat) << true << false << 0 << int(col_treb);
    QTest::newRow("bron") << false << int(col_bron) << false << false << 1 << int(col_shtat);
    QTest::newRow("bron, internal") << false << int(col_bron) << false << true << 0 << int(col_vnutr_ist);
    QTest::newRow("enter on name") << true << int(col_name) << false << false << 0 << int(col_shtat);
    QTest::newRow("enter on shortage") << true << int(col_nekomplekt) << false << false << 1 << int(col_shtat);
}

void TestBalanceWindow::cursor_moves()
{
    QFETCH(bool, enter);
    QFETCH(int, column);
    QFETCH(bool, voenshtat);
    QFETCH(bool, vnutr);
    QFETCH(int, expected_row);
    QFETCH(int, expected_column);
    pick("22446", "Инженер", "2");
    pick("20336", "Бухгалтер", "2");
    w()->set_mobilisation_staff_column(voenshtat);
    ui()->checkBox_balance_vnutr_ist->setChecked(vnutr);
    const QModelIndex index = balance()->index(0, column);
    ui()->table_balance->setCurrentIndex(index);
    if (enter)
        QVERIFY(QMetaObject::invokeMethod(ui()->table_balance->itemDelegateForColumn(balance::col_shtat),
                                          "sig_press_enter_tomain"));
    else
        QVERIFY(QMetaObject::invokeMethod(w(), "on_table_balance_activated", Q_ARG(QModelIndex, index)));
    QCOMPARE(ui()->table_balance->currentIndex(), balance()->index(expected_row, expected_column));
}

void TestBalanceWindow::form6_check_data()
{
    // all, priziv, of, neof, bron_of, bron_neof, mp
    QTest::addColumn<QList<int>>("figures");
    QTest::addColumn<F6Fault>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("colours");
    QTest::newRow("consistent") << QList<int>{20, 2, 5, 5, 2, 2, 6} << F6Fault::none << ""
                                << "WWWWWWW";
    QTest::newRow("rule 1 before the others") << QList<int>{10, 3, 8, 0, 9, 0, 0} << F6Fault::reserve_over_staff
                                              << "* - Количество ГПЗ и призывников не должно превышать всего "
                                                 "работающих в организации."
                                              << "RYYYWWW";
}

void TestBalanceWindow::form6_check()
{
    QFETCH(QList<int>, figures);
    QFETCH(F6Fault, fault);
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
    QCOMPARE(w()->check_f6(), fault);
    QCOMPARE(ui()->f6_errlabel->isHidden(), fault == F6Fault::none);
    if (fault != F6Fault::none)
        QCOMPARE(ui()->f6_errlabel->text(), message);
    const QHash<QChar, QString> sheets = {{'W', "QSpinBox { background: white}"},
                                          {'Y', "QSpinBox { background: yellow}"},
                                          {'R', "QSpinBox { background: red}"}};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(boxes[i]->styleSheet(), sheets.value(colours.at(i)));
}

void TestBalanceWindow::reservation_switch_cancelled_confirmed_and_back()
{
    Ui::Widget *f = ui();
    const QList<QWidget *> parts = {f->NPA_groupBox, f->sb_f6_bron_of, f->table_balance, f->gb_bal_buttons};
    f->lineEdit_25->setText("14");
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Да"));
    QCOMPARE(f->tabWidget->tabText(main_tab::staff), QString("Баланс"));
    QVERIFY(f->tabWidget->isTabEnabled(main_tab::training));
    pick("22446", "Инженер", "2");
    type(0, {{col_fact, 5}, {col_bron, 2}});
    f->sb_f6_of->setValue(4);
    f->sb_f6_bron_of->setValue(2);
    QCOMPARE(f->sb_b_bron->value(), 2);

    f->cb_sf_ved->setCurrentIndex(0);
    auto cancel = test_support::answer_next_modal("Отменить");
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Нет"));
    QVERIFY(cancel->seen);
    QCOMPARE(f->cb_kat_b->currentText(), QString("Да"));
    QCOMPARE(f->sb_f6_bron_of->value(), 2);
    QCOMPARE(f->cb_sf_ved->currentIndex(), 1);
    for (QWidget *part : parts)
        QVERIFY2(!part->isHidden(), qPrintable(part->objectName()));

    auto confirm = test_support::answer_next_modal("Подтверждаю");
    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Нет"));
    QCOMPARE(confirm->title, QString("Внимание!"));
    QCOMPARE(confirm->text, QString("При переводе организации в НЕбронирующую будут удалены сведения о числе "
                                    "забронированных. Подтвердите, пожалуйста, изменение."));
    for (nSpinBox *box : {f->sb_f6_bron_all, f->sb_f6_bron_of, f->sb_b_bron})
        QCOMPARE(box->value(), 0);
    QCOMPARE(f->sb_f6_ost->value(), 4);
    for (QWidget *part : parts)
        QVERIFY2(part->isHidden(), qPrintable(part->objectName()));
    QCOMPARE(f->tabWidget->tabText(main_tab::staff), QString("Персонал"));
    QVERIFY(!f->tabWidget->isTabEnabled(main_tab::training));
    QCOMPARE(f->cb_sf_ved->currentText(), QString());
    QCOMPARE(f->sb_b_spec_bron->value(), 2); // other totals keep their values

    f->cb_kat_b->setCurrentIndex(f->cb_kat_b->findText("Да"));
    QCOMPARE(cell(balance(), 0, col_bron), QString("2"));
    QCOMPARE(f->sb_f6_bron_of->value(), 0);
    // The reserved total follows the rows again rather than staying 0.
    QCOMPARE(f->sb_b_bron->value(), 2);
}

void TestBalanceWindow::reservation_tables()
{
    auto *bron = static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model());
    auto none = test_support::answer_next_modal("OK");
    QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
    QCOMPARE(none->text, QString("Для удаления, сначала укажите строку, выделив в ней любую ячейку."));

    for (const char *name : {"Иванов И.И.", "Петров П.П."}) {
        QVERIFY(QMetaObject::invokeMethod(w(), "on_add_bron_clicked"));
        bron->setData(bron->index(bron->rowCount() - 1, bron_pos::full_name), name);
    }
    for (int c = 0; c < card_lists::bron_row_size; ++c)
        QCOMPARE(bron->item(0, c) != nullptr, c == bron_pos::position_name || c == bron_pos::full_name);
    ui()->table_bronGPZ->setCurrentIndex(bron->index(0, bron_pos::full_name));
    for (const QString &answer : {QStringLiteral("Нет"), QStringLiteral("Да")}) {
        auto box = test_support::answer_next_modal(answer);
        QVERIFY(QMetaObject::invokeMethod(w(), "on_del_bron_clicked"));
        QCOMPARE(box->text, QString("Удалить строку №1"));
    }
    QCOMPARE(bron->rowCount(), 1);
    QCOMPARE(cell(bron, 0, bron_pos::full_name), QString("Петров П.П."));
}

void TestBalanceWindow::access_code_refused_and_counted()
{
    enter_code(QString(), true); // cancel counts nothing
    for (int i = 0; i < 10; ++i) {
        std::shared_ptr<test_support::ModalAnswer> box;
        // A blank around an accepted code, and an empty entry, are wrong entries.
        enter_code(i == 0 ? " перепроверить200%" : QString(), false, &box);
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
    pdp->hide();
    auto nothing = test_support::answer_next_modal(QString(), {}, 300);
    QVERIFY(QMetaObject::invokeMethod(w(), "on_balance_pdp_clicked"));
    QTest::qWait(400);
    QVERIFY(!nothing->seen);
    QVERIFY(pdp->isVisible());

    // Asked again in a fresh window; the Latin-layout variant is accepted.
    window.reset(new Widget);
    enter_code("LKT,WQMNBVXZRTYUIOPASDFGH", false);
    QVERIFY(vus_window()->isVisible());
}

QUELT_TEST_MAIN(TestBalanceWindow)
#include "tst_balance_window.moc"
