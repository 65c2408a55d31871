#pragma once

#include "classifier/classifier_reader.h"
#include "excelimport/import_xls.h"
#include "widgets/form.h"
#include "widgets/form_pdp.h"
#include "widgets/help.h"
#include "widgets/nprogress.h"
#include "widgets/resolve.h"

#include <QBrush>
#include <QDate>
#include <QMessageBox>
#include <QModelIndex>
#include <QPrinter>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QStringList>
#include <QVector>
#include <QWidget>
#include <functional>

#include <memory>

class QPrintPreviewDialog;
class QWebView;
class spinboxDelegate;
class comboboxDelegate;
class CardCodes;
namespace balance
{
enum class BalanceFault;
enum class F6Fault;
struct TableRowFromCard;
struct F6Figures;
struct BalanceRow;
} // namespace balance
class Workbook;
namespace xls_import
{
enum class FirstCell;
}

namespace Ui
{
class Widget;
}

// The main window: one card, its pages, tables, pickers and dialogs.
class Widget : public QWidget
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    // Opens a card (.quelt) or an unfinished card (.qtemp); any other path is ignored.
    void open_card_file(const QString &path);
    // The card's values as the form holds them now; reads the form, changes nothing in it.
    QVector<QString> collect_card_values() const;

    Ui::Widget *form() const { return ui; }

    // Tidies an organisation's name; touches no field.
    QString normalise_org_name(QString text);
    QString wrap_tooltip_html(const QString &text);
    // Every text field's tool tip shows its whole text again (after a card is loaded).
    void refresh_tooltips();
    // Item 1.5 set from a card: the block follows, nothing is asked and nothing is emptied.
    void set_mobilisation_body(bool present);

    // The form's three switches, each the one reading of its box.
    bool reserving() const;  // item 4, cb_kat_b: the organisation reserves staff
    bool state_body() const; // cb_OGV: the organisation is a state body
    bool mob_body() const;   // item 1.5, cb_MobOrgan: the organisation has a mobilisation body

signals:
    void sig2();

public slots:
    void paste_res2(QDate date);
    void paste_zan(QDate date);
    void paste_f(QString str1, QString str2);
    void paste_v(QString str1, QString str2);
    void paste_okato(QString str1, QString str2);
    void paste_fakt_adr(QString str1, QString str2);
    void paste_okfs(QString str1, QString str2);
    void paste_okogu(QString str1, QString str2);
    void paste_vk(QString str1, QString str2);
    void paste_okved(QString str1, QString str2);
    void paste_neosn(QString str1, QString str2);
    void paste_pocht_adr(QString str1, QString str2);
    void paste_okpdtr(QString str1, QString str2, QString str3);
    void paste_faset(QString str1, QString str2, QString str3);
    void paste_iogv(QString str1, QString str2);
    void paste_xls(int sheet, int stroka, int stolbets);
    void UpdateData_balance(QModelIndex indexA, QModelIndex indexB);
    void pressed_enter_widget();

private slots:
    void on_testButton_clicked();
    void on_copyButton_clicked();
    void on_tabWidget_currentChanged(int arg1);
    void on_help_Button_clicked();
    void on_exit_Button_clicked();
    void on_save_Button_clicked();
    void on_open_Button_clicked();
    void on_print_Button_clicked();
    void on_pb_today_clicked();
    void on_pb_zaglav2_clicked();
    void on_pb_zaglav_clicked();
    void on_cb_MobOrgan_currentIndexChanged(const QString &arg1);
    void on_pb_date_clicked();
    void on_le_DolgVur_textEdited(const QString &arg1);
    void on_pb_ruk_clicked();
    void on_pb_golorg_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_6_clicked();
    void on_lineEdit_36_textEdited(const QString &arg1);
    void on_lineEdit_10_textEdited(const QString &arg1);
    void on_pb_padr_clicked();
    void on_pb_fadr_clicked();
    void on_le_dop_ved_lostFocus();
    void on_pb_dop_sort_clicked();
    void on_cb_OGV_currentIndexChanged(const QString &arg1);
    void on_OKOGU_pb_clicked();
    void on_pb_INN_clicked();
    void on_pb_dop_del_clicked();
    void on_pb_dop_add_clicked();
    void on_pb_ved_clicked();
    void on_pb_okfs_clicked();
    void on_pb_okato_clicked();
    void on_pb_okopf_clicked();
    void on_pb_VK_clicked();
    void on_checkBox_kolont_stateChanged(int arg1);
    void on_cb_kat_b_currentIndexChanged(const QString &arg1);
    void on_sb_f6_bron_all_valueChanged(int arg1);
    void on_sb_f6_priziv_valueChanged(int arg1);
    void on_sb_f6_all_valueChanged(int arg1);
    void on_sb_f6_gpz_valueChanged(int arg1);
    void on_sb_f6_bron_neof_valueChanged(int arg1);
    void on_sb_f6_bron_of_valueChanged(int arg1);
    void on_sb_f6_mp_valueChanged(int arg1);
    void on_checkBox_f6_resize_stateChanged(int arg1);
    void on_checkBox_balance_vnutr_ist_stateChanged(int arg1);
    void on_checkBox_balance_voenshtat_stateChanged(int arg1);
    void on_balance_pdp_clicked();
    void on_pb_import_xls_clicked();
    void on_checkBox_balance_itogi_stateChanged(int arg1);
    void on_checkBox_balance_hiden_stateChanged(int arg1);
    void on_table_balance_entered(const QModelIndex &index);
    void on_table_balance_activated(const QModelIndex &index);
    void on_balance_faset_clicked();
    void on_checkBox_balance_vid_pr_stateChanged(int arg1);
    void on_checkBox_balance_dop_stateChanged(int arg1);
    void on_balance_delete_clicked();
    void on_balance_sort_clicked();
    void on_balance_add_clicked();
    void on_sb_f6_neof_valueChanged(int arg1);
    void on_sb_f6_of_valueChanged(int arg1);
    void on_cb_neGPZ_stateChanged(int arg1);
    void on_cb_GPZ_stateChanged(int arg1);
    void on_import_bron_clicked();
    void on_del_nebron_clicked();
    void on_add_nebron_clicked();
    void on_del_bron_clicked();
    void on_add_bron_clicked();
    int OGRN_check();
    int INN_check();
    int OKPO_check();
    void load_from_reg(QString str);
    void save_to_temp();
    void clear_to_reg();
    void import_excel();
    void summ_same();
    void add_balance_row();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void apply_edition();
    // One message in the window's box with a single Ok; `styled` sets the card file's font size.
    void show_notice(QMessageBox::Icon icon, const QString &title, const QString &text, bool styled = false);
    // A warning that asks "Подтверждаю" or "Отменить"; the standard button pressed (Ok or Cancel).
    int ask_to_confirm(const QString &title, const QString &text);
    void setup_table_models();
    void load_pickers();
    // Each picker's mode and the slot its pick goes to.
    void connect_pickers();
    // At start: the question on an unfinished card left by the last session.
    void remind_of_unfinished_card();
    void close_child_windows();
    // The item 1.5 block of the mobilisation body's head shown or hidden.
    void show_mobilisation_block(bool shown);
    // Loads one carried classifier into classifier_reader; a file that does not open is logged.
    void load_classifier(const char *file);
    // The records of a carried classifier: a picker's since start-up, or read now when no picker holds it.
    const QVector<ClassifierRecord> &classifier_records(const char *file);
    // Each carried classifier of start-up with its progress title and the pickers that hold it.
    struct ClassifierLoad;
    QVector<ClassifierLoad> classifier_loads();

    int current_row = 0;
    int current_col = 0;
    balance::F6Fault f6_error{};
    int access_tries = 0;
    int xls_row = 0;
    int xls_col = 0;
    int xls_sheet = 0;
    int temp_saved = 0;
    bool access_granted = false;
    int copy_icon_number = 4;

    ClassifierReader classifier_reader;
    Form head_position_picker;
    Form okopf_picker;
    Form okato_picker;
    Form actual_address_picker;
    Form okfs_picker;
    Form okved_picker;
    Form extra_okved_picker;
    Form postal_address_picker;
    Form position_picker;
    Form facet_picker;
    Form iogv_picker;
    Form vk_picker;
    Form okogu_picker;
    Form_pdp pdp_window;
    Resolve inn_date_calendar;
    Resolve fill_date_calendar;
    nProgress progress_window;
    Help help_window;
    Import_xls xls_dialog;

    QString classifier_dir;
    QStringList number_words[4];
    QStringList iogv_ogrn_list;

    QMessageBox msg_box;
    QVector<QString> saved_snapshot;
    QBrush grey_brush;
    QBrush red_brush;
    QBrush yellow_brush;

    QStandardItemModel *balance_model = nullptr;
    QStandardItemModel *bron_model = nullptr;
    QStandardItemModel *nebron_model = nullptr;
    QStandardItem *item_prototype = nullptr;
    spinboxDelegate *spin_delegate = nullptr;
    comboboxDelegate *combo_delegate = nullptr;

    Ui::Widget *ui;
    QWebView *web_view = nullptr;
    QPrinter printer;
    QPrintPreviewDialog *preview_dialog = nullptr;

    // ---- staff page (balance/) ----
public:
    // Form 6 consistency check: sets f6_error and the error label, returns the first fault.
    balance::F6Fault check_f6();
    // The balance table sorted by key, the one way (balance::sort_model_rows()); the current and the selected
    // cells follow their rows.
    void sort_balance_table();
    // The Form 6 figures as the boxes show them.
    balance::F6Figures form6_figures() const;
    // Item 4 and the mobilisation staff column set from a card: the layout follows, nothing is
    // asked and no figure is emptied.
    void set_reservation(bool reserving);
    void set_mobilisation_staff_column(bool shown);

private:
    // Every balance total into its spin boxes.
    void summ_every_total();
    // The totals named by the balance::Total bits in `totals`.
    void summ_totals(unsigned totals);
    // Every total from the table's rows as given, in one pass each.
    void show_every_total(const QVector<balance::BalanceRow> &rows);
    // The cells of a new row as add_balance_row makes them (one per column, null where there is none).
    QList<QStandardItem *> new_row_cells() const;
    // Appends rows in their order in one insertion, each made as add_balance_row makes one; quietly.
    void append_balance_rows(const QVector<balance::BalanceRow> &rows);
    // Whole-column changes of the column switches, each row with its arithmetic.
    void copy_shtat_to_treb();
    void clear_vnutr_ist();
    void show_reservation_parts(bool reserving);
    void show_mobilisation_staff_column(bool shown);
    void set_okfs_sphere();
    // Spreads the balance columns over the table's width (the staff page only).
    void relayout_balance_columns();
    void form6_rest();
    void move_balance_cursor(int row, int column);
    int confirm_row_deletion(class QTableView *view, const QString &no_row_text);
    void delete_reservation_row(class QTableView *view, QStandardItemModel *model);
    // Set while the row arithmetic writes its results back: the writes' own change signals are
    // not computed again.
    bool balance_writing = false;
    // Set while a card's rows fill the table: the totals a change makes stale are gathered here and summed once
    // at the end (summing the whole table after every cell made a large card take hours to open).
    bool balance_totals_deferred = false;
    unsigned deferred_balance_totals = 0;
    // ---- end of staff page ----

    // ---- card check (validation/) ----
    friend class TestCardCheck;
    // The hard check of the whole card; false after its list of faults was shown.
    bool check_card();
    // Trims the free-text fields, tidies the names and shortens the house-number words.
    void tidy_card_fields();
    // The gate in front of saving and printing: false abandons the output.
    bool check_before_output();
    // The balance table's part of the card check: sorts the table and returns the first fault;
    // a repeated key is shown in its own box.
    balance::BalanceFault check_balance_table();
    // One soft question of the gate: true when the user chose to go back ("Да").
    bool ask_to_go_back(QMessageBox::Icon icon, const QString &title, const QString &text, bool yes_is_default);
    // ---- end of card check ----

    // ---- card file (cardfile/) ----
    friend class TestCardWindow;
    friend class TestHostileCards;
    // Row lists of the three tables, each in the order it is saved in; empty unless the organisation reserves
    // staff. The tables on screen stay as they are.
    QVector<QString> collect_balance_rows() const;
    QVector<QString> collect_bron_rows() const;
    QVector<QString> collect_nebron_rows() const;
    // The tidy-up's part for what collecting leaves in the form, also run on opening a card: the names with
    // single blanks, the e-mail without blanks, the reserved and not-reserved tables shown in the order they are
    // saved in.
    void tidy_collected_fields();
    // Puts a card into every page and table without asking anything; a card file's card then counts as saved
    // (an unfinished card does not).
    void fill_from_card(const QVector<QString> &main, const QVector<QString> &balance, const QVector<QString> &bron,
                        const QVector<QString> &nebron, bool counts_as_saved = true);
    // The parts of collect_card_values, each writing its slots of the main list.
    void collect_heads_and_addresses(QVector<QString> &v) const;
    void collect_codes_and_figures(QVector<QString> &v) const;
    void collect_reservation_fields(QVector<QString> &v) const;
    // The parts of fill_from_card: the main list's fields, then each table.
    void fill_heads_and_addresses(CardCodes &codes);
    void fill_codes_and_figures(CardCodes &codes);
    void fill_reservation_fields(CardCodes &codes);
    void fill_balance_table(const QVector<QString> &main, const QVector<QString> &balance);
    void fill_reservation_tables(const QVector<QString> &main, const QVector<QString> &bron,
                                 const QVector<QString> &nebron);
    // Appends one balance row from a card.
    void put_card_row(const balance::TableRowFromCard &cells);
    void start_fill_progress(const char *title);
    // The card as last saved or opened, all four lists, for the question on closing.
    void take_snapshot(const QVector<QString> &main, const QVector<QString> &balance, const QVector<QString> &bron,
                       const QVector<QString> &nebron);
    // Whether the card differs from the one last saved or opened; changes nothing on screen.
    bool card_changed() const;
    // The save command past its gate: asks for the file and writes the card.
    void save_card_as();
    // Writes the unfinished-card file; true when it is in place.
    bool write_temp_card(const QString &path);
    // Shows one notice in msg_box with the single button Ok.
    QVector<QString> saved_balance_snapshot;
    QVector<QString> saved_bron_snapshot;
    QVector<QString> saved_nebron_snapshot;
    // ---- end of card file ----

    // ---- Excel import (excelimport/) ----
    friend class TestExcelImport;

public:
    // The balance rows first_row .. end_row - 1 of a sheet into the table, from the press of OK to the
    // sorted table (replace mode empties it first).
    void import_balance_rows(Workbook &book, int sheet, int first_row, int end_row, int column, bool add_mode);

private:
    QString choose_workbook_file(QWidget *parent);
    // Null when the file cannot be read; refusal then gets the box text.
    std::unique_ptr<Workbook> open_workbook_connection(const QString &path, QString *refusal);
    // The closing box; whatever the answer, the workbook is closed and freed.
    void close_workbook_connection(std::unique_ptr<Workbook> &book);
    // One notice with Ok, kept above other windows.
    void show_import_notice(QMessageBox::Icon icon, const QString &title, const QString &text);
    // "Принять" (Save) or "Пропустить" (Cancel) under the title "Импорт из файла".
    int ask_import_question(const QString &text, QMessageBox::StandardButton default_button);
    // Runs the first-cell dialog for one part; reports a zero coordinate itself.
    xls_import::FirstCell ask_first_cell(bool f6, const QStringList &sheets);
    bool start_import_part(const QString &question, bool f6, const QStringList &sheet_names, const QString &skip_title,
                           const QString &skip_text);
    void import_form6_figures(Workbook &book, const QStringList &sheet_names, bool add_mode);
    void import_balance(Workbook &book, const QStringList &sheet_names, bool add_mode);
    void import_reservation_sheet(const QString &question, const QString &missing_sheet_text, const QString &stop_place,
                                  const std::function<int()> &fill);
    void import_bron_sheet(Workbook &book);
    void import_nebron_sheet(Workbook &book, int sheet_count);
    // ---- end of Excel import ----
    // ---- printing (printing/) ----
public:
    // The version printed on the documents: major, ".20", minor.
    static constexpr qint8 version_major = 3;
    static constexpr qint8 version_minor = 25;
    // The builders: each returns the document's HTML, built from the collected card list.
    QString print_card();
    // Also sorts the balance table and sets the five figures its body works out.
    QString print_balance();
    // Shows its warning first when item 4 lacks the basis document.
    QString print_zaya();
    QString print_soglash();
    // The desktop's logical dpi unless a test sets one; the builders and the print view turn it into the print dpi.
    int print_dpi() const;
    int print_dpi_override = 0;
    // Whether the system has a print queue; tests replace it.
    std::function<bool()> printer_available;

private:
    friend class TestPrintWindow;
    QRect preview_geometry() const;
    // The choice of document when the organisation reserves staff: sets the orientation and returns it built.
    QString choose_document();
    // Shows the progress window; returns the dpi to build for.
    int start_print();
    // ---- end of printing ----
};
