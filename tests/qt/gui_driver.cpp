#include "tests/qt/gui_driver.h"

#include <gtest/gtest.h>

#include <thread>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "framework/qt/dialog_window.h"
#include "res/resource.h"
#include "tests/support/thread_call.h"

namespace qt_test {
namespace {

template <typename Cond>
bool Poll(Cond cond) {
    return kaldo_test::PollFor(cond, kPatience);
}

std::atomic<bool> modalEnded{false};

// The id of the message box on screen, or 0 (GUI thread).
int ShownBoxId() {
    const std::vector<int> ids = Presenter().OpenMessageBoxIds();
    return !ids.empty() && Presenter().MessageBoxWidget(ids.back())->isVisible() ? ids.back() : 0;
}

}  // namespace

QtPresenter& Presenter() {
    return static_cast<QtPresenter&>(GetPresenter());
}

bool RunOnGui(const std::function<void()>& fn) {
    return kaldo_test::CallOnThread(
        [](std::function<void()> task) { Presenter().RunOnGuiThread(std::move(task)); }, fn,
        kPatience, "GUI");
}

bool WaitOnGui(const std::function<bool()>& cond) {
    return kaldo_test::WaitOnThread(
        [](std::function<void()> task) { Presenter().RunOnGuiThread(std::move(task)); }, cond,
        kPatience, "GUI");
}

INT_PTR RunWithScript(CDialog& dialog, const std::function<void()>& script) {
    modalEnded = false;
    std::thread driver([&] {
        HWND window = nullptr;
        if (!WaitOnGui([&] {
                auto* shown = dynamic_cast<DialogWindow*>(QApplication::activeWindow());
                window = dialog.m_hWnd;
                return window != nullptr && shown != nullptr && shown->Handle() == window;
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

int WaitForBox() {
    int id = 0;
    WaitOnGui([&] { return (id = ShownBoxId()) != 0; });
    return id;
}

bool Acknowledge(const QString& text) {
    int id = 0;
    if (!WaitOnGui([&] {
            id = ShownBoxId();
            return id != 0 && Presenter().MessageBoxWidget(id)->text() == text;
        })) {
        ADD_FAILURE() << "no box saying " << text.toStdString();
        return false;
    }
    OnGui([id] {
        QTest::mouseClick(Presenter().MessageBoxWidget(id)->button(QMessageBox::Ok),
                          Qt::LeftButton);
    });
    return true;
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

}  // namespace qt_test
