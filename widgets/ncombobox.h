#pragma once

#include <QComboBox>

// Production-kind editor of the balance table: four fixed kinds, chosen with the mouse only.
class NCOMBOBOX : public QComboBox
{
    Q_OBJECT

public:
    explicit NCOMBOBOX(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
