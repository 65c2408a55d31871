#pragma once

#include <QDialog>

// First-cell coordinates dialog of the Excel import.
class Import_xls : public QDialog
{
    Q_OBJECT
public:
    explicit Import_xls(QWidget *parent = nullptr);

signals:
    // Sheet index, first row, first column.
    void sig_from_xls(int sheet, int stroka, int stolbets);
};
