#include "excelimport/import_rules.h"

#include "balance/card_balance_row.h"

#include "excelimport/stored_workbook.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

namespace xls_import
{

namespace
{

int held_sum(int base, int value)
{
    return balance::f6_clamp(qint64(base) + value);
}

QString cell_text(Workbook &book, int sheet, int row, int column)
{
    return book.cell(sheet, row, column).toString();
}

} // namespace

int cell_int(const QVariant &value)
{
    if (value.userType() == QMetaType::Double || value.userType() == QMetaType::Float) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d >= double(std::numeric_limits<int>::max()) + 0.5 ||
            d <= double(std::numeric_limits<int>::min()) - 0.5)
            return 0;
    }
    return value.toInt();
}

QString blank_free(const QVariant &value)
{
    return value.toString().simplified().remove(QLatin1Char(' '));
}

int positive_or_zero(const QVariant &value)
{
    const int v = cell_int(value);
    return v > 0 ? v : 0;
}

FirstCell first_cell_outcome(bool accepted, int row, int column)
{
    if (!accepted)
        return FirstCell::skipped;
    return row > 0 && column > 0 ? FirstCell::import : FirstCell::bad_coordinates;
}

bool sheet_exists(int sheet, int sheet_count)
{
    return sheet >= 0 && sheet < sheet_count;
}

Form6Cells read_form6_cells(Workbook &book, int sheet, int row, int column, bool reserving)
{
    Form6Cells c;
    c.all = cell_int(book.cell(sheet, row, column));
    c.priziv = cell_int(book.cell(sheet, row, column + 1));
    c.of = cell_int(book.cell(sheet, row, column + 3));
    c.neof = cell_int(book.cell(sheet, row, column + 4));
    c.mp = cell_int(book.cell(sheet, row, column + 8));
    if (reserving) {
        c.bron_of = cell_int(book.cell(sheet, row, column + 6));
        c.bron_neof = cell_int(book.cell(sheet, row, column + 7));
    }
    return c;
}

balance::F6Figures merge_form6(const balance::F6Figures &current, const Form6Cells &cells, bool add_mode,
                               bool reserving)
{
    balance::F6Figures f = add_mode ? current : balance::F6Figures{};
    auto add = [](int &base, int v) {
        if (v > 0)
            base = held_sum(base, v);
    };
    add(f.all, cells.all);
    add(f.priziv, cells.priziv);
    add(f.of, cells.of);
    add(f.neof, cells.neof);
    add(f.mp, cells.mp);
    if (reserving) {
        add(f.bron_of, cells.bron_of);
        add(f.bron_neof, cells.bron_neof);
    }
    return f;
}

int balance_block_end(Workbook &book, int sheet, int first_row, int column)
{
    for (int n = first_row; n < first_row + balance_block_limit; ++n)
        if (cell_text(book, sheet, n, column).isEmpty())
            return n;
    return 0;
}

QVector<BalanceSourceRow> read_balance_rows(Workbook &book, int sheet, int first_row, int end_row, int column)
{
    QVector<BalanceSourceRow> rows;
    if (end_row <= first_row)
        return rows;
    rows.reserve(end_row - first_row);
    for (int r = first_row; r < end_row; ++r) {
        BalanceSourceRow s;
        s.sheet_row = r;
        if (column > 1)
            s.kind_text = blank_free(book.cell(sheet, r, column - 1));
        s.code = blank_free(book.cell(sheet, r, column));
        s.facet = blank_free(book.cell(sheet, r, column + 1));
        s.shtat = positive_or_zero(book.cell(sheet, r, column + 3));
        s.fact = positive_or_zero(book.cell(sheet, r, column + 4));
        s.mp = positive_or_zero(book.cell(sheet, r, column + 5));
        s.bron = positive_or_zero(book.cell(sheet, r, column + 6));
        s.treb = positive_or_zero(book.cell(sheet, r, column + 7));
        rows.append(s);
    }
    return rows;
}

int kind_code_for_text(const QString &kind_text)
{
    const QString letter = kind_text.left(1).toLower();
    if (letter == "в" || letter == "b" || letter == "и" || letter == "d")
        return 2;
    if (letter == "д" || letter == "l")
        return 3;
    if (letter == "п" || letter == "g")
        return 4;
    return 0;
}

ClassifierIndex::ClassifierIndex(const QVector<ClassifierRecord> &list) : records(list)
{
    by_code.reserve(records.size());
    for (int i = 0; i < records.size(); ++i)
        if (!by_code.contains(records[i].code))
            by_code.insert(records[i].code, i);
}

const ClassifierRecord *ClassifierIndex::find(const QString &code) const
{
    const auto it = by_code.constFind(code);
    return it == by_code.constEnd() ? nullptr : &records[*it];
}

QString refused_workbook_text(WorkbookLimit limit)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("Widget", text); };
    const auto mib = [](qint64 bytes) { return QString::number(bytes >> 20); };
    const QString entries = QString::number(workbook_limits::max_list_entries);
    QString what;
    switch (limit) {
    case WorkbookLimit::none:
        break;
    case WorkbookLimit::memory_budget:
        what = tr("ячейки и тексты книги занимают больше %1 МБ").arg(mib(workbook_limits::max_stored_bytes));
        break;
    case WorkbookLimit::part_size:
        what = tr("одна из частей книги после распаковки больше %1 МБ").arg(mib(workbook_limits::max_member_bytes));
        break;
    case WorkbookLimit::unpacked_size:
        what = tr("распакованные данные книги больше %1 ГБ").arg(workbook_limits::max_workbook_bytes >> 30);
        break;
    case WorkbookLimit::file_size:
        what = tr("файл .xls больше %1 МБ").arg(mib(workbook_limits::max_xls_bytes));
        break;
    case WorkbookLimit::sheet_count:
        what = tr("в книге больше %1 листов").arg(entries);
        break;
    case WorkbookLimit::format_count:
        what = tr("в книге больше %1 форматов ячеек").arg(entries);
        break;
    case WorkbookLimit::relationship_count:
        what = tr("в книге больше %1 связей между частями").arg(entries);
        break;
    case WorkbookLimit::markup_length:
        what = tr("строка разметки книги длиннее %1 МБ").arg(mib(workbook_limits::max_markup_bytes));
        break;
    case WorkbookLimit::nesting_depth:
        what = tr("вложенность разметки книги глубже %1 уровней").arg(workbook_limits::max_nesting_depth);
        break;
    }
    const QString stopped = tr("Импорт остановлен, данные программы не изменены.");
    if (what.isEmpty())
        return tr("Не удалось прочитать выбранный файл как книгу Excel: файл поврежден, защищен паролем или не "
                  "является книгой Excel.\n") +
               stopped;
    return tr("Книга Excel слишком велика для импорта: %1.\n").arg(what) + stopped;
}

QString unknown_position_marker()
{
    return balance::invalid_code_text();
}

QString unknown_facet_marker()
{
    return QCoreApplication::translate("Widget", "!!! --- КОД НЕ НАЙДЕН --- !!!");
}

ImportedBalanceRow import_balance_row(const BalanceSourceRow &source, const ClassifierIndex &positions,
                                      const ClassifierIndex &facets, const balance::RowOptions &options)
{
    using namespace balance;
    ImportedBalanceRow result;
    BalanceRow &row = result.row;
    row.cells[col_kind] = kind_word(1);
    row.cells[col_kind_code] = "1";

    row.cells[col_code] = source.code;
    if (const ClassifierRecord *found = positions.find(source.code)) {
        row.cells[col_name] = found->name;
        row.cells[col_cat_code] = found->sort;
        const QString &sort = found->sort;
        if (sort.size() == 1 && sort[0] >= QLatin1Char('1') && sort[0] <= QLatin1Char('4'))
            row.cells[col_category] = category_word(sort[0].unicode() - '0');
    }
    if (row.cells[col_name].isEmpty()) {
        row.cells[col_name] = unknown_position_marker();
        result.unknown_code = true;
    }

    if (const int kind = kind_code_for_text(source.kind_text)) {
        row.cells[col_kind] = kind_word(kind);
        row.cells[col_kind_code] = QString::number(kind);
    }

    if (!source.facet.isEmpty()) {
        if (const ClassifierRecord *found = facets.find(source.facet)) {
            row.cells[col_facet] = found->name;
            row.cells[col_facet_code] = source.facet;
        }
        if (row.cells[col_facet].isEmpty()) {
            row.cells[col_facet] = unknown_facet_marker();
            row.cells[col_facet_code].clear();
            result.unknown_facet = true;
        }
    }
    row.cells[col_key] = row_key(row);

    // Column 6 holds source.shtat once written: no later write touches it.
    const int treb = source.treb > 0 ? source.treb : source.shtat;
    write_figures(row,
                  {{col_shtat, source.shtat},
                   {col_fact, source.fact},
                   {col_mp, source.mp},
                   {col_bron, source.bron},
                   {col_treb, treb},
                   {col_vnutr_ist, 0}},
                  options);
    result.shows_treb = source.treb > 0 && row.figure(col_treb) != row.figure(col_shtat);
    return result;
}

QVector<BronRow> read_bron_rows(Workbook &book, int sheet)
{
    QVector<BronRow> rows;
    for (int n = 0; n < reservation_row_limit; ++n) {
        const int r = reservation_first_row + n;
        BronRow row;
        row.surname = cell_text(book, sheet, r, 4);
        if (row.surname.isEmpty())
            break;
        row.order = cell_text(book, sheet, r, 3);
        rows.append(row);
    }
    return rows;
}

QVector<NebronRow> read_nebron_rows(Workbook &book, int sheet)
{
    QVector<NebronRow> rows;
    for (int n = 0; n < reservation_row_limit; ++n) {
        const int r = reservation_first_row + n;
        const QString count = cell_text(book, sheet, r, 1);
        if (count.isEmpty())
            break;
        NebronRow row;
        row.count = count.toInt(nullptr, 10);
        row.reason = cell_text(book, sheet, r, 2);
        row.extra = cell_text(book, sheet, r, 3);
        rows.append(row);
    }
    return rows;
}

} // namespace xls_import
