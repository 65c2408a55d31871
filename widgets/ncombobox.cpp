#include "ncombobox.h"

#include <QKeyEvent>
#include <QWheelEvent>

NCOMBOBOX::NCOMBOBOX(QWidget *parent) : QComboBox(parent)
{
    insertItems(0, tr("Основное,Вспомогательное,Др.службы,Пр.рабочие").split(","));
}

void NCOMBOBOX::wheelEvent(QWheelEvent *e)
{
    e->accept();
}

void NCOMBOBOX::keyPressEvent(QKeyEvent *e)
{
    e->accept();
}
