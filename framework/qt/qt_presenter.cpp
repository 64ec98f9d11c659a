#include "framework/qt/qt_presenter.h"

#include <QApplication>
#include <QStyleFactory>
#include <QThread>
#include <algorithm>

#include "framework/qt/dialog_window.h"

QtPresenter::QtPresenter(ImageSource images)
    : images_(std::move(images)), guiThread_(std::this_thread::get_id()) {
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    // The tool's dialogs were laid out for the classic Windows look, which Qt has built in.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        QApplication::setStyle(classic);
    }
}

QtPresenter::~QtPresenter() {
    for (auto& [hwnd, dialog] : dialogs_) {
        boxes_.Orphan(dialog);
        delete dialog.data();
    }
}

void QtPresenter::WindowCreated(const WindowState& state) {
    if (state.IsDialog()) {
        DialogWindow* owner = FindDialog(state.parent);
        dialogs_.emplace_back(state.hwnd, new DialogWindow(state, owner));
        return;
    }
    if (DialogWindow* dialog = FindDialog(state.parent)) {
        controlDialogs_[state.hwnd] = state.parent;
        dialog->AddControl(state, images_);
    }
}

void QtPresenter::WindowChanged(const WindowState& state) {
    if (state.IsDialog()) {
        if (DialogWindow* dialog = FindDialog(state.hwnd)) {
            dialog->Apply(state);
        }
    } else if (DialogWindow* dialog = FindDialog(state.parent)) {
        dialog->ApplyControl(state);
    }
}

void QtPresenter::WindowDestroyed(HWND hwnd) {
    if (auto control = controlDialogs_.find(hwnd); control != controlDialogs_.end()) {
        if (DialogWindow* dialog = FindDialog(control->second)) {
            dialog->RemoveControl(hwnd);
        }
        controlDialogs_.erase(control);
        return;
    }
    auto it = std::find_if(dialogs_.begin(), dialogs_.end(),
                           [hwnd](const auto& d) { return d.first == hwnd; });
    if (it == dialogs_.end()) {
        return;
    }
    QPointer<DialogWindow> dialog = it->second;
    dialogs_.erase(it);
    if (dialog) {
        boxes_.Orphan(dialog);
        delete dialog.data();
    }
}

void QtPresenter::MessageBoxOpened(const MessageBoxState& box) {
    RunOnGuiThread([this, box] { boxes_.Open(box, FindDialog(box.owner)); });
}

void QtPresenter::MessageBoxClosed(int boxId) {
    RunOnGuiThread([this, boxId] { boxes_.Close(boxId); });
}

platform::Sleeper* QtPresenter::SleeperForCurrentThread() {
    return std::this_thread::get_id() == guiThread_ ? &sleeper_ : nullptr;
}

void QtPresenter::RunOnGuiThread(std::function<void()> task) {
    if (std::this_thread::get_id() == guiThread_) {
        task();
    } else {
        sleeper_.Post(std::move(task));
    }
}

DialogWindow* QtPresenter::FindDialog(HWND hwnd) const {
    if (hwnd == nullptr) {
        return nullptr;
    }
    for (const auto& [handle, dialog] : dialogs_) {
        if (handle == hwnd) {
            return dialog.data();
        }
    }
    return nullptr;
}

DialogWindow* QtPresenter::FindDialog(UINT templateId) const {
    for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
        if (it->second && it->second->TemplateId() == templateId) {
            return it->second.data();
        }
    }
    return nullptr;
}

QWidget* QtPresenter::DialogWidget(UINT templateId) const {
    return FindDialog(templateId);
}

QWidget* QtPresenter::ControlWidget(UINT templateId, int controlId) const {
    DialogWindow* dialog = FindDialog(templateId);
    return dialog == nullptr ? nullptr : dialog->ControlWidget(controlId);
}

std::vector<QWidget*> QtPresenter::ControlWidgets(UINT templateId) const {
    DialogWindow* dialog = FindDialog(templateId);
    return dialog == nullptr ? std::vector<QWidget*>() : dialog->ControlWidgets();
}

QMessageBox* QtPresenter::MessageBoxWidget(int boxId) const {
    return boxes_.Find(boxId);
}

std::vector<int> QtPresenter::OpenMessageBoxIds() const {
    return boxes_.OpenIds();
}
