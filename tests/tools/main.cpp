#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // The simulator runs as a child process watched from a Qt event loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
