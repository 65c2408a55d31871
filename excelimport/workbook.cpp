#include "excelimport/workbook.h"
#include "excelimport/workbook_readers.h"

#include <QFile>

#include <new>

std::unique_ptr<Workbook> Workbook::open(const QString &path, QString *error, WorkbookLimit *limit)
{
    QString reason;
    WorkbookLimit ran_out = WorkbookLimit::none;
    std::unique_ptr<Workbook> workbook;
    // The format is told by the file's first bytes, not by its name: a renamed file is read for what it is.
    QByteArray head;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            reason = QStringLiteral("cannot open the file: %1").arg(file.errorString());
        else
            head = file.read(8);
    }
    try {
        if (reason.isEmpty()) {
            if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
                workbook = open_xlsx_workbook(path, &reason, &ran_out);
            else if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
                workbook = open_xls_workbook(path, &reason, &ran_out);
            else
                reason = QStringLiteral("not a workbook");
        }
    } catch (const std::bad_alloc &) {
        workbook.reset();
        reason = QStringLiteral("out of memory");
        ran_out = WorkbookLimit::none;
    }
    if (!workbook && reason.isEmpty())
        reason = QStringLiteral("unreadable workbook");
    if (error)
        *error = workbook ? QString() : reason;
    if (limit)
        *limit = workbook ? WorkbookLimit::none : ran_out;
    return workbook;
}
