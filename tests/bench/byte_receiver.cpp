#include "tests/bench/byte_receiver.h"

#include "framework/dialog_template.h"
#include "serial/serial_port.h"

namespace {
constexpr UINT kReceiverDialog = 951;
constexpr UINT kRunHere = WM_APP + 20;

const bool kRegistered = [] {
    RegisterDialogTemplate(DialogTemplate{
        kReceiverDialog, WS_POPUP, 0, "Receiver", "MS Shell Dlg", 9, 0, 0, 100, 50, {}});
    return true;
}();
}  // namespace

BEGIN_MESSAGE_MAP(ByteReceiver, CDialog)
ON_MESSAGE(UWM_PORT_RXBYTE, &ByteReceiver::OnByte)
ON_MESSAGE(kRunHere, &ByteReceiver::OnRun)
END_MESSAGE_MAP()

ByteReceiver::ByteReceiver() : CDialog(kReceiverDialog) {}

BOOL ByteReceiver::OnInitDialog() {
    CDialog::OnInitDialog();
    // Makes this thread's message queue now: until it exists, messages sent here are dropped.
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    std::lock_guard lock(mutex_);
    shown_ = true;
    changed_.notify_all();
    return TRUE;
}

void ByteReceiver::WaitShown() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return shown_; });
}

void ByteReceiver::Run(std::function<void()> f) {
    ::SendMessage(GetSafeHwnd(), kRunHere, 0, reinterpret_cast<LPARAM>(&f));
}

LRESULT ByteReceiver::OnRun(WPARAM, LPARAM lParam) {
    (*reinterpret_cast<std::function<void()>*>(lParam))();
    return 0;
}

void ByteReceiver::Expect(std::size_t count) {
    std::lock_guard lock(mutex_);
    expected_ = count;
    count_ = 0;
    received_.clear();
    received_.reserve(count);
}

LRESULT ByteReceiver::OnByte(WPARAM wParam, LPARAM) {
    // Only the last byte takes the lock: the handler stays as light as the tool's own.
    received_.push_back(static_cast<std::uint8_t>(wParam));
    if (received_.size() == expected_) {
        lastByte_ = std::chrono::steady_clock::now();
        std::lock_guard lock(mutex_);
        count_ = received_.size();
        changed_.notify_all();
    }
    return 0;
}

std::size_t ByteReceiver::WaitForAll(std::chrono::milliseconds quiet) {
    for (std::size_t seen = 0;;) {
        std::unique_lock lock(mutex_);
        if (changed_.wait_for(lock, quiet, [this] { return count_ == expected_; })) {
            return count_;
        }
        lock.unlock();
        // No progress over a whole quiet period: the rest is lost.
        std::size_t now = 0;
        Run([&] { now = received_.size(); });
        if (now == seen) {
            return now;
        }
        seen = now;
    }
}

std::vector<std::uint8_t> ByteReceiver::TakeReceived() {
    std::vector<std::uint8_t> received;
    Run([&] { received.swap(received_); });
    return received;
}
