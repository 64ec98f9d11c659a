#include "framework/headless_presenter.h"

#include <algorithm>

namespace {
std::unique_ptr<Presenter>& InstalledPresenter() {
    static std::unique_ptr<Presenter> presenter = std::make_unique<HeadlessPresenter>();
    return presenter;
}
}  // namespace

Presenter& GetPresenter() {
    return *InstalledPresenter();
}

void SetPresenter(std::unique_ptr<Presenter> presenter) {
    InstalledPresenter() = std::move(presenter);
}

void HeadlessPresenter::WindowCreated(const WindowState& state) {
    {
        std::lock_guard lock(mutex_);
        windows_.push_back(state);
        ++changes_;
    }
    changed_.notify_all();
}

void HeadlessPresenter::WindowChanged(const WindowState& state) {
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(windows_.begin(), windows_.end(),
                               [&](const WindowState& w) { return w.hwnd == state.hwnd; });
        if (it != windows_.end()) {
            *it = state;
        }
        ++changes_;
    }
    changed_.notify_all();
}

void HeadlessPresenter::WindowDestroyed(HWND hwnd) {
    {
        std::lock_guard lock(mutex_);
        std::erase_if(windows_, [hwnd](const WindowState& w) { return w.hwnd == hwnd; });
        ++changes_;
    }
    changed_.notify_all();
}

void HeadlessPresenter::MessageBoxOpened(const MessageBoxState& box) {
    {
        std::lock_guard lock(mutex_);
        boxes_.push_back({box, true});
        ++changes_;
    }
    changed_.notify_all();
}

void HeadlessPresenter::MessageBoxClosed(int boxId) {
    {
        std::lock_guard lock(mutex_);
        for (auto& shown : boxes_) {
            if (shown.box.id == boxId) {
                shown.open = false;
            }
        }
        ++changes_;
    }
    changed_.notify_all();
}

std::vector<WindowState> HeadlessPresenter::Windows() const {
    std::lock_guard lock(mutex_);
    return windows_;
}

std::vector<ShownMessageBox> HeadlessPresenter::Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

void HeadlessPresenter::ForgetClosedBoxes() {
    std::lock_guard lock(mutex_);
    std::erase_if(boxes_, [](const ShownMessageBox& shown) { return !shown.open; });
}

bool HeadlessPresenter::WaitFor(const std::function<bool()>& cond,
                                std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // A change made while cond() runs, unlocked, must still end the wait below.
        const std::uint64_t seen = changes_;
        lock.unlock();
        const bool met = cond();
        lock.lock();
        if (met) {
            return true;
        }
        if (!changed_.wait_until(lock, deadline, [&] { return changes_ != seen; })) {
            lock.unlock();
            return cond();
        }
    }
}
