#include "app/program.h"

#include "cardfile/settings_keys.h"
#include "cardfile/work_folders.h"
#include "mainwindow/widget.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int quelt_main(int argc, char *argv[])
{
    QCoreApplication::setOrganizationName(app_settings::organisation);
    QCoreApplication::setOrganizationDomain(app_settings::organisation_domain);
    QCoreApplication::setApplicationName(app_settings::application);
    // Date edits without a display format follow the default locale: dd.MM.yyyy.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    QApplication app(argc, argv);
    // A run that was killed may have left a card in plain text in its working folder.
    remove_stale_work_folders(QDir::tempPath());

    // Translates only the toolkit's own texts; a missing catalogue is not an error.
    QTranslator translator;
    if (!translator.load("qt_ru", QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        qWarning("No Russian catalogue of the toolkit's texts");
    QCoreApplication::installTranslator(&translator);

    Widget window;
    window.show();
    // Linux hands the argument over as UTF-8, which arguments() already decodes.
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 2)
        window.open_card_file(QFileInfo(args.at(1)).absoluteFilePath());
    return app.exec();
}
