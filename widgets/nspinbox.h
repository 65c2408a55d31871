#pragma once

#include <QSpinBox>

// Number field of the form and of table cells: 0 to 99999, no arrows, centred; the wheel
// and Up/Down do not change it; Enter moves on and announces itself.
class nSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    explicit nSpinBox(QWidget *parent = nullptr);

signals:
    void sig_press_enter();

protected:
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
