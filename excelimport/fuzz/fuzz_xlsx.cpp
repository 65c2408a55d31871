// libFuzzer target for the .xlsx path. The first byte picks the shape of the input: odd, the rest is a set of
// package parts (split at the marker below) packed here into an uncompressed zip, so the fuzzer reaches the XML
// readers; even, the rest is the file as it stands (zip handling).
#include "fuzz_common.h"

#include <QByteArray>
#include <QList>

#include <zlib.h>

namespace
{

const QByteArray marker = "\n--part--\n";

void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

void put32(QByteArray &b, quint32 v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

QByteArray stored_zip(const QList<QPair<QByteArray, QByteArray>> &members)
{
    QByteArray out;
    QByteArray central;
    for (const auto &[name, data] : members) {
        const quint32 crc = crc32(0, reinterpret_cast<const Bytef *>(data.constData()), data.size());
        const quint32 offset = out.size();
        QByteArray head;
        put32(head, 0x04034b50);
        put16(head, 10);
        put16(head, 0);
        put16(head, 0);
        put32(head, 0);
        put32(head, crc);
        put32(head, data.size());
        put32(head, data.size());
        put16(head, name.size());
        put16(head, 0);
        out += head + name + data;
        put32(central, 0x02014b50);
        put16(central, 10);
        put16(central, 10);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, crc);
        put32(central, data.size());
        put32(central, data.size());
        put16(central, name.size());
        for (int i = 0; i < 4; ++i)
            put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        central += name;
    }
    QByteArray end;
    put32(end, 0x06054b50);
    put16(end, 0);
    put16(end, 0);
    put16(end, members.size());
    put16(end, members.size());
    put32(end, central.size());
    put32(end, out.size());
    put16(end, 0);
    return out + central + end;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    if (!(data[0] & 1)) {
        read_workbook_bytes(rest, "xlsx");
        return 0;
    }
    static const char *const names[] = {
        "xl/workbook.xml",          "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml",    "xl/styles.xml",
        "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",   "xl/worksheets/sheet3.xml"};
    QList<QPair<QByteArray, QByteArray>> members;
    members.append(qMakePair(QByteArray("[Content_Types].xml"), QByteArray("<Types/>")));
    members.append(
        qMakePair(QByteArray("_rels/.rels"),
                  QByteArray("<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                             "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                             "</Relationships>")));
    int from = 0;
    for (const char *name : names) {
        if (from > rest.size())
            break;
        int at = rest.indexOf(marker, from);
        if (at < 0)
            at = rest.size();
        members.append(qMakePair(QByteArray(name), rest.mid(from, at - from)));
        from = at + marker.size();
    }
    read_workbook_bytes(stored_zip(members), "xlsx");
    return 0;
}
