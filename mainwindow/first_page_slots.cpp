// Names, the additional OKVED list, the mobilisation-body block, headers, address copies, tool tips
// and the clipboard summary.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "cardfile/card_lists.h"
#include "text/text_rules.h"
#include "widgets/message_box.h"

#include <QApplication>
#include <QClipboard>

QString Widget::normalise_org_name(QString text)
{
    return ::normalise_org_name(text);
}

QString Widget::wrap_tooltip_html(const QString &text)
{
    return ::wrap_tooltip_html(text);
}

namespace
{

// Plain text in, plain text out: a name with "<" or "&" must not turn into markup.
void tidy_name_field(QTextEdit *field)
{
    field->setPlainText(normalise_org_name(sentence_case(field->toPlainText())));
}

} // namespace

void Widget::on_pb_zaglav2_clicked()
{
    tidy_name_field(ui->te_orgname2);
}

void Widget::on_pb_zaglav_clicked()
{
    tidy_name_field(ui->te_orgname);
}

void Widget::on_pb_dop_sort_clicked()
{
    const QString text = ui->le_dop_ved->text();
    if (text.isEmpty())
        return;
    ui->le_dop_ved->setText(sort_okved_list(text));
}

void Widget::on_pb_dop_del_clicked()
{
    on_pb_dop_sort_clicked();
    ui->le_dop_ved->setEnabled(true);
    MessageSetup setup;
    setup.icon = QMessageBox::Information;
    setup.buttons = QMessageBox::Ok;
    setup.title = "Редактирование кодов ВЭД.";
    setup.text = "Включен режим редактирования дополнительных кодов ВЭД. Перейдите в это поле и вручную удалите "
                 "ненужные коды.\n\nДобавление новых кодов в это поле настоятельно рекомендуется делать при помощи "
                 "кнопки ''+''. Отсортировать значения по возрастанию можно при помощи крайней кнопки справа.";
    run_message(msg_box, setup);
}

void Widget::paste_neosn(QString str1, QString)
{
    QString text = ui->le_dop_ved->text();
    text = text.isEmpty() ? str1 : text + ", " + str1;
    ui->le_dop_ved->setText(text);
    ui->le_dop_ved->setToolTip(text);
}

void Widget::on_le_dop_ved_lostFocus()
{
    ui->le_dop_ved->setEnabled(false);
    const QString text = ui->le_dop_ved->text();
    if (text.isEmpty())
        return;
    ui->le_dop_ved->setText(clean_okved_list(text));
    on_pb_dop_sort_clicked();
}

void Widget::on_cb_MobOrgan_currentIndexChanged(const QString &)
{
    if (mob_body()) {
        show_mobilisation_block(true);
        return;
    }
    const int answer = ask_to_confirm("Внимание!", "Удалить информацию о наличии моб.органа в организации?");
    if (answer == QMessageBox::Ok) {
        show_mobilisation_block(false);
        for (QLineEdit *field :
             {ui->DolgRukMO, ui->FamRukMO, ui->ImRukMO, ui->OtRukMO, ui->TelRukMO, ui->FaxRukMO, ui->DopRukMO})
            field->setText(QString());
        ui->cb_MobOrgan_2->setCurrentIndex(0);
    } else if (answer == QMessageBox::Cancel) {
        ui->cb_MobOrgan->setCurrentIndex(ui->cb_MobOrgan->findText(card_lists::yes));
    }
}

void Widget::set_mobilisation_body(bool present)
{
    const bool blocked = ui->cb_MobOrgan->blockSignals(true);
    ui->cb_MobOrgan->setCurrentIndex(ui->cb_MobOrgan->findText(present ? card_lists::yes : card_lists::no));
    ui->cb_MobOrgan->blockSignals(blocked);
    show_mobilisation_block(present);
}

void Widget::show_mobilisation_block(bool shown)
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui->label_MobOrgan_2, ui->cb_MobOrgan_2, ui->groupBox_1_6, ui->line_4})
        w->setVisible(shown);
}

void Widget::on_checkBox_kolont_stateChanged(int)
{
    ui->groupBox_kolont->setVisible(ui->checkBox_kolont->checkState() != Qt::Unchecked);
}

namespace
{

void copy_address(QLineEdit *const (&from)[3], QLineEdit *const (&to)[3])
{
    for (int i = 0; i < 3; ++i) {
        to[i]->setText(from[i]->text());
        to[i]->setToolTip(from[i]->text());
        to[i]->setCursorPosition(0);
    }
}

} // namespace

void Widget::on_pushButton_9_clicked()
{
    copy_address({ui->lineEdit_23, ui->lineEdit_9, ui->lineEdit_31},
                 {ui->lineEdit_21, ui->lineEdit_8, ui->lineEdit_18});
}

void Widget::on_pushButton_6_clicked()
{
    copy_address({ui->lineEdit_23, ui->lineEdit_9, ui->lineEdit_31},
                 {ui->lineEdit_37, ui->lineEdit_34, ui->lineEdit_35});
}

void Widget::on_le_DolgVur_textEdited(const QString &)
{
    ui->le_DolgVur->setToolTip(ui->le_DolgVur->text());
}

void Widget::on_lineEdit_36_textEdited(const QString &)
{
    ui->lineEdit_36->setToolTip(ui->lineEdit_36->text());
}

void Widget::on_lineEdit_10_textEdited(const QString &)
{
    ui->lineEdit_10->setToolTip(ui->lineEdit_10->text());
}

void Widget::refresh_tooltips()
{
    for (QLineEdit *field :
         {ui->lineEdit,    ui->le_FamRuk,   ui->le_ImRuk,    ui->le_OtRuk,    ui->le_TelRuk,   ui->le_FaxRuk,
          ui->le_DolgVur,  ui->le_FamVur,   ui->le_ImVur,    ui->le_OtVur,    ui->le_TelVur,   ui->NPA_doc,
          ui->lineEdit_21, ui->lineEdit_8,  ui->lineEdit_18, ui->lineEdit_23, ui->lineEdit_9,  ui->lineEdit_31,
          ui->lineEdit_37, ui->lineEdit_34, ui->lineEdit_35, ui->lineEdit_29, ui->lineEdit_10, ui->lineEdit_36,
          ui->le_INN,      ui->le_OGRN,     ui->le_okato,    ui->le_OKPO,     ui->lineEdit_11, ui->lineEdit_13,
          ui->lineEdit_25, ui->lineEdit_24, ui->le_osn_ved,  ui->lineEdit_26, ui->le_dop_ved,  ui->DolgRukMO})
        field->setToolTip(field->text());
}

void Widget::on_copyButton_clicked()
{
    const QString full_name = ui->te_orgname->toPlainText().simplified();
    QString short_name = ui->te_orgname2->toPlainText().simplified();
    if (short_name == full_name)
        short_name.clear();
    const bool authority = state_body();
    const int wartime_staff = ui->sb_b_treb_ruk->value() + ui->sb_b_treb_spec->value() + ui->sb_b_treb_slug->value() +
                              ui->sb_b_treb_rab->value();
    const QStringList fields = {full_name,
                                short_name,
                                ui->le_INN->text(),
                                ui->le_KPP->text(),
                                ui->dateINN->text(),
                                ui->le_okato->text(),
                                authority ? ui->OKOGU_le->text() : QString(),
                                authority ? "Орган управления" : "Задача",
                                ui->NPA_doc->text().simplified(),
                                ui->NPA_date->text(),
                                ui->NPA_no->text().simplified(),
                                authority ? "95%" : "85%",
                                QString::number(wartime_staff),
                                ui->le_VK->text(),
                                ui->sb_f6_gpz->text(),
                                ui->sb_f6_bron_all->text()};
    QApplication::clipboard()->setText(fields.join('\t'), QClipboard::Clipboard);

    copy_icon_number = copy_icon_number + 1 > 4 ? 1 : copy_icon_number + 1;
    ui->copyButton->setIcon(QIcon(QString(":/images/img/share%1.png").arg(copy_icon_number)));
    ui->copyButton->setToolTip("Успешно скопировано в буфер обмена!");
}
