#pragma once

#include "excelimport/stored_workbook.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Our own reader of .xls files: the compound file container and the BIFF8 records that Excel 97 and every later
// writer save. Older BIFF versions (Excel 95 and before) are recognised and refused.

// The workbook stream of a compound file, read from the open file; false (with a reason) when the container is
// damaged, holds no workbook stream, or is an encrypted Office package.
bool read_workbook_stream(QIODevice *file, QByteArray *stream, QString *error);

enum class BiffResult { Biff8, Older, Refused };

// Refuses an encrypted stream and sheets past the format's size; tells BIFF8 from older versions.
BiffResult check_biff(const QByteArray &stream, QString *error);

// Reads a BIFF8 workbook stream: worksheets in tab order (chart, macro and module sheets left out), their cells with
// formula results, booleans and errors, and date-formatted numbers as dates. limit gets the size limit behind a
// refusal.
bool read_biff8(const QByteArray &stream, StoredWorkbook *book, QString *error, WorkbookLimit *limit);
