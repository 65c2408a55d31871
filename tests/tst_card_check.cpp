// The whole-card check, the balance table check, the tidy-up and the output gate on a real window.
#include "test_support.h"
#include "text_rules.h"
#include "ui_widget.h"
#include "widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QTimer>

#include "check_digits.h"

namespace
{

const QString register_host = "EGRUL.NALOG.RU";
const QString statistics_host = "WEBSBOR.ROSSTAT.GOV.RU";
const QString okpo_link = " по ссылке ''Получить данные о кодах''\n";
const QString okpo_link_top = " по ссылке ''Получить данные о кодах'' вверху страницы.\n";

// What one modal box showed.
struct Box {
    QString title;
    QString text;
    QString informative;
    QString default_button;
    QStringList buttons;
    int icon = 0;
};
using Log = std::shared_ptr<QVector<Box>>;

void queue_answer(Log log, QStringList answers, int i)
{
    if (i >= answers.size())
        return;
    test_support::answer_next_modal(answers.at(i), [log, answers, i](QWidget *w) {
        Box seen;
        seen.title = w->windowTitle();
        auto *box = qobject_cast<QMessageBox *>(w);
        QAbstractButton *target = nullptr;
        if (box) {
            seen.text = box->text();
            seen.informative = box->informativeText();
            seen.icon = box->icon();
            if (box->defaultButton())
                seen.default_button = box->defaultButton()->text();
            for (QAbstractButton *b : box->buttons()) {
                seen.buttons << b->text();
                if (b->text() == answers.at(i))
                    target = b;
            }
        }
        log->append(seen);
        queue_answer(log, answers, i + 1);
        if (box && answers.at(i) == "<Enter>")
            QTest::keyClick(box, Qt::Key_Return);
        else if (target)
            target->click();
        else if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
    });
}

// Answers the next boxes in turn, one answer each ("<Enter>" presses the default button).
Log answer_in_turn(const QStringList &answers)
{
    auto log = std::make_shared<QVector<Box>>();
    queue_answer(log, answers, 0);
    return log;
}

// Closes every modal window while it lives and remembers their titles.
class CloseAnyModal
{
public:
    CloseAnyModal()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                titles << modal->windowTitle();
                if (auto *dialog = qobject_cast<QDialog *>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        timer.start(20);
    }
    QStringList titles;

private:
    QTimer timer;
};

// Sets a field of the main form by object name, whatever its kind.
void set_field(Widget &w, const QString &name, const QVariant &value)
{
    QWidget *field = w.findChild<QWidget *>(name);
    QVERIFY2(field, qPrintable(name));
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->setText(value.toString());
    else if (auto *text = qobject_cast<QTextEdit *>(field))
        text->setPlainText(value.toString());
    else if (auto *combo = qobject_cast<QComboBox *>(field))
        combo->setCurrentText(value.toString());
    else if (auto *spin = qobject_cast<QSpinBox *>(field))
        spin->setValue(value.toInt());
    else if (auto *date = qobject_cast<QDateEdit *>(field))
        date->setDate(value.toDate());
    else
        QFAIL(qPrintable(name));
}

void set_fields(Widget &w, const QVariantMap &fields)
{
    for (auto it = fields.begin(); it != fields.end(); ++it)
        set_field(w, it.key(), it.value());
}

// A card of an organisation that reserves nobody and passes every rule.
QVariantMap valid_card()
{
    return {{"le_INN", "7707083893"},
            {"le_KPP", "770701001"},
            {"le_OGRN", "1027700132195"},
            {"le_OKPO", "00032537"},
            {"te_orgname", "Общество с ограниченной ответственностью \"Ромашка\""},
            {"te_orgname2", "ООО \"Ромашка\""},
            {"le_okato", "40262563000"},
            {"lineEdit_11", "12300"},
            {"lineEdit_13", "Общества с ограниченной ответственностью"},
            {"lineEdit_25", "16"},
            {"le_osn_ved", "62.01"},
            {"dateINN", QDate(2010, 5, 14)},
            {"lineEdit", "Генеральный директор"},
            {"le_FamRuk", "Петров"},
            {"le_ImRuk", "Пётр"},
            {"le_TelRuk", "(812)-123-45-67"},
            {"le_DolgVur", "Инспектор"},
            {"le_FamVur", "Сидорова"},
            {"le_ImVur", "Анна"},
            {"le_TelVur", "(812)-765-43-21"},
            {"lineEdit_10", "office@romashka.ru"},
            {"lineEdit_29", "190000"},
            {"lineEdit_23", "Невский пр."},
            {"lineEdit_9", "10"},
            {"lineEdit_37", "Невский пр."},
            {"lineEdit_34", "10"},
            {"lineEdit_21", "Садовая ул."},
            {"lineEdit_8", "5"},
            {"sb_f6_all", 10},
            {"dateZap", QDate::currentDate()}};
}

QStandardItem *cell(const QVariant &value)
{
    auto *item = new QStandardItem;
    if (value.isValid())
        item->setData(value, Qt::EditRole);
    return item;
}

// One balance row; figures are columns 6, 7, 8, 9, 11 and 15 (an invalid value leaves the cell empty).
struct Row {
    QString key;
    QString code = "20000";
    QString name = "Директор";
    QVariant shtat = 5, treb = 5, fact = 5, mp = 1, bron = 2, vnutr = 0;
    QString category = "1";
};

void add_rows(QStandardItemModel *model, const QVector<Row> &rows)
{
    for (const Row &r : rows) {
        QList<QStandardItem *> items;
        for (int c = 0; c < 21; ++c)
            items << cell(QVariant());
        items[0]->setData(r.key, Qt::EditRole);
        items[3]->setData(r.code, Qt::EditRole);
        items[5]->setData(r.name, Qt::EditRole);
        const QVariant figures[][2] = {{6, r.shtat}, {7, r.treb}, {8, r.fact}, {9, r.mp}, {11, r.bron}, {15, r.vnutr}};
        for (const auto &f : figures)
            if (f[1].isValid())
                items[f[0].toInt()]->setData(f[1], Qt::EditRole);
        items[18]->setData(r.category, Qt::EditRole);
        items[20]->setData("1", Qt::EditRole);
        model->appendRow(items);
    }
}

Row row(const QString &key)
{
    Row r;
    r.key = key;
    return r;
}

QStringList column_texts(QStandardItemModel *model, int column)
{
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, column).data().toString();
    return texts;
}

QString numbered(const QStringList &items)
{
    QString list;
    for (int i = 0; i < items.size(); ++i)
        list += QString::number(i + 1) + items.at(i);
    return list;
}

} // namespace

Q_DECLARE_METATYPE(Row)

class TestCardCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window.reset(); }

    void check_digit_slots_read_their_fields_data();
    void check_digit_slots_read_their_fields();

    void valid_card_passes_silently();
    void faults_are_numbered_in_test_order_data();
    void faults_are_numbered_in_test_order();
    void reserving_card_faults_data();
    void reserving_card_faults();
    void balance_codes_become_one_item_data();
    void balance_codes_become_one_item();
    void fault_box_offers_the_unfinished_card_file();

    void balance_table_codes_data();
    void balance_table_codes();
    void repeated_keys_are_reported_after_sorting();
    void empty_establishment_cells_get_zero();

    void tidy_up_data();
    void tidy_up();
    void tidy_up_names_go_through_the_name_rules();

    void gate_stops_before_tidying_a_failing_card();
    void gate_capitals_data();
    void gate_capitals();
    void gate_questions_data();
    void gate_questions();
    void gate_state_body_registration_number();
    void gate_old_fill_date_shows_the_first_page();

private:
    Ui::Widget *ui() { return window->form(); }
    void make_reserving(const QVector<Row> &rows = {row("1120000")});
    std::unique_ptr<Widget> window;
};

void TestCardCheck::init()
{
    window.reset(new Widget);
    set_fields(*window, valid_card());
}

// Turns the valid card into a reserving one that still passes.
void TestCardCheck::make_reserving(const QVector<Row> &rows)
{
    set_fields(*window, {{"cb_kat_b", "Да"},
                         {"le_VK", "Военный комиссариат Центрального района"},
                         {"VK_org", "012"},
                         {"sb_f6_all", 5},
                         {"sb_f6_of", 3},
                         {"sb_f6_neof", 2},
                         {"sb_f6_gpz", 5},
                         {"sb_f6_bron_of", 2},
                         {"sb_f6_bron_neof", 0},
                         {"sb_f6_bron_all", 2},
                         {"sb_f6_mp", 1},
                         {"ob_ruk", "Удостоверение 1"},
                         {"ob_ruk_gou", "УМЦ"},
                         {"ob_vur", "Удостоверение 2"},
                         {"ob_vur_gou", "УМЦ"},
                         {"ob_mob", "Удостоверение 3"},
                         {"ob_mob_gou", "УМЦ"}});
    add_rows(window->balance_model, rows);
    set_fields(*window, {{"sb_b_all", 5},
                         {"sb_b_ruk", 5},
                         {"sb_b_bron", 2},
                         {"sb_b_ruk_bron", 2},
                         {"sb_b_sum_mp", 1},
                         {"sb_b_sum_treb", 5}});
    QCOMPARE(ui()->cb_kat_b->currentText(), QString("Да"));
}

void TestCardCheck::check_digit_slots_read_their_fields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<int>("result");

    QTest::newRow("inn fits") << "le_INN"
                              << "7707083893"
                              << "INN_check" << 0;
    QTest::newRow("inn wrong") << "le_INN"
                               << "7707083894"
                               << "INN_check" << 1;
    QTest::newRow("individual inn wrong") << "le_INN"
                                          << "500100732258"
                                          << "INN_check" << 1;
    QTest::newRow("inn of 11 digits") << "le_INN"
                                      << "77070838941"
                                      << "INN_check" << 0;
    QTest::newRow("ogrn fits") << "le_OGRN"
                               << "1027700132195"
                               << "OGRN_check" << 0;
    QTest::newRow("ogrn wrong") << "le_OGRN"
                                << "1027700132196"
                                << "OGRN_check" << 1;
    QTest::newRow("ogrnip remainder 12") << "le_OGRN"
                                         << "330682651233082"
                                         << "OGRN_check" << 0;
    QTest::newRow("ogrn of 14 digits") << "le_OGRN"
                                       << "10277001321961"
                                       << "OGRN_check" << 0;
    QTest::newRow("okpo fits") << "le_OKPO"
                               << "00032537"
                               << "OKPO_check" << 0;
    QTest::newRow("okpo wrong") << "le_OKPO"
                                << "00032538"
                                << "OKPO_check" << 1;
    QTest::newRow("okpo of 14 by its first 8") << "le_OKPO"
                                               << "00032537999999"
                                               << "OKPO_check" << 0;
    QTest::newRow("okpo of 9 digits") << "le_OKPO"
                                      << "000325389"
                                      << "OKPO_check" << 0;
}

void TestCardCheck::check_digit_slots_read_their_fields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, slot);
    QFETCH(int, result);
    // The other two fields hold wrong codes: each slot must read only its own.
    set_fields(*window, {{"le_INN", "7707083894"}, {"le_OGRN", "1027700132196"}, {"le_OKPO", "00032538"}});
    set_field(*window, field, text);
    int answer = -1;
    QVERIFY(QMetaObject::invokeMethod(window.get(), slot.toLatin1().constData(), Qt::DirectConnection,
                                      Q_RETURN_ARG(int, answer)));
    QCOMPARE(answer, result);
}

void TestCardCheck::valid_card_passes_silently()
{
    set_field(*window, "le_dop_ved", "62.09,  01.11,58.29");
    CloseAnyModal guard;
    QVERIFY(window->check_card());
    QVERIFY(guard.titles.isEmpty());
    // The additional codes are put in order on the way.
    QCOMPARE(ui()->le_dop_ved->text(), QString("01.11, 58.29, 62.09"));
}

void TestCardCheck::faults_are_numbered_in_test_order_data()
{
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QStringList>("items");

    const QString inn_empty = ". Введите ИНН (п.3.1) - проверить код можно на сайте " + register_host + "\n";
    const QString inn_10 =
        ". ИНН юридических лиц (п.3.1) должен содержать 10 символов - проверить ИНН можно на сайте " + register_host +
        "\n";
    const QString kpp_empty = ". Введите КПП (п.3.2) - проверить код можно на сайте " + register_host + "\n";
    const QString kpp_9 = ". КПП юридических лиц (п.3.2) должен содержать 9 символов - проверить код можно на сайте " +
                          register_host + "\n";
    const QString inn_12 =
        ". ИНН индивидуальных предпринимателей (п.3.1) должен содержать 12 символов - проверить ИНН можно на сайте " +
        register_host + "\n";
    const QString ogrn_empty = ". Введите ОГРН (п.3.3) - уточнить код можно на сайте " + register_host + "\n";
    const QString ogrn_prefix = ".ОГРН юридических лиц (п.3.3) должен начинаться с 1 или 5, для индивидуальных "
                                "предпринимателей - с 3. Уточнить ОГРН можно на сайте " +
                                register_host + "\n";
    const QString ogrn_13 =
        ". ОГРН юридических лиц (п.3.3) должен содержать 13 символов - уточнить ОГРН можно на сайте " + register_host +
        "\n";
    const QString ogrn_15 =
        ". ОГРН индивидуальных предпринимателей (п.3.3) должен содержать 15 символов - уточнить ОГРН можно на сайте " +
        register_host + "\n";
    const QString ogrn_control =
        ". Код ОГРН (п.3.3) не прошел проверку по контрольному числу - уточнить ОГРН можно на сайте " + register_host +
        "\n";
    const QString inn_control =
        ". Код ИНН (п.3.1) не прошел проверку по контрольному числу - уточнить ИНН можно на сайте " + register_host +
        "\n";
    const QString okpo_control =
        ". Код ОКПО (п.3.5) не прошел проверку по контрольному числу - уточнить ОКПО можно на сайте " +
        statistics_host + okpo_link;
    const QString okpo_empty =
        ". Введите код ОКПО (п.3.5) - узнать ОКПО Вашей организации вы можете на сайте " + statistics_host + okpo_link;
    const QString okpo_8 = ". Код ОКПО (п.3.5) должен быть не менее 8 символов (для ИП - 10 символов) - уточнить ОКПО "
                           "вы можете на сайте " +
                           statistics_host + okpo_link_top;
    const QString okpo_10 =
        ". Код ОКПО (п.3.5) для ИП должен быть не менее 10 символов - уточнить ОКПО вы можете на сайте " +
        statistics_host + okpo_link_top;
    const QString okpo_length =
        ". Код ОКПО (п.3.5) содержит неверное число знаков - уточнить ОКПО вы можете на сайте " + statistics_host +
        okpo_link_top;

    QTest::newRow("empty inn hides the kpp rules")
        << QVariantMap{{"le_INN", ""}, {"le_KPP", ""}} << QStringList{inn_empty};
    QTest::newRow("no ogrn: legal entity, no control digits")
        << QVariantMap{{"le_OGRN", "0"}, {"le_INN", "7707083894"}, {"le_KPP", ""}, {"le_OKPO", "0003253"}}
        << QStringList{kpp_empty, okpo_8, okpo_length};
    QTest::newRow("legal entity with an individual's inn and a short kpp")
        << QVariantMap{{"le_INN", "500100732259"}, {"le_KPP", "7707010"}} << QStringList{inn_10, kpp_9};
    QTest::newRow("empty ogrn: no kind, no control digits")
        << QVariantMap{{"le_OGRN", ""}, {"le_INN", "123"}, {"le_OKPO", "1234567"}}
        << QStringList{ogrn_empty, okpo_8, okpo_length};
    QTest::newRow("ogrn beginning with 2: prefix item, controls still run")
        << QVariantMap{{"le_OGRN", "20277001321951"}, {"le_INN", "7707083894"}}
        << QStringList{ogrn_prefix, inn_control};
    QTest::newRow("wrong control digits of ogrn and okpo")
        << QVariantMap{{"le_OGRN", "1027700132196"}, {"le_OKPO", "00032538"}}
        << QStringList{ogrn_control, okpo_control};
    QTest::newRow("legal entity ogrn of 12 digits") << QVariantMap{{"le_OGRN", "102770013219"}} << QStringList{ogrn_13};
    QTest::newRow("entrepreneur: inn of 10, short ogrnip, okpo of 9")
        << QVariantMap{{"le_OGRN", "30450011600015"}, {"le_KPP", ""}, {"le_OKPO", "000325371"}}
        << QStringList{inn_12, ogrn_15, okpo_10, okpo_length};
    QTest::newRow("entrepreneur passes with 12-digit inn")
        << QVariantMap{{"le_OGRN", "304500116000157"}, {"le_INN", "500100732259"}, {"le_OKPO", "1311544445"}}
        << QStringList{};
    QTest::newRow("okpo of 12 passes") << QVariantMap{{"le_OKPO", "000325389999"}} << QStringList{};
    QTest::newRow("okpo 0 passes") << QVariantMap{{"le_OKPO", "0"}} << QStringList{};
    QTest::newRow("okpo empty") << QVariantMap{{"le_OKPO", ""}} << QStringList{okpo_empty};
    QTest::newRow("names") << QVariantMap{{"te_orgname", ""}, {"te_orgname2", ""}}
                           << QStringList{
                                  ". Введите сокращенное наименование организации - уточнить его можно на сайте " +
                                      register_host + "\n",
                                  ". Введите полное наименование организации - уточнить его можно на сайте " +
                                      register_host + "\n"};
    QTest::newRow("classifier codes")
        << QVariantMap{{"le_okato", ""}, {"lineEdit_11", ""}, {"lineEdit_25", ""}, {"le_osn_ved", ""}}
        << QStringList{". Введите код ОКАТО (п.3.4)\n", ". Введите код ОКОПФ (п.3.6)\n", ". Введите код ОКФС (п.3.7)\n",
                       ". Введите код ОКВЭД (п.3.8) - узнать коды ОКВЭД Вашей организации вы можете на сайте " +
                           register_host + "\n"};
    QTest::newRow("tax registration date not set")
        << QVariantMap{{"dateINN", QDate(2000, 1, 1)}}
        << QStringList{
               ". Введите корректную дату постановки на учет в налоговом органе (п.3.2) - уточнить её можно на сайте " +
               register_host + "\n"};
    QTest::newRow("head without phone, officer without surname")
        << QVariantMap{{"le_TelRuk", ""}, {"le_FamVur", ""}}
        << QStringList{". Пункт 1.3 заполнен не полностью (должность руководителя, ФИО, телефон)\n",
                       ". Пункт 1.4 заполнен не полностью (должность военно-учетного работника, ФИО, телефон)\n"};
    QTest::newRow("partial phone and no patronymic pass")
        << QVariantMap{{"le_TelRuk", "(812)-1"}, {"le_OtRuk", ""}} << QStringList{};
    QTest::newRow("mobilisation body without its head")
        << QVariantMap{{"cb_MobOrgan", "Да"}, {"DolgRukMO", "Начальник"}}
        << QStringList{". Пункт 1.5 заполнен не полностью (должность руководителя моб.органа, ФИО, телефон)\n"};
    QTest::newRow("no e-mail") << QVariantMap{{"lineEdit_10", ""}}
                               << QStringList{". Не указан адрес электронной почты. Пожалуйста, укажите адрес "
                                              "организации или другой контактный e-mail на вкладке ''Адреса''\n"};
    QTest::newRow("e-mail without a point")
        << QVariantMap{{"lineEdit_10", "office@romashka"}}
        << QStringList{". Адрес электронной почты указан с ошибкой (должен содержать символы @ и .)\n"};
    QTest::newRow("e-mail without @")
        << QVariantMap{{"lineEdit_10", "office.romashka.ru"}}
        << QStringList{". Адрес электронной почты указан с ошибкой (должен содержать символы @ и .)\n"};
    QTest::newRow("state body without okogu")
        << QVariantMap{{"cb_OGV", "Да"}} << QStringList{". Введите код ОКОГУ (п.3.9)\n"};
    QTest::newRow("state body with okogu") << QVariantMap{{"cb_OGV", "Да"}, {"OKOGU_le", "2300223"}} << QStringList{};
    QTest::newRow("no postal index") << QVariantMap{{"lineEdit_29", ""}}
                                     << QStringList{". Не указан индекс в почтовом адресе организации\n"};
    QTest::newRow("form 6 fault, personnel wording")
        << QVariantMap{{"sb_f6_priziv", 20}} << QStringList{". На вкладке Персонал есть ошибки в числовых полях\n"};
    QTest::newRow("nobody working, personnel wording")
        << QVariantMap{{"sb_f6_all", 0}}
        << QStringList{". На вкладке Персонал не указано количество работающих человек\n"};
    QTest::newRow("three faults") << QVariantMap{{"le_INN", ""}, {"lineEdit_10", ""}, {"lineEdit_29", ""}}
                                  << QStringList{inn_empty,
                                                 ". Не указан адрес электронной почты. Пожалуйста, укажите адрес "
                                                 "организации или другой контактный e-mail на вкладке ''Адреса''\n",
                                                 ". Не указан индекс в почтовом адресе организации\n"};
}

void TestCardCheck::faults_are_numbered_in_test_order()
{
    QFETCH(QVariantMap, fields);
    QFETCH(QStringList, items);
    set_fields(*window, fields);
    if (items.isEmpty()) {
        CloseAnyModal guard;
        QVERIFY(window->check_card());
        QCOMPARE(guard.titles, QStringList());
        return;
    }
    Log log = answer_in_turn({"OK"});
    QVERIFY(!window->check_card());
    QCOMPARE(log->size(), 1);
    QCOMPARE(log->at(0).informative, numbered(items));
}

void TestCardCheck::reserving_card_faults_data()
{
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("valid") << QVariantMap{} << QStringList{};
    QTest::newRow("no military office") << QVariantMap{{"VK_org", ""}}
                                        << QStringList{
                                               ". Не указан военкомат по месту нахождения организации (п.4.1)\n"};
    QTest::newRow("form 6 fault and nobody working, balance wording")
        << QVariantMap{{"sb_f6_all", 0}, {"sb_b_all", 0}}
        << QStringList{". На вкладке Баланс есть ошибки в числовых полях над таблицей\n",
                       ". На вкладке Баланс не указано количество работающих человек\n"};
    QTest::newRow("more orders than departures")
        << QVariantMap{{"sb_f6_mp", 2}}
        << QStringList{". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в "
                       "столбце ''Выбытие по мобилизации'' Баланса (сейчас указано " +
                       QString("2") + " и " + "1" + " чел. соответственно).\n"};
    QTest::newRow("no establishment total")
        << QVariantMap{{"sb_b_sum_treb", 0}}
        << QStringList{". Общая численность по штатному расписанию на вкладке Баланс не должна быть равна 0. Укажите в "
                       "данном столбце как минимум численность персонала по штатному расписанию Вашей организации.\n"};
    QTest::newRow("no staff for the mobilisation task")
        << QVariantMap{{"sb_b_sum_treb", 0}, {"checkBox_balance_voenshtat", true}}
        << QStringList{
               ". Общая численность штата, необходимого для выполнения моб.задания, на вкладке Баланс не должна быть "
               "равна 0. В этом случае отключите галочку о наличии штата для выполнения моб.задания под таблицей.\n"};
    QTest::newRow("training institution missing")
        << QVariantMap{{"ob_vur_gou", ""}} << QStringList{". Все поля на вкладке Обучение должны быть заполнены.\n"};
}

void TestCardCheck::reserving_card_faults()
{
    QFETCH(QVariantMap, fields);
    QFETCH(QStringList, items);
    make_reserving();
    if (fields.contains("checkBox_balance_voenshtat")) {
        // Only the wording is under test here, not the column switch.
        QSignalBlocker block(ui()->checkBox_balance_voenshtat);
        ui()->checkBox_balance_voenshtat->setChecked(true);
        fields.remove("checkBox_balance_voenshtat");
    }
    set_fields(*window, fields);
    if (items.isEmpty()) {
        CloseAnyModal guard;
        QVERIFY(window->check_card());
        QCOMPARE(guard.titles, QStringList());
        return;
    }
    Log log = answer_in_turn({"OK"});
    QVERIFY(!window->check_card());
    QCOMPARE(log->size(), 1);
    QCOMPARE(log->at(0).informative, numbered(items));
}

void TestCardCheck::balance_codes_become_one_item_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("item");
    QTest::newRow("1") << 1
                       << ". На вкладке Баланс есть незаполненные ячейки (в том числе должно быть выставлено значение "
                          "0 вместо пустых ячеек в таблице).\n";
    QTest::newRow("2") << 2 << ". На вкладке Баланс есть арифметические ошибки, окрашенные красным цветом.\n";
    QTest::newRow("3") << 3 << ". На вкладке Баланс есть повторяющиеся коды должностей/профессий.\n";
    QTest::newRow("4") << 4
                       << ". Общая фактическая численность в таблице Баланс не совпадает с полем Всего работающих над "
                          "таблицей. Для сравнения можно включить пункт ''Итоговые данные по Балансу'' под таблицей.\n";
    QTest::newRow("6")
        << 6
        << ". Общее число забронированных в таблице Баланс не совпадает с полем всего забронировано над таблицей.\nДля "
           "сравнения можно включить пункт ''Итоговые данные по Балансу'' под таблицей - сумма по забронированным "
           "должна совпасть с кол-вом забронированных офицеров и не офицеров.\n";
    QTest::newRow("7") << 7
                       << ". На вкладке Баланс есть должности/профессии, в которых штатная и фактическая численность "
                          "одновременно равны 0. Данные строки не несут информации, их нужно удалить из Баланса.\n";
    QTest::newRow("8")
        << 8
        << ". На вкладке Баланс есть должности/профессии с пустым наименованием или кодом - такое возможно, если код "
           "недействителен или был аннулирован. Проверьте, пожалуйста, все строки Баланса.\n";
    QTest::newRow("9") << 9
                       << ". На вкладке Баланс не заполнена графа ''Численность по штатному расписанию'' - должна быть "
                          "больше 0 в каждой строке.\n";
    QTest::newRow("10") << 10 << ". Не заполнен Баланс трудовых ресурсов.\n";
}

void TestCardCheck::balance_codes_become_one_item()
{
    QFETCH(int, code);
    QFETCH(QString, item);
    // Each case spoils one thing of the valid reserving card.
    QVector<Row> rows{row("1120000")};
    QStringList answers{"OK"};
    switch (code) {
    case 1:
        rows[0].mp = QVariant();
        break;
    case 2:
        rows[0].bron = 5;
        break;
    case 3:
        rows << row("1120000");
        answers.prepend("OK");
        break;
    case 7: {
        Row r = row("1130000");
        r.code = "30000";
        r.fact = r.treb = r.mp = r.bron = 0;
        rows << r;
        break;
    }
    case 8:
        rows[0].code = "0";
        break;
    case 9:
        rows[0].shtat = 0;
        break;
    case 10:
        rows.clear();
        break;
    }
    make_reserving(rows);
    if (code == 4)
        set_field(*window, "sb_b_all", 4);
    if (code == 6)
        set_field(*window, "sb_b_ruk_bron", 1);
    Log log = answer_in_turn(answers);
    QVERIFY(!window->check_card());
    QCOMPARE(log->size(), answers.size());
    QCOMPARE(log->last().informative, numbered({item}));
}

void TestCardCheck::fault_box_offers_the_unfinished_card_file()
{
    set_field(*window, "lineEdit_29", "");
    std::shared_ptr<CloseAnyModal> after_save;
    Box seen;
    QString informative_while_open;
    test_support::answer_next_modal("", [&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        informative_while_open = box->informativeText();
        // Whatever the unfinished-card save asks next is dismissed.
        after_save = std::make_shared<CloseAnyModal>();
        box->button(QMessageBox::Save)->click();
    });
    window->temp_saved = 5;
    QVERIFY(!window->check_card());
    // The unfinished-card save ran: it starts by clearing its flag and asks for a file name.
    QCOMPARE(window->temp_saved, 0);
    QVERIFY(after_save && !after_save->titles.isEmpty());
    after_save.reset();
    QCOMPARE(seen.title, QString("Исправьте, пожалуйста, ошибки!"));
    QCOMPARE(seen.text, QString("Данные не могут быть сохранены или распечатаны, пока не будут исправлены указанные "
                                "ниже ошибки.\n(Если Вы хотите продолжить заполнение позже и сохранить данные без "
                                "исправления, используйте кнопку Выход -> Продолжить позже) "));
    QCOMPARE(seen.icon, int(QMessageBox::Information));
    QVERIFY(seen.buttons.contains("Сохранить во временный файл"));
    QCOMPARE(seen.buttons.size(), 2);
    QCOMPARE(informative_while_open, numbered({". Не указан индекс в почтовом адресе организации\n"}));
    QCOMPARE(window->msg_box.informativeText(), QString());

    // Ok: nothing saved either, and the list is gone from the box afterwards.
    Log log = answer_in_turn({"OK"});
    QVERIFY(!window->check_card());
    QCOMPARE(log->size(), 1);
    QCOMPARE(window->msg_box.informativeText(), QString());
}

void TestCardCheck::balance_table_codes_data()
{
    QTest::addColumn<QVector<Row>>("rows");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kol_mir");

    const QVariantMap figures{{"sb_b_all", 10}, {"sb_f6_all", 10}, {"sb_f6_bron_all", 4}, {"sb_b_ruk_bron", 4}};
    Row a = row("1120000"), b = row("1130000");
    QTest::newRow("empty table") << QVector<Row>{} << figures << 10 << 77;
    QTest::newRow("sound") << QVector<Row>{a, b} << figures << 0 << 10;
    Row no_code = b;
    no_code.code = "0";
    QTest::newRow("position code 0") << QVector<Row>{a, no_code} << figures << 8 << 77;
    Row invalid = b;
    invalid.name = "!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!";
    QTest::newRow("invalid code marker") << QVector<Row>{invalid, a} << figures << 8 << 77;
    Row exclaimed = b;
    exclaimed.name = "Директор!";
    QTest::newRow("! elsewhere in the name") << QVector<Row>{exclaimed} << figures << 0 << 5;
    Row no_mp = a;
    no_mp.mp = QVariant();
    QTest::newRow("empty cell before a row without code") << QVector<Row>{no_mp, no_code} << figures << 1 << 77;
    Row no_treb = a;
    no_treb.treb = QVariant();
    QTest::newRow("empty column 7") << QVector<Row>{no_treb} << figures << 1 << 77;
    Row no_shtat = b;
    no_shtat.shtat = 0;
    QTest::newRow("establishment 0 keeps the running sum")
        << QVector<Row>{a, no_shtat, row("1140000")} << figures << 9 << 5;
    Row fits = a;
    fits.fact = 5;
    fits.mp = 3;
    fits.bron = 2;
    QTest::newRow("departures and reserved fit") << QVector<Row>{fits} << figures << 0 << 5;
    Row too_many = fits;
    too_many.bron = 3;
    QTest::newRow("departures and reserved exceed") << QVector<Row>{too_many} << figures << 2 << 5;
    Row empty_row = a;
    empty_row.shtat = 4;
    empty_row.treb = empty_row.fact = empty_row.mp = empty_row.bron = 0;
    QTest::newRow("nobody required or working") << QVector<Row>{empty_row} << figures << 7 << 4;
    QVariantMap off_by_one = figures;
    off_by_one["sb_f6_all"] = 11;
    QTest::newRow("staff differs from form 6") << QVector<Row>{a, b} << off_by_one << 4 << 10;
    QVariantMap reserved = figures;
    reserved.insert({{"sb_b_ruk_bron", 2}, {"sb_b_slug_bron", 1}, {"sb_b_bron", 4}});
    QTest::newRow("reserved totals differ") << QVector<Row>{a, b} << reserved << 6 << 10;
}

void TestCardCheck::balance_table_codes()
{
    QFETCH(QVector<Row>, rows);
    QFETCH(QVariantMap, fields);
    QFETCH(int, code);
    QFETCH(int, kol_mir);
    set_fields(*window, fields);
    ui()->sb_b_kol_mir->setValue(77);
    add_rows(window->balance_model, rows);
    CloseAnyModal guard;
    QCOMPARE(window->check_balance_table(), code);
    QCOMPARE(guard.titles, QStringList());
    QCOMPARE(ui()->sb_b_kol_mir->value(), kol_mir);
}

void TestCardCheck::repeated_keys_are_reported_after_sorting()
{
    Row bad = row("1110000");
    bad.code = ""; // a fault of a later step does not matter
    add_rows(window->balance_model, {bad, row("1130000"), row("1110000")});
    Log log = answer_in_turn({"OK"});
    QCOMPARE(window->check_balance_table(), 3);
    QCOMPARE(log->size(), 1);
    QCOMPARE(log->at(0).title, QString("Одинаковый код должности/профессии!"));
    QCOMPARE(log->at(0).text,
             QString("На вкладке Баланс не должно быть повторяющихся кодов должностей - проверьте строки № ") + "1" +
                 " и " + "2" +
                 ".\nДля устранения ошибки:\n- добавьте к одной из должностей фасет (графа 5), для получения "
                 "производных должностей (Заместитель, Главный, Старший и т.д.);\n- или измените вид производства "
                 "(графа 1);\n- или сложите данные по ним в одну строку, а другую удалите.");
    QCOMPARE(log->at(0).icon, int(QMessageBox::Warning));
    QCOMPARE(log->at(0).buttons.size(), 1);
    QCOMPARE(column_texts(window->balance_model, 0), QStringList({"1110000", "1110000", "1130000"}));

    // A single row is neither sorted nor compared.
    window->balance_model->removeRows(0, 3);
    add_rows(window->balance_model, {row("1120000")});
    set_fields(*window, {{"sb_b_all", 5}, {"sb_f6_all", 5}, {"sb_b_ruk_bron", 2}, {"sb_f6_bron_all", 2}});
    CloseAnyModal guard;
    QCOMPARE(window->check_balance_table(), 0);
    QVERIFY(guard.titles.isEmpty());
}

void TestCardCheck::empty_establishment_cells_get_zero()
{
    Row a = row("1130000"), b = row("1120000");
    a.vnutr = QVariant();
    b.vnutr = QVariant();
    b.shtat = 0;
    add_rows(window->balance_model, {a, b});
    QSignalSpy changes(window->balance_model, &QStandardItemModel::dataChanged);
    QCOMPARE(window->check_balance_table(), 9);
    // Both rows passed the cell tests, so both got their 0 as ordinary changes of the model.
    QCOMPARE(column_texts(window->balance_model, 15), QStringList({"0", "0"}));
    QCOMPARE(window->balance_model->index(0, 15).data(Qt::EditRole).type(), QVariant::Int);
    QVERIFY(changes.size() >= 2);
    // Sorted, the row with establishment 0 comes first.
    QCOMPARE(column_texts(window->balance_model, 0), QStringList({"1120000", "1130000"}));
    QCOMPARE(ui()->sb_b_kol_mir->value(), 0);
}

void TestCardCheck::tidy_up_data()
{
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QVariantMap>("expected");

    QTest::newRow("trimmed fields") << QVariantMap{{"le_FamRuk", "  Петров "},
                                                   {"OtRukMO", "\tИванович  "},
                                                   {"lineEdit_46", " Санкт-Петербург "},
                                                   {"lineEdit_36", "   "},
                                                   {"lineEdit_18", " оф. 3 "}}
                                    << QVariantMap{{"le_FamRuk", "Петров"},
                                                   {"OtRukMO", "Иванович"},
                                                   {"lineEdit_46", "Санкт-Петербург"},
                                                   {"lineEdit_36", ""},
                                                   {"lineEdit_18", "оф. 3"}};
    QTest::newRow("picker fields and phones stay")
        << QVariantMap{{"lineEdit_23", " Невский пр. "}, {"le_dop_ved", " 62.01 "}}
        << QVariantMap{{"lineEdit_23", " Невский пр. "}, {"le_dop_ved", " 62.01 "}};
    QTest::newRow("house words of the actual address")
        << QVariantMap{{"lineEdit_9", "д. 5 корпус 2"}} << QVariantMap{{"lineEdit_9", " 5 к. 2"}};
    QTest::newRow("capital words") << QVariantMap{{"lineEdit_9", "ДОМ 7 СТРОЕНИЕ 1"}}
                                   << QVariantMap{{"lineEdit_9", " 7 стр. 1"}};
    QTest::newRow("parts of words and abbreviations")
        << QVariantMap{{"lineEdit_34", "Домостроительная 4, корп.3"}, {"lineEdit_8", "к. 2 стр. 1"}}
        << QVariantMap{{"lineEdit_34", "остроительная 4, к.3"}, {"lineEdit_8", "к. 2 стр. 1"}};
    QTest::newRow("no picked street: only trimmed")
        << QVariantMap{{"lineEdit_23", ""},
                       {"lineEdit_9", " ул. Садовая, дом 5 "},
                       {"lineEdit_37", ""},
                       {"lineEdit_34", "д.1"}}
        << QVariantMap{{"lineEdit_9", "ул. Садовая, дом 5"}, {"lineEdit_34", "д.1"}};
    QTest::newRow("legal address rewritten without street")
        << QVariantMap{{"lineEdit_21", ""}, {"lineEdit_8", " дом 3 "}} << QVariantMap{{"lineEdit_8", " 3"}};
}

void TestCardCheck::tidy_up()
{
    QFETCH(QVariantMap, fields);
    QFETCH(QVariantMap, expected);
    set_fields(*window, fields);
    window->tidy_card_fields();
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QCOMPARE(window->findChild<QLineEdit *>(it.key())->text(), it.value().toString());
}

void TestCardCheck::tidy_up_names_go_through_the_name_rules()
{
    const QString full = QString("  \"Завод  <b>%1</b>\" спб").arg(QChar(0x0002));
    const QString brief = "ооо   санкт-петербург";
    set_fields(*window, {{"te_orgname", full}, {"te_orgname2", brief}});
    window->tidy_card_fields();
    QCOMPARE(ui()->te_orgname->toPlainText(), normalise_org_name(full));
    QCOMPARE(ui()->te_orgname2->toPlainText(), normalise_org_name(brief));
    QVERIFY(ui()->te_orgname->toPlainText().contains("<b>-</b>"));
}

void TestCardCheck::gate_stops_before_tidying_a_failing_card()
{
    set_fields(*window, {{"lineEdit_29", ""}, {"le_FamRuk", " Петров "}, {"lineEdit_9", "дом 5"}});
    Log log = answer_in_turn({"OK"});
    QVERIFY(!window->check_before_output());
    QCOMPARE(log->size(), 1);
    QCOMPARE(log->at(0).title, QString("Исправьте, пожалуйста, ошибки!"));
    QCOMPARE(ui()->le_FamRuk->text(), QString(" Петров "));
    QCOMPARE(ui()->lineEdit_9->text(), QString("дом 5"));

    // The same card repaired goes out, tidied.
    set_field(*window, "lineEdit_29", "190000");
    CloseAnyModal guard;
    QVERIFY(window->check_before_output());
    QVERIFY(guard.titles.isEmpty());
    QCOMPARE(ui()->le_FamRuk->text(), QString("Петров"));
    QCOMPARE(ui()->lineEdit_9->text(), QString(" 5"));
}

void TestCardCheck::gate_capitals_data()
{
    QTest::addColumn<int>("full_capitals");
    QTest::addColumn<int>("short_capitals");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("box"); // "", "notice" or "question"
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("full_folded");
    QTest::addColumn<bool>("short_folded");

    QTest::newRow("few capitals") << 12 << 12 << ""
                                  << "" << true << false << false;
    QTest::newRow("13 capitals, go on") << 13 << 1 << "Нет"
                                        << "question" << true << false << false;
    QTest::newRow("29 capitals, Enter goes back") << 29 << 1 << "<Enter>"
                                                  << "question" << false << false << false;
    QTest::newRow("30 capitals are folded") << 30 << 1 << "OK"
                                            << "notice" << false << true << false;
    QTest::newRow("short name of 30 capitals") << 1 << 30 << "OK"
                                               << "notice" << false << false << true;
    QTest::newRow("short name of 29 capitals") << 1 << 29 << "Да"
                                               << "question" << false << false << false;
    // A folded full name is announced even when the short name has many capitals.
    QTest::newRow("folded full name, busy short name") << 40 << 20 << "OK"
                                                       << "notice" << false << true << false;
}

void TestCardCheck::gate_capitals()
{
    QFETCH(int, full_capitals);
    QFETCH(int, short_capitals);
    QFETCH(QString, answer);
    QFETCH(QString, box);
    QFETCH(bool, result);
    QFETCH(bool, full_folded);
    QFETCH(bool, short_folded);
    // "З" then n - 1 capitals: n capitals in all.
    const QString full = "З" + QString(full_capitals - 1, QChar(0x0411)) + " завод";
    const QString brief = "З" + QString(short_capitals - 1, QChar(0x0411));
    set_fields(*window, {{"te_orgname", full}, {"te_orgname2", brief}});

    Log log = answer_in_turn(box.isEmpty() ? QStringList() : QStringList{answer});
    std::unique_ptr<CloseAnyModal> guard(box.isEmpty() ? new CloseAnyModal : nullptr);
    QCOMPARE(window->check_before_output(), result);
    if (guard)
        QCOMPARE(guard->titles, QStringList());
    QCOMPARE(log->size(), box.isEmpty() ? 0 : 1);
    if (box == "notice") {
        QCOMPARE(log->at(0).title, QString("Заглавные буквы в наименовании организации"));
        QCOMPARE(
            log->at(0).text,
            QString(
                "Количество заглавных букв в наименовании организации превысило допустимый предел в 29 символов. "
                "Вероятно, вы просто скопировали его или у вас заело клавиатуру. Буквы заменены на строчные, поэтому, "
                "пожалуйста, проверьте наименование и поставьте заглавные буквы там, где это действительно необходимо "
                "по правилам русского языка. Пожалуйста, не вводите наименование организации заглавными буквами без "
                "разбору и необходимости (даже несмотря на то, что все наименования так записаны в ЕГРЮЛ), пользуйтесь "
                "правилами русского языка, здравым смыслом и уставом вашей организации.\nПожалуйста, проверьте "
                "наименование Вашей организации ещё раз (п.1.2). "));
        QCOMPARE(log->at(0).buttons, QStringList{"OK"});
        QCOMPARE(log->at(0).icon, int(QMessageBox::Information));
    } else if (box == "question") {
        QCOMPARE(log->at(0).title, QString("Заглавные буквы в наименовании организации"));
        QCOMPARE(
            log->at(0).text,
            QString("В наименовании организации обнаружено большое количество заглавных букв (более 12). Возможно, вы "
                    "просто скопировали его. Это не является критической ошибкой, однако, пожалуйста, не вводите "
                    "наименование организации заглавными буквами без необходимости (даже несмотря на то, что все "
                    "наименования так записаны в ЕГРЮЛ), пользуйтесь правилами русского языка, здравым смыслом и "
                    "уставом вашей организации.\nЖелаете проверить наименование организации ещё раз (п.1.2)?"));
        QCOMPARE(log->at(0).default_button, QString("Да"));
        QCOMPARE(log->at(0).icon, int(QMessageBox::Question));
    }
    QCOMPARE(ui()->te_orgname->toPlainText(), full_folded ? full.left(1) + full.mid(1).toLower() : full);
    QCOMPARE(ui()->te_orgname2->toPlainText(), short_folded ? brief.left(1) + brief.mid(1).toLower() : brief);
}

void TestCardCheck::gate_questions_data()
{
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<bool>("reserving");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("result");

    const QString actual = "Внимание - не введен ФАКТИЧЕСКИЙ адрес", postal = "Внимание - не введен ПОЧТОВЫЙ адрес",
                  legal = "Внимание - не введен ЮРИДИЧЕСКИЙ адрес",
                  orders = "Внимание - разошлось количество ГПЗ, имеющих моб.предписания";
    QTest::newRow("no actual house, go on")
        << QVariantMap{{"lineEdit_9", ""}} << false << QStringList{"Нет"} << QStringList{actual} << true;
    QTest::newRow("no actual house, go back")
        << QVariantMap{{"lineEdit_9", ""}} << false << QStringList{"Да"} << QStringList{actual} << false;
    QTest::newRow("Enter goes on") << QVariantMap{{"lineEdit_34", ""}} << false << QStringList{"<Enter>"}
                                   << QStringList{postal} << true;
    QTest::newRow("all three addresses") << QVariantMap{{"lineEdit_9", ""}, {"lineEdit_34", ""}, {"lineEdit_21", ""}}
                                         << false << QStringList{"Нет", "Нет", "Да"}
                                         << QStringList{actual, postal, legal} << false;
    QTest::newRow("legal house without street") << QVariantMap{{"lineEdit_21", ""}, {"lineEdit_8", "5"}} << false
                                                << QStringList{"Нет"} << QStringList{legal} << true;
    QTest::newRow("fewer orders than departures")
        << QVariantMap{{"sb_f6_mp", 0}} << true << QStringList{"Да"} << QStringList{orders} << false;
    QTest::newRow("fewer orders, not reserving")
        << QVariantMap{{"sb_b_sum_mp", 3}} << false << QStringList{} << QStringList{} << true;
}

void TestCardCheck::gate_questions()
{
    QFETCH(QVariantMap, fields);
    QFETCH(bool, reserving);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, titles);
    QFETCH(bool, result);
    if (reserving)
        make_reserving();
    set_fields(*window, fields);
    Log log = answer_in_turn(answers);
    std::unique_ptr<CloseAnyModal> guard(answers.isEmpty() ? new CloseAnyModal : nullptr);
    QCOMPARE(window->check_before_output(), result);
    if (guard)
        QCOMPARE(guard->titles, QStringList());
    QCOMPARE(log->size(), titles.size());
    for (int i = 0; i < titles.size(); ++i) {
        QCOMPARE(log->at(i).title, titles.at(i));
        QCOMPARE(log->at(i).default_button, QString("Нет"));
        QCOMPARE(log->at(i).buttons.size(), 2);
    }
    if (titles.size() == 1 && titles.first() == "Внимание - не введен ФАКТИЧЕСКИЙ адрес")
        QCOMPARE(
            log->at(0).text,
            QString("Пожалуйста, укажите ФАКТИЧЕСКИЙ адрес (улица и номер дома).\nПри возниконовении проблем с поиском "
                    "улицы, введите полный адрес в поле ''Дом''.\nЖелаете ввести фактический адрес в п.2.1?"));
    if (titles.size() == 1 && titles.first() == "Внимание - разошлось количество ГПЗ, имеющих моб.предписания")
        QCOMPARE(log->at(0).text,
                 QString("Количество ГПЗ, имеющих мобилизационные предписания (МП), в верхней строке (") + "0" +
                     " человек) расходится с Балансом (" + "1" +
                     " человек). Такое возможно, но в редких случаях, когда в Балансе указывается выбытие не только по "
                     "моб. предписаниям.\nЖелаете внести измения?");
}

void TestCardCheck::gate_state_body_registration_number()
{
    QString state_ogrn;
    for (const QString &ogrn : window->iogv_ogrn_list)
        if (ogrn.startsWith('1') && ogrn_check_digit_mismatch(ogrn) == 0) {
            state_ogrn = ogrn;
            break;
        }
    QVERIFY(!state_ogrn.isEmpty());
    set_field(*window, "le_OGRN", state_ogrn);

    Log log = answer_in_turn({"Да"});
    QVERIFY(!window->check_before_output());
    QCOMPARE(log->size(), 1);
    QCOMPARE(log->at(0).title, QString("Внимание - ОГРН"));
    QCOMPARE(log->at(0).text, QString("Введенный ОГРН принадлежит ИОГВ Санкт-Петербурга, использование его в других "
                                      "организациях НЕДОПУСТИМО! Введете правильный ОГРН?"));
    QCOMPARE(log->at(0).icon, int(QMessageBox::Critical));

    log = answer_in_turn({"Нет"});
    QVERIFY(window->check_before_output());
    QCOMPARE(log->size(), 1);
}

void TestCardCheck::gate_old_fill_date_shows_the_first_page()
{
    set_field(*window, "dateZap", QDate::currentDate().addYears(-1));
    ui()->tabWidget->setCurrentIndex(2);
    Log log = answer_in_turn({"Нет"});
    QVERIFY(window->check_before_output());
    QCOMPARE(ui()->tabWidget->currentIndex(), 2);

    log = answer_in_turn({"Да"});
    QVERIFY(!window->check_before_output());
    QCOMPARE(log->size(), 1);
    QCOMPARE(log->at(0).title, QString("Внимание - устаревшая дата заполнения ЦВЕЛТ"));
    QCOMPARE(log->at(0).text, QString("Дата заполнения ЦВЕЛТ не относится к текущему году.\nЖелаете исправить?"));
    QCOMPARE(ui()->tabWidget->currentIndex(), 0);
}

QUELT_TEST_MAIN(TestCardCheck)
#include "tst_card_check.moc"
