// The whole-card check, the tidy-up and the gate in front of saving and printing.
#include "balance/balance_model_io.h"
#include "balance/balance_rules.h"
#include "cardfile/card_lists.h"
#include "mainwindow/main_tabs.h"
#include "mainwindow/widget.h"
#include "ui_widget.h"
#include "validation/card_form_facts.h"
#include "validation/check_digits.h"
#include "widgets/message_box.h"

#include <QLineEdit>

namespace
{

QMessageBox::Icon icon_of(card_rules::GateQuestion::Kind kind)
{
    switch (kind) {
    case card_rules::GateQuestion::notice:
        return QMessageBox::Information;
    case card_rules::GateQuestion::critical_question:
        return QMessageBox::Critical;
    default:
        return QMessageBox::Question;
    }
}

void shorten_house_words(QLineEdit *field)
{
    field->setText(card_rules::shorten_house_words(field->text()));
}

} // namespace

int Widget::OGRN_check()
{
    return ogrn_check_digit_mismatch(card_lists::value_at(collect_card_values(), card_slot::le_OGRN));
}

int Widget::INN_check()
{
    return inn_check_digit_mismatch(card_lists::value_at(collect_card_values(), card_slot::le_INN));
}

int Widget::OKPO_check()
{
    return okpo_check_digit_mismatch(card_lists::value_at(collect_card_values(), card_slot::le_OKPO));
}

balance::BalanceFault Widget::check_balance_table()
{
    if (balance_model->rowCount() == 0)
        return balance::BalanceFault::no_rows;
    if (balance_model->rowCount() >= 2)
        sort_balance_table();

    QVector<balance::BalanceRow> rows = balance::rows_from_model(*balance_model);
    balance::BalanceCheckFigures figures;
    figures.b_all = ui->sb_b_all->value();
    figures.f6_all = ui->sb_f6_all->value();
    figures.b_ruk_bron = ui->sb_b_ruk_bron->value();
    figures.b_spec_bron = ui->sb_b_spec_bron->value();
    figures.b_slug_bron = ui->sb_b_slug_bron->value();
    figures.b_rab_bron = ui->sb_b_rab_bron->value();
    figures.f6_bron_all = ui->sb_f6_bron_all->value();
    balance::RowOptions options;
    options.mobilisation_staff_column = ui->checkBox_balance_voenshtat->isChecked();
    const balance::BalanceCheckResult result = balance::check_balance_table(rows, figures, options);

    if (result.fault == balance::BalanceFault::repeated_key) {
        // Rows are named by their place in the table as the user now sees it.
        const int first = rows[result.duplicate_row].source_row + 1;
        const int second = rows[result.duplicate_row + 1].source_row + 1;
        show_notice(QMessageBox::Warning, balance::duplicate_key_title(), balance::duplicate_key_text(first, second));
        return result.fault;
    }
    // Ordinary changes of the model, so the row arithmetic and the totals follow.
    for (int i : result.vnutr_filled)
        balance_model->setData(balance_model->index(rows[i].source_row, balance::col_vnutr_ist), 0, Qt::EditRole);
    if (result.kol_mir_set)
        ui->sb_b_kol_mir->setValue(result.kol_mir);
    return result.fault;
}

card_rules::CardFacts read_card_facts(const QVector<QString> &values, const Ui::Widget &ui)
{
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(values);
    const auto person = [&slot](int post, int surname, int first_name, int phone) {
        return card_rules::Person{slot(post), slot(surname), slot(first_name), card_lists::shown_phone(slot(phone))};
    };
    card_rules::CardFacts card;
    card.inn = slot(le_INN);
    card.kpp = slot(le_KPP);
    card.ogrn = slot(le_OGRN);
    card.okpo = slot(le_OKPO);
    card.full_name = slot(te_orgname);
    card.short_name = slot(te_orgname2);
    card.okato = slot(le_okato);
    card.okopf = slot(lineEdit_11);
    card.okfs = slot(lineEdit_25);
    card.okved = slot(le_osn_ved);
    card.tax_date = QDate::fromString(slot(dateINN), card_lists::date_format);
    card.head = person(lineEdit, le_FamRuk, le_ImRuk, le_TelRuk);
    card.officer = person(le_DolgVur, le_FamVur, le_ImVur, le_TelVur);
    card.mobilisation_head = person(DolgRukMO, FamRukMO, ImRukMO, TelRukMO);
    card.mobilisation_body = card_lists::mob_body(values);
    card.email = slot(lineEdit_10);
    card.state_body = card_lists::state_body(values);
    card.okogu = slot(OKOGU_le);
    card.postal_index = slot(lineEdit_29);
    card.reserving = card_lists::reserving(values);
    card.f6_all = card_lists::to_int(slot(sb_f6_all));
    // The office's name is not in the list.
    card.military_office = ui.le_VK->text();
    // "0" stands for no office, as when the card is opened.
    card.military_office_code = card_lists::number_or_none(slot(VK_org));
    card.mobilisation_staff_column = slot(checkBox_balance_voenshtat) == card_lists::staff_for_task;
    card.training =
        QStringList{slot(ob_ruk), slot(ob_ruk_gou), slot(ob_vur), slot(ob_vur_gou), slot(ob_mob), slot(ob_mob_gou)};
    card.f6_mp = card_lists::to_int(slot(sb_f6_mp));
    card.balance_mp = card_lists::to_int(slot(sb_b_sum_mp));
    card.balance_treb = card_lists::to_int(slot(sb_b_sum_treb));
    return card;
}

card_rules::GateFacts read_gate_facts(const QVector<QString> &values)
{
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(values);
    card_rules::GateFacts card;
    card.full_name = slot(te_orgname);
    card.short_name = slot(te_orgname2);
    card.actual_house = slot(lineEdit_9);
    card.postal_house = slot(lineEdit_34);
    card.legal_street = slot(lineEdit_21);
    card.ogrn = slot(le_OGRN);
    card.reserving = card_lists::reserving(values);
    card.f6_mp = card_lists::to_int(slot(sb_f6_mp));
    card.balance_mp = card_lists::to_int(slot(sb_b_sum_mp));
    card.fill_date = QDate::fromString(slot(dateZap), card_lists::date_format);
    card.today = QDate::currentDate();
    return card;
}

bool Widget::check_card()
{
    on_pb_dop_sort_clicked();
    const balance::F6Fault f6_fault = check_f6();
    const balance::BalanceFault balance_fault = reserving() ? check_balance_table() : balance::BalanceFault::none;
    // Collected once the balance check has written what it fills in, so the totals are those it left.
    card_rules::CardFacts card = read_card_facts(collect_card_values(), *ui);
    card.f6_fault = f6_fault;
    card.balance_fault = balance_fault;
    const QStringList faults = card_rules::card_faults(card);
    if (faults.isEmpty())
        return true;

    MessageSetup setup;
    setup.text = tr("Данные не могут быть сохранены или распечатаны, пока не будут исправлены указанные ниже "
                    "ошибки.\n(Если Вы хотите продолжить заполнение позже и сохранить данные без исправления, "
                    "используйте кнопку Выход -> Продолжить позже) ");
    setup.informative_text = faults.join(QString());
    setup.title = tr("Исправьте, пожалуйста, ошибки!");
    setup.buttons = QMessageBox::Ok | QMessageBox::Save;
    setup.icon = QMessageBox::Information;
    setup.labels.append({QMessageBox::Save, tr("Сохранить во временный файл")});
    const int answer = run_message(msg_box, setup);
    // The list of faults belongs to this box alone.
    MessageSetup cleared;
    cleared.informative_text = QString();
    apply_message(msg_box, cleared);
    if (answer == QMessageBox::Save)
        save_to_temp();
    return false;
}

void Widget::tidy_card_fields()
{
    QLineEdit *const trimmed[] = {ui->lineEdit,    ui->le_FamRuk,   ui->le_ImRuk,    ui->le_OtRuk,    ui->le_DolgVur,
                                  ui->le_FamVur,   ui->le_ImVur,    ui->le_OtVur,    ui->DolgRukMO,   ui->FamRukMO,
                                  ui->ImRukMO,     ui->OtRukMO,     ui->lineEdit_9,  ui->lineEdit_34, ui->lineEdit_8,
                                  ui->lineEdit_31, ui->lineEdit_35, ui->lineEdit_29, ui->lineEdit_21, ui->lineEdit_18,
                                  ui->lineEdit_46, ui->lineEdit_10, ui->lineEdit_36};
    for (QLineEdit *field : trimmed)
        field->setText(field->text().trimmed());
    tidy_collected_fields();

    ui->te_orgname2->setPlainText(normalise_org_name(ui->te_orgname2->toPlainText()));
    ui->te_orgname->setPlainText(normalise_org_name(ui->te_orgname->toPlainText()));

    // A house field without a picked street may hold the whole address: leave its words alone.
    if (!ui->lineEdit_23->text().isEmpty())
        shorten_house_words(ui->lineEdit_9);
    shorten_house_words(ui->lineEdit_8);
    if (!ui->lineEdit_37->text().isEmpty())
        shorten_house_words(ui->lineEdit_34);
}

bool Widget::ask_to_go_back(QMessageBox::Icon icon, const QString &title, const QString &text, bool yes_is_default)
{
    MessageSetup setup;
    setup.icon = icon;
    setup.title = title;
    setup.text = text;
    setup.buttons = QMessageBox::Yes | QMessageBox::No;
    setup.labels.append({QMessageBox::Yes, tr("Да")});
    setup.labels.append({QMessageBox::No, tr("Нет")});
    setup.default_button = yes_is_default ? QMessageBox::Yes : QMessageBox::No;
    return run_message(msg_box, setup) == QMessageBox::Yes;
}

bool Widget::check_before_output()
{
    if (!check_card())
        return false;
    tidy_card_fields();

    const card_rules::GatePlan plan = card_rules::plan_gate(read_gate_facts(collect_card_values()), iogv_ogrn_list);
    if (plan.full_name_folded)
        ui->te_orgname->setPlainText(plan.full_name);
    if (plan.short_name_folded)
        ui->te_orgname2->setPlainText(plan.short_name);
    for (const card_rules::GateQuestion &question : plan.questions) {
        if (question.kind == card_rules::GateQuestion::notice) {
            MessageSetup setup;
            setup.icon = icon_of(question.kind);
            setup.title = question.title;
            setup.text = question.text;
            setup.buttons = QMessageBox::Ok;
            setup.labels.append({QMessageBox::Ok, tr("OK")});
            setup.default_button = QMessageBox::Ok;
            run_message(msg_box, setup);
            return false;
        }
        if (ask_to_go_back(icon_of(question.kind), question.title, question.text, question.yes_is_default)) {
            if (question.shows_first_page)
                ui->tabWidget->setCurrentIndex(main_tab::main_page);
            return false;
        }
    }
    return true;
}
