#include "validation/card_rules.h"

#include "balance/balance_rules.h"
#include "validation/check_digits.h"

#include <QCoreApplication>

namespace card_rules
{

const char register_host[] = "EGRUL.NALOG.RU";
const char statistics_host[] = "WEBSBOR.ROSSTAT.GOV.RU";

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("Widget", text);
}

// Capitals above this count are folded to small letters; from the lower bound on the user is asked.
constexpr int capitals_rewrite_above = 29;
constexpr int capitals_question_from = 13;

// Numbered lines: each message brings its own ". " and line feed.
class FaultList
{
public:
    void add(const QString &message) { lines << QString::number(lines.size() + 1) + message; }
    QStringList lines;
};

QString on_register_site(const char *message)
{
    return tr(message) + QLatin1String(register_host) + QLatin1Char('\n');
}

QString on_statistics_site(const char *message, bool top_of_page)
{
    return tr(message) + QLatin1String(statistics_host) +
           (top_of_page ? tr(" по ссылке ''Получить данные о кодах'' вверху страницы.\n")
                        : tr(" по ссылке ''Получить данные о кодах''\n"));
}

bool starts_with(const QString &text, const char *prefix)
{
    return text.startsWith(QLatin1String(prefix));
}

bool person_incomplete(const Person &person)
{
    return person.post.isEmpty() || person.surname.isEmpty() || person.first_name.isEmpty() ||
           person.phone == QLatin1String("()---");
}

// Taxpayer number, reason code, registration number and the three control digits.
void add_registration_faults(const CardFacts &card, FaultList &faults)
{
    const QString &ogrn = card.ogrn;
    const bool legal_entity = starts_with(ogrn, "1") || starts_with(ogrn, "5") || ogrn == QLatin1String("0");
    const bool entrepreneur = starts_with(ogrn, "3");

    if (card.inn.isEmpty()) {
        faults.add(on_register_site(". Введите ИНН (п.3.1) - проверить код можно на сайте "));
    } else {
        if (legal_entity) {
            if (card.inn.size() != 10)
                faults.add(on_register_site(
                    ". ИНН юридических лиц (п.3.1) должен содержать 10 символов - проверить ИНН можно на сайте "));
            if (card.kpp.isEmpty())
                faults.add(on_register_site(". Введите КПП (п.3.2) - проверить код можно на сайте "));
            else if (card.kpp.size() != 9)
                faults.add(on_register_site(
                    ". КПП юридических лиц (п.3.2) должен содержать 9 символов - проверить код можно на сайте "));
        }
        if (entrepreneur && card.inn.size() != 12)
            faults.add(on_register_site(". ИНН индивидуальных предпринимателей (п.3.1) должен содержать 12 символов - "
                                        "проверить ИНН можно на сайте "));
    }

    if (ogrn.isEmpty()) {
        faults.add(on_register_site(". Введите ОГРН (п.3.3) - уточнить код можно на сайте "));
        return;
    }
    if (ogrn == QLatin1String("0"))
        return;
    if (!legal_entity && !entrepreneur)
        faults.add(on_register_site(".ОГРН юридических лиц (п.3.3) должен начинаться с 1 или 5, для индивидуальных "
                                    "предпринимателей - с 3. Уточнить ОГРН можно на сайте "));
    if ((starts_with(ogrn, "1") || starts_with(ogrn, "5")) && ogrn.size() != 13)
        faults.add(on_register_site(
            ". ОГРН юридических лиц (п.3.3) должен содержать 13 символов - уточнить ОГРН можно на сайте "));
    if (entrepreneur && ogrn.size() != 15)
        faults.add(on_register_site(". ОГРН индивидуальных предпринимателей (п.3.3) должен содержать 15 символов - "
                                    "уточнить ОГРН можно на сайте "));
    if (ogrn_check_digit_mismatch(ogrn) == 1)
        faults.add(on_register_site(
            ". Код ОГРН (п.3.3) не прошел проверку по контрольному числу - уточнить ОГРН можно на сайте "));
    if (inn_check_digit_mismatch(card.inn) == 1)
        faults.add(on_register_site(
            ". Код ИНН (п.3.1) не прошел проверку по контрольному числу - уточнить ИНН можно на сайте "));
    if (okpo_check_digit_mismatch(card.okpo) == 1)
        faults.add(on_statistics_site(
            ". Код ОКПО (п.3.5) не прошел проверку по контрольному числу - уточнить ОКПО можно на сайте ", false));
}

void add_okpo_faults(const CardFacts &card, FaultList &faults)
{
    const QString &okpo = card.okpo;
    const bool entrepreneur = starts_with(card.ogrn, "3");
    if (okpo.isEmpty()) {
        faults.add(on_statistics_site(". Введите код ОКПО (п.3.5) - узнать ОКПО Вашей организации вы можете на сайте ",
                                      false));
        return;
    }
    if (okpo == QLatin1String("0"))
        return;
    if (!entrepreneur && okpo.size() < 8)
        faults.add(on_statistics_site(". Код ОКПО (п.3.5) должен быть не менее 8 символов (для ИП - 10 символов) - "
                                      "уточнить ОКПО вы можете на сайте ",
                                      true));
    if (entrepreneur && okpo.size() < 10)
        faults.add(on_statistics_site(
            ". Код ОКПО (п.3.5) для ИП должен быть не менее 10 символов - уточнить ОКПО вы можете на сайте ", true));
    if (okpo.size() != 8 && okpo.size() != 10 && okpo.size() != 12 && okpo.size() != 14)
        faults.add(on_statistics_site(
            ". Код ОКПО (п.3.5) содержит неверное число знаков - уточнить ОКПО вы можете на сайте ", true));
}

// Names, classifier codes, tax date, persons, e-mail, OKOGU and the postal index.
void add_form_faults(const CardFacts &card, FaultList &faults)
{
    if (card.short_name.isEmpty())
        faults.add(on_register_site(". Введите сокращенное наименование организации - уточнить его можно на сайте "));
    if (card.full_name.isEmpty())
        faults.add(on_register_site(". Введите полное наименование организации - уточнить его можно на сайте "));

    if (card.okato.isEmpty())
        faults.add(tr(". Введите код ОКАТО (п.3.4)\n"));
    if (card.okopf.isEmpty())
        faults.add(tr(". Введите код ОКОПФ (п.3.6)\n"));
    if (card.okfs.isEmpty())
        faults.add(tr(". Введите код ОКФС (п.3.7)\n"));
    if (card.okved.isEmpty())
        faults.add(
            on_register_site(". Введите код ОКВЭД (п.3.8) - узнать коды ОКВЭД Вашей организации вы можете на сайте "));

    // 01.01.2000 is the date editor's own start date: the user never set it.
    if (card.tax_date == QDate(2000, 1, 1))
        faults.add(on_register_site(". Введите корректную дату постановки на учет в налоговом органе (п.3.2) - "
                                    "уточнить её можно на сайте "));

    if (person_incomplete(card.head))
        faults.add(tr(". Пункт 1.3 заполнен не полностью (должность руководителя, ФИО, телефон)\n"));
    if (person_incomplete(card.officer))
        faults.add(tr(". Пункт 1.4 заполнен не полностью (должность военно-учетного работника, ФИО, телефон)\n"));
    if (card.mobilisation_body && person_incomplete(card.mobilisation_head))
        faults.add(tr(". Пункт 1.5 заполнен не полностью (должность руководителя моб.органа, ФИО, телефон)\n"));

    if (card.email.isEmpty())
        faults.add(tr(". Не указан адрес электронной почты. Пожалуйста, укажите адрес организации или другой "
                      "контактный e-mail на вкладке ''Адреса''\n"));
    else if (!card.email.contains(QLatin1Char('@')) || !card.email.contains(QLatin1Char('.')))
        faults.add(tr(". Адрес электронной почты указан с ошибкой (должен содержать символы @ и .)\n"));

    if (card.state_body && card.okogu.isEmpty())
        faults.add(tr(". Введите код ОКОГУ (п.3.9)\n"));
    if (card.postal_index.isEmpty())
        faults.add(tr(". Не указан индекс в почтовом адресе организации\n"));
}

// Form 6 figures, and the military office, balance and training of a reserving organisation.
void add_staff_faults(const CardFacts &card, FaultList &faults)
{
    if (card.f6_fault != balance::F6Fault::none)
        faults.add(card.reserving ? tr(". На вкладке Баланс есть ошибки в числовых полях над таблицей\n")
                                  : tr(". На вкладке Персонал есть ошибки в числовых полях\n"));
    if (card.f6_all == 0)
        faults.add(card.reserving ? tr(". На вкладке Баланс не указано количество работающих человек\n")
                                  : tr(". На вкладке Персонал не указано количество работающих человек\n"));
    if (!card.reserving)
        return;

    if (card.military_office.isEmpty() || card.military_office_code.isEmpty())
        faults.add(tr(". Не указан военкомат по месту нахождения организации (п.4.1)\n"));
    if (card.balance_fault != balance::BalanceFault::none)
        faults.add(balance::balance_fault_text(card.balance_fault));
    if (card.f6_mp > card.balance_mp)
        faults.add(tr(". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в "
                      "столбце ''Выбытие по мобилизации'' Баланса (сейчас указано ") +
                   QString::number(card.f6_mp) + tr(" и ") + QString::number(card.balance_mp) +
                   tr(" чел. соответственно).\n"));
    if (card.balance_treb == 0)
        faults.add(card.mobilisation_staff_column
                       ? tr(". Общая численность штата, необходимого для выполнения моб.задания, на вкладке Баланс не "
                            "должна быть равна 0. В этом случае отключите галочку о наличии штата для выполнения "
                            "моб.задания под таблицей.\n")
                       : tr(". Общая численность по штатному расписанию на вкладке Баланс не должна быть равна 0. "
                            "Укажите в данном столбце как минимум численность персонала по штатному расписанию Вашей "
                            "организации.\n"));
    for (const QString &field : card.training) {
        if (field.isEmpty()) {
            faults.add(tr(". Все поля на вкладке Обучение должны быть заполнены.\n"));
            break;
        }
    }
}

GateQuestion capitals_question(int verdict)
{
    GateQuestion q;
    q.title = tr("Заглавные буквы в наименовании организации");
    if (verdict == 1) {
        q.kind = GateQuestion::notice;
        q.text =
            tr("Количество заглавных букв в наименовании организации превысило допустимый предел в 29 символов. "
               "Вероятно, вы просто скопировали его или у вас заело клавиатуру. Буквы заменены на строчные, поэтому, "
               "пожалуйста, проверьте наименование и поставьте заглавные буквы там, где это действительно необходимо "
               "по правилам русского языка. Пожалуйста, не вводите наименование организации заглавными буквами без "
               "разбору и необходимости (даже несмотря на то, что все наименования так записаны в ЕГРЮЛ), пользуйтесь "
               "правилами русского языка, здравым смыслом и уставом вашей организации.\nПожалуйста, проверьте "
               "наименование Вашей организации ещё раз (п.1.2). ");
        return q;
    }
    q.text = tr("В наименовании организации обнаружено большое количество заглавных букв (более 12). Возможно, вы "
                "просто скопировали его. Это не является критической ошибкой, однако, пожалуйста, не вводите "
                "наименование организации заглавными буквами без необходимости (даже несмотря на то, что все "
                "наименования так записаны в ЕГРЮЛ), пользуйтесь правилами русского языка, здравым смыслом и уставом "
                "вашей организации.\nЖелаете проверить наименование организации ещё раз (п.1.2)?");
    q.yes_is_default = true;
    return q;
}

// Folds a name of too many capitals; returns 0 (nothing to say), 1 (folded) or 2 (many capitals).
int judge_capitals(QString &name, bool &folded)
{
    const int capitals = capital_count(name);
    if (capitals > capitals_rewrite_above) {
        name = name.left(1) + name.mid(1).toLower();
        folded = true;
        return 1;
    }
    return capitals >= capitals_question_from ? 2 : 0;
}

GateQuestion question(GateQuestion::Kind kind, const QString &title, const QString &text)
{
    GateQuestion q;
    q.kind = kind;
    q.title = title;
    q.text = text;
    return q;
}

// The questions after the names: addresses, a state body's number, mobilisation orders, fill date.
void add_gate_questions(const GateFacts &card, const QStringList &state_body_ogrns, QVector<GateQuestion> &questions)
{
    if (card.actual_house.isEmpty())
        questions << question(GateQuestion::question, tr("Внимание - не введен ФАКТИЧЕСКИЙ адрес"),
                              tr("Пожалуйста, укажите ФАКТИЧЕСКИЙ адрес (улица и номер дома).\nПри возниконовении "
                                 "проблем с поиском улицы, введите полный адрес в поле ''Дом''.\nЖелаете ввести "
                                 "фактический адрес в п.2.1?"));
    if (card.postal_house.isEmpty())
        questions << question(GateQuestion::question, tr("Внимание - не введен ПОЧТОВЫЙ адрес"),
                              tr("Пожалуйста, укажите ПОЧТОВЫЙ адрес (улица и номер дома).\nПри возниконовении "
                                 "проблем с поиском улицы, введите полный адрес в поле ''Дом''.\nЖелаете ввести "
                                 "почтовый адрес в п.2.2?"));
    if (card.legal_street.isEmpty())
        questions << question(GateQuestion::question, tr("Внимание - не введен ЮРИДИЧЕСКИЙ адрес"),
                              tr("Пожалуйста, укажите ЮРИДИЧЕСКИЙ адрес.\nЖелаете ввести юридический адрес в п.2.3?"));
    if (state_body_ogrns.contains(card.ogrn))
        questions << question(GateQuestion::critical_question, tr("Внимание - ОГРН"),
                              tr("Введенный ОГРН принадлежит ИОГВ Санкт-Петербурга, использование его в других "
                                 "организациях НЕДОПУСТИМО! Введете правильный ОГРН?"));
    if (card.reserving && card.f6_mp < card.balance_mp)
        questions << question(GateQuestion::question,
                              tr("Внимание - разошлось количество ГПЗ, имеющих моб.предписания"),
                              tr("Количество ГПЗ, имеющих мобилизационные предписания (МП), в верхней строке (") +
                                  QString::number(card.f6_mp) + tr(" человек) расходится с Балансом (") +
                                  QString::number(card.balance_mp) +
                                  tr(" человек). Такое возможно, но в редких случаях, когда в Балансе указывается "
                                     "выбытие не только по моб. предписаниям.\nЖелаете внести измения?"));
    if (card.fill_date.year() != card.today.year()) {
        questions << question(GateQuestion::question, tr("Внимание - устаревшая дата заполнения ЦВЕЛТ"),
                              tr("Дата заполнения ЦВЕЛТ не относится к текущему году.\nЖелаете исправить?"));
        questions.last().shows_first_page = true;
    }
}

} // namespace

QStringList card_faults(const CardFacts &card)
{
    FaultList faults;
    add_registration_faults(card, faults);
    add_okpo_faults(card, faults);
    add_form_faults(card, faults);
    add_staff_faults(card, faults);
    return faults.lines;
}

QString shorten_house_words(QString house)
{
    // In this order: "д." goes before "дом", "корпус" before "корп.".
    static const char *const words[][2] = {
        {"д.", ""}, {"дом", ""}, {"корпус", "к."}, {"корп.", "к."}, {"строение", "стр."}};
    for (const auto &word : words)
        house.replace(QString::fromUtf8(word[0]), QString::fromUtf8(word[1]), Qt::CaseInsensitive);
    return house;
}

int capital_count(const QString &text)
{
    int count = 0;
    for (uint c : text.toUcs4())
        if (QChar::category(c) == QChar::Letter_Uppercase)
            ++count;
    return count;
}

GatePlan plan_gate(const GateFacts &card, const QStringList &state_body_ogrns)
{
    GatePlan plan;
    plan.full_name = card.full_name;
    plan.short_name = card.short_name;
    const int full = judge_capitals(plan.full_name, plan.full_name_folded);
    const int brief = judge_capitals(plan.short_name, plan.short_name_folded);
    // A name already folded keeps its notice: the user must see that it was changed.
    const int verdict = full == 1 || brief == 1 ? 1 : qMax(full, brief);
    if (verdict == 1) {
        plan.questions << capitals_question(1);
        return plan;
    }
    if (verdict == 2)
        plan.questions << capitals_question(2);
    add_gate_questions(card, state_body_ogrns, plan.questions);
    return plan;
}

} // namespace card_rules
