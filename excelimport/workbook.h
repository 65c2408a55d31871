#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// The size limit a workbook was refused for; none when it was read or refused for another reason (not a workbook,
// damaged, encrypted). The limits themselves are in workbook_limits.
enum class WorkbookLimit {
    none,
    memory_budget,      // cells and texts together
    part_size,          // one part of an .xlsx, unpacked
    unpacked_size,      // all parts of an .xlsx together, unpacked
    file_size,          // an .xls file
    sheet_count,        // sheets listed
    format_count,       // cell formats listed
    relationship_count, // relationships listed in one part
    markup_length,      // one tag, text or comment
    nesting_depth,      // elements within elements
};

// Read-only access to a spreadsheet workbook (.xlsx, .xlsm, .xls): what the import needs and nothing more.
class Workbook
{
public:
    virtual ~Workbook() = default;

    // Opens a workbook by path; null when the file cannot be read as one (not a workbook, damaged, encrypted,
    // too large). error, when given, gets a short technical reason for diagnostics; limit, when given, the size
    // limit that ran out.
    // The format is told by the file's content, not its name. The whole workbook is read here and the file closed:
    // nothing stays open or locked. Refused: a zip member inflating past 200 MB or all of them past 1 GB, a cell
    // past the sheet's edge, cells and texts past the memory budget (workbook_limits::max_stored_bytes), a tag,
    // text or comment past 16 MiB, an .xls file past 100 MiB, a part listing more than 65536 sheets, relationships
    // or formats or nesting elements deeper than 256, a document type declaration in any part read, a looping
    // sector chain, Excel 95 and older .xls files.
    static std::unique_ptr<Workbook> open(const QString &path, QString *error = nullptr,
                                          WorkbookLimit *limit = nullptr);

    // Worksheets in tab order (chart and macro sheets left out, hidden sheets kept).
    virtual QStringList sheet_names() const = 0;

    // A cell's value as the spreadsheet shows it to a program: a number as double, text as QString, a
    // date-formatted number as QDateTime, a boolean as bool, an empty or missing cell (or a bad index) as an
    // invalid QVariant, a formula as its cached value. sheet is 0-based, row and column are 1-based.
    // Dates are QDateTime in UTC holding the wall-clock time as written, rounded to the second (1904 date system
    // honoured); an error value reads as its text ("#DIV/0!", "#N/A", ...).
    virtual QVariant cell(int sheet, int row, int column) = 0;

    // Frees everything the reader holds; the file is never written. Further cells read as invalid.
    virtual void close() = 0;
};
