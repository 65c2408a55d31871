// Runs the program's real start with the arguments given on the command line, closes the main
// window once it is up, and fails when a box was shown, the card was not what it should be, or the
// exit code was not 0. A single argument ending in ".quelt" names a card that is made first and must
// be in the window when it comes up; any other arguments must give an empty card.
#include "app/program.h"
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "mainwindow/widget.h"
#include "tests/support/test_support.h"
#include "ui_widget.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace
{

bool armed = false;
bool failed = false;
QString expected_inn;

const char *const card_inn = "7801234567";

void fail(const char *why)
{
    std::fprintf(stderr, "FAIL: %s\n", why);
    failed = true;
}

// A small card sealed the way the program seals one.
bool make_card(const QString &path)
{
    int argc = 1;
    char name[] = "tst_program_start";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QVector<QString> card(card_lists::main_size);
    card[card_slot::te_orgname] = "ООО Проба";
    card[card_slot::le_INN] = card_inn;
    card[card_slot::cb_kat_b] = QString::fromUtf8(card_lists::category_not_reserving);
    card[card_slot::balance_row_count] = "0";
    card[card_slot::bron_row_count] = "0";
    card[card_slot::nebron_row_count] = "0";
    QFile::remove(path);
    iexml writer;
    return writer.save_card(card, {}, {}, {}, path, QFileInfo(path).completeBaseName() + ".xml");
}

void close_when_up()
{
    if (!armed)
        return;
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
        if (window->form()->le_INN->text() != expected_inn)
            fail("the window does not hold the expected card");
        if (expected_inn.isEmpty() && !window->form()->te_orgname->toPlainText().isEmpty())
            fail("the card is not empty");
        window->close();
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(close_when_up)

// A working folder that a killed run left a minute ago, with a card in plain text in it.
QString make_stale_folder(const QString &temp)
{
    const QString stale = temp + "/quelt-save-AbC123";
    QDir().mkpath(stale);
    QFile card(stale + "/card.xml");
    if (!card.open(QIODevice::WriteOnly) || card.write("<dataroot/>") <= 0)
        return QString();
    card.close();
    const time_t earlier = time(nullptr) - 120;
    const struct timeval times[2] = {{earlier, 0}, {earlier, 0}};
    return utimes(QFile::encodeName(stale).constData(), times) == 0 ? stale : QString();
}

int main(int argc, char *argv[])
{
    test_support::prepare_environment();
    QTemporaryDir private_temp;
    qputenv("TMPDIR", QFile::encodeName(private_temp.path()));
    const QString stale = make_stale_folder(private_temp.path());
    if (stale.isEmpty())
        fail("no stale folder could be made");
    if (argc == 2 && QString::fromLocal8Bit(argv[1]).endsWith(".quelt")) {
        // Relative to the working folder, as a user would type it.
        if (!make_card(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])))) {
            std::printf("0 passed, 1 failed\n");
            return 1;
        }
        expected_inn = card_inn;
    }
    armed = true;
    const int code = quelt_main(argc, argv);
    if (code != 0)
        fail("exit code is not 0");
    if (QFileInfo::exists(stale))
        fail("the start left a stale working folder with a plain card");
    std::printf(failed ? "0 passed, 1 failed\n" : "1 passed, 0 failed\n");
    return failed ? 1 : 0;
}
