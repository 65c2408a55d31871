// Start-up of the main window with full-size classifiers: building the window (thirteen pickers
// filled from eleven classifiers) until it is shown and takes input.
//
// The carried street and position lists are shorter than the real ones, so the benchmark makes
// full-size stand-ins (8163 positions, 4649 streets), packs them into a binary resource and lays it
// over the compiled-in one before the first window is built. The one-key filter of the positions
// picker is also timed on the carried positions list.
//
// Each is also measured against its floor in the same run, as interleaved pairs: the window against an
// empty window holding as many plain widgets, built and shown the same way; the filter against a plain
// QString::contains scan of the same names for the same letter. The counter "ratio" is the program's
// time over the floor's; take the median of the repetitions (--benchmark_repetitions).
#include "bench/bench_env.h"
#include "mainwindow/widget.h"
#include "mainwindow/window_placement.h"
#include "resources/init_resources.h"
#include "widgets/form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>

#include <algorithm>

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

// The eleven classifiers start-up reads (the full-size stand-ins among them), from their packed form (1) as the
// program reads them or from the XML (0).
void BM_ReadClassifiers(benchmark::State &state)
{
    const char *const files[] = {classifier_file::addresses, classifier_file::head_positions, classifier_file::okato,
                                 classifier_file::okopf,     classifier_file::okfs,           classifier_file::okved,
                                 classifier_file::positions, classifier_file::facets,         classifier_file::iogv,
                                 classifier_file::okogu,     classifier_file::offices};
    for (auto _ : state) {
        ClassifierReader reader;
        int records = 0;
        for (const char *file : files) {
            const QString path = classifier_file::resource_dir + QString::fromUtf8(file);
            if (state.range(0) ? reader.load(path) : reader.load_xml(path))
                records += reader.records.size();
        }
        benchmark::DoNotOptimize(records);
    }
}
BENCHMARK(BM_ReadClassifiers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// How many widgets the main window holds and its size as built, taken once.
int main_form_widgets = 0;
QSize main_form_size;

// The floor of a main window: a top-level window holding as many plain widgets, placed and shown as the
// main window is (maximised on a small screen), until it is exposed and its events are handled.
bool show_plain_window(int widgets)
{
    QWidget window;
    window.resize(main_form_size);
    for (int i = 0; i < widgets; ++i)
        (new QWidget(&window))->setGeometry((i % 20) * 50, (i / 20) * 20, 45, 18);
    if (needs_maximised(QGuiApplication::primaryScreen()->availableGeometry()))
        window.showMaximized();
    window.show();
    const bool exposed = QTest::qWaitForWindowExposed(&window);
    QCoreApplication::processEvents();
    return exposed;
}

// The main window and its floor in turns; the iteration time is the main window's.
void BM_WindowReadyAgainstFloor(benchmark::State &state)
{
    double program = 0, floor = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        {
            Widget window;
            window.show();
            if (!QTest::qWaitForWindowExposed(&window))
                state.SkipWithError("window not exposed");
            QCoreApplication::processEvents();
        }
        const double took = timer.nsecsElapsed() / 1e9;
        program += took;
        state.SetIterationTime(took);
        timer.start();
        if (!show_plain_window(main_form_widgets))
            state.SkipWithError("plain window not exposed");
        floor += timer.nsecsElapsed() / 1e9;
    }
    state.counters["widgets"] = main_form_widgets;
    state.counters["floor_ms"] = floor * 1000.0 / double(state.iterations());
    state.counters["ratio"] = floor > 0 ? program / floor : 0.0;
}
BENCHMARK(BM_WindowReadyAgainstFloor)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3.0);

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
    // The floor: a plain scan of the same names for the same letter, timed in turn with the key.
    QStringList names;
    for (const ClassifierRecord &record : records)
        names << record.name;
    double program = 0, floor = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, letter, Qt::NoModifier);
        const double took = timer.nsecsElapsed() / 1e9;
        program += took;
        state.SetIterationTime(took);
        QTest::keyClick(search, Qt::Key_Backspace);
        timer.start();
        int found = 0;
        for (const QString &name : qAsConst(names))
            found += name.contains(letter, Qt::CaseInsensitive) ? 1 : 0;
        benchmark::DoNotOptimize(found);
        floor += timer.nsecsElapsed() / 1e9;
    }
    state.counters["records"] = records.size();
    state.counters["shown"] = rows;
    state.counters["floor_ms"] = floor * 1000.0 / double(state.iterations());
    state.counters["ratio"] = floor > 0 ? program / floor : 0.0;
}

// 8163 stand-in records, every name holds the letter.
void BM_PositionFilterOneKey(benchmark::State &state)
{
    ClassifierReader reader;
    reader.load(":/database/xml/OKPDTR_new.xml");
    position_filter_one_key(state, reader.records, QString("з"), 8163);
}
BENCHMARK(BM_PositionFilterOneKey)->Unit(benchmark::kMillisecond)->UseManualTime();

// The carried list (8031 records); "и" is the letter most names hold (7579).
void BM_PositionFilterOneKeyCarriedList(benchmark::State &state)
{
    int rows = 0;
    for (const ClassifierRecord &record : qAsConst(carried_positions))
        rows += record.name.contains(QString("и"), Qt::CaseInsensitive) ? 1 : 0;
    position_filter_one_key(state, carried_positions, QString("и"), rows);
}
BENCHMARK(BM_PositionFilterOneKeyCarriedList)->Unit(benchmark::kMillisecond)->UseManualTime();

// The monotonic clock, shared by every process of the machine.
qint64 monotonic_ns()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

const char *const first_window_flag = "--first-window";
const char *const plain_window_flag = "--plain-window";

// A fresh process that shows the first window (the main window over the packed stand-ins, or its floor, a
// plain window of as many widgets) and prints the monotonic time at which it is ready.
int first_window(int argc, char **argv)
{
    set_up_bench_environment();
    QApplication app(argc, argv);
    quelt_init_resources();
    if (QByteArray(argv[1]) == plain_window_flag) {
        const QStringList shape = QString::fromLatin1(argv[2]).split(',');
        main_form_size = QSize(shape.value(1).toInt(), shape.value(2).toInt());
        if (!show_plain_window(shape.value(0).toInt()))
            std::fprintf(stderr, "plain window not exposed\n");
        std::printf("%lld\n", monotonic_ns());
        return 0;
    }
    if (!register_stand_ins(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "could not lay the full-size classifiers\n");
        return 1;
    }
    Widget window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    QCoreApplication::processEvents();
    std::printf("%lld\n", monotonic_ns());
    return 0;
}

// Milliseconds from starting a fresh process with these arguments to its first window ready; negative when
// it fails.
double time_first_window(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = monotonic_ns();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return -1;
    return double(child.readAllStandardOutput().trimmed().toLongLong() - started) / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

// Start-up from process start against its floor, in interleaved pairs of fresh processes; prints the medians.
bool time_start_up(const QString &stand_ins, int pairs)
{
    const QString shape =
        QString("%1,%2,%3").arg(main_form_widgets).arg(main_form_size.width()).arg(main_form_size.height());
    QVector<double> program, floor, ratio;
    for (int i = 0; i < pairs; ++i) {
        const double p = time_first_window({first_window_flag, stand_ins});
        const double f = time_first_window({plain_window_flag, shape});
        if (p <= 0 || f <= 0)
            return false;
        program << p;
        floor << f;
        ratio << p / f;
    }
    std::printf("first window ready %.0f ms after process start; plain window of %d widgets %.0f ms; ratio %.2f "
                "(min %.2f, max %.2f; medians of %d interleaved pairs)\n",
                median(program), main_form_widgets, median(floor), median(ratio),
                *std::min_element(ratio.begin(), ratio.end()), *std::max_element(ratio.begin(), ratio.end()), pairs);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && (QByteArray(argv[1]) == first_window_flag || QByteArray(argv[1]) == plain_window_flag))
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
        {
            const Widget main_form;
            main_form_widgets = main_form.findChildren<QWidget *>().size();
            main_form_size = main_form.size();
        }
        if (!time_start_up(dir.filePath("full.rcc"), 9)) {
            fprintf(stderr, "a first-window process failed\n");
            return false;
        }
        return true;
    });
}
