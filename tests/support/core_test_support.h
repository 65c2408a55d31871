#pragma once

#include <QCoreApplication>
#include <QtTest>

namespace test_support
{

// The clean world every test starts from: Russian default locale, settings and
// temporary files in a fresh folder, offscreen platform. Call before the application object exists.
void prepare_environment();

} // namespace test_support

// QTEST_GUILESS_MAIN with the shared set-up in front: for tests of the cores, which need no window.
#define QUELT_CORE_TEST_MAIN(TestObject)                                                                               \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        test_support::prepare_environment();                                                                           \
        QCoreApplication app(argc, argv);                                                                              \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
