// The main of every test program that drives windows: Qt on its offscreen platform, the
// window driving kit's failures as failures of the test, and death tests that start the test
// program afresh, for the few tests that let a program end its process.
#include "window_driving.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <string>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication app(argc, argv);
    // A window that lacks what a test drives fails that test.
    reportDrivingFailuresTo([](const std::string& sentence) { ADD_FAILURE() << sentence; });
    return RUN_ALL_TESTS();
}
