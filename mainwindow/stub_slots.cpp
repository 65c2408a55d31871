// Printing is not written yet: its slot keeps the form's connection by name.
#include "ui_widget.h"
#include "widget.h"

void Widget::on_print_Button_clicked() {}
