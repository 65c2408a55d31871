// The print command: the form's values gathered for the builders, the hidden view and the preview.
#include "ui_widget.h"
#include "widget.h"

#include "application_form.h"
#include "balance_form.h"
#include "balance_model_io.h"
#include "card_form.h"
#include "main_tabs.h"
#include "message_box.h"
#include "print_view.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QWebView>

namespace
{

printing::PersonValues person(const QLineEdit *post, const QLineEdit *surname, const QLineEdit *first_name,
                              const QLineEdit *patronymic, const QLineEdit *phone, const QLineEdit *extension,
                              const QLineEdit *fax)
{
    return {post->text(),  surname->text(),   first_name->text(), patronymic->text(),
            phone->text(), extension->text(), fax->text()};
}

printing::CommonValues common_values(const Ui::Widget *ui)
{
    printing::CommonValues c;
    c.up_left = ui->te_up_l->document()->toHtml();
    c.up_right = ui->te_up_r->document()->toHtml();
    c.down_left = ui->te_down_l->document()->toHtml();
    c.down_right = ui->te_down_r->document()->toHtml();
    c.fill_date = ui->dateZap->text();
    c.head =
        person(ui->lineEdit, ui->le_FamRuk, ui->le_ImRuk, ui->le_OtRuk, ui->le_TelRuk, ui->le_DopRuk, ui->le_FaxRuk);
    c.version = printing::version_footer(Widget::version_major, Widget::version_minor);
    return c;
}

printing::CardValues card_values(const Ui::Widget *ui)
{
    printing::CardValues v;
    v.common = common_values(ui);
    v.registration_number = ui->le_RegNo->text();
    v.reserving = ui->cb_kat_b->currentIndex() == 0;
    v.reserving_text = ui->cb_kat_b->currentText();
    v.full_name = ui->te_orgname->document()->toPlainText();
    v.officer =
        person(ui->le_DolgVur, ui->le_FamVur, ui->le_ImVur, ui->le_OtVur, ui->le_TelVur, ui->le_DopVur, ui->le_FaxVur);
    v.ogrn = ui->le_OGRN->text();
    v.legal_city = ui->lineEdit_46->text();
    v.legal_street = ui->lineEdit_21->text();
    v.legal_house = ui->lineEdit_8->text();
    v.legal_room = ui->lineEdit_18->text();
    v.okato = ui->le_okato->text();
    v.actual_street = ui->lineEdit_23->text();
    v.actual_house = ui->lineEdit_9->text();
    v.actual_room = ui->lineEdit_31->text();
    v.higher_organisation = ui->lineEdit_36->text();
    v.postal_street = ui->lineEdit_37->text();
    v.postal_house = ui->lineEdit_34->text();
    v.postal_room = ui->lineEdit_35->text();
    v.postcode = ui->lineEdit_29->text();
    v.email = ui->lineEdit_10->text();
    v.okpo = ui->le_OKPO->text();
    v.okopf_code = ui->lineEdit_11->text();
    v.okopf_name = ui->lineEdit_13->text();
    v.okfs_code = ui->lineEdit_25->text();
    v.okfs_name = ui->lineEdit_24->text();
    v.okved_main = ui->le_osn_ved->text();
    v.okved_extra = ui->le_dop_ved->text();
    v.okved_name = ui->lineEdit_26->text();
    v.inn = ui->le_INN->text();
    v.tax_date = ui->dateINN->text();
    v.kpp = ui->le_KPP->text();
    v.f6_all = ui->sb_f6_all->text();
    v.f6_gpz = ui->sb_f6_gpz->text();
    v.f6_of = ui->sb_f6_of->text();
    v.f6_neof = ui->sb_f6_neof->text();
    v.f6_ost = ui->sb_f6_ost->text();
    v.f6_mp = ui->sb_f6_mp->text();
    v.f6_priziv = ui->sb_f6_priziv->text();
    v.f6_bron_all = ui->sb_f6_bron_all->text();
    v.sphere = ui->cb_sf_ved->currentText();
    v.state_body = ui->cb_OGV->currentText();
    v.information = ui->te_dopinfo->document()->toPlainText();
    v.training[0] = {ui->ob_ruk->text(), ui->ob_ruk_date->text(), ui->ob_ruk_gou->currentText()};
    v.training[1] = {ui->ob_vur->text(), ui->ob_vur_date->text(), ui->ob_vur_gou->currentText()};
    v.training[2] = {ui->ob_mob->text(), ui->ob_mob_date->text(), ui->ob_mob_gou->currentText()};
    return v;
}

printing::BalanceBoxes balance_boxes(const Ui::Widget *ui)
{
    printing::BalanceBoxes b;
    b.all_text = ui->sb_b_all->text();
    b.all = ui->sb_b_all->value();
    b.sum_mp_text = ui->sb_b_sum_mp->text();
    b.sum_mp = ui->sb_b_sum_mp->value();
    b.sum_treb_text = ui->sb_b_sum_treb->text();
    b.sum_vnutr_text = ui->sb_b_sum_vnutr->text();
    b.sum_vnutr = ui->sb_b_sum_vnutr->value();
    b.bron_text = ui->sb_b_bron->text();
    b.ruk_text = ui->sb_b_ruk->text();
    b.spec_text = ui->sb_b_spec->text();
    b.slug_text = ui->sb_b_slug->text();
    b.rab_text = ui->sb_b_rab->text();
    return b;
}

} // namespace

int Widget::print_dpi() const
{
    return print_dpi_override > 0 ? print_dpi_override : QApplication::desktop()->logicalDpiX();
}

int Widget::start_print(const char *template_file)
{
    const int dpi = print_dpi();
    print_html.clear();
    template_path = template_file;
    progress_window.clear_source();
    progress_window.set_title("Создание формы печати");
    progress_window.set_iterator(3);
    progress_window.show();
    return dpi;
}

QString Widget::print_card()
{
    const int dpi = start_print(printing::card_template);
    print_html = printing::build_card(card_values(ui), dpi, [this] { progress_window.add_value(); });
    progress_window.close();
    return print_html;
}

QString Widget::print_balance()
{
    const int dpi = start_print(printing::balance_template);
    // Printing sorts the table on screen too.
    balance_model->sort(balance::col_key, Qt::AscendingOrder);
    printing::BalanceValues v;
    v.common = common_values(ui);
    v.short_name = ui->te_orgname2->document()->toPlainText();
    v.ogrn = ui->le_OGRN->text();
    v.rows = balance::rows_from_model(*balance_model);
    v.boxes = balance_boxes(ui);
    v.down_left_plain = ui->te_down_l->document()->toPlainText();
    v.down_right_plain = ui->te_down_r->document()->toPlainText();
    printing::BalanceBody body;
    print_html = printing::build_balance(v, dpi, &body, [this] { progress_window.add_value(); });
    if (!body.html.isEmpty()) {
        ui->sb_b_kol_vspom->setValue(body.auxiliary);
        ui->sb_b_kol_drsl->setValue(body.other_services);
        ui->sb_b_pages->setValue(body.pages);
        ui->sb_b_sum_vnesh->setValue(body.external);
        ui->sb_b_sum_est->setValue(body.natural_loss);
    }
    progress_window.close();
    return print_html;
}

QString Widget::print_zaya()
{
    printing::ApplicationValues v;
    v.basis = {ui->NPA_doc->text(), ui->NPA_no->text(), ui->NPA_date->text()};
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
    const int dpi = start_print(printing::zaya_template);
    v.common = common_values(ui);
    v.short_name = ui->te_orgname2->document()->toPlainText();
    v.full_name = ui->te_orgname->document()->toPlainText();
    v.inn = ui->le_INN->text();
    v.kpp = ui->le_KPP->text();
    v.tax_date = ui->dateINN->text();
    v.okato = ui->le_okato->text();
    v.okogu = ui->OKOGU_le->text();
    v.state_body = ui->cb_OGV->currentText() == "Да";
    v.military_office = ui->le_VK->text();
    v.wartime_staff[0] = ui->sb_b_treb_ruk->value();
    v.wartime_staff[1] = ui->sb_b_treb_spec->value();
    v.wartime_staff[2] = ui->sb_b_treb_slug->value();
    v.wartime_staff[3] = ui->sb_b_treb_rab->value();
    v.reserve_text = ui->sb_f6_gpz->text();
    v.reserved_text = ui->sb_f6_bron_all->text();
    print_html = printing::build_application(v, dpi);
    progress_window.close();
    return print_html;
}

QString Widget::print_soglash()
{
    const int dpi = start_print(printing::soglash_template);
    printing::AgreementValues v;
    v.common = common_values(ui);
    v.full_name = ui->te_orgname->document()->toPlainText();
    v.inn = ui->le_INN->text();
    v.staff_text = ui->sb_b_sum_treb->text();
    v.staff = ui->sb_b_sum_treb->value();
    print_html = printing::build_agreement(v, dpi, number_words, [this] { progress_window.add_value(); });
    progress_window.close();
    return print_html;
}

void Widget::choose_document()
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
    print_html.clear();
    switch (run_message(msg_box, question)) {
    case QMessageBox::Save:
        printer.setPageOrientation(QPageLayout::Landscape);
        print_html = print_balance();
        break;
    case QMessageBox::Retry:
        printer.setPageOrientation(QPageLayout::Landscape);
        print_html = print_zaya();
        break;
    case QMessageBox::Open:
        printer.setPageOrientation(QPageLayout::Portrait);
        print_html = print_soglash();
        break;
    default:
        printer.setPageOrientation(QPageLayout::Landscape);
        print_html = print_card();
        break;
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

    if (ui->cb_kat_b->currentText() == "Да") {
        choose_document();
    } else {
        // The card is a landscape sheet whatever an earlier print left on the printer.
        printer.setPageOrientation(QPageLayout::Landscape);
        print_html = print_card();
    }

    if (!printing::load_print_html(web_view, print_html)) {
        MessageSetup setup;
        setup.icon = QMessageBox::Warning;
        setup.title = tr("Ошибка!");
        setup.text = tr("Документ не удалось подготовить к печати. Повторите печать; если ошибка повторится, "
                        "перезапустите программу.");
        setup.buttons = QMessageBox::Ok;
        setup.default_button = QMessageBox::Ok;
        run_message(msg_box, setup);
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
