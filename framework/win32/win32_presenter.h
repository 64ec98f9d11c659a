// The presenter with the system's own windows: each framework dialog becomes a top-level
// window with a USER32 control per control, and message boxes become windows of its own drawing
// (the system's MessageBox would run a loop of its own). All of them live on the user-interface
// thread, whose message loop sleeps in the system's message wait (bridge.h: UiSleeper), so the
// windows are served whenever the framework waits. Construct it on that thread.
#pragma once

#include <thread>

#include "framework/presenter.h"

class Win32Presenter final : public Presenter {
public:
    Win32Presenter();

    void WindowCreated(const WindowState& state) override;
    void WindowChanged(const WindowState& state) override;
    void WindowDestroyed(HWND hwnd) override;
    void MessageBoxOpened(const MessageBoxState& box) override;
    void MessageBoxClosed(int boxId) override;
    platform::Sleeper* SleeperForCurrentThread() override;

private:
    std::thread::id uiThread_;
};
