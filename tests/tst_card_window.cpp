// The card in the main window: the card lists, saving, opening, refilling, the unfinished-card
// file and the question on closing.
#include "archiver.h"
#include "card_lists.h"
#include "classifier_reader.h"
#include "iexml.h"
#include "password_list_reader.h"
#include "test_support.h"
#include "ui_widget.h"
#include "widget.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

namespace
{

// What a modal window showed, in the order the windows came.
struct Seen {
    QString title;
    QString text;
    QStringList buttons;
};
using Step = std::function<void(QWidget *)>;
using SeenList = std::shared_ptr<QVector<Seen>>;

void answer_from(SeenList seen, QList<Step> steps)
{
    if (steps.isEmpty())
        return;
    const Step step = steps.takeFirst();
    test_support::answer_next_modal(QString(), [=](QWidget *modal) {
        Seen s;
        s.title = modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            s.text = box->text();
            for (QAbstractButton *b : box->buttons())
                s.buttons << b->text();
        }
        seen->append(s);
        // The next answer waits first: this one may open the next window from inside.
        answer_from(seen, steps);
        step(modal);
    });
}

// Answers the next modal windows one after another.
SeenList answer_in_turn(const QList<Step> &steps)
{
    auto seen = std::make_shared<QVector<Seen>>();
    answer_from(seen, steps);
    return seen;
}

Step press(const QString &text)
{
    return [text](QWidget *modal) {
        for (QAbstractButton *b : modal->findChildren<QAbstractButton *>()) {
            if (b->text() == text) {
                b->click();
                return;
            }
        }
        QFAIL(qPrintable("no button " + text + " in " + modal->windowTitle()));
    };
}

// The Ok of a notice, whatever the platform calls it.
Step ok()
{
    return [](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        box->button(QMessageBox::Ok)->click();
    };
}

Step choose_file(const QString &path, QString *proposal = nullptr)
{
    return [=](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            qWarning() << "not a file dialog:" << modal->metaObject()->className() << modal->windowTitle();
            modal->close();
            QFAIL("not a file dialog");
        }
        if (proposal)
            *proposal = dialog->selectedFiles().value(0);
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

Step cancel_file(QString *proposal = nullptr)
{
    return [=](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            qWarning() << "not a file dialog:" << modal->metaObject()->className() << modal->windowTitle();
            modal->close();
            QFAIL("not a file dialog");
        }
        if (proposal)
            *proposal = dialog->selectedFiles().value(0);
        dialog->reject();
    };
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

QString temp_password()
{
    return QStringLiteral("ZAR@wind");
}

// While it lives, the archiver found on the PATH fails every run.
struct FailingArchiver {
    QTemporaryDir dir;
    QByteArray old_path = qgetenv("PATH");
    FailingArchiver()
    {
        QFile script(dir.path() + "/7z");
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nexit 2\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", dir.path().toUtf8());
    }
    ~FailingArchiver() { qputenv("PATH", old_path); }
};

} // namespace

class TestCardWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    QTemporaryDir private_temp;
    std::unique_ptr<Widget> sample_window;
    QVector<QString> sample_values;

    std::unique_ptr<Widget> new_window()
    {
        auto window = std::make_unique<Widget>();
        window->show();
        return window;
    }

    static Ui::Widget *ui(Widget &w) { return w.ui; }

    // A whole card typed in: every page, three tables, a mobilisation body.
    void fill_sample(Widget &w)
    {
        Ui::Widget *f = w.ui;
        f->te_orgname->setPlainText("  Общество   с ограниченной ответственностью \"Ромашка\" ");
        f->te_orgname2->setPlainText("ООО \"Ромашка\"");
        f->lineEdit->setText("Генеральный директор");
        f->le_FamRuk->setText("Иванов");
        f->le_ImRuk->setText("Иван");
        f->le_OtRuk->setText("Иванович");
        f->le_TelRuk->setText("8121234567");
        f->le_DopRuk->setText("123");
        f->le_DolgVur->setText("Инспектор ВУС");
        f->le_FamVur->setText("Петрова");
        f->le_ImVur->setText("Анна");
        f->le_OtVur->setText("Сергеевна");
        f->le_TelVur->setText("8127654321");
        f->le_FaxVur->setText("8127654322");
        f->le_DopVur->setText("89110000000");
        f->le_RegNo->setText("12345");
        f->dateZap->setDate(QDate(2024, 3, 5));

        const ClassifierRecord street = unique_record("адрес_new.xml");
        f->lineEdit_21->setText("Невский пр.");
        f->lineEdit_8->setText("28");
        f->lineEdit_18->setText("14-Н");
        f->lineEdit_23->setText(street.name);
        f->lineEdit_9->setText("5");
        f->lineEdit_31->setText("7");
        f->lineEdit_37->setText(street.name);
        f->lineEdit_34->setText("5А");
        f->lineEdit_35->setText("8");
        f->lineEdit_29->setText("191186");
        f->lineEdit_10->setText("info @romashka.ru");
        f->lineEdit_36->setText("Головная организация");
        f->lineEdit_46->setText("Санкт-Петербург");

        f->le_INN->setText("7707083893");
        f->le_KPP->setText("780101001");
        f->dateINN->setDate(QDate(2010, 6, 7));
        f->le_OGRN->setText("1027700132195");
        f->le_OKPO->setText("12345678");
        const ClassifierRecord okato = unique_record("ОКАТО_new.xml");
        f->le_okato->setText(okato.code);
        const ClassifierRecord okopf = unique_record("ОКОПФ_new.xml");
        f->lineEdit_11->setText(okopf.code);
        f->lineEdit_13->setText(okopf.name);
        const ClassifierRecord okfs = unique_record("ОКФС_new.xml");
        f->lineEdit_25->setText(okfs.code);
        f->lineEdit_24->setText(okfs.name);
        const ClassifierRecord okved = unique_record("OKVED_new.xml");
        f->le_osn_ved->setText(okved.code);
        f->lineEdit_26->setText(okved.name);
        f->le_dop_ved->setText("01.11, 02.10");
        f->cb_OGV->setCurrentText("Да");
        f->OKOGU_le->setText("1234567");

        f->cb_MobOrgan->setCurrentText("Да");
        f->cb_MobOrgan_2->setCurrentText("Да");
        f->DolgRukMO->setText("Начальник МО");
        f->FamRukMO->setText("Сидоров");
        f->ImRukMO->setText("Пётр");
        f->OtRukMO->setText("Петрович");
        f->TelRukMO->setText("8120001122");
        f->DopRukMO->setText("55");
        f->FaxRukMO->setText("8120001123");

        f->cb_kat_b->setCurrentText("Да");
        f->NPA_doc->setText("Распоряжение   о бронировании");
        f->NPA_no->setText("17-р");
        f->NPA_date->setDate(QDate(2023, 2, 1));
        const ClassifierRecord office = unique_record("VK_org_new.xml");
        f->VK_org->setText(office.code);
        f->le_VK->setText(office.name);
        f->sb_kol_vred->setValue(4);
        f->sb_kol_opas->setValue(2);
        f->te_dopinfo->setPlainText("Дополнительно");
        f->te_up_l->setPlainText("Верх слева");
        f->te_up_r->setPlainText("Верх справа");
        f->te_down_l->setPlainText("Низ слева");
        f->te_down_r->setPlainText("Низ справа");

        f->ob_ruk->setText("Иванов И.И.");
        f->ob_ruk_date->setDate(QDate(2022, 1, 2));
        f->ob_ruk_gou->setEditText("УМЦ по ГОЧС");
        f->ob_vur->setText("Петрова А.С.");
        f->ob_vur_date->setDate(QDate(2022, 3, 4));
        f->ob_vur_gou->setEditText("Курсы ГО");
        f->ob_mob->setText("Сидоров П.П.");
        f->ob_mob_date->setDate(QDate(2021, 5, 6));
        f->ob_mob_gou->setEditText("НЕ ПРОВОДИЛОСЬ");

        f->sb_f6_all->setValue(120);
        f->sb_f6_priziv->setValue(3);
        f->sb_f6_of->setValue(10);
        f->sb_f6_neof->setValue(20);
        f->sb_f6_mp->setValue(1);
        f->sb_f6_bron_of->setValue(2);
        f->sb_f6_bron_neof->setValue(4);

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
            const auto set = [&](int column, int value) {
                w.balance_model->setData(w.balance_model->index(row, column), value, Qt::EditRole);
            };
            set(6, 10 + i);
            set(8, 9 + i);
            set(9, 1);
            set(11, 2 + i);
        }

        for (const QStringList &row : {QStringList{"", "", "Инженер", "Приказ №5 от 01.02.2023", "Андреев А.А."},
                                       QStringList{"1", "22446", "Бухгалтер", "Приказ №6", "Борисов Б.Б."}}) {
            w.on_add_bron_clicked();
            const int r = w.bron_model->rowCount() - 1;
            for (int c = 0; c < 5; ++c)
                w.bron_model->setData(w.bron_model->index(r, c), row.at(c), Qt::EditRole);
        }
        for (const QStringList &row : {QStringList{"3", "Нет ВУС в перечне", "—"}, QStringList{"5", "Иное", ""}}) {
            w.on_add_nebron_clicked();
            const int r = w.nebron_model->rowCount() - 1;
            w.nebron_model->setData(w.nebron_model->index(r, 0), row.at(0).toInt(), Qt::EditRole);
            w.nebron_model->setData(w.nebron_model->index(r, 1), row.at(1), Qt::EditRole);
            w.nebron_model->setData(w.nebron_model->index(r, 2), row.at(2), Qt::EditRole);
        }
    }

    struct Card {
        QVector<QString> main, balance, bron, nebron;
        bool operator==(const Card &o) const
        {
            return main == o.main && balance == o.balance && bron == o.bron && nebron == o.nebron;
        }
    };
    static Card collect(Widget &w)
    {
        return {w.collect_card_values(), w.collect_balance_rows(), w.collect_bron_rows(), w.collect_nebron_rows()};
    }
    static void compare_cards(const Card &a, const Card &b)
    {
        QCOMPARE(a.main.size(), b.main.size());
        for (int i = 0; i < a.main.size(); ++i)
            QVERIFY2(a.main.at(i) == b.main.at(i),
                     qPrintable(QString("slot %1: %2 / %3").arg(i).arg(a.main.at(i), b.main.at(i))));
        QCOMPARE(a.balance, b.balance);
        QCOMPARE(a.bron, b.bron);
        QCOMPARE(a.nebron, b.nebron);
    }

    static bool asks_on_close(Widget &w) { return w.card_changed(); }

    // Saves the window's card through the save button; true when the file is there.
    bool save_card(Widget &w, const QString &path)
    {
        const SeenList seen = answer_in_turn({choose_file(path), ok()});
        w.save_card_as();
        return seen->size() == 2 && seen->at(1).title == "Успешно!" && QFileInfo(path).isFile();
    }

    bool save_temp(Widget &w, const QString &path)
    {
        const SeenList seen = answer_in_turn({choose_file(path), ok()});
        w.save_to_temp();
        return seen->size() == 2 && seen->at(1).title == "Успешно!" && w.temp_saved == 1;
    }

    QString path(const QString &name) { return work.path() + "/" + name; }

    static QStringList archive_members(const QString &archive)
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

    // A password-protected archive that holds `content` under `member`.
    QString make_archive(const QString &name, const QString &member, const QByteArray &content, const QString &password)
    {
        QTemporaryDir source;
        QFile file(source.path() + "/" + member);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        file.close();
        const QString staged = source.path() + "/out.7z";
        Archiver().pack(staged, file.fileName(), password);
        QFile::rename(staged, path(name));
        return path(name);
    }

private slots:
    void initTestCase()
    {
        // Temporary files of this test only: what is left there afterwards is ours.
        qputenv("TMPDIR", private_temp.path().toUtf8());
        if (!Archiver().found())
            QSKIP("7z is not installed");
        card_file_version = card_format_version;
    }
    void cleanupTestCase() { sample_window.reset(); }
    void init()
    {
        QSettings("Trevane", "QUELT").remove("settings/oldset");
        card_file_version = card_format_version;
    }

    // ---- card lists ----
    void main_list_slots_data();
    void main_list_slots();
    void non_reserving_card();
    void mobilisation_body();
    void row_lists();
    void row_lists_cut_long_cells();
    void unchanged_card_equals_snapshot();

    // ---- refill ----
    void refill_asks_nothing();
    void refill_guards_and_short_lists();
    void refill_marks_unknown_position();
    void refill_keeps_reserved_figure_without_balance();
    void refill_leaves_nothing_of_the_previous_card();
    void refill_old_balance_notice_data();
    void refill_old_balance_notice();

    // ---- saving and opening ----
    void card_round_trip();
    void default_card_name();
    void refused_card_names_data();
    void refused_card_names();
    void capital_extension_names_the_document();
    void save_stops_at_the_check();
    void cancelled_save_is_not_saved();
    void failed_save_is_not_saved();
    void failed_open_leaves_window_data();
    void failed_open_leaves_window();
    void open_chooses_by_ending_data();
    void open_chooses_by_ending();
    void card_named_at_start_opens_at_once();

    // ---- unfinished card ----
    void temp_card_round_trip();
    void temp_marker_never_stays();
    void temp_cancel_and_refused_names_data();
    void temp_cancel_and_refused_names();
    void temp_failed_write_keeps_old_file();
    void temp_unreadable_files_data();
    void temp_unreadable_files();

    // ---- closing ----
    void close_question_data();
    void close_question();
    void close_answers_data();
    void close_answers();
    void later_with_good_temp_save();
};

// ---------------------------------------------------------------- card lists

void TestCardWindow::main_list_slots_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("expected");
    const ClassifierRecord street = unique_record("адрес_new.xml");
    QTest::newRow("full name simplified") << 0 << "Общество с ограниченной ответственностью \"Ромашка\"";
    QTest::newRow("head's phone") << 5 << "(812)-123-45-67";
    QTest::newRow("empty head's fax") << 6 << "";
    QTest::newRow("officer's phone") << 11 << "(812)-765-43-21";
    QTest::newRow("always empty 12") << 12 << "";
    QTest::newRow("actual street code") << 17 << street.code;
    QTest::newRow("mobilisation staff off") << 19 << "shtatmir";
    QTest::newRow("postal street code") << 21 << street.code;
    QTest::newRow("e-mail without blanks") << 25 << "info@romashka.ru";
    QTest::newRow("dop ved") << 34 << "01.11, 02.10";
    QTest::newRow("f6 all as text") << 35 << "120";
    QTest::newRow("reserved non-officers") << 41 << "4";
    QTest::newRow("reserving") << 44 << "Б";
    QTest::newRow("OKOGU of a state body") << 45 << "1234567";
    QTest::newRow("state body") << 47 << "Да";
    QTest::newRow("fill date") << 52 << "2024-03-05";
    QTest::newRow("registration number") << 54 << "12345";
    QTest::newRow("officer's fax") << 56 << "(812)-765-43-22";
    QTest::newRow("harmful") << 59 << "4";
    QTest::newRow("training institution") << 63 << "УМЦ по ГОЧС";
    QTest::newRow("training date") << 68 << "2021-05-06";
    QTest::newRow("always empty 80") << 80 << "";
    QTest::newRow("lower right title") << 93 << "Низ справа";
    QTest::newRow("city") << 99 << "Санкт-Петербург";
    QTest::newRow("balance rows") << 100 << "2";
    QTest::newRow("KPP") << 110 << "780101001";
    QTest::newRow("tax date") << 111 << "2010-06-07";
    QTest::newRow("document simplified") << 112 << "Распоряжение о бронировании";
    QTest::newRow("bron rows") << 114 << "2";
    QTest::newRow("nebron rows") << 115 << "2";
    QTest::newRow("document date") << 116 << "2023-02-01";
    QTest::newRow("mob body") << 117 << "Да";
    QTest::newRow("mob head phone") << 123 << "(812)-000-11-22";
    QTest::newRow("mob head fax") << 125 << "(812)-000-11-23";
}

void TestCardWindow::main_list_slots()
{
    QFETCH(int, slot);
    QFETCH(QString, expected);
    std::unique_ptr<Widget> &window = sample_window;
    QVector<QString> &values = sample_values;
    if (!window) {
        window = new_window();
        fill_sample(*window);
        values = window->collect_card_values();
        QCOMPARE(values.size(), card_lists::main_size);
        // The fields themselves are tidied too.
        QCOMPARE(ui(*window)->lineEdit_10->text(), QString("info@romashka.ru"));
        QCOMPARE(ui(*window)->te_orgname->toPlainText(), values.at(0));
    }
    QCOMPARE(values.at(slot), expected);
}

void TestCardWindow::non_reserving_card()
{
    auto window = new_window();
    fill_sample(*window);
    window->set_reservation(false);
    const auto first_key = [&] { return window->balance_model->item(0, 0)->text(); };
    // Put the balance out of order: a non-reserving collection must not sort it.
    window->balance_model->sort(0, Qt::DescendingOrder);
    const QString before = first_key();

    const QVector<QString> v = window->collect_card_values();
    QCOMPARE(v.size(), card_lists::main_size);
    QCOMPARE(v.at(44), QString("А"));
    QCOMPARE(v.at(100), QString("0"));
    for (int slot = 101; slot <= 109; ++slot)
        QVERIFY2(v.at(slot).isEmpty(), qPrintable(QString::number(slot)));
    QCOMPARE(v.mid(112, 5), QVector<QString>({"", "", "0", "0", ""}));
    QVERIFY(window->collect_balance_rows().isEmpty());
    QVERIFY(window->collect_bron_rows().isEmpty());
    QVERIFY(window->collect_nebron_rows().isEmpty());
    QCOMPARE(first_key(), before);
}

void TestCardWindow::mobilisation_body()
{
    auto window = new_window();
    Ui::Widget *f = ui(*window);
    window->set_mobilisation_body(true);
    QVector<QString> v = window->collect_card_values();
    QCOMPARE(v.at(117), QString("Да"));
    // Its phone and fax keep the empty mask; the others' become empty.
    QCOMPARE(v.at(123), QString("()---"));
    QCOMPARE(v.at(125), QString("()---"));
    QCOMPARE(v.at(5), QString());

    f->DolgRukMO->setText("Начальник");
    window->set_mobilisation_body(false);
    v = window->collect_card_values();
    QCOMPARE(v.size(), card_lists::main_size);
    QCOMPARE(v.at(117), QString("Нет"));
    QCOMPARE(v.at(118), QString("Нет"));
    for (int slot = 119; slot <= 125; ++slot)
        QVERIFY(v.at(slot).isEmpty());
    QCOMPARE(v.at(17), QString("0"));
    QCOMPARE(v.at(21), QString("0"));
}

void TestCardWindow::row_lists()
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
        const QVector<QString> expected = {cell(20), cell(2),  cell(3), cell(19), cell(8),
                                           cell(9),  cell(11), cell(6), "",       cell(6)};
        QCOMPARE(rows.mid(r * 10, 10), expected);
        QVERIFY(!cell(2).isEmpty());
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
    const QVector<QString> nebron = window->collect_nebron_rows();
    QCOMPARE(nebron, QVector<QString>({"5", "Иное", "", "3", "Нет ВУС в перечне", "—"}));
}

void TestCardWindow::row_lists_cut_long_cells()
{
    auto window = new_window();
    window->set_reservation(true);
    const QString long_text = QString(300, QChar(0x0416));
    window->on_add_bron_clicked();
    for (int c = 0; c < 5; ++c)
        window->bron_model->setData(window->bron_model->index(0, c), long_text, Qt::EditRole);
    window->on_add_nebron_clicked();
    for (int c = 0; c < 3; ++c)
        window->nebron_model->setData(window->nebron_model->index(0, c), long_text, Qt::EditRole);

    for (const QString &cell : window->collect_bron_rows())
        QCOMPARE(cell, long_text.left(254));
    const QVector<QString> nebron = window->collect_nebron_rows();
    QCOMPARE(nebron.at(0), long_text);
    QCOMPARE(nebron.at(1), long_text.left(254));
    QCOMPARE(nebron.at(2), long_text.left(254));
}

void TestCardWindow::unchanged_card_equals_snapshot()
{
    auto window = new_window();
    QVERIFY(!asks_on_close(*window));
    QCOMPARE(window->collect_card_values(), window->saved_snapshot);
}

// ---------------------------------------------------------------- refill

void TestCardWindow::refill_asks_nothing()
{
    // A window whose switches are all on, refilled with a card that has them all off.
    auto window = new_window();
    fill_sample(*window);
    window->set_mobilisation_staff_column(true);
    auto blank = new_window();
    QVector<QString> card = blank->collect_card_values();
    QCOMPARE(card.at(44), QString("А"));
    QCOMPARE(card.at(117), QString("Нет"));
    QCOMPARE(card.at(19), QString("shtatmir"));
    card[0] = "Другая организация";

    const auto asked = test_support::answer_next_modal("Отменить", {}, 1500);
    window->fill_from_card(card, QVector<QString>(10 * 1, "1"), {}, {});
    QTest::qWait(1600);
    QVERIFY2(!asked->seen, qPrintable(asked->title + ": " + asked->text));

    Ui::Widget *f = ui(*window);
    QCOMPARE(f->cb_kat_b->currentText(), QString("Нет"));
    QCOMPARE(f->cb_MobOrgan->currentText(), QString("Нет"));
    QVERIFY(!f->checkBox_balance_voenshtat->isChecked());
    // Nothing of the other card's mobilisation body stays behind.
    QVERIFY(f->DolgRukMO->text().isEmpty());
    QCOMPARE(window->collect_card_values(), window->saved_snapshot);
    QCOMPARE(window->collect_card_values().at(0), QString("Другая организация"));
    QVERIFY(!asks_on_close(*window));
}

void TestCardWindow::refill_guards_and_short_lists()
{
    auto window = new_window();
    fill_sample(*window);
    Ui::Widget *f = ui(*window);
    QVector<QString> card = window->collect_card_values();

    // 53 strings are not a card: the fields stay, the tables are emptied.
    window->fill_from_card(card.mid(0, 53), QVector<QString>(9, "1"), {"a", "b"}, {"1"});
    QCOMPARE(f->le_FamRuk->text(), QString("Иванов"));
    QCOMPARE(window->balance_model->rowCount(), 0);
    QCOMPARE(window->bron_model->rowCount(), 0);
    QCOMPARE(window->nebron_model->rowCount(), 0);

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
    card[card_slot::bron_row_count] = "9";
    card[card_slot::nebron_row_count] = "9";
    ClassifierReader positions;
    positions.load(":/database/xml/OKPDTR_new.xml");
    const QString code = positions.records.value(0).code;
    const QVector<QString> balance = {"1", "Руководители", code, "", "3", "1", "1", "4", "", "4"};
    window->fill_from_card(card, balance, {"a", "b", "c", "d", "e", "f"}, {"2", "x", "y", "7"});
    QCOMPARE(window->balance_model->rowCount(), 1);
    QCOMPARE(window->balance_model->item(0, 5)->text(), positions.records.value(0).name);
    QCOMPARE(window->bron_model->rowCount(), 1);
    QCOMPARE(window->nebron_model->rowCount(), 1);
    QCOMPARE(window->collect_balance_rows(), balance);
}

void TestCardWindow::refill_marks_unknown_position()
{
    auto window = new_window();
    QVector<QString> card = window->collect_card_values();
    card[card_slot::cb_kat_b] = "Б";
    card[card_slot::balance_row_count] = "2";
    ClassifierReader positions;
    positions.load(":/database/xml/OKPDTR_new.xml");
    const QVector<QString> balance = {
        "5", "Рабочие", "99999-no", "",  "1", "0", "0", "1", "", "1", "1", "Рабочие", positions.records.value(0).code,
        "",  "1",       "0",        "0", "1", "",  "1"};
    const SeenList seen = answer_in_turn({ok()});
    window->fill_from_card(card, balance, {}, {});
    QCOMPARE(seen->size(), 1);
    QCOMPARE(seen->at(0).title, QString("Код должности НЕДЕЙСТВИТЕЛЕН!"));
    QVERIFY(seen->at(0).text.startsWith("В Балансе в строке 1 обнаружен"));
    bool marked = false;
    for (int r = 0; r < window->balance_model->rowCount(); ++r) {
        if (window->balance_model->item(r, 3)->text() == "99999-no") {
            marked = window->balance_model->item(r, 5)->text() == "!!! ---- КОД НЕДЕЙСТВИТЕЛЕН ---- !!!";
            // An unknown kind code keeps the default kind.
            QCOMPARE(window->balance_model->item(r, 1)->text(), QString("Основное"));
            QCOMPARE(window->balance_model->item(r, 20)->text(), QString("5"));
        }
    }
    QVERIFY(marked);
}

void TestCardWindow::refill_keeps_reserved_figure_without_balance()
{
    auto window = new_window();
    QVector<QString> card = window->collect_card_values();
    card[card_slot::cb_kat_b] = "Б";
    card[card_slot::sb_f6_bron_of] = "3";
    card[card_slot::sb_f6_bron_neof] = "4";
    window->fill_from_card(card, {}, {}, {});
    QCOMPARE(ui(*window)->sb_f6_bron_of->value(), 3);
    QCOMPARE(ui(*window)->sb_f6_bron_neof->value(), 4);
    QCOMPARE(window->collect_card_values().at(card_slot::sb_f6_bron_neof), QString("4"));
}

void TestCardWindow::refill_leaves_nothing_of_the_previous_card()
{
    auto window = new_window();
    ui(*window)->le_RegNo->setText("12345");
    ui(*window)->le_OGRN->setText("1027801583743");
    QVector<QString> card = window->collect_card_values();
    card[card_slot::le_RegNo] = "0";
    card[card_slot::le_INN] = "";
    card[card_slot::le_OGRN] = "";
    window->fill_from_card(card, {}, {}, {});
    QCOMPARE(ui(*window)->le_RegNo->text(), QString());
    // An unfinished card without INN and OGRN does not come back with OGRN "0".
    QCOMPARE(ui(*window)->le_OGRN->text(), QString());
    card[card_slot::le_INN] = "7801234567";
    card[card_slot::le_OGRN] = "7801234567";
    window->fill_from_card(card, {}, {}, {});
    QCOMPARE(ui(*window)->le_OGRN->text(), QString("0"));
}

void TestCardWindow::refill_old_balance_notice_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("notice");
    QTest::newRow("0") << 0 << true;
    QTest::newRow("14") << 14 << true;
    QTest::newRow("15") << 15 << false;
    QTest::newRow("25") << 25 << false;
}

void TestCardWindow::refill_old_balance_notice()
{
    QFETCH(int, version);
    QFETCH(bool, notice);
    auto window = new_window();
    QVector<QString> card = window->collect_card_values();
    card[card_slot::cb_kat_b] = "Б";
    card[card_slot::balance_row_count] = "0";
    card_file_version = version;
    const auto seen = test_support::answer_next_modal("OK", {}, 1500);
    window->fill_from_card(card, QVector<QString>(10, ""), {}, {});
    QTest::qWait(notice ? 100 : 1600);
    QCOMPARE(seen->seen, notice);
    if (notice)
        QCOMPARE(seen->title, QString("Изменение формы баланса в 2022 году"));
}

// ---------------------------------------------------------------- saving and opening

void TestCardWindow::card_round_trip()
{
    auto first = new_window();
    fill_sample(*first);
    const QString file = path("round.quelt");
    QVERIFY(save_card(*first, file));
    QCOMPARE(marker().toInt(), 0);
    const Card saved = collect(*first);
    QVERIFY(!asks_on_close(*first));

    auto second = new_window();
    const SeenList seen = answer_in_turn({choose_file(file)});
    second->on_open_Button_clicked();
    QCOMPARE(seen->size(), 1);
    const Card opened = collect(*second);
    compare_cards(saved, opened);
    QCOMPARE(opened.balance.size(), 20);
    QCOMPARE(opened.bron.size(), 10);
    QCOMPARE(opened.nebron.size(), 6);

    // The pages themselves, not only the lists.
    Ui::Widget *a = ui(*first);
    Ui::Widget *b = ui(*second);
    QCOMPARE(b->te_orgname->toPlainText(), a->te_orgname->toPlainText());
    QCOMPARE(b->lineEdit_23->text(), a->lineEdit_23->text());
    QCOMPARE(b->lineEdit_13->text(), a->lineEdit_13->text());
    QCOMPARE(b->lineEdit_26->text(), a->lineEdit_26->text());
    QCOMPARE(b->cb_kat_b->currentText(), QString("Да"));
    QCOMPARE(b->cb_MobOrgan->currentText(), QString("Да"));
    QCOMPARE(b->FaxRukMO->text(), a->FaxRukMO->text());
    QCOMPARE(b->ob_vur_gou->currentText(), QString("Курсы ГО"));
    QCOMPARE(b->sb_f6_bron_neof->value(), 4);
    QCOMPARE(second->balance_model->item(0, 5)->text(), first->balance_model->item(0, 5)->text());
    QCOMPARE(second->balance_model->item(0, 4)->text(), first->balance_model->item(0, 4)->text());
    QCOMPARE(b->sb_b_bron->value(), a->sb_b_bron->value());
    QVERIFY(!asks_on_close(*second));

    // Nothing readable is left beside the card or in the temporary folder.
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"round.quelt"}));
    QCOMPARE(QDir(private_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QFile::remove(file);
}

void TestCardWindow::default_card_name()
{
    auto window = new_window();
    ui(*window)->te_orgname2->setPlainText(":ООО  Ромашка?*\n");
    QString proposal;
    const SeenList seen = answer_in_turn({cancel_file(&proposal)});
    window->save_card_as();
    QCOMPARE(seen->size(), 1);
    QCOMPARE(seen->at(0).title, QString("Сохранить как"));
    QCOMPARE(QFileInfo(proposal).fileName(), QString("ООО Ромашка_Ф18"));

    // A quote or a slash in the name must not split the name or name another folder.
    ui(*window)->te_orgname2->setPlainText("ООО \"Рога / Копыта\" <СПб>|");
    QString second;
    const SeenList again = answer_in_turn({cancel_file(&second)});
    window->save_card_as();
    QCOMPARE(again->size(), 1);
    QCOMPARE(QFileInfo(second).fileName(), QString("ООО Рога Копыта СПб_Ф18"));
    QCOMPARE(QFileInfo(second).absolutePath(), QFileInfo(proposal).absolutePath());
}

void TestCardWindow::refused_card_names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plus") << "+card.quelt" << true;
    QTest::newRow("minus") << "-card.quelt" << true;
    QTest::newRow("signs later") << "card+-.quelt" << false;
}

void TestCardWindow::refused_card_names()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    auto window = new_window();
    const SeenList seen = answer_in_turn({choose_file(path(name)), ok()});
    window->save_card_as();
    QCOMPARE(seen->size(), 2);
    QCOMPARE(seen->at(1).title, refused ? QString("Недопустимое имя файла!") : QString("Успешно!"));
    if (refused)
        QCOMPARE(seen->at(1).text, QString("ОШИБКА! Имя файла не должно начинаться с символов + или -"));
    QCOMPARE(QFileInfo::exists(path(name)), !refused);
    QFile::remove(path(name));
}

void TestCardWindow::capital_extension_names_the_document()
{
    auto window = new_window();
    const SeenList seen = answer_in_turn({choose_file(path("Upper.QUELT")), ok()});
    window->save_card_as();
    QCOMPARE(seen->size(), 2);
    const QString written = path("Upper.QUELT.quelt");
    QVERIFY(QFileInfo::exists(written));
    QCOMPARE(archive_members(written), QStringList({"Upper.xml"}));
    QFile::remove(written);
}

void TestCardWindow::save_stops_at_the_check()
{
    auto window = new_window();
    ui(*window)->le_FamRuk->setText("Изменено");
    const SeenList seen = answer_in_turn({ok(), cancel_file()});
    window->on_save_Button_clicked();
    // Give a file dialog the time to turn up; none may.
    QTest::qWait(5200);
    QCOMPARE(seen->size(), 1);
    QVERIFY(asks_on_close(*window));
}

void TestCardWindow::cancelled_save_is_not_saved()
{
    auto window = new_window();
    ui(*window)->le_FamRuk->setText("Изменено");
    const SeenList seen = answer_in_turn({cancel_file()});
    window->save_card_as();
    QCOMPARE(seen->size(), 1);
    QVERIFY(asks_on_close(*window));
}

void TestCardWindow::failed_save_is_not_saved()
{
    auto window = new_window();
    ui(*window)->le_FamRuk->setText("Изменено");
    const QString file = path("old.quelt");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old card");
    old.close();

    SeenList seen;
    {
        FailingArchiver failing;
        seen = answer_in_turn({choose_file(file), press("&Yes"), ok()});
        window->save_card_as();
    }
    QCOMPARE(seen->size(), 3);
    QCOMPARE(seen->last().title, QString("Ошибка!"));
    QVERIFY(asks_on_close(*window));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old card"));
    old.close();
    QFile::remove(file);
}

void TestCardWindow::failed_open_leaves_window_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("wrong password") << "password";
    QTest::newRow("damaged") << "damaged";
    QTest::newRow("not a card document") << "not xml";
}

void TestCardWindow::failed_open_leaves_window()
{
    QFETCH(QString, kind);
    QString file;
    if (kind == "password") {
        file = make_archive("bad.quelt", "card.xml", "<dataroot/>", "not-the-password");
    } else if (kind == "damaged") {
        file = path("damaged.quelt");
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("7z\xBC\xAF\x27\x1C garbage");
    } else {
        PasswordListReader passwords;
        passwords.load(":/database/xml/pass.xml");
        file = make_archive("text.quelt", "card.xml", "not a document <", passwords.current_password);
    }

    auto window = new_window();
    fill_sample(*window);
    const Card before = collect(*window);
    const QVector<QString> snapshot = window->saved_snapshot;
    QVERIFY(asks_on_close(*window));

    const SeenList seen = answer_in_turn({ok()});
    window->open_card_file(file);
    QCOMPARE(seen->size(), 1);
    QCOMPARE(seen->at(0).title, QString("Ошибка!"));
    compare_cards(collect(*window), before);
    QCOMPARE(window->saved_snapshot, snapshot);
    QVERIFY(asks_on_close(*window));
    QFile::remove(file);
}

void TestCardWindow::open_chooses_by_ending_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty") << ""
                           << "Ошибка 10001!";
    QTest::newRow("capital extension") << "card.QUELT"
                                       << "";
    QTest::newRow("text file") << "card.txt"
                               << "";
    // Any name ending in these letters is taken for an unfinished card.
    QTest::newRow("ends in emp") << "card.temp"
                                 << "Ошибка!";
}

void TestCardWindow::open_chooses_by_ending()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    auto window = new_window();
    const QString file = name.isEmpty() ? QString() : path(name);
    if (!file.isEmpty()) {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("x");
    }
    const Card before = collect(*window);
    const auto seen = test_support::answer_next_modal("OK", {}, title.isEmpty() ? 1000 : 5000);
    window->open_card_file(file);
    QTest::qWait(title.isEmpty() ? 1100 : 50);
    QCOMPARE(seen->seen, !title.isEmpty());
    QCOMPARE(seen->title, title);
    compare_cards(collect(*window), before);
    if (!file.isEmpty())
        QFile::remove(file);
}

void TestCardWindow::card_named_at_start_opens_at_once()
{
    auto first = new_window();
    fill_sample(*first);
    const QString file = path("start.quelt");
    QVERIFY(save_card(*first, file));

    // As the start does: the window is shown, the card opened, and only then the event loop runs.
    Widget window;
    window.show();
    window.open_card_file(file);
    compare_cards(collect(window), collect(*first));
    QVERIFY(!asks_on_close(window));
    QFile::remove(file);
}

// ---------------------------------------------------------------- unfinished card

void TestCardWindow::temp_card_round_trip()
{
    auto first = new_window();
    fill_sample(*first);
    ui(*first)->le_INN->setText("12"); // unfinished: not a valid card
    const Card card = collect(*first);
    const QVector<QString> snapshot = first->saved_snapshot;
    const QString file = path("later.qtemp");
    QVERIFY(save_temp(*first, file));
    QCOMPARE(marker().toInt(), 1);
    // Saving for later is not saving: the snapshot stays.
    QCOMPARE(first->saved_snapshot, snapshot);

    // The file: a password-protected 7z archive with qt.lib, whose qt/temp holds the card document.
    QCOMPARE(archive_members(file), QStringList({"qt.lib"}));
    // Nothing readable is left beside the file or in the temporary folder.
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"later.qtemp"}));
    QCOMPARE(QDir(private_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QTemporaryDir out;
    QCOMPARE(Archiver().extract(file, out.path(), "wrong"), 2);
    QCOMPARE(Archiver().extract(file, out.path(), temp_password()), 0);
    qRegisterMetaType<QVector<QString>>("QVector<QString>");
    qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
    QByteArray document;
    {
        QSettings stored(out.path() + "/qt.lib", QSettings::IniFormat);
        const QVariant value = stored.value("qt/temp");
        QCOMPARE(value.userType(), qMetaTypeId<QVector<QString>>());
        const QVector<QString> texts = value.value<QVector<QString>>();
        QCOMPARE(texts.size(), 1);
        document = texts.first().toUtf8();
    }
    QVERIFY(QFile(out.path() + "/qt.lib").open(QIODevice::ReadOnly));
    QVERIFY(QFile(out.path() + "/qt.lib").size() > 0);
    iexml reader;
    QVERIFY(reader.read_card_document(document));
    QCOMPARE(reader.card_values.mid(0, card_lists::main_size).at(27), QString("12"));

    out.remove();

    // The start would remind of this very file; opening it does not touch the marker.
    QSettings("Trevane", "QUELT").remove("settings/oldset");
    auto second = new_window();
    QSettings("Trevane", "QUELT").setValue("settings/oldset", 1);
    const QByteArray bytes = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const QVector<QString> empty_snapshot = second->saved_snapshot;
    const SeenList seen = answer_in_turn({choose_file(file)});
    second->on_open_Button_clicked();
    QCOMPARE(seen->size(), 1);
    compare_cards(collect(*second), card);
    QCOMPARE(marker().toInt(), 1);
    // An unfinished card is not a saved one: the snapshot stays, so closing still asks.
    QCOMPARE(second->saved_snapshot, empty_snapshot);
    QVERIFY(second->card_changed());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), bytes);
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"later.qtemp"}));
    QFile::remove(file);
}

void TestCardWindow::temp_marker_never_stays()
{
    QSettings("Trevane", "QUELT").setValue("settings/oldset", 2);
    QSettings("Trevane", "QUELT").setValue("settings/queltmas", "x");
    auto window = new_window();
    QVERIFY(save_temp(*window, path("never.qtemp")));
    QCOMPARE(marker().toString(), QString("2"));
    QVERIFY(!QSettings("Trevane", "QUELT").contains("settings/queltmas"));
    // A card file saved afterwards clears the marker.
    QVERIFY(save_card(*window, path("never.quelt")));
    QCOMPARE(marker().toInt(), 0);
    QFile::remove(path("never.qtemp"));
    QFile::remove(path("never.quelt"));
}

void TestCardWindow::temp_cancel_and_refused_names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("cancel") << ""
                            << "Ошибка 10001!";
    QTest::newRow("plus") << "+проба.qtemp"
                          << "Недопустимое имя файла!";
    QTest::newRow("minus") << "-проба.qtemp"
                           << "Недопустимое имя файла!";
    QTest::newRow("extension first") << ".QTEMP-x.qtemp"
                                     << "Недопустимое имя файла!";
}

void TestCardWindow::temp_cancel_and_refused_names()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    auto window = new_window();
    const SeenList seen = answer_in_turn({name.isEmpty() ? cancel_file() : choose_file(path(name)), ok()});
    window->save_to_temp();
    QCOMPARE(seen->size(), 2);
    QCOMPARE(seen->at(1).title, title);
    QCOMPARE(window->temp_saved, 0);
    QVERIFY(!marker().isValid());
    QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestCardWindow::temp_failed_write_keeps_old_file()
{
    const QString file = path("old.qtemp");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old unfinished card");
    old.close();

    auto window = new_window();
    SeenList seen;
    {
        FailingArchiver failing;
        seen = answer_in_turn({choose_file(file), press("&Yes"), ok()});
        window->save_to_temp();
    }
    QCOMPARE(seen->size(), 3);
    QCOMPARE(seen->last().title, QString("Ошибка!"));
    QVERIFY(seen->last().text.startsWith("Процесс сохранения данных закончился некорректно"));
    QCOMPARE(window->temp_saved, 0);
    // A failed save reminds of no unfinished card.
    QVERIFY(!marker().isValid());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old unfinished card"));
    old.close();
    QFile::remove(file);
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestCardWindow::temp_unreadable_files_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("other password") << "password";
    QTest::newRow("no qt.lib") << "member";
    QTest::newRow("no card text") << "key";
    QTest::newRow("not a document") << "document";
}

void TestCardWindow::temp_unreadable_files()
{
    QFETCH(QString, kind);
    QString file;
    if (kind == "password") {
        file = make_archive("bad.qtemp", "qt.lib", "[qt]\n", "other");
    } else if (kind == "member") {
        file = make_archive("bad.qtemp", "other.lib", "[qt]\n", temp_password());
    } else if (kind == "key") {
        file = make_archive("bad.qtemp", "qt.lib", "[qt]\nother=1\n", temp_password());
    } else {
        qRegisterMetaTypeStreamOperators<QVector<QString>>("QVector<QString>");
        QTemporaryDir scratch;
        {
            QSettings s(scratch.path() + "/qt.lib", QSettings::IniFormat);
            s.setValue("qt/temp", QVariant::fromValue(QVector<QString>{"no <card"}));
        }
        QFile lib(scratch.path() + "/qt.lib");
        lib.open(QIODevice::ReadOnly);
        file = make_archive("bad.qtemp", "qt.lib", lib.readAll(), temp_password());
    }
    QVERIFY(QFileInfo::exists(file));

    auto window = new_window();
    fill_sample(*window);
    const Card before = collect(*window);
    const QVector<QString> snapshot = window->saved_snapshot;
    const SeenList seen = answer_in_turn({ok()});
    window->load_from_reg(file);
    QCOMPARE(seen->size(), 1);
    QCOMPARE(seen->at(0).title, QString("Ошибка!"));
    QVERIFY(seen->at(0).text.startsWith("Ошибка чтения файла!"));
    QVERIFY(seen->at(0).text.contains(work.path() + "/"));
    compare_cards(collect(*window), before);
    QCOMPARE(window->saved_snapshot, snapshot);
    QCOMPARE(QDir(private_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QFile::remove(file);
}

// ---------------------------------------------------------------- closing

void TestCardWindow::close_question_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("asks");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("main list") << "main" << true;
    QTest::newRow("balance") << "balance" << true;
    QTest::newRow("reserved") << "bron" << true;
    QTest::newRow("not reserved") << "nebron" << true;
}

void TestCardWindow::close_question()
{
    QFETCH(QString, change);
    QFETCH(bool, asks);
    auto window = new_window();
    fill_sample(*window);
    QVERIFY(save_card(*window, path("close.quelt")));
    QFile::remove(path("close.quelt"));

    if (change == "main")
        ui(*window)->le_ImVur->setText("Мария");
    else if (change == "balance")
        window->balance_model->setData(window->balance_model->index(0, 11), 1, Qt::EditRole);
    else if (change == "bron")
        window->bron_model->setData(window->bron_model->index(0, 3), "Приказ №7", Qt::EditRole);
    else if (change == "nebron")
        window->nebron_model->setData(window->nebron_model->index(1, 2), "Новое", Qt::EditRole);

    window->help_window.show();
    const auto seen = test_support::answer_next_modal("Отмена", {}, asks ? 5000 : 1000);
    const bool closed = window->close();
    QTest::qWait(asks ? 50 : 1100);
    QCOMPARE(seen->seen, asks);
    QCOMPARE(closed, !asks);
    QCOMPARE(window->help_window.isVisible(), asks);
    if (asks) {
        QCOMPARE(seen->title, QString("Выход"));
        QVERIFY(seen->text.startsWith("Сохранить изменения в файл?\n   \nДА - будет предложено"));
        QCOMPARE(seen->buttons.size(), 4);
        for (const char *b : {"ДА, сохранить", "НЕТ", "Продолжить позже", "Отмена"})
            QVERIFY2(seen->buttons.contains(QString(b)), b);
        QVERIFY(window->isVisible());
    }
}

void TestCardWindow::close_answers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("no") << "НЕТ" << true;
    QTest::newRow("cancel") << "Отмена" << false;
    QTest::newRow("save, refused by the check") << "ДА, сохранить" << false;
    QTest::newRow("later, then cancel the dialog") << "Продолжить позже" << false;
}

void TestCardWindow::close_answers()
{
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    auto window = new_window();
    ui(*window)->le_FamRuk->setText("Изменено");
    window->okved_picker.show();
    QList<Step> steps = {press(answer)};
    // The changed card does not pass the check in front of the save.
    if (answer == "ДА, сохранить")
        steps << ok();
    if (answer == "Продолжить позже")
        steps << cancel_file() << ok();
    const SeenList seen = answer_in_turn(steps);
    QCOMPARE(window->close(), closes);
    QCOMPARE(seen->size(), steps.size());
    // No second question after an unfinished save that did not happen.
    if (answer == "Продолжить позже")
        QCOMPARE(seen->last().title, QString("Ошибка 10001!"));
    QCOMPARE(window->isVisible(), !closes);
    QCOMPARE(window->okved_picker.isVisible(), !closes);
    if (!closes)
        QVERIFY(asks_on_close(*window));
}

void TestCardWindow::later_with_good_temp_save()
{
    for (const QString &second_answer : {QString("Нет"), QString("ДА")}) {
        QSettings("Trevane", "QUELT").remove("settings/oldset");
        auto window = new_window();
        ui(*window)->le_FamRuk->setText("Изменено");
        const QString file = path("later_close.qtemp");
        const SeenList seen =
            answer_in_turn({press("Продолжить позже"), choose_file(file), ok(), press(second_answer)});
        const bool closed = window->close();
        QCOMPARE(seen->size(), 4);
        QCOMPARE(seen->at(3).text, QString("Закрыть программу?"));
        QCOMPARE(seen->at(3).buttons.size(), 2);
        QCOMPARE(closed, second_answer == "ДА");
        QVERIFY(QFileInfo::exists(file));
        // The unfinished save did not make the card saved: the next close asks again.
        if (!closed)
            QVERIFY(asks_on_close(*window));
        QFile::remove(file);
    }
}

QUELT_TEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
