#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace test_support
{

// The clean world every test starts from: Russian default locale, settings and
// temporary files in a fresh folder, offscreen platform. Call before the application object exists.
void prepare_environment();

// The whole file, or nothing when it cannot be read.
inline QByteArray file_bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool write_file(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every name in a folder, hidden ones too, by name.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace test_support

// A test's main with the shared set-up in front of the application object of the given class.
#define QUELT_TEST_MAIN_WITH(TestObject, Application)                                                                  \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        test_support::prepare_environment();                                                                           \
        Application app(argc, argv);                                                                                   \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

// QTEST_GUILESS_MAIN with the shared set-up in front: for tests of the cores, which need no window.
#define QUELT_CORE_TEST_MAIN(TestObject) QUELT_TEST_MAIN_WITH(TestObject, QCoreApplication)
