// libFuzzer target for the .xlsx path. The first byte picks the shape of the input: odd, the rest is a set of
// package parts (split at the marker below) packed here into an uncompressed zip, so the fuzzer reaches the XML
// readers; even, the rest is the file as it stands (zip handling).
#include "excelimport/fuzz/fuzz_common.h"
#include "tests/support/zip_builder.h"

#include <QByteArray>
#include <QList>

namespace
{

const QByteArray marker = "\n--part--\n";

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
    QList<zip_builder::Entry> members;
    members.append(zip_builder::stored("[Content_Types].xml", "<Types/>"));
    members.append(zip_builder::stored(
        "_rels/.rels", QByteArray("<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                                  "officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                                  "</Relationships>")));
    int from = 0;
    for (const char *name : names) {
        if (from > rest.size())
            break;
        int at = rest.indexOf(marker, from);
        if (at < 0)
            at = rest.size();
        members.append(zip_builder::stored(name, rest.mid(from, at - from)));
        from = at + marker.size();
    }
    read_workbook_bytes(zip_builder::archive(members), "xlsx");
    return 0;
}
