#pragma once

#include <QTextEdit>

// Multi-line field with a length limit that takes no line break or tab from the keyboard.
class nTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    explicit nTextEdit(QWidget *parent = nullptr);

    void set_max_length(int length);

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    int max_length = 5;
};
