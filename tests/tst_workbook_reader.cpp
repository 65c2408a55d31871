// The workbook reader on files from real spreadsheet writers, and on hostile files made here at run time.
#include "excelimport/stored_workbook.h"
#include "excelimport/workbook.h"
#include "tests/support/zip_builder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/resource.h>
#include <zlib.h>

#include <cmath>
#include <functional>

namespace
{

const QString data_dir = QStringLiteral(QUELT_TEST_DATA "/workbooks/");

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// A small zip writer: members are given as producers that append their content in pieces, so a member of
// hundreds of megabytes is deflated without ever being held whole. claimed_size, when >= 0, is written to the
// headers in place of the true size (a lying header).
struct ZipMember {
    QString name;
    zip_builder::Producer produce;
    qint64 claimed_size = -1;
};

using MakeFile = std::function<bool(const QString &)>;

} // namespace

Q_DECLARE_METATYPE(MakeFile)
Q_DECLARE_METATYPE(QList<ZipMember>)
Q_DECLARE_METATYPE(WorkbookLimit)

namespace
{

ZipMember text_member(const QString &name, const QByteArray &text)
{
    return {name, [text](const std::function<void(const QByteArray &)> &put) { put(text); }};
}

using zip_builder::put16;

bool write_zip(const QString &path, const QList<ZipMember> &members)
{
    QList<zip_builder::Entry> entries;
    for (const ZipMember &m : members) {
        entries.append(zip_builder::deflated(m.name.toUtf8(), m.produce));
        if (m.claimed_size >= 0)
            entries.last().size = static_cast<quint32>(m.claimed_size);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(zip_builder::archive(entries)) > 0;
}

const QByteArray main_ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const QByteArray rel_ns = "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
const QByteArray rel_type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A minimal package with the given sheets: each (name, relationship type, sheet XML or empty); properties go
// into the workbook part before its sheets (a <workbookPr>).
QList<ZipMember> package(const QList<std::tuple<QByteArray, QByteArray, ZipMember>> &sheets,
                         const QByteArray &properties = {})
{
    QByteArray workbook = "<workbook " + main_ns + " " + rel_ns + ">" + properties + "<sheets>";
    QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    QList<ZipMember> members;
    int n = 0;
    for (const auto &[name, type, member] : sheets) {
        ++n;
        workbook += "<sheet name=\"" + name + "\" sheetId=\"" + QByteArray::number(n) + "\" r:id=\"rId" +
                    QByteArray::number(n) + "\"/>";
        rels += "<Relationship Id=\"rId" + QByteArray::number(n) + "\" Type=\"" +
                (type.contains("://") ? type : rel_type + type) + "\" Target=\"" + member.name.mid(3).toUtf8() + "\"/>";
        members << member;
    }
    workbook += "</sheets></workbook>";
    rels += "</Relationships>";
    members << text_member("[Content_Types].xml", "<Types/>")
            << text_member("_rels/.rels",
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                           "<Relationship Id=\"rId1\" Type=\"" +
                               rel_type + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>")
            << text_member("xl/workbook.xml", workbook) << text_member("xl/_rels/workbook.xml.rels", rels);
    return members;
}

ZipMember sheet_member(int n, const QByteArray &cells)
{
    return text_member(QStringLiteral("xl/worksheets/sheet%1.xml").arg(n),
                       "<worksheet " + main_ns + "><sheetData>" + cells + "</sheetData></worksheet>");
}

// A sheet of about `bytes` bytes of valid XML that the reader has to stream through.
ZipMember huge_sheet(qint64 bytes, qint64 claimed = -1)
{
    ZipMember m;
    m.name = QStringLiteral("xl/worksheets/sheet1.xml");
    m.claimed_size = claimed;
    m.produce = [bytes](const std::function<void(const QByteArray &)> &put) {
        put("<worksheet " + main_ns + "><sheetData>");
        const QByteArray filler = "<x a=\"" + QByteArray(4000, 'a') + "\"/>";
        QByteArray block;
        while (block.size() < 1 << 20)
            block += filler;
        for (qint64 done = 0; done < bytes; done += block.size())
            put(block);
        put("</sheetData></worksheet>");
    };
    return m;
}

// Writes a little-endian value into a file image in place.
template <typename T> void set_le(QByteArray &file, int at, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian<T>(value, bytes);
    file.replace(at, int(sizeof(T)), bytes, int(sizeof(T)));
}

// A compound file holding an encrypted Office package (what an .xlsx with a password is).
QByteArray encrypted_package()
{
    QByteArray file(512 * 3, '\0');
    auto set32 = [&](int at, quint32 v) { set_le(file, at, v); };
    auto set16 = [&](int at, quint16 v) { set_le(file, at, v); };
    file.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    set16(0x18, 0x3E);
    set16(0x1A, 3);
    set16(0x1C, 0xFFFE);
    set16(0x1E, 9);
    set16(0x20, 6);
    set32(0x2C, 1);    // one FAT sector
    set32(0x30, 1);    // directory at sector 1
    set32(0x38, 4096); // mini stream cut-off
    set32(0x3C, 0xFFFFFFFE);
    set32(0x44, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i)
        set32(0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    const int fat = 512;
    for (int i = 0; i < 128; ++i)
        set32(fat + 4 * i, 0xFFFFFFFF);
    set32(fat, 0xFFFFFFFD);
    set32(fat + 4, 0xFFFFFFFE);
    const int dir = 1024;
    const auto entry = [&](int index, const QString &name, int type) {
        const int at = dir + 128 * index;
        for (int i = 0; i < name.size(); ++i)
            set16(at + 2 * i, name.at(i).unicode());
        set16(at + 0x40, static_cast<quint16>(2 * (name.size() + 1)));
        file[at + 0x42] = char(type);
        set32(at + 0x44, 0xFFFFFFFF);
        set32(at + 0x48, 0xFFFFFFFF);
        set32(at + 0x4C, index == 0 ? 1 : 0xFFFFFFFF);
        set32(at + 0x74, 0xFFFFFFFE);
    };
    entry(0, QStringLiteral("Root Entry"), 5);
    entry(1, QStringLiteral("EncryptedPackage"), 2);
    entry(2, QStringLiteral("EncryptionInfo"), 2);
    entry(3, QString(), 0);
    return file;
}

// A compound file of 4 MB whose directory chain loops on its first sector, behind an allocation table that every
// listed table sector repeats: about a million table entries for the loop to run through.
QByteArray looping_compound_file()
{
    const int sectors = 8192;
    QByteArray file(512 * (sectors + 1), '\0');
    auto set32 = [&](int at, quint32 v) { set_le(file, at, v); };
    auto set16 = [&](int at, quint16 v) { set_le(file, at, v); };
    file.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    set16(0x1E, 9);
    set16(0x20, 6);
    set32(0x30, 0); // directory at sector 0, which is also the table sector: its entry 0 points at itself
    set32(0x38, 4096);
    set32(0x3C, 0xFFFFFFFE);
    set32(0x44, 1); // table sector list goes on in sectors 1 to 63
    const int list_sectors = 63;
    for (int k = 1; k <= list_sectors; ++k)
        set32(512 * (k + 1) + 4 * 127, k < list_sectors ? k + 1 : 0xFFFFFFFE);
    return file;
}

// A compound file holding one workbook stream of at least 4096 bytes, laid out as stream, directory, table, in
// sectors of 512 bytes (shift 9) or 4096 (shift 12, for streams of tens of megabytes).
QByteArray compound_file(const QByteArray &stream, int shift = 9)
{
    const int unit = 1 << shift;
    const int stream_sectors = (stream.size() + unit - 1) / unit;
    int table_sectors = 1;
    while (table_sectors * (unit / 4) < stream_sectors + 1 + table_sectors)
        ++table_sectors;
    const int dir_sector = stream_sectors;
    QByteArray file(unit * (stream_sectors + 2 + table_sectors), '\0');
    auto set32 = [&](int at, quint32 v) { set_le(file, at, v); };
    auto set16 = [&](int at, quint16 v) { set_le(file, at, v); };
    file.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    set16(0x1E, static_cast<quint16>(shift));
    set16(0x20, 6);
    set32(0x2C, table_sectors);
    set32(0x30, dir_sector);
    set32(0x38, 4096);
    set32(0x3C, 0xFFFFFFFE);
    set32(0x44, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i)
        set32(0x4C + 4 * i, i < table_sectors ? dir_sector + 1 + i : 0xFFFFFFFF);
    file.replace(unit, stream.size(), stream);
    const int table = unit * (dir_sector + 2);
    for (int i = 0; i < table_sectors * (unit / 4); ++i) {
        quint32 next = 0xFFFFFFFF;
        if (i < stream_sectors)
            next = i + 1 < stream_sectors ? i + 1 : 0xFFFFFFFE;
        else if (i == dir_sector)
            next = 0xFFFFFFFE;
        else if (i <= dir_sector + table_sectors)
            next = 0xFFFFFFFD;
        set32(table + 4 * i, next);
    }
    const int dir = unit * (dir_sector + 1);
    const auto entry = [&](int index, const QString &name, int type, quint32 start, quint32 size) {
        const int at = dir + 128 * index;
        for (int i = 0; i < name.size(); ++i)
            set16(at + 2 * i, name.at(i).unicode());
        set16(at + 0x40, static_cast<quint16>(2 * (name.size() + 1)));
        file[at + 0x42] = char(type);
        set32(at + 0x74, start);
        set32(at + 0x78, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, 0xFFFFFFFE, 0);
    entry(1, QStringLiteral("Workbook"), 2, 0, static_cast<quint32>(stream.size()));
    return file;
}

// A BIFF record.
QByteArray biff(quint16 type, const QByteArray &data)
{
    QByteArray record;
    put16(record, type);
    put16(record, static_cast<quint16>(data.size()));
    return record + data;
}

// A BIFF8 BOF record: kind 0x0005 the workbook globals, 0x0010 a worksheet, 0x0020 a chart.
QByteArray biff_bof(quint16 kind)
{
    QByteArray data;
    put16(data, 0x0600);
    put16(data, kind);
    return biff(0x0809, data + QByteArray(12, '\0'));
}

// An .xls of one worksheet "S" that holds an embedded chart, then in A1:C1 the BOOLERR cells TRUE, FALSE and #DIV/0!.
QByteArray xls_cells_after_chart()
{
    const auto boolerr = [](quint16 column, char value, char error) {
        QByteArray data;
        put16(data, 0);
        put16(data, column);
        put16(data, 0);
        return biff(0x0205, data + value + error);
    };
    const QByteArray eof = biff(0x000A, {});
    const QByteArray globals_head = biff_bof(0x0005);
    const int sheet_at = globals_head.size() + 4 + 9 + eof.size();
    QByteArray sheet_entry;
    zip_builder::put32(sheet_entry, static_cast<quint32>(sheet_at));
    sheet_entry += QByteArray("\0\0\x01\0S", 5);
    const QByteArray stream = globals_head + biff(0x0085, sheet_entry) + eof + biff_bof(0x0010) + biff_bof(0x0020) +
                              eof + boolerr(0, 1, 0) + boolerr(1, 0, 0) + boolerr(2, 0x07, 1) + eof +
                              biff(0x00EB, QByteArray(4096, '\0'));
    return compound_file(stream);
}

// A UTF-8 worksheet document as UTF-16 with a byte order mark.
QByteArray utf16_document(const QByteArray &utf8)
{
    QByteArray wide("\xFF\xFE", 2);
    for (const QChar ch : QString::fromUtf8(QByteArray(utf8).replace("UTF-8", "UTF-16")))
        wide.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    return wide;
}

// How many of this process's open file descriptors point at path.
int open_descriptors(const QString &path)
{
    int count = 0;
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
        count += fd.symLinkTarget() == target;
    return count;
}

QByteArray read_file(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Offsets of every record of a type in an .xls file's bytes whose data starts as expected.
QList<int> find_records(const QByteArray &file, quint16 type, int length)
{
    QList<int> found;
    QByteArray head;
    put16(head, type);
    put16(head, static_cast<quint16>(length));
    for (int at = file.indexOf(head); at >= 0; at = file.indexOf(head, at + 1))
        found << at;
    return found;
}

MakeFile bytes_file(const QByteArray &content)
{
    return [content](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    };
}

MakeFile zip_file(const QList<ZipMember> &members)
{
    return [members](const QString &path) { return write_zip(path, members); };
}

const QByteArray worksheet = "worksheet";

// Rows of hostile_files: files that are no workbook at all, or a damaged or encrypted package.
void add_unreadable_files(const QByteArray &xlsx)
{
    QTest::newRow("missing file") << "missing.xlsx" << MakeFile([](const QString &) { return true; })
                                  << QString("cannot open") << WorkbookLimit::none;
    QTest::newRow("empty file") << "empty.xlsx" << bytes_file(QByteArray()) << QString("not a workbook")
                                << WorkbookLimit::none;
    QTest::newRow("text renamed .xlsx") << "text.xlsx" << bytes_file("Всего работающих;20336\n")
                                        << QString("not a workbook") << WorkbookLimit::none;
    QTest::newRow("text renamed .xls") << "text.xls" << bytes_file("PK but not a zip") << QString("not a workbook")
                                       << WorkbookLimit::none;
    QTest::newRow("zip cut in half") << "half.xlsx" << bytes_file(xlsx.left(xlsx.size() / 2)) << QString("damaged zip")
                                     << WorkbookLimit::none;
    QByteArray scrambled = xlsx;
    for (int i = scrambled.size() / 4; i < scrambled.size() / 2; i += 7)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    QTest::newRow("zip with damaged data")
        << "scrambled.xlsx" << bytes_file(scrambled) << QString("part") << WorkbookLimit::none;
    QTest::newRow("zip that is no workbook") << "other.xlsx" << zip_file({text_member("readme.txt", "hello")})
                                             << QString("not a workbook") << WorkbookLimit::none;
    QTest::newRow("encrypted .xlsx") << "encrypted.xlsx" << bytes_file(encrypted_package()) << QString("encrypted")
                                     << WorkbookLimit::none;
}

// Rows of hostile_files: packages inflating past the limits, and cells or rows past the sheet's edges.
void add_oversized_packages()
{
    QTest::newRow("zip bomb, honest header")
        << "bomb.xlsx" << zip_file(package({{"Bomb", worksheet, huge_sheet(210LL << 20)}})) << QString("too large")
        << WorkbookLimit::part_size;
    QTest::newRow("zip bomb, header claims 4 GB")
        << "bomb4g.xlsx" << zip_file(package({{"Bomb", worksheet, huge_sheet(210LL << 20, 0xFFFFFFF0LL)}}))
        << QString("too large") << WorkbookLimit::part_size;
    QTest::newRow("zip bomb, header claims 190 MB")
        << "bomb190.xlsx" << zip_file(package({{"Bomb", worksheet, huge_sheet(210LL << 20, 190LL << 20)}}))
        << QString("damaged part") << WorkbookLimit::none;
    QTest::newRow("zip bomb, header claims little")
        << "bombsmall.xlsx" << zip_file(package({{"Bomb", worksheet, huge_sheet(210LL << 20, 1000)}}))
        << QString("damaged part") << WorkbookLimit::none;
    QList<std::tuple<QByteArray, QByteArray, ZipMember>> bombs;
    for (int n = 1; n <= 6; ++n) {
        ZipMember bomb = huge_sheet(180LL << 20);
        bomb.name = QStringLiteral("xl/worksheets/sheet%1.xml").arg(n);
        bombs.append({"Bomb" + QByteArray::number(n), worksheet, bomb});
    }
    QTest::newRow("zip bombs in many sheets")
        << "bombs.xlsx" << zip_file(package(bombs)) << QString("workbook too large") << WorkbookLimit::unpacked_size;
    ZipMember empty_strings;
    empty_strings.name = QStringLiteral("xl/sharedStrings.xml");
    empty_strings.produce = [](const std::function<void(const QByteArray &)> &put) {
        put("<sst " + main_ns + ">");
        QByteArray block;
        for (int i = 0; i < 100'000; ++i)
            block += "<si/>";
        // An empty text takes 12 bytes of the budget.
        for (int i = 0; i <= workbook_limits::max_stored_bytes / 12 / 100'000; ++i)
            put(block);
        put("</sst>");
    };
    QTest::newRow("more shared strings than the budget holds")
        << "strings.xlsx"
        << zip_file(package({{"S", worksheet, sheet_member(1, "")}, {"Strings", "sharedStrings", empty_strings}}))
        << QString("memory budget") << WorkbookLimit::memory_budget;
    ZipMember deep_strings;
    deep_strings.name = QStringLiteral("xl/sharedStrings.xml");
    deep_strings.produce = [](const std::function<void(const QByteArray &)> &put) {
        put("<sst " + main_ns + "><si>");
        QByteArray block;
        for (int i = 0; i < 100'000; ++i)
            block += "<r>";
        for (int i = 0; i < 50; ++i)
            put(block);
    };
    QTest::newRow("shared strings nested deep")
        << "deep.xlsx"
        << zip_file(package({{"S", worksheet, sheet_member(1, "")}, {"Strings", "sharedStrings", deep_strings}}))
        << QString("nested too deep") << WorkbookLimit::nesting_depth;
    // Lists one entry longer than a part may hold.
    const auto listing = [](const QByteArray &head, const QByteArray &entry, const QByteArray &tail) {
        QByteArray text = head;
        for (int i = 0; i <= 1 << 16; ++i)
            text += entry;
        return text + tail;
    };
    const auto with_part = [](const QString &name, const QByteArray &text) {
        QList<ZipMember> members = package({{"S", worksheet, sheet_member(1, "")}});
        for (ZipMember &m : members)
            if (m.name == name)
                m = text_member(name, text);
        return members;
    };
    QTest::newRow("more sheets than a workbook lists")
        << "sheets.xlsx"
        << zip_file(with_part("xl/workbook.xml",
                              listing("<workbook " + main_ns + "><sheets>", "<sheet/>", "</sheets></workbook>")))
        << QString("too many sheets") << WorkbookLimit::sheet_count;
    QTest::newRow("more relationships than a part lists")
        << "rels.xlsx"
        << zip_file(with_part("xl/_rels/workbook.xml.rels",
                              listing("<Relationships>", "<Relationship/>", "</Relationships>")))
        << QString("too many relationships") << WorkbookLimit::relationship_count;
    QTest::newRow("more styles than a workbook lists")
        << "styles.xlsx"
        << zip_file(package(
               {{"S", worksheet, sheet_member(1, "")},
                {"Styles", "styles",
                 text_member("xl/styles.xml", listing("<styleSheet><cellXfs>", "<xf/>", "</cellXfs></styleSheet>"))}}))
        << QString("too many formats") << WorkbookLimit::format_count;
    QTest::newRow("cell past the last column")
        << "wide.xlsx"
        << zip_file(package({{"S", worksheet, sheet_member(1, "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>")}}))
        << QString("edge") << WorkbookLimit::none;
    QTest::newRow("cell past the last row")
        << "tall.xlsx"
        << zip_file(
               package({{"S", worksheet, sheet_member(1, "<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>")}}))
        << QString("edge") << WorkbookLimit::none;
    QTest::newRow("row past the last row")
        << "tallrow.xlsx" << zip_file(package({{"S", worksheet, sheet_member(1, "<row r=\"1048577\"/>")}}))
        << QString("edge") << WorkbookLimit::none;
    QByteArray crowded = "<row>";
    for (int i = 0; i <= 16384; ++i)
        crowded += "<c><v>1</v></c>";
    crowded += "</row>";
    QTest::newRow("more cells in a row than a sheet holds")
        << "crowded.xlsx" << zip_file(package({{"S", worksheet, sheet_member(1, crowded)}}))
        << QString("more cells in a row") << WorkbookLimit::none;
    QTest::newRow("two sheets sharing one part")
        << "shared.xlsx"
        << zip_file(package({{"A", worksheet, sheet_member(1, "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")},
                             {"B", worksheet, sheet_member(1, "")}}))
        << QString("used twice") << WorkbookLimit::none;
}

// Rows of hostile_files: damaged or hostile sheet XML.
void add_hostile_sheets()
{
    QTest::newRow("unknown entity")
        << "entity.xlsx"
        << zip_file(package(
               {{"S", worksheet, sheet_member(1, "<row r=\"1\"><c r=\"A1\" t=\"str\"><v>&bomb;</v></c></row>")}}))
        << QString("damaged part") << WorkbookLimit::none;
    QTest::newRow("document type declaration")
        << "doctype.xlsx"
        << zip_file(package(
               {{"S", worksheet,
                 text_member("xl/worksheets/sheet1.xml",
                             "<!DOCTYPE w [<!ENTITY a \"aaaa\">]><worksheet><sheetData><row r=\"1\"><c r=\"A1\" "
                             "t=\"str\"><v>&a;</v></c></row></sheetData></worksheet>")}}))
        << QString("document type declaration") << WorkbookLimit::none;
    QTest::newRow("unclosed sheet data")
        << "unclosed.xlsx"
        << zip_file(package({{"S", worksheet,
                              text_member("xl/worksheets/sheet1.xml",
                                          "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c>")}}))
        << QString("damaged part") << WorkbookLimit::none;
    QTest::newRow("worksheet part missing")
        << "nopart.xlsx" << zip_file(package({{"S", worksheet, text_member("xl/other.xml", "<x/>")}}).mid(1))
        << QString("missing part") << WorkbookLimit::none;
    QTest::newRow("broken sheet XML")
        << "badxml.xlsx"
        << zip_file(package({{"S", worksheet, text_member("xl/worksheets/sheet1.xml", "<worksheet><sheetData><row>")}}))
        << QString("damaged part") << WorkbookLimit::none;
}

// Rows of hostile_files: damaged, encrypted and unsupported .xls files.
void add_hostile_xls(const QByteArray &xls)
{
    QTest::newRow(".xls directory chain looping")
        << "loop.xls" << bytes_file(looping_compound_file()) << QString("damaged directory") << WorkbookLimit::none;
    QByteArray many_formats;
    put16(many_formats, 0x0809);
    put16(many_formats, 16);
    put16(many_formats, 0x0600);
    put16(many_formats, 0x0005);
    many_formats += QByteArray(12, '\0');
    for (int i = 0; i <= workbook_limits::max_list_entries; ++i) {
        put16(many_formats, 0x00E0);
        put16(many_formats, 0);
    }
    put16(many_formats, 0x000A);
    put16(many_formats, 0);
    QTest::newRow(".xls with more formats than a workbook lists")
        << "formats.xls" << bytes_file(compound_file(many_formats)) << QString("too many formats")
        << WorkbookLimit::format_count;
    QTest::newRow(".xls cut in half") << "half.xls" << bytes_file(xls.left(xls.size() / 2)) << QString("damaged")
                                      << WorkbookLimit::none;
    QTest::newRow(".xls header only") << "header.xls" << bytes_file(xls.left(512)) << QString("damaged")
                                      << WorkbookLimit::none;
    // Encrypted: the workbook globals carry a FILEPASS record (here in place of the WRITEACCESS record).
    QByteArray locked = xls;
    const QList<int> access = find_records(locked, 0x005C, 112);
    if (!access.isEmpty())
        locked[access.first()] = char(0x2F);
    QTest::newRow("encrypted .xls") << (access.isEmpty() ? "nofilepass.xls" : "locked.xls") << bytes_file(locked)
                                    << QString("encrypted") << WorkbookLimit::none;
    // The BOF record of the workbook globals, version 0x0600, turned into version 0x0500.
    QByteArray old = xls;
    const int bof = old.indexOf(QByteArray("\x09\x08\x10\x00\x00\x06\x05\x00", 8));
    if (bof >= 0)
        old[bof + 5] = 0x05;
    QByteArray past = xls;
    for (const int at : find_records(past, 0x0200, 14))
        qToLittleEndian<quint32>(70000, reinterpret_cast<uchar *>(past.data() + at + 4 + 4));
    // Every sheet pointing at the first sheet's records, which would be read again for each.
    QByteArray overlapping = xls;
    QList<int> sheets;
    for (int at = overlapping.indexOf(QByteArray("\x85\x00", 2)); at >= 0;
         at = overlapping.indexOf(QByteArray("\x85\x00", 2), at + 1)) {
        const int length = static_cast<uchar>(overlapping[at + 2]);
        if (overlapping.at(at + 3) == 0 && length >= 8 && length < 80 && overlapping.at(at + 4 + 5) == 0)
            sheets << at;
    }
    for (const int at : sheets)
        overlapping.replace(at + 4, 4, overlapping.mid(sheets.first() + 4, 4));
    QTest::newRow(".xls sheets sharing records")
        << (sheets.size() == 3 ? "overlap.xls" : "nosheets.xls") << bytes_file(overlapping) << QString("overlap")
        << WorkbookLimit::none;
    QTest::newRow("Excel 95 .xls") << "old.xls" << bytes_file(old) << QString("Excel 95") << WorkbookLimit::none;
    QTest::newRow(".xls rows past the format's edge")
        << "past.xls" << bytes_file(past) << QString("format's edge") << WorkbookLimit::none;
}

// A BIFF8 cell record's row, column and format (XF index), 0-based.
QByteArray biff_cell(quint16 row, quint16 column, quint16 xf = 0)
{
    QByteArray data;
    put16(data, row);
    put16(data, column);
    put16(data, xf);
    return data;
}

// A BIFF8 workbook stream: the globals with extra records, one worksheet holding the cell records given, or the
// number 1 in A1.
QByteArray biff_workbook(const QByteArray &globals, QByteArray cells = {})
{
    const QByteArray head = biff_bof(0x0005) + globals;
    QByteArray bound;
    const QByteArray name = "S";
    zip_builder::put32(bound, 0); // set below
    bound += QByteArray(2, '\0') + char(name.size()) + '\0' + name;
    const QByteArray bound_record = biff(0x0085, bound);
    const QByteArray end = biff(0x000A, {});
    QByteArray stream = head + bound_record + end;
    qToLittleEndian<quint32>(static_cast<quint32>(stream.size()),
                             reinterpret_cast<uchar *>(stream.data() + head.size() + 4));
    if (cells.isEmpty()) {
        double one = 1.0;
        cells = biff(0x0203, biff_cell(0, 0) + QByteArray(reinterpret_cast<const char *>(&one), 8));
    }
    return stream + biff_bof(0x0010) + cells + end;
}

// A FORMULA record (of the given record type) whose cached result is a number.
QByteArray biff_formula(quint16 type, quint16 row, quint16 column, double value, quint16 xf = 0)
{
    return biff(type, biff_cell(row, column, xf) + QByteArray(reinterpret_cast<const char *>(&value), 8) +
                          QByteArray(8, '\0'));
}

// A shared string table of one-letter texts, split over CONTINUE records as Excel does.
QByteArray one_letter_strings(int count)
{
    QByteArray table;
    zip_builder::put32(table, static_cast<quint32>(count));
    zip_builder::put32(table, static_cast<quint32>(count));
    QByteArray out;
    quint16 type = 0x00FC;
    for (int i = 0; i < count; ++i) {
        if (table.size() + 4 > 8224) {
            out += biff(type, table);
            table.clear();
            type = 0x003C;
        }
        table += QByteArray("\x01\x00\x00", 3) + char('a' + i % 26);
    }
    return out + biff(type, table);
}

// A worksheet part made piece by piece: head, then piece repeated to about bytes, then tail.
ZipMember repeated_member(const QString &name, const QByteArray &head, const QByteArray &piece, qint64 bytes,
                          const QByteArray &tail)
{
    ZipMember m;
    m.name = name;
    m.produce = [=](const std::function<void(const QByteArray &)> &put) {
        put(head);
        QByteArray block;
        while (block.size() < (1 << 20) && block.size() < bytes)
            block += piece;
        for (qint64 done = 0; done < bytes; done += block.size())
            put(bytes - done < block.size() ? block.left(static_cast<int>(bytes - done)) : block);
        put(tail);
    };
    return m;
}

ZipMember repeated_sheet(const QByteArray &head, const QByteArray &piece, qint64 bytes, const QByteArray &tail)
{
    return repeated_member(QStringLiteral("xl/worksheets/sheet1.xml"), "<worksheet " + main_ns + "><sheetData>" + head,
                           piece, bytes, tail + "</sheetData></worksheet>");
}

// The same member written as UTF-16 with a byte order mark (its pieces are ASCII).
ZipMember as_utf16(ZipMember m)
{
    const zip_builder::Producer utf8 = m.produce;
    m.produce = [utf8](const std::function<void(const QByteArray &)> &put) {
        put(QByteArray("\xFF\xFE", 2));
        utf8([&](const QByteArray &piece) {
            QByteArray wide(2 * piece.size(), '\0');
            for (int i = 0; i < piece.size(); ++i)
                wide[2 * i] = piece[i];
            put(wide);
        });
    };
    return m;
}

// Rows of memory_stays_bounded: one text near the budget, held once while it is read.
void add_long_texts()
{
    // 66 M characters (132 MB stored), written between comments as no text may run past 16 MiB.
    const QByteArray piece = QByteArray(1000, 'a') + "<!---->";
    const qint64 long_text = 66'000 * piece.size();
    const QByteArray cells = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"str\"><v>";
    const QByteArray cells_end = "</v></c></row>";
    QTest::newRow("text near the budget in a UTF-16 sheet")
        << "utf16.xlsx"
        << zip_file(package({{"S", worksheet, as_utf16(repeated_sheet(cells, piece, long_text, cells_end))}}))
        << QString() << WorkbookLimit::none;
    QTest::newRow("text near the budget in a UTF-8 sheet")
        << "utf8.xlsx" << zip_file(package({{"S", worksheet, repeated_sheet(cells, piece, long_text, cells_end)}}))
        << QString() << WorkbookLimit::none;
    const auto single_byte_sheet = [](int n, const QByteArray &cells, qint64 bytes, const QByteArray &cells_end) {
        return repeated_member(QStringLiteral("xl/worksheets/sheet%1.xml").arg(n),
                               "<?xml version=\"1.0\" encoding=\"windows-1251\"?><worksheet " + main_ns +
                                   "><sheetData>" + cells,
                               QByteArray(1000, '\xC0') + "<!---->", bytes, cells_end + "</sheetData></worksheet>");
    };
    QTest::newRow("text near the budget in a windows-1251 sheet")
        << "cp1251.xlsx" << zip_file(package({{"S", worksheet, single_byte_sheet(1, cells, long_text, cells_end)}}))
        << QString() << WorkbookLimit::none;
    const ZipMember strings = as_utf16(repeated_member(
        QStringLiteral("xl/sharedStrings.xml"), "<sst " + main_ns + "><si><t>", piece, long_text, "</t></si></sst>"));
    QTest::newRow("shared string near the budget in a UTF-16 part")
        << "utf16strings.xlsx"
        << zip_file(package(
               {{"S", worksheet,
                 sheet_member(1, "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"s\"><v>0</v></c></row>")},
                {"T", "sharedStrings", strings}}))
        << QString() << WorkbookLimit::none;
    // Two of 40 M characters: the second does not fit.
    const qint64 forty = 40'000 * piece.size();
    QTest::newRow("second long text past the budget")
        << "cp1251twice.xlsx"
        << zip_file(package({{"A", worksheet, single_byte_sheet(1, cells, forty, cells_end)},
                             {"B", worksheet, single_byte_sheet(2, cells, forty, cells_end)}}))
        << QString("memory budget") << WorkbookLimit::memory_budget;
    // A sheet of 200,000 cells from the last row up, whose sort borrows room for half of them (1.6 MB); then a text
    // that fits only when that room is given back.
    ZipMember backwards;
    backwards.name = QStringLiteral("xl/worksheets/sheet1.xml");
    backwards.produce = [](const std::function<void(const QByteArray &)> &put) {
        put("<worksheet " + main_ns + "><sheetData>");
        QByteArray rows;
        for (int r = 200'000; r >= 1; --r) {
            rows += "<row r=\"" + QByteArray::number(r) + "\"><c><v>1</v></c></row>";
            if (rows.size() > (1 << 20) || r == 1)
                put(rows), rows.clear();
        }
        put("</sheetData></worksheet>");
    };
    ZipMember filling =
        repeated_sheet("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>", piece, 65'100 * piece.size(), cells_end);
    filling.name = QStringLiteral("xl/worksheets/sheet2.xml");
    QTest::newRow("sheet out of order, then a text filling the budget")
        << "backwards.xlsx" << zip_file(package({{"A", worksheet, backwards}, {"B", worksheet, filling}})) << QString()
        << WorkbookLimit::none;
}

// Rows of memory_stays_bounded: workbooks crafted to cost much memory or time; each is opened in a process of its
// own. An empty reason means the workbook is read and its A1 is 1.
void add_costly_workbooks()
{
    const QByteArray ten_cells = "<row>" + QByteArray("<c><v>1</v></c>").repeated(10) + "</row>";
    QTest::newRow("10 M numbers")
        << "numbers.xlsx"
        << zip_file(package({{"S", worksheet, repeated_sheet("", ten_cells, 1'000'000LL * ten_cells.size(), "")}}))
        << QString("memory budget") << WorkbookLimit::memory_budget;
    const ZipMember letters = repeated_member(QStringLiteral("xl/sharedStrings.xml"), "<sst " + main_ns + ">",
                                              "<si><t>a</t></si>", 10'000'000LL * 17, "</sst>");
    QTest::newRow("10 M one-letter shared strings")
        << "letters.xlsx" << zip_file(package({{"S", worksheet, sheet_member(1, "")}, {"T", "sharedStrings", letters}}))
        << QString("memory budget") << WorkbookLimit::memory_budget;
    const ZipMember one_long = repeated_member(QStringLiteral("xl/sharedStrings.xml"), "<sst " + main_ns + "><si><t>",
                                               "a", 199LL << 20, "</t></si></sst>");
    QTest::newRow("one shared string of 199 MiB")
        << "longtext.xlsx"
        << zip_file(package({{"S", worksheet, sheet_member(1, "")}, {"T", "sharedStrings", one_long}}))
        << QString("past 16 MiB") << WorkbookLimit::markup_length;
    const QByteArray cell = "<row r=\"1\"><c r=\"A1\" t=\"str\"><v>";
    QTest::newRow("198 MB cell text in pieces")
        << "pieces.xlsx"
        << zip_file(package({{"S", worksheet,
                              repeated_sheet(cell, QByteArray(1000, 'a') + "<!---->", 198'000'000, "</v></c></row>")}}))
        << QString("memory budget") << WorkbookLimit::memory_budget;
    QTest::newRow("198 MB cell text in character data sections")
        << "cdata.xlsx"
        << zip_file(package(
               {{"S", worksheet,
                 repeated_sheet(cell, "<![CDATA[" + QByteArray(1000, 'a') + "]]>", 198'000'000, "</v></c></row>")}}))
        << QString("memory budget") << WorkbookLimit::memory_budget;
    QTest::newRow("tag of 16 MiB and one byte")
        << "tag.xlsx"
        << zip_file(package({{"S", worksheet, repeated_sheet("<row r=\"1\" x=\"", "a", (16 << 20) + 1 - 17, "\"/>")}}))
        << QString("past 16 MiB") << WorkbookLimit::markup_length;
    QTest::newRow("comment of 16 MiB and one byte")
        << "comment.xlsx"
        << zip_file(package({{"S", worksheet, repeated_sheet("<!--", "a", (16 << 20) + 1 - 7, "-->")}}))
        << QString("past 16 MiB") << WorkbookLimit::markup_length;
    // Large files are made only when the row runs.
    const auto made_when_run = [](std::function<QByteArray()> content) {
        return MakeFile([content](const QString &path) { return bytes_file(content())(path); });
    };
    QTest::newRow(".xls of 10 M shared strings") << "letters.xls" << made_when_run([] {
        return compound_file(biff_workbook(one_letter_strings(10'000'000)), 12);
    }) << QString("memory budget") << WorkbookLimit::memory_budget;
    // Records the reader passes over, up to a stream of 95 MiB.
    QTest::newRow(".xls stream of 95 MiB") << "stream.xls" << made_when_run([] {
        const QByteArray filler = biff(0x1234, QByteArray(8000, 'x'));
        return compound_file(biff_workbook(filler.repeated((95 << 20) / filler.size())), 12);
    }) << QString() << WorkbookLimit::none;
    QTest::newRow(".xls file of 195 MiB") << "huge.xls" << MakeFile([](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 8 &&
               f.resize(195LL << 20);
    }) << QString(".xls limit") << WorkbookLimit::file_size;
}

} // namespace

class TestWorkbookReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void every_cell_kind_data();
    void every_cell_kind();
    void libreoffice_xlsx_and_xls_read_alike_data();
    void libreoffice_xlsx_and_xls_read_alike();
    void openpyxl_workbooks_data();
    void openpyxl_workbooks();
    void serial_dates_data();
    void serial_dates();
    void date_formats_data();
    void date_formats();
    void sheet_markup_data();
    void sheet_markup();
    void long_sheet_read_in_pieces();
    void numbers_convert_as_callers_use_them();
    void bad_indexes_read_as_empty();
    void close_frees_the_workbook_data();
    void close_frees_the_workbook();
    void hostile_files_data();
    void hostile_files();
    void xls_with_embedded_chart();
    void fuzz_finds_stay_harmless_data();
    void fuzz_finds_stay_harmless();
    void workbook_without_worksheets_data();
    void workbook_without_worksheets();
    void memory_stays_bounded_data();
    void memory_stays_bounded();
    void other_writers_cells_data();
    void other_writers_cells();

private:
    QTemporaryDir temp_;
};

void TestWorkbookReader::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(temp_.isValid());
}

void TestWorkbookReader::every_cell_kind_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("date1904");
    QTest::newRow("xlsxwriter, shared strings") << "xlsxwriter_kinds.xlsx" << false;
    QTest::newRow("xlsxwriter, inline strings") << "xlsxwriter_inline.xlsx" << false;
    QTest::newRow("xlsxwriter, 1904 dates") << "xlsxwriter_1904.xlsx" << true;
    QTest::newRow("absolute relationship targets") << "absolute_targets.xlsx" << false;
    QTest::newRow("LibreOffice .xlsx") << "libreoffice_kinds.xlsx" << false;
    QTest::newRow("LibreOffice .xls") << "libreoffice_kinds.xls" << false;
    QTest::newRow("LibreOffice .xls, 1904 dates") << "libreoffice_1904.xls" << true;
    // The LibreOffice .xls stream in other containers (make_reader_cases.py).
    QTest::newRow(".xls of Excel 97 and Excel 95 in one") << "dual_format.xls" << false;
    QTest::newRow(".xls stream name in capitals") << "upper_case_stream.xls" << false;
    QTest::newRow(".xls last sector cut short") << "short_last_sector.xls" << false;
    QTest::newRow(".xls formulas in records 0x0206") << "formula_0206.xls" << false;
    QTest::newRow("workbookPr repeated in Excel's extension") << "excel_1904_extension.xlsx" << true;
}

void TestWorkbookReader::every_cell_kind()
{
    QFETCH(QString, file);
    QFETCH(bool, date1904);
    QString error;
    const auto book = Workbook::open(data_dir + file, &error);
    QVERIFY2(book, qPrintable(error));
    // The chart sheet is left out, the hidden one kept, the tab order kept.
    QCOMPARE(book->sheet_names(), QStringList({"Данные", "Скрытый", "Last"}));
    struct Expected {
        int row, column;
        QVariant value;
    };
    const QList<Expected> cells = {
        {1, 1, QString("Всего работающих")},
        {1, 2, 20336.0},
        {1, 3, 3.5},
        {1, 4, -7.0},
        {1, 5, 1234.5}, // a currency format is no date
        {2, 1, utc(2020, 1, 15)},
        {2, 2, utc(2021, 6, 30, 13, 45, 10)},
        {2, 3, utc(1999, 12, 31)}, // built-in format 14
        {2, 4, date1904 ? utc(1904, 1, 1, 18) : utc(1899, 12, 30, 18)},
        {2, 5, utc(2025, 9, 1)},
        {3, 1, 20337.0},
        {3, 2, QString("Всего работающих!")},
        {3, 3, true},
        {4, 1, true},
        {4, 2, false},
        {5, 1, QString("#DIV/0!")},
        {5, 2, QString("#N/A")},
        {6, 1, QString("Сведения о работающих (итог)")},
        {6, 2, QVariant()},
        {7, 26, QVariant()},
        {7, 27, QString("AA")},
        {7, 28, 28.0},
        {7, 52, QString("AZ")},
        {7, 256, 256.0},
        {8, 1, QVariant()},
    };
    for (const Expected &e : cells) {
        const QVariant got = book->cell(0, e.row, e.column);
        const QByteArray where = QStringLiteral("cell (%1, %2): %3 %4")
                                     .arg(e.row)
                                     .arg(e.column)
                                     .arg(got.typeName(), got.toString())
                                     .toUtf8();
        QVERIFY2(got.userType() == e.value.userType(), where.constData());
        QVERIFY2(got == e.value, where.constData());
    }
    QCOMPARE(book->cell(1, 1, 1), QVariant(QString("скрыто")));
    QCOMPARE(book->cell(2, 1, 1), QVariant(1.0));
}

void TestWorkbookReader::libreoffice_xlsx_and_xls_read_alike_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("values");
    QTest::newRow("every cell kind") << "libreoffice_kinds" << 10 << 24;
    // A string table over several records, texts broken across them, texts longer than a record.
    QTest::newRow("long texts") << "libreoffice_strings" << 205 << 602;
}

void TestWorkbookReader::libreoffice_xlsx_and_xls_read_alike()
{
    QFETCH(QString, name);
    QFETCH(int, rows);
    QFETCH(int, values);
    const auto xlsx = Workbook::open(data_dir + name + ".xlsx");
    const auto xls = Workbook::open(data_dir + name + ".xls");
    QVERIFY(xlsx && xls);
    QCOMPARE(xls->sheet_names(), xlsx->sheet_names());
    int seen = 0;
    for (int sheet = 0; sheet < xlsx->sheet_names().size(); ++sheet) {
        for (int row = 1; row <= rows; ++row) {
            for (int column = 1; column <= 256; ++column) {
                const QVariant a = xlsx->cell(sheet, row, column);
                const QVariant b = xls->cell(sheet, row, column);
                const QByteArray where = QStringLiteral("sheet %1 cell (%2, %3): %4 / %5")
                                             .arg(sheet)
                                             .arg(row)
                                             .arg(column)
                                             .arg(a.toString().left(40), b.toString().left(40))
                                             .toUtf8();
                QVERIFY2(a.userType() == b.userType() && a == b, where.constData());
                seen += a.isValid();
            }
        }
    }
    QCOMPARE(seen, values);
}

void TestWorkbookReader::openpyxl_workbooks_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("as openpyxl wrote it") << "openpyxl_1904.xlsx";
    QTest::newRow("cells without a reference") << "openpyxl_no_refs.xlsx";
}

void TestWorkbookReader::openpyxl_workbooks()
{
    QFETCH(QString, file);
    const auto book = Workbook::open(data_dir + file);
    QVERIFY(book);
    // The chart sheet comes first in the file and is left out.
    QCOMPARE(book->sheet_names(), QStringList({"Лист1", "Hidden"}));
    QCOMPARE(book->cell(0, 1, 1), QVariant(QString("Форма 6")));
    QCOMPARE(book->cell(0, 1, 2), QVariant(120.0));
    QCOMPARE(book->cell(0, 1, 3), QVariant(7.25));
    QCOMPARE(book->cell(0, 2, 1), QVariant(utc(2024, 2, 29, 8, 30)));
    QCOMPARE(book->cell(0, 2, 2), QVariant(utc(1904, 1, 2)));
    QCOMPARE(book->cell(0, 3, 1), QVariant(true));
    QCOMPARE(book->cell(0, 3, 2), QVariant()); // a formula openpyxl stored without a result
    QCOMPARE(book->cell(0, 3, 28), QVariant(QString("past Z")));
    QCOMPARE(book->cell(0, 1, 4), QVariant());
    QCOMPARE(book->cell(1, 1, 1), QVariant(QString("h")));
}

void TestWorkbookReader::serial_dates_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("first day") << 1.0 << false << utc(1900, 1, 1);
    QTest::newRow("before the day 1900 never had") << 59.0 << false << utc(1900, 2, 28);
    QTest::newRow("after it") << 61.0 << false << utc(1900, 3, 1);
    QTest::newRow("time only") << 0.5 << false << utc(1899, 12, 30, 12);
    QTest::newRow("2020") << 43831.0 << false << utc(2020, 1, 1);
    QTest::newRow("rounded to the second") << 43831.999999999 << false << utc(2020, 1, 2);
    QTest::newRow("last day") << 2958465.5 << false << utc(9999, 12, 31, 12);
    QTest::newRow("past the last day") << 2958466.0 << false << QDateTime();
    QTest::newRow("negative") << -1.0 << false << QDateTime();
    QTest::newRow("1904: day 0") << 0.0 << true << utc(1904, 1, 1);
    QTest::newRow("1904: 2020") << 42369.0 << true << utc(2020, 1, 1);
}

void TestWorkbookReader::serial_dates()
{
    QFETCH(double, serial);
    QFETCH(bool, date1904);
    QFETCH(QDateTime, expected);
    QCOMPARE(date_from_serial(serial, date1904), expected);
    if (expected.isValid() && serial == std::floor(serial))
        QCOMPARE(serial_from_date(expected, date1904), serial);
}

void TestWorkbookReader::date_formats_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("date");
    QTest::newRow("day month year") << "dd.mm.yyyy" << true;
    QTest::newRow("escaped separator") << "yyyy\\-mm" << true;
    QTest::newRow("locale and text") << "[$-419]d mmmm yyyy \"г.\"" << true;
    QTest::newRow("elapsed hours") << "[h]:mm" << true;
    QTest::newRow("minutes and seconds") << "mm:ss.0" << true;
    QTest::newRow("general") << "General" << false;
    QTest::newRow("decimals") << "0.00" << false;
    QTest::newRow("scientific") << "0.00E+00" << false;
    QTest::newRow("colour") << "[Red]0.00" << false;
    QTest::newRow("quoted letters") << "0 \"days\"" << false;
    QTest::newRow("padding and fill") << "_(* #,##0_);_(* (#,##0);_(* \"-\"_)" << false;
    QTest::newRow("currency text") << "#,##0.00 \"₽\"" << false;
}

void TestWorkbookReader::date_formats()
{
    QFETCH(QString, code);
    QFETCH(bool, date);
    QCOMPARE(number_format_is_date(code), date);
}

void TestWorkbookReader::sheet_markup_data()
{
    // Whole worksheet documents, and the cell A1 (or the one named) they must give.
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("expected");
    const auto doc = [](const QByteArray &rows) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet " + main_ns + "><sheetData>" + rows +
               "</sheetData></worksheet>";
    };
    QTest::newRow("cell given twice: the last wins")
        << doc("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"A1\"><v>2</v></c></row>") << 1 << 1 << QVariant(2.0);
    QTest::newRow("last column") << doc("<row r=\"1\"><c r=\"XFD1\"><v>7</v></c></row>") << 1 << 16384 << QVariant(7.0);
    QTest::newRow("UTF-16 part without byte order mark")
        << utf16_document(doc("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Итого</t></is></c></row>")).mid(2) << 1
        << 1 << QVariant(QString("Итого"));
    QTest::newRow("prefixed elements")
        << QByteArray("<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                      "<x:sheetData><x:row r=\"1\"><x:c r=\"A1\" t=\"inlineStr\"><x:is><x:t>a&amp;b</x:t></x:is>"
                      "</x:c></x:row></x:sheetData></x:worksheet>")
        << 1 << 1 << QVariant(QString("a&b"));
    QTest::newRow("commented-out cell")
        << doc("<row r=\"1\"><!-- <c r=\"A1\"><v>9</v></c> --><c r=\"B1\"><v>2</v></c></row>") << 1 << 1 << QVariant();
    QTest::newRow("character data") << doc("<row r=\"1\"><c r=\"A1\" t=\"str\"><v><![CDATA[<x> & y]]></v></c></row>")
                                    << 1 << 1 << QVariant(QString("<x> & y"));
    QTest::newRow("single quotes and blanks")
        << doc("<row r='2'><c r = 'C2' t = 'b' ><v>1</v></c></row>") << 2 << 3 << QVariant(true);
    QTest::newRow("character references")
        << doc("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>&#1046;&#x416;&lt;</v></c></row>") << 1 << 1
        << QVariant(QString("ЖЖ<"));
    QTest::newRow("phonetic hint left out")
        << doc("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><r><t>漢</t></r><r><t xml:space=\"preserve\"> 字</t></r>"
               "<rPh sb=\"0\" eb=\"1\"><t>かん</t></rPh></is></c></row>")
        << 1 << 1 << QVariant(QString("漢 字"));
    QTest::newRow("escaped control character")
        << doc("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a_x000D_b</t></is></c></row>") << 1 << 1
        << QVariant(QString("a\rb"));
    QTest::newRow("empty value element") << doc("<row r=\"1\"><c r=\"A1\"><v/></c></row>") << 1 << 1 << QVariant();
    QTest::newRow("self-closing cell") << doc("<row r=\"1\"><c r=\"A1\" s=\"0\"/><c><v>5</v></c></row>") << 1 << 2
                                       << QVariant(5.0);
    QTest::newRow("UTF-16 part") << utf16_document(
                                        doc("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Итого</t></is></c></row>"))
                                 << 1 << 1 << QVariant(QString("Итого"));
    QTest::newRow("windows-1251 part")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?><worksheet " + main_ns +
                      "><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>\xC8\xF2\xEE\xE3\xEE</t></is>"
                      "</c></row></sheetData></worksheet>")
        << 1 << 1 << QVariant(QString("Итого"));
    QTest::newRow("rows out of order")
        << doc("<row r=\"2\"><c r=\"A2\"><v>2</v></c></row><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>") << 1 << 1
        << QVariant(1.0);
    QTest::newRow("lone CR") << doc("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>a\rb</v></c></row>") << 1 << 1
                             << QVariant(QString("a\nb"));
    QTest::newRow("CR LF in character data")
        << doc("<row r=\"1\"><c r=\"A1\" t=\"str\"><v><![CDATA[a\r\nb]]></v></c></row>") << 1 << 1
        << QVariant(QString("a\nb"));
    // Four times the block short texts share.
    const QByteArray long_text = QByteArray("0123456789").repeated(400'000);
    QTest::newRow("text longer than a text block")
        << doc("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + long_text + "</t></is></c></row>") << 1 << 1
        << QVariant(QString::fromLatin1(long_text));
}

void TestWorkbookReader::sheet_markup()
{
    QFETCH(QByteArray, document);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QVariant, expected);
    const QString path = temp_.filePath("markup.xlsx");
    // A UTF-8 document is also read as UTF-16, which goes through the XML reader instead of the byte scanner.
    QList<QByteArray> forms = {document};
    if (!document.contains('\0') && !document.contains("windows-1251"))
        forms << utf16_document(document);
    for (const QByteArray &form : forms) {
        QVERIFY(write_zip(path, package({{"S", "worksheet", text_member("xl/worksheets/sheet1.xml", form)}})));
        QString error;
        const auto book = Workbook::open(path, &error);
        QVERIFY2(book, qPrintable(error));
        QCOMPARE(book->cell(0, row, column), expected);
    }
}

void TestWorkbookReader::long_sheet_read_in_pieces()
{
    // Long enough that tags and texts fall across the pieces the sheet is read in.
    QByteArray rows;
    double sum = 0;
    for (int r = 1; r <= 3000; ++r) {
        rows += "<row r=\"" + QByteArray::number(r) + "\">";
        for (int c = 0; c < 5; ++c) {
            const double v = r * 10 + c + 0.5;
            sum += v;
            rows += "<c r=\"" + QByteArray(1, char('A' + c)) + QByteArray::number(r) + "\"><v>" +
                    QByteArray::number(v, 'g', 17) + "</v></c>";
        }
        rows += "<c r=\"F" + QByteArray::number(r) + "\" t=\"inlineStr\"><is><t>Строка &amp; " + QByteArray::number(r) +
                "</t></is></c></row>";
    }
    const QString path = temp_.filePath("long.xlsx");
    QVERIFY(write_zip(path, package({{"S", "worksheet", sheet_member(1, rows)}})));
    QString error;
    const auto book = Workbook::open(path, &error);
    QVERIFY2(book, qPrintable(error));
    double read = 0;
    for (int r = 1; r <= 3000; ++r) {
        for (int c = 1; c <= 5; ++c)
            read += book->cell(0, r, c).toDouble();
        QCOMPARE(book->cell(0, r, 6).toString(), QString("Строка & %1").arg(r));
    }
    QCOMPARE(read, sum);
}

void TestWorkbookReader::numbers_convert_as_callers_use_them()
{
    for (const QString file : {"xlsxwriter_kinds.xlsx", "libreoffice_kinds.xls"}) {
        const auto book = Workbook::open(data_dir + file);
        QVERIFY(book);
        QCOMPARE(book->cell(0, 1, 2).toString(), QString("20336"));
        QCOMPARE(book->cell(0, 1, 2).toInt(), 20336);
        QCOMPARE(book->cell(0, 1, 4).toInt(), -7);
        QCOMPARE(book->cell(0, 1, 1).toInt(), 0);
        QCOMPARE(book->cell(0, 5, 1).toInt(), 0);
        QCOMPARE(book->cell(0, 9, 9).toInt(), 0);
    }
}

void TestWorkbookReader::bad_indexes_read_as_empty()
{
    const auto book = Workbook::open(data_dir + "xlsxwriter_kinds.xlsx");
    QVERIFY(book);
    QVERIFY(book->cell(0, 1, 1).isValid());
    for (const auto &[sheet, row, column] : QList<std::tuple<int, int, int>>{{-1, 1, 1},
                                                                             {3, 1, 1},
                                                                             {0, 0, 1},
                                                                             {0, 1, 0},
                                                                             {0, -1, 1},
                                                                             {0, 1, -1},
                                                                             {0, 1, 16385},
                                                                             {0, 1048577, 1},
                                                                             {0, 1, 65537},
                                                                             {0, 2147483647, 2147483647}})
        QVERIFY2(!book->cell(sheet, row, column).isValid(),
                 qPrintable(QStringLiteral("%1 %2 %3").arg(sheet).arg(row).arg(column)));
}

void TestWorkbookReader::close_frees_the_workbook_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow(".xlsx") << "xlsxwriter_kinds.xlsx";
    QTest::newRow(".xls") << "libreoffice_kinds.xls";
}

void TestWorkbookReader::close_frees_the_workbook()
{
    QFETCH(QString, file);
    const QString copy = temp_.filePath("closing-" + file);
    QVERIFY(QFile::copy(data_dir + file, copy));
    const QByteArray before = read_file(copy);
    auto book = Workbook::open(copy);
    QVERIFY(book);
    // Everything is read at opening: the file is not held open while the import reads cells.
    QCOMPARE(open_descriptors(copy), 0);
    QVERIFY(book->cell(0, 1, 2).isValid());
    book->close();
    QVERIFY(!book->cell(0, 1, 2).isValid());
    QVERIFY(book->sheet_names().isEmpty());
    book->close(); // twice is harmless
    book.reset();
    QCOMPARE(read_file(copy), before); // never written
}

void TestWorkbookReader::hostile_files_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::function<bool(const QString &)>>("make");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<WorkbookLimit>("limit"); // the size limit the refusal names
    // The shared strings one element deeper than a part may nest (256).
    QTest::newRow("shared strings one level too deep")
        << "deep257.xlsx"
        << zip_file(package(
               {{"S", worksheet, sheet_member(1, "")},
                {"Strings", "sharedStrings",
                 text_member("xl/sharedStrings.xml", "<sst " + main_ns + "><si>" + QByteArray("<r>").repeated(255) +
                                                         QByteArray("</r>").repeated(255) + "</si></sst>")}}))
        << QString("nested too deep") << WorkbookLimit::nesting_depth;
    add_unreadable_files(read_file(data_dir + "xlsxwriter_kinds.xlsx"));
    add_oversized_packages();
    add_hostile_sheets();
    add_hostile_xls(read_file(data_dir + "libreoffice_kinds.xls"));
    QTest::newRow("document type declaration in shared strings")
        << "doctype_strings.xlsx" << bytes_file(read_file(data_dir + "doctype_strings.xlsx"))
        << QString("document type declaration") << WorkbookLimit::none;
    // The workbook stream's second sector leads back to its first.
    QByteArray looping = compound_file(biff_workbook(biff(0x1234, QByteArray(5000, 'x'))));
    qToLittleEndian<quint32>(0, reinterpret_cast<uchar *>(looping.data() + looping.size() - 512 + 4));
    QTest::newRow(".xls stream chain looping")
        << "fatloop.xls" << bytes_file(looping) << QString("loops") << WorkbookLimit::none;
    QTest::newRow("sheet in an encoding no codec knows")
        << "nocodec.xlsx"
        << zip_file(package(
               {{"S", worksheet,
                 text_member("xl/worksheets/sheet1.xml", "<?xml version=\"1.0\" encoding=\"x-no-such\"?><worksheet " +
                                                             main_ns + "><sheetData/></worksheet>")}}))
        << QString("damaged part") << WorkbookLimit::none;
}

void TestWorkbookReader::hostile_files()
{
    QFETCH(QString, name);
    QFETCH(std::function<bool(const QString &)>, make);
    QFETCH(QString, reason);
    QFETCH(WorkbookLimit, limit);
    QVERIFY2(name != "nofilepass.xls", "no record to turn into a FILEPASS");
    QVERIFY2(name != "nosheets.xls", "sheet records not found");
    const QString path = temp_.filePath(name);
    QVERIFY(make(path));
    QString error;
    WorkbookLimit ran_out = WorkbookLimit::none;
    const auto book = Workbook::open(path, &error, &ran_out);
    QVERIFY2(!book, qPrintable(QStringLiteral("opened, %1 sheets").arg(book ? book->sheet_names().size() : 0)));
    // Refused for the reason the case is about, not by accident.
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(int(ran_out), int(limit));
    QFile::remove(path);
}

void TestWorkbookReader::xls_with_embedded_chart()
{
    // LibreOffice saves the chart sheet as a worksheet holding a chart, whose records nest inside the sheet's.
    const auto chart = Workbook::open(data_dir + "libreoffice_chart.xls");
    const auto plain = Workbook::open(data_dir + "libreoffice_kinds.xls");
    QVERIFY(chart && plain);
    QCOMPARE(chart->sheet_names(), QStringList({"Данные", "Скрытый", "Диаграмма", "Last"}));
    for (int row = 1; row <= 10; ++row)
        for (int column = 1; column <= 256; ++column)
            QCOMPARE(chart->cell(0, row, column), plain->cell(0, row, column));
    QCOMPARE(chart->cell(3, 1, 1), QVariant(1.0));

    // Cells after a chart's records, the chart closed by its own end record.
    const QString path = temp_.filePath("after_chart.xls");
    QVERIFY(bytes_file(xls_cells_after_chart())(path));
    QString error;
    const auto after = Workbook::open(path, &error);
    QVERIFY2(after, qPrintable(error));
    QStringList cells;
    for (int column = 1; column <= 3; ++column)
        cells << QString(after->cell(0, 1, column).typeName()) + " " + after->cell(0, 1, column).toString();
    QCOMPARE(cells, QStringList({"bool true", "bool false", "QString #DIV/0!"}));
}

void TestWorkbookReader::fuzz_finds_stay_harmless_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(data_dir + "fuzz");
    const QStringList files = dir.entryList(QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

void TestWorkbookReader::fuzz_finds_stay_harmless()
{
    // Inputs the fuzzers found (some overflowed FreeXL's buffers): they open or are refused, and every cell reads.
    QFETCH(QString, path);
    QString error;
    const auto book = Workbook::open(path, &error);
    QVERIFY(book || !error.isEmpty());
    if (book) {
        for (int sheet = 0; sheet < book->sheet_names().size(); ++sheet)
            for (int row = 1; row <= 20; ++row)
                for (int column = 1; column <= 20; ++column)
                    book->cell(sheet, row, column).toString();
    }
}

void TestWorkbookReader::workbook_without_worksheets_data()
{
    QTest::addColumn<QList<ZipMember>>("members");
    QTest::newRow("no sheets") << package({});
    QTest::newRow("only a chart sheet") << package(
        {{"Chart", "chartsheet", text_member("xl/chartsheets/sheet1.xml", "<chartsheet/>")}});
    QTest::newRow("only a macro sheet") << package(
        {{"Macro1", "http://schemas.microsoft.com/office/2006/relationships/xlMacrosheet",
          text_member("xl/macrosheets/sheet1.xml", "<xm:macrosheet/>")}});
}

void TestWorkbookReader::workbook_without_worksheets()
{
    QFETCH(QList<ZipMember>, members);
    const QString path = temp_.filePath("nosheets.xlsx");
    QVERIFY(write_zip(path, members));
    QString error;
    const auto book = Workbook::open(path, &error);
    QVERIFY2(book, qPrintable(error));
    QVERIFY(book->sheet_names().isEmpty());
    QVERIFY(!book->cell(0, 1, 1).isValid());
    QVERIFY(!book->cell(-1, 1, 1).isValid());
}

void TestWorkbookReader::memory_stays_bounded_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::function<bool(const QString &)>>("make");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<WorkbookLimit>("limit"); // the size limit the refusal names
    QTest::newRow("after the hostile files") << QString() << MakeFile() << QString() << WorkbookLimit::none;
    add_costly_workbooks();
    add_long_texts();
}

void TestWorkbookReader::memory_stays_bounded()
{
    QFETCH(QString, name);
    QFETCH(std::function<bool(const QString &)>, make);
    QFETCH(QString, reason);
    QFETCH(WorkbookLimit, limit);
    const auto peak_mb = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss / 1024;
    };
    if (name.isEmpty()) {
        // Runs after the hostile files in this same process: the zip bombs must not have inflated into memory.
        QVERIFY2(peak_mb() < 256, qPrintable(QStringLiteral("peak %1 MB").arg(peak_mb())));
        return;
    }
    // A crafted workbook is made here and opened by this test run again in a process of its own, which measures
    // its own peak.
    const QByteArray alone = qgetenv("QUELT_WORKBOOK_ALONE");
    if (alone.isEmpty()) {
        const QString path = temp_.filePath(name);
        QVERIFY(make(path));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUELT_WORKBOOK_ALONE"), path);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("memory_stays_bounded:") + QString::fromUtf8(QTest::currentDataTag())});
        const bool finished = child.waitForFinished(300'000);
        const QString output = QString::fromLocal8Bit(child.readAll());
        QFile::remove(path);
        QVERIFY2(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
        const int peak = output.indexOf(QLatin1String("peak "));
        qInfo("%s", qPrintable(output.mid(peak, output.indexOf(QLatin1Char('\n'), peak) - peak)));
        return;
    }
    QString error;
    WorkbookLimit ran_out = WorkbookLimit::none;
    const auto book = Workbook::open(QString::fromLocal8Bit(alone), &error, &ran_out);
    QCOMPARE(int(ran_out), int(limit));
    if (reason.isEmpty()) {
        QVERIFY2(book, qPrintable(error));
        QCOMPARE(book->cell(0, 1, 1), QVariant(1.0));
    } else {
        QVERIFY(!book);
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
    qInfo("peak %ld MB: %s", peak_mb(), qPrintable(error));
    QVERIFY2(peak_mb() < 300, qPrintable(QStringLiteral("peak %1 MB").arg(peak_mb())));
}

void TestWorkbookReader::other_writers_cells_data()
{
    QTest::addColumn<MakeFile>("make");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("expected");
    const auto fixture = [](const char *file) { return bytes_file(read_file(data_dir + file)); };
    QTest::newRow("CR LF inside an inline text")
        << fixture("openpyxl_crlf.xlsx") << 1 << 1 << QVariant(QString("Итого\nпо форме"));
    QTest::newRow(".xls formula text over CONTINUE records")
        << fixture("long_formula_text.xls") << 1 << 1 << QVariant(QString(8999, QChar(0x0416)) + "!");
    QTest::newRow("East Asian built-in date format 27")
        << fixture("xlsxwriter_east_asian_dates.xlsx") << 1 << 1 << QVariant(utc(2023, 3, 15));
    QTest::newRow("East Asian built-in date format 57")
        << fixture("xlsxwriter_east_asian_dates.xlsx") << 1 << 2 << QVariant(utc(2023, 3, 16));
    // The styles and shared-strings parts are named but absent: no formats, no shared texts.
    QTest::newRow("styles part absent") << fixture("missing_styles_strings.xlsx") << 2 << 1 << QVariant(43845.0);
    QTest::newRow("shared strings part absent") << fixture("missing_styles_strings.xlsx") << 1 << 1 << QVariant();

    // A1 of a package whose workbook part carries properties, its cell A1 in the built-in format given.
    const auto styled = [](const QByteArray &properties, int format, const QByteArray &cell) {
        const QByteArray styles = "<styleSheet " + main_ns +
                                  "><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"" +
                                  QByteArray::number(format) + "\"/></cellXfs></styleSheet>";
        return zip_file(package({{"S", worksheet, sheet_member(1, "<row r=\"1\">" + cell + "</row>")},
                                 {"Styles", "styles", text_member("xl/styles.xml", styles)}},
                                properties));
    };
    const QByteArray serial_45000 = "<c r=\"A1\" s=\"1\"><v>45000</v></c>";
    for (const int format : {36, 50, 58})
        QTest::newRow(qPrintable(QStringLiteral("East Asian built-in date format %1").arg(format)))
            << styled({}, format, serial_45000) << 1 << 1 << QVariant(utc(2023, 3, 15));
    QTest::newRow("built-in format 37 is a number") << styled({}, 37, serial_45000) << 1 << 1 << QVariant(45000.0);
    const QByteArray date1904 = "<workbookPr date1904=\"true\"/>";
    QTest::newRow("1904 dates given as true")
        << styled(date1904, 14, "<c r=\"A1\" s=\"1\"><v>1</v></c>") << 1 << 1 << QVariant(utc(1904, 1, 2));
    QTest::newRow("time-only date value in a 1904 book")
        << styled(date1904, 0, "<c r=\"A1\" t=\"d\"><v>12:30:00</v></c>") << 1 << 1
        << QVariant(utc(1904, 1, 1, 12, 30));

    // BIFF8 workbooks made here (a record the reader passes over makes the stream long enough for the compound file).
    const auto xls = [](const QByteArray &globals, const QByteArray &cells) {
        return bytes_file(compound_file(biff_workbook(globals, cells) + biff(0x00EB, QByteArray(4096, '\0'))));
    };
    // Formulas in the record of BIFF4 that some exporters write, XF 1 in the date format 14.
    const QByteArray general(20, '\0');
    const QByteArray formats = biff(0x00E0, general) + biff(0x00E0, QByteArray(general).replace(2, 1, "\x0E"));
    const MakeFile biff4 = xls(formats, biff_formula(0x0406, 0, 0, 3) + biff_formula(0x0406, 0, 1, 2) +
                                            biff_formula(0x0406, 0, 2, 45000, 1));
    QTest::newRow(".xls formulas in records 0x0406, A1") << biff4 << 1 << 1 << QVariant(3.0);
    QTest::newRow(".xls formulas in records 0x0406, B1") << biff4 << 1 << 2 << QVariant(2.0);
    QTest::newRow(".xls formulas in records 0x0406, C1") << biff4 << 1 << 3 << QVariant(utc(2023, 3, 15));
    // A formula's text result follows in a STRING record, here after the SHRFMLA record of a shared formula.
    const QByteArray text_result =
        biff(0x0006, biff_cell(0, 0) + QByteArray("\0\0\0\0\0\0\xFF\xFF", 8) + QByteArray(8, '\0'));
    const QByteArray shared = biff(0x04BC, QByteArray(10, '\0'));
    QTest::newRow(".xls shared formula between a formula and its text")
        << xls({}, text_result + shared + biff(0x0207, QByteArray("\x05\0\0total", 8))) << 1 << 1
        << QVariant(QString("total"));
}

void TestWorkbookReader::other_writers_cells()
{
    QFETCH(MakeFile, make);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QVariant, expected);
    const QString path = temp_.filePath("other_writer");
    QVERIFY(make(path));
    QString error;
    const auto book = Workbook::open(path, &error);
    QVERIFY2(book, qPrintable(error));
    QCOMPARE(book->cell(0, row, column), expected);
}

QTEST_GUILESS_MAIN(TestWorkbookReader)
#include "tst_workbook_reader.moc"
