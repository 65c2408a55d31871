#include "excelimport/stored_workbook.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

QDateTime date_from_serial(double serial, bool date1904)
{
    // 9999-12-31 is the last day either date system can show.
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466.0)
        return {};
    const qint64 seconds = std::llround(serial * 86400.0);
    qint64 day = seconds / 86400;
    const int second_of_day = static_cast<int>(seconds % 86400);
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(day);
    } else if (day >= 61 || day == 0) {
        date = QDate(1899, 12, 30).addDays(day);
    } else {
        // Serials 1 to 60 count from 1900-01-01, with the day 60 that calendar never had (1900-02-29) shown
        // as the 28th.
        date = QDate(1899, 12, 31).addDays(std::min<qint64>(day, 59));
    }
    if (!date.isValid() || date.year() > 9999)
        return {};
    return QDateTime(date, QTime(0, 0).addSecs(second_of_day), Qt::UTC);
}

double serial_from_date(const QDateTime &when, bool date1904)
{
    const QDate date = when.date();
    qint64 days;
    if (date1904) {
        days = QDate(1904, 1, 1).daysTo(date);
    } else {
        days = QDate(1899, 12, 30).daysTo(date);
        if (days > 0 && days < 61)
            days = QDate(1899, 12, 31).daysTo(date);
    }
    return days + when.time().msecsSinceStartOfDay() / 86400000.0;
}

// Whether a number format shows a date or a time: any of d, m, y, h, s outside quoted text, escapes and
// bracketed colours or locales ([h], [mm], [ss] elapsed time counts as time).
bool number_format_is_date(const QString &code)
{
    QString section = code;
    section.remove(QLatin1String("General"), Qt::CaseInsensitive);
    const int n = section.size();
    for (int i = 0; i < n; ++i) {
        const QChar ch = section.at(i);
        if (ch == QLatin1Char(';'))
            break; // the first section decides
        if (ch == QLatin1Char('"')) {
            const int close = section.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                break;
            i = close;
        } else if (ch == QLatin1Char('\\') || ch == QLatin1Char('_') || ch == QLatin1Char('*')) {
            ++i;
        } else if (ch == QLatin1Char('[')) {
            const int close = section.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                break;
            static const QRegularExpression elapsed(QStringLiteral("^(h+|m+|s+)$"),
                                                    QRegularExpression::CaseInsensitiveOption);
            if (elapsed.match(section.midRef(i + 1, close - i - 1)).hasMatch())
                return true;
            i = close;
        } else {
            const char c = ch.toLower().toLatin1();
            if (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 's')
                return true;
        }
    }
    return false;
}

bool builtin_format_is_date(int id)
{
    // 27 to 36 and 50 to 58 are the East Asian date forms.
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

QStringList StoredWorkbook::sheet_names() const
{
    QStringList names;
    for (const Sheet &s : sheets_)
        names << s.name;
    return names;
}

QVariant StoredWorkbook::cell(int sheet, int row, int column)
{
    if (sheet < 0 || sheet >= static_cast<int>(sheets_.size()) || row < 1 || column < 1 || column > 65536)
        return {};
    const std::deque<Cell> &cells = sheets_[sheet].cells;
    const auto key = std::make_pair(static_cast<std::uint32_t>(row), static_cast<std::uint16_t>(column - 1));
    const auto it = std::lower_bound(cells.begin(), cells.end(), key,
                                     [](const Cell &c, const auto &k) { return std::make_pair(c.row, c.column) < k; });
    if (it == cells.end() || it->row != key.first || it->column != key.second)
        return {};
    switch (it->kind) {
    case Kind::Number:
        return it->number;
    case Kind::Date: {
        const QDateTime when = date_from_serial(it->number, date1904_);
        return when.isValid() ? QVariant(when) : QVariant(it->number);
    }
    case Kind::Boolean:
        return it->number != 0;
    case Kind::Text:
    case Kind::Error: {
        if (it->text >= texts_.size())
            return {};
        const TextRef &ref = texts_[it->text];
        if (ref.length == 0)
            return QString();
        const QString &chars = blocks_[ref.block].chars;
        if (ref.length == static_cast<std::uint32_t>(chars.size()))
            return chars; // a text of its own block, shared rather than copied
        return QString(chars.constData() + ref.offset, static_cast<int>(ref.length));
    }
    }
    return {};
}

void StoredWorkbook::close()
{
    std::vector<Sheet>().swap(sheets_);
    std::vector<TextBlock>().swap(blocks_);
    std::deque<TextRef>().swap(texts_);
    filling_ = -1;
    spent_ = 0;
}

QString StoredWorkbook::budget_spent()
{
    return QStringLiteral("cells and texts past the workbook's memory budget of %1 MiB")
        .arg(workbook_limits::max_stored_bytes >> 20);
}

bool StoredWorkbook::spend(qint64 bytes)
{
    if (bytes > workbook_limits::max_stored_bytes - spent_)
        return false;
    spent_ += bytes;
    return true;
}

bool StoredWorkbook::add_sheet(const QString &name)
{
    // An empty deque holds a block of its own already.
    if (!spend(sizeof(Sheet) + 1024 + 2 * name.size()))
        return false;
    sheets_.push_back(Sheet{name, {}});
    return true;
}

bool StoredWorkbook::text_fits(qint64 chars) const
{
    return static_cast<qint64>(sizeof(TextRef)) + 2 * chars <= workbook_limits::max_stored_bytes - spent_;
}

bool StoredWorkbook::add_text(QString &&text, std::uint32_t *index)
{
    constexpr qint64 block_chars = 1 << 20;
    const qint64 n = text.size();
    if (!spend(sizeof(TextRef)))
        return false;
    TextRef ref{0, 0, static_cast<std::uint32_t>(n)};
    if (n > block_chars) {
        // Taken over as it is: a long text is never held twice.
        if (!spend(2 * n))
            return false;
        if (text.isDetached())
            text.squeeze(); // gives back the room it grew into, in place
        blocks_.push_back({std::move(text), n});
        text = QString();
        ref.block = static_cast<std::uint32_t>(blocks_.size() - 1);
    } else if (n > 0) {
        if (filling_ < 0 || blocks_[filling_].chars.size() - blocks_[filling_].used < n) {
            if (!spend(2 * block_chars))
                return false;
            blocks_.push_back({QString(static_cast<int>(block_chars), Qt::Uninitialized), 0});
            filling_ = static_cast<qint64>(blocks_.size() - 1);
        }
        TextBlock &block = blocks_[filling_];
        ref.block = static_cast<std::uint32_t>(filling_);
        ref.offset = static_cast<std::uint32_t>(block.used);
        std::copy_n(text.constData(), n, block.chars.data() + block.used);
        block.used += n;
    }
    *index = static_cast<std::uint32_t>(texts_.size());
    texts_.push_back(ref);
    return true;
}

bool StoredWorkbook::push(const Cell &c)
{
    if (sheets_.empty() || !spend(sizeof(Cell)))
        return false;
    sheets_.back().cells.push_back(c);
    return true;
}

StoredWorkbook::Cell StoredWorkbook::placed(int row, int column, Kind kind)
{
    Cell c;
    c.row = static_cast<std::uint32_t>(row);
    c.column = static_cast<std::uint16_t>(column - 1);
    c.kind = kind;
    return c;
}

bool StoredWorkbook::add_number(int row, int column, Kind kind, double value)
{
    Cell c = placed(row, column, kind);
    c.number = value;
    return push(c);
}

bool StoredWorkbook::add_text_cell(int row, int column, Kind kind, std::uint32_t text_index)
{
    Cell c = placed(row, column, kind);
    c.text = text_index;
    return push(c);
}

bool StoredWorkbook::finish_sheet()
{
    if (sheets_.empty())
        return true;
    std::deque<Cell> &cells = sheets_.back().cells;
    const auto before = [](const Cell &a, const Cell &b) {
        return std::make_pair(a.row, a.column) < std::make_pair(b.row, b.column);
    };
    if (!std::is_sorted(cells.begin(), cells.end(), before)) {
        // The merge sort borrows room for half the cells.
        const qint64 borrowed = static_cast<qint64>(sizeof(Cell)) * static_cast<qint64>(cells.size() / 2 + 1);
        if (!spend(borrowed))
            return false;
        std::stable_sort(cells.begin(), cells.end(), before);
        spent_ -= borrowed;
    }
    // Keep the last of cells written twice at one place.
    std::size_t kept = 0;
    for (const Cell &c : cells) {
        if (kept > 0 && cells[kept - 1].row == c.row && cells[kept - 1].column == c.column)
            cells[kept - 1] = c;
        else
            cells[kept++] = c;
    }
    cells.resize(kept);
    cells.shrink_to_fit();
    return true;
}
