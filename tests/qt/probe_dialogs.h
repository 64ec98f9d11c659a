// Dialogs on the tool's templates for the GUI tests: the main dialog's template set up as the
// program sets it up at start, recording every notification its controls send, and the
// progress template with a green bar and a ticking timer.
#pragma once

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "tests/qt/gui_driver.h"

namespace qt_test {

class ProbeMainDialog : public ScriptedDialog {
public:
    ProbeMainDialog();

    // How many WM_COMMAND notifications with this control id and code arrived.
    int Notifications(int controlId, WORD code) const;

    std::atomic<int> usbSetReturned{0};

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnSensorSet();
    afx_msg void OnUsbSet();
    afx_msg void OnModeRadio();

    DECLARE_MESSAGE_MAP()

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, WORD>> notifications_;
};

class ProbeProgressDialog : public ScriptedDialog {
public:
    ProbeProgressDialog();

    std::atomic<int> ticks{0};

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()
};

}  // namespace qt_test
