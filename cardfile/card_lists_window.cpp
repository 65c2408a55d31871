// The card lists read from the window's widgets and written back into them.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_model_io.h"
#include "balance/balance_rules.h"
#include "balance/card_balance_row.h"
#include "balance/row_fault_boxes.h"
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "cardfile/kept_codes.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace
{

using card_lists::to_int;
using card_lists::value_at;

const char *const title_fill_balance = "Заполнение Баланса ТР";
const char *const title_invalid_code = "Код должности НЕДЕЙСТВИТЕЛЕН!";
const char *const text_invalid_code_head = "В Балансе в строке ";
const char *const text_invalid_code_tail = " обнаружен код должности, который был изменен или аннулирован. Пожалуйста, "
                                           "проверьте Баланс после окончания импорта.";
const char *const title_balance_2022 = "Изменение формы баланса в 2022 году";
const char *const text_balance_2022 =
    "Внимание! В 2022 году Мобилизационным управлением Администрации Губернатора Санкт-Петербурга утверждена новая "
    "форма МПЭ-10орг (Баланс обеспеченности трудовыми ресурсами).\nПрограмма ''Морвель'' автоматически пересчитала "
    "ранее введенные сведения под новую форму, однако ещё раз перепроверьте данные на вкладке Баланс.";
const char *const title_fill_bron = "Заполнение данных по ГПЗ - забронированные";
const char *const title_fill_nebron = "Заполнение данных по ГПЗ - небронированные";
const char *const default_city = "Санкт-Петербург";

// Fields named in the notice on stored codes the carried classifiers do not know.
const char *const field_actual_street = "Фактический адрес, улица (п.2.1)";
const char *const field_postal_street = "Почтовый адрес, улица (п.2.2)";
const char *const field_okato = "Код ОКАТО (п.3.4)";
const char *const field_okopf = "Код ОКОПФ (п.3.6)";
const char *const field_okfs = "Код ОКФС (п.3.7)";
const char *const field_okved = "Код ОКВЭД (п.3.8)";
const char *const field_office = "Военкомат (п.4.1)";

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

QString phone_rule(const QLineEdit *field)
{
    return field->text() == card_lists::empty_phone ? QString() : field->text();
}

QString date_text(const QDateEdit *edit)
{
    return edit->date().toString(card_lists::date_format);
}

QString cell_text(const QStandardItemModel *model, int row, int column)
{
    const QStandardItem *item = model->item(row, column);
    return item ? item->text() : QString();
}

// Sets a text edit's plain text only when it differs, so an unchanged field keeps its cursor.
void set_plain_text(QTextEdit *edit, const QString &text)
{
    if (edit->toPlainText() != text)
        edit->setPlainText(text);
}

void set_text_home(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

void set_date(QDateEdit *edit, const QString &text)
{
    const QDate date = QDate::fromString(text, card_lists::date_format);
    if (date.isValid())
        edit->setDate(date);
}

void set_item(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// The mobilisation body's head: each field with its slot.
QVector<QPair<int, QLineEdit *>> mob_head_fields(const Ui::Widget *ui)
{
    return {{card_slot::DolgRukMO, ui->DolgRukMO}, {card_slot::FamRukMO, ui->FamRukMO},
            {card_slot::ImRukMO, ui->ImRukMO},     {card_slot::OtRukMO, ui->OtRukMO},
            {card_slot::TelRukMO, ui->TelRukMO},   {card_slot::DopRukMO, ui->DopRukMO},
            {card_slot::FaxRukMO, ui->FaxRukMO}};
}

// One line of the training block: document, date and place, each with its slot.
struct TrainingFields {
    int document_slot;
    int date_slot;
    int place_slot;
    QLineEdit *document;
    QDateEdit *date;
    QComboBox *place;
};

QVector<TrainingFields> training_fields(const Ui::Widget *ui)
{
    using namespace card_slot;
    return {{ob_ruk, ob_ruk_date, ob_ruk_gou, ui->ob_ruk, ui->ob_ruk_date, ui->ob_ruk_gou},
            {ob_vur, ob_vur_date, ob_vur_gou, ui->ob_vur, ui->ob_vur_date, ui->ob_vur_gou},
            {ob_mob, ob_mob_date, ob_mob_gou, ui->ob_mob, ui->ob_mob_date, ui->ob_mob_gou}};
}

// The order a reservation table is saved in.
struct TableOrder {
    int column;
    Qt::SortOrder order;
};
const TableOrder bron_order{bron_pos::full_name, Qt::AscendingOrder};
const TableOrder nebron_order{nebron_pos::count, Qt::DescendingOrder};

// The model's rows in the order its own sort by `by` gives them (stable, rows without a cell in the column last);
// the model stays as it is.
QVector<int> rows_in_order(const QStandardItemModel *model, const TableOrder &by)
{
    QVector<int> with_cell, without_cell;
    for (int r = 0; r < model->rowCount(); ++r)
        (model->item(r, by.column) ? with_cell : without_cell).append(r);
    const auto before = [&](int a, int b) {
        const QStandardItem &first = *model->item(a, by.column), &second = *model->item(b, by.column);
        return by.order == Qt::AscendingOrder ? first < second : second < first;
    };
    std::stable_sort(with_cell.begin(), with_cell.end(), before);
    return with_cell + without_cell;
}

// Rows to build: the count slot says how many, the list says how many there are.
int stored_row_count(const QVector<QString> &main, int count_slot, const QVector<QString> &rows, int row_size)
{
    return qMax(0, qMin(to_int(value_at(main, count_slot)), rows.size() / row_size));
}

} // namespace

// ---- Reading the window ----

QVector<QString> Widget::collect_card_values() const
{
    // Slots no widget feeds stay empty.
    QVector<QString> v(card_lists::main_size);
    collect_heads_and_addresses(v);
    collect_codes_and_figures(v);
    collect_reservation_fields(v);
    return v;
}

void Widget::collect_heads_and_addresses(QVector<QString> &v) const
{
    using namespace card_slot;
    v[te_orgname] = ui->te_orgname->toPlainText().simplified();
    v[lineEdit] = ui->lineEdit->text();
    v[le_FamRuk] = ui->le_FamRuk->text();
    v[le_ImRuk] = ui->le_ImRuk->text();
    v[le_OtRuk] = ui->le_OtRuk->text();
    v[le_TelRuk] = phone_rule(ui->le_TelRuk);
    v[le_FaxRuk] = phone_rule(ui->le_FaxRuk);
    v[le_DolgVur] = ui->le_DolgVur->text();
    v[le_FamVur] = ui->le_FamVur->text();
    v[le_ImVur] = ui->le_ImVur->text();
    v[le_OtVur] = ui->le_OtVur->text();
    v[le_TelVur] = phone_rule(ui->le_TelVur);
    v[lineEdit_21] = ui->lineEdit_21->text();
    v[lineEdit_8] = ui->lineEdit_8->text();
    v[lineEdit_18] = ui->lineEdit_18->text();

    // A street name goes into the card as its code in the street list.
    const auto street_code = [&](const QLineEdit *field) {
        const QString name = field->text();
        if (name.isEmpty())
            return QStringLiteral("0");
        // The address pickers hold the street list from start-up.
        for (const ClassifierRecord &record : actual_address_picker.records()) {
            if (record.name == name)
                return record.code;
        }
        // A stored code the list does not know goes back as it came.
        const QString kept = kept_codes::street_code(name);
        if (!kept.isEmpty())
            return kept;
        // Only a changed classifier gets here: the slot still holds one value.
        return QStringLiteral("0");
    };
    v[lineEdit_23] = street_code(ui->lineEdit_23);
    v[lineEdit_9] = ui->lineEdit_9->text();
    v[checkBox_balance_voenshtat] =
        u(ui->checkBox_balance_voenshtat->isChecked() ? card_lists::staff_for_task : card_lists::staff_peace);
    v[lineEdit_31] = ui->lineEdit_31->text();
    v[lineEdit_37] = street_code(ui->lineEdit_37);
    v[lineEdit_34] = ui->lineEdit_34->text();
    v[lineEdit_35] = ui->lineEdit_35->text();
    v[lineEdit_29] = ui->lineEdit_29->text();

    v[lineEdit_10] = ui->lineEdit_10->text().remove(' ');
    v[lineEdit_36] = ui->lineEdit_36->text();
}

void Widget::collect_codes_and_figures(QVector<QString> &v) const
{
    using namespace card_slot;
    const bool reserving = Widget::reserving();
    v[le_INN] = ui->le_INN->text().remove(' ');
    v[le_OGRN] = ui->le_OGRN->text();
    v[le_okato] = ui->le_okato->text();
    v[le_OKPO] = ui->le_OKPO->text();
    v[lineEdit_11] = ui->lineEdit_11->text();
    v[lineEdit_25] = ui->lineEdit_25->text();
    v[le_osn_ved] = ui->le_osn_ved->text();
    v[le_dop_ved] = ui->le_dop_ved->text();
    v[sb_f6_all] = ui->sb_f6_all->text();
    v[sb_f6_of] = ui->sb_f6_of->text();
    v[sb_f6_neof] = ui->sb_f6_neof->text();
    v[sb_f6_mp] = ui->sb_f6_mp->text();
    v[sb_f6_priziv] = ui->sb_f6_priziv->text();
    v[sb_f6_bron_of] = ui->sb_f6_bron_of->text();
    v[sb_f6_bron_neof] = ui->sb_f6_bron_neof->text();
    v[cb_kat_b] = u(reserving ? card_lists::category_reserving : card_lists::category_not_reserving);
    v[OKOGU_le] = state_body() ? ui->OKOGU_le->text() : QString();
    v[cb_sf_ved] = ui->cb_sf_ved->currentText();
    v[cb_OGV] = ui->cb_OGV->currentText();
    v[te_up_l] = ui->te_up_l->toPlainText();
    v[te_up_r] = ui->te_up_r->toPlainText();
    v[te_down_l] = ui->te_down_l->toPlainText();
    v[te_dopinfo] = ui->te_dopinfo->toPlainText();
    v[dateZap] = date_text(ui->dateZap);
    v[lineEdit_24] = ui->lineEdit_24->text();
    v[le_RegNo] = ui->le_RegNo->text().isEmpty() ? QStringLiteral("0") : ui->le_RegNo->text();
    v[te_orgname2] = ui->te_orgname2->toPlainText().simplified();
    v[le_FaxVur] = phone_rule(ui->le_FaxVur);
    v[le_DopRuk] = ui->le_DopRuk->text();
    v[le_DopVur] = ui->le_DopVur->text();
    v[sb_kol_vred] = QString::number(ui->sb_kol_vred->value());
    v[sb_kol_opas] = QString::number(ui->sb_kol_opas->value());
    for (const TrainingFields &line : training_fields(ui)) {
        v[line.document_slot] = line.document->text();
        v[line.date_slot] = date_text(line.date);
        v[line.place_slot] = line.place->currentText().trimmed();
    }
    v[te_down_r] = ui->te_down_r->toPlainText();
    v[lineEdit_46] = ui->lineEdit_46->text();
    v[le_KPP] = ui->le_KPP->text();
    v[dateINN] = date_text(ui->dateINN);
}

void Widget::collect_reservation_fields(QVector<QString> &v) const
{
    using namespace card_slot;
    const bool reserving = Widget::reserving();
    const bool mob_body = Widget::mob_body();
    v[balance_row_count] = reserving ? QString::number(balance_model->rowCount()) : QStringLiteral("0");
    v[bron_row_count] = reserving ? QString::number(bron_model->rowCount()) : QStringLiteral("0");
    v[nebron_row_count] = reserving ? QString::number(nebron_model->rowCount()) : QStringLiteral("0");
    if (reserving) {
        const QList<QPair<int, QSpinBox *>> totals = {
            {sb_b_bron, ui->sb_b_bron},         {sb_b_rab, ui->sb_b_rab},
            {sb_b_ruk, ui->sb_b_ruk},           {sb_b_slug, ui->sb_b_slug},
            {sb_b_spec, ui->sb_b_spec},         {sb_b_sum_mp, ui->sb_b_sum_mp},
            {sb_b_sum_treb, ui->sb_b_sum_treb}, {sb_b_sum_vnutr, ui->sb_b_sum_vnutr}};
        for (const auto &total : totals)
            v[total.first] = QString::number(total.second->value());
        v[VK_org] = ui->VK_org->text().isEmpty() ? QStringLiteral("0") : ui->VK_org->text();
        v[NPA_doc] = ui->NPA_doc->text().simplified();
        v[NPA_no] = ui->NPA_no->text().simplified();
        v[NPA_date] = date_text(ui->NPA_date);
    }

    v[cb_MobOrgan] = u(mob_body ? card_lists::yes : card_lists::no);
    v[cb_MobOrgan_2] = mob_body ? ui->cb_MobOrgan_2->currentText() : u(card_lists::no);
    if (mob_body) {
        for (const auto &field : mob_head_fields(ui))
            v[field.first] = field.second->text();
    }
}

QVector<QString> Widget::collect_balance_rows() const
{
    QVector<QString> rows;
    if (!reserving())
        return rows;
    using namespace balance;
    // In the order sort_balance_table() gives.
    QVector<BalanceRow> table = rows_from_model(*balance_model);
    sort_rows(table);
    const bool for_task = ui->checkBox_balance_voenshtat->isChecked();
    for (const BalanceRow &row : qAsConst(table))
        rows << stored_values_from_table(row, for_task);
    return rows;
}

QVector<QString> Widget::collect_bron_rows() const
{
    QVector<QString> rows;
    if (!reserving())
        return rows;
    for (const int r : rows_in_order(bron_model, bron_order)) {
        for (int column = 0; column < card_lists::bron_row_size; ++column)
            rows << cell_text(bron_model, r, column).left(bron_pos::max_length);
    }
    return rows;
}

QVector<QString> Widget::collect_nebron_rows() const
{
    QVector<QString> rows;
    if (!reserving())
        return rows;
    for (const int r : rows_in_order(nebron_model, nebron_order)) {
        rows << cell_text(nebron_model, r, nebron_pos::count)
             << cell_text(nebron_model, r, nebron_pos::reason).left(nebron_pos::max_length)
             << cell_text(nebron_model, r, nebron_pos::extra).left(nebron_pos::max_length);
    }
    return rows;
}

void Widget::tidy_collected_fields()
{
    set_plain_text(ui->te_orgname, ui->te_orgname->toPlainText().simplified());
    set_plain_text(ui->te_orgname2, ui->te_orgname2->toPlainText().simplified());
    const QString email = ui->lineEdit_10->text().remove(' ');
    if (email != ui->lineEdit_10->text())
        ui->lineEdit_10->setText(email);
    if (reserving()) {
        bron_model->sort(bron_order.column, bron_order.order);
        nebron_model->sort(nebron_order.column, nebron_order.order);
    }
}

// ---- The saved state ----

void Widget::take_snapshot(const QVector<QString> &main, const QVector<QString> &balance, const QVector<QString> &bron,
                           const QVector<QString> &nebron)
{
    saved_snapshot = main;
    saved_balance_snapshot = balance;
    saved_bron_snapshot = bron;
    saved_nebron_snapshot = nebron;
}

bool Widget::card_changed() const
{
    return collect_card_values() != saved_snapshot || collect_balance_rows() != saved_balance_snapshot ||
           collect_bron_rows() != saved_bron_snapshot || collect_nebron_rows() != saved_nebron_snapshot;
}

// ---- Writing the window ----

// Stored codes written into their fields. A code the carried list does not know is kept in the window
// and named in one notice at the end; "0" and the empty text stand for no code.
class CardCodes
{
public:
    using Loader = std::function<const QVector<ClassifierRecord> &(const char *file)>;
    CardCodes(const QVector<QString> &main, Loader load) : main(main), load(std::move(load)) {}

    QString slot(int n) const { return value_at(main, n); }
    const QVector<QString> &main_list() const { return main; }

    // Every look-up loads its classifier afresh; the last record with the code wins.
    ClassifierRecord look_up(const char *file, const QString &code, bool *known)
    {
        ClassifierRecord found;
        *known = false;
        for (const ClassifierRecord &record : load(file)) {
            if (record.code == code) {
                found = record;
                *known = true;
            }
        }
        return found;
    }

    bool is_unknown(bool known, const QString &code, const char *field)
    {
        if (known || code.isEmpty() || code == "0")
            return false;
        unknown_codes.append({u(field), code});
        return true;
    }

    // A field that cannot hold a kept code as it is (its length or mask) is left empty: a cut code
    // would name something else.
    bool keep_in(QLineEdit *edit, const QString &text)
    {
        edit->setText(text);
        if (edit->text() == text)
            return true;
        edit->setText(QString());
        unknown_codes.last().kept = false;
        return false;
    }

    void set_street(QLineEdit *edit, int street_slot, const char *field)
    {
        const QString code = slot(street_slot);
        bool known = false;
        const QString name = look_up(classifier_file::addresses, code, &known).name;
        if (is_unknown(known, code, field))
            keep_in(edit, kept_codes::street_text(code));
        else
            edit->setText(name);
    }

    // A code field alone.
    void set_code(const char *file, int code_slot, const char *field, QLineEdit *code_edit)
    {
        const QString code = slot(code_slot);
        bool known = false;
        const QString found = look_up(file, code, &known).code;
        if (is_unknown(known, code, field))
            keep_in(code_edit, code);
        else
            code_edit->setText(found);
    }

    // A code field with its name field: an unknown code stays, with `kept_name` beside it.
    void set_coded(const char *file, int code_slot, const char *field, QLineEdit *code_edit, QLineEdit *name_edit,
                   const QString &kept_name = QString())
    {
        const QString code = slot(code_slot);
        bool known = false;
        const ClassifierRecord record = look_up(file, code, &known);
        if (is_unknown(known, code, field)) {
            set_text_home(name_edit, keep_in(code_edit, code) ? kept_name : QString());
            return;
        }
        code_edit->setText(record.code);
        set_text_home(name_edit, record.name);
    }

    QVector<kept_codes::UnknownCode> unknown_codes;

private:
    const QVector<QString> &main;
    Loader load;
};

void Widget::fill_from_card(const QVector<QString> &main, const QVector<QString> &balance, const QVector<QString> &bron,
                            const QVector<QString> &nebron, bool counts_as_saved)
{
    CardCodes codes(main,
                    [this](const char *file) -> const QVector<ClassifierRecord> & { return classifier_records(file); });
    if (main.size() > 53) {
        fill_heads_and_addresses(codes);
        fill_codes_and_figures(codes);
        fill_reservation_fields(codes);
        refresh_tooltips();
    }
    fill_balance_table(main, balance);
    fill_reservation_tables(main, bron, nebron);

    if (counts_as_saved) {
        tidy_collected_fields();
        take_snapshot(collect_card_values(), collect_balance_rows(), collect_bron_rows(), collect_nebron_rows());
    }

    if (!codes.unknown_codes.isEmpty())
        show_notice(QMessageBox::Information, kept_codes::notice_title(), kept_codes::notice_text(codes.unknown_codes));
}

void Widget::fill_heads_and_addresses(CardCodes &codes)
{
    const auto slot = [&codes](int n) { return codes.slot(n); };
    set_plain_text(ui->te_orgname, slot(card_slot::te_orgname));
    const QList<QPair<int, QLineEdit *>> head = {
        {card_slot::lineEdit, ui->lineEdit},   {card_slot::le_FamRuk, ui->le_FamRuk},
        {card_slot::le_ImRuk, ui->le_ImRuk},   {card_slot::le_OtRuk, ui->le_OtRuk},
        {card_slot::le_TelRuk, ui->le_TelRuk}, {card_slot::le_FaxRuk, ui->le_FaxRuk}};
    for (const auto &field : head)
        field.second->setText(slot(field.first));
    set_text_home(ui->le_DolgVur, slot(card_slot::le_DolgVur));
    ui->le_FamVur->setText(slot(card_slot::le_FamVur));
    ui->le_ImVur->setText(slot(card_slot::le_ImVur));
    ui->le_OtVur->setText(slot(card_slot::le_OtVur));
    ui->le_TelVur->setText(slot(card_slot::le_TelVur));

    // Item 1.5 follows the card without the question the user gets when switching it off.
    const bool mob_body = card_lists::mob_body(codes.main_list());
    set_mobilisation_body(mob_body);
    ui->cb_MobOrgan_2->setCurrentIndex(mob_body && slot(card_slot::cb_MobOrgan_2) == card_lists::yes ? 1 : 0);
    // A card without the body leaves no head of another card's body behind.
    for (const auto &field : mob_head_fields(ui))
        field.second->setText(mob_body ? slot(field.first) : QString());

    set_text_home(ui->lineEdit_21, slot(card_slot::lineEdit_21));
    set_text_home(ui->lineEdit_8, slot(card_slot::lineEdit_8));
    set_text_home(ui->lineEdit_18, slot(card_slot::lineEdit_18));
    codes.set_street(ui->lineEdit_23, card_slot::lineEdit_23, field_actual_street);
    set_text_home(ui->lineEdit_9, slot(card_slot::lineEdit_9));
    set_text_home(ui->lineEdit_31, slot(card_slot::lineEdit_31));
    codes.set_street(ui->lineEdit_37, card_slot::lineEdit_37, field_postal_street);
    set_text_home(ui->lineEdit_34, slot(card_slot::lineEdit_34));
    set_text_home(ui->lineEdit_35, slot(card_slot::lineEdit_35));
    ui->lineEdit_29->setText(slot(card_slot::lineEdit_29));
    set_text_home(ui->lineEdit_10, slot(card_slot::lineEdit_10));
    set_text_home(ui->lineEdit_36, slot(card_slot::lineEdit_36));
}

void Widget::fill_codes_and_figures(CardCodes &codes)
{
    const auto slot = [&codes](int n) { return codes.slot(n); };
    ui->le_INN->setText(slot(card_slot::le_INN));
    // The document keeps the INN in place of a missing OGRN; an empty INN says nothing of the OGRN.
    const bool no_ogrn = !slot(card_slot::le_INN).isEmpty() && slot(card_slot::le_OGRN) == slot(card_slot::le_INN);
    ui->le_OGRN->setText(no_ogrn ? QStringLiteral("0") : slot(card_slot::le_OGRN));
    codes.set_code(classifier_file::okato, card_slot::le_okato, field_okato, ui->le_okato);
    ui->le_OKPO->setText(slot(card_slot::le_OKPO));
    codes.set_coded(classifier_file::okopf, card_slot::lineEdit_11, field_okopf, ui->lineEdit_11, ui->lineEdit_13);
    codes.set_coded(classifier_file::okfs, card_slot::lineEdit_25, field_okfs, ui->lineEdit_25, ui->lineEdit_24);
    codes.set_coded(classifier_file::okved, card_slot::le_osn_ved, field_okved, ui->le_osn_ved, ui->lineEdit_26);
    ui->le_dop_ved->setText(slot(card_slot::le_dop_ved));
    on_pb_dop_sort_clicked();

    if (slot(card_slot::cb_kat_b) == card_lists::category_not_reserving)
        set_reservation(false);
    ui->OKOGU_le->setText(slot(card_slot::OKOGU_le));
    set_item(ui->cb_sf_ved, slot(card_slot::cb_sf_ved));
    set_item(ui->cb_OGV, slot(card_slot::cb_OGV));
    set_plain_text(ui->te_dopinfo, slot(card_slot::te_dopinfo));
    set_date(ui->dateZap, slot(card_slot::dateZap));
    // "0" stands for no number: the previous card's number must not stay.
    ui->le_RegNo->setText(card_lists::number_or_none(slot(card_slot::le_RegNo)));
    set_plain_text(ui->te_orgname2, slot(card_slot::te_orgname2));
    ui->le_FaxVur->setText(slot(card_slot::le_FaxVur));
    ui->le_DopRuk->setText(slot(card_slot::le_DopRuk));
    ui->le_DopVur->setText(slot(card_slot::le_DopVur));
    ui->sb_kol_vred->setValue(to_int(slot(card_slot::sb_kol_vred)));
    ui->sb_kol_opas->setValue(to_int(slot(card_slot::sb_kol_opas)));
    ui->sb_f6_all->setValue(to_int(slot(card_slot::sb_f6_all)));
    ui->sb_f6_of->setValue(to_int(slot(card_slot::sb_f6_of)));
    ui->sb_f6_neof->setValue(to_int(slot(card_slot::sb_f6_neof)));
    ui->sb_f6_mp->setValue(to_int(slot(card_slot::sb_f6_mp)));
    ui->sb_f6_priziv->setValue(to_int(slot(card_slot::sb_f6_priziv)));
}

void Widget::fill_reservation_fields(CardCodes &codes)
{
    const auto slot = [&codes](int n) { return codes.slot(n); };
    // What only a reserving organisation fills starts from empty.
    ui->sb_f6_bron_of->setValue(0);
    ui->sb_f6_bron_neof->setValue(0);
    for (QLineEdit *field : {static_cast<QLineEdit *>(ui->VK_org), static_cast<QLineEdit *>(ui->le_VK),
                             static_cast<QLineEdit *>(ui->NPA_doc), static_cast<QLineEdit *>(ui->NPA_no)})
        field->setText(QString());
    const QDate no_date(2000, 1, 1);
    const QVector<TrainingFields> training = training_fields(ui);
    for (const TrainingFields &line : training) {
        line.document->setText(QString());
        line.date->setDate(no_date);
        line.place->setCurrentIndex(0);
    }

    if (card_lists::reserving(codes.main_list())) {
        set_reservation(true);
        ui->NPA_doc->setText(slot(card_slot::NPA_doc));
        ui->NPA_no->setText(slot(card_slot::NPA_no));
        set_date(ui->NPA_date, slot(card_slot::NPA_date));
        // The office's name field must not stay empty: the card check asks for it.
        codes.set_coded(classifier_file::offices, card_slot::VK_org, field_office, ui->VK_org, ui->le_VK,
                        kept_codes::office_text(slot(card_slot::VK_org)));
        ui->sb_f6_bron_of->setValue(to_int(slot(card_slot::sb_f6_bron_of)));
        // Kept here too, so that a card without balance rows keeps its figure.
        ui->sb_f6_bron_neof->setValue(to_int(slot(card_slot::sb_f6_bron_neof)));
        for (const TrainingFields &line : training) {
            line.document->setText(slot(line.document_slot));
            set_date(line.date, slot(line.date_slot));
            line.place->setEditText(slot(line.place_slot));
        }
    }

    set_plain_text(ui->te_up_l, slot(card_slot::te_up_l));
    set_plain_text(ui->te_up_r, slot(card_slot::te_up_r));
    set_plain_text(ui->te_down_l, slot(card_slot::te_down_l));
    set_plain_text(ui->te_down_r, slot(card_slot::te_down_r));
    ui->lineEdit_46->setText(slot(card_slot::lineEdit_46).isEmpty() ? u(default_city) : slot(card_slot::lineEdit_46));
    ui->le_KPP->setText(slot(card_slot::le_KPP));
    set_date(ui->dateINN, slot(card_slot::dateINN));
    set_mobilisation_staff_column(slot(card_slot::checkBox_balance_voenshtat) == card_lists::staff_for_task);
}

void Widget::start_fill_progress(const char *title)
{
    progress_window.clear_source();
    progress_window.set_title(u(title));
    progress_window.show();
    progress_window.set_procent(0);
}

void Widget::fill_balance_table(const QVector<QString> &main, const QVector<QString> &balance)
{
    balance_model->removeRows(0, balance_model->rowCount());
    if (balance.size() < card_lists::balance_row_size)
        return;
    const bool for_task = value_at(main, card_slot::checkBox_balance_voenshtat) == card_lists::staff_for_task;
    set_mobilisation_staff_column(for_task);
    const int count = stored_row_count(main, card_slot::balance_row_count, balance, card_lists::balance_row_size);
    const float step = count > 0 ? 100.0f / count : 0.0f;
    float done = 0;
    start_fill_progress(title_fill_balance);

    // Position and facet names are looked up once for the whole table.
    balance::CardRowNames names;
    for (const ClassifierRecord &record : classifier_records(classifier_file::positions))
        names.positions.insert(record.code, record.name);
    for (const ClassifierRecord &record : classifier_records(classifier_file::facets))
        names.facets.insert(record.code, record.name);

    // A card full of codes the list does not know boxes the first few rows; the rest are named once at the end.
    balance::RowFaultBoxes invalid_codes(balance::RowFault::position_code);
    balance_totals_deferred = true;
    deferred_balance_totals = balance::total_none;
    for (current_row = 0; current_row < count; ++current_row) {
        const balance::TableRowFromCard cells =
            balance::table_row_from_card(balance::stored_balance_row(balance, current_row), names, for_task);
        put_card_row(cells);
        const int number = current_row + 1;
        if (cells.invalid_code && invalid_codes.own_box(number))
            show_notice(QMessageBox::Critical, u(title_invalid_code),
                        u(text_invalid_code_head) + QString::number(number) + u(text_invalid_code_tail), false);
        done += step;
        progress_window.set_procent(int(done));
    }
    balance_totals_deferred = false;
    summ_totals(deferred_balance_totals);
    progress_window.close();
    sort_balance_table();
    update();
    const QString folded_codes = invalid_codes.closing_text();
    if (!folded_codes.isEmpty())
        show_notice(QMessageBox::Critical, u(title_invalid_code), folded_codes, false);
    if (card_file_version <= balance::last_eight_value_version)
        show_notice(QMessageBox::Information, u(title_balance_2022), u(text_balance_2022), false);
    const int reserved_neof = to_int(value_at(main, card_slot::sb_f6_bron_neof));
    ui->sb_f6_bron_neof->setValue(
        reserved_neof > 0 ? reserved_neof : ui->sb_b_bron->value() - to_int(value_at(main, card_slot::sb_f6_bron_of)));
    check_f6();
}

void Widget::put_card_row(const balance::TableRowFromCard &cells)
{
    const int before = balance_model->rowCount();
    add_balance_row();
    if (balance_model->rowCount() == before)
        balance_model->insertRow(balance_model->rowCount());
    const int row = balance_model->rowCount() - 1;
    const auto set = [&](const QPair<int, QVariant> &cell) {
        balance_model->setData(balance_model->index(row, cell.first), cell.second, Qt::EditRole);
    };
    balance_model->blockSignals(true);
    for (const auto &cell : cells.identity)
        set(cell);
    balance_model->blockSignals(false);
    for (const auto &cell : cells.figures)
        set(cell);
}

void Widget::fill_reservation_tables(const QVector<QString> &main, const QVector<QString> &bron,
                                     const QVector<QString> &nebron)
{
    // Rows appended through their buttons, then filled cell by cell.
    const auto fill_table = [&](QStandardItemModel *model, const QVector<QString> &rows, int row_size, int count_slot,
                                const char *title, void (Widget::*add_row)()) {
        model->removeRows(0, model->rowCount());
        const int count = stored_row_count(main, count_slot, rows, row_size);
        const float step = count > 0 ? 100.0f / count : 0.0f;
        float done = 0;
        start_fill_progress(title);
        for (int r = 0; r < count; ++r) {
            const int before = model->rowCount();
            (this->*add_row)();
            if (model->rowCount() == before)
                model->insertRow(model->rowCount());
            const int row = model->rowCount() - 1;
            for (int column = 0; column < row_size; ++column) {
                const QString value = rows.at(r * row_size + column);
                model->setData(model->index(row, column),
                               model == nebron_model && column == nebron_pos::count ? balance::figure_cell(value)
                                                                                    : QVariant(value),
                               Qt::EditRole);
            }
            done += step;
            progress_window.set_procent(int(done));
        }
        progress_window.close();
        update();
    };
    if (bron.size() > 2)
        fill_table(bron_model, bron, card_lists::bron_row_size, card_slot::bron_row_count, title_fill_bron,
                   &Widget::on_add_bron_clicked);
    else
        bron_model->removeRows(0, bron_model->rowCount());
    if (nebron.size() > 1)
        fill_table(nebron_model, nebron, card_lists::nebron_row_size, card_slot::nebron_row_count, title_fill_nebron,
                   &Widget::on_add_nebron_clicked);
    else
        nebron_model->removeRows(0, nebron_model->rowCount());
}
