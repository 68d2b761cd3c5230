#include "gui/LongJob.h"

#include "gui/GuiTestSupport.h"

#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace garrison;

namespace {

// A click that arrives while a job runs (a double-click, an impatient
// player) is swallowed: the second job never starts, neither during the
// first nor after it; so is the window manager's close.
TEST(LongJob, NothingTheUserDoesStartsASecondJobMeanwhile)
{
    QDialog window;
    auto *button = new QPushButton("Go", &window);
    (new QVBoxLayout(&window))->addWidget(button);
    window.show();

    std::atomic<int> running{0}, most{0}, started{0};
    std::atomic<bool> release{false};
    QObject::connect(button, &QPushButton::clicked, [&] {
        gui::runOffTheUiThread(window, "working", [&] {
            ++started;
            most = std::max(most.load(), ++running);
            // Bounded, so a second job let through fails the test instead of hanging it.
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!release && std::chrono::steady_clock::now() < limit)
                std::this_thread::yield();
            --running;
        });
    });
    QTimer::singleShot(0, &window, [&] {
        ASSERT_TRUE(test::waitFor([&] { return started == 1; }));
        QTest::mouseDClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
        QTest::keyClick(button, Qt::Key_Space);
        release = true;
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(most, 1);
    EXPECT_TRUE(window.isVisible());
}

// The job's end ends the wait: no poll makes each command last a tick more.
// Polled every 20 ms, these 200 would take four seconds at the least.
TEST(LongJob, AQuickJobEndsTheWaitAtOnce)
{
    QDialog window;
    int runs = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 200; ++i)
        gui::runOffTheUiThread(window, "working", [&] { ++runs; });
    EXPECT_EQ(runs, 200);
    EXPECT_LT(clock.elapsed(), 2000);
}

} // namespace
