#pragma once

#include <QDate>
#include <QWidget>

namespace Ui
{
class Resolve;
}

// Date-choice window: sends the selected day on "Выбрать" and closes.
class Resolve : public QWidget
{
    Q_OBJECT

public:
    explicit Resolve(QWidget *parent = nullptr);
    ~Resolve() override;

signals:
    void sig_from_calendar(QDate date);

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();

private:
    Ui::Resolve *ui;
};
