#pragma once

#include "excelimport/workbook.h"

#include <QFile>
#include <QString>

#include <unistd.h>

// Writes the input to a file of this process and reads every sheet's corner through the reader.
inline void read_workbook_bytes(const QByteArray &bytes, const char *suffix)
{
    const QString path = QStringLiteral("/tmp/quelt-fuzz-%1.%2").arg(getpid()).arg(QLatin1String(suffix));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(bytes);
    }
    QString error;
    std::unique_ptr<Workbook> book = Workbook::open(path, &error);
    if (book) {
        const int sheets = book->sheet_names().size();
        for (int s = -1; s <= sheets; ++s)
            for (int row = 0; row <= 40; ++row)
                for (int column = 0; column <= 30; ++column)
                    book->cell(s, row, column).toString();
        book->cell(0, 1048576, 16384);
        book->close();
        book->cell(0, 1, 1);
    }
    QFile::remove(path);
}
