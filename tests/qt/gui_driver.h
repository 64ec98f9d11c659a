// Driving a dialog under the Qt presenter from a test. The test's own thread owns the
// QApplication and is the user-interface thread: it runs DoModal, while a script on a second
// thread acts on the widgets and checks them by running code on the GUI thread, which does so
// whenever the framework's loop sleeps in Qt's dispatcher.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <ostream>
#include <type_traits>

#include <QRect>
#include <QString>

#include "framework/dialog.h"
#include "framework/qt/qt_presenter.h"

// Failure messages show Qt values as a person reads them.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace qt_test {

using namespace std::chrono_literals;

inline constexpr auto kPatience = 10s;

QtPresenter& Presenter();

// Runs fn on the GUI thread and waits for it. If the GUI thread does not take it within the
// patience (it is not waiting in Qt's dispatcher), the call is dropped and the test fails.
bool RunOnGui(const std::function<void()>& fn);

template <typename F>
auto OnGui(F fn) -> std::invoke_result_t<F> {
    using Result = std::invoke_result_t<F>;
    if constexpr (std::is_void_v<Result>) {
        RunOnGui(fn);
    } else {
        Result result{};
        RunOnGui([&] { result = fn(); });
        return result;
    }
}

// Re-checks cond on the GUI thread until it holds; false if it did not within the patience.
bool WaitOnGui(const std::function<bool()>& cond);

// A dialog that a script can find: it tells its window once OnInitDialog has run.
class ScriptedDialog : public CDialog {
public:
    using CDialog::CDialog;
    HWND Window() const { return window_.load(); }
    UINT TemplateId() const { return m_nIDTemplate; }
    // Waits in real time until the dialog's window has been destroyed; false on time-out.
    bool WaitUntilDestroyed() const;

protected:
    void Announce() { window_.store(m_hWnd); }
    void OnWindowDestroyed() override;

private:
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> destroyed_{false};
};

// Runs dialog.DoModal() on this (the GUI) thread while script runs on a thread of its own. The
// script starts once the dialog is shown and active; when it returns, the dialog is cancelled if it
// is still open. Returns DoModal's result.
INT_PTR RunWithScript(ScriptedDialog& dialog, const std::function<void()>& script);

// What the framework holds for a control (GUI thread).
std::string FrameworkText(CWnd& dialog, int controlId);

}  // namespace qt_test
