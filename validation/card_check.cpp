// The whole-card check, the tidy-up and the gate in front of saving and printing.
#include "balance_model_io.h"
#include "balance_rules.h"
#include "check_digits.h"
#include "ui_widget.h"
#include "widget.h"

#include <QLineEdit>
#include <QTextEdit>

namespace
{

// Outside web sites that the messages send the user to.
const QString register_host = QStringLiteral("EGRUL.NALOG.RU");
const QString statistics_host = QStringLiteral("WEBSBOR.ROSSTAT.GOV.RU");

// Capitals above this count are folded to small letters; from the lower bound on the user is asked.
constexpr int capitals_rewrite_above = 29;
constexpr int capitals_question_from = 13;

// Numbered lines: each message brings its own ". " and line feed.
class FaultList
{
public:
    void add(const QString &message) { text += QString::number(++count) + message; }
    bool isEmpty() const { return count == 0; }
    const QString &list() const { return text; }

private:
    QString text;
    int count = 0;
};

bool starts_with(const QString &text, const char *prefix)
{
    return text.startsWith(QLatin1String(prefix));
}

// A person's block needs post, surname, first name and some digit of the phone.
bool person_incomplete(std::initializer_list<const QLineEdit *> fields, const QLineEdit *phone)
{
    for (const QLineEdit *field : fields)
        if (field->text().isEmpty())
            return true;
    return phone->text() == QLatin1String("()---");
}

int capital_count(const QString &text)
{
    int count = 0;
    for (uint c : text.toUcs4())
        if (QChar::category(c) == QChar::Letter_Uppercase)
            ++count;
    return count;
}

// House-number words shortened as the printed card writes them.
void shorten_house_words(QLineEdit *field)
{
    static const char *const words[][2] = {
        {"д.", ""}, {"дом", ""}, {"корпус", "к."}, {"корп.", "к."}, {"строение", "стр."}};
    for (const auto &word : words)
        field->setText(
            field->text().replace(QString::fromUtf8(word[0]), QString::fromUtf8(word[1]), Qt::CaseInsensitive));
}

} // namespace

int Widget::OGRN_check()
{
    return ogrn_check_digit_mismatch(ui->le_OGRN->text());
}

int Widget::INN_check()
{
    return inn_check_digit_mismatch(ui->le_INN->text());
}

int Widget::OKPO_check()
{
    return okpo_check_digit_mismatch(ui->le_OKPO->text());
}

int Widget::check_balance_table()
{
    if (balance_model->rowCount() == 0)
        return 10;
    if (balance_model->rowCount() >= 2)
        balance_model->sort(balance::col_key, Qt::AscendingOrder);

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

    if (result.code == 3) {
        // Rows are named by their place in the table as the user now sees it.
        const int first = rows[result.duplicate_row].source_row + 1;
        const int second = rows[result.duplicate_row + 1].source_row + 1;
        show_notice(QMessageBox::Warning, balance::duplicate_key_title(), balance::duplicate_key_text(first, second));
        return 3;
    }
    // Ordinary changes of the model, so the row arithmetic and the totals follow.
    for (int i : result.vnutr_filled)
        balance_model->setData(balance_model->index(rows[i].source_row, balance::col_vnutr_ist), 0, Qt::EditRole);
    if (result.kol_mir_set)
        ui->sb_b_kol_mir->setValue(result.kol_mir);
    return result.code;
}

bool Widget::check_card()
{
    FaultList faults;
    on_pb_dop_sort_clicked();

    const QString ogrn = ui->le_OGRN->text();
    const bool legal_entity = starts_with(ogrn, "1") || starts_with(ogrn, "5") || ogrn == QLatin1String("0");
    const bool entrepreneur = starts_with(ogrn, "3");

    const QString inn = ui->le_INN->text();
    const QString kpp = ui->le_KPP->text();
    if (inn.isEmpty()) {
        faults.add(tr(". Введите ИНН (п.3.1) - проверить код можно на сайте ") + register_host + "\n");
    } else {
        if (legal_entity) {
            if (inn.size() != 10)
                faults.add(
                    tr(". ИНН юридических лиц (п.3.1) должен содержать 10 символов - проверить ИНН можно на сайте ") +
                    register_host + "\n");
            if (kpp.isEmpty())
                faults.add(tr(". Введите КПП (п.3.2) - проверить код можно на сайте ") + register_host + "\n");
            else if (kpp.size() != 9)
                faults.add(
                    tr(". КПП юридических лиц (п.3.2) должен содержать 9 символов - проверить код можно на сайте ") +
                    register_host + "\n");
        }
        if (entrepreneur && inn.size() != 12)
            faults.add(tr(". ИНН индивидуальных предпринимателей (п.3.1) должен содержать 12 символов - проверить ИНН "
                          "можно на сайте ") +
                       register_host + "\n");
    }

    if (ogrn.isEmpty()) {
        faults.add(tr(". Введите ОГРН (п.3.3) - уточнить код можно на сайте ") + register_host + "\n");
    } else if (ogrn != QLatin1String("0")) {
        if (!legal_entity && !entrepreneur)
            faults.add(tr(".ОГРН юридических лиц (п.3.3) должен начинаться с 1 или 5, для индивидуальных "
                          "предпринимателей - с 3. Уточнить ОГРН можно на сайте ") +
                       register_host + "\n");
        if ((starts_with(ogrn, "1") || starts_with(ogrn, "5")) && ogrn.size() != 13)
            faults.add(
                tr(". ОГРН юридических лиц (п.3.3) должен содержать 13 символов - уточнить ОГРН можно на сайте ") +
                register_host + "\n");
        if (entrepreneur && ogrn.size() != 15)
            faults.add(tr(". ОГРН индивидуальных предпринимателей (п.3.3) должен содержать 15 символов - уточнить ОГРН "
                          "можно на сайте ") +
                       register_host + "\n");
        if (OGRN_check() == 1)
            faults.add(
                tr(". Код ОГРН (п.3.3) не прошел проверку по контрольному числу - уточнить ОГРН можно на сайте ") +
                register_host + "\n");
        if (INN_check() == 1)
            faults.add(tr(". Код ИНН (п.3.1) не прошел проверку по контрольному числу - уточнить ИНН можно на сайте ") +
                       register_host + "\n");
        if (OKPO_check() == 1)
            faults.add(
                tr(". Код ОКПО (п.3.5) не прошел проверку по контрольному числу - уточнить ОКПО можно на сайте ") +
                statistics_host + tr(" по ссылке ''Получить данные о кодах''\n"));
    }

    const QString okpo = ui->le_OKPO->text();
    if (okpo.isEmpty()) {
        faults.add(tr(". Введите код ОКПО (п.3.5) - узнать ОКПО Вашей организации вы можете на сайте ") +
                   statistics_host + tr(" по ссылке ''Получить данные о кодах''\n"));
    } else if (okpo != QLatin1String("0")) {
        if (!entrepreneur && okpo.size() < 8)
            faults.add(tr(". Код ОКПО (п.3.5) должен быть не менее 8 символов (для ИП - 10 символов) - уточнить ОКПО "
                          "вы можете на сайте ") +
                       statistics_host + tr(" по ссылке ''Получить данные о кодах'' вверху страницы.\n"));
        if (entrepreneur && okpo.size() < 10)
            faults.add(
                tr(". Код ОКПО (п.3.5) для ИП должен быть не менее 10 символов - уточнить ОКПО вы можете на сайте ") +
                statistics_host + tr(" по ссылке ''Получить данные о кодах'' вверху страницы.\n"));
        if (okpo.size() != 8 && okpo.size() != 10 && okpo.size() != 12 && okpo.size() != 14)
            faults.add(tr(". Код ОКПО (п.3.5) содержит неверное число знаков - уточнить ОКПО вы можете на сайте ") +
                       statistics_host + tr(" по ссылке ''Получить данные о кодах'' вверху страницы.\n"));
    }

    if (ui->te_orgname2->toPlainText().isEmpty())
        faults.add(tr(". Введите сокращенное наименование организации - уточнить его можно на сайте ") + register_host +
                   "\n");
    if (ui->te_orgname->toPlainText().isEmpty())
        faults.add(tr(". Введите полное наименование организации - уточнить его можно на сайте ") + register_host +
                   "\n");

    if (ui->le_okato->text().isEmpty())
        faults.add(tr(". Введите код ОКАТО (п.3.4)\n"));
    if (ui->lineEdit_11->text().isEmpty())
        faults.add(tr(". Введите код ОКОПФ (п.3.6)\n"));
    if (ui->lineEdit_25->text().isEmpty())
        faults.add(tr(". Введите код ОКФС (п.3.7)\n"));
    if (ui->le_osn_ved->text().isEmpty())
        faults.add(tr(". Введите код ОКВЭД (п.3.8) - узнать коды ОКВЭД Вашей организации вы можете на сайте ") +
                   register_host + "\n");

    // 01.01.2000 is the editor's own start date: the user never set it.
    if (ui->dateINN->date() == QDate(2000, 1, 1))
        faults.add(tr(". Введите корректную дату постановки на учет в налоговом органе (п.3.2) - уточнить её можно на "
                      "сайте ") +
                   register_host + "\n");

    if (person_incomplete({ui->lineEdit, ui->le_FamRuk, ui->le_ImRuk}, ui->le_TelRuk))
        faults.add(tr(". Пункт 1.3 заполнен не полностью (должность руководителя, ФИО, телефон)\n"));
    if (person_incomplete({ui->le_DolgVur, ui->le_FamVur, ui->le_ImVur}, ui->le_TelVur))
        faults.add(tr(". Пункт 1.4 заполнен не полностью (должность военно-учетного работника, ФИО, телефон)\n"));
    if (ui->cb_MobOrgan->currentText() == tr("Да") &&
        person_incomplete({ui->DolgRukMO, ui->FamRukMO, ui->ImRukMO}, ui->TelRukMO))
        faults.add(tr(". Пункт 1.5 заполнен не полностью (должность руководителя моб.органа, ФИО, телефон)\n"));

    const QString email = ui->lineEdit_10->text();
    if (email.isEmpty())
        faults.add(tr(". Не указан адрес электронной почты. Пожалуйста, укажите адрес организации или другой "
                      "контактный e-mail на вкладке ''Адреса''\n"));
    else if (!email.contains(QLatin1Char('@')) || !email.contains(QLatin1Char('.')))
        faults.add(tr(". Адрес электронной почты указан с ошибкой (должен содержать символы @ и .)\n"));

    if (ui->cb_OGV->currentText() == tr("Да") && ui->OKOGU_le->text().isEmpty())
        faults.add(tr(". Введите код ОКОГУ (п.3.9)\n"));
    if (ui->lineEdit_29->text().isEmpty())
        faults.add(tr(". Не указан индекс в почтовом адресе организации\n"));

    const bool reserving = ui->cb_kat_b->currentText() == tr("Да");
    if (check_f6() > 0)
        faults.add(reserving ? tr(". На вкладке Баланс есть ошибки в числовых полях над таблицей\n")
                             : tr(". На вкладке Персонал есть ошибки в числовых полях\n"));
    if (ui->sb_f6_all->value() == 0)
        faults.add(reserving ? tr(". На вкладке Баланс не указано количество работающих человек\n")
                             : tr(". На вкладке Персонал не указано количество работающих человек\n"));

    if (reserving) {
        if (ui->le_VK->text().isEmpty() || ui->VK_org->text().isEmpty())
            faults.add(tr(". Не указан военкомат по месту нахождения организации (п.4.1)\n"));
        const int balance_code = check_balance_table();
        if (balance_code > 0)
            faults.add(balance::balance_fault_text(balance_code));
        if (ui->sb_f6_mp->value() > ui->sb_b_sum_mp->value())
            faults.add(tr(". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в "
                          "столбце ''Выбытие по мобилизации'' Баланса (сейчас указано ") +
                       QString::number(ui->sb_f6_mp->value()) + tr(" и ") + QString::number(ui->sb_b_sum_mp->value()) +
                       tr(" чел. соответственно).\n"));
        if (ui->sb_b_sum_treb->value() == 0)
            faults.add(ui->checkBox_balance_voenshtat->isChecked()
                           ? tr(". Общая численность штата, необходимого для выполнения моб.задания, на вкладке Баланс "
                                "не должна быть равна 0. В этом случае отключите галочку о наличии штата для "
                                "выполнения моб.задания под таблицей.\n")
                           : tr(". Общая численность по штатному расписанию на вкладке Баланс не должна быть равна 0. "
                                "Укажите в данном столбце как минимум численность персонала по штатному расписанию "
                                "Вашей организации.\n"));
        if (ui->ob_ruk->text().isEmpty() || ui->ob_ruk_gou->currentText().isEmpty() || ui->ob_vur->text().isEmpty() ||
            ui->ob_vur_gou->currentText().isEmpty() || ui->ob_mob->text().isEmpty() ||
            ui->ob_mob_gou->currentText().isEmpty())
            faults.add(tr(". Все поля на вкладке Обучение должны быть заполнены.\n"));
    }

    if (faults.isEmpty())
        return true;

    msg_box.setText(tr("Данные не могут быть сохранены или распечатаны, пока не будут исправлены указанные ниже "
                       "ошибки.\n(Если Вы хотите продолжить заполнение позже и сохранить данные без исправления, "
                       "используйте кнопку Выход -> Продолжить позже) "));
    msg_box.setInformativeText(faults.list());
    msg_box.setWindowTitle(tr("Исправьте, пожалуйста, ошибки!"));
    msg_box.setStandardButtons(QMessageBox::Ok | QMessageBox::Save);
    msg_box.setIcon(QMessageBox::Information);
    msg_box.setButtonText(QMessageBox::Save, tr("Сохранить во временный файл"));
    if (msg_box.exec() == QMessageBox::Save) {
        msg_box.setInformativeText(QString());
        save_to_temp();
    }
    msg_box.setInformativeText(QString());
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
    msg_box.setIcon(icon);
    msg_box.setWindowTitle(title);
    msg_box.setText(text);
    msg_box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    msg_box.setButtonText(QMessageBox::Yes, tr("Да"));
    msg_box.setButtonText(QMessageBox::No, tr("Нет"));
    msg_box.setDefaultButton(yes_is_default ? QMessageBox::Yes : QMessageBox::No);
    return msg_box.exec() == QMessageBox::Yes;
}

bool Widget::check_before_output()
{
    if (!check_card())
        return false;
    tidy_card_fields();

    // 0: nothing to say, 1: a name was folded to small letters, 2: many capitals.
    int verdict = 0;
    for (QTextEdit *field : {static_cast<QTextEdit *>(ui->te_orgname), static_cast<QTextEdit *>(ui->te_orgname2)}) {
        const QString name = field->toPlainText();
        const int capitals = capital_count(name);
        if (capitals > capitals_rewrite_above) {
            field->setPlainText(name.left(1) + name.mid(1).toLower());
            verdict = 1;
        } else if (capitals >= capitals_question_from && verdict != 1) {
            // A name already folded keeps its notice: the user must see that it was changed.
            verdict = 2;
        }
    }
    if (verdict == 1) {
        msg_box.setIcon(QMessageBox::Information);
        msg_box.setWindowTitle(tr("Заглавные буквы в наименовании организации"));
        msg_box.setText(
            tr("Количество заглавных букв в наименовании организации превысило допустимый предел в 29 символов. "
               "Вероятно, вы просто скопировали его или у вас заело клавиатуру. Буквы заменены на строчные, поэтому, "
               "пожалуйста, проверьте наименование и поставьте заглавные буквы там, где это действительно необходимо "
               "по правилам русского языка. Пожалуйста, не вводите наименование организации заглавными буквами без "
               "разбору и необходимости (даже несмотря на то, что все наименования так записаны в ЕГРЮЛ), пользуйтесь "
               "правилами русского языка, здравым смыслом и уставом вашей организации.\nПожалуйста, проверьте "
               "наименование Вашей организации ещё раз (п.1.2). "));
        msg_box.setStandardButtons(QMessageBox::Ok);
        msg_box.setButtonText(QMessageBox::Ok, tr("OK"));
        msg_box.setDefaultButton(QMessageBox::Ok);
        msg_box.exec();
        return false;
    }
    if (verdict == 2 &&
        ask_to_go_back(
            QMessageBox::Question, tr("Заглавные буквы в наименовании организации"),
            tr("В наименовании организации обнаружено большое количество заглавных букв (более 12). Возможно, вы "
               "просто скопировали его. Это не является критической ошибкой, однако, пожалуйста, не вводите "
               "наименование организации заглавными буквами без необходимости (даже несмотря на то, что все "
               "наименования так записаны в ЕГРЮЛ), пользуйтесь правилами русского языка, здравым смыслом и уставом "
               "вашей организации.\nЖелаете проверить наименование организации ещё раз (п.1.2)?"),
            true))
        return false;

    if (ui->lineEdit_9->text().isEmpty() &&
        ask_to_go_back(
            QMessageBox::Question, tr("Внимание - не введен ФАКТИЧЕСКИЙ адрес"),
            tr("Пожалуйста, укажите ФАКТИЧЕСКИЙ адрес (улица и номер дома).\nПри возниконовении проблем с поиском "
               "улицы, введите полный адрес в поле ''Дом''.\nЖелаете ввести фактический адрес в п.2.1?"),
            false))
        return false;
    if (ui->lineEdit_34->text().isEmpty() &&
        ask_to_go_back(
            QMessageBox::Question, tr("Внимание - не введен ПОЧТОВЫЙ адрес"),
            tr("Пожалуйста, укажите ПОЧТОВЫЙ адрес (улица и номер дома).\nПри возниконовении проблем с поиском улицы, "
               "введите полный адрес в поле ''Дом''.\nЖелаете ввести почтовый адрес в п.2.2?"),
            false))
        return false;
    if (ui->lineEdit_21->text().isEmpty() &&
        ask_to_go_back(QMessageBox::Question, tr("Внимание - не введен ЮРИДИЧЕСКИЙ адрес"),
                       tr("Пожалуйста, укажите ЮРИДИЧЕСКИЙ адрес.\nЖелаете ввести юридический адрес в п.2.3?"), false))
        return false;

    if (iogv_ogrn_list.contains(ui->le_OGRN->text()) &&
        ask_to_go_back(QMessageBox::Critical, tr("Внимание - ОГРН"),
                       tr("Введенный ОГРН принадлежит ИОГВ Санкт-Петербурга, использование его в других организациях "
                          "НЕДОПУСТИМО! Введете правильный ОГРН?"),
                       false))
        return false;

    if (ui->cb_kat_b->currentText() == tr("Да") && ui->sb_f6_mp->value() < ui->sb_b_sum_mp->value() &&
        ask_to_go_back(QMessageBox::Question, tr("Внимание - разошлось количество ГПЗ, имеющих моб.предписания"),
                       tr("Количество ГПЗ, имеющих мобилизационные предписания (МП), в верхней строке (") +
                           QString::number(ui->sb_f6_mp->value()) + tr(" человек) расходится с Балансом (") +
                           QString::number(ui->sb_b_sum_mp->value()) +
                           tr(" человек). Такое возможно, но в редких случаях, когда в Балансе указывается выбытие не "
                              "только по моб. предписаниям.\nЖелаете внести измения?"),
                       false))
        return false;

    if (ui->dateZap->date().year() != QDate::currentDate().year() &&
        ask_to_go_back(QMessageBox::Question, tr("Внимание - устаревшая дата заполнения ЦВЕЛТ"),
                       tr("Дата заполнения ЦВЕЛТ не относится к текущему году.\nЖелаете исправить?"), false)) {
        ui->tabWidget->setCurrentIndex(0);
        return false;
    }
    return true;
}
