#include "widgets/ncombobox.h"

#include "balance/balance_rules.h"

#include <QKeyEvent>
#include <QWheelEvent>

NCOMBOBOX::NCOMBOBOX(QWidget *parent) : QComboBox(parent)
{
    for (int kind = 1; kind <= 4; ++kind)
        addItem(balance::kind_word(kind));
}

void NCOMBOBOX::wheelEvent(QWheelEvent *e)
{
    e->accept();
}

void NCOMBOBOX::keyPressEvent(QKeyEvent *e)
{
    e->accept();
}
