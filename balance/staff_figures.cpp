// Form 6 figures, the item 4 switch, the reservation tables and the access code of the VUS list.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_rules.h"
#include "balance/form6_rules.h"
#include "cardfile/card_lists.h"
#include "mainwindow/main_tabs.h"
#include "widgets/message_box.h"

#include <QInputDialog>
#include <QPixmap>
#include <QTableView>

using namespace balance;

namespace
{

// Lower-case variants of one phrase, with and without blanks, typed in either keyboard layout.
const char *const access_codes[] = {"перепроверитьдвадокумента",   "lkt,wqmnbvxzrtyuiopasdfgh",
                                    "перепроверить два документа", "lkt,wqmnbvxzr tyu iopasdfgh",
                                    "перепроверить200%",           "перепроверить 200 %",
                                    "перепроверить200документа",   "перепроверить 200 документа",
                                    "перепроверить два %",         "перепроверитьдва%"};

bool access_code_accepted(const QString &entry)
{
    const QString lowered = entry.toLower();
    for (const char *code : access_codes)
        if (lowered == QString::fromUtf8(code))
            return true;
    return false;
}

} // namespace

F6Figures Widget::form6_figures() const
{
    F6Figures f;
    f.all = ui->sb_f6_all->value();
    f.priziv = ui->sb_f6_priziv->value();
    f.gpz = ui->sb_f6_gpz->value();
    f.of = ui->sb_f6_of->value();
    f.neof = ui->sb_f6_neof->value();
    f.bron_all = ui->sb_f6_bron_all->value();
    f.bron_of = ui->sb_f6_bron_of->value();
    f.bron_neof = ui->sb_f6_bron_neof->value();
    f.mp = ui->sb_f6_mp->value();
    return f;
}

balance::F6Fault Widget::check_f6()
{
    f6_error = balance::F6Fault::none;
    const balance::F6Fault fault = balance::check_f6(form6_figures());
    const auto colours = f6_input_colours(fault);
    nSpinBox *const inputs[] = {ui->sb_f6_all,     ui->sb_f6_priziv,    ui->sb_f6_of, ui->sb_f6_neof,
                                ui->sb_f6_bron_of, ui->sb_f6_bron_neof, ui->sb_f6_mp};
    for (int i = 0; i < 7; ++i)
        inputs[i]->setStyleSheet(f6_style_sheet(colours[size_t(i)]));
    if (fault == balance::F6Fault::none) {
        ui->f6_errlabel->hide();
    } else {
        ui->f6_errlabel->setText(f6_error_text(fault));
        ui->f6_errlabel->show();
    }
    f6_error = fault;
    return fault;
}

void Widget::form6_rest()
{
    ui->sb_f6_ost->setValue(f6_ost(form6_figures()));
    check_f6();
}

void Widget::on_sb_f6_of_valueChanged(int)
{
    ui->sb_f6_gpz->setValue(f6_gpz(form6_figures()));
}

void Widget::on_sb_f6_neof_valueChanged(int)
{
    ui->sb_f6_gpz->setValue(f6_gpz(form6_figures()));
}

void Widget::on_sb_f6_bron_of_valueChanged(int)
{
    ui->sb_f6_bron_all->setValue(f6_bron_all(form6_figures()));
}

void Widget::on_sb_f6_bron_neof_valueChanged(int)
{
    ui->sb_f6_bron_all->setValue(f6_bron_all(form6_figures()));
}

void Widget::on_sb_f6_gpz_valueChanged(int)
{
    form6_rest();
}

void Widget::on_sb_f6_bron_all_valueChanged(int)
{
    form6_rest();
}

void Widget::on_sb_f6_mp_valueChanged(int)
{
    form6_rest();
}

void Widget::on_sb_f6_all_valueChanged(int)
{
    check_f6();
}

void Widget::on_sb_f6_priziv_valueChanged(int)
{
    check_f6();
}

// The sphere of management follows the ownership code.
void Widget::set_okfs_sphere()
{
    // Index 0 first, as the rule always did: a change of index is signalled even when the sphere stays.
    ui->cb_sf_ved->setCurrentIndex(0);
    ui->cb_sf_ved->setCurrentIndex(int(balance::management_sphere(ui->lineEdit_25->text())));
}

void Widget::show_reservation_parts(bool reserving)
{
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->NPA_groupBox, ui->sb_f6_bron_all, ui->sb_f6_bron_of, ui->sb_f6_bron_neof, ui->label_f6_bron,
             ui->label_f6_bron_of, ui->label_f6_bron_neof, ui->table_balance, ui->gb_balance, ui->gb_bal_buttons})
        w->setVisible(reserving);
    ui->tabWidget->setTabText(main_tab::staff, reserving ? "Баланс" : "Персонал");
    ui->tabWidget->setTabEnabled(main_tab::training, reserving);
    // The reserved total was zeroed when reservation was switched off; the rows kept their
    // figures, and the total goes into the card and the printed balance.
    if (reserving)
        summ_totals(balance::total_bron);
}

void Widget::on_cb_kat_b_currentIndexChanged(const QString &)
{
    if (!reserving()) {
        if (ask_to_confirm("Внимание!",
                           "При переводе организации в НЕбронирующую будут удалены сведения о числе забронированных. "
                           "Подтвердите, пожалуйста, изменение.") == QMessageBox::Ok) {
            for (nSpinBox *box : {ui->sb_f6_bron_all, ui->sb_f6_bron_of, ui->sb_f6_bron_neof, ui->sb_b_bron})
                box->setValue(0);
            ui->cb_sf_ved->setCurrentIndex(ui->cb_sf_ved->findText(QString()));
            show_reservation_parts(false);
        } else {
            // Runs this slot again with "Да".
            ui->cb_kat_b->setCurrentIndex(ui->cb_kat_b->findText(card_lists::yes));
        }
    } else {
        set_okfs_sphere();
        show_reservation_parts(true);
    }
    relayout_balance_columns();
}

void Widget::set_reservation(bool reserving)
{
    const bool blocked = ui->cb_kat_b->blockSignals(true);
    ui->cb_kat_b->setCurrentIndex(ui->cb_kat_b->findText(reserving ? card_lists::yes : card_lists::no));
    ui->cb_kat_b->blockSignals(blocked);
    if (reserving)
        set_okfs_sphere();
    show_reservation_parts(reserving);
    relayout_balance_columns();
}

void Widget::on_cb_GPZ_stateChanged(int)
{
    ui->groupBox_GPZ->setVisible(ui->cb_GPZ->checkState() != Qt::Unchecked);
}

void Widget::on_cb_neGPZ_stateChanged(int)
{
    ui->groupBox_neGPZ->setVisible(ui->cb_neGPZ->checkState() != Qt::Unchecked);
}

namespace
{

void append_text_row(QStandardItemModel *model, int first, int second)
{
    const int row = model->rowCount();
    model->insertRow(row);
    for (int column : {first, second}) {
        auto *item = new QStandardItem;
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        model->setItem(row, column, item);
    }
}

} // namespace

void Widget::on_add_bron_clicked()
{
    append_text_row(bron_model, bron_pos::position_name, bron_pos::full_name);
}

void Widget::on_add_nebron_clicked()
{
    append_text_row(nebron_model, nebron_pos::reason, nebron_pos::extra);
}

// The row to delete from `view` once the user has confirmed it, or -1.
int Widget::confirm_row_deletion(QTableView *view, const QString &no_row_text)
{
    current_row = view->currentIndex().row();
    if (current_row < 0) {
        show_notice(QMessageBox::Information, "Выберите строку!", no_row_text);
        return -1;
    }
    const int row = current_row;
    MessageSetup setup;
    setup.icon = QMessageBox::Warning;
    setup.title = "Удаление строки!";
    setup.text = "Удалить строку №" + QString::number(row + 1);
    setup.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    setup.labels.append({QMessageBox::Ok, "Да"});
    setup.labels.append({QMessageBox::Cancel, "Нет"});
    return run_message(msg_box, setup) == QMessageBox::Ok ? row : -1;
}

void Widget::delete_reservation_row(QTableView *view, QStandardItemModel *model)
{
    const int row = confirm_row_deletion(view, "Для удаления, сначала укажите строку, выделив в ней любую ячейку.");
    if (row >= 0)
        model->removeRow(row);
}

void Widget::on_del_bron_clicked()
{
    delete_reservation_row(ui->table_bronGPZ, bron_model);
}

void Widget::on_del_nebron_clicked()
{
    delete_reservation_row(ui->table_nebronGPZ, nebron_model);
}

void Widget::on_balance_pdp_clicked()
{
    if (access_granted) {
        pdp_window.show();
        pdp_window.raise();
        pdp_window.activateWindow();
        return;
    }
    if (access_tries > 10) {
        show_notice(QMessageBox::Critical, "Ввод не верный!",
                    "Исчерпано максимальное количество попыток ввода кода доступа.");
        return;
    }

    bool ok = false;
    const QString entry = QInputDialog::getText(nullptr, "Ограниченный доступ",
                                                "Введите код доступа:", QLineEdit::Password, QString(), &ok);
    if (!ok)
        return;

    if (!access_code_accepted(entry)) {
        ++access_tries;
        MessageSetup setup;
        setup.icon_pixmap = QPixmap(":/images/img/exit.png").scaledToWidth(30, Qt::FastTransformation);
        setup.title = "Ввод не верный!";
        setup.text = "Введенный код доступа не верен, попробуйте ещё раз.";
        setup.buttons = QMessageBox::Ok;
        run_message(msg_box, setup);
        return;
    }

    progress_window.clear_source();
    progress_window.set_iterator(35);
    progress_window.set_title("Пожалуйста, подождите - идет загрузка справочника...");
    progress_window.show();
    progress_window.add_value();
    load_classifier(classifier_file::vus);
    progress_window.add_value();
    pdp_window.set_vus_items(classifier_reader.vus_records);
    progress_window.add_value();
    progress_window.close();

    access_granted = true;
    pdp_window.show();
    pdp_window.raise();
    pdp_window.activateWindow();
}
