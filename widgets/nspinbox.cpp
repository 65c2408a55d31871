#include "widgets/nspinbox.h"

#include <QKeyEvent>
#include <QWheelEvent>

nSpinBox::nSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setMaximum(99999);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAlignment(Qt::AlignHCenter);
}

void nSpinBox::wheelEvent(QWheelEvent *e)
{
    // Neither the value nor the page under the box moves.
    e->accept();
}

void nSpinBox::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextPrevChild(true);
        emit sig_press_enter();
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down) {
        e->accept();
        return;
    }
    QSpinBox::keyPressEvent(e);
}
