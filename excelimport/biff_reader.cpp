#include "excelimport/biff_reader.h"

#include <QHash>
#include <QIODevice>
#include <QSet>
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

// Cells and texts past the memory budget: false.
bool budget_spent(QString *error, WorkbookLimit *limit)
{
    *error = StoredWorkbook::budget_spent();
    *limit = WorkbookLimit::memory_budget;
    return false;
}

class CompoundFile
{
public:
    // The file is read sector by sector: only the streams read are held, not the file.
    explicit CompoundFile(QIODevice *file) : file_(file), file_size_(file->size()) {}

    bool read_stream(QByteArray *stream, QString *error)
    {
        header_.resize(512);
        if (!read_at(0, header_.data(), 512) ||
            std::memcmp(header_.constData(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0)
            return fail(error, "not a compound file");
        const int shift = u16(header_, 0x1E);
        const int mini_shift = u16(header_, 0x20);
        if ((shift != 9 && shift != 12) || mini_shift != 6)
            return fail(error, "damaged compound file header");
        sector_size_ = 1 << shift;
        sector_count_ = (file_size_ + sector_size_ - 1) / sector_size_; // bounds every chain
        if (!read_fat())
            return fail(error, "damaged allocation table");
        used_.assign(fat_.size(), false);

        QByteArray directory;
        if (!read_chain(fat_, u32(header_, 0x30), sector_size_, &directory, -1))
            return fail(error, chain_error("damaged directory"));
        QByteArray root_stream;
        qint64 root_start = -1;
        qint64 root_size = 0;
        qint64 wb_start = -1;
        qint64 wb_size = 0;
        bool wb_is_book = false;
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
            } else if (type == 2 && stream_named(name, "Workbook") && (wb_start < 0 || wb_is_book)) {
                // A file of both Excel 97 and Excel 95 holds both streams: the newer is read.
                wb_start = start;
                wb_size = size;
                wb_is_book = false;
            } else if (type == 2 && stream_named(name, "Book") && wb_start < 0) {
                wb_start = start;
                wb_size = size;
                wb_is_book = true;
            } else if (type == 2 && stream_named(name, "EncryptedPackage")) {
                package = true;
            }
        }
        if (package)
            return fail(error, "encrypted workbook");
        if (wb_start < 0)
            return fail(error, "no workbook stream (not an Excel workbook)");
        if (wb_size > file_size_)
            return fail(error, "damaged workbook stream: longer than the file");
        if (wb_size >= u32(header_, 0x38)) {
            if (!read_chain(fat_, wb_start, sector_size_, stream, wb_size))
                return fail(error, chain_error("damaged workbook stream"));
        } else {
            // Small streams live in the mini stream, in 64-byte sectors.
            QByteArray mini_fat_bytes;
            std::vector<quint32> mini_fat;
            if (root_start < 0 || root_size > file_size_ ||
                !read_chain(fat_, u32(header_, 0x3C), sector_size_, &mini_fat_bytes, -1) ||
                !read_chain(fat_, root_start, sector_size_, &root_stream, root_size))
                return fail(error, chain_error("damaged mini stream"));
            for (qint64 at = 0; at + 4 <= mini_fat_bytes.size(); at += 4)
                mini_fat.push_back(u32(mini_fat_bytes, at));
            used_.assign(mini_fat.size(), false);
            if (!read_chain(mini_fat, wb_start, 64, stream, wb_size, &root_stream))
                return fail(error, chain_error("damaged workbook stream"));
        }
        return true;
    }

private:
    // Directory names compare without regard to case.
    static bool stream_named(const QString &name, const char *wanted)
    {
        return name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
    }

    static bool fail(QString *error, const QString &reason)
    {
        *error = reason;
        return false;
    }
    static bool fail(QString *error, const char *reason) { return fail(error, QString::fromLatin1(reason)); }

    // The reason a chain was refused, after what it was.
    QString chain_error(const char *what) const
    {
        return looped_ ? QStringLiteral("%1: its sector chain loops or crosses another").arg(QLatin1String(what))
                       : QLatin1String(what);
    }

    bool read_at(qint64 offset, char *to, qint64 n) const
    {
        return offset >= 0 && offset + n <= file_size_ && file_->seek(offset) && file_->read(to, n) == n;
    }

    bool read_fat()
    {
        std::vector<quint32> fat_sectors;
        for (int i = 0; i < 109; ++i) {
            const quint32 s = u32(header_, 0x4C + 4 * i);
            if (s < sector_count_)
                fat_sectors.push_back(s);
        }
        quint32 difat = u32(header_, 0x44);
        const int per_sector = sector_size_ / 4 - 1;
        QByteArray sector(sector_size_, Qt::Uninitialized);
        for (qint64 guard = 0; difat < sector_count_ && guard < sector_count_; ++guard) {
            if (!read_at((static_cast<qint64>(difat) + 1) * sector_size_, sector.data(), sector_size_))
                return false;
            for (int i = 0; i < per_sector; ++i) {
                const quint32 s = u32(sector, 4 * i);
                if (s < sector_count_)
                    fat_sectors.push_back(s);
            }
            difat = u32(sector, 4 * per_sector);
            if (static_cast<qint64>(fat_sectors.size()) > sector_count_)
                return false;
        }
        if (static_cast<qint64>(fat_sectors.size()) > sector_count_)
            return false;
        fat_.reserve(fat_sectors.size() * static_cast<std::size_t>(sector_size_ / 4));
        for (const quint32 s : fat_sectors) {
            if (!read_at((static_cast<qint64>(s) + 1) * sector_size_, sector.data(), sector_size_))
                return false;
            for (int i = 0; i < sector_size_ / 4; ++i)
                fat_.push_back(u32(sector, 4 * i));
        }
        return true;
    }

    // Follows a chain of sectors through table, from the file or (for the mini stream) from source. size -1 reads
    // the whole chain. A sector is read once in all the chains of one table: a chain that loops or runs into
    // another is damaged, and what is read together stays within the file's size.
    bool read_chain(const std::vector<quint32> &table, quint32 start, int unit, QByteArray *out, qint64 size,
                    const QByteArray *source = nullptr)
    {
        out->clear();
        const qint64 from_size = source ? source->size() : file_size_;
        const qint64 limit = static_cast<qint64>(table.size());
        if (size > 0)
            out->reserve(static_cast<int>(size));
        quint32 sector = start;
        // Consecutive sectors of the file are read in one go.
        qint64 run_offset = 0;
        qint64 run_bytes = 0;
        const auto flush = [&] {
            if (run_bytes == 0)
                return true;
            const int at = out->size();
            out->resize(at + static_cast<int>(run_bytes));
            const bool read = read_at(run_offset, out->data() + at, run_bytes);
            run_bytes = 0;
            return read;
        };
        qint64 held = 0;
        while (sector != end_of_chain && (size < 0 || held < size)) {
            if (sector >= limit)
                return false; // off the table
            if (used_[sector]) {
                looped_ = true;
                return false;
            }
            used_[sector] = true;
            const qint64 offset = source ? static_cast<qint64>(sector) * unit : (sector + 1LL) * unit;
            // The last sector of a stream may be cut short where the stream ends.
            const qint64 take = size < 0 ? unit : qMin<qint64>(unit, size - held);
            if (offset + take > from_size)
                return false;
            if (source) {
                out->append(source->constData() + offset, static_cast<int>(take));
            } else {
                if (run_bytes > 0 && run_offset + run_bytes != offset && !flush())
                    return false;
                if (run_bytes == 0)
                    run_offset = offset;
                run_bytes += take;
            }
            held += take;
            sector = table[sector];
        }
        if (!flush())
            return false;
        return size < 0 || held >= size;
    }

    QIODevice *file_;
    qint64 file_size_;
    QByteArray header_;
    int sector_size_ = 512;
    qint64 sector_count_ = 0;
    std::vector<quint32> fat_;
    std::vector<bool> used_;
    bool looped_ = false;
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

// Record payloads are read in place; a record is a view into the stream.
struct Record {
    int type = 0;
    const char *data = nullptr;
    int size = 0;
    quint16 u16(int at) const { return at + 2 <= size ? qFromLittleEndian<quint16>(data + at) : 0; }
    quint32 u32(int at) const { return at + 4 <= size ? qFromLittleEndian<quint32>(data + at) : 0; }
    double f64(int at) const
    {
        if (at + 8 > size)
            return 0;
        const quint64 bits = qFromLittleEndian<quint64>(data + at);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    QByteArray bytes() const { return QByteArray::fromRawData(data, size); }
};

// Next record at *pos, or false at the end of the stream.
bool next_record(const QByteArray &stream, qint64 *pos, Record *record)
{
    if (*pos < 0 || *pos + 4 > stream.size())
        return false;
    record->type = u16(stream, *pos);
    record->size = u16(stream, *pos + 2);
    if (*pos + 4 + record->size > stream.size())
        return false;
    record->data = stream.constData() + *pos + 4;
    *pos += 4 + record->size;
    return true;
}

enum : int {
    rec_bof = 0x0809,
    rec_eof = 0x000A,
    rec_continue = 0x003C,
    rec_filepass = 0x002F,
    rec_datemode = 0x0022,
    rec_format = 0x041E,
    rec_xf = 0x00E0,
    rec_boundsheet = 0x0085,
    rec_sst = 0x00FC,
    rec_dimensions = 0x0200,
    rec_formula = 0x0006,
    // The FORMULA records of BIFF3 and BIFF4, written by some exporters into BIFF8 files, laid out as rec_formula.
    rec_formula_biff3 = 0x0206,
    rec_formula_biff4 = 0x0406,
    rec_string = 0x0207,
    rec_boolerr = 0x0205,
    rec_number = 0x0203,
    rec_rk = 0x027E,
    rec_mulrk = 0x00BD,
    rec_labelsst = 0x00FD,
    rec_label = 0x0204,
    rec_rstring = 0x00D6,
};

double rk_value(quint32 rk)
{
    double value;
    if (rk & 2) {
        value = static_cast<qint32>(rk) >> 2;
    } else {
        const quint64 bits = static_cast<quint64>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

// A record and its CONTINUE records read as one run of bytes, where a string's characters that cross into the
// next record resume after a fresh flags byte (the shared string table, a long formula text).
class RecordRun
{
public:
    void add(const Record &r) { segments_.push_back(r); }
    bool empty() const { return segments_.empty(); }

    bool at_end()
    {
        while (segment_ < segments_.size() && offset_ >= segments_[segment_].size) {
            ++segment_;
            offset_ = 0;
        }
        return segment_ >= segments_.size();
    }
    quint8 take8()
    {
        if (at_end())
            return 0;
        return static_cast<quint8>(segments_[segment_].data[offset_++]);
    }
    quint16 take16() { return take8() | (take8() << 8); }
    quint32 take32() { return take16() | (static_cast<quint32>(take16()) << 16); }
    void skip(qint64 n)
    {
        while (n > 0 && !at_end()) {
            const qint64 step = qMin<qint64>(n, segments_[segment_].size - offset_);
            offset_ += static_cast<int>(step);
            n -= step;
        }
    }
    QString take_chars(int count, bool wide)
    {
        QString text;
        text.reserve(qMin(count, 8224));
        while (count > 0 && segment_ < segments_.size()) {
            if (offset_ >= segments_[segment_].size) {
                // The characters go on in the next record, after a flags byte of their own.
                ++segment_;
                offset_ = 0;
                if (segment_ < segments_.size() && segments_[segment_].size > 0)
                    wide = segments_[segment_].data[offset_++] & 1;
                continue;
            }
            const Record &r = segments_[segment_];
            const int unit = wide ? 2 : 1;
            const int fit = qMin(count, (r.size - offset_) / unit);
            if (fit == 0) {
                offset_ = r.size; // a stray odd byte
                continue;
            }
            const char *p = r.data + offset_;
            if (wide) {
                for (int i = 0; i < fit; ++i)
                    text += QChar(qFromLittleEndian<quint16>(p + 2 * i));
            } else {
                text += QString::fromLatin1(p, fit);
            }
            offset_ += fit * unit;
            count -= fit;
        }
        return text;
    }

private:
    std::vector<Record> segments_;
    std::size_t segment_ = 0;
    int offset_ = 0;
};

// The shared string table: an SST record and its CONTINUE records.
bool read_shared_strings(RecordRun &sst, StoredWorkbook *book, std::uint32_t *base, std::uint32_t *count,
                         QString *error, WorkbookLimit *limit)
{
    *base = book->text_count();
    *count = 0;
    if (sst.empty())
        return true;
    sst.skip(4);
    const quint32 unique = sst.take32();
    for (quint32 i = 0; i < unique && !sst.at_end(); ++i) {
        const int chars = sst.take16();
        const quint8 flags = sst.take8();
        const int runs = (flags & 0x08) ? sst.take16() : 0;
        const quint32 ext = (flags & 0x04) ? sst.take32() : 0;
        QString text = sst.take_chars(chars, flags & 1);
        sst.skip(4LL * runs);
        sst.skip(ext);
        std::uint32_t index;
        if (!book->add_text(text, &index))
            return budget_spent(error, limit);
        ++*count;
    }
    return true;
}

// An XLUnicodeString (16-bit count) or ShortXLUnicodeString (8-bit count) at `at` within a record.
QString record_string(const Record &r, int at, bool short_count)
{
    return unicode_string(r.bytes(), at, short_count);
}

using Kind = StoredWorkbook::Kind;

} // namespace

bool read_workbook_stream(QIODevice *file, QByteArray *stream, QString *error)
{
    CompoundFile compound(file);
    return compound.read_stream(stream, error);
}

BiffResult check_biff(const QByteArray &stream, QString *error)
{
    qint64 pos = 0;
    Record record;
    if (!next_record(stream, &pos, &record) || record.type != rec_bof || record.size < 4) {
        // BIFF2 to BIFF4 begin with other BOF records.
        return BiffResult::Older;
    }
    const bool biff8 = record.u16(0) == 0x0600;
    while (next_record(stream, &pos, &record)) {
        if (record.type == rec_filepass) {
            *error = QStringLiteral("encrypted workbook");
            return BiffResult::Refused;
        }
        if (record.type == rec_dimensions) {
            const bool wide_rows = record.size >= 14;
            const qint64 rows = wide_rows ? record.u32(4) : record.u16(2);
            const qint64 columns = record.u16(wide_rows ? 10 : 6);
            if (rows > workbook_limits::xls_max_rows || columns > workbook_limits::xls_max_columns) {
                *error = QStringLiteral("sheet past the format's edge");
                return BiffResult::Refused;
            }
        }
    }
    return biff8 ? BiffResult::Biff8 : BiffResult::Older;
}

namespace
{

struct SheetBound {
    quint32 offset;
    QString name;
};

// What the workbook globals say: the date formats, the worksheets and where the shared strings went.
struct BiffGlobals {
    QHash<int, bool> custom_formats;
    std::vector<int> xf_formats;
    std::vector<SheetBound> worksheets;
    std::uint32_t sst_base = 0;
    std::uint32_t sst_count = 0;

    bool xf_is_date(int xf) const
    {
        if (xf < 0 || xf >= static_cast<int>(xf_formats.size()))
            return false;
        const int id = xf_formats[xf];
        const auto it = custom_formats.constFind(id);
        return it != custom_formats.constEnd() ? *it : builtin_format_is_date(id);
    }
    Kind number_kind(int xf) const { return xf_is_date(xf) ? Kind::Date : Kind::Number; }
};

bool read_globals(const QByteArray &stream, qint64 *pos, StoredWorkbook *book, BiffGlobals *globals, QString *error,
                  WorkbookLimit *limit)
{
    Record record;
    RecordRun sst;
    bool in_sst = false;
    while (next_record(stream, pos, &record) && record.type != rec_eof) {
        if (record.type == rec_continue && in_sst) {
            sst.add(record);
            continue;
        }
        in_sst = false;
        switch (record.type) {
        case rec_filepass:
            *error = QStringLiteral("encrypted workbook");
            return false;
        case rec_datemode:
            book->set_date1904(record.u16(0) != 0);
            break;
        case rec_format:
            if (record.size >= 2)
                globals->custom_formats.insert(record.u16(0), number_format_is_date(record_string(record, 2, false)));
            break;
        case rec_xf:
            globals->xf_formats.push_back(record.u16(2));
            break;
        case rec_boundsheet:
            // Worksheets only: chart, macro and module sheets are left out; hidden ones kept.
            if (record.size >= 8 && static_cast<quint8>(record.data[5]) == 0)
                globals->worksheets.push_back({record.u32(0), record_string(record, 6, true)});
            break;
        case rec_sst:
            sst.add(record);
            in_sst = true;
            break;
        default:
            break;
        }
        // Custom formats are keyed by a 16-bit id, so only these two lists can grow with the stream.
        if (globals->xf_formats.size() > workbook_limits::max_list_entries) {
            *error = QStringLiteral("too many formats");
            *limit = WorkbookLimit::format_count;
            return false;
        }
        if (globals->worksheets.size() > workbook_limits::max_list_entries) {
            *error = QStringLiteral("too many sheets");
            *limit = WorkbookLimit::sheet_count;
            return false;
        }
    }
    return read_shared_strings(sst, book, &globals->sst_base, &globals->sst_count, error, limit);
}

// The cell records of one worksheet, stored as they come.
class SheetCells
{
public:
    SheetCells(StoredWorkbook *book, const BiffGlobals &globals) : book_(book), globals_(globals) {}

    // False when the workbook holds more than it may. A STRING record goes to take_string.
    bool take(const Record &record)
    {
        // A shared or array formula record may stand between a formula and its text.
        if (record.type == 0x04BC || record.type == 0x0221 || record.type == 0x0236)
            return true;
        string_pending_ = false;
        if (record.size < 6)
            return true;
        const int row = record.u16(0) + 1;
        const int column = record.u16(2) + 1;
        if (column > workbook_limits::xls_max_columns && record.type != rec_mulrk)
            return true;
        return take_cell(record, row, column, record.u16(4));
    }

    // A formula's text result: a STRING record and the CONTINUE records its text runs on in.
    bool take_string(RecordRun &run)
    {
        if (!string_pending_)
            return true;
        string_pending_ = false;
        const int chars = run.take16();
        const bool wide = run.take8() & 1;
        return text_cell(pending_row_, pending_column_, Kind::Text, run.take_chars(chars, wide));
    }

private:
    bool text_cell(int row, int column, Kind kind, const QString &text)
    {
        std::uint32_t index;
        return book_->add_text(text, &index) && book_->add_text_cell(row, column, kind, index);
    }

    bool take_cell(const Record &record, int row, int column, int xf)
    {
        switch (record.type) {
        case rec_number:
            return record.size < 14 || book_->add_number(row, column, globals_.number_kind(xf), record.f64(6));
        case rec_rk:
            return record.size < 10 ||
                   book_->add_number(row, column, globals_.number_kind(xf), rk_value(record.u32(6)));
        case rec_mulrk:
            return take_mulrk(record, row, column);
        case rec_labelsst: {
            const quint32 index = record.u32(6);
            if (record.size >= 10 && index < globals_.sst_count)
                return book_->add_text_cell(row, column, Kind::Text, globals_.sst_base + index);
            return true;
        }
        case rec_label:
        case rec_rstring:
            return text_cell(row, column, Kind::Text, record_string(record, 6, false));
        case rec_boolerr:
            if (record.size < 8)
                return true;
            if (record.data[7])
                return text_cell(row, column, Kind::Error, error_text(static_cast<quint8>(record.data[6])));
            return book_->add_number(row, column, Kind::Boolean, record.data[6] ? 1 : 0);
        case rec_formula:
        case rec_formula_biff3:
        case rec_formula_biff4:
            return record.size < 14 || take_formula(record, row, column, xf);
        default:
            return true;
        }
    }

    bool take_mulrk(const Record &record, int row, int column)
    {
        const int count = (record.size - 6) / 6;
        for (int i = 0; i < count; ++i) {
            const int c = column + i;
            if (c > workbook_limits::xls_max_columns)
                break;
            const int cell_xf = record.u16(4 + 6 * i);
            if (!book_->add_number(row, c, globals_.number_kind(cell_xf), rk_value(record.u32(6 + 6 * i))))
                return false;
        }
        return true;
    }

    // A formula's cached result.
    bool take_formula(const Record &record, int row, int column, int xf)
    {
        if (record.u16(12) != 0xFFFF)
            return book_->add_number(row, column, globals_.number_kind(xf), record.f64(6));
        switch (static_cast<quint8>(record.data[6])) {
        case 0: // the text follows in a STRING record
            string_pending_ = true;
            pending_row_ = row;
            pending_column_ = column;
            return true;
        case 1:
            return book_->add_number(row, column, Kind::Boolean, record.data[8] ? 1 : 0);
        case 2:
            return text_cell(row, column, Kind::Error, error_text(static_cast<quint8>(record.data[8])));
        case 3:
            return text_cell(row, column, Kind::Text, QString());
        default:
            return true;
        }
    }

    StoredWorkbook *book_;
    const BiffGlobals &globals_;
    bool string_pending_ = false;
    int pending_row_ = 0;
    int pending_column_ = 0;
};

// One worksheet's substream; scanned counts the bytes read over all sheets, so that sheets pointing at the
// same records are found out.
bool read_sheet(const QByteArray &stream, const SheetBound &sheet, StoredWorkbook *book, const BiffGlobals &globals,
                qint64 *scanned, QString *error, WorkbookLimit *limit)
{
    if (!book->add_sheet(sheet.name))
        return budget_spent(error, limit);
    qint64 pos = sheet.offset;
    Record record;
    if (!next_record(stream, &pos, &record) || record.type != rec_bof) {
        *error = QStringLiteral("damaged workbook stream");
        return false;
    }
    SheetCells cells(book, globals);
    int depth = 1;
    while (depth > 0 && next_record(stream, &pos, &record)) {
        *scanned += 4 + record.size;
        if (*scanned > stream.size()) {
            *error = QStringLiteral("damaged workbook stream: sheets overlap");
            return false;
        }
        if (record.type == rec_bof) {
            ++depth; // an embedded chart's own records
            continue;
        }
        if (record.type == rec_eof) {
            --depth;
            continue;
        }
        bool taken = true;
        if (depth == 1 && record.type == rec_string) {
            RecordRun text;
            text.add(record);
            for (qint64 peek = pos; next_record(stream, &peek, &record) && record.type == rec_continue; pos = peek) {
                *scanned += 4 + record.size;
                text.add(record);
            }
            taken = cells.take_string(text);
        } else if (depth == 1) {
            taken = cells.take(record);
        }
        if (!taken)
            return budget_spent(error, limit);
    }
    return book->finish_sheet() || budget_spent(error, limit);
}

} // namespace

bool read_biff8(const QByteArray &stream, StoredWorkbook *book, QString *error, WorkbookLimit *limit)
{
    qint64 pos = 0;
    Record record;
    if (!next_record(stream, &pos, &record) || record.type != rec_bof || record.u16(0) != 0x0600) {
        *error = QStringLiteral("damaged workbook stream");
        return false;
    }
    BiffGlobals globals;
    if (!read_globals(stream, &pos, book, &globals, error, limit))
        return false;

    // Two sheets at one place means several sheets point at the same records, which would be read again for each.
    QSet<quint32> starts;
    for (const SheetBound &sheet : globals.worksheets)
        starts.insert(sheet.offset);
    if (starts.size() != static_cast<int>(globals.worksheets.size())) {
        *error = QStringLiteral("damaged workbook stream: sheets overlap");
        return false;
    }
    qint64 scanned = 0;
    for (const SheetBound &sheet : globals.worksheets)
        if (!read_sheet(stream, sheet, book, globals, &scanned, error, limit))
            return false;
    return true;
}
