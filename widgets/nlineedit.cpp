#include "widgets/nlineedit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>

nLineEdit::nLineEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &nLineEdit::setTT);
}

void nLineEdit::set_home_on_press(bool on)
{
    home_on_press = on;
}

void nLineEdit::set_home_on_focus_out(bool on)
{
    home_on_focus_out = on;
}

void nLineEdit::setTT(QString text)
{
    setToolTip(text);
}

void nLineEdit::mousePressEvent(QMouseEvent *e)
{
    QLineEdit::mousePressEvent(e);
    if (home_on_press)
        setCursorPosition(0);
}

void nLineEdit::focusOutEvent(QFocusEvent *e)
{
    // A long text shows its start or its end once the field is left.
    setCursorPosition(home_on_focus_out ? 0 : text().length());
    QLineEdit::focusOutEvent(e);
    // The field's own context menu does not count as leaving it.
    const QWidget *popup = QApplication::activePopupWidget();
    if (e->reason() != Qt::PopupFocusReason || !popup || popup->parentWidget() != this)
        emit lostFocus();
}
