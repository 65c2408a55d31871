#include "widgets/nprogress.h"
#include "ui_nprogress.h"

#include <QGuiApplication>
#include <QScreen>

nProgress::nProgress(QWidget *parent) : QWidget(parent), ui(new Ui::nProgress)
{
    ui->setupUi(this);
    QScreen *screen = this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(placement(screen->availableGeometry()));
}

nProgress::~nProgress()
{
    delete ui;
}

QRect nProgress::placement(const QRect &available)
{
    // Counted from the desktop origin, a little below the middle of the area.
    const int w2 = available.width() / 2;
    const int h2 = available.height() / 2;
    return QRect(w2 - 200, h2 - 30, 400, 100);
}

void nProgress::set_title(QString str)
{
    setWindowTitle(str);
    ui->label->setText(str);
}

void nProgress::set_text(QString str)
{
    ui->label->setText(str);
}

void nProgress::set_procent(int value)
{
    // QProgressBar ignores values outside its range, so an overshoot leaves the bar as it was.
    ui->progressBar->setValue(value);
}

void nProgress::set_iterator(int iterator)
{
    this->iterator = iterator;
}

void nProgress::add_value()
{
    ui->progressBar->setValue(ui->progressBar->value() + iterator);
}

void nProgress::clear_source()
{
    ui->progressBar->setValue(0);
    iterator = 0;
    set_title(QString());
}

void nProgress::set_progress_bar_visible(bool visible)
{
    ui->progressBar->setVisible(visible);
}
