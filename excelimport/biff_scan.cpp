#include "biff_scan.h"

#include "stored_workbook.h"

#include <QHash>
#include <QtEndian>

#include <cstring>

namespace
{

quint16 u16(const QByteArray &b, qint64 at)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(b.constData() + at));
}

quint32 u32(const QByteArray &b, qint64 at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData() + at));
}

constexpr quint32 end_of_chain = 0xFFFFFFFE;

class CompoundFile
{
public:
    explicit CompoundFile(const QByteArray &file) : file_(file) {}

    bool read_stream(QByteArray *stream, QString *error)
    {
        if (file_.size() < 512 || std::memcmp(file_.constData(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0)
            return fail(error, "not a compound file");
        const int shift = u16(file_, 0x1E);
        const int mini_shift = u16(file_, 0x20);
        if ((shift != 9 && shift != 12) || mini_shift != 6)
            return fail(error, "damaged compound file header");
        sector_size_ = 1 << shift;
        sector_count_ = (file_.size() + sector_size_ - 1) / sector_size_; // bounds every chain
        if (!read_fat())
            return fail(error, "damaged allocation table");

        QByteArray directory;
        if (!read_chain(fat_, u32(file_, 0x30), sector_size_, &directory, -1))
            return fail(error, "damaged directory");
        QByteArray root_stream;
        qint64 root_start = -1;
        qint64 root_size = 0;
        qint64 wb_start = -1;
        qint64 wb_size = 0;
        bool package = false;
        for (qint64 at = 0; at + 128 <= directory.size(); at += 128) {
            const int type = static_cast<uchar>(directory.at(at + 0x42));
            const int name_bytes = qMin<int>(u16(directory, at + 0x40), 64);
            QString name = QString::fromUtf16(reinterpret_cast<const char16_t *>(directory.constData() + at),
                                              qMax(0, name_bytes / 2 - 1));
            const quint32 start = u32(directory, at + 0x74);
            const quint32 size = u32(directory, at + 0x78);
            if (type == 5 && root_start < 0) {
                root_start = start;
                root_size = size;
            } else if (type == 2 && (name == QLatin1String("Workbook") || name == QLatin1String("Book")) &&
                       wb_start < 0) {
                wb_start = start;
                wb_size = size;
            } else if (type == 2 && name == QLatin1String("EncryptedPackage")) {
                package = true;
            }
        }
        if (package)
            return fail(error, "encrypted workbook");
        if (wb_start < 0)
            return fail(error, "no workbook stream (not an Excel workbook)");
        if (wb_size > workbook_limits::max_member_bytes)
            return fail(error, "workbook stream too large");
        if (wb_size >= u32(file_, 0x38)) {
            if (!read_chain(fat_, wb_start, sector_size_, stream, wb_size))
                return fail(error, "damaged workbook stream");
        } else {
            // Small streams live in the mini stream, in 64-byte sectors.
            QByteArray mini_fat_bytes;
            std::vector<quint32> mini_fat;
            if (root_start < 0 || !read_chain(fat_, u32(file_, 0x3C), sector_size_, &mini_fat_bytes, -1) ||
                !read_chain(fat_, root_start, sector_size_, &root_stream, root_size))
                return fail(error, "damaged mini stream");
            for (qint64 at = 0; at + 4 <= mini_fat_bytes.size(); at += 4)
                mini_fat.push_back(u32(mini_fat_bytes, at));
            if (!read_chain(mini_fat, wb_start, 64, stream, wb_size, &root_stream))
                return fail(error, "damaged workbook stream");
        }
        return true;
    }

private:
    static bool fail(QString *error, const char *reason)
    {
        *error = QString::fromLatin1(reason);
        return false;
    }

    bool read_fat()
    {
        std::vector<quint32> fat_sectors;
        for (int i = 0; i < 109; ++i) {
            const quint32 s = u32(file_, 0x4C + 4 * i);
            if (s < sector_count_)
                fat_sectors.push_back(s);
        }
        quint32 difat = u32(file_, 0x44);
        const int per_sector = sector_size_ / 4 - 1;
        for (qint64 guard = 0; difat < sector_count_ && guard < sector_count_; ++guard) {
            const qint64 base = (static_cast<qint64>(difat) + 1) * sector_size_;
            if (base + sector_size_ > file_.size())
                return false;
            for (int i = 0; i < per_sector; ++i) {
                const quint32 s = u32(file_, base + 4 * i);
                if (s < sector_count_)
                    fat_sectors.push_back(s);
            }
            difat = u32(file_, base + 4 * per_sector);
        }
        if (static_cast<qint64>(fat_sectors.size()) > sector_count_)
            return false;
        for (const quint32 s : fat_sectors) {
            const qint64 base = (static_cast<qint64>(s) + 1) * sector_size_;
            if (base + sector_size_ > file_.size())
                return false;
            for (int i = 0; i < sector_size_ / 4; ++i)
                fat_.push_back(u32(file_, base + 4 * i));
        }
        return true;
    }

    // Follows a chain of sectors through table, from the file or (for the mini stream) from source. size -1 reads
    // the whole chain.
    bool read_chain(const std::vector<quint32> &table, quint32 start, int unit, QByteArray *out, qint64 size,
                    const QByteArray *source = nullptr) const
    {
        out->clear();
        const qint64 limit = static_cast<qint64>(table.size());
        quint32 sector = start;
        qint64 steps = 0;
        while (sector != end_of_chain && (size < 0 || out->size() < size)) {
            if (sector >= limit || ++steps > limit)
                return false; // off the table or a loop
            const qint64 offset = source ? static_cast<qint64>(sector) * unit : (sector + 1LL) * unit;
            const QByteArray &from = source ? *source : file_;
            if (offset + unit > from.size())
                return false;
            out->append(from.constData() + offset, unit);
            sector = table[sector];
        }
        if (size >= 0) {
            if (out->size() < size)
                return false;
            out->truncate(static_cast<int>(size));
        }
        return true;
    }

    const QByteArray &file_;
    int sector_size_ = 512;
    qint64 sector_count_ = 0;
    std::vector<quint32> fat_;
};

// An XLUnicodeString (16-bit count) or ShortXLUnicodeString (8-bit count) at `at`, within a record's data.
QString unicode_string(const QByteArray &data, int at, bool short_count)
{
    const int head = short_count ? 2 : 3;
    if (at + head > data.size())
        return {};
    const int count = short_count ? static_cast<uchar>(data.at(at)) : u16(data, at);
    const bool wide = data.at(at + (short_count ? 1 : 2)) & 1;
    const int start = at + head;
    const int available = (data.size() - start) / (wide ? 2 : 1);
    const int n = qMin(count, available);
    if (wide)
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(data.constData() + start), n);
    return QString::fromLatin1(data.constData() + start, n);
}

QString error_text(int code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#GETTING_DATA");
    }
}

struct Record {
    int type;
    QByteArray data;
};

// Next record at *pos, or false at the end of the stream.
bool next_record(const QByteArray &stream, qint64 *pos, Record *record)
{
    if (*pos + 4 > stream.size())
        return false;
    record->type = u16(stream, *pos);
    const int length = u16(stream, *pos + 2);
    if (*pos + 4 + length > stream.size())
        return false;
    record->data = stream.mid(static_cast<int>(*pos + 4), length);
    *pos += 4 + length;
    return true;
}

enum : int {
    rec_bof = 0x0809,
    rec_eof = 0x000A,
    rec_filepass = 0x002F,
    rec_datemode = 0x0022,
    rec_format = 0x041E,
    rec_xf = 0x00E0,
    rec_boundsheet = 0x0085,
    rec_dimensions = 0x0200,
    rec_formula = 0x0006,
    rec_string = 0x0207,
    rec_boolerr = 0x0205,
};

} // namespace

bool read_workbook_stream(const QByteArray &file, QByteArray *stream, QString *error)
{
    CompoundFile compound(file);
    return compound.read_stream(stream, error);
}

bool scan_biff(const QByteArray &stream, BiffScan *scan, QString *error)
{
    qint64 pos = 0;
    Record record;
    if (!next_record(stream, &pos, &record) || record.type != rec_bof || record.data.size() < 4) {
        *error = QStringLiteral("damaged workbook stream");
        return false;
    }
    scan->biff8 = u16(record.data, 0) == 0x0600;
    if (!scan->biff8)
        return true;

    QHash<int, bool> custom_formats;
    std::vector<int> xf_formats;
    struct Bound {
        quint32 offset;
        int index;
    };
    std::vector<Bound> bounds;
    while (next_record(stream, &pos, &record) && record.type != rec_eof) {
        const QByteArray &d = record.data;
        if (record.type == rec_filepass) {
            scan->encrypted = true;
            *error = QStringLiteral("encrypted workbook");
            return false;
        } else if (record.type == rec_format && d.size() >= 2) {
            custom_formats.insert(u16(d, 0), number_format_is_date(unicode_string(d, 2, false)));
        } else if (record.type == rec_xf && d.size() >= 4) {
            xf_formats.push_back(u16(d, 2));
        } else if (record.type == rec_boundsheet && d.size() >= 6) {
            BiffSheet sheet;
            sheet.name = unicode_string(d, 6, true);
            sheet.worksheet = static_cast<uchar>(d.at(5)) == 0;
            bounds.push_back({u32(d, 0), static_cast<int>(scan->sheets.size())});
            scan->sheets.push_back(sheet);
        }
    }
    const auto xf_is_date = [&](int xf) {
        if (xf < 0 || xf >= static_cast<int>(xf_formats.size()))
            return false;
        const int id = xf_formats[xf];
        const auto it = custom_formats.constFind(id);
        return it != custom_formats.constEnd() ? *it : builtin_format_is_date(id);
    };

    qint64 kept = 0;
    for (const Bound &bound : bounds) {
        BiffSheet &sheet = scan->sheets[bound.index];
        pos = bound.offset;
        if (!next_record(stream, &pos, &record) || record.type != rec_bof)
            continue; // FreeXL decides about a sheet it cannot find either
        int depth = 1;
        bool string_pending = false;
        BiffCell pending;
        while (depth > 0 && next_record(stream, &pos, &record)) {
            const QByteArray &d = record.data;
            if (record.type == rec_bof) {
                ++depth; // an embedded chart's own records
                continue;
            }
            if (record.type == rec_eof) {
                --depth;
                continue;
            }
            if (depth != 1)
                continue;
            if (record.type == rec_string && string_pending) {
                pending.text = unicode_string(d, 0, false);
                sheet.cells.push_back(pending);
                string_pending = false;
                continue;
            }
            // A shared or array formula record may stand between a formula and its text.
            if (record.type == 0x04BC || record.type == 0x0221 || record.type == 0x0236)
                continue;
            string_pending = false;
            if (record.type == rec_dimensions && d.size() >= 12) {
                const qint64 rows = static_cast<qint64>(u32(d, 4)) - u32(d, 0);
                const qint64 columns = static_cast<qint64>(u16(d, 10)) - u16(d, 8);
                sheet.declared_cells = qMax<qint64>(0, rows) * qMax<qint64>(0, columns);
                if (u32(d, 4) > static_cast<quint32>(workbook_limits::xls_max_rows) ||
                    u16(d, 10) > workbook_limits::xls_max_columns) {
                    *error = QStringLiteral("sheet past the format's edge");
                    return false;
                }
                continue;
            }
            if ((record.type != rec_formula && record.type != rec_boolerr) || d.size() < 8)
                continue;
            if (++kept > workbook_limits::max_stored_cells) {
                *error = QStringLiteral("too many cells");
                return false;
            }
            BiffCell cell;
            cell.row = u16(d, 0) + 1;
            cell.column = u16(d, 2) + 1;
            if (cell.column > workbook_limits::xls_max_columns)
                continue;
            if (record.type == rec_boolerr) {
                if (d.at(7)) {
                    cell.kind = BiffCell::Kind::Error;
                    cell.text = error_text(static_cast<uchar>(d.at(6)));
                } else {
                    cell.kind = BiffCell::Kind::Boolean;
                    cell.number = d.at(6) ? 1 : 0;
                }
                sheet.cells.push_back(cell);
                continue;
            }
            if (d.size() < 14)
                continue;
            if (u16(d, 12) == 0xFFFF) {
                switch (static_cast<uchar>(d.at(6))) {
                case 0: // the text follows in a STRING record
                    cell.kind = BiffCell::Kind::Text;
                    pending = cell;
                    string_pending = true;
                    break;
                case 1:
                    cell.kind = BiffCell::Kind::Boolean;
                    cell.number = d.at(8) ? 1 : 0;
                    sheet.cells.push_back(cell);
                    break;
                case 2:
                    cell.kind = BiffCell::Kind::Error;
                    cell.text = error_text(static_cast<uchar>(d.at(8)));
                    sheet.cells.push_back(cell);
                    break;
                case 3:
                    cell.kind = BiffCell::Kind::Text;
                    sheet.cells.push_back(cell);
                    break;
                default:
                    break;
                }
            } else {
                double value;
                const quint64 bits = qFromLittleEndian<quint64>(reinterpret_cast<const uchar *>(d.constData() + 6));
                std::memcpy(&value, &bits, sizeof value);
                cell.kind = xf_is_date(u16(d, 4)) ? BiffCell::Kind::Date : BiffCell::Kind::Number;
                cell.number = value;
                sheet.cells.push_back(cell);
            }
        }
    }
    return true;
}
