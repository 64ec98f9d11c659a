#include "framework/qt/qt_sleeper.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <algorithm>
#include <limits>

QtSleeper::QtSleeper() : dispatcher_(QAbstractEventDispatcher::instance(QThread::currentThread())) {
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
}

void QtSleeper::Sleep(std::unique_lock<std::mutex>& lock,
                      std::optional<platform::TimePoint> realDeadline) {
    // Qt's handlers and posted tasks may post input or close boxes, which take the hub lock.
    lock.unlock();
    if (!RunPosted()) {
        if (!realDeadline) {
            dispatcher_->processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            // Rounded up, so that the wait does not end just before the deadline and spin.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                *realDeadline - platform::SteadyClock::now());
            if (left.count() <= 0) {
                dispatcher_->processEvents(QEventLoop::AllEvents);
            } else {
                deadline_.start(static_cast<int>(std::min<std::chrono::milliseconds::rep>(
                    left.count(), std::numeric_limits<int>::max())));
                dispatcher_->processEvents(QEventLoop::WaitForMoreEvents);
                deadline_.stop();
            }
        }
        RunPosted();
    }
    lock.lock();
}

void QtSleeper::Wake() {
    dispatcher_->wakeUp();
}

void QtSleeper::Post(std::function<void()> task) {
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(task));
    }
    dispatcher_->wakeUp();
}

bool QtSleeper::RunPosted() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(postedMutex_);
        tasks.swap(posted_);
    }
    for (auto& task : tasks) {
        task();
    }
    return !tasks.empty();
}
