// Test support: the tool's main dialog on its own user-interface thread, shown through the headless
// presenter, under virtual time, with a private port folder for simulated sensors' COM links.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/headless_presenter.h"
#include "framework/user_agent.h"
#include "tests/support/port_folder.h"
#include "tests/support/ui_thread.h"
#include "tools/sensor-sim/simulated_sensor.h"
#include "ui/main_dialog.h"

// The main dialog running on its own thread the function lParam points to.
class TestableDialog : public CKaldoSensorSettingDlg {
public:
    static constexpr UINT kRunOnUiThread = WM_APP + 1;

protected:
    LRESULT OnRunOnUiThread(WPARAM, LPARAM lParam) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

class ToolHarness {
public:
    static constexpr UINT kMain = IDD_KALDOSENSORSETTING_DIALOG;
    static constexpr UINT kProgress = IDD_SENSOR_PROGRESS;

    ToolHarness() {
        // The progress bar's position is a global: each run starts it afresh.
        g_nProgressPos = 0;
    }

    ~ToolHarness() {
        Close();
        // Its port's monitor may still show a report once the dialog has gone: the user closes
        // it while the port stops.
        std::atomic<bool> gone{false};
        std::thread ending([&] {
            dialog_.reset();
            gone = true;
        });
        while (!gone) {
            agent.CloseMessageBox();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ending.join();
        sensors_.clear();
    }

    // A simulated sensor linked as COMn; call before Start for it to be found at start-up.
    sensor_sim::SimulatedSensor& AddSensor(int comNumber, sensor_sim::SensorOptions options = {}) {
        sensors_.push_back(std::make_unique<sensor_sim::SimulatedSensor>());
        EXPECT_EQ(sensors_.back()->Start(comNumber, options), 0);
        return *sensors_.back();
    }

    void Start() {
        app_.m_pMainWnd = &dlg;
        ui_ = std::make_unique<UiThread>([this] { dlg.DoModal(); });
        ASSERT_TRUE(time.Settle());
        ASSERT_TRUE(agent.IsShown(kMain));
    }

    const std::string& PortFolder() const { return folder_.Path(); }

    // Runs f on the user-interface thread and waits for it; f must not open a box.
    void Run(std::function<void()> f) {
        SendMessage(dlg.GetSafeHwnd(), TestableDialog::kRunOnUiThread, 0,
                    reinterpret_cast<LPARAM>(&f));
    }

    // Queues f for the user-interface thread and lets everything settle; f may open a box.
    void Post(std::function<void()> f) {
        PostMessage(dlg.GetSafeHwnd(), TestableDialog::kRunOnUiThread, 0,
                    reinterpret_cast<LPARAM>(&posted_.emplace_back(std::move(f))));
        ASSERT_TRUE(time.Settle());
    }

    // Clicks and lets everything settle.
    void Click(int controlId, UINT dialogId = kMain) {
        agent.Click(dialogId, controlId);
        ASSERT_TRUE(time.Settle());
    }

    // Closes the open box, expecting its text.
    void ExpectBox(const std::string& text) {
        auto box = agent.OpenMessageBox();
        ASSERT_TRUE(box.has_value()) << "expected a box saying: " << text;
        EXPECT_EQ(box->text, text);
        agent.CloseMessageBox();
        ASSERT_TRUE(time.Settle());
    }

    void ExpectNoBox() {
        const auto box = agent.OpenMessageBox();
        EXPECT_FALSE(box.has_value()) << box->text;
    }

    // Opens the port with "USB Set" and accepts its box.
    void OpenPort() {
        Click(IDC_BUTTON_USB_SET);
        ExpectBox("Intial Serial Port sucessful");
    }

    void Close() {
        if (!ui_) {
            return;
        }
        // Whatever is open goes, innermost first, until the dialog's thread has ended.
        for (int i = 0; i < 100 && agent.Dialog(kMain).has_value(); ++i) {
            while (agent.CloseMessageBox()) {
            }
            agent.PressEscape(kProgress);
            agent.CloseBox(kMain);
            time.Settle();
            time.Advance(std::chrono::milliseconds(10));
        }
        ui_->Join();
        ui_.reset();
    }

    VirtualTime time;
    HeadlessPresenter& presenter = static_cast<HeadlessPresenter&>(GetPresenter());
    UserAgent agent{presenter};

private:
    std::unique_ptr<TestableDialog> dialog_ = std::make_unique<TestableDialog>();

public:
    TestableDialog& dlg = *dialog_;

private:
    kaldo_test::TemporaryPortFolder folder_;
    CWinApp app_;
    std::vector<std::unique_ptr<sensor_sim::SimulatedSensor>> sensors_;
    std::list<std::function<void()>> posted_;  // may still run while the test goes on
    std::unique_ptr<UiThread> ui_;
};
