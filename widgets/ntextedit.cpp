#include "widgets/ntextedit.h"

#include <QKeyEvent>
#include <QTextCursor>

nTextEdit::nTextEdit(QWidget *parent) : QTextEdit(parent) {}

void nTextEdit::set_max_length(int length)
{
    max_length = length;
}

void nTextEdit::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        QTextEdit::keyPressEvent(e);
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab) {
        // No line breaks or tab characters in these fields.
        e->accept();
    } else if (toPlainText().length() != max_length) {
        QTextEdit::keyPressEvent(e);
    } else {
        e->accept();
    }

    // A paste may have gone past the limit: keep the head of the text.
    const QString text = toPlainText();
    if (text.length() > max_length) {
        setPlainText(text.left(max_length));
        moveCursor(QTextCursor::End);
    }
}
