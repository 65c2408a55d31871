// The card lists read from the window's widgets and written back into them.
#include "ui_widget.h"
#include "widget.h"

#include "card_lists.h"
#include "iexml.h"
#include "kept_codes.h"

#include <QHash>

namespace
{

using card_lists::to_int;
using card_lists::value_at;

const char *const date_format = "yyyy-MM-dd";
const char *const empty_phone = "()---";

const char *const title_fill_balance = "Заполнение Баланса ТР";
const char *const text_invalid_code = "!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!";
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

// Last card format version whose balance had eight values a row.
constexpr int last_old_balance_version = 14;

const char *const category_words[] = {"Руководители", "Специалисты", "Служащие", "Рабочие"};
const char *const kind_words[] = {"Основное", "Вспомогательное", "Др.службы", "Пр.рабочие"};

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

QString phone_rule(const QLineEdit *field)
{
    return field->text() == empty_phone ? QString() : field->text();
}

QString date_text(const QDateEdit *edit)
{
    return edit->date().toString(date_format);
}

QString cell_text(const QStandardItemModel *model, int row, int column)
{
    const QStandardItem *item = model->item(row, column);
    return item ? item->text() : QString();
}

// A slot that a short list does not hold reads as empty.
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
    const QDate date = QDate::fromString(text, date_format);
    if (date.isValid())
        edit->setDate(date);
}

void set_item(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// Figures go into table cells as integers, other text as it is.
QVariant cell_value(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? QVariant(value) : QVariant(text);
}

} // namespace

// ---- Reading the window ----

QVector<QString> Widget::collect_card_values()
{
    QVector<QString> v;
    v.reserve(card_lists::main_size);
    const bool reserving = ui->cb_kat_b->currentText() == card_lists::yes;
    const bool mob_body = ui->cb_MobOrgan->currentText() == card_lists::yes;

    set_plain_text(ui->te_orgname, ui->te_orgname->toPlainText().simplified());
    set_plain_text(ui->te_orgname2, ui->te_orgname2->toPlainText().simplified());

    v << ui->te_orgname->toPlainText() << ui->lineEdit->text() << ui->le_FamRuk->text() << ui->le_ImRuk->text()
      << ui->le_OtRuk->text() << phone_rule(ui->le_TelRuk) << phone_rule(ui->le_FaxRuk) << ui->le_DolgVur->text()
      << ui->le_FamVur->text() << ui->le_ImVur->text() << ui->le_OtVur->text() << phone_rule(ui->le_TelVur) << QString()
      << QString() << ui->lineEdit_21->text() << ui->lineEdit_8->text() << ui->lineEdit_18->text();

    load_classifier(classifier_file::addresses);
    const auto street_code = [this](const QLineEdit *field) {
        const QString name = field->text();
        if (name.isEmpty())
            return QStringLiteral("0");
        for (const ClassifierRecord &record : classifier_reader.records) {
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
    v << street_code(ui->lineEdit_23) << ui->lineEdit_9->text()
      << u(ui->checkBox_balance_voenshtat->isChecked() ? card_lists::staff_for_task : card_lists::staff_peace)
      << ui->lineEdit_31->text() << street_code(ui->lineEdit_37) << ui->lineEdit_34->text() << ui->lineEdit_35->text()
      << ui->lineEdit_29->text();

    const QString email = ui->lineEdit_10->text().remove(' ');
    if (email != ui->lineEdit_10->text())
        ui->lineEdit_10->setText(email);
    v << email << ui->lineEdit_36->text() << ui->le_INN->text().remove(' ') << ui->le_OGRN->text()
      << ui->le_okato->text() << ui->le_OKPO->text() << ui->lineEdit_11->text() << ui->lineEdit_25->text()
      << ui->le_osn_ved->text() << ui->le_dop_ved->text() << ui->sb_f6_all->text() << ui->sb_f6_of->text()
      << ui->sb_f6_neof->text() << ui->sb_f6_mp->text() << ui->sb_f6_priziv->text() << ui->sb_f6_bron_of->text()
      << ui->sb_f6_bron_neof->text() << QString() << QString()
      << u(reserving ? card_lists::category_reserving : card_lists::category_not_reserving)
      << (ui->cb_OGV->currentText() == card_lists::no ? QString() : ui->OKOGU_le->text())
      << ui->cb_sf_ved->currentText() << ui->cb_OGV->currentText() << ui->te_up_l->toPlainText()
      << ui->te_up_r->toPlainText() << ui->te_down_l->toPlainText() << ui->te_dopinfo->toPlainText()
      << date_text(ui->dateZap) << ui->lineEdit_24->text()
      << (ui->le_RegNo->text().isEmpty() ? QStringLiteral("0") : ui->le_RegNo->text()) << ui->te_orgname2->toPlainText()
      << phone_rule(ui->le_FaxVur) << ui->le_DopRuk->text() << ui->le_DopVur->text()
      << QString::number(ui->sb_kol_vred->value()) << QString::number(ui->sb_kol_opas->value()) << ui->ob_ruk->text()
      << date_text(ui->ob_ruk_date) << ui->ob_ruk_gou->currentText().trimmed() << ui->ob_vur->text()
      << date_text(ui->ob_vur_date) << ui->ob_vur_gou->currentText().trimmed() << ui->ob_mob->text()
      << date_text(ui->ob_mob_date) << ui->ob_mob_gou->currentText().trimmed();
    for (int slot = card_slot::first_always_empty_block; slot <= card_slot::last_always_empty_block; ++slot)
        v << QString();
    v << ui->te_down_r->toPlainText();
    for (int slot = card_slot::te_down_r + 1; slot < card_slot::lineEdit_46; ++slot)
        v << QString();
    v << ui->lineEdit_46->text();

    if (reserving) {
        v << QString::number(balance_model->rowCount());
        for (QSpinBox *total :
             {static_cast<QSpinBox *>(ui->sb_b_bron), static_cast<QSpinBox *>(ui->sb_b_rab),
              static_cast<QSpinBox *>(ui->sb_b_ruk), static_cast<QSpinBox *>(ui->sb_b_slug),
              static_cast<QSpinBox *>(ui->sb_b_spec), static_cast<QSpinBox *>(ui->sb_b_sum_mp),
              static_cast<QSpinBox *>(ui->sb_b_sum_treb), static_cast<QSpinBox *>(ui->sb_b_sum_vnutr)})
            v << QString::number(total->value());
        v << (ui->VK_org->text().isEmpty() ? QStringLiteral("0") : ui->VK_org->text());
    } else {
        v << QStringLiteral("0");
        for (int slot = card_slot::sb_b_bron; slot <= card_slot::VK_org; ++slot)
            v << QString();
    }

    v << ui->le_KPP->text() << date_text(ui->dateINN);

    if (reserving)
        v << ui->NPA_doc->text().simplified() << ui->NPA_no->text().simplified()
          << QString::number(bron_model->rowCount()) << QString::number(nebron_model->rowCount())
          << date_text(ui->NPA_date);
    else
        v << QString() << QString() << QStringLiteral("0") << QStringLiteral("0") << QString();

    if (mob_body) {
        v << u(card_lists::yes) << ui->cb_MobOrgan_2->currentText();
        for (const QLineEdit *field :
             {ui->DolgRukMO, ui->FamRukMO, ui->ImRukMO, ui->OtRukMO, ui->TelRukMO, ui->DopRukMO, ui->FaxRukMO})
            v << field->text();
    } else {
        v << u(card_lists::no) << u(card_lists::no);
        for (int slot = card_slot::DolgRukMO; slot <= card_slot::FaxRukMO; ++slot)
            v << QString();
    }
    Q_ASSERT(v.size() == card_lists::main_size);
    return v;
}

QVector<QString> Widget::collect_balance_rows()
{
    QVector<QString> rows;
    if (ui->cb_kat_b->currentText() != card_lists::yes)
        return rows;
    balance_model->sort(0, Qt::AscendingOrder);
    const bool for_task = ui->checkBox_balance_voenshtat->isChecked();
    for (int r = 0; r < balance_model->rowCount(); ++r) {
        const auto cell = [&](int column) { return cell_text(balance_model, r, column); };
        rows << cell(20) << cell(2) << cell(3) << cell(19) << cell(8) << cell(9) << cell(11)
             << (for_task ? cell(7) : cell(6)) << QString() << cell(6);
    }
    return rows;
}

QVector<QString> Widget::collect_bron_rows()
{
    QVector<QString> rows;
    if (ui->cb_kat_b->currentText() != card_lists::yes)
        return rows;
    bron_model->sort(4, Qt::AscendingOrder);
    for (int r = 0; r < bron_model->rowCount(); ++r) {
        for (int column = 0; column < card_lists::bron_row_size; ++column)
            rows << cell_text(bron_model, r, column).left(bron_pos::max_length);
    }
    return rows;
}

QVector<QString> Widget::collect_nebron_rows()
{
    QVector<QString> rows;
    if (ui->cb_kat_b->currentText() != card_lists::yes)
        return rows;
    nebron_model->sort(0, Qt::DescendingOrder);
    for (int r = 0; r < nebron_model->rowCount(); ++r) {
        rows << cell_text(nebron_model, r, 0) << cell_text(nebron_model, r, 1).left(nebron_pos::max_length)
             << cell_text(nebron_model, r, 2).left(nebron_pos::max_length);
    }
    return rows;
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

bool Widget::card_changed()
{
    current_snapshot = collect_card_values();
    return current_snapshot != saved_snapshot || collect_balance_rows() != saved_balance_snapshot ||
           collect_bron_rows() != saved_bron_snapshot || collect_nebron_rows() != saved_nebron_snapshot;
}

// ---- Writing the window ----

void Widget::fill_from_card(const QVector<QString> &main, const QVector<QString> &balance, const QVector<QString> &bron,
                            const QVector<QString> &nebron, bool counts_as_saved)
{
    const auto slot = [&main](int n) { return value_at(main, n); };
    // Every look-up loads its classifier afresh; the last record with the code wins.
    const auto look_up = [this](const char *file, const QString &code, bool *known = nullptr) {
        load_classifier(file);
        ClassifierRecord found;
        bool matched = false;
        for (const ClassifierRecord &record : classifier_reader.records) {
            if (record.code == code) {
                found = record;
                matched = true;
            }
        }
        if (known)
            *known = matched;
        return found;
    };
    // A stored code the carried list does not know is kept in the window and named in one notice at
    // the end; "0" and the empty text stand for no code.
    QVector<kept_codes::UnknownCode> unknown_codes;
    const auto is_unknown = [&](bool known, const QString &code, const char *field) {
        if (known || code.isEmpty() || code == "0")
            return false;
        unknown_codes.append({u(field), code});
        return true;
    };
    // A field that cannot hold a kept code as it is (its length or mask) is left empty: a cut code
    // would name something else.
    const auto keep_in = [&](QLineEdit *edit, const QString &text) {
        edit->setText(text);
        if (edit->text() == text)
            return true;
        edit->setText(QString());
        unknown_codes.last().kept = false;
        return false;
    };
    const auto set_street = [&](QLineEdit *edit, int street_slot, const char *field) {
        const QString code = slot(street_slot);
        bool known = false;
        const QString name = look_up(classifier_file::addresses, code, &known).name;
        if (is_unknown(known, code, field))
            keep_in(edit, kept_codes::street_text(code));
        else
            edit->setText(name);
    };
    // A code field with its name field: an unknown code stays, with `kept_name` beside it.
    const auto set_coded = [&](const char *file, int code_slot, const char *field, QLineEdit *code_edit,
                               QLineEdit *name_edit, const QString &kept_name) {
        const QString code = slot(code_slot);
        bool known = false;
        const ClassifierRecord record = look_up(file, code, &known);
        if (is_unknown(known, code, field)) {
            set_text_home(name_edit, keep_in(code_edit, code) ? kept_name : QString());
            return;
        }
        code_edit->setText(record.code);
        set_text_home(name_edit, record.name);
    };

    if (main.size() > 53) {
        set_plain_text(ui->te_orgname, slot(card_slot::te_orgname));
        const QList<QLineEdit *> head = {ui->lineEdit, ui->le_FamRuk, ui->le_ImRuk,
                                         ui->le_OtRuk, ui->le_TelRuk, ui->le_FaxRuk};
        for (int i = 0; i < head.size(); ++i)
            head.at(i)->setText(slot(card_slot::lineEdit + i));
        set_text_home(ui->le_DolgVur, slot(card_slot::le_DolgVur));
        ui->le_FamVur->setText(slot(card_slot::le_FamVur));
        ui->le_ImVur->setText(slot(card_slot::le_ImVur));
        ui->le_OtVur->setText(slot(card_slot::le_OtVur));
        ui->le_TelVur->setText(slot(card_slot::le_TelVur));

        // Item 1.5 follows the card without the question the user gets when switching it off.
        const bool mob_body = slot(card_slot::cb_MobOrgan) == card_lists::yes;
        set_mobilisation_body(mob_body);
        ui->cb_MobOrgan_2->setCurrentIndex(mob_body && slot(card_slot::cb_MobOrgan_2) == card_lists::yes ? 1 : 0);
        const QList<QLineEdit *> mob_fields = {ui->DolgRukMO, ui->FamRukMO, ui->ImRukMO, ui->OtRukMO,
                                               ui->TelRukMO,  ui->DopRukMO, ui->FaxRukMO};
        // A card without the body leaves no head of another card's body behind.
        for (int i = 0; i < mob_fields.size(); ++i)
            mob_fields.at(i)->setText(mob_body ? slot(card_slot::DolgRukMO + i) : QString());

        set_text_home(ui->lineEdit_21, slot(card_slot::lineEdit_21));
        set_text_home(ui->lineEdit_8, slot(card_slot::lineEdit_8));
        set_text_home(ui->lineEdit_18, slot(card_slot::lineEdit_18));
        set_street(ui->lineEdit_23, card_slot::lineEdit_23, field_actual_street);
        set_text_home(ui->lineEdit_9, slot(card_slot::lineEdit_9));
        set_text_home(ui->lineEdit_31, slot(card_slot::lineEdit_31));
        set_street(ui->lineEdit_37, card_slot::lineEdit_37, field_postal_street);
        set_text_home(ui->lineEdit_34, slot(card_slot::lineEdit_34));
        set_text_home(ui->lineEdit_35, slot(card_slot::lineEdit_35));
        ui->lineEdit_29->setText(slot(card_slot::lineEdit_29));
        set_text_home(ui->lineEdit_10, slot(card_slot::lineEdit_10));
        set_text_home(ui->lineEdit_36, slot(card_slot::lineEdit_36));
        ui->le_INN->setText(slot(card_slot::le_INN));
        // The document keeps the INN in place of a missing OGRN; an empty INN says nothing of the OGRN.
        const bool no_ogrn = !slot(card_slot::le_INN).isEmpty() && slot(card_slot::le_OGRN) == slot(card_slot::le_INN);
        ui->le_OGRN->setText(no_ogrn ? QStringLiteral("0") : slot(card_slot::le_OGRN));
        {
            const QString code = slot(card_slot::le_okato);
            bool known = false;
            const QString found = look_up(classifier_file::okato, code, &known).code;
            if (is_unknown(known, code, field_okato))
                keep_in(ui->le_okato, code);
            else
                ui->le_okato->setText(found);
        }
        ui->le_OKPO->setText(slot(card_slot::le_OKPO));
        set_coded(classifier_file::okopf, card_slot::lineEdit_11, field_okopf, ui->lineEdit_11, ui->lineEdit_13,
                  QString());
        set_coded(classifier_file::okfs, card_slot::lineEdit_25, field_okfs, ui->lineEdit_25, ui->lineEdit_24,
                  QString());
        set_coded(classifier_file::okved, card_slot::le_osn_ved, field_okved, ui->le_osn_ved, ui->lineEdit_26,
                  QString());
        ui->le_dop_ved->setText(slot(card_slot::le_dop_ved));
        on_pb_dop_sort_clicked();

        const QString category = slot(card_slot::cb_kat_b);
        if (category == card_lists::category_not_reserving)
            set_reservation(false);
        ui->OKOGU_le->setText(slot(card_slot::OKOGU_le));
        set_item(ui->cb_sf_ved, slot(card_slot::cb_sf_ved));
        set_item(ui->cb_OGV, slot(card_slot::cb_OGV));
        set_plain_text(ui->te_dopinfo, slot(card_slot::te_dopinfo));
        set_date(ui->dateZap, slot(card_slot::dateZap));
        // "0" stands for no number: the previous card's number must not stay.
        ui->le_RegNo->setText(slot(card_slot::le_RegNo) == "0" ? QString() : slot(card_slot::le_RegNo));
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

        // What only a reserving organisation fills starts from empty.
        ui->sb_f6_bron_of->setValue(0);
        ui->sb_f6_bron_neof->setValue(0);
        for (QLineEdit *field : {static_cast<QLineEdit *>(ui->VK_org), static_cast<QLineEdit *>(ui->le_VK),
                                 static_cast<QLineEdit *>(ui->NPA_doc), static_cast<QLineEdit *>(ui->NPA_no)})
            field->setText(QString());
        const QDate no_date(2000, 1, 1);
        const QList<QLineEdit *> trained = {ui->ob_ruk, ui->ob_vur, ui->ob_mob};
        const QList<QDateEdit *> trained_dates = {ui->ob_ruk_date, ui->ob_vur_date, ui->ob_mob_date};
        const QList<QComboBox *> trained_at = {ui->ob_ruk_gou, ui->ob_vur_gou, ui->ob_mob_gou};
        for (int i = 0; i < trained.size(); ++i) {
            trained.at(i)->setText(QString());
            trained_dates.at(i)->setDate(no_date);
            trained_at.at(i)->setCurrentIndex(0);
        }

        if (category == card_lists::category_reserving) {
            set_reservation(true);
            ui->NPA_doc->setText(slot(card_slot::NPA_doc));
            ui->NPA_no->setText(slot(card_slot::NPA_no));
            set_date(ui->NPA_date, slot(card_slot::NPA_date));
            // The office's name field must not stay empty: the card check asks for it.
            set_coded(classifier_file::offices, card_slot::VK_org, field_office, ui->VK_org, ui->le_VK,
                      kept_codes::office_text(slot(card_slot::VK_org)));
            ui->sb_f6_bron_of->setValue(to_int(slot(card_slot::sb_f6_bron_of)));
            // Kept here too, so that a card without balance rows keeps its figure.
            ui->sb_f6_bron_neof->setValue(to_int(slot(card_slot::sb_f6_bron_neof)));
            for (int i = 0; i < trained.size(); ++i) {
                trained.at(i)->setText(slot(card_slot::ob_ruk + 3 * i));
                set_date(trained_dates.at(i), slot(card_slot::ob_ruk_date + 3 * i));
                trained_at.at(i)->setEditText(slot(card_slot::ob_ruk_gou + 3 * i));
            }
        }

        set_plain_text(ui->te_up_l, slot(card_slot::te_up_l));
        set_plain_text(ui->te_up_r, slot(card_slot::te_up_r));
        set_plain_text(ui->te_down_l, slot(card_slot::te_down_l));
        set_plain_text(ui->te_down_r, slot(card_slot::te_down_r));
        ui->lineEdit_46->setText(slot(card_slot::lineEdit_46).isEmpty() ? u(default_city)
                                                                        : slot(card_slot::lineEdit_46));
        ui->le_KPP->setText(slot(card_slot::le_KPP));
        set_date(ui->dateINN, slot(card_slot::dateINN));
        set_mobilisation_staff_column(slot(card_slot::checkBox_balance_voenshtat) == card_lists::staff_for_task);
        refresh_tooltips();
    }

    // Rows to build: the count slot says how many, the list says how many there are.
    const auto row_count = [&](int count_slot, const QVector<QString> &rows, int row_size) {
        return qMax(0, qMin(to_int(slot(count_slot)), rows.size() / row_size));
    };
    const auto start_progress = [this](const char *title) {
        progress_window.clear_source();
        progress_window.set_title(u(title));
        progress_window.show();
        progress_window.set_procent(0);
    };

    if (balance.size() > 9) {
        const bool for_task = slot(card_slot::checkBox_balance_voenshtat) == card_lists::staff_for_task;
        set_mobilisation_staff_column(for_task);
        const int count = row_count(card_slot::balance_row_count, balance, card_lists::balance_row_size);
        const float step = count > 0 ? 100.0f / count : 0.0f;
        float done = 0;
        start_progress(title_fill_balance);
        balance_model->removeRows(0, balance_model->rowCount());

        // Position and facet names are looked up once for the whole table.
        QHash<QString, QString> position_names, facet_names;
        load_classifier(classifier_file::positions);
        for (const ClassifierRecord &record : classifier_reader.records)
            position_names.insert(record.code, record.name);
        load_classifier(classifier_file::facets);
        for (const ClassifierRecord &record : classifier_reader.records)
            facet_names.insert(record.code, record.name);

        for (current_row = 0; current_row < count; ++current_row) {
            const int r = current_row;
            const auto b = [&](int position) { return balance.at(r * card_lists::balance_row_size + position); };
            const int before = balance_model->rowCount();
            add_balance_row();
            if (balance_model->rowCount() == before)
                balance_model->insertRow(balance_model->rowCount());
            const int row = balance_model->rowCount() - 1;
            const auto set = [&](int column, const QVariant &value) {
                balance_model->setData(balance_model->index(row, column), value, Qt::EditRole);
            };
            const auto text = [&](int column) { return cell_text(balance_model, row, column); };

            balance_model->blockSignals(true);
            const QString kind = b(balance_pos::kind_code);
            set(20, kind);
            const int kind_number = to_int(kind);
            if (kind_number >= 2 && kind_number <= 4)
                set(1, u(kind_words[kind_number - 1]));
            const QString category = b(balance_pos::category_word);
            set(2, category);
            for (int c = 0; c < 4; ++c) {
                if (category == category_words[c])
                    set(18, c + 1);
            }
            const QString position = b(balance_pos::position_code);
            set(3, position);
            if (position_names.contains(position))
                set(5, position_names.value(position));
            const bool unknown = text(5).isEmpty();
            if (unknown)
                set(5, u(text_invalid_code));
            const QString facet = b(balance_pos::facet_code);
            if (!facet.isEmpty()) {
                set(19, facet);
                if (facet_names.contains(facet))
                    set(4, facet_names.value(facet));
            }
            set(0, text(20) + text(18) + text(3) + text(19));
            balance_model->blockSignals(false);
            if (unknown)
                show_notice(QMessageBox::Critical, u(title_invalid_code),
                            u(text_invalid_code_head) + QString::number(r + 1) + u(text_invalid_code_tail), false);

            set(8, cell_value(b(balance_pos::actual)));
            set(9, cell_value(b(balance_pos::leaving_by_mob)));
            set(11, cell_value(b(balance_pos::reserved)));
            if (for_task)
                set(7, cell_value(b(balance_pos::required)));
            set(15, 0);
            set(6, cell_value(b(balance_pos::staff)));
            done += step;
            progress_window.set_procent(int(done));
        }
        progress_window.close();
        on_balance_sort_clicked();
        update();
        if (card_file_version <= last_old_balance_version)
            show_notice(QMessageBox::Information, u(title_balance_2022), u(text_balance_2022), false);
        const int reserved_neof = to_int(slot(card_slot::sb_f6_bron_neof));
        ui->sb_f6_bron_neof->setValue(
            reserved_neof > 0 ? reserved_neof : ui->sb_b_bron->value() - to_int(slot(card_slot::sb_f6_bron_of)));
        check_f6();
    } else {
        balance_model->removeRows(0, balance_model->rowCount());
    }

    // The two reservation tables: rows appended through their buttons, then filled cell by cell.
    const auto fill_table = [&](QStandardItemModel *model, const QVector<QString> &rows, int row_size, int count_slot,
                                const char *title, void (Widget::*add_row)()) {
        const int count = row_count(count_slot, rows, row_size);
        const float step = count > 0 ? 100.0f / count : 0.0f;
        float done = 0;
        start_progress(title);
        model->removeRows(0, model->rowCount());
        for (int r = 0; r < count; ++r) {
            const int before = model->rowCount();
            (this->*add_row)();
            if (model->rowCount() == before)
                model->insertRow(model->rowCount());
            const int row = model->rowCount() - 1;
            for (int column = 0; column < row_size; ++column) {
                const QString value = rows.at(r * row_size + column);
                model->setData(model->index(row, column),
                               model == nebron_model && column == 0 ? cell_value(value) : QVariant(value),
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

    if (counts_as_saved)
        take_snapshot(collect_card_values(), collect_balance_rows(), collect_bron_rows(), collect_nebron_rows());

    if (!unknown_codes.isEmpty())
        show_notice(QMessageBox::Information, kept_codes::notice_title(), kept_codes::notice_text(unknown_codes));
}
