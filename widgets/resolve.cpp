#include "widgets/resolve.h"
#include "ui_resolve.h"

Resolve::Resolve(QWidget *parent) : QWidget(parent), ui(new Ui::Resolve)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Tool);
    setWindowModality(Qt::ApplicationModal);
    // Days after today (read once) cannot be chosen.
    ui->calendarWidget->setMaximumDate(QDate::currentDate());
}

Resolve::~Resolve()
{
    delete ui;
}

void Resolve::on_pushButton_2_clicked()
{
    close();
}

void Resolve::on_pushButton_clicked()
{
    emit sig_from_calendar(ui->calendarWidget->selectedDate());
    close();
}
