// The user-interface tests run headless: the platform is set before the application
// object exists, also when the test runner lists the tests. The temporary folder is
// the run's own, so a viewer window a test shows announces itself there and never
// to a Sondara of the user's or of another test run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "ui/common/fonts.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runTemp;
    if (runTemp.isValid()) qputenv("TMPDIR", runTemp.path().toUtf8());
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
