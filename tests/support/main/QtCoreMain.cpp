#include <QCoreApplication>
#include <gtest/gtest.h>

// Platform tests need a Qt event loop on the main thread, as the application has.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
