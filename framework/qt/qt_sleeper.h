// How the user-interface thread sleeps under the Qt presenter: inside Qt's event dispatcher, so
// that while the framework's loop waits for its own messages, window-system events and Qt's
// posted events are served too. The framework's loop stays the one loop; Qt's dispatcher is
// only where it blocks.
#pragma once

#include <QTimer>

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

private:
    QAbstractEventDispatcher* dispatcher_;
    // Bounds a wait by the framework's next deadline; kept so that a sleep does not create one.
    QTimer deadline_;
};
