// The Excel import commands driven through the window, every box and dialog answered from a timer.
#include "balance/balance_rules.h"
#include "cardfile/archiver.h"
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "excelimport/import_rules.h"
#include "excelimport/import_xls.h"
#include "mainwindow/widget.h"
#include "tests/support/named_values.h"
#include "tests/support/test_support.h"
#include "ui_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <sys/resource.h>

namespace
{

QString data_file(const QString &name)
{
    return QString(QUELT_TEST_DATA) + "/import/" + name;
}

// Every cell of a table, a line per row: text, value type, flags, alignment and background of each cell.
QString table_cells(const QAbstractItemModel *model)
{
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            const QVariant background = index.data(Qt::BackgroundRole);
            cells << QString("%1 {%2 %3 %4 %5}")
                         .arg(index.data().toString(), index.data(Qt::EditRole).typeName())
                         .arg(int(model->flags(index)))
                         .arg(index.data(Qt::TextAlignmentRole).toInt())
                         .arg(background.isValid() ? background.value<QBrush>().color().name(QColor::HexArgb)
                                                   : QString("-"));
        }
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

// One answer of a script: a button text of a message box, or an action on the modal window.
struct Step {
    QString button;
    std::function<void(QWidget *)> act;
};

// Answers the modal windows that come up, one step each, in order, and records what each showed
// ("title|text" for a message box, the window title otherwise).
class ModalScript
{
public:
    explicit ModalScript(QList<Step> steps) : steps(std::move(steps))
    {
        // The timer dies with the script: no answer outlives the test that wrote it.
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start(5);
    }
    QStringList seen;
    int left() const { return steps.size(); }
    void stop() { timer.stop(); }

private:
    QList<Step> steps;
    QTimer timer;

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            seen << (box ? modal->windowTitle() + "|" + box->text() : modal->windowTitle());
            if (steps.isEmpty()) {
                // Unexpected: leave it the way the test notices.
                if (box)
                    box->done(-1);
                else
                    modal->close();
            } else {
                const Step step = steps.takeFirst();
                if (step.act) {
                    step.act(modal);
                } else if (box) {
                    bool pressed = false;
                    for (QAbstractButton *b : box->buttons())
                        if (!pressed && b->text() == step.button) {
                            b->click();
                            pressed = true;
                        }
                    if (!pressed) {
                        seen << "no button " + step.button;
                        box->done(-1);
                    }
                } else {
                    // A window where a box was expected: close it, so the test fails instead of hanging.
                    seen << "not a box";
                    modal->close();
                }
            }
        }
    }
};

Step press(const QString &button)
{
    return {button, {}};
}

Step choose_file(const QString &path)
{
    return {QString(), [path](QWidget *w) {
                auto *dialog = qobject_cast<QFileDialog *>(w);
                if (!dialog) {
                    w->close();
                    return;
                }
                if (path.isEmpty()) {
                    dialog->reject();
                    return;
                }
                dialog->selectFile(path);
                static_cast<QDialog *>(dialog)->accept();
            }};
}

// The first-cell dialog: checks the preselected sheet, types row and column, presses OK (or cancels).
Step first_cell(int sheet, int row, int column, bool ok = true, int *preselected = nullptr)
{
    return {QString(), [=](QWidget *w) {
                if (preselected)
                    *preselected = w->findChild<QComboBox *>("comboBox")->currentIndex();
                if (sheet >= 0)
                    w->findChild<QComboBox *>("comboBox")->setCurrentIndex(sheet);
                w->findChild<QSpinBox *>("stroka")->setValue(row);
                w->findChild<QSpinBox *>("stolbets")->setValue(column);
                w->findChild<QPushButton *>(ok ? "ok" : "cancel")->click();
            }};
}

long peak_rss_kb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestExcelImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window.reset(); }

    void first_cell_dialog_data();
    void first_cell_dialog();
    void chooser_and_file_dialog();
    void form6_figures_data();
    void form6_figures();
    void form6_refusals_data();
    void form6_refusals();
    void hostile_files_change_nothing();
    void balance_rows_data();
    void balance_rows();
    void balance_empty_first_code_keeps_table();
    void balance_one_row_offers_no_merge();
    void balance_block_limit_data();
    void balance_block_limit();
    void reservation_tables();
    void reservation_refusals_keep_tables_data();
    void reservation_refusals_keep_tables();
    void reservation_limit();
    void card_round_trip_after_import();

private:
    std::unique_ptr<Widget> window;
    Ui::Widget *ui() { return window->form(); }
    QStandardItemModel *balance() { return static_cast<QStandardItemModel *>(ui()->table_balance->model()); }
    QStandardItemModel *bron() { return static_cast<QStandardItemModel *>(ui()->table_bronGPZ->model()); }
    QStandardItemModel *nebron() { return static_cast<QStandardItemModel *>(ui()->table_nebronGPZ->model()); }

    QString figures()
    {
        QStringList f;
        for (QSpinBox *box : {ui()->sb_f6_all, ui()->sb_f6_priziv, ui()->sb_f6_of, ui()->sb_f6_neof,
                              ui()->sb_f6_bron_of, ui()->sb_f6_bron_neof, ui()->sb_f6_mp})
            f << QString::number(box->value());
        return f.join(' ');
    }
    void set_figures(const QVector<int> &v)
    {
        QSpinBox *boxes[] = {ui()->sb_f6_all,     ui()->sb_f6_priziv,    ui()->sb_f6_of, ui()->sb_f6_neof,
                             ui()->sb_f6_bron_of, ui()->sb_f6_bron_neof, ui()->sb_f6_mp};
        for (int i = 0; i < 7; ++i)
            boxes[i]->setValue(v[i]);
    }
    QStringList column(QStandardItemModel *m, int c)
    {
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, c).data().toString();
        return out;
    }
    // Everything an import may touch, as text.
    QString card_state()
    {
        QStringList s{figures()};
        for (QStandardItemModel *m : {balance(), bron(), nebron()})
            for (int c = 0; c < m->columnCount(); ++c)
                s << column(m, c).join(',');
        return s.join('|');
    }
    // Runs an import command with its script; every step must have been used and no window left open.
    void run_import(ModalScript &script, void (Widget::*command)())
    {
        (window.get()->*command)();
        script.stop();
        QVERIFY2(script.left() == 0, qPrintable(script.seen.join('\n')));
        QVERIFY(!QApplication::activeModalWidget());
    }
    void run_balance_import(ModalScript &script) { run_import(script, &Widget::on_pb_import_xls_clicked); }
    void run_reservation_import(ModalScript &script) { run_import(script, &Widget::on_import_bron_clicked); }
    void add_table_rows()
    {
        window->paste_okpdtr("23369", "Кассир", "3");
        balance()->setData(balance()->index(0, balance::col_shtat), 4);
        window->on_add_bron_clicked();
        bron()->setData(bron()->index(0, bron_pos::full_name), "Старый И.И.");
        window->on_add_nebron_clicked();
        nebron()->setData(nebron()->index(0, nebron_pos::count), 3);
    }
};

void TestExcelImport::init()
{
    window.reset(new Widget);
    window->show();
}

void TestExcelImport::first_cell_dialog_data()
{
    QTest::addColumn<bool>("f6");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<int>("preselected");
    QTest::newRow("balance, one sheet") << false << QStringList{"Лист1"} << 0;
    QTest::newRow("balance, two sheets") << false << QStringList{"Сводные", "Баланс"} << 1;
    QTest::newRow("balance, three sheets") << false << QStringList{"А", "Б", "В"} << 1;
    QTest::newRow("figures, three sheets") << true << QStringList{"А", "Б", "В"} << 0;
    QTest::newRow("no sheet") << false << QStringList{} << -1;
}

void TestExcelImport::first_cell_dialog()
{
    QFETCH(bool, f6);
    QFETCH(QStringList, sheets);
    QFETCH(int, preselected);
    QCOMPARE(window->xls_dialog.windowTitle(), "Ввод координат первой ячейки");
    Import_xls dialog;
    QSignalSpy sent(&dialog, &Import_xls::sig_from_xls);
    auto *stroka = dialog.findChild<QSpinBox *>("stroka");
    auto *stolbets = dialog.findChild<QSpinBox *>("stolbets");
    QCOMPARE(QString("%1 %2").arg(stroka->value()).arg(stolbets->value()), "10 2");
    QCOMPARE(stroka->maximum(), 999);

    dialog.set_sheets(f6, sheets);
    dialog.show();
    QCOMPARE(dialog.findChild<QLabel *>("label_f6")->isVisible(), f6);
    QCOMPARE(dialog.findChild<QLabel *>("label_f10")->isVisible(), !f6);
    QVERIFY(!dialog.findChild<QLabel *>("pic")->pixmap(Qt::ReturnByValue).isNull());

    // Escape rejects without a word.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(sent.count(), 0);

    dialog.show();
    stroka->setValue(0);
    stolbets->setValue(7);
    dialog.findChild<QPushButton *>("ok")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0), QVariantList({preselected, 0, 7}));

    // The next use keeps row and column.
    dialog.set_sheets(!f6, sheets);
    QCOMPARE(QString("%1 %2").arg(stroka->value()).arg(stolbets->value()), "0 7");
}

void TestExcelImport::chooser_and_file_dialog()
{
    // " Отмена " does nothing.
    {
        ModalScript script({press(" Отмена ")});
        run_balance_import(script);
        QCOMPARE(script.seen.size(), 1);
        QVERIFY(script.seen[0].startsWith("Импорт Баланса|Выберите источник."));
        QVERIFY(script.seen[0].contains(QCoreApplication::applicationDirPath()));
    }
    // Cancelling the file dialog: error 10001 and nothing opened.
    {
        ModalScript script(
            {press(" Импорт из Excel "), press("Заменить все данные"), choose_file(QString()), press("OK")});
        run_balance_import(script);
        QCOMPARE(script.seen.size(), 4);
        QCOMPARE(script.seen[3], "Ошибка 10001!|Нажата кнопка ''Отмена'' или произошла ошибка обработки пути к файлу.");
    }
    {
        ModalScript script({press("OK"), choose_file(QString()), press("OK")});
        run_reservation_import(script);
        QCOMPARE(script.seen.size(), 3);
        QVERIFY(script.seen[0].startsWith("Уведомление.|"));
        QVERIFY(script.seen[2].startsWith("Ошибка 10001!|"));
    }
}

void TestExcelImport::form6_figures_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("reserving");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("file");
    // On the form before: 10 1 2 3 4 5 6.
    QTest::newRow("replace, not reserving") << "Заменить все данные" << false << 10 << "120 3 5 7 0 0 1"
                                            << "staff.xlsx";
    QTest::newRow("add, reserving") << "Сложить данные" << true << 10 << "130 4 7 10 6 9 7"
                                    << "staff.xlsx";
    // Negative and text add nothing, 2.6 rounds, the maximum holds.
    QTest::newRow("add, odd cells") << "Сложить данные" << true << 14 << "60 1 2 6 4 6 999999"
                                    << "staff.xlsx";
    // The same workbook saved as .xls by LibreOffice.
    QTest::newRow("xls, add, odd cells") << "Сложить данные" << true << 14 << "60 1 2 6 4 6 999999"
                                         << "staff.xls";
}

void TestExcelImport::form6_figures()
{
    QFETCH(QString, mode);
    QFETCH(bool, reserving);
    QFETCH(int, row);
    QFETCH(QString, expected);
    QFETCH(QString, file);
    window->set_reservation(reserving);
    set_figures({10, 1, 2, 3, 4, 5, 6});
    QList<Step> steps = {press(" Импорт из Excel "), press(mode), choose_file(data_file(file)), press("Принять"),
                         first_cell(-1, row, 2)};
    if (reserving)
        steps << press("Пропустить") << press("OK");
    steps << press("Да");
    ModalScript script(steps);
    run_balance_import(script);
    QCOMPARE(figures(), expected);
    QCOMPARE(ui()->sb_f6_gpz->value(), ui()->sb_f6_of->value() + ui()->sb_f6_neof->value());
    QCOMPARE(script.seen.last(),
             "Импорт завершен|Программа Excel будет выгружена из памяти.\nРекомендуемый выбор - Да.");
    QCOMPARE(balance()->rowCount(), 0);
}

void TestExcelImport::form6_refusals_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("box");
    const QString not_a_number =
        "Ошибка 20002!|По указанным координатам не обнаруженно числовых значений, импорт общих "
        "данных остановлен. Возможно вы используете старый шаблон, выпущенный ранее "
        "01.09.2025 года.";
    QTest::newRow("text") << 12 << 2 << true << not_a_number;
    QTest::newRow("row 0") << 0 << 2 << true << "Ошибка 20001!|Введены недопустимые координаты.";
    QTest::newRow("cancelled") << 10 << 2 << false
                               << "Импорт отменен.|Выбрано значение - пропустить импорт общих сведений.";
}

void TestExcelImport::form6_refusals()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, ok);
    QFETCH(QString, box);
    set_figures({10, 1, 2, 3, 4, 5, 6});
    ModalScript script({press(" Импорт из Excel "), press("Заменить все данные"), choose_file(data_file("staff.xlsx")),
                        press("Принять"), first_cell(-1, row, column, ok), press("OK"), press("Да")});
    run_balance_import(script);
    QCOMPARE(script.seen.value(5), box);
    QCOMPARE(figures(), "10 1 2 3 4 5 6");
}

void TestExcelImport::hostile_files_change_nothing()
{
    window->set_reservation(true);
    set_figures({10, 1, 2, 3, 4, 5, 6});
    add_table_rows();
    const QString before = card_state();
    const long rss_before = peak_rss_kb();
    const QString unreadable = "Ошибка импорта.|Не удалось прочитать выбранный файл как книгу Excel: файл поврежден, "
                               "защищен паролем или не является книгой Excel.\nИмпорт остановлен, данные программы не "
                               "изменены.";
    const QString no_sheets = "Ошибка импорта.|Ошибка импорта - листы с данными не найдены.";
    const QString too_large = "Ошибка импорта.|Книга Excel слишком велика для импорта: одна из частей книги после "
                              "распаковки больше 200 МБ.\nИмпорт остановлен, данные программы не изменены.";
    const QList<QPair<QString, QString>> files = {
        {"not_a_workbook.xlsx", unreadable}, {"damaged.xlsx", unreadable},      {"encrypted.xlsx", unreadable},
        {"zip_bomb.xlsx", too_large},        {"no_worksheets.xlsx", no_sheets}, {"not_a_workbook.xls", unreadable},
        {"damaged.xls", unreadable},
    };
    for (const auto &file : files) {
        ModalScript balance_script({press(" Импорт из Excel "), press("Заменить все данные"),
                                    choose_file(data_file(file.first)), press("OK")});
        run_balance_import(balance_script);
        QCOMPARE(balance_script.seen.value(3), file.second);
        QCOMPARE(balance_script.seen.size(), 4);

        // The reservation command: the same message; a workbook without sheets is its own case.
        QList<Step> steps = {press("OK"), choose_file(data_file(file.first)), press("OK")};
        if (file.second == no_sheets)
            steps << press("Да");
        ModalScript bron_script(steps);
        run_reservation_import(bron_script);
        QCOMPARE(bron_script.seen.value(2), file.second);
        QCOMPARE(card_state(), before);
    }
    QVERIFY2(peak_rss_kb() - rss_before < 150 * 1024, qPrintable(QString::number(peak_rss_kb() - rss_before)));
}

void TestExcelImport::balance_rows_data()
{
    QTest::addColumn<bool>("add");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table"); // every cell of the table after the import
    QTest::newRow("replace") << false << "staff.xlsx"
                             << "staff_replaced.txt";
    QTest::newRow("add") << true << "staff.xlsx"
                         << "staff_added.txt";
    QTest::newRow("xls, replace") << false << "staff.xls"
                                  << "staff_replaced.txt";
}

void TestExcelImport::balance_rows()
{
    QFETCH(bool, add);
    QFETCH(QString, file);
    QFETCH(QString, table);
    window->set_reservation(true);
    add_table_rows();
    int preselected = -1;
    ModalScript script({press(" Импорт из Excel "), press(add ? "Сложить данные" : "Заменить все данные"),
                        choose_file(data_file(file)), press("Пропустить"), press("OK"), press("Принять"),
                        first_cell(-1, 10, 2, true, &preselected), press("OK"), press("OK"), press("OK"), press("OK"),
                        press("OK"), press("Пропустить"), press("Да")});
    run_balance_import(script);
    QCOMPARE(preselected, 1);
    auto code_box = [](int row) {
        return "Код должности недействителен!|В Балансе в строке " + QString::number(row) +
               " обнаружен недействительный код должности (данного кода нет в ОКПДТР, он был изменен или "
               "аннулирован).\nСтрока будет импортирована с соответствующей пометкой - пожалуйста, проверьте коды и "
               "наименования должностей на вкладке Баланс после завершения импорта.";
    };
    QCOMPARE(script.seen.mid(7, 6),
             QStringList({"Количество строк.|Импорт баланса идет до первой незаполненной строки в столбце 2 (код "
                          "должности).\nПо этому принципу в выбранном файле импорт будет идти до строки номер 15 "
                          "включительно.",
                          "Код фасета недействителен!|В Балансе в строке 11 обнаружен недействительный код "
                          "фасета.\nСтрока будет импортирована с соответствующей пометкой - пожалуйста, проверьте "
                          "фасеты на вкладке Баланс после завершения импорта.",
                          code_box(13), code_box(14),
                          "Баланс принят.|Импорт Баланса завершен. Принято строк - 6.\n\nОбращаем Ваше внимание, "
                          "что с 2019 года категории должностей и профессий автоматически заполняются в Балансе в "
                          "соответствии с тем, как это определено в классификаторе ОКПДТР ОК 016-94.",
                          "Сложение одинаковых кодов|" + balance::merge_question_text()}));

    // Sorted by key; the old row stays in add mode only.
    QStringList keys = {"122033601", "2", "2222446", "34114421", "412065603", "499999"};
    if (add)
        keys.insert(1, "1323369");
    using namespace balance;
    QCOMPARE(column(balance(), col_key), keys);
    QFile cells_file(data_file(table));
    QVERIFY(cells_file.open(QIODevice::ReadOnly));
    QCOMPARE(table_cells(balance()), QString::fromUtf8(cells_file.readAll()));
    using test_support::NamedValues;
    auto cells = [&](const QString &key, const NamedValues &named) {
        return test_support::row_texts(balance(), keys.indexOf(key), named);
    };
    const NamedValues specialist = {{col_kind, "Основное"},  {col_category, "Специалисты"},
                                    {col_code, "20336"},     {col_facet, "Вице-"},
                                    {col_name, "Бухгалтер"}, {col_shtat, "5"},
                                    {col_treb, "5"},         {col_fact, "4"},
                                    {col_mp, "1"},           {col_bron, "1"},
                                    {col_vnutr_ist, "0"},    {col_cat_code, "2"},
                                    {col_facet_code, "01"},  {col_kind_code, "1"}};
    QCOMPARE(cells("122033601", specialist), test_support::values_of(specialist));
    // The keys above carry each row's kind, category, code and facet; the markers of unknown codes and facets
    // are the import rules' own, the totals below take every row's figures.
    QCOMPARE(ui()->checkBox_balance_voenshtat->checkState(), Qt::Checked);

    // Totals as the staff page sums them.
    QCOMPARE(ui()->sb_b_all->value(), 4 + 3 + 0 + 2);
    QCOMPARE(ui()->sb_b_sum_treb->value(), 5 + 6 + 2 + 2 + (add ? 4 : 0));
    QCOMPARE(ui()->sb_b_bron->value(), 1);
    QCOMPARE(ui()->sb_b_sum_mp->value(), 1);
    QCOMPARE(figures(), "0 0 0 0 0 0 0");
    QCOMPARE(bron()->rowCount(), 1);
}

void TestExcelImport::balance_empty_first_code_keeps_table()
{
    window->set_reservation(true);
    add_table_rows();
    const QString before = card_state();
    ModalScript script({press(" Импорт из Excel "), press("Заменить все данные"), choose_file(data_file("staff.xlsx")),
                        press("Пропустить"), press("OK"), press("Принять"), first_cell(1, 20, 2), press("OK"),
                        press("Да")});
    run_balance_import(script);
    QCOMPARE(script.seen.value(7), "Ошибка импорта.|Ошибка импорта Баланса из файла - первая указанная строка не "
                                   "содержит кода должности в столбце 2");
    QCOMPARE(card_state(), before);
}

void TestExcelImport::balance_one_row_offers_no_merge()
{
    window->set_reservation(true);
    ModalScript script({press(" Импорт из Excel "), press("Заменить все данные"), choose_file(data_file("staff.xlsx")),
                        press("Пропустить"), press("OK"), press("Принять"), first_cell(1, 15, 2), press("OK"),
                        press("OK"), press("Да")});
    run_balance_import(script);
    QVERIFY(script.seen.value(8).startsWith("Баланс принят.|Импорт Баланса завершен. Принято строк - 1."));
    QCOMPARE(column(balance(), balance::col_code), QStringList({"20656"}));
}

void TestExcelImport::balance_block_limit_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("code_boxes"); // the boxes on unknown codes, as they begin
    QTest::newRow("2000 filled from row 1") << 1 << 2 << 0 << QStringList();
    QTest::newRow("1999 from row 3") << 3 << 2 << 1999 << QStringList();
    // Column 5 holds a code the positions list does not know: three rows get a box, one box names the rest.
    const QString box = "Код должности недействителен!|";
    QTest::newRow("1999 unknown codes") << 3 << 5 << 1999
                                        << QStringList{box + "В Балансе в строке 3 обнаружен",
                                                       box + "В Балансе в строке 4 обнаружен",
                                                       box + "В Балансе в строке 5 обнаружен",
                                                       box + "Ещё 1996 строк с недействительным кодом должности: 6, 7, "
                                                             "8, 9, 10, 11, 12, 13, 14, 15, …, 2001."};
}

void TestExcelImport::balance_block_limit()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, rows);
    QFETCH(QStringList, code_boxes);
    window->set_reservation(true);
    QList<Step> steps = {press(" Импорт из Excel "),
                         press("Заменить все данные"),
                         choose_file(data_file("balance_long.xlsx")),
                         press("Пропустить"),
                         press("OK"),
                         press("Принять"),
                         first_cell(0, row, column),
                         press("OK")};
    for (int i = 0; i < code_boxes.size(); ++i)
        steps << press("OK");
    if (rows)
        steps << press("OK") << press("Сложить") << press("OK");
    steps << press("Да");
    ModalScript script(steps);
    run_balance_import(script);
    if (!rows) {
        QVERIFY(script.seen.value(7).startsWith("Ошибка импорта.|"));
        QCOMPARE(balance()->rowCount(), 0);
        return;
    }
    QVERIFY(script.seen.value(7).contains("до строки номер 2001 включительно."));
    for (int i = 0; i < code_boxes.size(); ++i)
        QVERIFY2(script.seen.value(8 + i).startsWith(code_boxes[i]), qPrintable(script.seen.value(8 + i)));
    QVERIFY(script.seen.value(8 + code_boxes.size()).contains("Принято строк - 1999."));
    // All rows share one key and merge into one.
    QCOMPARE(balance()->rowCount(), 1);
    QCOMPARE(balance()->index(0, balance::col_shtat).data().toInt(), column == 2 ? 1999 : 0);
}

void TestExcelImport::reservation_tables()
{
    add_table_rows();
    ModalScript script({press("OK"), choose_file(data_file("reservation.xlsx")), press("Принять"), press("OK"),
                        press("Принять"), press("OK"), press("Отмена")});
    run_reservation_import(script);
    QCOMPARE(column(bron(), bron_pos::full_name), QStringList({"Иванов И.И.", "   ", "Петров П.П."}));
    QCOMPARE(column(bron(), bron_pos::order), QStringList({"Приказ № 5 от 01.02.2025", "12", ""}));
    QCOMPARE(column(nebron(), nebron_pos::count), QStringList({"7", "7", "0", "0"}));
    QCOMPARE(nebron()->index(0, nebron_pos::count).data(Qt::EditRole).userType(), int(QMetaType::Int));
    QCOMPARE(column(nebron(), nebron_pos::reason), QStringList({"Нет должностей в перечне", "Отказ", "Иное", "Иное"}));
    QCOMPARE(column(nebron(), nebron_pos::extra), QStringList({"Прим. 1", "", "", "12"}));
    QCOMPARE(script.seen.value(3), "Данные приняты.|Импорт завершен УСПЕШНО. Принято строк - 3.\n\nОбращаем Ваше "
                                   "внимание, что импорт из файла идет до первой пустой строки в графе Фамилия.");
    QCOMPARE(script.seen.value(5), "Данные приняты.|Импорт завершен УСПЕШНО. Принято строк - 4.\n\nОбращаем Ваше "
                                   "внимание, что импорт из файла идет до первой пустой строки в первом столбце.");
    // Skipping one part leaves its table.
    ModalScript skip({press("OK"), choose_file(data_file("reservation_one_sheet.xlsx")), press("Пропустить"),
                      press("OK"), press("Пропустить"), press("OK"), press("Да")});
    run_reservation_import(skip);
    QCOMPARE(skip.seen.value(3), "Импорт отменен.|Выбрано значение - пропустить импорт.");
    QCOMPARE(bron()->rowCount(), 3);
    QCOMPARE(nebron()->rowCount(), 4);
}

void TestExcelImport::reservation_refusals_keep_tables_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("bron_rows");
    const QString kept = "\nРанее введенные данные сохранены.";
    QTest::newRow("no rows") << "reservation_empty.xlsx"
                             << QStringList{"Данные не приняты.|В файле не найдено ни одной строки с данными: импорт "
                                            "идет с третьей строки до первой пустой строки в графе Фамилия." +
                                                kept,
                                            "Данные не приняты.|В файле не найдено ни одной строки с данными: импорт "
                                            "идет с третьей строки до первой пустой строки в первом столбце." +
                                                kept}
                             << 1;
    QTest::newRow("one sheet") << "reservation_one_sheet.xlsx"
                               << QStringList{"Данные приняты.|Импорт завершен УСПЕШНО. Принято строк - 1.\n\nОбращаем "
                                              "Ваше внимание, что импорт из файла идет до первой пустой строки в "
                                              "графе Фамилия.",
                                              "Ошибка импорта.|Ошибка импорта - в файле нет второго листа с данными "
                                              "по НЕзабронированным ГПЗ." +
                                                  kept}
                               << 1;
}

void TestExcelImport::reservation_refusals_keep_tables()
{
    QFETCH(QString, file);
    QFETCH(QStringList, boxes);
    QFETCH(int, bron_rows);
    add_table_rows();
    ModalScript script({press("OK"), choose_file(data_file(file)), press("Принять"), press("OK"), press("Принять"),
                        press("OK"), press("Да")});
    run_reservation_import(script);
    QCOMPARE(QStringList({script.seen.value(3), script.seen.value(5)}), boxes);
    QCOMPARE(bron()->rowCount(), bron_rows);
    QCOMPARE(nebron()->rowCount(), 1);
    QCOMPARE(nebron()->index(0, nebron_pos::count).data().toInt(), 3);
    if (file == "reservation_empty.xlsx")
        QCOMPARE(bron()->index(0, bron_pos::full_name).data().toString(), "Старый И.И.");
}

void TestExcelImport::reservation_limit()
{
    ModalScript script({press("OK"), choose_file(data_file("reservation_long.xlsx")), press("Принять"), press("OK"),
                        press("Принять"), press("OK"), press("Да")});
    run_reservation_import(script);
    QCOMPARE(bron()->rowCount(), 1000);
    QCOMPARE(nebron()->rowCount(), 1000);
    QCOMPARE(bron()->index(999, bron_pos::full_name).data().toString(), "Фамилия 999");
    QVERIFY(script.seen.value(3).contains("Принято строк - 1000."));
}

void TestExcelImport::card_round_trip_after_import()
{
    if (!Archiver().found())
        QSKIP("7z is not installed");
    window->set_reservation(true);
    ModalScript balance_script({press(" Импорт из Excel "), press("Заменить все данные"),
                                choose_file(data_file("staff.xlsx")), press("Принять"), first_cell(0, 10, 2),
                                press("Принять"), first_cell(1, 10, 2), press("OK"), press("OK"), press("OK"),
                                press("OK"), press("OK"), press("Сложить"), press("OK"), press("Да")});
    run_balance_import(balance_script);
    ModalScript bron_script({press("OK"), choose_file(data_file("reservation.xlsx")), press("Принять"), press("OK"),
                             press("Принять"), press("OK"), press("Да")});
    run_reservation_import(bron_script);
    QCOMPARE(balance()->rowCount(), 6);

    const QVector<QString> main = window->collect_card_values();
    const QVector<QString> rows = window->collect_balance_rows();
    const QVector<QString> bron_rows = window->collect_bron_rows();
    const QVector<QString> nebron_rows = window->collect_nebron_rows();
    QCOMPARE(rows.size(), 6 * 10);
    QTemporaryDir dir;
    const QString path = dir.filePath("imported.quelt");
    {
        iexml writer;
        QVERIFY(writer.save_card(main, rows, bron_rows, nebron_rows, path, "imported.xml"));
    }
    iexml reader;
    const QVector<QString> main_back = reader.open_card(path);
    const QVector<QString> rows_back = reader.open_card("Getbalance");
    const QVector<QString> bron_back = reader.open_card("Getbron");
    const QVector<QString> nebron_back = reader.open_card("Getnebron");
    QCOMPARE(rows_back, rows);

    // The reopened card marks the two codes the classifier does not hold.
    ModalScript marks({press("OK"), press("OK")});
    Widget reopened;
    reopened.fill_from_card(main_back, rows_back, bron_back, nebron_back);
    QCOMPARE(reopened.collect_balance_rows(), rows);
    QCOMPARE(reopened.collect_bron_rows(), bron_rows);
    QCOMPARE(reopened.collect_nebron_rows(), nebron_rows);
    QCOMPARE(reopened.form()->sb_f6_all->value(), 120);
    QCOMPARE(reopened.form()->sb_b_all->value(), ui()->sb_b_all->value());
    QCOMPARE(marks.left(), 0);
    for (const QString &mark : marks.seen)
        QVERIFY2(mark.startsWith("Код должности НЕДЕЙСТВИТЕЛЕН!|"), qPrintable(mark));

    // The printed balance carries every imported position once; rows of unknown codes print their mark.
    const QString html = reopened.print_balance();
    const QAbstractItemModel *printed = reopened.form()->table_balance->model();
    int marks_shown = 0;
    for (int row = 0; row < printed->rowCount(); ++row) {
        const QString code = printed->index(row, balance::col_code).data().toString();
        QVERIFY2(code.isEmpty() || html.count(">" + code + "<") == 1, qPrintable(code));
        for (const int column : {balance::col_facet, balance::col_name})
            marks_shown += printed->index(row, column).data().toString().count("КОД НЕДЕЙСТВИТЕЛЕН");
    }
    QVERIFY(marks_shown > 0);
    QCOMPARE(html.count("КОД НЕДЕЙСТВИТЕЛЕН"), marks_shown);
}

QUELT_TEST_MAIN(TestExcelImport)
#include "tst_excel_import.moc"
