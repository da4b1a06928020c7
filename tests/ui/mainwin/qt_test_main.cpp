// The window tests need an application object; they run offscreen unless told
// otherwise, also when the test runner lists them.
#include <gtest/gtest.h>
#include <QApplication>

#include <clocale>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
