// The staff page: balance table, Form 6 figures, reservation tables and the item 4 switch.
#include "widget.h"
#include "ui_widget.h"

#include <QResizeEvent>

void Widget::paste_okpdtr(QString, QString, QString) {}
void Widget::UpdateData_balance(QModelIndex, QModelIndex) {}
void Widget::pressed_enter_widget() {}
void Widget::summ_same() {}
void Widget::add_balance_row() {}
void Widget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}
void Widget::on_cb_kat_b_currentIndexChanged(const QString &) {}
void Widget::on_sb_f6_bron_all_valueChanged(int) {}
void Widget::on_sb_f6_priziv_valueChanged(int) {}
void Widget::on_sb_f6_all_valueChanged(int) {}
void Widget::on_sb_f6_gpz_valueChanged(int) {}
void Widget::on_sb_f6_bron_neof_valueChanged(int) {}
void Widget::on_sb_f6_bron_of_valueChanged(int) {}
void Widget::on_sb_f6_mp_valueChanged(int) {}
void Widget::on_checkBox_f6_resize_stateChanged(int) {}
void Widget::on_checkBox_balance_vnutr_ist_stateChanged(int) {}
void Widget::on_checkBox_balance_voenshtat_stateChanged(int) {}
void Widget::on_balance_pdp_clicked() {}
void Widget::on_checkBox_balance_itogi_stateChanged(int) {}
void Widget::on_checkBox_balance_hiden_stateChanged(int) {}
void Widget::on_table_balance_entered(const QModelIndex &) {}
void Widget::on_table_balance_activated(const QModelIndex &) {}
void Widget::on_balance_faset_clicked() {}
void Widget::on_checkBox_balance_vid_pr_stateChanged(int) {}
void Widget::on_checkBox_balance_dop_stateChanged(int) {}
void Widget::on_balance_delete_clicked() {}
void Widget::on_balance_sort_clicked() {}
void Widget::on_sb_f6_neof_valueChanged(int) {}
void Widget::on_sb_f6_of_valueChanged(int) {}
void Widget::on_cb_neGPZ_stateChanged(int) {}
void Widget::on_cb_GPZ_stateChanged(int) {}
void Widget::on_del_nebron_clicked() {}
void Widget::on_add_nebron_clicked() {}
void Widget::on_del_bron_clicked() {}
void Widget::on_add_bron_clicked() {}
void Widget::check_f6() {}
void Widget::set_reservation(bool) {}
void Widget::set_mobilisation_staff_column(bool) {}
