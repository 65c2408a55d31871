#include "import_xls.h"

Import_xls::Import_xls(QWidget *parent) : QDialog(parent)
{
    setWindowModality(Qt::ApplicationModal);
}
