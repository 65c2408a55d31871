#pragma once

#include "cardfile/settings_keys.h"
#include "classifier/classifier_reader.h"
#include "resources/init_resources.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QPair>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <QVector>
#include <benchmark/benchmark.h>

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

int qInitResources_resources();
int qCleanupResources_resources();
int qInitResources_packed_classifiers();
int qCleanupResources_packed_classifiers();

// Packs files of dir into dir/full.rcc, each under its resource name (alias, file in dir), with the packed form
// the program reads at start beside it; empty when it fails.
inline QString pack_stand_ins(QTemporaryDir &dir, const QVector<QPair<QString, QString>> &files)
{
    QFile qrc(dir.filePath("full.qrc"));
    if (!qrc.open(QIODevice::WriteOnly))
        return QString();
    QByteArray xml_list = "<qresource prefix=\"/database/xml\">";
    QByteArray packed_list = "<qresource prefix=\"/database/packed\">";
    for (const auto &[alias, file] : files) {
        QFile xml(dir.filePath(file)), packed(dir.filePath(file + ".packed"));
        if (!xml.open(QIODevice::ReadOnly) || !packed.open(QIODevice::WriteOnly) ||
            packed.write(pack_classifier(xml.readAll())) < 0)
            return QString();
        xml_list += QString("<file alias=\"%1\">%2</file>").arg(alias, file).toUtf8();
        packed_list += QString("<file alias=\"%1\">%2.packed</file>").arg(alias, file).toUtf8();
    }
    qrc.write("<RCC>" + xml_list + "</qresource>" + packed_list + "</qresource></RCC>");
    qrc.close();
    const QString rcc = QLibraryInfo::location(QLibraryInfo::BinariesPath) + "/rcc";
    if (QProcess::execute(rcc,
                          {"-binary", "--no-compress", dir.filePath("full.qrc"), "-o", dir.filePath("full.rcc")}) != 0)
        return QString();
    return dir.filePath("full.rcc");
}

// Lays a packed set of stand-ins over the compiled-in classifiers.
inline bool register_stand_ins(const QString &rcc)
{
    // The first registered resource wins: take the compiled-in trees out, lay the stand-ins, put them back.
    qCleanupResources_resources();
    qCleanupResources_packed_classifiers();
    const bool ok = QResource::registerResource(rcc);
    qInitResources_resources();
    qInitResources_packed_classifiers();
    return ok;
}

// Lays files of dir over the compiled-in classifiers, each under its resource name (alias, file in dir).
inline bool lay_stand_ins(QTemporaryDir &dir, const QVector<QPair<QString, QString>> &files)
{
    const QString rcc = pack_stand_ins(dir, files);
    return !rcc.isEmpty() && register_stand_ins(rcc);
}

// A benchmark program's main with the program's window world: the environment, the application and its resources,
// then prepare(dir) with a folder that lasts the run (false: it has said what failed, nothing runs), then the
// benchmarks.
template <typename Prepare> int run_window_benchmarks(int argc, char **argv, Prepare prepare)
{
    set_up_bench_environment();
    QApplication app(argc, argv);
    quelt_init_resources();
    QTemporaryDir dir;
    if (!prepare(dir))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
