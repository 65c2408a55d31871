#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui
{
class Import_xls;
}

// First-cell coordinates dialog of the Excel import: the sheet, the row and the column where a block starts.
class Import_xls : public QDialog
{
    Q_OBJECT
public:
    explicit Import_xls(QWidget *parent = nullptr);
    ~Import_xls() override;

    // Prepares one use: the sheet list and the mode (f6: the Form 6 figures; otherwise the balance rows,
    // which preselects the second sheet when there is one). Row and column keep their last values.
    void set_sheets(const bool &f6, const QStringList &sheets);

signals:
    // Sheet index (-1 with no sheet), first row, first column.
    void sig_from_xls(int sheet, int stroka, int stolbets);

private slots:
    void on_cancel_clicked();
    void on_ok_clicked();

private:
    Ui::Import_xls *ui;
};
