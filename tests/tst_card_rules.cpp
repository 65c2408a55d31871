// The whole-card rules and the output gate's questions, without a window.
#include "tests/support/core_test_support.h"
#include "validation/card_rules.h"

#include <functional>
#include <map>

using card_rules::CardFacts;
using card_rules::GateFacts;
using card_rules::GateQuestion;

namespace
{

using Setter = std::function<void(CardFacts &, const QString &)>;

// Card members by name, so the rows below read as "member=value|...".
const std::map<QString, Setter> &card_setters()
{
    static const std::map<QString, Setter> setters = {
        {"inn", [](CardFacts &c, const QString &v) { c.inn = v; }},
        {"kpp", [](CardFacts &c, const QString &v) { c.kpp = v; }},
        {"ogrn", [](CardFacts &c, const QString &v) { c.ogrn = v; }},
        {"okpo", [](CardFacts &c, const QString &v) { c.okpo = v; }},
        {"full_name", [](CardFacts &c, const QString &v) { c.full_name = v; }},
        {"short_name", [](CardFacts &c, const QString &v) { c.short_name = v; }},
        {"okato", [](CardFacts &c, const QString &v) { c.okato = v; }},
        {"okopf", [](CardFacts &c, const QString &v) { c.okopf = v; }},
        {"okfs", [](CardFacts &c, const QString &v) { c.okfs = v; }},
        {"okved", [](CardFacts &c, const QString &v) { c.okved = v; }},
        {"tax_date", [](CardFacts &c, const QString &v) { c.tax_date = QDate::fromString(v, Qt::ISODate); }},
        {"head.post", [](CardFacts &c, const QString &v) { c.head.post = v; }},
        {"head.phone", [](CardFacts &c, const QString &v) { c.head.phone = v; }},
        {"officer.surname", [](CardFacts &c, const QString &v) { c.officer.surname = v; }},
        {"officer.first_name", [](CardFacts &c, const QString &v) { c.officer.first_name = v; }},
        {"mobilisation_body", [](CardFacts &c, const QString &v) { c.mobilisation_body = v == "1"; }},
        {"mobilisation_head.post", [](CardFacts &c, const QString &v) { c.mobilisation_head.post = v; }},
        {"email", [](CardFacts &c, const QString &v) { c.email = v; }},
        {"state_body", [](CardFacts &c, const QString &v) { c.state_body = v == "1"; }},
        {"okogu", [](CardFacts &c, const QString &v) { c.okogu = v; }},
        {"postal_index", [](CardFacts &c, const QString &v) { c.postal_index = v; }},
        {"f6_fault", [](CardFacts &c, const QString &v) { c.f6_fault = balance::F6Fault(v.toInt()); }},
        {"f6_all", [](CardFacts &c, const QString &v) { c.f6_all = v.toInt(); }},
        {"military_office", [](CardFacts &c, const QString &v) { c.military_office = v; }},
        {"military_office_code", [](CardFacts &c, const QString &v) { c.military_office_code = v; }},
        {"balance_fault", [](CardFacts &c, const QString &v) { c.balance_fault = balance::BalanceFault(v.toInt()); }},
        {"f6_mp", [](CardFacts &c, const QString &v) { c.f6_mp = v.toInt(); }},
        {"balance_mp", [](CardFacts &c, const QString &v) { c.balance_mp = v.toInt(); }},
        {"balance_treb", [](CardFacts &c, const QString &v) { c.balance_treb = v.toInt(); }},
        {"mobilisation_staff_column", [](CardFacts &c, const QString &v) { c.mobilisation_staff_column = v == "1"; }},
        {"training.3", [](CardFacts &c, const QString &v) { c.training[3] = v; }},
        {"training.5", [](CardFacts &c, const QString &v) { c.training[5] = v; }},
    };
    return setters;
}

// A card of an organisation that reserves nobody and passes every rule, as the form reads it.
CardFacts valid_card()
{
    CardFacts c;
    c.inn = "7707083893";
    c.kpp = "770701001";
    c.ogrn = "1027700132195";
    c.okpo = "00032537";
    c.full_name = "Общество с ограниченной ответственностью \"Ромашка\"";
    c.short_name = "ООО \"Ромашка\"";
    c.okato = "40262563000";
    c.okopf = "12300";
    c.okfs = "16";
    c.okved = "62.01";
    c.tax_date = QDate(2010, 5, 14);
    c.head = {"Генеральный директор", "Петров", "Пётр", "(812)-123-45-67"};
    c.officer = {"Инспектор", "Сидорова", "Анна", "(812)-765-43-21"};
    c.mobilisation_head = {"", "", "", "()---"};
    c.email = "office@romashka.ru";
    c.postal_index = "190000";
    c.f6_all = 10;
    c.training = QStringList{"", "", "", "", "", ""};
    return c;
}

// The valid card turned into a reserving one that still passes.
CardFacts reserving_card()
{
    CardFacts c = valid_card();
    c.reserving = true;
    c.military_office = "Военный комиссариат Центрального района";
    c.military_office_code = "012";
    c.f6_all = 5;
    c.f6_mp = c.balance_mp = 1;
    c.balance_treb = 5;
    c.training = QStringList{"Удостоверение 1", "УМЦ", "Удостоверение 2", "УМЦ", "Удостоверение 3", "УМЦ"};
    return c;
}

CardFacts changed(CardFacts card, const QString &changes)
{
    for (const QString &change : changes.split('|', Qt::SkipEmptyParts)) {
        const QString name = change.section('=', 0, 0), value = change.section('=', 1);
        const auto setter = card_setters().find(name);
        if (setter == card_setters().end())
            qFatal("no card member %s", qPrintable(name));
        setter->second(card, value);
    }
    return card;
}

QStringList numbered(const QStringList &items)
{
    QStringList lines;
    for (const QString &item : items)
        lines << QString::number(lines.size() + 1) + item;
    return lines;
}

// Names of n capitals: "З" then n - 1 more, or the same in small letters but the first.
QString capitals(int n, bool folded = false)
{
    return "З" + QString(n - 1, QChar(folded ? 0x0431 : 0x0411));
}

const QDate today(2026, 12, 8);

GateFacts passing_gate()
{
    GateFacts g;
    g.full_name = "Общество с ограниченной ответственностью \"Ромашка\"";
    g.short_name = "ООО \"Ромашка\"";
    g.actual_house = g.postal_house = "10";
    g.legal_street = "Садовая ул.";
    g.ogrn = "1027700132195";
    g.f6_mp = g.balance_mp = 1;
    g.fill_date = g.today = today;
    return g;
}

// One question as "kind|title|default|page" where default is "Да" or "Нет" ("OK" for a notice) and page is
// "first" when going back shows the first page.
QString describe(const GateQuestion &q)
{
    const char *kinds[] = {"notice", "question", "critical"};
    return QString(kinds[q.kind]) + "|" + q.title + "|" +
           (q.kind == GateQuestion::notice ? "OK"
            : q.yes_is_default             ? "Да"
                                           : "Нет") +
           (q.shows_first_page ? "|first" : "");
}

const QString caps_title = "Заглавные буквы в наименовании организации";
const QString state_body_ogrn = "1027809169585";

void fault_row(const char *tag, bool reserving, const char *changes, const QStringList &items)
{
    QTest::newRow(tag) << reserving << QString(changes) << items;
}

void reserving_card_rows()
{
    fault_row("reserving card passes", true, "", {});
    fault_row("reserving: no military office, more orders than departures, no training institution", true,
              "military_office_code=|f6_mp=2|training.3=",
              {". Не указан военкомат по месту нахождения организации (п.4.1)\n",
               ". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в столбце "
               "''Выбытие по мобилизации'' Баланса (сейчас указано 2 и 1 чел. соответственно).\n",
               ". Все поля на вкладке Обучение должны быть заполнены.\n"});
    fault_row("reserving: the office's name alone missing, two training fields give one item", true,
              "military_office=|training.3=|training.5=",
              {". Не указан военкомат по месту нахождения организации (п.4.1)\n",
               ". Все поля на вкладке Обучение должны быть заполнены.\n"});
    fault_row("reserving: form 6 fault, nobody working, no establishment total", true,
              "f6_fault=1|f6_all=0|balance_treb=0",
              {". На вкладке Баланс есть ошибки в числовых полях над таблицей\n",
               ". На вкладке Баланс не указано количество работающих человек\n",
               ". Общая численность по штатному расписанию на вкладке Баланс не должна быть равна 0. Укажите в данном "
               "столбце как минимум численность персонала по штатному расписанию Вашей организации.\n"});
    fault_row("reserving: no staff for the mobilisation task", true, "balance_treb=0|mobilisation_staff_column=1",
              {". Общая численность штата, необходимого для выполнения моб.задания, на вкладке Баланс не должна быть "
               "равна 0. В этом случае отключите галочку о наличии штата для выполнения моб.задания под таблицей.\n"});
    fault_row("reserving: fewer orders than departures is no fault", true, "f6_mp=0", {});
}

} // namespace

Q_DECLARE_METATYPE(GateFacts)

class TestCardRules : public QObject
{
    Q_OBJECT

private slots:
    void faults_data();
    void faults();
    void balance_codes_data();
    void balance_codes();
    void house_words_data();
    void house_words();
    void capital_count_data();
    void capital_count();
    void gate_data();
    void gate();
    void gate_texts();
};

void TestCardRules::faults_data()
{
    QTest::addColumn<bool>("reserving");
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QStringList>("items");
    const QString reg = " можно на сайте EGRUL.NALOG.RU\n", stat = " вы можете на сайте WEBSBOR.ROSSTAT.GOV.RU",
                  link = " по ссылке ''Получить данные о кодах''\n", top = link.chopped(1) + " вверху страницы.\n",
                  okpo_8 =
                      ". Код ОКПО (п.3.5) должен быть не менее 8 символов (для ИП - 10 символов) - уточнить ОКПО вы "
                      "можете на сайте WEBSBOR.ROSSTAT.GOV.RU по ссылке ''Получить данные о кодах'' вверху "
                      "страницы.\n",
                  okpo_length = ". Код ОКПО (п.3.5) содержит неверное число знаков - уточнить ОКПО" + stat + top,
                  bad_email = ". Адрес электронной почты указан с ошибкой (должен содержать символы @ и .)\n",
                  no_inn = ". Введите ИНН (п.3.1) - проверить код" + reg;

    fault_row("valid card passes", false, "", {});
    fault_row(
        "no inn, ogrn, e-mail or index", false, "inn=|kpp=|ogrn=|email=|postal_index=",
        {no_inn, ". Введите ОГРН (п.3.3) - уточнить код" + reg,
         ". Не указан адрес электронной почты. Пожалуйста, укажите адрес организации или другой контактный e-mail на "
         "вкладке ''Адреса''\n",
         ". Не указан индекс в почтовом адресе организации\n"});
    fault_row("no inn: the reason code is not looked at", false, "inn=|kpp=77", {no_inn});
    fault_row("no ogrn: legal entity, no control digits", false, "ogrn=0|inn=7707083894|kpp=|okpo=0003253",
              {". Введите КПП (п.3.2) - проверить код" + reg, okpo_8, okpo_length});
    fault_row("legal entity with an individual's inn and a short kpp", false, "inn=500100732259|kpp=7707010",
              {". ИНН юридических лиц (п.3.1) должен содержать 10 символов - проверить ИНН" + reg,
               ". КПП юридических лиц (п.3.2) должен содержать 9 символов - проверить код" + reg});
    fault_row("ogrn beginning with 5 is a legal entity", false, "ogrn=5027700132195|inn=500100732259",
              {". ИНН юридических лиц (п.3.1) должен содержать 10 символов - проверить ИНН" + reg,
               ". Код ОГРН (п.3.3) не прошел проверку по контрольному числу - уточнить ОГРН" + reg});
    fault_row("ogrn beginning with 2: prefix item, controls still run", false, "ogrn=20277001321951|inn=7707083894",
              {".ОГРН юридических лиц (п.3.3) должен начинаться с 1 или 5, для индивидуальных предпринимателей - с 3. "
               "Уточнить ОГРН можно на сайте EGRUL.NALOG.RU\n",
               ". Код ИНН (п.3.1) не прошел проверку по контрольному числу - уточнить ИНН" + reg});
    fault_row("wrong control digits of ogrn and okpo", false, "ogrn=1027700132196|okpo=00032538",
              {". Код ОГРН (п.3.3) не прошел проверку по контрольному числу - уточнить ОГРН" + reg,
               ". Код ОКПО (п.3.5) не прошел проверку по контрольному числу - уточнить ОКПО можно на сайте "
               "WEBSBOR.ROSSTAT.GOV.RU по ссылке ''Получить данные о кодах''\n"});
    fault_row("legal entity ogrn of 12 digits, no okpo, e-mail without @", false,
              "ogrn=102770013219|okpo=|email=office.romashka.ru",
              {". ОГРН юридических лиц (п.3.3) должен содержать 13 символов - уточнить ОГРН" + reg,
               ". Введите код ОКПО (п.3.5) - узнать ОКПО Вашей организации" + stat + link, bad_email});
    fault_row("entrepreneur: inn of 10, short ogrnip, okpo of 9", false, "ogrn=30450011600015|kpp=|okpo=000325371",
              {". ИНН индивидуальных предпринимателей (п.3.1) должен содержать 12 символов - проверить ИНН" + reg,
               ". ОГРН индивидуальных предпринимателей (п.3.3) должен содержать 15 символов - уточнить ОГРН" + reg,
               ". Код ОКПО (п.3.5) для ИП должен быть не менее 10 символов - уточнить ОКПО" + stat + top, okpo_length});
    fault_row("entrepreneur passes with 12-digit inn", false, "ogrn=304500116000157|inn=500100732259|okpo=1311544445",
              {});
    fault_row("okpo of 12, partial phone, state body with okogu pass", false,
              "okpo=000325389999|head.phone=(812)-1|state_body=1|okogu=2300223", {});
    fault_row("okpo 0 passes", false, "okpo=0", {});
    fault_row("the other pages", false,
              "full_name=|short_name=|okato=|okopf=|okfs=|okved=|tax_date=2000-01-01|head.phone=()---|officer.surname=|"
              "mobilisation_body=1|mobilisation_head.post=Начальник|email=office@romashka|state_body=1|f6_fault=3",
              {". Введите сокращенное наименование организации - уточнить его" + reg,
               ". Введите полное наименование организации - уточнить его" + reg, ". Введите код ОКАТО (п.3.4)\n",
               ". Введите код ОКОПФ (п.3.6)\n", ". Введите код ОКФС (п.3.7)\n",
               ". Введите код ОКВЭД (п.3.8) - узнать коды ОКВЭД Вашей организации вы можете на сайте EGRUL.NALOG.RU\n",
               ". Введите корректную дату постановки на учет в налоговом органе (п.3.2) - уточнить её" + reg,
               ". Пункт 1.3 заполнен не полностью (должность руководителя, ФИО, телефон)\n",
               ". Пункт 1.4 заполнен не полностью (должность военно-учетного работника, ФИО, телефон)\n",
               ". Пункт 1.5 заполнен не полностью (должность руководителя моб.органа, ФИО, телефон)\n", bad_email,
               ". Введите код ОКОГУ (п.3.9)\n", ". На вкладке Персонал есть ошибки в числовых полях\n"});
    fault_row("one missing part of a person is enough", false, "head.post=|officer.first_name=",
              {". Пункт 1.3 заполнен не полностью (должность руководителя, ФИО, телефон)\n",
               ". Пункт 1.4 заполнен не полностью (должность военно-учетного работника, ФИО, телефон)\n"});
    fault_row("no mobilisation body: its head is not required", false, "mobilisation_body=0", {});
    fault_row("nobody working, personnel wording", false, "f6_all=0",
              {". На вкладке Персонал не указано количество работающих человек\n"});
    // Without reservation the military office, balance and training are not looked at.
    fault_row("not reserving ignores the reservation pages", false,
              "military_office=|balance_fault=2|f6_mp=5|balance_treb=0|training.3=", {});

    reserving_card_rows();
}

void TestCardRules::faults()
{
    QFETCH(bool, reserving);
    QFETCH(QString, changes);
    QFETCH(QStringList, items);
    const QStringList lines = card_rules::card_faults(changed(reserving ? reserving_card() : valid_card(), changes));
    QCOMPARE(lines, numbered(items));
}

void TestCardRules::balance_codes_data()
{
    QTest::addColumn<balance::BalanceFault>("fault");
    QTest::addColumn<QString>("item");
    const QString tab = ". На вкладке Баланс ", totals = "Для сравнения можно включить пункт ''Итоговые данные по "
                                                         "Балансу'' под таблицей";
    QTest::newRow("empty_cell")
        << balance::BalanceFault::empty_cell
        << tab + "есть незаполненные ячейки (в том числе должно быть выставлено значение 0 вместо "
                 "пустых ячеек в таблице).\n";
    QTest::newRow("arithmetic") << balance::BalanceFault::arithmetic
                                << tab + "есть арифметические ошибки, окрашенные красным цветом.\n";
    QTest::newRow("repeated_key") << balance::BalanceFault::repeated_key
                                  << tab + "есть повторяющиеся коды должностей/профессий.\n";
    QTest::newRow("actual_total")
        << balance::BalanceFault::actual_total
        << ". Общая фактическая численность в таблице Баланс не совпадает с полем Всего работающих "
           "над таблицей. " +
               totals + ".\n";
    QTest::newRow("reserved_total")
        << balance::BalanceFault::reserved_total
        << ". Общее число забронированных в таблице Баланс не совпадает с полем всего забронировано "
           "над таблицей.\n" +
               totals +
               " - сумма по забронированным должна совпасть с кол-вом забронированных офицеров и не "
               "офицеров.\n";
    QTest::newRow("empty_row") << balance::BalanceFault::empty_row
                               << tab + "есть должности/профессии, в которых штатная и фактическая численность "
                                        "одновременно равны 0. Данные строки не несут информации, их нужно удалить из "
                                        "Баланса.\n";
    QTest::newRow("no_code_or_name")
        << balance::BalanceFault::no_code_or_name
        << tab + "есть должности/профессии с пустым наименованием или кодом - такое возможно, если "
                 "код недействителен или был аннулирован. Проверьте, пожалуйста, все строки "
                 "Баланса.\n";
    QTest::newRow("no_establishment")
        << balance::BalanceFault::no_establishment
        << tab + "не заполнена графа ''Численность по штатному расписанию'' - должна быть больше 0 в "
                 "каждой строке.\n";
    QTest::newRow("no_rows") << balance::BalanceFault::no_rows << ". Не заполнен Баланс трудовых ресурсов.\n";
}

void TestCardRules::balance_codes()
{
    QFETCH(balance::BalanceFault, fault);
    QFETCH(QString, item);
    // The balance item takes its place between the military office and the orders.
    CardFacts card = reserving_card();
    card.military_office.clear();
    card.f6_mp = 2;
    card.balance_fault = fault;
    QCOMPARE(card_rules::card_faults(card),
             numbered({". Не указан военкомат по месту нахождения организации (п.4.1)\n", item,
                       ". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в "
                       "столбце ''Выбытие по мобилизации'' Баланса (сейчас указано 2 и 1 чел. соответственно).\n"}));
}

void TestCardRules::house_words_data()
{
    QTest::addColumn<QString>("house");
    QTest::addColumn<QString>("shortened");
    QTest::newRow("abbreviation leaves its blank") << "д. 5 корпус 2"
                                                   << " 5 к. 2";
    QTest::newRow("capitals, written small") << "ДОМ 5 СТРОЕНИЕ 1"
                                             << " 5 стр. 1";
    QTest::newRow("part of a word") << "Домостроительная 3"
                                    << "остроительная 3";
    QTest::newRow("corp. before a digit") << "5корп.2"
                                          << "5к.2";
    QTest::newRow("short forms stay") << "5 к. 2 стр. 1"
                                      << "5 к. 2 стр. 1";
    QTest::newRow("house word with a point") << "дом.5"
                                             << ".5";
    QTest::newRow("mixed case of the long words") << "5 КоРпУс 1 СтРоЕнИе 2"
                                                  << "5 к. 1 стр. 2";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCardRules::house_words()
{
    QFETCH(QString, house);
    QFETCH(QString, shortened);
    QCOMPARE(card_rules::shorten_house_words(house), shortened);
}

void TestCardRules::capital_count_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("cyrillic and latin") << "ООО \"Ромашка\" LLC" << 7;
    QTest::newRow("yo and digits") << "ЁЖ 123 ё" << 2;
    QTest::newRow("title-case letter is no capital") << QString::fromUtf8("ǅ") << 0;
    QTest::newRow("capital outside the basic plane counts once") << QString::fromUcs4(U"\U0001D400a") << 1;
}

void TestCardRules::capital_count()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(card_rules::capital_count(text), count);
}

void TestCardRules::gate_data()
{
    QTest::addColumn<GateFacts>("card");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("full_name"); // afterwards
    QTest::addColumn<QString>("short_name");
    const auto names = [](int full, int brief) {
        GateFacts g = passing_gate();
        g.full_name = capitals(full);
        g.short_name = capitals(brief);
        return g;
    };
    const auto row = [](const char *tag, const GateFacts &g, const QStringList &questions, const QString &full = {},
                        const QString &brief = {}) {
        QTest::newRow(tag) << g << questions << (full.isNull() ? g.full_name : full)
                           << (brief.isNull() ? g.short_name : brief);
    };
    const QString soft = "question|" + caps_title + "|Да", notice = "notice|" + caps_title + "|OK",
                  actual = "question|Внимание - не введен ФАКТИЧЕСКИЙ адрес|Нет",
                  postal = "question|Внимание - не введен ПОЧТОВЫЙ адрес|Нет",
                  legal = "question|Внимание - не введен ЮРИДИЧЕСКИЙ адрес|Нет",
                  state_body = "critical|Внимание - ОГРН|Нет",
                  orders = "question|Внимание - разошлось количество ГПЗ, имеющих моб.предписания|Нет",
                  date = "question|Внимание - устаревшая дата заполнения ЦВЕЛТ|Нет|first";

    row("nothing to ask", passing_gate(), {});
    row("12 capitals each", names(12, 12), {});
    row("13 capitals", names(13, 1), {soft});
    row("29 capitals in the short name", names(1, 29), {soft});
    row("30 capitals are folded", names(30, 1), {notice}, capitals(30, true));
    row("short name of 30 capitals", names(1, 30), {notice}, {}, capitals(30, true));
    // A folded name is announced even when the other name only has many capitals.
    row("folded full name, busy short name", names(40, 20), {notice}, capitals(40, true));
    row("busy full name, folded short name", names(20, 40), {notice}, {}, capitals(40, true));
    GateFacts g = names(31, 31);
    g.actual_house.clear();
    row("both folded, the notice stops the rest", g, {notice}, capitals(31, true), capitals(31, true));
    g = names(13, 13);
    g.actual_house.clear();
    g.postal_house.clear();
    g.legal_street.clear();
    row("capitals, then the three addresses", g, {soft, actual, postal, legal});
    g = passing_gate();
    g.ogrn = state_body_ogrn;
    row("state body's ogrn", g, {state_body});
    g.ogrn = " " + state_body_ogrn;
    row("the ogrn is compared as typed", g, {});
    g = passing_gate();
    g.reserving = true;
    g.f6_mp = 0;
    row("fewer orders, reserving", g, {orders});
    g.reserving = false;
    row("fewer orders, not reserving", g, {});
    g.reserving = true;
    g.f6_mp = 2;
    row("more orders are the check's business", g, {});
    g = passing_gate();
    g.fill_date = QDate(2025, 12, 31);
    row("last year's fill date", g, {date});
    g.fill_date = QDate(2027, 1, 1);
    row("next year's fill date", g, {date});
    g.fill_date = QDate(2026, 1, 1);
    row("this year's fill date", g, {});
    g = passing_gate();
    g.legal_street.clear();
    g.ogrn = state_body_ogrn;
    g.reserving = true;
    g.f6_mp = 0;
    g.fill_date = QDate(2020, 6, 1);
    row("everything at once, in order", g, {legal, state_body, orders, date});
}

void TestCardRules::gate()
{
    QFETCH(GateFacts, card);
    QFETCH(QStringList, questions);
    QFETCH(QString, full_name);
    QFETCH(QString, short_name);
    const card_rules::GatePlan plan = card_rules::plan_gate(card, {"1037843012345", state_body_ogrn});
    QStringList asked;
    for (const GateQuestion &q : plan.questions)
        asked << describe(q);
    QCOMPARE(asked, questions);
    QCOMPARE(plan.full_name, full_name);
    QCOMPARE(plan.short_name, short_name);
    QCOMPARE(plan.full_name_folded, full_name != card.full_name);
    QCOMPARE(plan.short_name_folded, short_name != card.short_name);
}

void TestCardRules::gate_texts()
{
    GateFacts g = passing_gate();
    g.reserving = true;
    g.f6_mp = 0;
    g.full_name = "ООО \"РОМАШКА И ЛЮТИК ЗАКРЫТОЕ АКЦИОНЕРНОЕ ОБЩЕСТВО\"";
    card_rules::GatePlan plan = card_rules::plan_gate(g, {});
    QCOMPARE(plan.full_name, QString("Ооо \"ромашка и лютик закрытое акционерное общество\""));
    QCOMPARE(plan.questions.size(), 1);
    QCOMPARE(plan.questions[0].text,
             QString("Количество заглавных букв в наименовании организации превысило допустимый предел в 29 символов. "
                     "Вероятно, вы просто скопировали его или у вас заело клавиатуру. Буквы заменены на строчные, "
                     "поэтому, пожалуйста, проверьте наименование и поставьте заглавные буквы там, где это "
                     "действительно необходимо по правилам русского языка. Пожалуйста, не вводите наименование "
                     "организации заглавными буквами без разбору и необходимости (даже несмотря на то, что все "
                     "наименования так записаны в ЕГРЮЛ), пользуйтесь правилами русского языка, здравым смыслом и "
                     "уставом вашей организации.\nПожалуйста, проверьте наименование Вашей организации ещё раз "
                     "(п.1.2). "));

    g.full_name = "ООО";
    g.balance_mp = 12;
    plan = card_rules::plan_gate(g, {});
    QCOMPARE(plan.questions.size(), 1);
    QCOMPARE(plan.questions[0].text,
             QString("Количество ГПЗ, имеющих мобилизационные предписания (МП), в верхней строке (0 человек) "
                     "расходится с Балансом (12 человек). Такое возможно, но в редких случаях, когда в Балансе "
                     "указывается выбытие не только по моб. предписаниям.\nЖелаете внести измения?"));

    g = passing_gate();
    g.full_name = capitals(13);
    g.actual_house.clear();
    g.postal_house.clear();
    g.legal_street.clear();
    g.ogrn = state_body_ogrn;
    g.fill_date = QDate(2020, 6, 1);
    plan = card_rules::plan_gate(g, {state_body_ogrn});
    QStringList texts;
    for (const GateQuestion &q : plan.questions)
        texts << q.text;
    QCOMPARE(texts,
             QStringList(
                 {"В наименовании организации обнаружено большое количество заглавных букв (более 12). Возможно, вы "
                  "просто скопировали его. Это не является критической ошибкой, однако, пожалуйста, не вводите "
                  "наименование организации заглавными буквами без необходимости (даже несмотря на то, что все "
                  "наименования так записаны в ЕГРЮЛ), пользуйтесь правилами русского языка, здравым смыслом и "
                  "уставом вашей организации.\nЖелаете проверить наименование организации ещё раз (п.1.2)?",
                  "Пожалуйста, укажите ФАКТИЧЕСКИЙ адрес (улица и номер дома).\nПри возниконовении проблем с поиском "
                  "улицы, введите полный адрес в поле ''Дом''.\nЖелаете ввести фактический адрес в п.2.1?",
                  "Пожалуйста, укажите ПОЧТОВЫЙ адрес (улица и номер дома).\nПри возниконовении проблем с поиском "
                  "улицы, введите полный адрес в поле ''Дом''.\nЖелаете ввести почтовый адрес в п.2.2?",
                  "Пожалуйста, укажите ЮРИДИЧЕСКИЙ адрес.\nЖелаете ввести юридический адрес в п.2.3?",
                  "Введенный ОГРН принадлежит ИОГВ Санкт-Петербурга, использование его в других организациях "
                  "НЕДОПУСТИМО! Введете правильный ОГРН?",
                  "Дата заполнения ЦВЕЛТ не относится к текущему году.\nЖелаете исправить?"}));
}

QUELT_CORE_TEST_MAIN(TestCardRules)
#include "tst_card_rules.moc"
