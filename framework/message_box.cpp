#include "framework/message_box.h"

#include <map>
#include <string>

#include "framework/cwnd.h"
#include "framework/presenter.h"
#include "framework/win_thread.h"
#include "framework/window_table.h"
#include "platform/module.h"
#include "platform/wait_hub.h"

namespace {

using platform::WaitHub;

struct OpenBox {
    bool closed = false;
    int result = IDOK;
};

// Guarded by the hub lock.
std::map<int, OpenBox>& Boxes() {
    static std::map<int, OpenBox> boxes;
    return boxes;
}
int g_nextBoxId = 1;
thread_local bool t_isWorker = false;

std::string ModuleBaseName() {
    char path[4096];
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) {
        return "Application";
    }
    std::string name(path);
    name = name.substr(name.find_last_of('/') + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

}  // namespace

namespace framework {
void SetWorkerThread() {
    t_isWorker = true;
}
}  // namespace framework

bool CloseMessageBox(int boxId, int result) {
    {
        auto lock = WaitHub::Instance().Lock();
        auto it = Boxes().find(boxId);
        if (it == Boxes().end() || it->second.closed) {
            return false;
        }
        it->second.closed = true;
        it->second.result = result;
        WaitHub::Instance().NotifyLocked();
    }
    GetPresenter().MessageBoxClosed(boxId);
    return true;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    auto& hub = WaitHub::Instance();
    MessageBoxState state;
    state.owner = owner;
    state.text = text != nullptr ? text : "";
    state.caption = caption != nullptr ? caption : "Error";
    state.type = type;
    auto lock = hub.Lock();
    state.id = g_nextBoxId++;
    Boxes()[state.id] = OpenBox{};
    lock.unlock();
    const int id = state.id;
    const std::function<bool()> closed = [id] { return Boxes()[id].closed; };

    if (t_isWorker) {
        // Once no window is left nobody is there to read the box, and the stop of the thread
        // that raised it may be waiting for it: it ends as if closed.
        GetPresenter().MessageBoxOpened(state);
        lock.lock();
        hub.Wait(
            lock, [&] { return closed() || !framework::AnyWindowLeft(); }, std::nullopt);
        lock.unlock();
        CloseMessageBox(id, IDOK);  // does nothing when it was closed
    } else {
        // Only a window of this thread can be disabled by the box.
        WindowData* ownerData = framework::FindWindowData(owner);
        CWnd* ownerWnd = ownerData != nullptr ? CWnd::FromHandle(owner) : nullptr;
        const bool disabledOwner = ownerWnd != nullptr && ownerWnd->IsWindowEnabled();
        if (disabledOwner) {
            ownerWnd->EnableWindow(FALSE);
        }
        GetPresenter().MessageBoxOpened(state);
        framework::RunMessageLoopUntil(closed);
        if (disabledOwner && framework::FindWindowData(owner) != nullptr) {
            ownerWnd->EnableWindow(TRUE);
        }
    }
    lock.lock();
    const int result = Boxes()[id].result;
    Boxes().erase(id);
    return result;
}

LPCSTR AfxGetAppName() {
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pszAppName != nullptr) {
        return app->m_pszAppName;
    }
    static const std::string name = ModuleBaseName();
    return name.c_str();
}

int AfxMessageBox(LPCSTR text, UINT type) {
    if ((type & 0xF0) == 0) {
        type |= MB_ICONEXCLAMATION;
    }
    CWnd* main = AfxGetMainWnd();
    return MessageBoxA(main != nullptr ? main->m_hWnd : nullptr, text, AfxGetAppName(), type);
}
