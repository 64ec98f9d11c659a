#include "tests/win32/win32_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "framework/win32/bridge.h"
#include "res/resource.h"
#include "tests/support/thread_call.h"

namespace win32_test {
namespace {

template <typename Cond>
bool Poll(Cond cond) {
    return kaldo_test::PollFor(cond, kPatience);
}

std::atomic<bool> modalEnded{false};

}  // namespace

bool RunOnUi(const std::function<void()>& fn) {
    return kaldo_test::CallOnThread(
        [](std::function<void()> task) { win32::RunOnUiThread(std::move(task)); }, fn, kPatience,
        "user-interface");
}

bool WaitOnUi(const std::function<bool()>& cond) {
    return kaldo_test::WaitOnThread(
        [](std::function<void()> task) { win32::RunOnUiThread(std::move(task)); }, cond, kPatience,
        "user-interface");
}

INT_PTR RunWithScript(CDialog& dialog, const std::function<void()>& script) {
    modalEnded = false;
    std::thread driver([&] {
        HWND window = nullptr;
        if (!WaitOnUi([&] {
                window = dialog.m_hWnd;
                return window != nullptr && dialog.IsWindowVisible();
            })) {
            ADD_FAILURE() << "the dialog was not shown";
        } else {
            script();
        }
        if (window != nullptr) {
            ::PostMessage(window, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const INT_PTR result = dialog.DoModal();
    modalEnded = true;
    driver.join();
    return result;
}

bool WaitUntilEnded() {
    return Poll([] { return modalEnded.load(); });
}

screen::Window Item(const std::string& caption, int id) {
    screen::Window dialog = nullptr;
    Poll([&] { return (dialog = screen::Dialog(caption)) != nullptr; });
    return dialog != nullptr ? screen::Item(dialog, id) : nullptr;
}

bool Acknowledge(const std::string& text, const std::string& caption) {
    screen::Box shown;
    const bool found = Poll([&] {
        for (const screen::Box& box : screen::Boxes()) {
            if (box.text == text) {
                shown = box;
                return true;
            }
        }
        return false;
    });
    if (!found) {
        std::string shownTexts;
        for (const screen::Box& box : screen::Boxes()) {
            shownTexts += " [" + box.text + "]";
        }
        ADD_FAILURE() << "no box saying " << text << "; shown:" << shownTexts;
        return false;
    }
    if (!caption.empty()) {
        EXPECT_EQ(shown.caption, caption);
    }
    screen::Click(screen::Item(shown.window, IDOK));
    // Pressed is not yet closed: the next step, or the next test, must not meet this box.
    const bool closed = Poll([&] {
        const auto boxes = screen::Boxes();
        return std::none_of(boxes.begin(), boxes.end(),
                            [&](const screen::Box& box) { return box.window == shown.window; });
    });
    if (!closed) {
        ADD_FAILURE() << "the box saying " << text << " did not close";
    }
    return closed;
}

BEGIN_MESSAGE_MAP(ProbeProgressDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

ProbeProgressDialog::ProbeProgressDialog() : CDialog(IDD_SENSOR_PROGRESS) {}

BOOL ProbeProgressDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CWnd* bar = GetDlgItem(IDC_PROGRESS_BAR);
    bar->SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 500));
    bar->SendMessage(PBM_SETPOS, 300);
    SetTimer(1, 10, nullptr);
    return TRUE;
}

void ProbeProgressDialog::OnTimer(UINT_PTR) {
    ++ticks;
}

}  // namespace win32_test
