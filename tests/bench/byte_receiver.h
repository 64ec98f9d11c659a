// The receiving end of the byte path: an owner dialog whose handler takes every byte the port's
// monitor sends it, as the tool's main dialog does, and keeps them for checking. Other threads
// drive it by running functions on its thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "framework/framework.h"

class ByteReceiver : public CDialog {
public:
    ByteReceiver();

    // Any thread: waits until the dialog is up and can be sent messages.
    void WaitShown();
    // Any thread: runs f on the dialog's thread and returns when it has run.
    void Run(std::function<void()> f);

    // Its own thread: forget what came so far and expect count bytes.
    void Expect(std::size_t count);
    // Any thread: waits until the expected bytes have come, or none came for `quiet`.
    // Returns how many came.
    std::size_t WaitForAll(std::chrono::milliseconds quiet);
    // After WaitForAll returned them all: when the last expected byte was handled.
    std::chrono::steady_clock::time_point LastByteTime() const { return lastByte_; }
    // Any thread: what came since Expect, taken from the dialog's thread.
    std::vector<std::uint8_t> TakeReceived();

protected:
    BOOL OnInitDialog() override;
    LRESULT OnByte(WPARAM wParam, LPARAM lParam);
    LRESULT OnRun(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool shown_ = false;
    std::size_t expected_ = 0;
    std::size_t count_ = 0;  // written under mutex_ only when the flood ends
    std::vector<std::uint8_t> received_;
    std::chrono::steady_clock::time_point lastByte_;
};
