#include "platform/startup.h"

#include <QApplication>

#include <gtest/gtest.h>

// Every test program runs headless with a real application object.
int main(int argc, char **argv)
{
    platform::prepareHeadlessApplicationStart();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
