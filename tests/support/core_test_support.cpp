#include "tests/support/core_test_support.h"

#include "cardfile/settings_keys.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace test_support
{

void prepare_environment()
{
    // Removed with everything in it when the test process ends.
    static QTemporaryDir home(QDir::tempPath() + "/quelt-test-XXXXXX");
    static bool home_set = false;
    if (!home_set) {
        home_set = true;
        const QByteArray path = home.path().toUtf8();
        qputenv("XDG_CONFIG_HOME", path + "/config");
        qputenv("XDG_DATA_HOME", path + "/data");
        qputenv("XDG_CACHE_HOME", path + "/cache");
        qputenv("HOME", path);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCoreApplication::setOrganizationName(app_settings::organisation);
    QCoreApplication::setApplicationName(app_settings::application);
}

} // namespace test_support
