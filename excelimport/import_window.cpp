// The Excel import commands of the staff and reservation pages: the boxes, the first-cell dialog and the
// writes into the form. What is read and how it is looked up lives in import_rules.
#include "mainwindow/widget.h"
#include "ui_widget.h"

#include "balance/balance_model_io.h"
#include "balance/row_fault_boxes.h"
#include "cardfile/card_lists.h"
#include "excelimport/import_rules.h"
#include "excelimport/workbook.h"
#include "widgets/message_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

using namespace balance;
using namespace xls_import;

namespace
{

QString no_sheets_text()
{
    return QObject::tr("Ошибка импорта - листы с данными не найдены.");
}

QString unknown_code_title()
{
    return QObject::tr("Код должности недействителен!");
}

QString unknown_facet_title()
{
    return QObject::tr("Код фасета недействителен!");
}

} // namespace

void Widget::paste_xls(int sheet, int stroka, int stolbets)
{
    xls_sheet = sheet;
    xls_row = stroka;
    xls_col = stolbets;
}

// ---- workbook connection ----

QString Widget::choose_workbook_file(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, tr("Выберите файл..."), QDir::homePath(),
                                        tr("Excel (*.xls *.xlsx *.xlsm)"));
}

std::unique_ptr<Workbook> Widget::open_workbook_connection(const QString &path, QString *refusal)
{
    WorkbookLimit limit = WorkbookLimit::none;
    std::unique_ptr<Workbook> book = Workbook::open(path, nullptr, &limit);
    if (!book)
        *refusal = refused_workbook_text(limit);
    return book;
}

void Widget::close_workbook_connection(std::unique_ptr<Workbook> &book)
{
    MessageSetup setup;
    setup.icon = QMessageBox::Information;
    setup.title = tr("Импорт завершен");
    setup.text = tr("Программа Excel будет выгружена из памяти.\nРекомендуемый выбор - Да.");
    setup.buttons = QMessageBox::Save | QMessageBox::Cancel;
    setup.labels.append({QMessageBox::Save, tr("Да")});
    setup.labels.append({QMessageBox::Cancel, tr("Отмена")});
    setup.default_button = QMessageBox::Save;
    setup.on_top = true;
    run_message(msg_box, setup);
    // Nothing of ours may stay open or hold the file, whatever the answer.
    if (book)
        book->close();
    book.reset();
}

// ---- boxes ----

void Widget::show_import_notice(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    MessageSetup setup;
    setup.icon = icon;
    setup.title = title;
    setup.text = text;
    setup.buttons = QMessageBox::Ok;
    setup.on_top = true;
    run_message(msg_box, setup);
}

int Widget::ask_import_question(const QString &text, QMessageBox::StandardButton default_button)
{
    MessageSetup setup;
    setup.icon = QMessageBox::Question;
    setup.title = tr("Импорт из файла");
    setup.text = text;
    setup.buttons = QMessageBox::Save | QMessageBox::Cancel;
    setup.labels.append({QMessageBox::Save, tr("Принять")});
    setup.labels.append({QMessageBox::Cancel, tr("Пропустить")});
    setup.default_button = default_button;
    setup.on_top = true;
    return run_message(msg_box, setup);
}

FirstCell Widget::ask_first_cell(bool f6, const QStringList &sheets)
{
    xls_row = 1;
    xls_col = 1;
    xls_sheet = 0;
    xls_dialog.set_sheets(f6, sheets);
    // The dialog's OK stores the choice in xls_row and xls_col while exec() runs.
    const bool accepted = xls_dialog.exec() == QDialog::Accepted;
    const FirstCell outcome = first_cell_outcome(accepted, xls_row, xls_col);
    if (outcome == FirstCell::bad_coordinates)
        show_notice(QMessageBox::Critical, tr("Ошибка 20001!"), tr("Введены недопустимые координаты."));
    return outcome;
}

// ---- the balance import command ----

void Widget::on_pb_import_xls_clicked()
{
    MessageSetup setup;
    setup.icon = QMessageBox::Question;
    setup.title = tr("Импорт Баланса");
    setup.text =
        tr("Выберите источник.\n\nПеред импортом рекомендуем Вам сохранить уже введенные данные во временный файл, "
           "используя кнопку ''Сохранить данные'' на этой форме.\n\n''Импорт из Excel'' позволяет принять сведения из "
           "любого Excel-файла, однако важно, чтобы структура данных была в соответствии с шаблоном, расположенным в "
           "папке ПО ''Морвель'' (") +
        QCoreApplication::applicationDirPath() +
        tr(").\nТакже эта функция позволяет как складывать данные по Балансу из разных файлов, так и полностью "
           "заменить текущие данные в программе сведениями из файла.");
    setup.buttons = QMessageBox::Ok | QMessageBox::SaveAll | QMessageBox::Open;
    setup.labels.append({QMessageBox::Ok, tr(" Импорт из Excel ")});
    setup.labels.append({QMessageBox::SaveAll, tr(" Сохранить данные ")});
    setup.labels.append({QMessageBox::Open, tr(" Отмена ")});
    setup.default_button = QMessageBox::Ok;
    const int answer = run_message(msg_box, setup);
    if (answer == QMessageBox::Ok)
        import_excel();
    else if (answer == QMessageBox::SaveAll)
        save_to_temp();
}

void Widget::import_excel()
{
    MessageSetup setup;
    setup.icon = QMessageBox::Question;
    setup.title = tr("Импорт из файла");
    setup.text = tr("Перед импортом из файла рекомендуем закрыть программу Excel, если она запущена.\n\nНа "
                    "следующем шаге Вам будет предложено выбрать файл Excel, из которого вы хотели бы "
                    "импортировать данные. А пока выберите, пожалуйста, метод импорта - желаете ли Вы сложить "
                    "данные по Балансу из файла с уже введенными в программу ЦВЕЛТ или нет?");
    setup.buttons = QMessageBox::Save | QMessageBox::Cancel;
    setup.labels.append({QMessageBox::Save, tr("Сложить данные")});
    setup.labels.append({QMessageBox::Cancel, tr("Заменить все данные")});
    setup.default_button = QMessageBox::Cancel;
    setup.on_top = true;
    const bool add_mode = run_message(msg_box, setup) == QMessageBox::Save;

    const QString path = choose_workbook_file(this);
    if (path.isEmpty()) {
        show_notice(QMessageBox::Critical, tr("Ошибка 10001!"),
                    tr("Нажата кнопка ''Отмена'' или произошла ошибка обработки пути к файлу."));
        return;
    }

    progress_window.clear_source();
    progress_window.set_title(tr("Открываем Excel, пожалуйста, подождите..."));
    progress_window.show();
    QString refusal;
    std::unique_ptr<Workbook> book = open_workbook_connection(path, &refusal);
    const QStringList sheet_names = book ? book->sheet_names() : QStringList();
    progress_window.close();

    if (!book) {
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."), refusal);
        return;
    }
    if (sheet_names.isEmpty()) {
        book->close();
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."), no_sheets_text());
        return;
    }

    import_form6_figures(*book, sheet_names, add_mode);
    if (reserving())
        import_balance(*book, sheet_names, add_mode);
    close_workbook_connection(book);
}

// The opening of one part: its question, then the first-cell dialog. True when the part goes on with a sheet
// that exists; every other way out has shown its box.
bool Widget::start_import_part(const QString &question, bool f6, const QStringList &sheet_names,
                               const QString &skip_title, const QString &skip_text)
{
    const int answer = ask_import_question(question, QMessageBox::Save);
    if (answer == QMessageBox::Cancel)
        show_import_notice(QMessageBox::Information, skip_title, skip_text);
    if (answer != QMessageBox::Save)
        return false;

    const FirstCell outcome = ask_first_cell(f6, sheet_names);
    if (outcome == FirstCell::skipped)
        show_import_notice(QMessageBox::Information, skip_title, skip_text);
    if (outcome != FirstCell::import)
        return false;
    if (!sheet_exists(xls_sheet, sheet_names.size())) {
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."), no_sheets_text());
        return false;
    }
    return true;
}

// ---- Form 6 figures ----

void Widget::import_form6_figures(Workbook &book, const QStringList &sheet_names, bool add_mode)
{
    if (!start_import_part(tr("Желаете принять общие сведения о работающих из файла?"), true, sheet_names,
                           tr("Импорт отменен."), tr("Выбрано значение - пропустить импорт общих сведений.")))
        return;

    const bool reserving = Widget::reserving();
    const Form6Cells cells = read_form6_cells(book, xls_sheet, xls_row, xls_col, reserving);
    if (cells.all <= 0) {
        show_notice(QMessageBox::Critical, tr("Ошибка 20002!"),
                    tr("По указанным координатам не обнаруженно числовых значений, импорт общих данных остановлен. "
                       "Возможно вы используете старый шаблон, выпущенный ранее 01.09.2025 года."));
        return;
    }

    const F6Figures merged = merge_form6(form6_figures(), cells, add_mode, reserving);

    if (!add_mode)
        for (nSpinBox *box : {ui->sb_f6_all, ui->sb_f6_priziv, ui->sb_f6_of, ui->sb_f6_neof, ui->sb_f6_bron_of,
                              ui->sb_f6_bron_neof, ui->sb_f6_mp})
            box->setValue(0);
    ui->sb_f6_all->setValue(merged.all);
    ui->sb_f6_priziv->setValue(merged.priziv);
    ui->sb_f6_of->setValue(merged.of);
    ui->sb_f6_neof->setValue(merged.neof);
    ui->sb_f6_mp->setValue(merged.mp);
    if (reserving) {
        ui->sb_f6_bron_of->setValue(merged.bron_of);
        ui->sb_f6_bron_neof->setValue(merged.bron_neof);
    }
}

// ---- balance rows ----

void Widget::import_balance(Workbook &book, const QStringList &sheet_names, bool add_mode)
{
    QString question = tr("Желаете принять данные по Балансу из файла?");
    if (!add_mode)
        question += tr("\n\nВнимание! Ранее введенные данные на вкладке Баланс программы ''Морвель'' будут удалены.");
    if (!start_import_part(question, false, sheet_names, tr("Импорт Баланса отменен."),
                           tr("Выбрано значение - пропустить импорт Баланса.")))
        return;

    const int first_row = xls_row;
    const int column = xls_col;
    const int end_row = balance_block_end(book, xls_sheet, first_row, column);
    if (end_row == first_row || end_row == 0) {
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."),
                           tr("Ошибка импорта Баланса из файла - первая указанная строка не содержит кода должности "
                              "в столбце ") +
                               QString::number(column));
        return;
    }
    show_import_notice(QMessageBox::Information, tr("Количество строк."),
                       tr("Импорт баланса идет до первой незаполненной строки в столбце ") + QString::number(column) +
                           tr(" (код должности).\nПо этому принципу в выбранном файле импорт будет идти до строки "
                              "номер ") +
                           QString::number(end_row - 1) + tr(" включительно."));

    import_balance_rows(book, xls_sheet, first_row, end_row, column, add_mode);

    show_import_notice(QMessageBox::Information, tr("Баланс принят."),
                       tr("Импорт Баланса завершен. Принято строк - ") + QString::number(end_row - first_row) +
                           tr(".\n\nОбращаем Ваше внимание, что с 2019 года категории должностей и профессий "
                              "автоматически заполняются в Балансе в соответствии с тем, как это определено в "
                              "классификаторе ОКПДТР ОК 016-94."));
    if (balance_model->rowCount() >= 2)
        summ_same();
}

void Widget::import_balance_rows(Workbook &book, int sheet, int first_row, int end_row, int column, bool add_mode)
{
    const QVector<BalanceSourceRow> source = read_balance_rows(book, sheet, first_row, end_row, column);
    if (source.isEmpty())
        return;

    // The classifiers as the pickers hold them since start-up, looked up by code.
    const ClassifierIndex positions(classifier_records(classifier_file::positions));
    ClassifierIndex facets;
    if (std::any_of(source.begin(), source.end(), [](const BalanceSourceRow &s) { return !s.facet.isEmpty(); }))
        facets = ClassifierIndex(classifier_records(classifier_file::facets));

    if (!add_mode)
        balance_model->removeRows(0, balance_model->rowCount());

    progress_window.clear_source();
    progress_window.set_title(tr("Заполнение Баланса ТР"));
    const float step = 100.0f / float(source.size());
    float accumulated = 0;
    progress_window.show();
    progress_window.set_procent(0);

    // The row arithmetic runs in the core, as the change handler would run it cell by cell; the finished
    // rows go into the table at the end. A sheet full of unknown codes boxes the first few rows of each fault;
    // the rest are named once at the end.
    RowFaultBoxes unknown_codes(RowFault::position_code);
    RowFaultBoxes unknown_facets(RowFault::facet_code);
    QVector<BalanceRow> rows;
    rows.reserve(source.size());
    RowOptions options;
    for (const BalanceSourceRow &s : source) {
        options.mobilisation_staff_column = ui->checkBox_balance_voenshtat->checkState() != Qt::Unchecked;
        ImportedBalanceRow imported = import_balance_row(s, positions, facets, options);
        rows.append(std::move(imported.row));
        if (imported.unknown_code && unknown_codes.own_box(s.sheet_row))
            show_notice(QMessageBox::Critical, unknown_code_title(),
                        tr("В Балансе в строке ") + QString::number(s.sheet_row) +
                            tr(" обнаружен недействительный код должности (данного кода нет в ОКПДТР, он был изменен "
                               "или аннулирован).\nСтрока будет импортирована с соответствующей пометкой - "
                               "пожалуйста, проверьте коды и наименования должностей на вкладке Баланс после "
                               "завершения импорта."));
        if (imported.unknown_facet && unknown_facets.own_box(s.sheet_row))
            show_notice(QMessageBox::Critical, unknown_facet_title(),
                        tr("В Балансе в строке ") + QString::number(s.sheet_row) +
                            tr(" обнаружен недействительный код фасета.\nСтрока будет импортирована с "
                               "соответствующей пометкой - пожалуйста, проверьте фасеты на вкладке Баланс после "
                               "завершения импорта."));
        if (imported.shows_treb)
            ui->checkBox_balance_voenshtat->setCheckState(Qt::Checked);

        accumulated += step;
        progress_window.set_procent(int(accumulated));
    }

    // Sorted by the key as the sort button sorts; an empty table takes the rows in that order at once.
    if (balance_model->rowCount() == 0) {
        sort_rows(rows);
        append_balance_rows(rows);
    } else {
        // The item model's own sort leaves its row look-ups stale, which makes emptying a big table later
        // take seconds: the rows move row by row.
        append_balance_rows(rows);
        rows = rows_from_model(*balance_model);
        sort_rows(rows);
        replace_rows_in_model(*balance_model, rows);
    }
    show_every_total(rows);
    progress_window.close();
    update();
    const QString folded_codes = unknown_codes.closing_text();
    if (!folded_codes.isEmpty())
        show_notice(QMessageBox::Critical, unknown_code_title(), folded_codes);
    const QString folded_facets = unknown_facets.closing_text();
    if (!folded_facets.isEmpty())
        show_notice(QMessageBox::Critical, unknown_facet_title(), folded_facets);
}

// ---- reservation tables ----

void Widget::on_import_bron_clicked()
{
    show_notice(QMessageBox::Information, tr("Уведомление."),
                tr("Перед импортом из файла рекомендуем закрыть программу Excel, если она запущена. На следующем шаге "
                   "Вам будет предложено выбрать файл Excel, из которого вы хотели бы импортировать данные.\n\nДля "
                   "импорта пригодны только файлы, сделанные по шаблону - Забронировано ГПЗ.xlsx, доступному в папке "
                   "программы ЦВЕЛТ (") +
                    QCoreApplication::applicationDirPath() + ")");

    const QString path = choose_workbook_file(this);
    if (path.isEmpty()) {
        show_notice(QMessageBox::Information, tr("Ошибка 10001!"),
                    tr("Нажата кнопка ''Отмена'' или произошла ошибка обработки пути к файлу."));
        return;
    }
    QString refusal;
    std::unique_ptr<Workbook> book = open_workbook_connection(path, &refusal);
    if (!book) {
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."), refusal);
        return;
    }
    const int sheet_count = book->sheet_names().size();
    if (sheet_count <= 0) {
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."), no_sheets_text());
        close_workbook_connection(book);
        return;
    }

    import_bron_sheet(*book);
    import_nebron_sheet(*book, sheet_count);
    close_workbook_connection(book);
}

// One reservation sheet, when the user takes it: fill() puts the sheet's rows into the table and returns how many;
// it leaves the table alone when the sheet holds none. stop_place names the column whose first empty cell ends it.
void Widget::import_reservation_sheet(const QString &question, const QString &missing_sheet_text,
                                      const QString &stop_place, const std::function<int()> &fill)
{
    const QString kept_text = tr("\nРанее введенные данные сохранены.");
    if (ask_import_question(question, QMessageBox::Cancel) != QMessageBox::Save) {
        show_import_notice(QMessageBox::Information, tr("Импорт отменен."),
                           tr("Выбрано значение - пропустить импорт."));
        return;
    }
    if (!missing_sheet_text.isEmpty()) {
        show_import_notice(QMessageBox::Critical, tr("Ошибка импорта."), missing_sheet_text + kept_text);
        return;
    }
    const int taken = fill();
    if (taken == 0) {
        // The clerk's rows stay when the sheet gave nothing.
        show_import_notice(QMessageBox::Information, tr("Данные не приняты."),
                           tr("В файле не найдено ни одной строки с данными: импорт идет с третьей строки до "
                              "первой пустой строки ") +
                               stop_place + "." + kept_text);
        return;
    }
    show_import_notice(QMessageBox::Information, tr("Данные приняты."),
                       tr("Импорт завершен УСПЕШНО. Принято строк - ") + QString::number(taken) +
                           tr(".\n\nОбращаем Ваше внимание, что импорт из файла идет до первой пустой строки ") +
                           stop_place + ".");
}

// The reserved staff from the first sheet.
void Widget::import_bron_sheet(Workbook &book)
{
    import_reservation_sheet(
        tr("Желаете принять данные по забронированным ГПЗ из файла?\n\nИмпорт будет "
           "производиться с первого листа, начиная с третьей строки первого столбца."),
        QString(), tr("в графе Фамилия"), [&] {
            const QVector<BronRow> rows = read_bron_rows(book, 0);
            if (!rows.isEmpty())
                bron_model->removeRows(0, bron_model->rowCount());
            for (int n = 0; n < rows.size(); ++n) {
                on_add_bron_clicked();
                bron_model->setData(bron_model->index(n, bron_pos::full_name), rows[n].surname, Qt::EditRole);
                bron_model->setData(bron_model->index(n, bron_pos::order), rows[n].order, Qt::EditRole);
            }
            return rows.size();
        });
}

// The staff not reserved from the second sheet.
void Widget::import_nebron_sheet(Workbook &book, int sheet_count)
{
    const QString missing_sheet =
        sheet_count < 2 ? tr("Ошибка импорта - в файле нет второго листа с данными по НЕзабронированным ГПЗ.")
                        : QString();
    import_reservation_sheet(
        tr("Желаете принять данные по НЕзабронированным ГПЗ из файла?\n\nИмпорт будет "
           "производиться со второго листа, начиная с третьей строки первого столбца."),
        missing_sheet, tr("в первом столбце"), [&] {
            const QVector<NebronRow> rows = read_nebron_rows(book, 1);
            if (!rows.isEmpty())
                nebron_model->removeRows(0, nebron_model->rowCount());
            for (int n = 0; n < rows.size(); ++n) {
                on_add_nebron_clicked();
                nebron_model->setData(nebron_model->index(n, nebron_pos::count), rows[n].count, Qt::EditRole);
                nebron_model->setData(nebron_model->index(n, nebron_pos::reason), rows[n].reason, Qt::EditRole);
                nebron_model->setData(nebron_model->index(n, nebron_pos::extra), rows[n].extra, Qt::EditRole);
            }
            return rows.size();
        });
}
