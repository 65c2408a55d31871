#pragma once

#include <QMessageBox>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QVector>
#include <QWidget>

#include "classifier/classifier_reader.h"

class PickerRows;

namespace Ui
{
class Form;
}

// How a picker shows its classifier: which columns and searches, and the column it sorts by.
namespace picker_mode
{
enum : int {
    by_code = 0,           // code and name, sorted by code
    by_name = 1,           // code and name, sorted by name
    by_category = 2,       // code and name, sorted by the category value
    names_only = 3,        // names alone, sorted by name; no code search
    positions = 4,         // code, name and category, sorted by name
    positions_no_pick = 5, // as positions, without the pick button
    okved = 6,             // as by_code, the code search masked as an OKVED code
    names_by_code = 7,     // names alone, sorted by code; no code search
};
} // namespace picker_mode

// Picker window for one classifier: a table of codes and names with a search by code
// and by name. A pick is sent as (code, name, category) by sig(). Its widgets are made when
// it is first filled or shown.
class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // Stored only; takes effect when the window is next filled (set_items(), or the first show after hold_items()).
    void set_mode(int mode);
    // Takes the records and fills the window.
    void set_items(QVector<ClassifierRecord> records);
    // Takes the records; the window is built and filled when it is first shown.
    void hold_items(QVector<ClassifierRecord> records);
    void setVisible(bool visible) override;
    // The records as given to set_items() or hold_items().
    const QVector<ClassifierRecord> &records() const { return items; }

signals:
    void sig(QString str1, QString str2, QString str3);

private slots:
    void clear();
    void ermessage();
    void on_dopinfo_toggled(bool);
    void on_pushButton_clicked();
    void on_KlassForm_le_naim_textEdited(QString);
    void on_KlassForm_le_kod_textEdited(QString);
    void selectedItem(QModelIndex index1, QModelIndex index2);

public slots:
    void paste_to_sig(QModelIndex index);

private:
    void apply_filter(int column, const QString &pattern, bool case_insensitive);
    // Builds the window's widgets, once.
    void build_window();
    void fill();

    bool nothing_selected = true;
    QVector<ClassifierRecord> items;
    PickerRows *rows = nullptr;
    QPersistentModelIndex current_index;
    QMessageBox msg_box;
    Ui::Form *ui = nullptr;
    int mode = 0;
    bool items_held = false; // records taken by hold_items() and not yet shown
};
