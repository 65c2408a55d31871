// Stand-in until the workbook reader is in: no file opens.
#include "workbook.h"

std::unique_ptr<Workbook> Workbook::open(const QString &, QString *error)
{
    if (error)
        *error = "no reader";
    return nullptr;
}
