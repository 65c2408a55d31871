#include "printing/print_view.h"
#include "printing/print_rules.h"

#include <QEventLoop>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMarginsF>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>
#include <cmath>

namespace printing
{

namespace
{

// Every request the page makes fails at once.
class RefusingAccessManager : public QNetworkAccessManager
{
public:
    using QNetworkAccessManager::QNetworkAccessManager;
    int refused = 0;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &, QIODevice *) override
    {
        ++refused;
        // An address of no known scheme: the reply fails without touching anything.
        return QNetworkAccessManager::createRequest(op, QNetworkRequest(QUrl("refused:")), nullptr);
    }
};

constexpr int load_timeout_ms = 10000;

// Every printed text is set in this Times-metric face, whatever the system maps the templates' "times"
// to: the rows a balance counts for a sheet fit that sheet only at Times' widths.
const char *const print_face = "Liberation Serif";
const char *const print_face_package = "fonts-liberation";

// Whether the face is there, regular and bold; a missing face is logged once.
bool print_face_installed()
{
    static const bool installed = [] {
        const QFontDatabase fonts;
        const bool found = fonts.families().contains(print_face) && fonts.bold(print_face, "Bold") &&
                           !fonts.bold(print_face, "Regular");
        if (!found)
            qWarning("Printing: the font %s is missing (package %s); the documents use the system's serif font "
                     "and a long balance may need more sheets than it counts",
                     print_face, print_face_package);
        return found;
    }();
    return installed;
}

// Sets every text of the view's pages in the print face: its families for the generic names, and a
// user style rule that outranks the pages' own families.
void use_print_face(QWebSettings *settings)
{
    if (!print_face_installed())
        return;
    for (const auto family : {QWebSettings::StandardFont, QWebSettings::SerifFont, QWebSettings::SansSerifFont,
                              QWebSettings::FixedFont, QWebSettings::CursiveFont, QWebSettings::FantasyFont})
        settings->setFontFamily(family, print_face);
    const QByteArray rule = QByteArray("* { font-family: \"") + print_face + "\" !important; }";
    settings->setUserStyleSheetUrl(QUrl("data:text/css;charset=utf-8;base64," + rule.toBase64()));
}

// The web view lays a printed page out this much wider than the printable width, then shrinks it.
constexpr float print_shrink = 1.25f;

// The printable area in pixels of a page laid out for `dpi`.
QSize printable_size(const QPrinter &printer, int dpi)
{
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    return QSize(int(area.width() * qreal(dpi) / printer.logicalDpiX()),
                 int(area.height() * qreal(dpi) / printer.logicalDpiY()));
}

// The width the web view lays a printed page out at.
int print_layout_width(const QPrinter &printer, int dpi)
{
    return int(std::floor(printable_size(printer, dpi).width() * print_shrink));
}

// The height of one sheet in the layout's pixels for a document `width` pixels wide.
int sheet_height(const QPrinter &printer, int dpi, int width)
{
    const QSize area = printable_size(printer, dpi);
    return int(std::floor(width * (float(area.height()) / float(area.width()))));
}

// The dpi the web view lays a printed page out at by itself: the primary screen's.
int screen_dpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 100;
}

// The target printer as the web view gets it to lay a page out at `dpi`: the target's own engines, so
// everything lands there, and a logical dpi scaled by the screen's dpi over `dpi` (the view takes a page's
// width from the printer's logical dpi and the screen's).
class PrinterAtDpi : public QPrinter
{
public:
    PrinterAtDpi(QPrinter &target, int dpi) : target(target), dpi(dpi)
    {
        setEngines(target.printEngine(), target.paintEngine());
        setFromTo(target.fromPage(), target.toPage());
        setPrintRange(target.printRange());
    }

protected:
    int metric(PaintDeviceMetric id) const override
    {
        if (id == PdmDpiX)
            return qRound(qreal(target.logicalDpiX()) * screen_dpi() / dpi);
        if (id == PdmDpiY)
            return qRound(qreal(target.logicalDpiY()) * screen_dpi() / dpi);
        return QPrinter::metric(id);
    }

private:
    QPrinter &target;
    const int dpi;
};

// The bottom running titles stand at the foot of the html element. On a long balance that foot falls
// among the table's sheets and would print over its rows: then they follow the form instead.
void keep_bottom_titles_off_the_table(QWebFrame *frame, int sheets, int sheet, const QWebElement &last_table)
{
    QWebElement titles = frame->findFirstElement("table.downkolont");
    if (titles.isNull())
        return;
    int content_end = 0;
    for (QWebElement e = frame->findFirstElement("body").firstChild(); !e.isNull(); e = e.nextSibling())
        if (e.styleProperty("position", QWebElement::ComputedStyle) == "static")
            content_end = std::max(content_end, e.geometry().bottom());
    const int printed_end = (sheets - 1) * sheet + content_end - last_table.geometry().top();
    if (titles.geometry().top() < printed_end)
        titles.setStyleProperty("position", "static");
}

int cell_count(const QWebElement &row)
{
    int count = 0;
    for (QWebElement cell = row.firstChild(); !cell.isNull(); cell = cell.nextSibling())
        count += cell.tagName() == "TD" ? 1 : 0;
    return count;
}

// Splits the table holding the sheet-break rows into one table per sheet. Each new table starts a
// sheet; every table gets the column widths the whole table had, so the columns stay in line.
void split_at_sheet_breaks(QWebFrame *frame, const QPrinter &printer, int dpi)
{
    const int layout_width = print_layout_width(printer, dpi);
    const QWebElementCollection breaks = frame->findAllElements("tr.page-break");
    if (breaks.count() == 0)
        return;
    QWebElement body = breaks.at(0).parent();
    QWebElement table = body.tagName() == "TABLE" ? body : body.parent();
    if (table.tagName() != "TABLE")
        return;
    // Lay the page out at the printed width while measuring it; the view keeps its own size after.
    QWebPage *page = frame->page();
    const QSize screen_size = page->preferredContentsSize();
    page->setPreferredContentsSize(QSize(layout_width, 1000));
    const auto restore = qScopeGuard([page, screen_size] { page->setPreferredContentsSize(screen_size); });
    // The widths of a row with a cell per column.
    QWebElement sample;
    int columns = 0;
    for (QWebElement row = body.firstChild(); !row.isNull(); row = row.nextSibling()) {
        const int count = cell_count(row);
        if (count > columns) {
            columns = count;
            sample = row;
        }
    }
    if (columns == 0)
        return;
    const QRect whole = table.geometry();
    QVector<int> left;
    for (QWebElement cell = sample.firstChild(); !cell.isNull(); cell = cell.nextSibling())
        if (cell.tagName() == "TD")
            left << cell.geometry().left();
    left << whole.right() + 1;
    QString colgroup = "<colgroup>";
    for (int i = 0; i + 1 < left.size(); ++i)
        colgroup += QString("<col style=\"width:%1px\">").arg(left.at(i + 1) - left.at(i));
    colgroup += "</colgroup>";
    const QString fixed = QString("table-layout:fixed;width:%1px").arg(whole.width());
    const QString table_class = table.attribute("class").toHtmlEscaped();

    // From the last break back, so that every row moves once.
    QWebElement last_table;
    int sheets = 1;
    for (int i = breaks.count() - 1; i >= 0; --i) {
        QWebElement brk = breaks.at(i);
        if (brk.parent() != body)
            continue;
        table.appendOutside("<div style=\"page-break-before:always\"></div><table class=\"" + table_class +
                            "\" style=\"" + fixed + "\">" + colgroup + "<tbody></tbody></table>");
        QWebElement sheet_table = table.nextSibling().nextSibling();
        if (last_table.isNull())
            last_table = sheet_table;
        ++sheets;
        QWebElement sheet_body = sheet_table.findFirst("tbody");
        for (QWebElement row = brk.nextSibling(); !row.isNull();) {
            QWebElement next = row.nextSibling();
            sheet_body.appendInside(row.takeFromDocument());
            row = next;
        }
        brk.removeFromDocument();
    }
    table.setStyleProperty("table-layout", "fixed");
    table.setStyleProperty("width", QString("%1px").arg(whole.width()));
    table.prependInside(colgroup);
    if (!last_table.isNull())
        keep_bottom_titles_off_the_table(frame, sheets,
                                         sheet_height(printer, dpi, std::max(layout_width, whole.width())), last_table);
}

} // namespace

QWebView *make_print_view()
{
    auto *view = new QWebView;
    view->hide();
    view->page()->setNetworkAccessManager(new RefusingAccessManager(view->page()));
    QWebSettings *settings = view->settings();
    settings->setAttribute(QWebSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    settings->setAttribute(QWebSettings::JavaEnabled, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebSettings::DnsPrefetchEnabled, false);
    use_print_face(settings);
    return view;
}

bool load_print_html(QWebView *view, const QString &html)
{
    bool finished = false;
    bool loaded = false;
    QEventLoop loop;
    const QMetaObject::Connection done = QObject::connect(view, &QWebView::loadFinished, [&](bool ok) {
        finished = true;
        loaded = ok;
        loop.quit();
    });
    view->setHtml(html, QUrl());
    // The page may have loaded inside setHtml already.
    if (!finished) {
        QTimer::singleShot(load_timeout_ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    QObject::disconnect(done);
    return loaded;
}

void print_document(QWebView *view, QPrinter *printer, int desktop_dpi)
{
    const int dpi = print_dpi(desktop_dpi);
    split_at_sheet_breaks(view->page()->mainFrame(), *printer, dpi);
    if (dpi == screen_dpi()) {
        view->print(printer);
    } else {
        PrinterAtDpi at_dpi(*printer, dpi);
        view->print(&at_dpi);
    }
}

void set_printer_defaults(QPrinter &printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setColorMode(QPrinter::GrayScale);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 5, 10, 5), QPageLayout::Millimeter);
}

bool system_has_printer()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

int refused_requests(const QWebView *view)
{
    auto *manager = dynamic_cast<RefusingAccessManager *>(view->page()->networkAccessManager());
    return manager ? manager->refused : 0;
}

} // namespace printing
