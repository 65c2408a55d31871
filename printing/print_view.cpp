#include "print_view.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMarginsF>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
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

// The web view lays a printed page out this much wider than the printable width, then shrinks it.
constexpr float print_shrink = 1.25f;

// The printable width in the layout's pixels, as the web view takes it when printing.
int print_layout_width(const QPrinter &printer)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal screen_dpi = screen ? qRound(screen->logicalDotsPerInchX()) : 100;
    const qreal zoom = printer.logicalDpiX() / screen_dpi;
    const int width = int(printer.pageLayout().paintRectPixels(printer.resolution()).width() / zoom);
    return int(std::floor(width * print_shrink));
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
void split_at_sheet_breaks(QWebFrame *frame, int layout_width)
{
    const QWebElementCollection breaks = frame->findAllElements("tr.page-break");
    if (breaks.count() == 0)
        return;
    QWebElement body = breaks.at(0).parent();
    QWebElement table = body.tagName() == "TABLE" ? body : body.parent();
    if (table.tagName() != "TABLE")
        return;
    // Lay the page out at the printed width, then take the widths of a row with a cell per column.
    QWebPage *page = frame->page();
    const QSize screen_size = page->preferredContentsSize();
    page->setPreferredContentsSize(QSize(layout_width, 1000));
    QWebElement sample;
    int columns = 0;
    for (QWebElement row = body.firstChild(); !row.isNull(); row = row.nextSibling()) {
        const int count = cell_count(row);
        if (count > columns) {
            columns = count;
            sample = row;
        }
    }
    const QRect whole = table.geometry();
    QVector<int> left;
    for (QWebElement cell = sample.firstChild(); !cell.isNull(); cell = cell.nextSibling())
        if (cell.tagName() == "TD")
            left << cell.geometry().left();
    left << whole.right() + 1;
    page->setPreferredContentsSize(screen_size);
    if (columns == 0)
        return;
    QString colgroup = "<colgroup>";
    for (int i = 0; i + 1 < left.size(); ++i)
        colgroup += QString("<col style=\"width:%1px\">").arg(left.at(i + 1) - left.at(i));
    colgroup += "</colgroup>";
    const QString fixed = QString("table-layout:fixed;width:%1px").arg(whole.width());
    const QString table_class = table.attribute("class").toHtmlEscaped();

    // From the last break back, so that every row moves once.
    for (int i = breaks.count() - 1; i >= 0; --i) {
        QWebElement brk = breaks.at(i);
        if (brk.parent() != body)
            continue;
        table.appendOutside("<div style=\"page-break-before:always\"></div><table class=\"" + table_class +
                            "\" style=\"" + fixed + "\">" + colgroup + "<tbody></tbody></table>");
        QWebElement sheet_body = table.nextSibling().nextSibling().findFirst("tbody");
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
    return view;
}

bool load_print_html(QWebView *view, const QString &html)
{
    bool loaded = false;
    QEventLoop loop;
    const QMetaObject::Connection done = QObject::connect(view, &QWebView::loadFinished, [&] {
        loaded = true;
        loop.quit();
    });
    view->setHtml(html, QUrl());
    // The page may have loaded inside setHtml already.
    if (!loaded) {
        QTimer::singleShot(load_timeout_ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    QObject::disconnect(done);
    return loaded;
}

void print_document(QWebView *view, QPrinter *printer)
{
    split_at_sheet_breaks(view->page()->mainFrame(), print_layout_width(*printer));
    view->print(printer);
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
