// Runs the program's real start with the arguments given on the command line, closes the main
// window once it is up, and fails when a box was shown, the card was not empty, or the exit code
// was not 0.
#include "program.h"
#include "test_support.h"
#include "ui_widget.h"
#include "widget.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace {

bool failed = false;

void fail(const char *why)
{
    std::fprintf(stderr, "FAIL: %s\n", why);
    failed = true;
}

void close_when_up()
{
    QTimer::singleShot(300, [] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            fail("a modal box was shown");
            modal->close();
        }
        Widget *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *candidate = qobject_cast<Widget *>(w))
                window = candidate;
        if (!window || !window->isVisible()) {
            fail("the main window is not shown");
            QCoreApplication::exit(1);
            return;
        }
        if (!window->form()->le_INN->text().isEmpty() || !window->form()->te_orgname->toPlainText().isEmpty())
            fail("the card is not empty");
        window->close();
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(close_when_up)

int main(int argc, char *argv[])
{
    test_support::prepare_environment();
    const int code = quelt_main(argc, argv);
    if (code != 0)
        fail("exit code is not 0");
    std::printf(failed ? "0 passed, 1 failed\n" : "1 passed, 0 failed\n");
    return failed ? 1 : 0;
}
