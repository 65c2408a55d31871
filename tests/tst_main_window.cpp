// The main window after construction, and what a clerk does on its first pages.
#include "balance/balance_rules.h"
#include "cardfile/archiver.h"
#include "cardfile/card_lists.h"
#include "mainwindow/main_tabs.h"
#include "mainwindow/widget.h"
#include "tests/support/form_helpers.h"
#include "tests/support/named_values.h"
#include "tests/support/test_support.h"
#include "tests/support/valid_card.h"
#include "ui_widget.h"
#include "widgets/form.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include "widgets/comboboxdelegate.h"
#include "widgets/spinboxdelegate.h"

using test_support::picker_titled;
using test_support::set_fields;

namespace
{

bool pick(const QString &picker, const QString &code, const QString &name)
{
    return QMetaObject::invokeMethod(picker_titled(picker), "sig", Q_ARG(QString, code), Q_ARG(QString, name),
                                     Q_ARG(QString, ""));
}

// Records the titles the progress window takes while the window is built. Its own form names it "Form", and
// clearing empties the title before the next load is named.
struct TitleRecorder : QObject {
    QStringList titles;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowTitleChange && watched->inherits("nProgress")) {
            const QString title = static_cast<QWidget *>(watched)->windowTitle();
            if (title != "Form" && !title.isEmpty() && !titles.endsWith(title))
                titles << title;
        }
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Widget> window;
    Ui::Widget *make()
    {
        window.reset(new Widget);
        return window->form();
    }
    // The texts of the named line edits, joined by '|'.
    QString texts(const QString &names)
    {
        QStringList out;
        for (const QString &name : names.split(' '))
            out << window->findChild<QLineEdit *>(name)->text();
        return out.join('|');
    }

private slots:
    void init() { QSettings("Trevane", "QUELT").remove("settings/oldset"); }
    void cleanup() { window.reset(); }

    void tab_bar_after_the_edition_switch()
    {
        QTabWidget *tabs = make()->tabWidget;
        QStringList titles;
        for (int i = 0; i < tabs->count(); ++i)
            titles << tabs->tabText(i) + (tabs->isTabEnabled(i) ? "" : " (off)");
        QCOMPARE(titles.join('|'), QString("Основные|Адреса|Коды|Дополнительные|Персонал|Обучение (off)"));
    }

    void hidden_widgets_and_removed_pages()
    {
        Ui::Widget *ui = make();
        const QStringList hidden =
            QString(
                "VK_org sb_f6_bron_all sb_f6_bron_of sb_f6_bron_neof label_f6_bron label_f6_bron_of label_f6_bron_neof "
                "label_f6_ost gb_bal_buttons gb_balance table_balance NPA_groupBox groupBox_b_itogi testButton "
                "checkBox_balance_hiden checkBox_balance_vnutr_ist copyButton label_MobOrgan_2 cb_MobOrgan_2 "
                "groupBox_1_6 line_4 pb_zaglav pb_zaglav2 f6_errlabel label_51 cb_sf_ved")
                .split(' ');
        for (const QString &name : hidden)
            QVERIFY2(window->findChild<QWidget *>(name)->isHidden(), qPrintable(name));
        QCOMPARE(ui->tabWidget->indexOf(ui->tab_7bro), -1);
        QCOMPARE(ui->tabWidget->indexOf(ui->tab_slug), -1);
        ui->cb_sf_ved->setCurrentIndex(2);
        QCOMPARE(ui->cb_sf_ved->currentText(), QString("ФОИВ"));
    }

    void pickers_hold_their_classifiers()
    {
        make();
        const QStringList pickers =
            QString(
                "Руководитель организации=Должности_new|Организационно-правовая форма=ОКОПФ_new|Код ОКАТО=ОКАТО_new|"
                "Фактический адрес=адрес_new|Почтовый адрес=адрес_new|Форма собственности=ОКФС_new|"
                "Виды экономической деятельности=OKVED_new|Неосновные коды ОКВЭД=OKVED_new|"
                "Должности и профессии=OKPDTR_new|Фасет=Faset_new|Перечень ИОГВ=IOGV_new|"
                "Справочник военкоматов СПб и ЛО=VK_org_new|Классификатор органов гос. власти и управления=ОКОГУ_new")
                .split('|');
        for (const QString &picker : pickers) {
            Form *form = picker_titled(picker.section('=', 0, 0));
            QVERIFY2(form && !form->isVisible(), qPrintable(picker));
            ClassifierReader reader;
            QVERIFY(reader.load(":/database/xml/" + picker.section('=', 1) + ".xml"));
            QCOMPARE(form->records().size(), reader.records.size());
        }
    }

    void table_views_show_their_columns()
    {
        Ui::Widget *ui = make();
        const auto shown = [](QTableView *view) {
            QList<int> columns;
            for (int c = 0; c < view->model()->columnCount(); ++c)
                if (!view->isColumnHidden(c))
                    columns << c;
            return columns;
        };
        using namespace balance;
        QCOMPARE(shown(ui->table_balance), (QList<int>{col_facet, col_name, col_shtat, col_fact, col_mp, col_bron,
                                                       col_nekomplekt, col_dop_potr}));
        QCOMPARE(shown(ui->table_bronGPZ), (QList<int>{bron_pos::order, bron_pos::full_name}));
        QCOMPARE(shown(ui->table_nebronGPZ), (QList<int>{nebron_pos::count, nebron_pos::reason, nebron_pos::extra}));
        QAbstractItemModel *balance = ui->table_balance->model();
        QCOMPARE(balance->columnCount(), int(column_count));
        for (int c = 0; c < column_count; ++c) {
            QCOMPARE(balance->headerData(c, Qt::Horizontal).toString().count('\n'), 3);
            QAbstractItemDelegate *d = ui->table_balance->itemDelegateForColumn(c);
            QCOMPARE(qobject_cast<spinboxDelegate *>(d) != nullptr,
                     QList<int>({col_shtat, col_treb, col_fact, col_mp, col_bron, col_vnutr_ist}).contains(c));
            QCOMPARE(qobject_cast<comboboxDelegate *>(d) != nullptr, c == col_kind);
        }
        QCOMPARE(balance->headerData(col_name, Qt::Horizontal).toString(),
                 QString("Наименование\nдолжности / профессии\n\n"));
        QCOMPARE(ui->table_bronGPZ->model()->headerData(bron_pos::order, Qt::Horizontal).toString(),
                 QString("Дата и номер приказа (распоряжения) о бронировании"));
        QCOMPARE(ui->table_nebronGPZ->model()->headerData(nebron_pos::count, Qt::Horizontal).toString(),
                 QString("Количество\nГПЗ"));
        QVERIFY(qobject_cast<spinboxDelegate *>(ui->table_nebronGPZ->itemDelegateForColumn(nebron_pos::count)));
        // A cell the model creates by itself is centred.
        balance->insertRow(0);
        balance->setData(balance->index(0, balance::col_shtat), 5);
        QCOMPARE(balance->index(0, balance::col_shtat).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    }

    void progress_names_each_load()
    {
        TitleRecorder recorder;
        qApp->installEventFilter(&recorder);
        make();
        qApp->removeEventFilter(&recorder);
        QCOMPARE(recorder.titles, QStringList({"Первичная инициализация", "Загрузка адресов", "Загрузка должностей",
                                               "Загрузка кодов ОКАТО", "Загрузка кодов ОКОПФ", "Загрузка кодов ОКФС",
                                               "Загрузка кодов ОКВЕД", "Загрузка кодов ОКПДТР", "Загрузка фасетов",
                                               "Загрузка ИОГВ", "Загрузка ОКОГУ", "Загрузка ВК"}));
    }

    void reminder_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("answer"); // empty: no box is expected
        QTest::newRow("absent") << QVariant() << QString() << "";
        QTest::newRow("number 1, OK") << QVariant(1) << QString("1") << "ОК";
        QTest::newRow("text 1, do not remind") << QVariant("1") << QString("2") << "НЕ напоминать";
        QTest::newRow("2") << QVariant(2) << QString("2") << "";
    }

    void reminder()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, answer);
        QFETCH(QString, after);
        if (stored.isValid())
            QSettings("Trevane", "QUELT").setValue("settings/oldset", stored);
        auto box = test_support::answer_next_modal(answer, {}, 3000);
        make();
        QCOMPARE(box->seen, !answer.isEmpty());
        if (box->seen) {
            QCOMPARE(box->title, QString("Загрузка последних данных"));
            QVERIFY(box->text.startsWith("Для продолжения заполнения незавершенной карточки учета"));
        }
        QCOMPARE(QSettings("Trevane", "QUELT").value("settings/oldset").toString(), after);
        // Let a pending poll end before the next row.
        QTest::qWait(20);
    }

    void return_and_tab_move_on()
    {
        Ui::Widget *ui = make();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Tab), int(Qt::Key_Enter)}) {
            ui->te_orgname->setFocus();
            QTest::keyClick(ui->te_orgname, Qt::Key(key), key == Qt::Key_Return ? Qt::ControlModifier : Qt::NoModifier);
            QCOMPARE(ui->te_orgname->toPlainText(), QString());
            // pb_zaglav is hidden: the next field in the chain is pb_ruk.
            QCOMPARE(QApplication::focusWidget(), ui->pb_ruk);
        }
        ui->le_FamRuk->setFocus();
        QTest::keyClick(ui->le_FamRuk, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), ui->le_ImRuk);
    }

    void picks_fill_fields_data()
    {
        QTest::addColumn<QString>("picker");
        // field=text|tooltip|cursor; "~" is the picked name, tooltip "*" the wrapped name
        QTest::addColumn<QStringList>("checks");
        QTest::addColumn<QString>("code");
        QTest::newRow("head position") << "Руководитель организации" << QStringList{"lineEdit=~|~|"} << "1";
        QTest::newRow("okopf") << "Организационно-правовая форма"
                               << QStringList{"lineEdit_11=12300|12300|", "lineEdit_13=~|~|0"} << "12300";
        QTest::newRow("okato") << "Код ОКАТО" << QStringList{"le_okato=40298000000|40298000000|"} << "40298000000";
        QTest::newRow("actual address") << "Фактический адрес" << QStringList{"lineEdit_23=~|~|0"} << "";
        QTest::newRow("postal address") << "Почтовый адрес" << QStringList{"lineEdit_37=~|~|0"} << "";
        QTest::newRow("superior body") << "Перечень ИОГВ" << QStringList{"lineEdit_36=~|~|0"} << "1";
        QTest::newRow("okved") << "Виды экономической деятельности"
                               << QStringList{"lineEdit_26=~|*|0", "le_osn_ved=62.01|62.01|"} << "62.01";
        QTest::newRow("commissariat") << "Справочник военкоматов СПб и ЛО"
                                      << QStringList{"le_VK=~|*|0", "VK_org=7|прежняя|"} << "7";
        QTest::newRow("okogu, no tool tip") << "Классификатор органов гос. власти и управления"
                                            << QStringList{"OKOGU_le=2300229|прежняя|"} << "2300229";
    }

    void picks_fill_fields()
    {
        QFETCH(QString, picker);
        QFETCH(QString, code);
        QFETCH(QStringList, checks);
        const QString name = "Очень длинное наименование, которое не помещается в поле";
        make();
        for (const QString &check : checks)
            window->findChild<QLineEdit *>(check.section('=', 0, 0))->setToolTip("прежняя");
        QVERIFY(pick(picker, code, name));
        for (const QString &check : checks) {
            auto *field = window->findChild<QLineEdit *>(check.section('=', 0, 0));
            const QStringList expected = check.section('=', 1).replace("~", name).split('|');
            QCOMPARE(field->text(), expected.at(0));
            QCOMPARE(field->toolTip(), expected.at(1) == "*" ? window->wrap_tooltip_html(name) : expected.at(1));
            if (!expected.at(2).isEmpty())
                QCOMPARE(field->cursorPosition(), expected.at(2).toInt());
        }
    }

    // A St Petersburg organisation finds its OKATO code, or the executive body it reports to, in the carried list;
    // the card keeps the pick through saving, opening and printing.
    void pick_from_the_carried_list_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("picker");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("first");  // the first record in file order
        QTest::addColumn<QString>("top");    // "code=name|code=name" of the first two rows, in the picker's order
        QTest::addColumn<QString>("listed"); // "code=name" of the row the search leaves
        QTest::addColumn<bool>("by_name");   // typed into the name search, not the code search
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("okato") << "pb_okato"
                               << "Код ОКАТО" << 148 << "Бокситогорский "
                               << "40000000=Санкт-Петербург|40262=Адмиралтейский"
                               << "40298562=муниципальный округ № 78" << false << "40298562"
                               << "le_okato"
                               << "40298562";
        const QString social = "Комитет по социальной политике Санкт-Петербурга";
        QTest::newRow("superior body") << "pb_golorg"
                                       << "Перечень ИОГВ" << 61 << "Администрация Губернатора Санкт-Петербурга"
                                       << "44=Администрация Адмиралтейского района Санкт-Петербурга|"
                                          "45=Администрация Василеостровского района Санкт-Петербурга"
                                       << "14=" + social << true << "социальной"
                                       << "lineEdit_36" << social;
    }

    void pick_from_the_carried_list()
    {
        QFETCH(QString, button);
        QFETCH(QString, picker);
        QFETCH(int, records);
        QFETCH(QString, first);
        QFETCH(QString, top);
        QFETCH(QString, listed);
        QFETCH(bool, by_name);
        QFETCH(QString, typed);
        QFETCH(QString, field);
        QFETCH(QString, value);
        if (!Archiver().found())
            QSKIP("7z is not installed");
        Ui::Widget *ui = make();
        // An OKATO code of the carried list, so that the card opens again without a notice of unknown codes.
        set_fields(*window, test_support::valid_card_fields + "|le_okato=40262563|" + field +
                                "=|dateZap=" + QDate::currentDate().toString(Qt::ISODate));
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
        Form *form = picker_titled(picker);
        QVERIFY(form->isVisible());
        QTableView *view = form->findChild<QTableView *>();
        QAbstractItemModel *shown = view->model();
        QCOMPARE(shown->rowCount(), records);
        QCOMPARE(form->records().value(0).name, first);
        const auto row = [&](int r) {
            return shown->index(r, 0).data().toString() + "=" + shown->index(r, 1).data().toString();
        };
        QCOMPARE(row(0) + "|" + row(1), top);
        // A picker searched by name shows no codes.
        QCOMPARE(view->isColumnHidden(0), by_name);

        // Typed key by key, Cyrillic letters included.
        auto *search = form->findChild<QLineEdit *>(by_name ? "KlassForm_le_naim" : "KlassForm_le_kod");
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QCOMPARE(shown->rowCount(), 1);
        QCOMPARE(row(0), listed);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(shown->index(0, 1)).center());
        QTest::mouseClick(form->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(window->findChild<QLineEdit *>(field)->text(), value);

        QTemporaryDir dir;
        const QString path = dir.filePath("card.quelt");
        test_support::SeenBoxes seen = test_support::answer_in_turn({path, "OK"});
        ui->save_Button->click();
        QCOMPARE(seen->size(), 2);
        QCOMPARE(seen->at(1).title, QString("Успешно!"));

        // Opened again: no notice of unknown codes, only the file dialog.
        ui = make();
        seen = test_support::answer_in_turn({path});
        ui->open_Button->click();
        QCOMPARE(seen->size(), 1);
        QCOMPARE(window->findChild<QLineEdit *>(field)->text(), value);
        QVERIFY(window->print_card().contains(">" + value + "<"));
    }

    void address_picker_keeps_the_street_until_a_pick()
    {
        Ui::Widget *ui = make();
        set_fields(*window, "lineEdit_23=Невский пр.|lineEdit_37=Садовая ул.");
        QTest::mouseClick(ui->pb_fadr, Qt::LeftButton);
        QTest::mouseClick(ui->pb_padr, Qt::LeftButton);
        QVERIFY(picker_titled("Фактический адрес")->isVisible());
        picker_titled("Фактический адрес")->close();
        picker_titled("Почтовый адрес")->close();
        QCOMPARE(texts("lineEdit_23 lineEdit_37"), QString("Невский пр.|Садовая ул."));
    }

    void ownership_code_data()
    {
        QTest::addColumn<bool>("reserving");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("sphere");
        QTest::addColumn<bool>("warned");
        QTest::newRow("11, reserving") << true << "11" << 2 << true;
        QTest::newRow("14, reserving") << true << "14" << 1 << false;
        QTest::newRow("16, reserving") << true << "16" << 0 << false;
        QTest::newRow("12, not reserving") << false << "12" << 2 << true;
        QTest::newRow("100") << false << "100" << 2 << false;
    }

    void ownership_code()
    {
        QFETCH(bool, reserving);
        QFETCH(QString, code);
        QFETCH(int, sphere);
        QFETCH(bool, warned);
        Ui::Widget *ui = make();
        if (reserving) {
            const QSignalBlocker block(ui->cb_kat_b);
            ui->cb_kat_b->setCurrentIndex(0);
        }
        ui->cb_sf_ved->setCurrentIndex(2);
        auto box = test_support::answer_next_modal("OK", {}, 500);
        window->paste_okfs(code, "Собственность");
        QTest::qWait(warned ? 0 : 600);
        QCOMPARE(box->seen, warned);
        if (warned)
            QCOMPARE(box->title, QString("Внимание - Федеральная форма собственности"));
        QCOMPARE(ui->cb_sf_ved->currentIndex(), sphere);
        QCOMPARE(texts("lineEdit_25 lineEdit_24"), code + "|Собственность");
    }

    void facet_pick_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("current");
        QTest::addColumn<QString>("expected"); // key, facet, facet code
        QTest::newRow("facet") << "А" << true << "1423456А|Фасет А|А";
        QTest::newRow("no facet") << "0" << true << "1423456||";
        QTest::newRow("no current row") << "А" << false << "old|old4|old19";
    }

    void facet_pick()
    {
        QFETCH(bool, current);
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QAbstractItemModel *model = make()->table_balance->model();
        model->blockSignals(true);
        model->insertRow(0);
        test_support::set_row(model, 0,
                              {{balance::col_key, "old"},
                               {balance::col_code, "23456"},
                               {balance::col_facet, "old4"},
                               {balance::col_cat_code, "4"},
                               {balance::col_facet_code, "old19"},
                               {balance::col_kind_code, "1"}});
        model->blockSignals(false);
        if (current)
            window->form()->table_balance->setCurrentIndex(model->index(0, balance::col_name));
        QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
        QVERIFY(pick("Фасет", code, "Фасет А"));
        QCOMPARE(changes.count(), 0);
        const QStringList columns = {model->index(0, balance::col_key).data().toString(),
                                     model->index(0, balance::col_facet).data().toString(),
                                     model->index(0, balance::col_facet_code).data().toString()};
        QCOMPARE(columns.join('|'), expected);
    }

    void name_tidy_up_writes_plain_text()
    {
        Ui::Widget *ui = make();
        ui->te_orgname->setPlainText("ООО \"<b>РОМАШКА</b> & КО\" СПБ");
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_pb_zaglav_clicked"));
        QCOMPARE(ui->te_orgname->toPlainText(), QString("Ооо \"<b>ромашка</b> & ко\" СПб"));
        ui->te_orgname2->setPlainText("«пример»");
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_pb_zaglav2_clicked"));
        QCOMPARE(ui->te_orgname2->toPlainText(), QString("Пример»"));
    }

    void okved_list_through_the_window()
    {
        Ui::Widget *ui = make();
        pick("Неосновные коды ОКВЭД", "02.1", "x");
        pick("Неосновные коды ОКВЭД", "01.11", "y");
        QCOMPARE(ui->le_dop_ved->text() + "|" + ui->le_dop_ved->toolTip(), QString("02.1, 01.11|02.1, 01.11"));
        auto box = test_support::answer_next_modal("OK");
        QTest::mouseClick(ui->pb_dop_del, Qt::LeftButton);
        QVERIFY(box->seen && ui->le_dop_ved->isEnabled());
        // Leaving the field (its slot is found by name) tidies the list and locks it again.
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        ui->tabWidget->setCurrentIndex(main_tab::codes);
        ui->le_dop_ved->setFocus();
        ui->le_dop_ved->setText(",,03.1,,,01.11, 02.1,");
        ui->le_INN->setFocus();
        QCOMPARE(ui->le_dop_ved->text(), QString("01.11, 02.1, 03.1"));
        QVERIFY(!ui->le_dop_ved->isEnabled());
    }

    void mobilisation_block()
    {
        Ui::Widget *ui = make();
        const QList<QWidget *> block = {ui->label_MobOrgan_2, ui->cb_MobOrgan_2, ui->groupBox_1_6, ui->line_4};
        auto block_hidden = [&](bool hidden) {
            return std::all_of(block.begin(), block.end(), [&](QWidget *w) { return w->isHidden() == hidden; });
        };
        ui->cb_MobOrgan->setCurrentText("Да");
        QVERIFY(block_hidden(false));
        ui->FamRukMO->setText("Петров");
        ui->cb_MobOrgan_2->setCurrentIndex(1);

        auto refuse = test_support::answer_next_modal("Отменить");
        ui->cb_MobOrgan->setCurrentText("Нет");
        QCOMPARE(refuse->title + " " + refuse->text,
                 QString("Внимание! Удалить информацию о наличии моб.органа в организации?"));
        QVERIFY(ui->cb_MobOrgan->currentText() == "Да" && ui->FamRukMO->text() == "Петров" && block_hidden(false));

        auto confirm = test_support::answer_next_modal("Подтверждаю");
        ui->cb_MobOrgan->setCurrentText("Нет");
        QVERIFY(confirm->seen && block_hidden(true));
        QVERIFY(ui->FamRukMO->text().isEmpty() && ui->cb_MobOrgan_2->currentIndex() == 0);

        // Set from a card: no question, and nothing is emptied (the card's own values come after).
        auto box = test_support::answer_next_modal("Отменить", {}, 300);
        window->set_mobilisation_body(true);
        QCOMPARE(ui->cb_MobOrgan->currentText(), QString("Да"));
        ui->FamRukMO->setText("Петров");
        window->set_mobilisation_body(false);
        QTest::qWait(400);
        QVERIFY(!box->seen && ui->cb_MobOrgan->currentText() == "Нет" && block_hidden(true));
        QCOMPARE(ui->FamRukMO->text(), QString("Петров"));
    }

    void address_copy()
    {
        Ui::Widget *ui = make();
        set_fields(*window, "lineEdit_23=Невский пр.|lineEdit_9=|lineEdit_31=12|lineEdit_8=старый дом");
        QTest::mouseClick(ui->pushButton_9, Qt::LeftButton);
        QCOMPARE(texts("lineEdit_21 lineEdit_8 lineEdit_18"), QString("Невский пр.||12"));
        QCOMPARE(ui->lineEdit_18->toolTip(), QString("12"));
        QTest::mouseClick(ui->pushButton_6, Qt::LeftButton);
        QCOMPARE(texts("lineEdit_37 lineEdit_35"), QString("Невский пр.|12"));
        QCOMPARE(ui->lineEdit_37->toolTip(), QString("Невский пр."));
    }

    void clipboard_summary()
    {
        Ui::Widget *ui = make();
        set_fields(*window, "te_orgname=ООО «Ромашка»\nСанкт-Петербург|te_orgname2=ООО «Ромашка» Санкт-Петербург|"
                            "le_INN=7801234567|OKOGU_le=2300229|sb_b_treb_ruk=2|sb_b_treb_rab=40");
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_copyButton_clicked"));
        QStringList fields = QApplication::clipboard()->text().split('\t');
        QCOMPARE(fields.size(), 16);
        QCOMPARE(fields.mid(0, 3), QStringList({"ООО «Ромашка» Санкт-Петербург", "", "7801234567"}));
        QCOMPARE(fields.mid(6, 2), QStringList({"", "Задача"}));
        QCOMPARE(fields.mid(11, 2), QStringList({"85%", "42"}));
        QVERIFY(!fields.last().endsWith('\n'));
        QCOMPARE(ui->copyButton->toolTip(), QString("Успешно скопировано в буфер обмена!"));

        ui->cb_OGV->setCurrentText("Да");
        QVERIFY(QMetaObject::invokeMethod(window.get(), "on_copyButton_clicked"));
        fields = QApplication::clipboard()->text().split('\t');
        QCOMPARE(fields.mid(6, 2), QStringList({"2300229", "Орган управления"}));
        QCOMPARE(fields.at(11), QString("95%"));
    }

    void exit_closes_the_child_windows()
    {
        Ui::Widget *ui = make();
        window->show();
        QTest::mouseClick(ui->pb_okfs, Qt::LeftButton);
        QTest::mouseClick(ui->pb_okfs, Qt::LeftButton);
        QTest::mouseClick(ui->help_Button, Qt::LeftButton);
        QVERIFY(picker_titled("Форма собственности")->isVisible());
        QTest::mouseClick(ui->exit_Button, Qt::LeftButton);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible() || top->inherits("QMenu"), qPrintable(top->windowTitle()));
    }
};

QUELT_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
