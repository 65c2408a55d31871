// Timing of the printed documents: the builders alone, and the whole road from the print button to
// a finished page (the gate, the build, the hidden view and the page painted).
#include "classifier/classifier_reader.h"
#include "mainwindow/widget.h"
#include "printing/balance_form.h"
#include "printing/card_form.h"
#include "printing/print_view.h"
#include "tests/support/form_helpers.h"
#include "tests/support/valid_card.h"
#include "ui_widget.h"

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebView>
#include <benchmark/benchmark.h>

namespace
{

const QString valid_card = test_support::valid_card_fields;

Widget &window()
{
    static Widget *w = [] {
        auto *made = new Widget;
        test_support::set_fields(*made, valid_card + "|dateZap=" + QDate::currentDate().toString(Qt::ISODate));
        made->printer_available = [] { return true; };
        return made;
    }();
    return *w;
}

printing::CardValues card_values()
{
    printing::CardValues v;
    v.common.fill_date = "08.12.2026";
    v.common.head.post = "Генеральный директор";
    v.common.head.surname = "Петров";
    v.common.head.first_name = "Пётр";
    v.common.version = printing::version_footer(3, 25);
    v.full_name = "Общество с ограниченной ответственностью \"Ромашка\"";
    v.registration_number = "54076";
    v.information = "Филиалов нет";
    return v;
}

void BM_card_builder(benchmark::State &state)
{
    const printing::CardValues v = card_values();
    for (auto _ : state)
        benchmark::DoNotOptimize(printing::build_card(v, 100));
}
BENCHMARK(BM_card_builder)->Unit(benchmark::kMillisecond);

// From the click to the preview's page painted: the gate, the card built, loaded and painted.
void BM_card_click_to_preview(benchmark::State &state)
{
    Widget &w = window();
    for (auto _ : state) {
        int pages = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget())) {
                pages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
                preview->reject();
            }
        });
        closer.start(0);
        w.form()->print_Button->click();
        if (pages != 1)
            state.SkipWithError("the preview did not show one page");
    }
}
BENCHMARK(BM_card_click_to_preview)->Unit(benchmark::kMillisecond)->Iterations(20);

// Loads html into the hidden view and prints it to a PDF file, as the print button does.
void print_to_pdf(QWebView *view, const QString &html, const QString &path)
{
    printing::load_print_html(view, html);
    QPrinter pdf(QPrinter::ScreenResolution);
    printing::set_printer_defaults(pdf);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    printing::print_document(view, &pdf, window().print_dpi());
}

// The card built from the form and printed to a PDF file through the hidden view.
void BM_card_to_pdf(benchmark::State &state)
{
    Widget &w = window();
    QTemporaryDir dir;
    std::unique_ptr<QWebView> view(printing::make_print_view());
    for (auto _ : state) {
        print_to_pdf(view.get(), w.print_card(), dir.filePath("card.pdf"));
    }
}
BENCHMARK(BM_card_to_pdf)->Unit(benchmark::kMillisecond)->Iterations(20);

// A balance of 1000 rows of workers in main production, positions of the carried classifier with
// ordinary names (15 to 45 letters), drawn with a fixed seed.
QVector<balance::BalanceRow> thousand_rows()
{
    const QVector<ClassifierRecord> positions = test_support::sampled_positions(1000);
    QVector<balance::BalanceRow> rows;
    for (const ClassifierRecord &position : positions) {
        balance::BalanceRow row = test_support::worker_row(position.code);
        row.cells[balance::col_name] = position.name;
        rows << row;
    }
    return rows;
}

void BM_balance_1000_rows_builder(benchmark::State &state)
{
    printing::BalanceValues v;
    v.common.version = printing::version_footer(3, 25);
    v.short_name = "ООО \"Ромашка\"";
    v.rows = thousand_rows();
    v.down_left_plain = "Экземпляр 1";
    QtMessageHandler quiet = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (auto _ : state)
        benchmark::DoNotOptimize(printing::build_balance(v, 100));
    qInstallMessageHandler(quiet);
}
BENCHMARK(BM_balance_1000_rows_builder)->Unit(benchmark::kMillisecond);

// The 1000-row balance built from the window's table and printed to a PDF file through the hidden view.
void BM_balance_1000_rows_to_pdf(benchmark::State &state)
{
    Widget &w = window();
    QStandardItemModel *model = qobject_cast<QStandardItemModel *>(w.form()->table_balance->model());
    model->removeRows(0, model->rowCount());
    for (const balance::BalanceRow &row : thousand_rows()) {
        QList<QStandardItem *> items;
        for (const QString &cell : row.cells)
            items << new QStandardItem(cell);
        model->appendRow(items);
    }
    QTemporaryDir dir;
    std::unique_ptr<QWebView> view(printing::make_print_view());
    QtMessageHandler quiet = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (auto _ : state) {
        print_to_pdf(view.get(), w.print_balance(), dir.filePath("balance.pdf"));
    }
    qInstallMessageHandler(quiet);
    // The file must hold the sheets the body counted.
    QFile file(dir.filePath("balance.pdf"));
    file.open(QIODevice::ReadOnly);
    const int sheets = file.readAll().count("/Type /Page\n");
    if (sheets != w.form()->sb_b_pages->value())
        state.SkipWithError(qPrintable(QString("%1 sheets printed").arg(sheets)));
}
BENCHMARK(BM_balance_1000_rows_to_pdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
