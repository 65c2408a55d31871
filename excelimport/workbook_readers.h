#pragma once

#include "workbook.h"

// The two formats behind Workbook::open(); each gives null (and a reason) when it cannot read the file.
std::unique_ptr<Workbook> open_xlsx_workbook(const QString &path, QString *error);
std::unique_ptr<Workbook> open_xls_workbook(const QString &path, QString *error);
