// Every test program above the window model runs with a QApplication on the
// offscreen platform, so tests that measure or render text use the same
// fonts as the game; the core's tests need only a QCoreApplication. The
// records file goes through the game's own storage.

#include "app/QtRecordStorage.h"

#ifdef QV_TEST_CORE_ONLY
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TestApplication app(argc, argv);
    qtrecords::QtRecordStorage records;
    Module1::UseRecordStorage(records);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
