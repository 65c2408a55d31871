#pragma once

#include <QCoreApplication>

// One application object for the whole run (the archiver is looked up beside the program),
// and no log lines per input.
inline void quelt_fuzz_init()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}
