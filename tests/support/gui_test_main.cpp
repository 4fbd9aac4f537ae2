// The main of every test program that drives windows: Qt on its offscreen platform, the
// window driving kit's failures as failures of the test, and death tests that start the test
// program afresh, for the few tests that let a program end its process.
#include "window_driving.h"

#include <QApplication>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

namespace {

// Qt paints large areas on the threads of its global pool. Those threads are detached: ending
// them returns before each has let go of its own data, which the leak check at exit would then
// report as lost. So they are ended here, and the process waits until it is down to this one
// thread (for a few seconds at most) before it exits.
void endQtsPaintingThreads()
{
    QThreadPool::globalInstance()->waitForDone();
    const auto threadCount = [] {
        std::error_code unreadable;
        return std::distance(std::filesystem::directory_iterator("/proc/self/task", unreadable),
                             std::filesystem::directory_iterator());
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (threadCount() > 1 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication app(argc, argv);
    // A window that lacks what a test drives fails that test.
    reportDrivingFailuresTo([](const std::string& sentence) { ADD_FAILURE() << sentence; });
    const int result = RUN_ALL_TESTS();
    endQtsPaintingThreads();
    return result;
}
