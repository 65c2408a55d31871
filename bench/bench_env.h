#pragma once

#include "settings_keys.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

// The world a benchmark runs in: a settings folder of its own, the offscreen platform unless another is asked for,
// the program's settings identity and the Russian locale. Called before the application object is made.
inline void set_up_bench_environment()
{
    qputenv("XDG_CONFIG_HOME", QDir::tempPath().toUtf8() + "/quelt-bench-config");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setOrganizationName(app_settings::organisation);
    QCoreApplication::setApplicationName(app_settings::application);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}
