#include "excelimport/import_xls.h"
#include "ui_import_xls.h"

#include "resources/init_resources.h"

#include <QPixmap>

Import_xls::Import_xls(QWidget *parent) : QDialog(parent), ui(new Ui::Import_xls)
{
    quelt_init_resources();
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
}

Import_xls::~Import_xls()
{
    delete ui;
}

void Import_xls::set_sheets(const bool &f6, const QStringList &sheets)
{
    ui->comboBox->clear();
    ui->comboBox->insertItems(0, sheets);
    ui->label_f6->setVisible(f6);
    ui->label_f10->setVisible(!f6);
    ui->pic->setPixmap(QPixmap(f6 ? ":/images/img/f6exampl.png" : ":/images/img/f10exampl.png"));
    if (!f6 && sheets.size() >= 2)
        ui->comboBox->setCurrentIndex(1);
}

void Import_xls::on_ok_clicked()
{
    const int stolbets = ui->stolbets->value();
    const int stroka = ui->stroka->value();
    emit sig_from_xls(ui->comboBox->currentIndex(), stroka, stolbets);
    accept();
}

void Import_xls::on_cancel_clicked()
{
    reject();
}
