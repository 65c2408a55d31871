#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// A light pass over an .xls (compound file, BIFF8) for what FreeXL does not give: the cached results of formulas,
// boolean and error constants, the sheet types, and the sheet sizes to check before FreeXL allocates them.
struct BiffCell {
    enum class Kind { Number, Date, Text, Boolean, Error };
    int row = 0;    // 1-based
    int column = 0; // 1-based
    Kind kind = Kind::Number;
    double number = 0;
    QString text;
};

struct BiffSheet {
    QString name;
    bool worksheet = true; // false for chart, macro and module sheets
    qint64 declared_cells = 0;
    std::vector<BiffCell> cells;
};

struct BiffScan {
    bool encrypted = false;
    bool biff8 = false; // older files are left to FreeXL alone
    std::vector<BiffSheet> sheets;
};

// The workbook stream of a compound file; false (with a reason) when the container is damaged, holds no workbook
// stream, or is an encrypted Office package.
bool read_workbook_stream(const QByteArray &file, QByteArray *stream, QString *error);

// Scans a workbook stream; false when it is damaged or encrypted.
bool scan_biff(const QByteArray &stream, BiffScan *scan, QString *error);
