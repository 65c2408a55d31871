#pragma once

#include "excelimport/workbook.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <vector>

// What both readers keep of a workbook once it is read: the worksheet names and, per sheet, only the cells that
// hold a value, packed small and sorted for lookup. The file itself is closed as soon as it has been read.
namespace workbook_limits
{
// A zip member that inflates past this is refused (zip bombs).
constexpr qint64 max_member_bytes = 200LL * 1024 * 1024;
// All parts of one workbook together.
constexpr qint64 max_workbook_bytes = 1024LL * 1024 * 1024;
// An .xls file is held whole while it is read (its workbook stream, once), so it is held to less.
constexpr qint64 max_xls_bytes = 100LL * 1024 * 1024;
// Largest worksheets the formats allow.
constexpr int xlsx_max_rows = 1048576;
constexpr int xlsx_max_columns = 16384;
constexpr int xls_max_rows = 65536;
constexpr int xls_max_columns = 256;
// No tag, text or comment of a part may be longer, nor elements nest deeper.
constexpr int max_markup_bytes = 16 << 20;
constexpr int max_nesting_depth = 256;
// Sheets, relationships and formats are kept one by one: a workbook listing more of one kind than this is refused.
constexpr int max_list_entries = 1 << 16;
// What the stored cells and texts of one workbook may take together, in bytes; a workbook past it is refused
// rather than exhausting memory. A cell takes 16 bytes, a text 12 bytes and 2 per character: about 8 million
// numbers, or 2 million cells of 30-character texts.
constexpr qint64 max_stored_bytes = 128LL * 1024 * 1024;
} // namespace workbook_limits

// A spreadsheet serial day number as a date and time (UTC, so no local daylight-saving gap can shift it),
// rounded to the second. Invalid when the serial lies outside the years 1900 (1904) to 9999.
QDateTime date_from_serial(double serial, bool date1904);
// The inverse, for readers that get a date rather than a serial.
double serial_from_date(const QDateTime &when, bool date1904);

// Whether a number format code shows a date or a time, and whether a built-in format (by id) does.
bool number_format_is_date(const QString &code);
bool builtin_format_is_date(int id);

class StoredWorkbook : public Workbook
{
public:
    enum class Kind : std::uint8_t { Number, Date, Text, Boolean, Error };

    QStringList sheet_names() const override;
    QVariant cell(int sheet, int row, int column) override;
    void close() override;

    // Building, used by the readers only.
    void set_date1904(bool on) { date1904_ = on; }
    bool date1904() const { return date1904_; }
    // False when the budget is spent.
    bool add_sheet(const QString &name);
    // Appends a text to the pool and gives its index; false when the budget is spent. A text longer than a
    // block is taken over whole rather than copied (text is left empty then); a shorter one is copied and left
    // as it was, for the caller to reuse its room.
    bool add_text(QString &&text, std::uint32_t *index);
    bool add_text(const QString &text, std::uint32_t *index) { return add_text(QString(text), index); }
    std::uint32_t text_count() const { return static_cast<std::uint32_t>(texts_.size()); }
    // Whether a text of this many characters, still being read, could be stored.
    bool text_fits(qint64 chars) const;
    // Cells of the last added sheet; false when the budget is spent.
    bool add_number(int row, int column, Kind kind, double value);
    bool add_text_cell(int row, int column, Kind kind, std::uint32_t text_index);
    // Sorts the last sheet's cells for lookup; a later cell at the same place wins. False when the budget is
    // spent (sorting cells that came out of order takes room).
    bool finish_sheet();
    // The reason given when the budget is spent.
    static QString budget_spent();

private:
    struct Cell {
        std::uint32_t row;
        std::uint16_t column; // 0-based, fits 16384 columns
        Kind kind;
        union {
            double number;
            std::uint32_t text;
        };
    };
    struct Sheet {
        QString name;
        std::deque<Cell> cells; // grows by blocks, never by doubling and copying
    };
    // Texts live in blocks of characters allocated once each; a long text is a block of its own.
    struct TextBlock {
        QString chars;
        qint64 used = 0;
    };
    struct TextRef {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t length;
    };
    // A cell at a 1-based place, its value not set yet.
    static Cell placed(int row, int column, Kind kind);
    bool push(const Cell &c);
    // Takes bytes from the budget; false when they are not there.
    bool spend(qint64 bytes);

    std::vector<Sheet> sheets_;
    std::vector<TextBlock> blocks_;
    qint64 filling_ = -1; // the block short texts are copied into, or none yet
    std::deque<TextRef> texts_;
    qint64 spent_ = 0;
    bool date1904_ = false;
};
