#include "excelimport/biff_reader.h"
#include "excelimport/stored_workbook.h"
#include "excelimport/workbook_readers.h"

#include <QFile>

// .xls is read by our own pass over the compound file and its BIFF8 records. FreeXL 1.0.6 was tried and left out:
// crafted files overflow its heap buffers, it reports success without a handle for any workbook holding a chart,
// it skips formula results, booleans and errors, and it counts every date out day by day from 1900.
std::unique_ptr<Workbook> open_xls_workbook(const QString &path, QString *error, WorkbookLimit *limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return nullptr;
    }
    if (file.size() > workbook_limits::max_xls_bytes) {
        *error = QStringLiteral("file past the .xls limit of %1 MiB").arg(workbook_limits::max_xls_bytes >> 20);
        *limit = WorkbookLimit::file_size;
        return nullptr;
    }
    // Only the workbook stream is held, not the file as well.
    QByteArray stream;
    if (!read_workbook_stream(&file, &stream, error))
        return nullptr;
    file.close();
    switch (check_biff(stream, error)) {
    case BiffResult::Refused:
        return nullptr;
    case BiffResult::Older:
        *error = QStringLiteral("Excel 95 or older workbook");
        return nullptr;
    case BiffResult::Biff8:
        break;
    }
    auto book = std::make_unique<StoredWorkbook>();
    if (!read_biff8(stream, book.get(), error, limit))
        return nullptr;
    return book;
}
