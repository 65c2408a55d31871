// Collecting, saving, opening and refilling a card, and the unfinished-card file.
#include "widget.h"
#include "ui_widget.h"

#include <QCloseEvent>

void Widget::load_from_reg(QString) {}
void Widget::save_to_temp() {}
void Widget::closeEvent(QCloseEvent *event)
{
    // Pickers and help are top-level windows of their own: the program ends only when they go too.
    close_child_windows();
    event->accept();
}
void Widget::open_card_file(const QString &) {}
QVector<QString> Widget::collect_card_values()
{
    return {};
}
void Widget::on_save_Button_clicked() {}
void Widget::on_open_Button_clicked() {}
