#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // The link and the instrument line run on a Qt event loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
