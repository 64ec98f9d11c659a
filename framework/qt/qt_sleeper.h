// How the user-interface thread sleeps under the Qt presenter: inside Qt's event dispatcher, so
// that while the framework's loop waits for its own messages, window-system events and Qt's
// posted events are served too. The framework's loop stays the one loop; Qt's dispatcher is
// only where it blocks. Other threads hand work to the sleeping thread here as well: through a
// queue under a standard mutex, so that the hand-over is visible to thread sanitizers, and a
// dispatcher wake-up.
#pragma once

#include <QTimer>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/wait_hub.h"

class QAbstractEventDispatcher;

class QtSleeper final : public platform::Sleeper {
public:
    // On the thread whose dispatcher it sleeps in.
    QtSleeper();

    void Sleep(std::unique_lock<std::mutex>& lock,
               std::optional<platform::TimePoint> realDeadline) override;
    // Thread-safe: QAbstractEventDispatcher::wakeUp may be called from any thread.
    void Wake() override;

    // Any thread: the sleeping thread runs the task when it next sleeps, or wakes to run it.
    void Post(std::function<void()> task);

private:
    // Runs the tasks posted so far; false if there were none.
    bool RunPosted();

    QAbstractEventDispatcher* dispatcher_;
    // Bounds a wait by the framework's next deadline; kept so that a sleep does not create one.
    QTimer deadline_;
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
};
