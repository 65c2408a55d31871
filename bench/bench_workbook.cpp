// Opening a workbook of 5000 rows x 12 columns and reading every cell, as .xlsx and as .xls.
// The .xlsx is written at start by make_bench_xlsx (libxlsxwriter); the .xls is the same workbook saved by
// LibreOffice (soffice --headless --convert-to xls), kept zlib-packed in data/ (qCompress format).
#include "workbook.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

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
           xls.write(qUncompress(packed.readAll())) > 0;
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
