#pragma once

#include <QLineEdit>

// One-line field of the main form: the tool tip follows what the user types, and the
// cursor can be sent home after a click or when the field is left.
class nLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit nLineEdit(QWidget *parent = nullptr);

    void set_home_on_press(bool on);
    void set_home_on_focus_out(bool on);

signals:
    // Qt 5's QLineEdit has no such signal; the form's on_<name>_lostFocus() slots hang on it.
    void lostFocus();

public slots:
    void setTT(QString text);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    bool home_on_press = false;
    bool home_on_focus_out = false;
};
