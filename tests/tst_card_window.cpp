// The card in the main window: the card lists, saving, opening, refilling, the unfinished-card
// file and the question on closing.
#include "archiver.h"
#include "card_lists.h"
#include "classifier_reader.h"
#include "form_helpers.h"
#include "iexml.h"
#include "password_list_reader.h"
#include "test_support.h"
#include "ui_widget.h"
#include "widget.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

using test_support::set_fields;

namespace
{

// What a modal window showed: its title, its text (a file dialog: the file it proposed) and buttons.
struct Seen {
    QString title, text;
    QStringList buttons;
};
using SeenList = std::shared_ptr<QVector<Seen>>;

// Answers the next modal windows in turn: a file dialog gets the file to choose (empty: cancel), any other
// window the text of the button to press ("OK" is the Ok of a notice, whatever the platform calls it).
SeenList answer_in_turn(QStringList answers, SeenList seen = std::make_shared<QVector<Seen>>())
{
    if (answers.isEmpty())
        return seen;
    const QString answer = answers.takeFirst();
    test_support::answer_next_modal(QString(), [=](QWidget *modal) {
        Seen s{modal->windowTitle(), {}, {}};
        auto *box = qobject_cast<QMessageBox *>(modal);
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (box)
            s.text = box->text();
        if (dialog)
            s.text = dialog->selectedFiles().value(0);
        for (QAbstractButton *b : box ? box->buttons() : QList<QAbstractButton *>())
            s.buttons << b->text();
        seen->append(s);
        // The next answer waits first: this one may open the next window from inside.
        answer_in_turn(answers, seen);
        if (dialog && answer.isEmpty())
            return dialog->reject();
        if (dialog) {
            dialog->selectFile(answer);
            return (void)QMetaObject::invokeMethod(dialog, "accept");
        }
        if (box && answer == "OK" && box->button(QMessageBox::Ok))
            return box->button(QMessageBox::Ok)->click();
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>())
            if (b->text() == answer)
                return b->click();
        modal->close();
        QFAIL(qPrintable("no button " + answer + " in " + modal->windowTitle()));
    });
    return seen;
}

// A classifier record whose code no other record shares, so a look-up gives it back.
ClassifierRecord unique_record(const QString &file)
{
    ClassifierReader reader;
    reader.load(":/database/xml/" + file);
    QHash<QString, int> codes;
    for (const ClassifierRecord &r : reader.records)
        codes[r.code]++;
    for (const ClassifierRecord &r : reader.records)
        if (codes.value(r.code) == 1 && !r.code.isEmpty() && r.code != "0" && !r.name.isEmpty())
            return r;
    return {};
}

QVariant marker()
{
    return QSettings("Trevane", "QUELT").value("settings/oldset");
}

const QString temp_password = QStringLiteral("ZAR@wind");

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void write_file(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read_file(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The settings file of an unfinished card whose text is `document`.
QByteArray temp_lib(const QString &document)
{
    qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
    QTemporaryDir scratch;
    QSettings(scratch.path() + "/qt.lib", QSettings::IniFormat)
        .setValue("qt/temp", QVariant::fromValue(QVector<QString>{document}));
    return read_file(scratch.path() + "/qt.lib");
}

// While it lives, the archiver found on the PATH fails every run.
struct FailingArchiver {
    QTemporaryDir dir;
    QByteArray old_path = qgetenv("PATH");
    FailingArchiver()
    {
        write_file(dir.path() + "/7z", "#!/bin/sh\nexit 2\n");
        QFile(dir.path() + "/7z").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        qputenv("PATH", dir.path().toUtf8());
    }
    ~FailingArchiver() { qputenv("PATH", old_path); }
};

// Appends rows through the window's add button.
void add_rows(Widget &w, QStandardItemModel *model, void (Widget::*add)(), const QVector<QVector<QVariant>> &rows)
{
    for (const QVector<QVariant> &row : rows) {
        (w.*add)();
        for (int c = 0; c < row.size(); ++c)
            model->setData(model->index(model->rowCount() - 1, c), row.at(c), Qt::EditRole);
    }
}

QStringList archive_members(const QString &archive)
{
    Archiver archiver;
    archiver.run({"l", "-slt", "--", archive});
    QStringList members;
    for (const QByteArray &line : archiver.last_output().split('\n'))
        if (line.startsWith("Path = ") && !line.contains('/'))
            members << QString::fromUtf8(line.mid(7)).trimmed();
    members.removeAll(QFileInfo(archive).fileName());
    return members;
}

} // namespace

class TestCardWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QTemporaryDir private_temp;

    static std::unique_ptr<Widget> new_window()
    {
        auto window = std::make_unique<Widget>();
        window->show();
        return window;
    }

    static Ui::Widget *ui(Widget &w) { return w.ui; }

    // A whole card typed in: every page, three tables, a mobilisation body.
    static void fill_sample(Widget &w)
    {
        const ClassifierRecord street = unique_record("адрес_new.xml"), okato = unique_record("ОКАТО_new.xml"),
                               okopf = unique_record("ОКОПФ_new.xml"), okfs = unique_record("ОКФС_new.xml"),
                               okved = unique_record("OKVED_new.xml"), office = unique_record("VK_org_new.xml");
        set_fields(w,
                   "te_orgname=  Общество   с ограниченной ответственностью \"Ромашка\" |te_orgname2=ООО \"Ромашка\"|"
                   "lineEdit=Генеральный директор|le_FamRuk=Иванов|le_ImRuk=Иван|le_OtRuk=Иванович|"
                   "le_TelRuk=8121234567|le_DopRuk=123|le_DolgVur=Инспектор ВУС|le_FamVur=Петрова|le_ImVur=Анна|"
                   "le_OtVur=Сергеевна|le_TelVur=8127654321|le_FaxVur=8127654322|le_DopVur=89110000000|"
                   "le_RegNo=12345|dateZap=2024-03-05");
        set_fields(w, QString("lineEdit_21=Невский пр.|lineEdit_8=28|lineEdit_18=14-Н|lineEdit_23=%1|lineEdit_9=5|"
                              "lineEdit_31=7|lineEdit_37=%1|lineEdit_34=5А|lineEdit_35=8|lineEdit_29=191186|"
                              "lineEdit_10=info @romashka.ru|lineEdit_36=Головная организация|"
                              "lineEdit_46=Санкт-Петербург")
                          .arg(street.name));
        set_fields(w, QString("le_INN=7707083893|le_KPP=780101001|dateINN=2010-06-07|le_OGRN=1027700132195|"
                              "le_OKPO=12345678|le_okato=%1|lineEdit_11=%2|lineEdit_13=%3|lineEdit_25=%4|"
                              "lineEdit_24=%5|le_osn_ved=%6|lineEdit_26=%7|le_dop_ved=01.11, 02.10|cb_OGV=Да|"
                              "OKOGU_le=1234567")
                          .arg(okato.code, okopf.code, okopf.name, okfs.code, okfs.name, okved.code, okved.name));
        set_fields(w, "cb_MobOrgan=Да|cb_MobOrgan_2=Да|DolgRukMO=Начальник МО|FamRukMO=Сидоров|ImRukMO=Пётр|"
                      "OtRukMO=Петрович|TelRukMO=8120001122|DopRukMO=55|FaxRukMO=8120001123");
        set_fields(w, QString("cb_kat_b=Да|NPA_doc=Распоряжение   о бронировании|NPA_no=17-р|NPA_date=2023-02-01|"
                              "VK_org=%1|le_VK=%2|sb_kol_vred=4|sb_kol_opas=2|te_dopinfo=Дополнительно|"
                              "te_up_l=Верх слева|te_up_r=Верх справа|te_down_l=Низ слева|te_down_r=Низ справа")
                          .arg(office.code, office.name));
        set_fields(w, "ob_ruk=Иванов И.И.|ob_ruk_date=2022-01-02|ob_ruk_gou=УМЦ по ГОЧС|ob_vur=Петрова А.С.|"
                      "ob_vur_date=2022-03-04|ob_vur_gou=Курсы ГО|ob_mob=Сидоров П.П.|ob_mob_date=2021-05-06|"
                      "ob_mob_gou=НЕ ПРОВОДИЛОСЬ|sb_f6_all=120|sb_f6_priziv=3|sb_f6_of=10|sb_f6_neof=20|sb_f6_mp=1|"
                      "sb_f6_bron_of=2|sb_f6_bron_neof=4");

        // Two positions of the classifier, one with a facet.
        ClassifierReader positions;
        positions.load(":/database/xml/OKPDTR_new.xml");
        QVERIFY(positions.records.size() >= 2);
        const ClassifierRecord facet = unique_record("Faset_new.xml");
        for (int i = 0; i < 2; ++i) {
            const ClassifierRecord &p = positions.records.at(i);
            w.paste_okpdtr(p.code, p.name, p.sort);
            if (i == 0)
                w.paste_faset(facet.code, facet.name, QString());
            const int row = w.balance_model->rowCount() - 1;
            const int cells[][2] = {{6, 10 + i}, {8, 9 + i}, {9, 1}, {11, 2 + i}};
            for (const auto &cell : cells)
                w.balance_model->setData(w.balance_model->index(row, cell[0]), cell[1], Qt::EditRole);
        }
        add_rows(w, w.bron_model, &Widget::on_add_bron_clicked,
                 {{"", "", "Инженер", "Приказ №5 от 01.02.2023", "Андреев А.А."},
                  {"1", "22446", "Бухгалтер", "Приказ №6", "Борисов Б.Б."}});
        add_rows(w, w.nebron_model, &Widget::on_add_nebron_clicked, {{3, "Нет ВУС в перечне", "—"}, {5, "Иное", ""}});
    }

    // The four lists a card file holds.
    static QVector<QVector<QString>> collect(Widget &w)
    {
        return {w.collect_card_values(), w.collect_balance_rows(), w.collect_bron_rows(), w.collect_nebron_rows()};
    }

    // Saves the window's card (or an unfinished card); true when it reports success.
    static bool save(Widget &w, const QString &path, bool temp = false)
    {
        const SeenList seen = answer_in_turn({path, "OK"});
        temp ? w.save_to_temp() : w.save_card_as();
        return seen->size() == 2 && seen->at(1).title == "Успешно!" && QFileInfo(path).isFile();
    }

    QString path(const QString &name) { return work.path() + "/" + name; }

    // A card whose switches are all off, as a blank window collects it, with a reserving mark.
    static QVector<QString> reserving_card()
    {
        QVector<QString> card = new_window()->collect_card_values();
        card[card_slot::cb_kat_b] = "Б";
        return card;
    }

private slots:
    void initTestCase()
    {
        // Temporary files of this test only: what is left there afterwards is ours.
        qputenv("TMPDIR", private_temp.path().toUtf8());
        if (!Archiver().found())
            QSKIP("7z is not installed");
    }
    void init()
    {
        // What a failed case left behind must not ask the next one to overwrite it.
        for (const QString &name : entries(work.path()))
            QFile::remove(path(name));
        QSettings("Trevane", "QUELT").remove("settings/oldset");
        card_file_version = card_format_version;
    }

    // ---------------------------------------------------------------- card lists

    void main_list_slots()
    {
        auto window = new_window();
        fill_sample(*window);
        const QVector<QString> values = window->collect_card_values();
        QCOMPARE(values.size(), card_lists::main_size);
        // The fields themselves are tidied too.
        QCOMPARE(ui(*window)->lineEdit_10->text(), QString("info@romashka.ru"));
        QCOMPARE(ui(*window)->te_orgname->toPlainText(), values.at(0));
        const QString street = unique_record("адрес_new.xml").code;
        const QString expected =
            "0=Общество с ограниченной ответственностью \"Ромашка\"|5=(812)-123-45-67|6=|12=|17=" + street +
            "|19=shtatmir|21=" + street +
            "|25=info@romashka.ru|35=120|41=4|44=Б|45=1234567|52=2024-03-05|54=12345|56=(812)-765-43-22|"
            "63=УМЦ по ГОЧС|68=2021-05-06|93=Низ справа|100=2|111=2010-06-07|112=Распоряжение о бронировании|"
            "114=2|115=2|116=2023-02-01|117=Да|125=(812)-000-11-23";
        for (const QString &pair : expected.split('|'))
            QCOMPARE(pair.section('=', 0, 0) + "=" + values.at(pair.section('=', 0, 0).toInt()), pair);
    }

    void switched_off_parts_empty_their_slots()
    {
        auto window = new_window();
        QVERIFY(!window->card_changed());
        QCOMPARE(window->collect_card_values(), window->saved_snapshot);
        // An empty mobilisation body: its phone and fax keep the empty mask, the others' become empty.
        window->set_mobilisation_body(true);
        QVector<QString> v = window->collect_card_values();
        QCOMPARE(QVector<QString>({v.at(117), v.at(123), v.at(125), v.at(5), v.at(17), v.at(21)}),
                 QVector<QString>({"Да", "()---", "()---", "", "0", "0"}));

        // A full card with reservation and mobilisation body switched off.
        window = new_window();
        fill_sample(*window);
        window->set_reservation(false);
        window->set_mobilisation_body(false);
        // Put the balance out of order: a non-reserving collection must not sort it.
        window->balance_model->sort(0, Qt::DescendingOrder);
        const QString first_key = window->balance_model->item(0, 0)->text();
        v = window->collect_card_values();
        QCOMPARE(v.size(), card_lists::main_size);
        QCOMPARE(v.at(44), QString("А"));
        QCOMPARE(v.mid(100, 10), QVector<QString>({"0", "", "", "", "", "", "", "", "", ""}));
        QCOMPARE(v.mid(112, 14), QVector<QString>({"", "", "0", "0", "", "Нет", "Нет", "", "", "", "", "", "", ""}));
        QCOMPARE(collect(*window).mid(1), QVector<QVector<QString>>(3));
        QCOMPARE(window->balance_model->item(0, 0)->text(), first_key);
    }

    void row_lists()
    {
        auto window = new_window();
        fill_sample(*window);
        QStandardItemModel *m = window->balance_model;
        const QVector<QString> rows = window->collect_balance_rows();
        QCOMPARE(rows.size(), 2 * card_lists::balance_row_size);
        // Sorted by the key column, and each row in its value order.
        QVERIFY(m->item(0, 0)->text() <= m->item(1, 0)->text());
        for (int r = 0; r < 2; ++r) {
            const auto cell = [&](int c) { return m->item(r, c) ? m->item(r, c)->text() : QString(); };
            QVERIFY(!cell(2).isEmpty());
            QCOMPARE(rows.mid(r * 10, 10), QVector<QString>({cell(20), cell(2), cell(3), cell(19), cell(8), cell(9),
                                                             cell(11), cell(6), "", cell(6)}));
        }
        window->set_mobilisation_staff_column(true);
        m->setData(m->index(0, 7), 77, Qt::EditRole);
        QCOMPARE(window->collect_balance_rows().at(7), QString("77"));
        QCOMPARE(window->collect_card_values().at(19), QString("shtatvv"));

        // Reserved rows by name, not-reserved rows by count, largest first.
        const QVector<QString> bron = window->collect_bron_rows();
        QCOMPARE(bron.size(), 10);
        QCOMPARE(bron.at(4), QString("Андреев А.А."));
        QCOMPARE(bron.at(9), QString("Борисов Б.Б."));
        QCOMPARE(window->collect_nebron_rows(), QVector<QString>({"5", "Иное", "", "3", "Нет ВУС в перечне", "—"}));

        // Long cells are cut, all but the count of a not-reserved row.
        window = new_window();
        window->set_reservation(true);
        const QString text(300, QChar(0x0416));
        add_rows(*window, window->bron_model, &Widget::on_add_bron_clicked, {QVector<QVariant>(5, text)});
        add_rows(*window, window->nebron_model, &Widget::on_add_nebron_clicked, {QVector<QVariant>(3, text)});
        QCOMPARE(window->collect_bron_rows(), QVector<QString>(5, text.left(254)));
        QCOMPARE(window->collect_nebron_rows(), QVector<QString>({text, text.left(254), text.left(254)}));
    }

    // ---------------------------------------------------------------- refill

    void refill_asks_nothing()
    {
        // A window whose switches are all on, refilled with a card that has them all off.
        auto window = new_window();
        fill_sample(*window);
        window->set_mobilisation_staff_column(true);
        QVector<QString> card = new_window()->collect_card_values();
        QCOMPARE(QVector<QString>({card.at(44), card.at(117), card.at(19)}),
                 QVector<QString>({"А", "Нет", "shtatmir"}));
        card[0] = "Другая организация";

        const auto asked = test_support::answer_next_modal("Отменить", {}, 1500);
        window->fill_from_card(card, QVector<QString>(10, "1"), {}, {});
        QTest::qWait(1600);
        QVERIFY2(!asked->seen, qPrintable(asked->title + ": " + asked->text));
        Ui::Widget *f = ui(*window);
        QCOMPARE(f->cb_kat_b->currentText(), QString("Нет"));
        QCOMPARE(f->cb_MobOrgan->currentText(), QString("Нет"));
        QVERIFY(!f->checkBox_balance_voenshtat->isChecked());
        // Nothing of the other card's mobilisation body stays behind.
        QVERIFY(f->DolgRukMO->text().isEmpty());
        QCOMPARE(window->collect_card_values(), window->saved_snapshot);
        QCOMPARE(window->saved_snapshot.at(0), QString("Другая организация"));
        QVERIFY(!window->card_changed());
    }

    void refill_guards_and_short_lists()
    {
        auto window = new_window();
        fill_sample(*window);
        Ui::Widget *f = ui(*window);
        QVector<QString> card = window->collect_card_values();

        // 53 strings are not a card: the fields stay, the tables are emptied.
        window->fill_from_card(card.mid(0, 53), QVector<QString>(9, "1"), {"a", "b"}, {"1"});
        QCOMPARE(f->le_FamRuk->text(), QString("Иванов"));
        QCOMPARE(window->balance_model->rowCount() + window->bron_model->rowCount() + window->nebron_model->rowCount(),
                 0);

        // 54 strings are applied; what they do not hold reads as empty.
        QVector<QString> short_card = card.mid(0, 54);
        short_card[card_slot::le_OGRN] = short_card[card_slot::le_INN];
        window->fill_from_card(short_card, {}, {}, {});
        QCOMPARE(f->le_OGRN->text(), QString("0"));
        QCOMPARE(f->lineEdit_46->text(), QString("Санкт-Петербург"));
        QCOMPARE(f->le_KPP->text(), QString());

        // Counts larger than the lists stop at the lists' end.
        card[card_slot::cb_kat_b] = "Б";
        card[card_slot::balance_row_count] = "5";
        card[card_slot::bron_row_count] = card[card_slot::nebron_row_count] = "9";
        ClassifierReader positions;
        positions.load(":/database/xml/OKPDTR_new.xml");
        const ClassifierRecord position = positions.records.value(0);
        const QVector<QString> balance = {"1", "Руководители", position.code, "", "3", "1", "1", "4", "", "4"};
        window->fill_from_card(card, balance, {"a", "b", "c", "d", "e", "f"}, {"2", "x", "y", "7"});
        QCOMPARE(window->balance_model->item(0, 5)->text(), position.name);
        QCOMPARE(window->collect_balance_rows(), balance);
        QCOMPARE(window->bron_model->rowCount(), 1);
        QCOMPARE(window->nebron_model->rowCount(), 1);
    }

    void refill_marks_unknown_position()
    {
        auto window = new_window();
        QVector<QString> card = reserving_card();
        card[card_slot::balance_row_count] = "2";
        ClassifierReader positions;
        positions.load(":/database/xml/OKPDTR_new.xml");
        const QString known = positions.records.value(0).code;
        const SeenList seen = answer_in_turn({"OK"});
        window->fill_from_card(card, {"5", "Рабочие", "99999-no", "", "1", "0", "0", "1", "", "1", //
                                      "1", "Рабочие", known,      "", "1", "0", "0", "1", "", "1"},
                               {}, {});
        QCOMPARE(seen->size(), 1);
        QCOMPARE(seen->at(0).title, QString("Код должности НЕДЕЙСТВИТЕЛЕН!"));
        QVERIFY(seen->at(0).text.startsWith("В Балансе в строке 1 обнаружен"));
        const QList<QStandardItem *> unknown = window->balance_model->findItems("99999-no", Qt::MatchExactly, 3);
        QCOMPARE(unknown.size(), 1);
        const auto cell = [&](int c) { return window->balance_model->item(unknown.first()->row(), c)->text(); };
        QCOMPARE(cell(5), QString("!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!"));
        // An unknown kind code keeps the default kind.
        QCOMPARE(cell(1), QString("Основное"));
        QCOMPARE(cell(20), QString("5"));
    }

    void refill_takes_the_card_as_it_is()
    {
        auto window = new_window();
        set_fields(*window, "le_RegNo=12345|le_OGRN=1027801583743");
        QVector<QString> card = reserving_card();
        // The reserved figures stay even without a balance.
        card[card_slot::sb_f6_bron_of] = "3";
        card[card_slot::sb_f6_bron_neof] = "4";
        // No registration number of the previous card, and no OGRN "0" for a card without INN and OGRN.
        card[card_slot::le_RegNo] = "0";
        window->fill_from_card(card, {}, {}, {});
        QCOMPARE(ui(*window)->sb_f6_bron_of->value(), 3);
        QCOMPARE(window->collect_card_values().at(card_slot::sb_f6_bron_neof), QString("4"));
        QCOMPARE(ui(*window)->le_RegNo->text(), QString());
        QCOMPARE(ui(*window)->le_OGRN->text(), QString());
        card[card_slot::le_INN] = card[card_slot::le_OGRN] = "7801234567";
        window->fill_from_card(card, {}, {}, {});
        QCOMPARE(ui(*window)->le_OGRN->text(), QString("0"));
    }

    void refill_old_balance_notice()
    {
        for (const int version : {14, 15}) {
            auto window = new_window();
            QVector<QString> card = reserving_card();
            card[card_slot::balance_row_count] = "0";
            card_file_version = version;
            const auto seen = test_support::answer_next_modal("OK", {}, 1500);
            window->fill_from_card(card, QVector<QString>(10, ""), {}, {});
            QTest::qWait(version < 15 ? 100 : 1600);
            QCOMPARE(seen->title, QString(version < 15 ? "Изменение формы баланса в 2022 году" : ""));
        }
    }

    // ---------------------------------------------------------------- saving and opening

    void card_round_trip()
    {
        auto first = new_window();
        fill_sample(*first);
        const QString file = path("round.quelt");
        QVERIFY(save(*first, file));
        QCOMPARE(marker().toInt(), 0);
        QVERIFY(!first->card_changed());

        auto second = new_window();
        const SeenList seen = answer_in_turn({file});
        second->on_open_Button_clicked();
        QCOMPARE(seen->size(), 1);
        const auto opened = collect(*second);
        QCOMPARE(opened, collect(*first));
        QCOMPARE(QVector<int>({opened.at(1).size(), opened.at(2).size(), opened.at(3).size()}),
                 QVector<int>({20, 10, 6}));
        QVERIFY(!second->card_changed());
        // The pages themselves, not only the lists.
        QCOMPARE(ui(*second)->lineEdit_23->text(), ui(*first)->lineEdit_23->text());
        QCOMPARE(ui(*second)->ob_vur_gou->currentText(), QString("Курсы ГО"));
        QCOMPARE(second->balance_model->item(0, 5)->text(), first->balance_model->item(0, 5)->text());
        QCOMPARE(ui(*second)->sb_b_bron->value(), ui(*first)->sb_b_bron->value());
        // Nothing readable is left beside the card or in the temporary folder.
        QCOMPARE(entries(work.path()), QStringList({"round.quelt"}));
        QCOMPARE(entries(private_temp.path()), QStringList());

        // As the start does with a card named on the command line: opened before the event loop runs.
        Widget third;
        third.show();
        third.open_card_file(file);
        QCOMPARE(collect(third), collect(*first));
        QVERIFY(!third.card_changed());
        QFile::remove(file);
    }

    void default_card_name()
    {
        auto window = new_window();
        const auto proposal = [&](const QString &short_name) {
            ui(*window)->te_orgname2->setPlainText(short_name);
            const SeenList seen = answer_in_turn({""});
            window->save_card_as();
            return seen->size() == 1 && seen->at(0).title == "Сохранить как" ? QFileInfo(seen->at(0).text)
                                                                             : QFileInfo();
        };
        const QFileInfo first = proposal(":ООО  Ромашка?*\n");
        QCOMPARE(first.fileName(), QString("ООО Ромашка_Ф18"));
        // A quote or a slash in the name must not split the name or name another folder.
        const QFileInfo second = proposal("ООО \"Рога / Копыта\" <СПб>|");
        QCOMPARE(second.fileName(), QString("ООО Рога Копыта СПб_Ф18"));
        QCOMPARE(second.absolutePath(), first.absolutePath());
    }

    void save_names_data()
    {
        QTest::addColumn<bool>("temp");
        QTest::addColumn<QString>("name");    // empty: the dialog is cancelled; "old" names an older file
        QTest::addColumn<QString>("title");   // of the last box, empty for none
        QTest::addColumn<QString>("written"); // the file written and its one member
        const auto row = [](const char *tag, bool temp, const char *name, const char *title, const char *written) {
            QTest::newRow(tag) << temp << QString(name) << QString(title) << QString(written);
        };
        const char *refused = "Недопустимое имя файла!";
        row("card, cancel", false, "", "", "");
        row("card, plus", false, "+card.quelt", refused, "");
        row("card, minus", false, "-card.quelt", refused, "");
        row("card, signs later", false, "card+-.quelt", "Успешно!", "card+-.quelt:card+-.xml");
        // A capital extension is not the card's: it is appended, the document keeps the name.
        row("card, capital extension", false, "Upper.QUELT", "Успешно!", "Upper.QUELT.quelt:Upper.xml");
        // A failed archiver leaves the older file as it was.
        row("card, failed write", false, "old.quelt", "Ошибка!", "old.quelt");
        row("temp, cancel", true, "", "Ошибка 10001!", "");
        row("temp, plus", true, "+проба.qtemp", refused, "");
        row("temp, extension first", true, ".QTEMP-x.qtemp", refused, "");
        row("temp, sound", true, "проба.qtemp", "Успешно!", "проба.qtemp:qt.lib");
        row("temp, failed write", true, "old.qtemp", "Ошибка!", "old.qtemp");
    }

    void save_names()
    {
        QFETCH(bool, temp);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, written);
        const QString file = written.section(':', 0, 0);
        const bool fails = name.startsWith("old");
        auto window = new_window();
        ui(*window)->le_FamRuk->setText("Изменено");
        QStringList answers = {name.isEmpty() ? QString() : path(name)};
        std::unique_ptr<FailingArchiver> failing(fails ? new FailingArchiver : nullptr);
        if (fails) {
            write_file(path(name), "old file");
            answers << "&Yes";
        }
        if (!title.isEmpty())
            answers << "OK";
        const SeenList seen = answer_in_turn(answers);
        temp ? window->save_to_temp() : window->save_card_as();
        failing.reset();
        QCOMPARE(seen->size(), answers.size());
        if (!title.isEmpty())
            QCOMPARE(seen->last().title, title);
        if (title == "Недопустимое имя файла!" && !temp)
            QCOMPARE(seen->at(1).text, QString("ОШИБКА! Имя файла не должно начинаться с символов + или -"));
        if (fails && temp)
            QVERIFY(seen->last().text.startsWith("Процесс сохранения данных закончился некорректно"));
        QCOMPARE(entries(work.path()), file.isEmpty() ? QStringList() : QStringList{file});
        if (fails)
            QCOMPARE(read_file(path(file)), QByteArray("old file"));
        else if (!file.isEmpty())
            QCOMPARE(archive_members(path(file)), QStringList{written.section(':', 1)});
        // Only a card file makes the card saved; an unfinished one is remembered only when written.
        const bool saved = !file.isEmpty() && !fails;
        QCOMPARE(window->card_changed(), temp || !saved);
        QCOMPARE(window->temp_saved, temp && saved ? 1 : 0);
        if (temp || fails)
            QCOMPARE(marker().isValid(), saved);
        QFile::remove(path(file));
    }

    void save_stops_at_the_check()
    {
        auto window = new_window();
        ui(*window)->le_FamRuk->setText("Изменено");
        const SeenList seen = answer_in_turn({"OK", ""});
        window->on_save_Button_clicked();
        // Give a file dialog the time to turn up; none may.
        QTest::qWait(5200);
        QCOMPARE(seen->size(), 1);
        QVERIFY(window->card_changed());
    }

    void unreadable_file_leaves_window_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("member"); // empty: `content` is the file itself
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("title"); // empty: the name is not a card's, nothing happens
        const auto row = [](const char *tag, const char *name, const char *member, const QByteArray &content,
                            const QString &password, const char *title = "Ошибка!") {
            QTest::newRow(tag) << QString(name) << QString(member) << content << password << QString(title);
        };
        PasswordListReader passwords;
        passwords.load(":/database/xml/pass.xml");
        row("no name", "", "", "", "", "Ошибка 10001!");
        row("capital extension", "card.QUELT", "", "x", "", "");
        // Any name ending in these letters is taken for an unfinished card.
        row("ends in emp", "card.temp", "", "x", "");
        row("card, wrong password", "bad.quelt", "card.xml", "<dataroot/>", "not-it");
        row("card, damaged", "bad.quelt", "", "7z\xBC\xAF\x27\x1C garbage", "");
        row("card, not a document", "bad.quelt", "card.xml", "not a document <", passwords.current_password);
        row("temp, other password", "bad.qtemp", "qt.lib", "[qt]\n", "other");
        row("temp, no qt.lib", "bad.qtemp", "other.lib", "[qt]\n", temp_password);
        row("temp, no card text", "bad.qtemp", "qt.lib", "[qt]\nother=1\n", temp_password);
        row("temp, not a document", "bad.qtemp", "qt.lib", temp_lib("no <card"), temp_password);
    }

    void unreadable_file_leaves_window()
    {
        QFETCH(QString, name);
        QFETCH(QString, member);
        QFETCH(QByteArray, content);
        QFETCH(QString, password);
        QFETCH(QString, title);
        const QString file = name.isEmpty() ? QString() : path(name);
        if (!name.isEmpty() && member.isEmpty()) {
            write_file(file, content);
        } else if (!name.isEmpty()) {
            QTemporaryDir source;
            write_file(source.path() + "/" + member, content);
            Archiver().pack(source.path() + "/out.7z", source.path() + "/" + member, password);
            QVERIFY(QFile::rename(source.path() + "/out.7z", file));
        }
        auto window = new_window();
        fill_sample(*window);
        const auto before = collect(*window);
        const QVector<QString> snapshot = window->saved_snapshot;
        const auto seen = test_support::answer_next_modal("OK", {}, title.isEmpty() ? 1000 : 5000);
        window->open_card_file(file);
        QTest::qWait(title.isEmpty() ? 1100 : 50);
        QCOMPARE(seen->title, title);
        if (name.endsWith("qtemp")) {
            QVERIFY(seen->text.startsWith("Ошибка чтения файла!"));
            QVERIFY(seen->text.contains(work.path() + "/"));
        }
        QCOMPARE(collect(*window), before);
        QCOMPARE(window->saved_snapshot, snapshot);
        QVERIFY(window->card_changed());
        QCOMPARE(entries(private_temp.path()), QStringList());
        QFile::remove(file);
    }

    // ---------------------------------------------------------------- unfinished card

    void temp_card_round_trip()
    {
        auto first = new_window();
        fill_sample(*first);
        ui(*first)->le_INN->setText("12"); // unfinished: not a valid card
        const auto card = collect(*first);
        const QString file = path("later.qtemp");
        QVERIFY(save(*first, file, true));
        QCOMPARE(marker().toInt(), 1);
        // Saving for later is not saving.
        QVERIFY(first->card_changed());

        // Only the password-protected archive is left, and its qt.lib holds the card document under qt/temp.
        QCOMPARE(entries(work.path()), QStringList({"later.qtemp"}));
        QCOMPARE(entries(private_temp.path()), QStringList());
        QTemporaryDir out;
        QCOMPARE(Archiver().extract(file, out.path(), "wrong"), 2);
        QCOMPARE(Archiver().extract(file, out.path(), temp_password), 0);
        QCOMPARE(entries(out.path()), QStringList({"qt.lib"}));
        qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
        const QVariant value = QSettings(out.path() + "/qt.lib", QSettings::IniFormat).value("qt/temp");
        QCOMPARE(value.value<QVector<QString>>().size(), 1);
        iexml reader;
        QVERIFY(reader.read_card_document(value.value<QVector<QString>>().first().toUtf8()));
        QCOMPARE(reader.card_values.at(card_slot::le_INN), QString("12"));
        out.remove();

        // Opening it leaves the file and the marker (the start would remind of this very file).
        QSettings("Trevane", "QUELT").remove("settings/oldset");
        auto second = new_window();
        QSettings("Trevane", "QUELT").setValue("settings/oldset", 1);
        const QByteArray bytes = read_file(file);
        const SeenList seen = answer_in_turn({file});
        second->on_open_Button_clicked();
        QCOMPARE(seen->size(), 1);
        QCOMPARE(collect(*second), card);
        QCOMPARE(marker().toInt(), 1);
        // An unfinished card is not a saved one: closing still asks.
        QVERIFY(second->card_changed());
        QCOMPARE(read_file(file), bytes);
        QCOMPARE(entries(work.path()), QStringList({"later.qtemp"}));

        // A marker already there stays, the obsolete key goes; a card file saved afterwards clears the marker.
        QSettings("Trevane", "QUELT").setValue("settings/oldset", 2);
        QSettings("Trevane", "QUELT").setValue("settings/queltmas", "x");
        QVERIFY(save(*second, path("again.qtemp"), true));
        QCOMPARE(marker().toString(), QString("2"));
        QVERIFY(!QSettings("Trevane", "QUELT").contains("settings/queltmas"));
        QVERIFY(save(*second, path("later.quelt")));
        QCOMPARE(marker().toInt(), 0);
        QFile::remove(file);
        QFile::remove(path("later.quelt"));
        QFile::remove(path("again.qtemp"));
    }

    // ---------------------------------------------------------------- closing

    void close_question_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("closes");
        const auto row = [](const char *tag, const char *change, const QStringList &answers, bool closes) {
            QTest::newRow(tag) << QString(change) << answers << closes;
        };
        row("nothing changed", "", {}, true);
        row("main list, cancel", "main", {"Отмена"}, false);
        row("balance, cancel", "balance", {"Отмена"}, false);
        row("reserved, cancel", "bron", {"Отмена"}, false);
        row("not reserved, cancel", "nebron", {"Отмена"}, false);
        row("no", "main", {"НЕТ"}, true);
        // The card without a postal index does not pass the check in front of the save.
        row("save, refused by the check", "index", {"ДА, сохранить", "OK"}, false);
        // No second question after an unfinished save that did not happen.
        row("later, then cancel the dialog", "main", {"Продолжить позже", "", "OK"}, false);
        row("later, then stay", "main", {"Продолжить позже", "close.qtemp", "OK", "Нет"}, false);
        row("later, then close", "main", {"Продолжить позже", "close.qtemp", "OK", "ДА"}, true);
    }

    void close_question()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, answers);
        QFETCH(bool, closes);
        auto window = new_window();
        fill_sample(*window);
        QVERIFY(save(*window, path("close.quelt")));
        QFile::remove(path("close.quelt"));
        if (change == "main")
            ui(*window)->le_ImVur->setText("Мария");
        else if (change == "index")
            ui(*window)->lineEdit_29->clear();
        else if (change == "balance")
            window->balance_model->setData(window->balance_model->index(0, 11), 1, Qt::EditRole);
        else if (change == "bron")
            window->bron_model->setData(window->bron_model->index(0, 3), "Приказ №7", Qt::EditRole);
        else if (change == "nebron")
            window->nebron_model->setData(window->nebron_model->index(1, 2), "Новое", Qt::EditRole);
        window->help_window.show();
        window->okved_picker.show();
        if (answers.size() == 4)
            answers[1] = path(answers[1]);

        if (answers.isEmpty()) {
            const auto asked = test_support::answer_next_modal("Отмена", {}, 1000);
            QVERIFY(window->close());
            QTest::qWait(1100);
            QVERIFY(!asked->seen);
        } else {
            const SeenList seen = answer_in_turn(answers);
            QCOMPARE(window->close(), closes);
            QCOMPARE(seen->size(), answers.size());
            QCOMPARE(seen->at(0).title, QString("Выход"));
            QVERIFY(seen->at(0).text.startsWith("Сохранить изменения в файл?\n   \nДА - будет предложено"));
            QCOMPARE(seen->at(0).buttons.size(), 4);
            for (const char *b : {"ДА, сохранить", "НЕТ", "Продолжить позже", "Отмена"})
                QVERIFY2(seen->at(0).buttons.contains(QString(b)), b);
            if (answers.size() == 2 || answers.size() == 3)
                QCOMPARE(seen->last().title,
                         QString(answers.size() == 2 ? "Исправьте, пожалуйста, ошибки!" : "Ошибка 10001!"));
            if (answers.size() == 4) {
                QCOMPARE(seen->at(3).text, QString("Закрыть программу?"));
                QCOMPARE(seen->at(3).buttons.size(), 2);
                QVERIFY(QFile::remove(answers[1]));
            }
        }
        // Accepted, the close takes the other windows along; refused, not even an unfinished save made the
        // card saved, so the next close asks again.
        QCOMPARE(window->isVisible(), !closes);
        QCOMPARE(window->help_window.isVisible(), !closes);
        QCOMPARE(window->okved_picker.isVisible(), !closes);
        QCOMPARE(window->card_changed(), !closes || !answers.isEmpty());
    }
};

QUELT_TEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
