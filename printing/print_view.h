#pragma once

// The hidden web view that renders a printed document, and the printer's set-up.

#include <QString>

class QPrinter;
class QWebView;

namespace printing
{

// A view that runs no scripts and fetches nothing: no network, no local files. The document is self-contained.
QWebView *make_print_view();

// Puts the HTML into the view and returns once the page has loaded; false when it failed or did not load in time.
bool load_print_html(QWebView *view, const QString &html);

// Prints the loaded document laid out for print_dpi(desktop_dpi), the dpi it was built for, whatever the
// screen's. A document whose table carries sheet breaks is first split there into one table per sheet, all
// with the same column widths (the web view keeps forced breaks reliably only between blocks, not between
// the rows of one long table).
void print_document(QWebView *view, QPrinter *printer, int desktop_dpi);

// Landscape, grayscale, A4, margins 10 mm left and right, 5 mm top and bottom.
void set_printer_defaults(QPrinter &printer);

// Whether the system lists any print queue (a printer object without one still calls itself valid).
bool system_has_printer();

// Requests the view's pages made and refused since it was created.
int refused_requests(const QWebView *view);

} // namespace printing
