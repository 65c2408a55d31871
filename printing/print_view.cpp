#include "print_view.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMarginsF>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

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
