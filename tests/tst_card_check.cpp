// The wiring of the whole-card check and the output gate on a real window: the form's values reach the rules,
// the list and the questions are shown and their answers acted on. The rules themselves are tested without a window.
#include "balance/balance_rules.h"
#include "mainwindow/main_tabs.h"
#include "mainwindow/widget.h"
#include "tests/support/form_helpers.h"
#include "tests/support/test_support.h"
#include "tests/support/valid_card.h"
#include "text/text_rules.h"
#include "ui_widget.h"
#include "validation/card_form_facts.h"
#include "validation/check_digits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTimer>

using test_support::answer_in_turn;
using test_support::set_fields;
using Log = test_support::SeenBoxes;

namespace
{

// Closes every modal window while it lives and remembers their titles.
struct CloseAnyModal {
    QStringList titles;
    QTimer timer;
    CloseAnyModal()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                titles << modal->windowTitle(), modal->done(-1);
        });
        timer.start(20);
    }
};

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
        for (int c = 0; c < balance::column_count; ++c)
            items << new QStandardItem;
        using namespace balance;
        const QVector<QPair<int, QVariant>> cells = {
            {col_key, r.key},         {col_code, r.code},  {col_name, r.name},  {col_shtat, r.shtat},
            {col_treb, r.treb},       {col_fact, r.fact},  {col_mp, r.mp},      {col_bron, r.bron},
            {col_vnutr_ist, r.vnutr}, {col_cat_code, "1"}, {col_kind_code, "1"}};
        for (const auto &cell : cells)
            if (cell.second.isValid())
                items[cell.first]->setData(cell.second, Qt::EditRole);
        model->appendRow(items);
    }
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
        Log log = answer_in_turn(QVector<QString>(boxes_before + 1, "OK").toList());
        QVERIFY(!window->check_card());
        QCOMPARE(log->size(), boxes_before + 1);
        QString list;
        for (int i = 0; i < items.size(); ++i)
            list += QString::number(i + 1) + items.at(i);
        QCOMPARE(log->last().informative, list);
    }

private slots:
    void init()
    {
        window.reset(new Widget);
        set_fields(*window, test_support::valid_card_fields + "|dateZap=" + QDate::currentDate().toString(Qt::ISODate));
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

    void form_values_reach_the_rules()
    {
        make_reserving();
        set_fields(*window, "le_KPP=770701002|le_okato=40262563001|lineEdit_11=12301|lineEdit_25=17|le_osn_ved=62.02|"
                            "dateINN=2011-06-15|le_OtRuk=Петрович|cb_MobOrgan=Да|DolgRukMO=Начальник|FamRukMO=Иванов|"
                            "ImRukMO=Олег|TelRukMO=(812)-111-22-33|cb_OGV=Да|OKOGU_le=2300223|sb_f6_mp=2|"
                            "checkBox_balance_voenshtat=1|sb_b_sum_mp=3|sb_b_sum_treb=7");
        const card_rules::CardFacts c = read_card_facts(window->collect_card_values(), *ui());
        const auto person = [](const card_rules::Person &p) {
            return QStringList{p.post, p.surname, p.first_name, p.phone}.join(',');
        };
        const auto flag = [](bool on) { return QString(on ? "1" : "0"); };
        QStringList read;
        read << c.inn << c.kpp << c.ogrn << c.okpo << c.full_name << c.short_name << c.okato << c.okopf << c.okfs
             << c.okved << c.tax_date.toString(Qt::ISODate) << person(c.head) << person(c.officer)
             << person(c.mobilisation_head) << flag(c.mobilisation_body) << c.email << flag(c.state_body) << c.okogu
             << c.postal_index << flag(c.reserving) << QString::number(c.f6_all) << c.military_office
             << c.military_office_code << QString::number(c.f6_mp) << QString::number(c.balance_mp)
             << QString::number(c.balance_treb) << flag(c.mobilisation_staff_column) << c.training.join(',');
        QCOMPARE(read.join('|'), QString("7707083893|770701002|1027700132195|00032537|Общество с ограниченной "
                                         "ответственностью \"Ромашка\"|ООО \"Ромашка\"|40262563001|12301|17|62.02|"
                                         "2011-06-15|Генеральный директор,Петров,Пётр,(812)-123-45-67|Инспектор,"
                                         "Сидорова,Анна,(812)-765-43-21|Начальник,Иванов,Олег,(812)-111-22-33|1|"
                                         "office@romashka.ru|1|2300223|190000|1|5|Военный комиссариат Центрального "
                                         "района|012|2|3|7|1|Удостоверение 1,УМЦ,Удостоверение 2,УМЦ,Удостоверение "
                                         "3,УМЦ"));
        // An empty phone reads as its mask's separators.
        set_fields(*window, "le_TelRuk=");
        QCOMPARE(read_card_facts(window->collect_card_values(), *ui()).head.phone, QString("()---"));

        set_fields(*window, "lineEdit_9=11|lineEdit_34=12|lineEdit_21=Садовая ул.|lineEdit_8=5|dateZap=2020-02-02");
        const card_rules::GateFacts g = read_gate_facts(window->collect_card_values());
        QCOMPARE(QStringList({g.full_name, g.short_name, g.actual_house, g.postal_house, g.legal_street, g.ogrn,
                              flag(g.reserving), QString::number(g.f6_mp), QString::number(g.balance_mp),
                              g.fill_date.toString(Qt::ISODate), g.today.toString(Qt::ISODate)}),
                 QStringList({c.full_name, c.short_name, "11", "12", "Садовая ул.", c.ogrn, "1", "2", "3", "2020-02-02",
                              QDate::currentDate().toString(Qt::ISODate)}));
    }

    // The list shows what the rules found, with the Form 6 and balance checks run on the form.
    void faults_are_numbered_in_test_order_data()
    {
        QTest::addColumn<bool>("reserving");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QStringList>("items");
        const auto row = [](const char *tag, bool reserving, const char *fields, const QStringList &items) {
            QTest::newRow(tag) << reserving << QString(fields) << items;
        };
        row("valid card passes", false, "", {});
        row("form 6 fault and no index", false, "sb_f6_priziv=20|lineEdit_29=",
            {". Не указан индекс в почтовом адресе организации\n",
             ". На вкладке Персонал есть ошибки в числовых полях\n"});
        row("reserving card passes", true, "", {});
        row("reserving: balance fault, more orders than departures", true, "sb_f6_mp=2|sb_b_all=4",
            {". Общая фактическая численность в таблице Баланс не совпадает с полем Всего работающих над таблицей. "
             "Для сравнения можно включить пункт ''Итоговые данные по Балансу'' под таблицей.\n",
             ". Общее количество ГПЗ, имеющих мобилизационные предписания, не может быть больше, чем в столбце "
             "''Выбытие по мобилизации'' Баланса (сейчас указано 2 и 1 чел. соответственно).\n"});
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

    // The balance check reads the table and the figures above it; the texts of its codes are the rules' own.
    void balance_check_codes_data()
    {
        QTest::addColumn<QVector<Row>>("rows");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<balance::BalanceFault>("fault");
        const QString one = "1120000";
        QTest::newRow("empty cell") << QVector<Row>{row(one, [](Row &r) { r.mp = {}; })} << ""
                                    << balance::BalanceFault::empty_cell;
        QTest::newRow("arithmetic") << QVector<Row>{row(one, [](Row &r) { r.bron = 5; })} << ""
                                    << balance::BalanceFault::arithmetic;
        QTest::newRow("actual total") << QVector<Row>{row(one)} << "sb_b_all=4" << balance::BalanceFault::actual_total;
        QTest::newRow("reserved total") << QVector<Row>{row(one)} << "sb_b_ruk_bron=1"
                                        << balance::BalanceFault::reserved_total;
        QTest::newRow("empty row") << QVector<Row>{row(one), row("1130000",
                                                                 [](Row &r) {
                                                                     r.code = "30000";
                                                                     r.fact = r.treb = r.mp = r.bron = 0;
                                                                 })}
                                   << "" << balance::BalanceFault::empty_row;
        QTest::newRow("no code") << QVector<Row>{row(one, [](Row &r) { r.code = "0"; })} << ""
                                 << balance::BalanceFault::no_code_or_name;
        QTest::newRow("no establishment")
            << QVector<Row>{row(one, [](Row &r) { r.shtat = 0; })} << "" << balance::BalanceFault::no_establishment;
        QTest::newRow("no rows") << QVector<Row>{} << "" << balance::BalanceFault::no_rows;
        QTest::newRow("sound") << QVector<Row>{row(one)} << "" << balance::BalanceFault::none;
    }

    void balance_check_codes()
    {
        QFETCH(QVector<Row>, rows);
        QFETCH(QString, fields);
        QFETCH(balance::BalanceFault, fault);
        make_reserving(rows);
        set_fields(*window, fields);
        CloseAnyModal guard;
        QCOMPARE(window->check_balance_table(), fault);
        QCOMPARE(guard.titles, QStringList());
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
        QCOMPARE(log->at(0).title + "|" + log->at(2).title, QString("Исправьте, пожалуйста, ошибки!|Ошибка 10001!"));
        QVERIFY(log->at(0).text.startsWith("Данные не могут быть сохранены или распечатаны, пока не будут "
                                           "исправлены указанные ниже ошибки.\n(Если Вы хотите"));
        QCOMPARE(log->at(0).informative, QString("1. Не указан индекс в почтовом адресе организации\n"));
        // The list does not stay in the box afterwards.
        QCOMPARE(window->msg_box.informativeText(), QString());
    }

    void repeated_keys_are_reported_after_sorting()
    {
        // A fault of a later step does not matter.
        add_rows(window->balance_model, {row("1110000", [](Row &r) { r.code = ""; }), row("1130000"), row("1110000")});
        Log log = answer_in_turn({"OK"});
        QCOMPARE(window->check_balance_table(), balance::BalanceFault::repeated_key);
        QCOMPARE(log->size(), 1);
        QCOMPARE(log->at(0).title, QString("Одинаковый код должности/профессии!"));
        QVERIFY(log->at(0).text.startsWith(
            "На вкладке Баланс не должно быть повторяющихся кодов должностей - проверьте строки № 1 и 2.\nДля "));
        for (int r = 0; r < 3; ++r)
            QCOMPARE(window->balance_model->index(r, balance::col_key).data().toString(),
                     QString(r < 2 ? "1110000" : "1130000"));
    }

    void gate_stops_before_tidying_a_failing_card()
    {
        set_fields(*window, "lineEdit_29=|le_FamRuk= Петров |lineEdit_9=дом 5|te_orgname2=ооо   ромашка");
        Log log = answer_in_turn({"OK"});
        QVERIFY(!window->check_before_output());
        QCOMPARE(log->size(), 1);
        QCOMPARE(ui()->le_FamRuk->text() + ui()->lineEdit_9->text(), QString(" Петров дом 5"));
        // The same card repaired goes out, tidied.
        set_fields(*window, "lineEdit_29=190000");
        CloseAnyModal guard;
        QVERIFY(window->check_before_output());
        QVERIFY(guard.titles.isEmpty());
        QCOMPARE(ui()->le_FamRuk->text() + ui()->lineEdit_9->text(), QString("Петров 5"));
        QCOMPARE(ui()->te_orgname2->toPlainText(), normalise_org_name("ооо   ромашка"));
    }

    void tidy_up_trims_and_shortens_the_right_fields()
    {
        const QStringList trimmed{"lineEdit",    "le_FamRuk",   "le_ImRuk",    "le_OtRuk",    "le_DolgVur",
                                  "le_FamVur",   "le_ImVur",    "le_OtVur",    "DolgRukMO",   "FamRukMO",
                                  "ImRukMO",     "OtRukMO",     "lineEdit_9",  "lineEdit_34", "lineEdit_8",
                                  "lineEdit_31", "lineEdit_35", "lineEdit_29", "lineEdit_21", "lineEdit_18",
                                  "lineEdit_46", "lineEdit_10", "lineEdit_36"};
        for (const QString &name : trimmed)
            set_fields(*window, name + "= 1" + name.right(1) + " ");
        // Streets from the picker are left as they are; only a picked street lets its house words go.
        set_fields(*window, "lineEdit_23=|lineEdit_9= дом 5 |lineEdit_37= Невский пр. |lineEdit_34= дом 7 |"
                            "lineEdit_21=   |lineEdit_8= корпус 2 ");
        window->tidy_card_fields();
        for (const QString &name : trimmed)
            if (!name.contains(QRegularExpression("^lineEdit_(9|34|8|21)$")))
                QCOMPARE(window->findChild<QLineEdit *>(name)->text(), "1" + name.right(1));
        QCOMPARE(ui()->lineEdit_9->text() + "|" + ui()->lineEdit_34->text() + "|" + ui()->lineEdit_8->text() + "|" +
                     ui()->lineEdit_21->text() + "|" + ui()->lineEdit_37->text(),
                 QString("дом 5| 7|к. 2|| Невский пр. "));
    }

    void gate_questions_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("names"); // both names afterwards, where the row sets them
        const auto row = [](const char *tag, const QString &fields, const QStringList &answers, const QString &title,
                            bool result, const QString &names = "") {
            QTest::newRow(tag) << fields << answers << (title.isEmpty() ? QStringList() : title.split('|')) << result
                               << names;
        };
        // Names of n capitals: "З" then n - 1 more, folded to small letters but the first.
        const auto caps = [](int full, int brief, const QString &folded = "") {
            const auto name = [](int n, bool fold) { return "З" + QString(n - 1, QChar(fold ? 0x0431 : 0x0411)); };
            return "te_orgname=" + name(full, folded == "full") + "|te_orgname2=" + name(brief, folded == "short");
        };
        const QString capitals = "Заглавные буквы в наименовании организации",
                      actual = "Внимание - не введен ФАКТИЧЕСКИЙ адрес", postal = "Внимание - не введен ПОЧТОВЫЙ адрес",
                      legal = "Внимание - не введен ЮРИДИЧЕСКИЙ адрес";
        QString ogrn;
        for (const QString &number : Widget().iogv_ogrn_list)
            if (ogrn.isEmpty() && number.startsWith('1') && ogrn_check_digit_mismatch(number) == 0)
                ogrn = "le_OGRN=" + number;
        row("few capitals", caps(12, 12), {}, "", true, caps(12, 12));
        row("29 capitals, Enter goes back", caps(29, 1), {"<Enter>"}, capitals, false, caps(29, 1));
        row("30 capitals are folded", caps(30, 1), {"OK"}, capitals, false, caps(30, 1, "full"));
        row("short name of 30 capitals", caps(1, 30), {"OK"}, capitals, false, caps(1, 30, "short"));
        row("Enter goes on", "lineEdit_34=", {"<Enter>"}, postal, true);
        row("all three addresses", "lineEdit_9=|lineEdit_34=|lineEdit_21=", {"Нет", "Нет", "Да"},
            actual + "|" + postal + "|" + legal, false);
        row("state body's ogrn", ogrn, {"Да"}, "Внимание - ОГРН", false);
        row("fewer orders, reserving", "sb_f6_mp=0|reserving", {"Да"},
            "Внимание - разошлось количество ГПЗ, имеющих моб.предписания", false);
        // Going back to the date shows the first page.
        row("old fill date", "dateZap=" + QDate::currentDate().addYears(-1).toString(Qt::ISODate), {"Да"},
            "Внимание - устаревшая дата заполнения ЦВЕЛТ", false);
    }

    void gate_questions()
    {
        QFETCH(QString, fields);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, titles);
        QFETCH(bool, result);
        QFETCH(QString, names);
        if (fields.endsWith("|reserving"))
            make_reserving();
        set_fields(*window, fields.remove("|reserving"));
        ui()->tabWidget->setCurrentIndex(main_tab::codes);
        Log log = answer_in_turn(answers);
        std::unique_ptr<CloseAnyModal> guard(answers.isEmpty() ? new CloseAnyModal : nullptr);
        QCOMPARE(window->check_before_output(), result);
        QCOMPARE(log->size() + (guard ? guard->titles.size() : 0), titles.size());
        for (int i = 0; i < titles.size(); ++i) {
            const bool notice = answers.at(i) == "OK", capitals = titles.at(i).startsWith("Заглавные");
            QCOMPARE(log->at(i).title, titles.at(i));
            QCOMPARE(log->at(i).default_button, QString(notice ? "OK" : capitals ? "Да" : "Нет"));
            QCOMPARE(log->at(i).icon, int(notice                          ? QMessageBox::Information
                                          : titles.at(i).endsWith("ОГРН") ? QMessageBox::Critical
                                                                          : QMessageBox::Question));
        }
        const QString text = log->value(0).text;
        if (titles.value(0).startsWith("Заглавные"))
            QVERIFY(text.startsWith(answers.at(0) == "OK" ? "Количество заглавных букв в наименовании организации "
                                                            "превысило допустимый предел в 29 символов."
                                                          : "В наименовании организации обнаружено большое "
                                                            "количество заглавных букв (более 12). Возможно, вы "
                                                            "просто скопировали его."));
        if (titles.value(0).contains("ГПЗ"))
            QVERIFY(text.startsWith("Количество ГПЗ, имеющих мобилизационные предписания (МП), в верхней строке (0 "
                                    "человек) расходится с Балансом (1 человек)."));
        QCOMPARE(ui()->tabWidget->currentIndex(), titles.value(0).endsWith("ЦВЕЛТ") ? 0 : 2);
        if (!names.isEmpty())
            QCOMPARE("te_orgname=" + ui()->te_orgname->toPlainText() +
                         "|te_orgname2=" + ui()->te_orgname2->toPlainText(),
                     names);
    }
};

QUELT_TEST_MAIN(TestCardCheck)
#include "tst_card_check.moc"
