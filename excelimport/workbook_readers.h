#pragma once

#include "excelimport/workbook.h"

// The two formats behind Workbook::open(); each gives null (and a reason, and the size limit that ran out or none)
// when it cannot read the file.
std::unique_ptr<Workbook> open_xlsx_workbook(const QString &path, QString *error, WorkbookLimit *limit);
std::unique_ptr<Workbook> open_xls_workbook(const QString &path, QString *error, WorkbookLimit *limit);
