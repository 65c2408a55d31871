#include "balance/balance_rules.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>

namespace balance
{

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("Widget", text);
}

// Figures come from the editor (0..99999) but also from workbooks and card files; sums are
// taken in 64 bits and held at the int range instead of wrapping.
int saturate(qint64 value)
{
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

int positive_or_zero(qint64 value)
{
    return value > 0 ? saturate(value) : 0;
}

// The value of `text` when it is exactly the form QString::number() gives an int ("0", "-12", no leading
// zeros or blanks): such a text equals QString::number(v) only for that v.
bool plain_int(const QString &text, int *value)
{
    const int size = text.size();
    if (size == 0 || size > 11)
        return false;
    const QChar *c = text.constData();
    const bool negative = c[0] == QLatin1Char('-');
    const int first = negative ? 1 : 0;
    if (first == size)
        return false;
    if (c[first] == QLatin1Char('0')) {
        if (size != 1)
            return false;
        *value = 0;
        return true;
    }
    qint64 v = 0;
    for (int i = first; i < size; ++i) {
        if (c[i] < QLatin1Char('0') || c[i] > QLatin1Char('9'))
            return false;
        v = v * 10 + (c[i].unicode() - '0');
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    *value = int(v);
    return true;
}

// `text` as a whole number, empty or non-numeric text giving 0; `plain` tells whether the text is
// QString::number() of the value.
int figure_of_text(const QString &text, bool *plain)
{
    int value = 0;
    *plain = plain_int(text, &value);
    if (*plain)
        return value;
    bool ok = false;
    value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

// One ripple through a row: writes that change something run their column's branch at once. The figures are
// held as ints while the ripple runs; the texts of the written cells are set once, by finish().
class RowArithmetic
{
public:
    RowArithmetic(BalanceRow &row, const RowOptions &options, bool gather) : row(row), options(options), gather(gather)
    {
    }

    void write(int column, int value)
    {
        Figure &cell = figure_of(column);
        if (cell.plain && cell.value == value)
            return;
        cell.value = value;
        cell.plain = true;
        cell.written = true;
        note(column, changed_cells, cell_count, cell_seen);
        run_branch(column);
    }

    void mark(int column, Mark mark)
    {
        if (row.marks[column] == mark)
            return;
        row.marks[column] = mark;
        note(column, changed_marks, mark_count, mark_seen);
        run_branch(column);
    }

    void run_branch(int column)
    {
        switch (column) {
        case col_shtat:
            if (options.mobilisation_staff_column)
                calc_nekomplekt();
            else
                write(col_treb, f(col_shtat));
            break;
        case col_treb:
            calc_nekomplekt();
            calc_izbytok();
            totals |= total_treb;
            break;
        case col_fact:
            totals |= total_fact;
            write(col_ubyl, natural_loss(f(col_fact)));
            calc_nekomplekt();
            calc_izbytok();
            mark_balance_errors();
            break;
        case col_mp:
            totals |= total_mp;
            calc_nekomplekt();
            calc_izbytok();
            mark_balance_errors();
            break;
        case col_bron:
            totals |= total_bron;
            mark_balance_errors();
            break;
        case col_dop_potr:
            if (f(col_dop_potr) == 0)
                write(col_vnutr_ist, 0);
            write(col_vnesh_ist, positive_or_zero(qint64(f(col_dop_potr)) - f(col_vnutr_ist)));
            mark_internal_sources();
            break;
        case col_vnutr_ist:
            write(col_vnesh_ist, positive_or_zero(qint64(f(col_dop_potr)) - f(col_vnutr_ist)));
            totals |= total_vnutr;
            mark_internal_sources();
            break;
        default:
            break;
        }
    }

    // Sets the texts of the written cells and gives what the ripple did.
    RowEffects finish()
    {
        for (int column = 0; column < column_count; ++column)
            if (figures[column].written)
                row.cells[column] = QString::number(figures[column].value);
        RowEffects effects;
        if (gather) {
            effects.changed_cells = QVector<int>(changed_cells.begin(), changed_cells.begin() + cell_count);
            effects.changed_marks = QVector<int>(changed_marks.begin(), changed_marks.begin() + mark_count);
        }
        effects.totals = totals;
        return effects;
    }

private:
    // A cell's figure as the ripple sees it.
    struct Figure {
        bool read = false;
        bool plain = false;   // the text is QString::number(value)
        bool written = false; // the text is to be set at the end
        int value = 0;        // the text as a whole number (BalanceRow::figure)
    };

    BalanceRow &row;
    const RowOptions &options;
    const bool gather;
    std::array<Figure, column_count> figures{};
    std::array<int, column_count> changed_cells{};
    std::array<int, column_count> changed_marks{};
    int cell_count = 0;
    int mark_count = 0;
    quint32 cell_seen = 0;
    quint32 mark_seen = 0;
    unsigned totals = total_none;

    Figure &figure_of(int column)
    {
        Figure &cell = figures[column];
        if (!cell.read) {
            cell.read = true;
            cell.value = figure_of_text(row.cells[column], &cell.plain);
        }
        return cell;
    }

    void note(int column, std::array<int, column_count> &order, int &count, quint32 &seen)
    {
        if (seen & (1u << column))
            return;
        seen |= 1u << column;
        order[count++] = column;
    }

    int f(int column) { return figure_of(column).value; }
    bool is_empty(int column) const { return !figures[column].written && row.cells[column].isEmpty(); }

    void calc_nekomplekt()
    {
        if (is_empty(col_shtat) || is_empty(col_fact))
            return;
        write(col_nekomplekt, positive_or_zero(qint64(f(col_shtat)) - f(col_fact)));
        write(col_posle_vybyt, positive_or_zero(qint64(f(col_fact)) + f(col_nekomplekt) - f(col_ubyl) - f(col_mp)));
        if (is_empty(col_treb))
            return;
        write(col_dop_potr, positive_or_zero(qint64(f(col_treb)) - f(col_posle_vybyt)));
    }

    void calc_izbytok()
    {
        write(col_izbytok, positive_or_zero(qint64(f(col_fact)) - f(col_ubyl) - f(col_mp) - f(col_treb)));
    }

    void mark_balance_errors()
    {
        const qint64 mp = f(col_mp);
        const qint64 bron = f(col_bron);
        const qint64 fact = f(col_fact);
        const Mark m = fact < mp + bron ? Mark::red : Mark::clear;
        mark(col_fact, m);
        mark(col_mp, m);
        mark(col_bron, m);
    }

    void mark_internal_sources() { mark(col_vnutr_ist, f(col_vnutr_ist) > f(col_dop_potr) ? Mark::red : Mark::clear); }
};

} // namespace

int BalanceRow::figure(int column) const
{
    bool plain = false;
    return figure_of_text(cells[column], &plain);
}

QString row_key(const BalanceRow &row)
{
    return row_key(row.cells[col_kind_code], row.cells[col_cat_code], row.cells[col_code], row.cells[col_facet_code]);
}

QString row_key(const QString &kind_code, const QString &category_code, const QString &position_code,
                const QString &facet_code)
{
    return kind_code + category_code + position_code + facet_code;
}

namespace
{

// The code 1..4 whose word is `word`, or 0.
int code_of_word(const QString &word, QString (*word_of)(int))
{
    for (int code = 1; code <= 4; ++code) {
        if (word == word_of(code))
            return code;
    }
    return 0;
}

} // namespace

int category_code(const QString &word)
{
    return code_of_word(word, category_word);
}

int kind_code(const QString &word)
{
    return code_of_word(word, kind_word);
}

QString category_word(int category_code)
{
    switch (category_code) {
    case 1:
        return tr("Руководители");
    case 2:
        return tr("Специалисты");
    case 3:
        return tr("Служащие");
    case 4:
        return tr("Рабочие");
    default:
        return QString();
    }
}

QString kind_word(int kind_code)
{
    switch (kind_code) {
    case 1:
        return tr("Основное");
    case 2:
        return tr("Вспомогательное");
    case 3:
        return tr("Др.службы");
    case 4:
        return tr("Пр.рабочие");
    default:
        return QString();
    }
}

int natural_loss(int actual_staff)
{
    // The double product truncated, never rounded: 999 -> 0, 1999 -> 1.
    return int(actual_staff * 0.001);
}

void RowEffects::merge(const RowEffects &other)
{
    for (int c : other.changed_cells)
        if (!changed_cells.contains(c))
            changed_cells.append(c);
    for (int c : other.changed_marks)
        if (!changed_marks.contains(c))
            changed_marks.append(c);
    totals |= other.totals;
}

RowEffects apply_cell_change(BalanceRow &row, int column, const RowOptions &options)
{
    RowArithmetic arithmetic(row, options, true);
    if (column >= 0 && column < column_count)
        arithmetic.run_branch(column);
    return arithmetic.finish();
}

RowEffects write_figure(BalanceRow &row, int column, int value, const RowOptions &options)
{
    RowArithmetic arithmetic(row, options, true);
    if (column >= 0 && column < column_count)
        arithmetic.write(column, value);
    return arithmetic.finish();
}

void write_figures(BalanceRow &row, std::initializer_list<std::pair<int, int>> figures, const RowOptions &options)
{
    RowArithmetic arithmetic(row, options, false);
    for (const auto &figure : figures)
        if (figure.first >= 0 && figure.first < column_count)
            arithmetic.write(figure.first, figure.second);
    arithmetic.finish();
}

RowEffects copy_shtat_to_treb(QVector<BalanceRow> &rows, const RowOptions &options)
{
    RowEffects all;
    for (BalanceRow &row : rows)
        all.merge(write_figure(row, col_treb, row.figure(col_shtat), options));
    return all;
}

RowEffects clear_vnutr_ist(QVector<BalanceRow> &rows, const RowOptions &options)
{
    RowEffects all;
    for (BalanceRow &row : rows)
        all.merge(write_figure(row, col_vnutr_ist, 0, options));
    return all;
}

CategoryTotals category_totals(const QVector<BalanceRow> &rows, int column, bool positive_only)
{
    qint64 sums[4] = {0, 0, 0, 0};
    for (const BalanceRow &row : rows) {
        const int v = row.figure(column);
        if (positive_only && v <= 0)
            continue;
        const int category = row.figure(col_cat_code);
        if (category >= 1 && category <= 4)
            sums[category - 1] += v;
    }
    CategoryTotals t;
    t.ruk = saturate(sums[0]);
    t.specialists = saturate(sums[1]);
    t.slug = saturate(sums[2]);
    t.rab = saturate(sums[3]);
    t.all = saturate(sums[0] + sums[1] + sums[2] + sums[3]);
    return t;
}

int summ_mp(const QVector<BalanceRow> &rows)
{
    qint64 sum = 0;
    for (const BalanceRow &row : rows)
        sum += row.figure(col_mp);
    return saturate(sum);
}

void sort_rows(QVector<BalanceRow> &rows)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const BalanceRow &a, const BalanceRow &b) { return a.cells[col_key] < b.cells[col_key]; });
}

BalanceCheckResult check_balance_table(QVector<BalanceRow> &rows, const BalanceCheckFigures &figures,
                                       const RowOptions &options)
{
    BalanceCheckResult result;
    if (rows.isEmpty()) {
        result.fault = BalanceFault::no_rows;
        return result;
    }

    if (rows.size() >= 2) {
        sort_rows(rows);
        for (int i = 0; i + 1 < rows.size(); ++i) {
            if (rows[i].cells[col_key] == rows[i + 1].cells[col_key]) {
                result.fault = BalanceFault::repeated_key;
                result.duplicate_row = i;
                result.duplicate_text = duplicate_key_text(i + 1, i + 2);
                return result;
            }
        }
    }

    for (int i = 0; i < rows.size(); ++i) {
        BalanceRow &row = rows[i];
        const QString &code = row.cells[col_code];
        if (code.isEmpty() || code == QLatin1String("0")) {
            result.fault = BalanceFault::no_code_or_name;
            return result;
        }
        const QString &name = row.cells[col_name];
        if (name.isEmpty() || name.startsWith(QLatin1Char('!'))) {
            result.fault = BalanceFault::no_code_or_name;
            return result;
        }
        for (int column : {col_fact, col_mp, col_bron, col_treb}) {
            if (row.is_empty(column)) {
                result.fault = BalanceFault::empty_cell;
                return result;
            }
        }
        if (row.is_empty(col_vnutr_ist)) {
            write_figure(row, col_vnutr_ist, 0, options);
            result.vnutr_filled.append(i);
        }
    }

    result.kol_mir_set = true;
    qint64 kol_mir = 0;
    for (const BalanceRow &row : rows) {
        kol_mir += row.figure(col_shtat);
        result.kol_mir = saturate(kol_mir);
        if (row.figure(col_shtat) == 0) {
            result.fault = BalanceFault::no_establishment;
            return result;
        }
        if (qint64(row.figure(col_mp)) + row.figure(col_bron) > row.figure(col_fact)) {
            result.fault = BalanceFault::arithmetic;
            return result;
        }
        if (qint64(row.figure(col_fact)) + row.figure(col_treb) == 0) {
            result.fault = BalanceFault::empty_row;
            return result;
        }
    }

    if (figures.b_all != figures.f6_all) {
        result.fault = BalanceFault::actual_total;
        return result;
    }
    const qint64 bron = qint64(figures.b_ruk_bron) + figures.b_spec_bron + figures.b_slug_bron + figures.b_rab_bron;
    if (bron != figures.f6_bron_all) {
        result.fault = BalanceFault::reserved_total;
        return result;
    }
    result.fault = BalanceFault::none;
    return result;
}

QString duplicate_key_title()
{
    return tr("Одинаковый код должности/профессии!");
}

QString duplicate_key_text(int first_row_number, int second_row_number)
{
    return tr("На вкладке Баланс не должно быть повторяющихся кодов должностей - проверьте строки № ") +
           QString::number(first_row_number) + tr(" и ") + QString::number(second_row_number) +
           tr(".\nДля устранения ошибки:\n- добавьте к одной из должностей фасет (графа 5), для получения производных "
              "должностей (Заместитель, Главный, Старший и т.д.);\n- или измените вид производства (графа 1);\n- или "
              "сложите данные по ним в одну строку, а другую удалите.");
}

QString balance_fault_text(BalanceFault fault)
{
    switch (fault) {
    case BalanceFault::empty_cell:
        return tr(". На вкладке Баланс есть незаполненные ячейки (в том числе должно быть выставлено значение 0 вместо "
                  "пустых ячеек в таблице).\n");
    case BalanceFault::arithmetic:
        return tr(". На вкладке Баланс есть арифметические ошибки, окрашенные красным цветом.\n");
    case BalanceFault::repeated_key:
        return tr(". На вкладке Баланс есть повторяющиеся коды должностей/профессий.\n");
    case BalanceFault::actual_total:
        return tr(". Общая фактическая численность в таблице Баланс не совпадает с полем Всего работающих над "
                  "таблицей. Для сравнения можно включить пункт ''Итоговые данные по Балансу'' под таблицей.\n");
    case BalanceFault::reserved_total:
        return tr(". Общее число забронированных в таблице Баланс не совпадает с полем всего забронировано над "
                  "таблицей.\nДля сравнения можно включить пункт ''Итоговые данные по Балансу'' под таблицей - сумма "
                  "по забронированным должна совпасть с кол-вом забронированных офицеров и не офицеров.\n");
    case BalanceFault::empty_row:
        return tr(". На вкладке Баланс есть должности/профессии, в которых штатная и фактическая численность "
                  "одновременно равны 0. Данные строки не несут информации, их нужно удалить из Баланса.\n");
    case BalanceFault::no_code_or_name:
        return tr(". На вкладке Баланс есть должности/профессии с пустым наименованием или кодом - такое возможно, "
                  "если код недействителен или был аннулирован. Проверьте, пожалуйста, все строки Баланса.\n");
    case BalanceFault::no_establishment:
        return tr(". На вкладке Баланс не заполнена графа ''Численность по штатному расписанию'' - должна быть больше "
                  "0 в каждой строке.\n");
    case BalanceFault::no_rows:
        return tr(". Не заполнен Баланс трудовых ресурсов.\n");
    case BalanceFault::none:
        break;
    }
    return QString();
}

MergeResult summ_same(QVector<BalanceRow> &rows, const RowOptions &options)
{
    MergeResult result;
    sort_rows(rows);
    int i = rows.size() - 1;
    if (i <= 0)
        return result;
    result.report = true;
    while (i > 0) {
        if (rows[i - 1].cells[col_key] == rows[i].cells[col_key]) {
            ++result.merged;
            BalanceRow &kept = rows[i - 1];
            const BalanceRow &gone = rows[i];
            result.effects.merge(write_figure(kept, col_vnutr_ist, 0, options));
            for (int column : {col_treb, col_shtat, col_fact, col_mp, col_bron}) {
                const int sum = saturate(qint64(gone.figure(column)) + kept.figure(column));
                result.effects.merge(write_figure(kept, column, sum, options));
            }
            // Column 7 is written before column 6: when the copy of column 6 then finds
            // column 7 equal, nothing reran the shortage with the new establishment number.
            result.effects.merge(apply_cell_change(kept, col_treb, options));
            rows.removeAt(i);
            result.effects.totals = total_every;
        }
        --i;
    }
    return result;
}

QString merge_question_title()
{
    return tr("Сложение одинаковых кодов");
}

QString merge_question_text()
{
    return tr("Желаете автоматически сложить одинаковые коды должностей / профессий в рамках одного вида производства "
              "в одну строку, если таковые будут найдены?");
}

QString merge_accept_button()
{
    return tr("Сложить");
}
QString merge_skip_button()
{
    return tr("Пропустить");
}
QString merge_report_title()
{
    return tr("Сложение одинаковых строк");
}

QString merge_report_text(int merged)
{
    return tr("Объединено строк - ") + QString::number(merged) + tr(".");
}

} // namespace balance
