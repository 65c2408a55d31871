// The whole-card check, the tidy-up and the gate in front of saving and printing.
#include "widget.h"
#include "ui_widget.h"

void Widget::OGRN_check() {}
void Widget::INN_check() {}
void Widget::OKPO_check() {}
bool Widget::check_card()
{
    return true;
}
void Widget::tidy_card_fields() {}
bool Widget::check_before_output()
{
    return true;
}
