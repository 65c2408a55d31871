// The print command: the collected card list's values gathered for the builders, the hidden view and the preview.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_model_io.h"
#include "cardfile/card_lists.h"
#include "mainwindow/main_tabs.h"
#include "printing/application_form.h"
#include "printing/balance_form.h"
#include "printing/card_form.h"
#include "printing/print_view.h"
#include "widgets/message_box.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QWebView>

namespace
{

// A date of the card list as `edit` shows a date: its display format in its locale. Every document's dates.
QString shown_date(const QDateEdit *edit, const QString &stored)
{
    return edit->locale().toString(QDate::fromString(stored, card_lists::date_format), edit->displayFormat());
}

printing::PersonValues person(const QVector<QString> &card, int post, int surname, int first_name, int patronymic,
                              int phone, int extension, int fax)
{
    const auto slot = card_lists::slot_reader(card);
    return {slot(post),
            slot(surname),
            slot(first_name),
            slot(patronymic),
            card_lists::shown_phone(slot(phone)),
            slot(extension),
            card_lists::shown_phone(slot(fax))};
}

// The running titles as HTML: the card list holds them as plain text only.
printing::CommonValues common_values(const QVector<QString> &card, const Ui::Widget *ui)
{
    using namespace card_slot;
    printing::CommonValues c;
    c.up_left = ui->te_up_l->document()->toHtml();
    c.up_right = ui->te_up_r->document()->toHtml();
    c.down_left = ui->te_down_l->document()->toHtml();
    c.down_right = ui->te_down_r->document()->toHtml();
    c.fill_date = shown_date(ui->dateZap, card_lists::value_at(card, dateZap));
    c.head = person(card, lineEdit, le_FamRuk, le_ImRuk, le_OtRuk, le_TelRuk, le_DopRuk, le_FaxRuk);
    c.version = printing::version_footer(Widget::version_major, Widget::version_minor);
    return c;
}

// The card from the collected card list; from the form only what the list does not hold: the names beside
// the codes, the street names (the list holds their codes) and the figures worked out on the staff page.
printing::CardValues card_values(const QVector<QString> &card, const Ui::Widget *ui)
{
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(card);
    printing::CardValues v;
    v.common = common_values(card, ui);
    v.registration_number = card_lists::number_or_none(slot(le_RegNo));
    v.reserving = card_lists::reserving(card);
    v.reserving_text = QString::fromUtf8(v.reserving ? card_lists::yes : card_lists::no);
    v.full_name = slot(te_orgname);
    v.officer = person(card, le_DolgVur, le_FamVur, le_ImVur, le_OtVur, le_TelVur, le_DopVur, le_FaxVur);
    v.ogrn = slot(le_OGRN);
    v.legal_city = slot(lineEdit_46);
    v.legal_street = slot(lineEdit_21);
    v.legal_house = slot(lineEdit_8);
    v.legal_room = slot(lineEdit_18);
    v.okato = slot(le_okato);
    v.actual_street = ui->lineEdit_23->text();
    v.actual_house = slot(lineEdit_9);
    v.actual_room = slot(lineEdit_31);
    v.higher_organisation = slot(lineEdit_36);
    v.postal_street = ui->lineEdit_37->text();
    v.postal_house = slot(lineEdit_34);
    v.postal_room = slot(lineEdit_35);
    v.postcode = slot(lineEdit_29);
    v.email = slot(lineEdit_10);
    v.okpo = slot(le_OKPO);
    v.okopf_code = slot(lineEdit_11);
    v.okopf_name = ui->lineEdit_13->text();
    v.okfs_code = slot(lineEdit_25);
    v.okfs_name = slot(lineEdit_24);
    v.okved_main = slot(le_osn_ved);
    v.okved_extra = slot(le_dop_ved);
    v.okved_name = ui->lineEdit_26->text();
    v.inn = slot(le_INN);
    v.tax_date = shown_date(ui->dateINN, slot(dateINN));
    v.kpp = slot(le_KPP);
    v.f6_all = slot(sb_f6_all);
    v.f6_gpz = ui->sb_f6_gpz->text();
    v.f6_of = slot(sb_f6_of);
    v.f6_neof = slot(sb_f6_neof);
    v.f6_ost = ui->sb_f6_ost->text();
    v.f6_mp = slot(sb_f6_mp);
    v.f6_priziv = slot(sb_f6_priziv);
    v.f6_bron_all = ui->sb_f6_bron_all->text();
    v.sphere = slot(cb_sf_ved);
    v.state_body = slot(cb_OGV);
    v.information = slot(te_dopinfo);
    v.training[0] = {slot(ob_ruk), shown_date(ui->ob_ruk_date, slot(ob_ruk_date)), slot(ob_ruk_gou)};
    v.training[1] = {slot(ob_vur), shown_date(ui->ob_vur_date, slot(ob_vur_date)), slot(ob_vur_gou)};
    v.training[2] = {slot(ob_mob), shown_date(ui->ob_mob_date, slot(ob_mob_date)), slot(ob_mob_gou)};
    return v;
}

// The staff totals from the collected card list, as their boxes show them; the whole staff is worked out on the
// page and is not in the list.
printing::BalanceBoxes balance_boxes(const QVector<QString> &card, const Ui::Widget *ui)
{
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(card);
    printing::BalanceBoxes b;
    b.all_text = ui->sb_b_all->text();
    b.all = ui->sb_b_all->value();
    b.sum_mp_text = slot(sb_b_sum_mp);
    b.sum_mp = card_lists::to_int(b.sum_mp_text);
    b.sum_treb_text = slot(sb_b_sum_treb);
    b.sum_vnutr_text = slot(sb_b_sum_vnutr);
    b.sum_vnutr = card_lists::to_int(b.sum_vnutr_text);
    b.bron_text = slot(sb_b_bron);
    b.ruk_text = slot(sb_b_ruk);
    b.spec_text = slot(sb_b_spec);
    b.slug_text = slot(sb_b_slug);
    b.rab_text = slot(sb_b_rab);
    return b;
}

} // namespace

int Widget::print_dpi() const
{
    return print_dpi_override > 0 ? print_dpi_override : QApplication::desktop()->logicalDpiX();
}

int Widget::start_print()
{
    const int dpi = print_dpi();
    progress_window.clear_source();
    progress_window.set_title("Создание формы печати");
    progress_window.set_iterator(3);
    progress_window.show();
    return dpi;
}

QString Widget::print_card()
{
    const int dpi = start_print();
    const QString html =
        printing::build_card(card_values(collect_card_values(), ui), dpi, [this] { progress_window.add_value(); });
    progress_window.close();
    return html;
}

QString Widget::print_balance()
{
    const int dpi = start_print();
    // Printing sorts the table on screen too.
    sort_balance_table();
    const QVector<QString> card = collect_card_values();
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(card);
    printing::BalanceValues v;
    v.common = common_values(card, ui);
    v.short_name = slot(te_orgname2);
    v.ogrn = slot(le_OGRN);
    v.rows = balance::rows_from_model(*balance_model);
    v.boxes = balance_boxes(card, ui);
    v.down_left_plain = slot(te_down_l);
    v.down_right_plain = slot(te_down_r);
    printing::BalanceBody body;
    const QString html = printing::build_balance(v, dpi, &body, [this] { progress_window.add_value(); });
    if (!body.html.isEmpty()) {
        ui->sb_b_kol_vspom->setValue(body.auxiliary);
        ui->sb_b_kol_drsl->setValue(body.other_services);
        ui->sb_b_pages->setValue(body.pages);
        ui->sb_b_sum_vnesh->setValue(body.external);
        ui->sb_b_sum_est->setValue(body.natural_loss);
    }
    progress_window.close();
    return html;
}

QString Widget::print_zaya()
{
    const QVector<QString> card = collect_card_values();
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(card);
    printing::ApplicationValues v;
    v.basis = {slot(NPA_doc), slot(NPA_no), shown_date(ui->NPA_date, slot(NPA_date))};
    if (printing::basis_document_missing(v.basis)) {
        ui->tabWidget->setCurrentIndex(main_tab::extra);
        MessageSetup setup;
        setup.icon = QMessageBox::Information;
        setup.title = "Нет данных о документе";
        setup.text = "В п.4 не указаны реквизиты документа, подтверждающего основание для бронирования "
                     "(используется в графе 7 Заявки). Такое возможно, если организация в первый раз подает "
                     "Заявку в ИОГВ. В противном случае, заполните реквизиты и вновь вызовите отчет.";
        setup.buttons = QMessageBox::Ok;
        run_message(msg_box, setup);
    }
    const int dpi = start_print();
    v.common = common_values(card, ui);
    v.short_name = slot(te_orgname2);
    v.full_name = slot(te_orgname);
    v.inn = slot(le_INN);
    v.kpp = slot(le_KPP);
    v.tax_date = shown_date(ui->dateINN, slot(dateINN));
    v.okato = slot(le_okato);
    v.okogu = slot(OKOGU_le);
    v.state_body = card_lists::state_body(card);
    // The list holds the office's code; its name and the wartime figures are worked out on the form.
    v.military_office = ui->le_VK->text();
    v.wartime_staff[0] = ui->sb_b_treb_ruk->value();
    v.wartime_staff[1] = ui->sb_b_treb_spec->value();
    v.wartime_staff[2] = ui->sb_b_treb_slug->value();
    v.wartime_staff[3] = ui->sb_b_treb_rab->value();
    v.reserve_text = ui->sb_f6_gpz->text();
    v.reserved_text = ui->sb_f6_bron_all->text();
    const QString html = printing::build_application(v, dpi);
    progress_window.close();
    return html;
}

QString Widget::print_soglash()
{
    const int dpi = start_print();
    const QVector<QString> card = collect_card_values();
    using namespace card_slot;
    const auto slot = card_lists::slot_reader(card);
    printing::AgreementValues v;
    v.common = common_values(card, ui);
    v.full_name = slot(te_orgname);
    v.inn = slot(le_INN);
    v.staff_text = slot(sb_b_sum_treb);
    v.staff = card_lists::to_int(v.staff_text);
    const QString html = printing::build_agreement(v, dpi, number_words, [this] { progress_window.add_value(); });
    progress_window.close();
    return html;
}

QString Widget::choose_document()
{
    MessageSetup question;
    question.icon = QMessageBox::Question;
    question.title = "Печать форм";
    question.text = "Какую форму Вы хотите вывести на печать?";
    // No cancel button: the box is left only by a choice.
    question.buttons = QMessageBox::Ok | QMessageBox::Save | QMessageBox::Retry | QMessageBox::Open;
    question.labels = {{QMessageBox::Ok, " ЦВЕЛТ "},
                       {QMessageBox::Save, " Баланс "},
                       {QMessageBox::Retry, " Заявка в ИОГВ "},
                       {QMessageBox::Open, " Соглашение "}};
    question.default_button = QMessageBox::Ok;
    switch (run_message(msg_box, question)) {
    case QMessageBox::Save:
        printer.setPageOrientation(QPageLayout::Landscape);
        return print_balance();
    case QMessageBox::Retry:
        printer.setPageOrientation(QPageLayout::Landscape);
        return print_zaya();
    case QMessageBox::Open:
        printer.setPageOrientation(QPageLayout::Portrait);
        return print_soglash();
    default:
        printer.setPageOrientation(QPageLayout::Landscape);
        return print_card();
    }
}

QRect Widget::preview_geometry() const
{
    const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
    QRect area = screen()->availableGeometry();
    area.setHeight(primary.height() - 50);
    area.setTop(primary.top() + 50);
    return area;
}

void Widget::on_print_Button_clicked()
{
    if (!check_before_output())
        return;
    const bool has_printer = printer_available ? printer_available() : printing::system_has_printer();
    if (!has_printer) {
        MessageSetup setup;
        setup.icon = QMessageBox::Question;
        setup.title = "Внимание";
        setup.text = "Программой не обнаружен подключенный принтер. Отображение карточки может быть не верным. "
                     "Продолжить?";
        setup.buttons = QMessageBox::Save | QMessageBox::Cancel;
        setup.labels.append({QMessageBox::Save, "Да"});
        setup.labels.append({QMessageBox::Cancel, "Нет"});
        setup.default_button = QMessageBox::Cancel;
        if (run_message(msg_box, setup) != QMessageBox::Save)
            return;
    }

    if (!web_view)
        web_view = printing::make_print_view();

    QString html;
    if (reserving()) {
        html = choose_document();
    } else {
        // The card is a landscape sheet whatever an earlier print left on the printer.
        printer.setPageOrientation(QPageLayout::Landscape);
        html = print_card();
    }

    if (!printing::load_print_html(web_view, html)) {
        show_notice(QMessageBox::Warning, tr("Ошибка!"),
                    tr("Документ не удалось подготовить к печати. Повторите печать; если ошибка повторится, "
                       "перезапустите программу."));
        return;
    }
    // Built once the orientation is set: the preview's toolbar shows the printer's orientation as it is made.
    preview_dialog = new QPrintPreviewDialog(&printer, this);
    preview_dialog->setWindowTitle("Печать");
    preview_dialog->setGeometry(preview_geometry());
    connect(preview_dialog, &QPrintPreviewDialog::paintRequested, web_view,
            [this](QPrinter *target) { printing::print_document(web_view, target, print_dpi()); });
    preview_dialog->exec();
    delete preview_dialog;
    preview_dialog = nullptr;
}
