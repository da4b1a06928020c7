// The user-interface tests run headless: the platform is set before the application
// object exists, also when the test runner lists the tests.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/common/fonts.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
