// Opening a workbook of 5000 rows x 12 columns and reading every cell, as .xlsx and as .xls.
// The .xlsx is written at start by make_bench_xlsx (libxlsxwriter); the .xls is the same workbook saved by
// LibreOffice (soffice --headless --convert-to xls), kept zlib-packed in data/ (qCompress format).
// And a crafted .xlsx of 10 million numbers (300 kB packed), which the reader refuses or reads, and one of 5 million
// shared strings of two rich-text runs each, which it reads.
#include "excelimport/workbook.h"
#include "tests/support/zip_builder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace
{

QTemporaryDir *work_dir = nullptr;

QString xlsx_path()
{
    return work_dir->filePath("bench.xlsx");
}

QString xls_path()
{
    return work_dir->filePath("bench.xls");
}

QString ten_million_path()
{
    return work_dir->filePath("ten_million.xlsx");
}

QString rich_strings_path()
{
    return work_dir->filePath("rich_strings.xlsx");
}

const QByteArray main_ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";

// Writes a package of one worksheet "S" whose part is sheet (xl/worksheets/sheet1.xml), and the shared strings
// part strings when it is given.
bool write_one_sheet_workbook(const QString &path, const zip_builder::Entry &sheet,
                              const zip_builder::Entry *strings = nullptr)
{
    const QByteArray rels_ns = "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"";
    const QByteArray rel_type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    QList<zip_builder::Entry> entries = {
        zip_builder::stored("[Content_Types].xml", "<Types/>"),
        zip_builder::stored("_rels/.rels", "<Relationships " + rels_ns + "><Relationship Id=\"rId1\" Type=\"" +
                                               rel_type +
                                               "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"),
        zip_builder::stored("xl/workbook.xml", "<workbook " + main_ns + " xmlns:r=\"" + rel_type.chopped(1) +
                                                   "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/>"
                                                   "</sheets></workbook>"),
        zip_builder::stored("xl/_rels/workbook.xml.rels",
                            "<Relationships " + rels_ns + "><Relationship Id=\"rId1\" Type=\"" + rel_type +
                                "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
                                rel_type + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"),
        sheet};
    if (strings)
        entries << *strings;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(zip_builder::archive(entries)) > 0;
}

// One sheet of a million rows of ten numbers, deflated fast: the benchmark's own set-up.
bool write_ten_million()
{
    const zip_builder::Producer rows = [](const std::function<void(const QByteArray &)> &put) {
        put("<worksheet " + main_ns + "><sheetData>");
        const QByteArray row = "<row>" + QByteArray("<c><v>1</v></c>").repeated(10) + "</row>";
        const QByteArray block = row.repeated(10000);
        for (int i = 0; i < 100; ++i)
            put(block);
        put("</sheetData></worksheet>");
    };
    return write_one_sheet_workbook(ten_million_path(), zip_builder::deflated("xl/worksheets/sheet1.xml", rows, 1));
}

// Five million shared strings of two rich-text runs each, the first one in cell A1.
bool write_rich_strings()
{
    const zip_builder::Producer strings = [](const std::function<void(const QByteArray &)> &put) {
        put("<sst " + main_ns + " count=\"5000000\" uniqueCount=\"5000000\">");
        // 39 bytes each: the part stays under the 200 MB a part may unpack to.
        const QByteArray block = QByteArray("<si><r><t>ab</t></r><r><t>c</t></r></si>").repeated(10000);
        for (int i = 0; i < 500; ++i)
            put(block);
        put("</sst>");
    };
    const zip_builder::Entry table = zip_builder::deflated("xl/sharedStrings.xml", strings, 1);
    return write_one_sheet_workbook(
        rich_strings_path(),
        zip_builder::stored("xl/worksheets/sheet1.xml", "<worksheet " + main_ns +
                                                            "><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v>"
                                                            "</c></row></sheetData></worksheet>"),
        &table);
}

bool prepare()
{
    work_dir = new QTemporaryDir;
    if (!work_dir->isValid())
        return false;
    if (QProcess::execute(QStringLiteral(MAKE_BENCH_XLSX), {xlsx_path()}) != 0)
        return false;
    QFile packed(QStringLiteral(BENCH_XLS));
    QFile xls(xls_path());
    return packed.open(QIODevice::ReadOnly) && xls.open(QIODevice::WriteOnly) &&
           xls.write(qUncompress(packed.readAll())) > 0 && write_ten_million() && write_rich_strings();
}

void read_every_cell(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        const auto book = Workbook::open(path);
        if (!book) {
            state.SkipWithError("workbook did not open");
            return;
        }
        int values = 0;
        for (int row = 1; row <= 5000; ++row)
            for (int column = 1; column <= 12; ++column)
                values += book->cell(0, row, column).isValid();
        book->close();
        if (values != 60000) {
            state.SkipWithError("cells missing");
            return;
        }
        benchmark::DoNotOptimize(values);
    }
}

// A sheet whose cells stand around an 8 MB comment and an 8 MB tag: the scanner reads them in pieces, so its cost
// must stay linear in their length.
void BM_read_xlsx_long_comment_and_tag(benchmark::State &state)
{
    const QByteArray long_text(8 << 20, 'x');
    const QByteArray sheet = "<worksheet " + main_ns + "><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row><!--" +
                             long_text + "--><row r=\"2\" x=\"" + long_text +
                             "\"><c r=\"A2\"><v>2</v></c></row></sheetData></worksheet>";
    const QString path = work_dir->filePath("long.xlsx");
    if (!write_one_sheet_workbook(path, zip_builder::stored("xl/worksheets/sheet1.xml", sheet))) {
        state.SkipWithError("workbook not written");
        return;
    }
    for (auto _ : state) {
        const auto book = Workbook::open(path);
        if (!book || book->cell(0, 2, 1) != QVariant(2.0)) {
            state.SkipWithError("cells missing");
            return;
        }
    }
}
BENCHMARK(BM_read_xlsx_long_comment_and_tag)->Unit(benchmark::kMillisecond);

void BM_read_xlsx_5000x12(benchmark::State &state)
{
    read_every_cell(state, xlsx_path());
}
BENCHMARK(BM_read_xlsx_5000x12)->Unit(benchmark::kMillisecond);

void BM_read_xls_5000x12(benchmark::State &state)
{
    read_every_cell(state, xls_path());
}
BENCHMARK(BM_read_xls_5000x12)->Unit(benchmark::kMillisecond);

// Refused past the memory budget, or read when it fits.
void BM_ten_million_cells_refused_or_read(benchmark::State &state)
{
    for (auto _ : state) {
        auto book = Workbook::open(ten_million_path());
        benchmark::DoNotOptimize(book);
    }
}
BENCHMARK(BM_ten_million_cells_refused_or_read)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_read_five_million_rich_strings(benchmark::State &state)
{
    for (auto _ : state) {
        const auto book = Workbook::open(rich_strings_path());
        if (!book || book->cell(0, 1, 1) != QVariant(QString("abc"))) {
            state.SkipWithError("strings missing");
            return;
        }
    }
}
BENCHMARK(BM_read_five_million_rich_strings)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!prepare()) {
        std::fprintf(stderr, "cannot prepare the benchmark workbooks\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete work_dir;
    return 0;
}
