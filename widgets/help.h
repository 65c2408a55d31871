#pragma once

#include <QWidget>

namespace Ui
{
class Help;
}

// Read-only help text with a button that hides the window.
class Help : public QWidget
{
    Q_OBJECT

public:
    explicit Help(QWidget *parent = nullptr);
    ~Help() override;

private slots:
    void on_pushButton_clicked();

private:
    Ui::Help *ui;
};
