#include "biff_scan.h"
#include "stored_workbook.h"
#include "workbook_readers.h"

#include <QFile>

#include <freexl.h>

namespace
{

struct FreexlHandle {
    const void *handle = nullptr;
    ~FreexlHandle()
    {
        if (handle)
            freexl_close(handle);
    }
};

QString freexl_reason(int code)
{
    switch (code) {
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("no workbook stream (not an Excel workbook, or encrypted)");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("out of memory");
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("damaged workbook");
    case FREEXL_OK:
        return QStringLiteral("workbook FreeXL cannot read (charts or drawings)");
    default:
        return QStringLiteral("unreadable workbook (FreeXL error %1)").arg(code);
    }
}

} // namespace

std::unique_ptr<Workbook> open_xls_workbook(const QString &path, QString *error)
{
    // Our own pass first: it refuses what FreeXL would choke on or allocate without bound, and finds the cells
    // FreeXL leaves out.
    BiffScan scan;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = file.errorString();
            return nullptr;
        }
        if (file.size() > workbook_limits::max_member_bytes) {
            *error = QStringLiteral("file too large");
            return nullptr;
        }
        QByteArray stream;
        if (!read_workbook_stream(file.readAll(), &stream, error) || !scan_biff(stream, &scan, error))
            return nullptr;
    }
    qint64 declared = 0;
    for (const BiffSheet &sheet : scan.sheets)
        declared += sheet.declared_cells;
    if (declared > qint64(workbook_limits::xls_max_rows) * workbook_limits::xls_max_columns) {
        *error = QStringLiteral("too many cells");
        return nullptr;
    }

    const QByteArray name = QFile::encodeName(path);
    FreexlHandle xls;
    const int rc = freexl_open(name.constData(), &xls.handle);
    // FreeXL can report success without a handle (it does so for an .xls holding a chart).
    if (rc != FREEXL_OK || !xls.handle) {
        *error = freexl_reason(rc);
        return nullptr;
    }
    unsigned int info = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK || info != FREEXL_BIFF_PLAIN) {
        *error = QStringLiteral("encrypted workbook");
        return nullptr;
    }
    auto book = std::make_unique<StoredWorkbook>();
    if (freexl_get_info(xls.handle, FREEXL_BIFF_DATEMODE, &info) == FREEXL_OK)
        book->set_date1904(info == FREEXL_BIFF_DATEMODE_1904);
    unsigned int sheet_count = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheet_count) != FREEXL_OK) {
        *error = QStringLiteral("damaged workbook");
        return nullptr;
    }
    using Kind = StoredWorkbook::Kind;
    const QDate time_base = book->date1904() ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    for (unsigned int s = 0; s < sheet_count; ++s) {
        const char *sheet_name = nullptr;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_get_worksheet_name(xls.handle, static_cast<unsigned short>(s), &sheet_name) != FREEXL_OK ||
            freexl_select_active_worksheet(xls.handle, static_cast<unsigned short>(s)) != FREEXL_OK ||
            freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK) {
            *error = QStringLiteral("damaged workbook");
            return nullptr;
        }
        if (rows > static_cast<unsigned int>(workbook_limits::xls_max_rows) ||
            columns > workbook_limits::xls_max_columns) {
            *error = QStringLiteral("sheet past the format's edge");
            return nullptr;
        }
        const QString sheet_title = QString::fromUtf8(sheet_name ? sheet_name : "");
        const BiffSheet *extra = nullptr;
        for (const BiffSheet &sheet : scan.sheets)
            if (sheet.name == sheet_title)
                extra = &sheet;
        if (extra && !extra->worksheet)
            continue; // chart, macro and module sheets
        book->add_sheet(sheet_title);
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(xls.handle, r, c, &value) != FREEXL_OK)
                    continue;
                const int row = static_cast<int>(r) + 1;
                const int column = c + 1;
                bool stored = true;
                std::uint32_t index = 0;
                switch (value.type) {
                case FREEXL_CELL_INT:
                    stored = book->add_number(row, column, Kind::Number, value.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    stored = book->add_number(row, column, Kind::Number, value.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    stored = book->add_text(QString::fromUtf8(value.value.text_value ? value.value.text_value : ""),
                                            &index) &&
                             book->add_text_cell(row, column, Kind::Text, index);
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME: {
                    const QString text = QString::fromUtf8(value.value.text_value ? value.value.text_value : "");
                    QDateTime when;
                    if (value.type == FREEXL_CELL_DATE)
                        when = QDateTime(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")), QTime(0, 0), Qt::UTC);
                    else if (value.type == FREEXL_CELL_DATETIME)
                        when = QDateTime(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                                         QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss")), Qt::UTC);
                    else
                        when = QDateTime(time_base, QTime::fromString(text, QStringLiteral("HH:mm:ss")), Qt::UTC);
                    if (when.isValid())
                        stored = book->add_number(row, column, Kind::Date, serial_from_date(when, book->date1904()));
                    break;
                }
                default:
                    break;
                }
                if (!stored) {
                    *error = QStringLiteral("too many cells");
                    return nullptr;
                }
            }
        }
        // Formula results, booleans and error constants, which FreeXL reads as empty.
        for (const BiffCell &cell : extra ? extra->cells : std::vector<BiffCell>()) {
            if (cell.row > static_cast<int>(rows) || cell.column > columns)
                continue;
            bool stored = true;
            std::uint32_t index = 0;
            switch (cell.kind) {
            case BiffCell::Kind::Number:
                stored = book->add_number(cell.row, cell.column, Kind::Number, cell.number);
                break;
            case BiffCell::Kind::Date:
                stored = book->add_number(cell.row, cell.column, Kind::Date, cell.number);
                break;
            case BiffCell::Kind::Boolean:
                stored = book->add_number(cell.row, cell.column, Kind::Boolean, cell.number);
                break;
            case BiffCell::Kind::Text:
            case BiffCell::Kind::Error:
                stored = book->add_text(cell.text, &index) &&
                         book->add_text_cell(cell.row, cell.column,
                                             cell.kind == BiffCell::Kind::Text ? Kind::Text : Kind::Error, index);
                break;
            }
            if (!stored) {
                *error = QStringLiteral("too many cells");
                return nullptr;
            }
        }
        book->finish_sheet();
    }
    return book;
}
