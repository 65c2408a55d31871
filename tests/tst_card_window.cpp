// The card in the main window: lists, saving, opening, refilling, the unfinished card, closing.
#include "balance/balance_rules.h"
#include "cardfile/archiver.h"
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "classifier/classifier_reader.h"
#include "mainwindow/widget.h"
#include "tests/support/form_helpers.h"
#include "tests/support/named_values.h"
#include "tests/support/test_support.h"
#include "tests/support/valid_card.h"
#include "ui_widget.h"
#include "widgets/form.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

using test_support::answer_in_turn;
using test_support::entries;
using test_support::file_bytes;
using test_support::set_fields;
using test_support::write_file;
using SeenList = test_support::SeenBoxes;

namespace
{

// A classifier record whose code no other record shares, so a look-up gives it back.
ClassifierRecord unique_record(const QString &file)
{
    ClassifierReader reader;
    reader.load(":/database/xml/" + file);
    for (const ClassifierRecord &r : reader.records)
        if (!QStringList{"", "0"}.contains(r.code) && !r.name.isEmpty() &&
            std::count_if(reader.records.begin(), reader.records.end(), [&](auto &o) { return o.code == r.code; }) == 1)
            return r;
    return {};
}

QVariant marker()
{
    return QSettings("Trevane", "QUELT").value("settings/oldset");
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

void add_rows(Widget &w, QStandardItemModel *model, void (Widget::*add)(), const QVector<QVector<QVariant>> &rows)
{
    for (const QVector<QVariant> &row : rows) {
        (w.*add)();
        for (int c = 0; c < row.size(); ++c)
            model->setData(model->index(model->rowCount() - 1, c), row.at(c), Qt::EditRole);
    }
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

        // One position of each of the four staff categories, as the picker sends them.
        ClassifierReader positions;
        positions.load(":/database/xml/OKPDTR_new.xml");
        const ClassifierRecord facet = unique_record("Faset_new.xml");
        for (int i = 0; i < 4; ++i) {
            const ClassifierRecord p = *std::find_if(positions.records.begin(), positions.records.end(),
                                                     [&](auto &r) { return r.sort == QString::number(i + 1); });
            w.paste_okpdtr(p.code, p.name, p.sort);
            if (i == 0)
                w.paste_faset(facet.code, facet.name, QString());
            const int row = w.balance_model->rowCount() - 1;
            for (const auto &cell : {std::pair<int, int>{balance::col_shtat, 10 + i},
                                     {balance::col_fact, 9 + i},
                                     {balance::col_mp, 1},
                                     {balance::col_bron, 2 + i}})
                w.balance_model->setData(w.balance_model->index(row, cell.first), cell.second, Qt::EditRole);
        }
        add_rows(w, w.bron_model, &Widget::on_add_bron_clicked,
                 {{"", "", "Инженер", "Приказ №5 от 01.02.2023", "Андреев А.А."},
                  {"1", "22446", "Бухгалтер", "Приказ №6", "Борисов Б.Б."}});
        add_rows(w, w.nebron_model, &Widget::on_add_nebron_clicked, {{3, "Нет ВУС в перечне", "—"}, {5, "Иное", ""}});
    }

    static QVector<QVector<QString>> collect(Widget &w)
    {
        return {w.collect_card_values(), w.collect_balance_rows(), w.collect_bron_rows(), w.collect_nebron_rows()};
    }

    static bool save(Widget &w, const QString &path, bool temp = false)
    {
        const SeenList seen = answer_in_turn({path, "OK"});
        temp ? w.save_to_temp() : w.save_card_as();
        return seen->size() == 2 && seen->at(1).title == "Успешно!" && QFileInfo(path).isFile();
    }

    QString path(const QString &name) { return work.path() + "/" + name; }

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", private_temp.path().toUtf8());
        if (!Archiver().found())
            QSKIP("7z is not installed");
    }
    void init()
    {
        for (const QString &name : entries(work.path()))
            QFile::remove(path(name));
        QSettings("Trevane", "QUELT").remove("settings/oldset");
        card_file_version = card_format_version;
    }

    void collected_lists()
    {
        auto window = new_window();
        fill_sample(*window);
        QVector<QString> v = window->collect_card_values();
        // Collecting only reads: the form keeps what was typed, the list holds it tidied.
        QCOMPARE(ui(*window)->lineEdit_10->text(), QString("info @romashka.ru"));
        QCOMPARE(ui(*window)->te_orgname->toPlainText().simplified(), v.at(card_slot::te_orgname));
        const QString street = unique_record("адрес_new.xml").code;
        using namespace card_slot;
        const test_support::NamedValues expected = {
            {te_orgname, "Общество с ограниченной ответственностью \"Ромашка\""},
            {le_TelRuk, "(812)-123-45-67"},
            {le_FaxRuk, ""},
            {Mesto_reg, ""},
            {lineEdit_23, street},
            {checkBox_balance_voenshtat, "shtatmir"},
            {lineEdit_37, street},
            {lineEdit_10, "info@romashka.ru"},
            {sb_f6_all, "120"},
            {sb_f6_bron_neof, "4"},
            {cb_kat_b, "Б"},
            {OKOGU_le, "1234567"},
            {dateZap, "2024-03-05"},
            {le_RegNo, "12345"},
            {le_FaxVur, "(812)-765-43-22"},
            {ob_ruk_gou, "УМЦ по ГОЧС"},
            {ob_mob_date, "2021-05-06"},
            {te_down_r, "Низ справа"},
            {balance_row_count, "4"},
            {dateINN, "2010-06-07"},
            {NPA_doc, "Распоряжение о бронировании"},
            {bron_row_count, "2"},
            {nebron_row_count, "2"},
            {NPA_date, "2023-02-01"},
            {cb_MobOrgan, "Да"},
            {FaxRukMO, "(812)-000-11-23"}};
        QCOMPARE(v.size(), card_lists::main_size);
        QCOMPARE(test_support::list_texts(v, expected), test_support::values_of(expected));

        // Balance rows sorted by key, each in its value order; reserved rows by name, not-reserved by count.
        // The table on screen keeps its own order.
        using namespace balance;
        QStandardItemModel *m = window->balance_model;
        m->sort(col_key, Qt::DescendingOrder);
        const QVector<QString> rows = window->collect_balance_rows();
        const int row_size = card_lists::balance_row_size;
        QCOMPARE(rows.size(), 4 * row_size);
        for (int r = 0; r < 4; ++r) {
            const int shown = 3 - r;
            QVERIFY(r == 0 || m->item(shown + 1, col_key)->text() < m->item(shown, col_key)->text());
            const auto cell = [&](int c) { return m->item(shown, c) ? m->item(shown, c)->text() : QString(); };
            QVector<QString> row(row_size);
            test_support::set_list(row, {{balance_pos::kind_code, cell(col_kind_code)},
                                         {balance_pos::category_word, cell(col_category)},
                                         {balance_pos::position_code, cell(col_code)},
                                         {balance_pos::facet_code, cell(col_facet_code)},
                                         {balance_pos::actual, cell(col_fact)},
                                         {balance_pos::leaving_by_mob, cell(col_mp)},
                                         {balance_pos::reserved, cell(col_bron)},
                                         {balance_pos::required, cell(col_shtat)},
                                         {balance_pos::internal_cover, ""},
                                         {balance_pos::staff, cell(col_shtat)}});
            QCOMPARE(rows.mid(r * row_size, row_size), row);
        }
        const QVector<QString> bron = window->collect_bron_rows();
        QCOMPARE(
            QVector<QString>({bron.at(bron_pos::full_name), bron.at(card_lists::bron_row_size + bron_pos::full_name)}),
            QVector<QString>({"Андреев А.А.", "Борисов Б.Б."}));
        QCOMPARE(window->collect_nebron_rows(), QVector<QString>({"5", "Иное", "", "3", "Нет ВУС в перечне", "—"}));
    }

    // Once a card of many rows is open, asking whether it changed (as closing it does) sorts no table and writes
    // into no field; opening itself shows the rows sorted.
    void asking_whether_changed_changes_nothing()
    {
        int signals_seen = 0;
        auto window = new_window();
        QVector<QString> card = window->collect_card_values();
        card[card_slot::cb_kat_b] = "Б";
        card[card_slot::te_orgname] = "ООО  \"Ромашка\"";
        card[card_slot::lineEdit_10] = "info @romashka.ru";
        QVector<QString> rows;
        for (const ClassifierRecord &p : test_support::sampled_positions(2000))
            rows += {"1", balance::category_word(p.sort.toInt()), p.code, "", "2", "1", "1", "2", "", "2"};
        card[card_slot::balance_row_count] = QString::number(rows.size() / card_lists::balance_row_size);
        card[card_slot::bron_row_count] = card[card_slot::nebron_row_count] = "2";
        window->fill_from_card(
            card, rows, {"", "", "Бухгалтер", "Приказ №6", "Борисов Б.Б.", "", "", "Инженер", "", "Андреев А.А."},
            {"3", "Нет ВУС в перечне", "—", "5", "Иное", ""});
        QStandardItemModel *const models[] = {window->balance_model, window->bron_model, window->nebron_model};
        const auto text = [](QStandardItemModel *model, int row, int column) {
            return model->index(row, column).data().toString();
        };
        QCOMPARE(window->balance_model->rowCount(), 2000);
        for (int r = 1; r < window->balance_model->rowCount(); ++r)
            QVERIFY(text(models[0], r - 1, balance::col_key) < text(models[0], r, balance::col_key));
        QCOMPARE(text(models[1], 0, bron_pos::full_name) + text(models[2], 0, nebron_pos::count),
                 QString("Андреев А.А.5"));
        // Opening showed them tidied; typed again untidied, the card is the same and asking must not tidy them.
        ui(*window)->lineEdit_10->setText("info @romashka.ru");
        ui(*window)->te_orgname->setPlainText("ООО  \"Ромашка\"");

        const auto seen = [&signals_seen] { ++signals_seen; };
        for (QStandardItemModel *model : models) {
            connect(model, &QAbstractItemModel::layoutChanged, seen);
            connect(model, &QAbstractItemModel::dataChanged, seen);
            connect(model, &QAbstractItemModel::rowsMoved, seen);
            connect(model, &QAbstractItemModel::rowsRemoved, seen);
            connect(model, &QAbstractItemModel::rowsInserted, seen);
            connect(model, &QAbstractItemModel::modelReset, seen);
        }
        for (QLineEdit *field : window->findChildren<QLineEdit *>())
            connect(field, &QLineEdit::textChanged, seen);
        for (QTextEdit *field : window->findChildren<QTextEdit *>())
            connect(field, &QTextEdit::textChanged, seen);
        QVERIFY(!window->card_changed());
        QCOMPARE(signals_seen, 0);
        QCOMPARE(ui(*window)->lineEdit_10->text() + "|" + ui(*window)->te_orgname->toPlainText(),
                 QString("info @romashka.ru|ООО  \"Ромашка\""));
    }

    void refill_asks_nothing_and_resets_values()
    {
        // A window whose switches are all on, refilled with a card that has them all off.
        auto window = new_window();
        fill_sample(*window);
        window->set_mobilisation_staff_column(true);
        QVector<QString> card = new_window()->collect_card_values();
        card[card_slot::te_orgname] = "Другая организация";
        const auto asked = test_support::answer_next_modal("Отменить", {}, 1500);
        window->fill_from_card(card, QVector<QString>(card_lists::balance_row_size, "1"), {}, {});
        QTest::qWait(1600);
        QVERIFY2(!asked->seen, qPrintable(asked->title + ": " + asked->text));
        Ui::Widget *f = ui(*window);
        QCOMPARE(f->cb_kat_b->currentText() + f->cb_MobOrgan->currentText(), QString("НетНет"));
        QVERIFY(!f->checkBox_balance_voenshtat->isChecked());
        // Nothing of the other card's mobilisation body stays behind.
        QVERIFY(f->DolgRukMO->text().isEmpty());
        QCOMPARE(window->collect_card_values(), window->saved_snapshot);
        QCOMPARE(window->saved_snapshot.at(card_slot::te_orgname), QString("Другая организация"));

        // No registration number of the previous card, no OGRN "0" for a card without INN and OGRN, and the
        // reserved figures stay even without a balance.
        set_fields(*window, "le_RegNo=12345|le_OGRN=1027801583743");
        card[card_slot::cb_kat_b] = "Б";
        card[card_slot::sb_f6_bron_of] = "3";
        card[card_slot::sb_f6_bron_neof] = "4";
        card[card_slot::le_RegNo] = "0";
        window->fill_from_card(card, {}, {}, {});
        QCOMPARE(f->sb_f6_bron_of->value(), 3);
        QCOMPARE(window->collect_card_values().at(card_slot::sb_f6_bron_neof), QString("4"));
        QCOMPARE(f->le_RegNo->text() + f->le_OGRN->text(), QString());
    }

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
        QCOMPARE(collect(*second), collect(*first));
        QVERIFY(!second->card_changed());
        QCOMPARE(ui(*second)->lineEdit_23->text(), ui(*first)->lineEdit_23->text());
        // Each position keeps its category: the actual staff of rows 9 to 12 in the four category totals.
        Ui::Widget *f = ui(*second);
        QCOMPARE((QList<int>{f->sb_b_ruk->value(), f->sb_b_spec->value(), f->sb_b_slug->value(), f->sb_b_rab->value()}),
                 (QList<int>{9, 10, 11, 12}));
        // A street of the carried list is stored as five digits from 90001, never as another program's code.
        iexml stored;
        const QString street_code = stored.open_card(file).value(card_slot::lineEdit_23);
        QVERIFY2(QRegularExpression("^9\\d{4}$").match(street_code).hasMatch(), qPrintable(street_code));
        QVERIFY(street_code.toInt() >= 90001);
        QCOMPARE(entries(work.path()) + entries(private_temp.path()), QStringList({"round.quelt"}));
    }

    void proposed_card_name_is_sanitised()
    {
        auto window = new_window();
        QStringList proposed;
        for (const QString name : {":ООО  Ромашка?*\n", "ООО \"Рога / Копыта\" <СПб>|"}) {
            ui(*window)->te_orgname2->setPlainText(name);
            const SeenList seen = answer_in_turn({""});
            window->save_card_as();
            QCOMPARE(seen->value(0).title, QString("Сохранить как"));
            proposed << seen->at(0).text;
        }
        // A quote or a slash in the name must not split the name or name another folder.
        QCOMPARE(QFileInfo(proposed.at(0)).fileName(), QString("ООО Ромашка_Ф18"));
        QCOMPARE(QFileInfo(proposed.at(1)).fileName(), QString("ООО Рога Копыта СПб_Ф18"));
        QCOMPARE(QFileInfo(proposed.at(1)).absolutePath(), QFileInfo(proposed.at(0)).absolutePath());
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
        row("card, cancel", false, "", "", "");
        row("card, plus", false, "+card.quelt", "Недопустимое имя файла!", "");
        row("card, signs later", false, "card+-.quelt", "Успешно!", "card+-.quelt:card+-.xml");
        // A capital extension is not the card's: it is appended, the document keeps the name.
        row("card, capital extension", false, "Upper.QUELT", "Успешно!", "Upper.QUELT.quelt:Upper.xml");
        // A failed archiver leaves the older file as it was, and the card unsaved.
        row("card, failed write", false, "old.quelt", "Ошибка!", "old.quelt");
        row("temp, minus", true, "-проба.qtemp", "Недопустимое имя файла!", "");
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
            QVERIFY(write_file(path(name), "old file"));
            answers << "&Yes";
        }
        if (!title.isEmpty())
            answers << "OK";
        const SeenList seen = answer_in_turn(answers);
        temp ? window->save_to_temp() : window->save_card_as();
        failing.reset();
        QCOMPARE(seen->size(), answers.size());
        QCOMPARE(seen->last().title, title.isEmpty() ? "Сохранить как" : title);
        if (title == "Недопустимое имя файла!")
            QCOMPARE(seen->at(1).text, QString("ОШИБКА! Имя файла не должно начинаться с символов + или -"));
        QCOMPARE(entries(work.path()), file.isEmpty() ? QStringList() : QStringList{file});
        if (fails) {
            QCOMPARE(file_bytes(path(file)), QByteArray("old file"));
        } else if (!file.isEmpty()) {
            Archiver list;
            list.run({"l", "--", path(file)});
            QVERIFY(list.last_output().contains(" 1 files\n") &&
                    list.last_output().contains(" " + written.section(':', 1).toUtf8() + "\n"));
        }
        // Only a card file makes the card saved; an unfinished one is remembered only when written.
        const bool saved = !file.isEmpty() && !fails;
        QCOMPARE(window->card_changed(), temp || !saved);
        QCOMPARE(window->temp_saved, temp && saved ? 1 : 0);
        if (temp || fails)
            QCOMPARE(marker().isValid(), saved);
        QFile::remove(path(file));
    }

    void failed_open_leaves_the_window_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // of the file, or of the qt.lib packed in an unfinished card
        QTest::addColumn<QString>("title");
        QTest::newRow("no name") << "" << QByteArray() << "Ошибка 10001!";
        QTest::newRow("card, damaged") << "bad.quelt" << QByteArray("7z\xBC\xAF\x27\x1C garbage") << "Ошибка!";
        qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
        QTemporaryDir scratch;
        QSettings(scratch.path() + "/qt.lib", QSettings::IniFormat)
            .setValue("qt/temp", QVariant::fromValue(QVector<QString>{"no <card"}));
        QTest::newRow("temp, not a document") << "bad.qtemp" << file_bytes(scratch.path() + "/qt.lib") << "Ошибка!";
    }

    void failed_open_leaves_the_window()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        const QString file = name.isEmpty() ? QString() : path(name);
        if (name.endsWith("qtemp")) {
            QTemporaryDir source;
            QVERIFY(write_file(source.path() + "/qt.lib", content));
            Archiver().pack(source.path() + "/out.7z", source.path() + "/qt.lib", "ZAR@wind");
            QVERIFY(QFile::rename(source.path() + "/out.7z", file));
        } else if (!name.isEmpty()) {
            QVERIFY(write_file(file, content));
        }
        auto window = new_window();
        fill_sample(*window);
        const auto before = collect(*window);
        const QVector<QString> snapshot = window->saved_snapshot;
        const SeenList seen = answer_in_turn({"OK"});
        window->open_card_file(file);
        QCOMPARE(seen->size(), 1);
        QCOMPARE(seen->at(0).title, title);
        if (name.endsWith("qtemp"))
            QVERIFY(seen->at(0).text.startsWith("Ошибка чтения файла!") && seen->at(0).text.contains(work.path()));
        QCOMPARE(collect(*window), before);
        QCOMPARE(window->saved_snapshot, snapshot);
        QCOMPARE(entries(private_temp.path()), QStringList());
    }

    void temp_card_round_trip()
    {
        auto first = new_window();
        fill_sample(*first);
        ui(*first)->le_INN->setText("12"); // unfinished: not a valid card
        const QString file = path("later.qtemp");
        QVERIFY(save(*first, file, true));
        QCOMPARE(marker().toInt(), 1);
        QVERIFY(first->card_changed());

        // Only the password-protected archive is left, and its qt.lib holds the card document under qt/temp.
        QCOMPARE(entries(work.path()) + entries(private_temp.path()), QStringList({"later.qtemp"}));
        QTemporaryDir out;
        QCOMPARE(Archiver().extract(file, out.path(), "ZAR@wind"), 0);
        qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
        const QVariant value = QSettings(out.path() + "/qt.lib", QSettings::IniFormat).value("qt/temp");
        iexml reader;
        QVERIFY(reader.read_card_document(value.value<QVector<QString>>().value(0).toUtf8()));
        QCOMPARE(reader.card_values.at(card_slot::le_INN), QString("12"));

        // Opening it leaves the file and the marker; an unfinished card is not a saved one.
        QSettings("Trevane", "QUELT").remove("settings/oldset"); // else the start would remind of this file
        auto second = new_window();
        QSettings("Trevane", "QUELT").setValue("settings/oldset", 1);
        const SeenList seen = answer_in_turn({file});
        second->on_open_Button_clicked();
        QCOMPARE(seen->size(), 1);
        QCOMPARE(collect(*second), collect(*first));
        QCOMPARE(marker().toInt(), 1);
        QVERIFY(second->card_changed());

        // A marker already there stays, the obsolete key goes; a card file saved afterwards clears the marker.
        QSettings("Trevane", "QUELT").setValue("settings/oldset", 2);
        QSettings("Trevane", "QUELT").setValue("settings/queltmas", "x");
        QVERIFY(save(*second, path("again.qtemp"), true));
        QCOMPARE(marker().toString(), QString("2"));
        QVERIFY(!QSettings("Trevane", "QUELT").contains("settings/queltmas"));
        QVERIFY(save(*second, path("later.quelt")));
        QCOMPARE(marker().toInt(), 0);
    }

    // A short or inconsistent card never crashes the refill: a list too short to be a card changes no
    // field, and row counts beyond the rows given build only the rows there are.
    void refill_survives_short_lists()
    {
        auto window = new_window();
        ui(*window)->le_FamRuk->setText("Прежний");
        QVector<QString> card(53, "x");
        window->fill_from_card(card, {}, {}, {});
        QCOMPARE(ui(*window)->le_FamRuk->text(), QString("Прежний"));

        card = window->collect_card_values();
        card[card_slot::cb_kat_b] = "Б";
        card[card_slot::balance_row_count] = "5";
        card[card_slot::bron_row_count] = "7";
        card[card_slot::nebron_row_count] = "9";
        const QVector<QString> one_bron = {"", "", "Инженер", "Приказ №1", "Андреев А.А."};
        const QVector<QString> one_nebron = {"2", "Иное", ""};
        window->fill_from_card(card, {}, one_bron, one_nebron);
        QCOMPARE(window->balance_model->rowCount(), 0);
        QCOMPARE(window->bron_model->rowCount(), 1);
        QCOMPARE(window->nebron_model->rowCount(), 1);
    }

    // A card of many positions the list does not know: three rows get a box each, one box names the rest.
    void unknown_positions_fold_into_one_box()
    {
        auto window = new_window();
        QVector<QString> card = window->collect_card_values();
        card[card_slot::cb_kat_b] = "Б";
        const int count = 25;
        card[card_slot::balance_row_count] = QString::number(count);
        QVector<QString> rows;
        for (int r = 0; r < count; ++r)
            rows += QString("1|Специалисты|99999||1|0|0|1||1").split('|').toVector();
        QStringList seen;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << box->windowTitle() + "|" + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(5);
        window->fill_from_card(card, rows, {}, {});
        answer.stop();
        QCOMPARE(window->balance_model->rowCount(), count);
        // The totals are summed once the rows are in.
        QCOMPARE(window->ui->sb_b_all->value(), count);
        QCOMPARE(seen.size(), 4);
        QVERIFY2(seen[2].startsWith("Код должности НЕДЕЙСТВИТЕЛЕН!|В Балансе в строке 3 обнаружен"),
                 qPrintable(seen[2]));
        QCOMPARE(seen[3], "Код должности НЕДЕЙСТВИТЕЛЕН!|Ещё 22 строки с недействительным кодом должности: 4, 5, 6, 7, "
                          "8, 9, 10, 11, 12, 13, …, 25.");
    }

    // Stored codes the carried lists do not know stay in the card, are named in one notice and are
    // written back unchanged.
    void unknown_codes_kept_data()
    {
        QTest::addColumn<test_support::NamedValues>("codes"); // {slot, code}
        QTest::addColumn<QString>("shown");                   // widget=text|...
        using namespace card_slot;
        QTest::newRow("okato, actual street, office")
            << test_support::NamedValues{{le_okato, "41403"}, {lineEdit_23, "1234"}, {VK_org, "999"}}
            << "le_okato=41403|lineEdit_23=Улица с кодом 1234 (нет в списке программы)|VK_org=999|"
               "le_VK=Военкомат с кодом 999 (нет в списке программы)";
        QTest::newRow("okopf, okfs, okved, postal street")
            << test_support::NamedValues{{lineEdit_11, "19999"},
                                         {lineEdit_25, "98"},
                                         {le_osn_ved, "99.99.99"},
                                         {lineEdit_37, "7"}}
            << "lineEdit_11=19999|lineEdit_13=|lineEdit_25=98|lineEdit_24=|"
               "le_osn_ved=99.99.99|lineEdit_26=|lineEdit_37=Улица с кодом 7 (нет в списке программы)";
    }

    void unknown_codes_kept()
    {
        QFETCH(test_support::NamedValues, codes);
        QFETCH(QString, shown);
        auto first = new_window();
        fill_sample(*first);
        QVector<QVector<QString>> card = collect(*first);
        test_support::set_list(card[0], codes);
        QStringList named = test_support::values_of(codes);
        const QString stored = path("elsewhere.quelt");
        iexml writer;
        QVERIFY(writer.save_card(card[0], card[1], card[2], card[3], stored, "elsewhere.xml"));

        auto second = new_window();
        const SeenList seen = answer_in_turn({stored, "OK"});
        second->on_open_Button_clicked();
        QCOMPARE(seen->size(), 2);
        QCOMPARE(seen->at(1).title, QString("Коды, которых нет в списках программы"));
        const QStringList lines = seen->at(1).text.split('\n');
        QVERIFY(lines.first().contains("неполны"));
        QStringList listed;
        for (const QString &line : lines)
            if (line.startsWith("- "))
                listed << line.section(": ", -1);
        listed.sort();
        named.sort();
        QCOMPARE(listed, named);
        for (const QString &pair : shown.split('|'))
            QCOMPARE(pair.section('=', 0, 0) + "=" + second->findChild<QLineEdit *>(pair.section('=', 0, 0))->text(),
                     pair);
        QVERIFY(!second->card_changed());

        // Saved without changes, the card holds what it came with.
        const QString again = path("again.quelt");
        QVERIFY(save(*second, again));
        iexml before, after;
        const QVector<QString> main_before = before.open_card(stored), main_after = after.open_card(again);
        QCOMPARE(main_after.size(), main_before.size());
        QCOMPARE(test_support::list_texts(main_after, codes), test_support::values_of(codes));
        QCOMPARE(main_after, main_before);
        QCOMPARE(after.open_card("Getbalance"), before.open_card("Getbalance"));

        // Another pick replaces a kept street code.
        const ClassifierRecord street = unique_record("адрес_new.xml");
        second->paste_fakt_adr(street.code, street.name);
        QCOMPARE(second->collect_card_values().at(card_slot::lineEdit_23), street.code);
    }

    // A code that its field cannot hold as it is (a damaged card: the office field takes three
    // characters) is not cut into another code.
    void damaged_codes_not_cut()
    {
        auto window = new_window();
        QVector<QString> card = window->collect_card_values();
        card[card_slot::cb_kat_b] = "Б";
        card[card_slot::VK_org] = "12345";
        card[card_slot::lineEdit_11] = "19999";
        const SeenList seen = answer_in_turn({"OK"});
        window->fill_from_card(card, {}, {}, {});
        QCOMPARE(seen->size(), 1);
        const QString text = seen->at(0).text;
        const QString not_kept = " (код неверного вида, не сохранён - выберите значение заново)";
        QVERIFY2(text.contains(": 12345" + not_kept), qPrintable(text));
        QVERIFY2(text.contains(": 19999\n"), qPrintable(text));
        const QVector<QString> saved = window->collect_card_values();
        QCOMPARE(saved.at(card_slot::VK_org) + "|" + ui(*window)->le_VK->text() + "|" +
                     saved.at(card_slot::lineEdit_11),
                 QString("0||19999"));
    }

    // The question on closing compares all four lists: a change in one table alone counts.
    void any_table_change_counts_data()
    {
        QTest::addColumn<int>("table");
        QTest::newRow("balance") << 0;
        QTest::newRow("reserved") << 1;
        QTest::newRow("not reserved") << 2;
    }

    void any_table_change_counts()
    {
        QFETCH(int, table);
        auto window = new_window();
        fill_sample(*window);
        QVERIFY(save(*window, path("tables.quelt")));
        QVERIFY(!window->card_changed());
        QStandardItemModel *model =
            QList<QStandardItemModel *>{window->balance_model, window->bron_model, window->nebron_model}.at(table);
        const int column = QList<int>{19, 4, 2}.at(table);
        model->setData(model->index(0, column), "Другое значение", Qt::EditRole);
        QCOMPARE(window->collect_card_values(), window->saved_snapshot);
        QVERIFY(window->card_changed());
    }

    void close_question_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("nothing changed") << QStringList() << true;
        QTest::newRow("main list, cancel") << QStringList{"Отмена"} << false;
        QTest::newRow("no") << QStringList{"НЕТ"} << true;
        QTest::newRow("save, refused by the check") << QStringList{"ДА, сохранить", "OK"} << false;
        // No second question after an unfinished save that did not happen.
        QTest::newRow("later, cancel the dialog") << QStringList{"Продолжить позже", "", "OK"} << false;
        QTest::newRow("later, stay") << QStringList{"Продолжить позже", "c.qtemp", "OK", "Нет"} << false;
        QTest::newRow("later, close") << QStringList{"Продолжить позже", "c.qtemp", "OK", "ДА"} << true;
    }

    void close_question()
    {
        QFETCH(QStringList, answers);
        QFETCH(bool, closes);
        auto window = new_window();
        fill_sample(*window);
        QVERIFY(save(*window, path("close.quelt")));
        if (!answers.isEmpty()) // a change; with no postal index the check refuses the save
            (answers.value(0) == "ДА, сохранить" ? ui(*window)->lineEdit_29 : ui(*window)->le_ImVur)->setText("");
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
            QStringList buttons = seen->at(0).buttons;
            buttons.sort();
            QCOMPARE(buttons, QStringList({"ДА, сохранить", "НЕТ", "Отмена", "Продолжить позже"}));
            if (answers.size() == 2 || answers.size() == 3)
                QCOMPARE(seen->last().title,
                         QString(answers.size() == 2 ? "Исправьте, пожалуйста, ошибки!" : "Ошибка 10001!"));
            if (answers.size() == 4)
                QCOMPARE(seen->at(3).text, QString("Закрыть программу?"));
        }
        // Accepted, the close takes the other windows along; refused, the card still counts as changed.
        QCOMPARE(window->isVisible(), !closes);
        QCOMPARE(window->help_window.isVisible(), !closes);
        QCOMPARE(window->okved_picker.isVisible(), !closes);
        QCOMPARE(window->card_changed(), !closes || !answers.isEmpty());
    }
};

QUELT_TEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
