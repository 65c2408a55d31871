#pragma once

#include "workbook.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// What both readers keep of a workbook once it is read: the worksheet names and, per sheet, only the cells that
// hold a value, packed small and sorted for lookup. The file itself is closed as soon as it has been read.
namespace workbook_limits
{
// A zip member that inflates past this is refused (zip bombs).
constexpr qint64 max_member_bytes = 200LL * 1024 * 1024;
// All parts of one workbook together.
constexpr qint64 max_workbook_bytes = 1024LL * 1024 * 1024;
// Largest worksheets the formats allow.
constexpr int xlsx_max_rows = 1048576;
constexpr int xlsx_max_columns = 16384;
constexpr int xls_max_rows = 65536;
constexpr int xls_max_columns = 256;
// Sheets, relationships and formats are kept one by one: a workbook listing more of one kind than this is refused.
constexpr int max_list_entries = 1 << 16;
// Whole-workbook budget of stored values and texts (in number and in characters); a workbook past it is refused
// rather than exhausting memory.
constexpr qint64 max_stored_cells = 10'000'000;
constexpr qint64 max_text_chars = 64LL * 1024 * 1024;
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
    void add_sheet(const QString &name);
    // Appends a text to the pool and gives its index; false when the text budget is spent.
    bool add_text(const QString &text, std::uint32_t *index);
    std::uint32_t text_count() const { return static_cast<std::uint32_t>(texts_.size()); }
    // Cells of the last added sheet; false when the cell budget is spent.
    bool add_number(int row, int column, Kind kind, double value);
    bool add_text_cell(int row, int column, Kind kind, std::uint32_t text_index);
    // Sorts the last sheet's cells for lookup; a later cell at the same place wins.
    void finish_sheet();

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
        std::vector<Cell> cells;
    };
    // A cell at a 1-based place, its value not set yet.
    static Cell placed(int row, int column, Kind kind);
    bool push(const Cell &c);

    std::vector<Sheet> sheets_;
    std::vector<QString> texts_;
    qint64 cell_count_ = 0;
    qint64 text_chars_ = 0;
    bool date1904_ = false;
};
