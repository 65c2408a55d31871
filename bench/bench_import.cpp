// The balance import of 2000 rows from an .xlsx with a full-size positions classifier: from the press of OK
// in the first-cell dialog to the sorted table (block scan, classifiers, look-ups, row arithmetic, totals,
// sort). The workbook is written by libxlsxwriter; the classifier stand-in (8163 positions) is laid over the
// compiled-in one as the start-up benchmark does.
//
// The import is also measured against its floor in the same run, as interleaved pairs: opening the same
// workbook and reading every cell the import reads. The counter "ratio" is the import's time over the
// floor's; take the median of the repetitions (--benchmark_repetitions).
#include "bench/bench_env.h"
#include "excelimport/import_rules.h"
#include "excelimport/workbook.h"
#include "mainwindow/widget.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace
{

constexpr int position_count = 8163;
constexpr int row_count = 2000;
constexpr int first_row = 10;

QString temp_path;

bool lay_full_size_positions(QTemporaryDir &dir)
{
    QFile file(dir.filePath("okpdtr.xml"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n";
    for (int i = 0; i < position_count; ++i)
        xml += QString("<OKPDTR_new><Сорт>%1</Сорт><Код>%2</Код><Наименование>Наименование записи номер "
                       "%3</Наименование></OKPDTR_new>\n")
                   .arg(i % 4 + 1)
                   .arg(10000 + i)
                   .arg(i)
                   .toUtf8();
    file.write(xml + "</dataroot>\n");
    file.close();
    return lay_stand_ins(dir, {{"OKPDTR_new.xml", "okpdtr.xml"}});
}

// libxlsxwriter brings its own minizip, whose symbols clash with QuaZip's in one process: the workbook is
// written by a small program of its own.
bool write_balance_workbook(const QString &path)
{
    return QProcess::execute(
               QCoreApplication::applicationDirPath() + "/bench_write_balance",
               {path, QString::number(first_row), QString::number(row_count), QString::number(position_count)}) == 0;
}

void BM_ImportBalanceRows(benchmark::State &state)
{
    Widget window;
    window.show();
    auto *table = window.findChild<QAbstractItemView *>("table_balance");
    for (auto _ : state) {
        state.PauseTiming();
        // Into an empty table: emptying a sorted one is timed apart.
        table->model()->removeRows(0, table->model()->rowCount());
        std::unique_ptr<Workbook> book = Workbook::open(temp_path);
        if (!book) {
            state.SkipWithError("workbook did not open");
            break;
        }
        state.ResumeTiming();
        // The scan stops after 2000 filled cells (1999 rows at most come through the dialog); its cost is
        // counted all the same, and the 2000 rows are imported.
        const int end = xls_import::balance_block_end(*book, 1, first_row, 2);
        benchmark::DoNotOptimize(end);
        window.import_balance_rows(*book, 1, first_row, first_row + row_count, 2, false);
        state.PauseTiming();
        book->close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportBalanceRows)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The floor: the workbook opened and every cell of the import's block read (the kind column before the code
// column through the last figure).
std::unique_ptr<Workbook> open_and_read_block()
{
    std::unique_ptr<Workbook> book = Workbook::open(temp_path);
    if (!book)
        return book;
    for (int row = first_row; row < first_row + row_count; ++row)
        for (int column = 1; column <= 2 + 7; ++column)
            benchmark::DoNotOptimize(book->cell(1, row, column));
    return book;
}

// Emptying the table frees some 40,000 small blocks; the allocator merges them at its next large request, which
// would charge whichever timed step comes next. A large request made here settles them before the timing.
void settle_heap()
{
    void *block = std::malloc(1 << 16);
    benchmark::DoNotOptimize(block);
    std::free(block);
}

// The import and its floor in turns; the iteration time is the import's.
void BM_ImportAgainstReading(benchmark::State &state)
{
    Widget window;
    window.show();
    auto *table = window.findChild<QAbstractItemView *>("table_balance");
    double program = 0, floor = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        table->model()->removeRows(0, table->model()->rowCount());
        settle_heap();
        timer.start();
        std::unique_ptr<Workbook> book = open_and_read_block();
        floor += timer.nsecsElapsed() / 1e9;
        if (!book) {
            state.SkipWithError("workbook did not open");
            break;
        }
        timer.start();
        benchmark::DoNotOptimize(xls_import::balance_block_end(*book, 1, first_row, 2));
        window.import_balance_rows(*book, 1, first_row, first_row + row_count, 2, false);
        const double took = timer.nsecsElapsed() / 1e9;
        program += took;
        state.SetIterationTime(took);
        book->close();
    }
    state.counters["floor_ms"] = floor * 1000.0 / double(state.iterations());
    state.counters["ratio"] = floor > 0 ? program / floor : 0.0;
}
BENCHMARK(BM_ImportAgainstReading)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3.0);

// Replace mode over the 2000 sorted rows of the previous import: emptying the table is part of the time.
void BM_ReimportBalanceRows(benchmark::State &state)
{
    Widget window;
    window.show();
    std::unique_ptr<Workbook> book = Workbook::open(temp_path);
    window.import_balance_rows(*book, 1, first_row, first_row + row_count, 2, false);
    for (auto _ : state)
        window.import_balance_rows(*book, 1, first_row, first_row + row_count, 2, false);
}
BENCHMARK(BM_ReimportBalanceRows)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The workbook opening that comes before the dialog, for reference.
void BM_OpenBalanceWorkbook(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<Workbook> book = Workbook::open(temp_path);
        benchmark::DoNotOptimize(book->cell(1, first_row, 2));
    }
}
BENCHMARK(BM_OpenBalanceWorkbook)->Unit(benchmark::kMillisecond);

// The import's floor on its own, for reference.
void BM_OpenAndReadBlock(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(open_and_read_block());
}
BENCHMARK(BM_OpenAndReadBlock)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return run_window_benchmarks(argc, argv, [](QTemporaryDir &dir) {
        temp_path = dir.filePath("balance.xlsx");
        if (!lay_full_size_positions(dir) || !write_balance_workbook(temp_path)) {
            std::fprintf(stderr, "could not prepare the classifier stand-in or the workbook\n");
            return false;
        }
        return true;
    });
}
