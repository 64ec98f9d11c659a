// The presenter with real windows: each framework dialog becomes a top-level Qt widget with a
// widget per control, and message boxes become QMessageBoxes. All widgets live on the thread
// that owns the QApplication, which must be the framework's user-interface thread: it creates
// the windows, and its message loop sleeps in Qt's event dispatcher (QtSleeper), so Qt's
// events are served whenever the framework waits. Construct it on that thread, after the
// QApplication, and install it with SetPresenter; drop it before the QApplication goes. It
// gives the application Qt's classic Windows style, the look the templates were made for.
#pragma once

#include <QPointer>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "framework/presenter.h"
#include "framework/qt/control_view.h"
#include "framework/qt/message_boxes.h"
#include "framework/qt/qt_sleeper.h"
#include "framework/qt/resource_image.h"

class DialogWindow;

class QtPresenter final : public Presenter {
public:
    // images: where picture controls get their bitmaps; the program's image resources unless
    // a test supplies its own.
    explicit QtPresenter(ImageSource images = ResourceImage);
    ~QtPresenter() override;

    void WindowCreated(const WindowState& state) override;
    void WindowChanged(const WindowState& state) override;
    void WindowDestroyed(HWND hwnd) override;
    void MessageBoxOpened(const MessageBoxState& box) override;
    void MessageBoxClosed(int boxId) override;
    platform::Sleeper* SleeperForCurrentThread() override;

    // For tests and tools, on the GUI thread only. Dialogs are named by template id (the
    // latest one open from that template), controls by id (the first with that id).
    QWidget* DialogWidget(UINT templateId) const;
    QWidget* ControlWidget(UINT templateId, int controlId) const;
    std::vector<QWidget*> ControlWidgets(UINT templateId) const;  // in template order
    QMessageBox* MessageBoxWidget(int boxId) const;
    std::vector<int> OpenMessageBoxIds() const;

    // Any thread: runs task on the GUI thread, at once if called there, else when that thread
    // next waits in the framework's loop (woken for it if it sleeps).
    void RunOnGuiThread(std::function<void()> task);

private:
    DialogWindow* FindDialog(HWND hwnd) const;
    DialogWindow* FindDialog(UINT templateId) const;

    ImageSource images_;
    // Compared on every wait of every thread; QThread::currentThread would adopt foreign threads.
    std::thread::id guiThread_;
    QtSleeper sleeper_;
    // Creation order; a dialog owned by another is a Qt child of it, so it may go with it.
    std::vector<std::pair<HWND, QPointer<DialogWindow>>> dialogs_;
    std::map<HWND, HWND> controlDialogs_;  // control -> its dialog
    MessageBoxes boxes_;
};
