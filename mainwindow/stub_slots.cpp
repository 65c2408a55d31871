// The Excel import is not written yet: its slots keep the form's connections by name.
#include "ui_widget.h"
#include "widget.h"

void Widget::paste_xls(int sheet, int stroka, int stolbets)
{
    xls_sheet = sheet;
    xls_row = stroka;
    xls_col = stolbets;
}
void Widget::import_excel() {}
void Widget::on_pb_import_xls_clicked() {}
void Widget::on_import_bron_clicked() {}
