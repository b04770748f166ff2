// Test entry: one application object for the whole run, headless unless a display is asked for.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/Application.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    VelmoraApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
