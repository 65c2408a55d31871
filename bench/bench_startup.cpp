// Start-up of the main window with full-size classifiers: building the window (thirteen pickers
// filled from eleven classifiers) until it is shown and takes input.
//
// The carried street and position lists are shorter than the real ones, so the benchmark makes
// full-size stand-ins (8163 positions, 4649 streets), packs them into a binary resource and lays it
// over the compiled-in one before the first window is built. The one-key filter of the positions
// picker is also timed on the carried positions list.
#include "bench_env.h"
#include "form.h"
#include "init_resources.h"
#include "widget.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

namespace
{

void write_classifier(const QString &path, const QString &element, int count, bool with_sort)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Text);
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n";
    for (int i = 0; i < count; ++i) {
        QString record = "<" + element + ">";
        if (with_sort)
            record += QString("<Сорт>%1</Сорт>").arg(i % 4 + 1);
        record +=
            QString("<Код>%1</Код><Наименование>Наименование записи номер %2</Наименование>").arg(10000 + i).arg(i);
        xml += (record + "</" + element + ">\n").toUtf8();
    }
    file.write(xml + "</dataroot>\n");
}

// Full-size stand-ins laid over the compiled-in classifiers.
bool lay_full_size_classifiers(QTemporaryDir &dir)
{
    write_classifier(dir.filePath("okpdtr.xml"), "OKPDTR_new", 8163, true);
    write_classifier(dir.filePath("address.xml"), "адрес_new", 4649, false);
    return lay_stand_ins(dir, {{"OKPDTR_new.xml", "okpdtr.xml"}, {"адрес_new.xml", "address.xml"}});
}

void BM_WindowReady(benchmark::State &state)
{
    for (auto _ : state) {
        Widget window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("window not exposed");
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_WindowReady)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The carried positions list, read before the stand-ins hide it.
QVector<ClassifierRecord> carried_positions;

// The positions picker filtering its records after one typed letter; `rows` is how many names hold it.
void position_filter_one_key(benchmark::State &state, const QVector<ClassifierRecord> &records, const QString &letter,
                             int rows)
{
    Form picker;
    picker.set_mode(picker_mode::positions);
    picker.set_items(records);
    picker.show();
    if (!QTest::qWaitForWindowExposed(&picker)) {
        state.SkipWithError("picker not exposed");
        return;
    }
    auto *search = picker.findChild<QLineEdit *>("KlassForm_le_naim");
    if (!search) {
        state.SkipWithError("no name search field");
        return;
    }
    auto *view = picker.findChild<QTableView *>();
    QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, letter, Qt::NoModifier);
    if (search->text() != letter || view->model()->rowCount() != rows) {
        state.SkipWithError("typing did not filter");
        return;
    }
    QTest::keyClick(search, Qt::Key_Backspace);
    for (auto _ : state) {
        QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, letter, Qt::NoModifier);
        state.PauseTiming();
        QTest::keyClick(search, Qt::Key_Backspace);
        state.ResumeTiming();
    }
    state.counters["records"] = records.size();
    state.counters["shown"] = rows;
}

// 8163 stand-in records, every name holds the letter.
void BM_PositionFilterOneKey(benchmark::State &state)
{
    ClassifierReader reader;
    reader.load(":/database/xml/OKPDTR_new.xml");
    position_filter_one_key(state, reader.records, QString("з"), 8163);
}
BENCHMARK(BM_PositionFilterOneKey)->Unit(benchmark::kMillisecond);

// The carried list (8031 records); "и" is the letter most names hold (7579).
void BM_PositionFilterOneKeyCarriedList(benchmark::State &state)
{
    int rows = 0;
    for (const ClassifierRecord &record : qAsConst(carried_positions))
        rows += record.name.contains(QString("и"), Qt::CaseInsensitive) ? 1 : 0;
    position_filter_one_key(state, carried_positions, QString("и"), rows);
}
BENCHMARK(BM_PositionFilterOneKeyCarriedList)->Unit(benchmark::kMillisecond);

// From the kernel's record of when this process started.
double milliseconds_since_process_start()
{
    QFile stat("/proc/self/stat"), uptime("/proc/uptime");
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double started = fields.value(19).toDouble() / sysconf(_SC_CLK_TCK);
    const double now = uptime.readAll().split(' ').value(0).toDouble();
    return (now - started) * 1000.0;
}

const char *const first_window_flag = "--first-window";

// A fresh process that lays the packed stand-ins and shows the first window, timed from its own start
// (10 ms resolution): the set-up of the benchmarks is not in the figure.
int first_window(int argc, char **argv)
{
    set_up_bench_environment();
    QApplication app(argc, argv);
    quelt_init_resources();
    if (!register_stand_ins(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "could not lay the full-size classifiers\n");
        return 1;
    }
    Widget window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    QCoreApplication::processEvents();
    std::printf("first window ready %.0f ms after process start\n", milliseconds_since_process_start());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == first_window_flag)
        return first_window(argc, argv);
    return run_window_benchmarks(argc, argv, [](QTemporaryDir &dir) {
        ClassifierReader carried;
        if (!carried.load(":/database/xml/OKPDTR_new.xml") || carried.records.isEmpty()) {
            fprintf(stderr, "could not read the carried positions list\n");
            return false;
        }
        carried_positions = carried.records;
        ClassifierReader positions;
        if (!lay_full_size_classifiers(dir) || !positions.load(":/database/xml/OKPDTR_new.xml") ||
            positions.records.size() != 8163) {
            fprintf(stderr, "could not build the full-size classifiers\n");
            return false;
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {first_window_flag, dir.filePath("full.rcc")});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            fprintf(stderr, "the first-window process failed\n");
            return false;
        }
        std::printf("%s", child.readAllStandardOutput().constData());
        std::fflush(stdout);
        return true;
    });
}
