// The whole-card check, the balance table check, the tidy-up and the output gate on a real window.
#include "check_digits.h"
#include "form_helpers.h"
#include "test_support.h"
#include "text_rules.h"
#include "ui_widget.h"
#include "widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QTimer>

using test_support::set_fields;

namespace
{

// What one modal box showed.
struct Box {
    QString title, text, informative, default_button;
    QStringList buttons;
    int icon = 0;
};
using Log = std::shared_ptr<QVector<Box>>;

// Answers the next boxes in turn, one answer each ("<Enter>" presses the default button).
Log answer_in_turn(QStringList answers, Log log = std::make_shared<QVector<Box>>())
{
    if (answers.isEmpty())
        return log;
    const QString answer = answers.takeFirst();
    test_support::answer_next_modal(answer, [=](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        Box seen{w->windowTitle(), {}, {}, {}, {}, 0};
        QAbstractButton *target = nullptr;
        if (box) {
            seen = {w->windowTitle(),
                    box->text(),
                    box->informativeText(),
                    box->defaultButton() ? box->defaultButton()->text() : QString(),
                    {},
                    box->icon()};
            for (QAbstractButton *b : box->buttons()) {
                seen.buttons << b->text();
                if (b->text() == answer)
                    target = b;
            }
        }
        log->append(seen);
        answer_in_turn(answers, log);
        if (box && answer == "<Enter>")
            QTest::keyClick(box, Qt::Key_Return);
        else if (target)
            target->click();
        else if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
    });
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

// A card of an organisation that reserves nobody and passes every rule.
const QString valid_card =
    "le_INN=7707083893|le_KPP=770701001|le_OGRN=1027700132195|le_OKPO=00032537|"
    "te_orgname=Общество с ограниченной ответственностью \"Ромашка\"|te_orgname2=ООО \"Ромашка\"|"
    "le_okato=40262563000|lineEdit_11=12300|lineEdit_13=Общества с ограниченной ответственностью|lineEdit_25=16|"
    "le_osn_ved=62.01|dateINN=2010-05-14|lineEdit=Генеральный директор|le_FamRuk=Петров|le_ImRuk=Пётр|"
    "le_TelRuk=(812)-123-45-67|le_DolgVur=Инспектор|le_FamVur=Сидорова|le_ImVur=Анна|le_TelVur=(812)-765-43-21|"
    "lineEdit_10=office@romashka.ru|lineEdit_29=190000|lineEdit_23=Невский пр.|lineEdit_9=10|"
    "lineEdit_37=Невский пр.|lineEdit_34=10|lineEdit_21=Садовая ул.|lineEdit_8=5|sb_f6_all=10";

// One balance row; figures are columns 6, 7, 8, 9, 11 and 15 (an invalid value leaves the cell empty).
struct Row {
    QString key;
    QString code = "20000";
    QString name = "Директор";
    QVariant shtat = 5, treb = 5, fact = 5, mp = 1, bron = 2, vnutr = 0;
};

Row row(const QString &key, const std::function<void(Row &)> &change = {})
{
    Row r;
    r.key = key;
    if (change)
        change(r);
    return r;
}

void add_rows(QStandardItemModel *model, const QVector<Row> &rows)
{
    for (const Row &r : rows) {
        QList<QStandardItem *> items;
        for (int c = 0; c < 21; ++c)
            items << new QStandardItem;
        const QVariant cells[][2] = {{0, r.key}, {3, r.code},  {5, r.name},   {6, r.shtat}, {7, r.treb}, {8, r.fact},
                                     {9, r.mp},  {11, r.bron}, {15, r.vnutr}, {18, "1"},    {20, "1"}};
        for (const auto &cell : cells)
            if (cell[1].isValid())
                items[cell[0].toInt()]->setData(cell[1], Qt::EditRole);
        model->appendRow(items);
    }
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

    std::unique_ptr<Widget> window;
    Ui::Widget *ui() { return window->form(); }

    // Turns the valid card into a reserving one that still passes.
    void make_reserving(const QVector<Row> &rows = {row("1120000")})
    {
        set_fields(*window, "cb_kat_b=Да|le_VK=Военный комиссариат Центрального района|VK_org=012|sb_f6_all=5|"
                            "sb_f6_of=3|sb_f6_neof=2|sb_f6_gpz=5|sb_f6_bron_of=2|sb_f6_bron_neof=0|sb_f6_bron_all=2|"
                            "sb_f6_mp=1|ob_ruk=Удостоверение 1|ob_ruk_gou=УМЦ|ob_vur=Удостоверение 2|ob_vur_gou=УМЦ|"
                            "ob_mob=Удостоверение 3|ob_mob_gou=УМЦ");
        add_rows(window->balance_model, rows);
        set_fields(*window, "sb_b_all=5|sb_b_ruk=5|sb_b_bron=2|sb_b_ruk_bron=2|sb_b_sum_mp=1|sb_b_sum_treb=5");
        QCOMPARE(ui()->cb_kat_b->currentText(), QString("Да"));
    }

    // Runs the whole-card check: no box when `items` is empty, else one box (after `boxes_before`) listing them.
    void expect_faults(const QStringList &items, int boxes_before = 0)
    {
        if (items.isEmpty()) {
            CloseAnyModal guard;
            QVERIFY(window->check_card());
            QCOMPARE(guard.titles, QStringList());
            return;
        }
        QStringList answers;
        while (answers.size() <= boxes_before)
            answers << "OK";
        Log log = answer_in_turn(answers);
        QVERIFY(!window->check_card());
        QCOMPARE(log->size(), boxes_before + 1);
        QCOMPARE(log->last().informative, numbered(items));
    }

private slots:
    void init()
    {
        window.reset(new Widget);
        set_fields(*window, valid_card + "|dateZap=" + QDate::currentDate().toString(Qt::ISODate));
    }
    void cleanup() { window.reset(); }

    void check_digit_slots_read_their_own_fields()
    {
        const QStringList names{"INN", "OGRN", "OKPO"}, good{"7707083893", "1027700132195", "00032537"},
            wrong{"7707083894", "1027700132196", "00032538"};
        // One field fits, the other two hold wrong codes: only the slot of the fitting one passes.
        for (int fits = 0; fits < 3; ++fits) {
            for (int i = 0; i < 3; ++i)
                set_fields(*window, "le_" + names.at(i) + "=" + (i == fits ? good : wrong).at(i));
            for (int i = 0; i < 3; ++i) {
                int answer = -1;
                QVERIFY(QMetaObject::invokeMethod(window.get(), qPrintable(names.at(i) + "_check"),
                                                  Qt::DirectConnection, Q_RETURN_ARG(int, answer)));
                QCOMPARE(answer, i == fits ? 0 : 1);
            }
        }
    }

    void valid_card_passes_and_sorts_additional_codes()
    {
        set_fields(*window, "le_dop_ved=62.09,  01.11,58.29");
        expect_faults({});
        QCOMPARE(ui()->le_dop_ved->text(), QString("01.11, 58.29, 62.09"));
    }

    void faults_are_numbered_in_test_order_data()
    {
        QTest::addColumn<bool>("reserving");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QStringList>("items");
        const auto row = [](const char *tag, bool reserving, const char *fields, const QStringList &items) {
            QTest::newRow(tag) << reserving << QString(fields) << items;
        };
        const QString reg = " можно на сайте EGRUL.NALOG.RU\n", stat = " вы можете на сайте WEBSBOR.ROSSTAT.GOV.RU",
                      link = " по ссылке ''Получить данные о кодах''\n";
        const QString inn_empty = ". Введите ИНН (п.3.1) - проверить код" + reg,
                      inn_10 = ". ИНН юридических лиц (п.3.1) должен содержать 10 символов - проверить ИНН" + reg,
                      inn_12 = ". ИНН индивидуальных предпринимателей (п.3.1) должен содержать 12 символов - "
                               "проверить ИНН" +
                               reg,
                      inn_control = ". Код ИНН (п.3.1) не прошел проверку по контрольному числу - уточнить ИНН" + reg,
                      kpp_empty = ". Введите КПП (п.3.2) - проверить код" + reg,
                      kpp_9 = ". КПП юридических лиц (п.3.2) должен содержать 9 символов - проверить код" + reg,
                      ogrn_empty = ". Введите ОГРН (п.3.3) - уточнить код" + reg,
                      ogrn_prefix = ".ОГРН юридических лиц (п.3.3) должен начинаться с 1 или 5, для индивидуальных "
                                    "предпринимателей - с 3. Уточнить ОГРН" +
                                    reg,
                      ogrn_13 = ". ОГРН юридических лиц (п.3.3) должен содержать 13 символов - уточнить ОГРН" + reg,
                      ogrn_15 = ". ОГРН индивидуальных предпринимателей (п.3.3) должен содержать 15 символов - "
                                "уточнить ОГРН" +
                                reg,
                      ogrn_control =
                          ". Код ОГРН (п.3.3) не прошел проверку по контрольному числу - уточнить ОГРН" + reg,
                      okpo_control = ". Код ОКПО (п.3.5) не прошел проверку по контрольному числу - уточнить ОКПО "
                                     "можно на сайте WEBSBOR.ROSSTAT.GOV.RU" +
                                     link,
                      okpo_empty = ". Введите код ОКПО (п.3.5) - узнать ОКПО Вашей организации" + stat + link,
                      top = link.chopped(1) + " вверху страницы.\n",
                      okpo_8 = ". Код ОКПО (п.3.5) должен быть не менее 8 символов (для ИП - 10 символов) - уточнить "
                               "ОКПО" +
                               stat + top,
                      okpo_10 =
                          ". Код ОКПО (п.3.5) для ИП должен быть не менее 10 символов - уточнить ОКПО" + stat + top,
                      okpo_length = ". Код ОКПО (п.3.5) содержит неверное число знаков - уточнить ОКПО" + stat + top,
                      no_email = ". Не указан адрес электронной почты. Пожалуйста, укажите адрес организации или "
                                 "другой контактный e-mail на вкладке ''Адреса''\n",
                      bad_email = ". Адрес электронной почты указан с ошибкой (должен содержать символы @ и .)\n",
                      no_index = ". Не указан индекс в почтовом адресе организации\n";

        // The register codes depend on each other.
        row("no inn, kpp, e-mail or index", false,
            "le_INN=|le_KPP=|lineEdit_10=|lineEdit_29=", {inn_empty, no_email, no_index});
        row("no ogrn: legal entity, no control digits", false, "le_OGRN=0|le_INN=7707083894|le_KPP=|le_OKPO=0003253",
            {kpp_empty, okpo_8, okpo_length});
        row("legal entity with an individual's inn and a short kpp", false, "le_INN=500100732259|le_KPP=7707010",
            {inn_10, kpp_9});
        row("empty ogrn: no kind, no control digits", false, "le_OGRN=|le_INN=123|le_OKPO=1234567",
            {ogrn_empty, okpo_8, okpo_length});
        row("ogrn beginning with 2: prefix item, controls still run", false, "le_OGRN=20277001321951|le_INN=7707083894",
            {ogrn_prefix, inn_control});
        row("wrong control digits of ogrn and okpo", false, "le_OGRN=1027700132196|le_OKPO=00032538",
            {ogrn_control, okpo_control});
        row("legal entity ogrn of 12 digits, no okpo, e-mail without @", false,
            "le_OGRN=102770013219|le_OKPO=|lineEdit_10=office.romashka.ru", {ogrn_13, okpo_empty, bad_email});
        row("entrepreneur: inn of 10, short ogrnip, okpo of 9", false,
            "le_OGRN=30450011600015|le_KPP=|le_OKPO=000325371", {inn_12, ogrn_15, okpo_10, okpo_length});
        row("entrepreneur passes with 12-digit inn", false,
            "le_OGRN=304500116000157|le_INN=500100732259|le_OKPO=1311544445", {});
        row("okpo of 12, partial phone, no patronymic, state body with okogu pass", false,
            "le_OKPO=000325389999|le_TelRuk=(812)-1|le_OtRuk=|cb_OGV=Да|OKOGU_le=2300223", {});
        row("okpo 0 passes", false, "le_OKPO=0", {});
        row("the other pages", false,
            "te_orgname=|te_orgname2=|le_okato=|lineEdit_11=|lineEdit_25=|le_osn_ved=|dateINN=2000-01-01|le_TelRuk=|"
            "le_FamVur=|cb_MobOrgan=Да|DolgRukMO=Начальник|lineEdit_10=office@romashka|cb_OGV=Да|sb_f6_priziv=20",
            {". Введите сокращенное наименование организации - уточнить его" + reg,
             ". Введите полное наименование организации - уточнить его" + reg, ". Введите код ОКАТО (п.3.4)\n",
             ". Введите код ОКОПФ (п.3.6)\n", ". Введите код ОКФС (п.3.7)\n",
             ". Введите код ОКВЭД (п.3.8) - узнать коды ОКВЭД Вашей организации вы можете на сайте EGRUL.NALOG.RU\n",
             ". Введите корректную дату постановки на учет в налоговом органе (п.3.2) - уточнить её" + reg,
             ". Пункт 1.3 заполнен не полностью (должность руководителя, ФИО, телефон)\n",
             ". Пункт 1.4 заполнен не полностью (должность военно-учетного работника, ФИО, телефон)\n",
             ". Пункт 1.5 заполнен не полностью (должность руководителя моб.органа, ФИО, телефон)\n", bad_email,
             ". Введите код ОКОГУ (п.3.9)\n", ". На вкладке Персонал есть ошибки в числовых полях\n"});
        row("nobody working, personnel wording", false, "sb_f6_all=0",
            {". На вкладке Персонал не указано количество работающих человек\n"});

        row("reserving card passes", true, "", {});
        row("reserving: no military office, more orders than departures, no training institution", true,
            "VK_org=|sb_f6_mp=2|ob_vur_gou=",
            {". Не указан военкомат по месту нахождения организации (п.4.1)\n",
             ". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в столбце "
             "''Выбытие по мобилизации'' Баланса (сейчас указано 2 и 1 чел. соответственно).\n",
             ". Все поля на вкладке Обучение должны быть заполнены.\n"});
        row("reserving: form 6 fault, nobody working, no establishment total", true,
            "sb_f6_all=0|sb_b_all=0|sb_b_sum_treb=0",
            {". На вкладке Баланс есть ошибки в числовых полях над таблицей\n",
             ". На вкладке Баланс не указано количество работающих человек\n",
             ". Общая численность по штатному расписанию на вкладке Баланс не должна быть равна 0. Укажите в данном "
             "столбце как минимум численность персонала по штатному расписанию Вашей организации.\n"});
        row("reserving: no staff for the mobilisation task", true, "sb_b_sum_treb=0|checkBox_balance_voenshtat=1",
            {". Общая численность штата, необходимого для выполнения моб.задания, на вкладке Баланс не должна быть "
             "равна 0. В этом случае отключите галочку о наличии штата для выполнения моб.задания под таблицей.\n"});
    }

    void faults_are_numbered_in_test_order()
    {
        QFETCH(bool, reserving);
        QFETCH(QString, fields);
        QFETCH(QStringList, items);
        if (reserving)
            make_reserving();
        set_fields(*window, fields);
        expect_faults(items);
    }

    void balance_codes_become_one_item_data()
    {
        QTest::addColumn<QVector<Row>>("rows");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("item");
        const auto row_ = [](const char *tag, const QVector<Row> &rows, const char *fields, const QString &item) {
            QTest::newRow(tag) << rows << QString(fields) << item;
        };
        const QString tab = ". На вкладке Баланс ", total = " под таблицей", one = "1120000";
        row_("1", {row(one, [](Row &r) { r.mp = {}; })}, "",
             tab + "есть незаполненные ячейки (в том числе должно быть выставлено значение 0 вместо пустых ячеек в "
                   "таблице).\n");
        row_("2", {row(one, [](Row &r) { r.bron = 5; })}, "",
             tab + "есть арифметические ошибки, окрашенные красным цветом.\n");
        // The duplicate keys are shown in a box of their own first.
        row_("3", {row(one), row(one)}, "", tab + "есть повторяющиеся коды должностей/профессий.\n");
        row_("4", {row(one)}, "sb_b_all=4",
             ". Общая фактическая численность в таблице Баланс не совпадает с полем Всего работающих над таблицей. "
             "Для сравнения можно включить пункт ''Итоговые данные по Балансу''" +
                 total + ".\n");
        row_("6", {row(one)}, "sb_b_ruk_bron=1",
             ". Общее число забронированных в таблице Баланс не совпадает с полем всего забронировано над таблицей.\n"
             "Для сравнения можно включить пункт ''Итоговые данные по Балансу''" +
                 total +
                 " - сумма по забронированным должна совпасть с кол-вом забронированных офицеров и не офицеров.\n");
        row_("7",
             {row(one), row("1130000",
                            [](Row &r) {
                                r.code = "30000";
                                r.fact = r.treb = r.mp = r.bron = 0;
                            })},
             "",
             tab + "есть должности/профессии, в которых штатная и фактическая численность одновременно равны 0. "
                   "Данные строки не несут информации, их нужно удалить из Баланса.\n");
        row_("8", {row(one, [](Row &r) { r.code = "0"; })}, "",
             tab + "есть должности/профессии с пустым наименованием или кодом - такое возможно, если код "
                   "недействителен или был аннулирован. Проверьте, пожалуйста, все строки Баланса.\n");
        row_("9", {row(one, [](Row &r) { r.shtat = 0; })}, "",
             tab + "не заполнена графа ''Численность по штатному расписанию'' - должна быть больше 0 в каждой "
                   "строке.\n");
        row_("10", {}, "", ". Не заполнен Баланс трудовых ресурсов.\n");
    }

    void balance_codes_become_one_item()
    {
        QFETCH(QVector<Row>, rows);
        QFETCH(QString, fields);
        QFETCH(QString, item);
        make_reserving(rows);
        set_fields(*window, fields);
        expect_faults({item}, QString(QTest::currentDataTag()) == "3" ? 1 : 0);
    }

    void fault_box_offers_the_unfinished_card_file()
    {
        set_fields(*window, "lineEdit_29=");
        window->temp_saved = 5;
        // The unfinished-card save runs: it asks for a file name, and is cancelled there.
        Log log = answer_in_turn({"Сохранить во временный файл", "", "OK"});
        QVERIFY(!window->check_card());
        QCOMPARE(window->temp_saved, 0);
        QCOMPARE(log->size(), 3);
        QCOMPARE(log->at(2).title, QString("Ошибка 10001!"));
        QCOMPARE(log->at(0).title, QString("Исправьте, пожалуйста, ошибки!"));
        QVERIFY(log->at(0).text.startsWith("Данные не могут быть сохранены или распечатаны, пока не будут "
                                           "исправлены указанные ниже ошибки.\n(Если Вы хотите"));
        QCOMPARE(log->at(0).icon, int(QMessageBox::Information));
        QCOMPARE(log->at(0).buttons.size(), 2);
        QCOMPARE(log->at(0).informative, numbered({". Не указан индекс в почтовом адресе организации\n"}));
        QCOMPARE(window->msg_box.informativeText(), QString());
        // Ok: nothing saved either, and the list is gone from the box afterwards.
        expect_faults({". Не указан индекс в почтовом адресе организации\n"});
        QCOMPARE(window->msg_box.informativeText(), QString());
    }

    void balance_table_codes_data()
    {
        QTest::addColumn<QVector<Row>>("rows");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("kol_mir");
        const auto row_ = [](const char *tag, const QVector<Row> &rows, int code, int kol_mir,
                             const char *fields = "sb_b_all=10|sb_f6_all=10|sb_f6_bron_all=4|sb_b_ruk_bron=4") {
            QTest::newRow(tag) << rows << QString(fields) << code << kol_mir;
        };
        const Row a = row("1120000"), b = row("1130000"), no_code = row("1130000", [](Row &r) { r.code = "0"; });
        const auto fits = [](Row &r) { r.fact = 5, r.mp = 3, r.bron = 2; };
        row_("empty table", {}, 10, 77);
        row_("sound", {a, b}, 0, 10);
        row_("position code 0", {a, no_code}, 8, 77);
        row_("invalid code marker",
             {row("1130000", [](Row &r) { r.name = "!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!"; }), a}, 8, 77);
        row_("! elsewhere in the name", {row("1130000", [](Row &r) { r.name = "Директор!"; })}, 0, 5);
        row_("empty cell before a row without code", {row("1120000", [](Row &r) { r.mp = {}; }), no_code}, 1, 77);
        row_("empty column 7", {row("1120000", [](Row &r) { r.treb = {}; })}, 1, 77);
        row_("establishment 0 keeps the running sum", {a, row("1130000", [](Row &r) { r.shtat = 0; }), row("1140000")},
             9, 5);
        row_("departures and reserved fit", {row("1120000", fits)}, 0, 5);
        row_("departures and reserved exceed", {row("1120000", [&](Row &r) { fits(r), r.bron = 3; })}, 2, 5);
        row_("nobody required or working",
             {row("1120000", [](Row &r) { r.shtat = 4, r.treb = r.fact = r.mp = r.bron = 0; })}, 7, 4);
        row_("staff differs from form 6", {a, b}, 4, 10, "sb_b_all=10|sb_f6_all=11|sb_f6_bron_all=4|sb_b_ruk_bron=4");
        row_("reserved totals differ", {a, b}, 6, 10,
             "sb_b_all=10|sb_f6_all=10|sb_f6_bron_all=4|sb_b_ruk_bron=2|sb_b_slug_bron=1|sb_b_bron=4");
    }

    void balance_table_codes()
    {
        QFETCH(QVector<Row>, rows);
        QFETCH(QString, fields);
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

    void repeated_keys_are_reported_after_sorting()
    {
        // A fault of a later step does not matter.
        add_rows(window->balance_model, {row("1110000", [](Row &r) { r.code = ""; }), row("1130000"), row("1110000")});
        Log log = answer_in_turn({"OK"});
        QCOMPARE(window->check_balance_table(), 3);
        QCOMPARE(log->size(), 1);
        QCOMPARE(log->at(0).title, QString("Одинаковый код должности/профессии!"));
        QVERIFY(log->at(0).text.startsWith(
            "На вкладке Баланс не должно быть повторяющихся кодов должностей - проверьте строки № 1 и 2.\nДля "));
        QCOMPARE(log->at(0).icon, int(QMessageBox::Warning));
        QCOMPARE(log->at(0).buttons.size(), 1);
        QCOMPARE(column_texts(window->balance_model, 0), QStringList({"1110000", "1110000", "1130000"}));

        // A single row is neither sorted nor compared.
        window->balance_model->removeRows(0, 3);
        add_rows(window->balance_model, {row("1120000")});
        set_fields(*window, "sb_b_all=5|sb_f6_all=5|sb_b_ruk_bron=2|sb_f6_bron_all=2");
        CloseAnyModal guard;
        QCOMPARE(window->check_balance_table(), 0);
        QVERIFY(guard.titles.isEmpty());
    }

    void empty_establishment_cells_get_zero()
    {
        add_rows(window->balance_model, {row("1130000", [](Row &r) { r.vnutr = {}; }),
                                         row("1120000", [](Row &r) { r.vnutr = {}, r.shtat = 0; })});
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

    void tidy_up_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *tag, const char *fields, const char *expected) {
            QTest::newRow(tag) << QString(fields) << QString(expected);
        };
        row("trimmed fields", "le_FamRuk=  Петров |OtRukMO=\tИванович  |lineEdit_36=   |lineEdit_18= оф. 3 ",
            "le_FamRuk=Петров|OtRukMO=Иванович|lineEdit_36=|lineEdit_18=оф. 3");
        row("picker fields stay", "lineEdit_23= Невский пр. |le_dop_ved= 62.01 ",
            "lineEdit_23= Невский пр. |le_dop_ved= 62.01 ");
        row("house words of the actual address", "lineEdit_9=д. 5 КОРПУС 2 строение 1", "lineEdit_9= 5 к. 2 стр. 1");
        row("parts of words and abbreviations", "lineEdit_34=Домостроительная 4, корп.3|lineEdit_8=к. 2 стр. 1",
            "lineEdit_34=остроительная 4, к.3|lineEdit_8=к. 2 стр. 1");
        row("no picked street: only trimmed",
            "lineEdit_23=|lineEdit_9= ул. Садовая, дом 5 |lineEdit_37=|lineEdit_34=д.1",
            "lineEdit_9=ул. Садовая, дом 5|lineEdit_34=д.1");
        row("legal address rewritten without street", "lineEdit_21=|lineEdit_8= дом 3 ", "lineEdit_8= 3");
    }

    void tidy_up()
    {
        QFETCH(QString, fields);
        QFETCH(QString, expected);
        set_fields(*window, fields);
        window->tidy_card_fields();
        for (const QString &pair : expected.split('|'))
            QCOMPARE(window->findChild<QLineEdit *>(pair.section('=', 0, 0))->text(), pair.section('=', 1));
        // The names go through the name rules.
        const QString full = QString("  \"Завод  <b>%1</b>\" спб").arg(QChar(0x0002)), brief = "ооо   санкт-петербург";
        ui()->te_orgname->setPlainText(full);
        ui()->te_orgname2->setPlainText(brief);
        window->tidy_card_fields();
        QCOMPARE(ui()->te_orgname->toPlainText(), normalise_org_name(full));
        QCOMPARE(ui()->te_orgname2->toPlainText(), normalise_org_name(brief));
        QVERIFY(ui()->te_orgname->toPlainText().contains("<b>-</b>"));
    }

    void gate_stops_before_tidying_a_failing_card()
    {
        set_fields(*window, "lineEdit_29=|le_FamRuk= Петров |lineEdit_9=дом 5");
        Log log = answer_in_turn({"OK"});
        QVERIFY(!window->check_before_output());
        QCOMPARE(log->size(), 1);
        QCOMPARE(log->at(0).title, QString("Исправьте, пожалуйста, ошибки!"));
        QCOMPARE(ui()->le_FamRuk->text(), QString(" Петров "));
        QCOMPARE(ui()->lineEdit_9->text(), QString("дом 5"));

        // The same card repaired goes out, tidied.
        set_fields(*window, "lineEdit_29=190000");
        CloseAnyModal guard;
        QVERIFY(window->check_before_output());
        QVERIFY(guard.titles.isEmpty());
        QCOMPARE(ui()->le_FamRuk->text(), QString("Петров"));
        QCOMPARE(ui()->lineEdit_9->text(), QString(" 5"));
    }

    void gate_capitals_data()
    {
        QTest::addColumn<int>("full_capitals");
        QTest::addColumn<int>("short_capitals");
        QTest::addColumn<QString>("answer"); // empty: no box
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("folded"); // "full", "short" or none; a folded name is announced
        const auto row = [](const char *tag, int full, int brief, const char *answer, bool result, const char *folded) {
            QTest::newRow(tag) << full << brief << QString(answer) << result << QString(folded);
        };
        row("few capitals", 12, 12, "", true, "");
        row("13 capitals, go on", 13, 1, "Нет", true, "");
        row("29 capitals, Enter goes back", 29, 1, "<Enter>", false, "");
        row("30 capitals are folded", 30, 1, "OK", false, "full");
        row("short name of 30 capitals", 1, 30, "OK", false, "short");
        row("short name of 29 capitals", 1, 29, "Да", false, "");
        // A folded full name is announced even when the short name has many capitals.
        row("folded full name, busy short name", 40, 20, "OK", false, "full");
    }

    void gate_capitals()
    {
        QFETCH(int, full_capitals);
        QFETCH(int, short_capitals);
        QFETCH(QString, answer);
        QFETCH(bool, result);
        QFETCH(QString, folded);
        // "З" then n - 1 capitals: n capitals in all.
        const QString full = "З" + QString(full_capitals - 1, QChar(0x0411)) + " завод";
        const QString brief = "З" + QString(short_capitals - 1, QChar(0x0411));
        ui()->te_orgname->setPlainText(full);
        ui()->te_orgname2->setPlainText(brief);

        Log log = answer_in_turn(answer.isEmpty() ? QStringList() : QStringList{answer});
        std::unique_ptr<CloseAnyModal> guard(answer.isEmpty() ? new CloseAnyModal : nullptr);
        QCOMPARE(window->check_before_output(), result);
        if (guard)
            QCOMPARE(guard->titles, QStringList());
        QCOMPARE(log->size(), answer.isEmpty() ? 0 : 1);
        if (!answer.isEmpty()) {
            QCOMPARE(log->at(0).title, QString("Заглавные буквы в наименовании организации"));
            QVERIFY(log->at(0).text.startsWith(
                folded.isEmpty() ? "В наименовании организации обнаружено большое количество заглавных букв (более "
                                   "12). Возможно, вы просто скопировали его."
                                 : "Количество заглавных букв в наименовании организации превысило допустимый "
                                   "предел в 29 символов."));
            QCOMPARE(log->at(0).icon, int(folded.isEmpty() ? QMessageBox::Question : QMessageBox::Information));
            QCOMPARE(log->at(0).default_button, QString(folded.isEmpty() ? "Да" : "OK"));
            QCOMPARE(log->at(0).buttons.size(), folded.isEmpty() ? 2 : 1);
        }
        const auto fold = [](const QString &name) { return name.left(1) + name.mid(1).toLower(); };
        QCOMPARE(ui()->te_orgname->toPlainText(), folded == "full" ? fold(full) : full);
        QCOMPARE(ui()->te_orgname2->toPlainText(), folded == "short" ? fold(brief) : brief);
    }

    void gate_questions_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<bool>("reserving");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("result");
        const auto row = [](const char *tag, const QString &fields, bool reserving, const QStringList &answers,
                            const QStringList &titles,
                            bool result) { QTest::newRow(tag) << fields << reserving << answers << titles << result; };
        const QString actual = "Внимание - не введен ФАКТИЧЕСКИЙ адрес", postal = "Внимание - не введен ПОЧТОВЫЙ адрес",
                      legal = "Внимание - не введен ЮРИДИЧЕСКИЙ адрес", ogrn = "Внимание - ОГРН",
                      orders = "Внимание - разошлось количество ГПЗ, имеющих моб.предписания",
                      old_date = "dateZap=" + QDate::currentDate().addYears(-1).toString(Qt::ISODate),
                      date = "Внимание - устаревшая дата заполнения ЦВЕЛТ";
        QString state_ogrn;
        for (const QString &number : Widget().iogv_ogrn_list)
            if (state_ogrn.isEmpty() && number.startsWith('1') && ogrn_check_digit_mismatch(number) == 0)
                state_ogrn = "le_OGRN=" + number;
        QVERIFY(!state_ogrn.isEmpty());
        row("no actual house, go on", "lineEdit_9=", false, {"Нет"}, {actual}, true);
        row("no actual house, go back", "lineEdit_9=", false, {"Да"}, {actual}, false);
        row("Enter goes on", "lineEdit_34=", false, {"<Enter>"}, {postal}, true);
        row("all three addresses", "lineEdit_9=|lineEdit_34=|lineEdit_21=", false, {"Нет", "Нет", "Да"},
            {actual, postal, legal}, false);
        row("legal house without street", "lineEdit_21=|lineEdit_8=5", false, {"Нет"}, {legal}, true);
        row("state body's ogrn, go back", state_ogrn, false, {"Да"}, {ogrn}, false);
        row("state body's ogrn, go on", state_ogrn, false, {"Нет"}, {ogrn}, true);
        row("fewer orders than departures", "sb_f6_mp=0", true, {"Да"}, {orders}, false);
        row("fewer orders, not reserving", "sb_b_sum_mp=3", false, {}, {}, true);
        row("old fill date, go on", old_date, false, {"Нет"}, {date}, true);
        // Going back to the date shows the first page.
        row("old fill date, go back", old_date, false, {"Да"}, {date}, false);
    }

    void gate_questions()
    {
        QFETCH(QString, fields);
        QFETCH(bool, reserving);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, titles);
        QFETCH(bool, result);
        if (reserving)
            make_reserving();
        set_fields(*window, fields);
        ui()->tabWidget->setCurrentIndex(2);
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
            QCOMPARE(log->at(i).icon,
                     int(titles.at(i) == "Внимание - ОГРН" ? QMessageBox::Critical : QMessageBox::Question));
        }
        const QString text = log->value(0).text;
        if (titles.value(0) == "Внимание - ОГРН")
            QVERIFY(text.startsWith("Введенный ОГРН принадлежит ИОГВ Санкт-Петербурга"));
        if (titles.value(0) == "Внимание - разошлось количество ГПЗ, имеющих моб.предписания")
            QVERIFY(text.startsWith("Количество ГПЗ, имеющих мобилизационные предписания (МП), в верхней "
                                    "строке (0 человек) расходится с Балансом (1 человек)."));
        QCOMPARE(ui()->tabWidget->currentIndex(),
                 titles.value(0) == "Внимание - устаревшая дата заполнения ЦВЕЛТ" && !result ? 0 : 2);
    }
};

QUELT_TEST_MAIN(TestCardCheck)
#include "tst_card_check.moc"
