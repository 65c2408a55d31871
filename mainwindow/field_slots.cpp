// Pickers, calendars and the fields they fill.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_rules.h"
#include "balance/form6_rules.h"
#include "text/text_rules.h"

namespace
{

void show_active(QWidget &window)
{
    window.setVisible(true);
    window.activateWindow();
}

void put(QLineEdit *field, const QString &text, bool tooltip = true, bool home = false)
{
    field->setText(text);
    if (tooltip)
        field->setToolTip(text);
    if (home)
        field->setCursorPosition(0);
}

} // namespace

void Widget::on_pb_ruk_clicked()
{
    show_active(head_position_picker);
}

// The street stays as it is until a pick arrives: closing the picker without a choice keeps it.
void Widget::on_pb_fadr_clicked()
{
    show_active(actual_address_picker);
}

void Widget::on_pb_padr_clicked()
{
    show_active(postal_address_picker);
}

void Widget::on_pb_golorg_clicked()
{
    show_active(iogv_picker);
}

void Widget::on_pb_okato_clicked()
{
    show_active(okato_picker);
}

void Widget::on_pb_okopf_clicked()
{
    show_active(okopf_picker);
}

void Widget::on_pb_okfs_clicked()
{
    show_active(okfs_picker);
}

void Widget::on_pb_ved_clicked()
{
    show_active(okved_picker);
}

void Widget::on_pb_dop_add_clicked()
{
    show_active(extra_okved_picker);
}

void Widget::on_OKOGU_pb_clicked()
{
    show_active(okogu_picker);
}

void Widget::on_pb_VK_clicked()
{
    show_active(vk_picker);
}

void Widget::on_balance_add_clicked()
{
    show_active(position_picker);
}

void Widget::on_help_Button_clicked()
{
    help_window.setVisible(true);
}

void Widget::on_pb_date_clicked()
{
    fill_date_calendar.setVisible(true);
}

void Widget::on_pb_INN_clicked()
{
    inn_date_calendar.setVisible(true);
}

void Widget::paste_f(QString, QString str2)
{
    put(ui->lineEdit, str2);
}

void Widget::paste_v(QString str1, QString str2)
{
    put(ui->lineEdit_11, str1);
    put(ui->lineEdit_13, str2, true, true);
}

void Widget::paste_okato(QString str1, QString)
{
    put(ui->le_okato, str1);
}

void Widget::paste_fakt_adr(QString, QString str2)
{
    put(ui->lineEdit_23, str2, true, true);
}

void Widget::paste_pocht_adr(QString, QString str2)
{
    put(ui->lineEdit_37, str2, true, true);
}

void Widget::paste_iogv(QString, QString str2)
{
    put(ui->lineEdit_36, str2, true, true);
}

void Widget::paste_okved(QString str1, QString str2)
{
    ui->lineEdit_26->setText(str2);
    ui->lineEdit_26->setToolTip(wrap_tooltip_html(str2));
    ui->lineEdit_26->setCursorPosition(0);
    put(ui->le_osn_ved, str1);
}

void Widget::paste_vk(QString str1, QString str2)
{
    ui->le_VK->setText(str2);
    ui->le_VK->setToolTip(wrap_tooltip_html(str2));
    ui->le_VK->setCursorPosition(0);
    ui->VK_org->setText(str1);
}

void Widget::paste_okogu(QString str1, QString)
{
    ui->OKOGU_le->setText(str1);
}

void Widget::paste_zan(QDate date)
{
    ui->dateZap->setDate(date);
}

void Widget::paste_res2(QDate date)
{
    ui->dateINN->setDate(date);
}

void Widget::on_pb_today_clicked()
{
    ui->dateZap->setDate(QDate::currentDate());
}

void Widget::paste_okfs(QString str1, QString str2)
{
    put(ui->lineEdit_24, str2, true, true);
    put(ui->lineEdit_25, str1);
    if (reserving())
        set_okfs_sphere();
    if (balance::management_sphere(ui->lineEdit_25->text()) == balance::Sphere::federal) {
        show_notice(
            QMessageBox::Question, "Внимание - Федеральная форма собственности",
            "Обращаем Ваше внимание, что коды ОКФС 10, 11, 12 относятся к Федеральному уровню.\n\nВ этом поле очень "
            "часто допускают ошибки, поэтому обратите, пожалуйста, внимание на следующие рекомендации:\n\n- Если "
            "учредителем вашей организации является администрация района, комитет или иной ИОГВ Санкт-Петербурга "
            "(например, у школ, детских садов, поликлиник и т.д.), то Ваш код формы собственности - 13 (Собственность "
            "субъекта РФ, т.е. Санкт-Петербурга).\n- В случае с акционерными обществами (например, в наименовании есть "
            "аббревиатуры АО, ОАО, ПАО, ЗАО, НАО или ООО), ваш код формы собственности не 13, в большинстве случаев "
            "следует выбирать код - 16 (Частная собственность).");
    }
}

void Widget::paste_faset(QString str1, QString str2, QString)
{
    current_row = ui->table_balance->currentIndex().row();
    QAbstractItemModel *model = ui->table_balance->model();
    const bool blocked = model->blockSignals(true);
    if (current_row >= 0) {
        using namespace balance;
        const bool no_facet = str1 == "0";
        model->setData(model->index(current_row, col_facet), no_facet ? QString() : str2, Qt::EditRole);
        model->setData(model->index(current_row, col_facet_code), no_facet ? QString() : str1, Qt::EditRole);
        auto text = [&](int column) { return model->index(current_row, column).data(Qt::DisplayRole).toString(); };
        model->setData(model->index(current_row, col_key),
                       row_key(text(col_kind_code), text(col_cat_code), text(col_code), no_facet ? QString() : str1),
                       Qt::EditRole);
    }
    model->blockSignals(blocked);
    // The view heard nothing of the writes above.
    ui->table_balance->viewport()->update();
    ui->table_balance->setFocus(Qt::OtherFocusReason);
}

void Widget::on_cb_OGV_currentIndexChanged(const QString &) {}

void Widget::on_exit_Button_clicked()
{
    close();
}

void Widget::close_child_windows()
{
    for (QWidget *window : std::initializer_list<QWidget *>{
             &head_position_picker, &okopf_picker, &okato_picker, &actual_address_picker, &okfs_picker, &vk_picker,
             &okogu_picker, &okved_picker, &help_window, &extra_okved_picker, &postal_address_picker, &position_picker,
             &facet_picker, &iogv_picker, &pdp_window})
        window->close();
}
