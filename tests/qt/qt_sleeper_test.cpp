// The user-interface thread's framework waits sleep in Qt's dispatcher: Qt's events are served
// meanwhile, another thread's notification or posted task wakes it, and a deadline ends it.
#include <gtest/gtest.h>

#include <QTimer>
#include <atomic>
#include <thread>

#include "framework/qt/qt_presenter.h"
#include "platform/wait_hub.h"

namespace {

using namespace std::chrono_literals;
using platform::WaitHub;

QtPresenter& Presenter() {
    return static_cast<QtPresenter&>(GetPresenter());
}

TEST(QtSleeper, OnlyTheGuiThreadSleepsInQt) {
    EXPECT_NE(Presenter().SleeperForCurrentThread(), nullptr);
    platform::Sleeper* elsewhere = Presenter().SleeperForCurrentThread();
    std::thread([&elsewhere] { elsewhere = Presenter().SleeperForCurrentThread(); }).join();
    EXPECT_EQ(elsewhere, nullptr);
}

TEST(QtSleeper, ServesQtEventsAndWakesForAnotherThread) {
    auto& hub = WaitHub::Instance();
    bool ready = false;  // guarded by the hub lock
    std::atomic<bool> qtEventServed{false};
    // A Qt event that only a wait inside Qt's dispatcher serves; the other thread answers it.
    QTimer::singleShot(0, [&qtEventServed] { qtEventServed = true; });
    std::thread other([&] {
        while (!qtEventServed.load()) {
            std::this_thread::sleep_for(1ms);
        }
        auto lock = hub.Lock();
        ready = true;
        hub.NotifyLocked();
    });
    {
        auto lock = hub.Lock();
        const std::function<bool()> isReady = [&ready] { return ready; };
        // The deadline only keeps a broken sleeper from hanging the test.
        EXPECT_TRUE(
            hub.Wait(lock, isReady, hub.Now() + 10s, Presenter().SleeperForCurrentThread()));
    }
    other.join();
}

TEST(QtSleeper, RunsTasksPostedFromAnotherThread) {
    auto& hub = WaitHub::Instance();
    bool ran = false;  // guarded by the hub lock
    std::thread::id ranOn;
    std::thread([&] {
        Presenter().RunOnGuiThread([&] {
            ranOn = std::this_thread::get_id();
            auto lock = hub.Lock();
            ran = true;
            hub.NotifyLocked();
        });
    }).join();
    auto lock = hub.Lock();
    const std::function<bool()> hasRun = [&ran] { return ran; };
    EXPECT_TRUE(hub.Wait(lock, hasRun, hub.Now() + 10s, Presenter().SleeperForCurrentThread()));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(QtSleeper, EndsAtTheDeadline) {
    auto& hub = WaitHub::Instance();
    auto lock = hub.Lock();
    const std::function<bool()> never = [] { return false; };
    const auto deadline = hub.Now() + 30ms;
    EXPECT_FALSE(hub.Wait(lock, never, deadline, Presenter().SleeperForCurrentThread()));
    EXPECT_GE(hub.Now(), deadline);
}

}  // namespace
