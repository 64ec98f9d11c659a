// The presenter without a screen: it keeps what a screen would show, for tests to read and act
// on through a UserAgent.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "framework/presenter.h"

struct ShownMessageBox {
    MessageBoxState box;
    bool open = true;
};

class HeadlessPresenter final : public Presenter {
public:
    void WindowCreated(const WindowState& state) override;
    void WindowChanged(const WindowState& state) override;
    void WindowDestroyed(HWND hwnd) override;
    void MessageBoxOpened(const MessageBoxState& box) override;
    void MessageBoxClosed(int boxId) override;

    // Thread-safe views for the user agent.
    std::vector<WindowState> Windows() const;    // in creation order
    std::vector<ShownMessageBox> Boxes() const;  // every box shown, in order
    // Drops the closed boxes from that record, so that a long run keeps it short.
    void ForgetClosedBoxes();
    // Waits in real time until cond() holds (re-checked at every change); false on time-out.
    bool WaitFor(const std::function<bool()>& cond, std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t changes_ = 0;  // counts every change, so that no wait misses one
    std::vector<WindowState> windows_;
    std::vector<ShownMessageBox> boxes_;
};
