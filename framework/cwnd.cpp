#include "framework/cwnd.h"

#include <atomic>
#include <vector>

#include "framework/message_box.h"
#include "framework/window_table.h"

namespace {

// The message each nested WindowProc call is handling, for Default().
thread_local std::vector<MSG> t_currentMessages;

struct CurrentMessage {
    CurrentMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        t_currentMessages.push_back(MSG{hwnd, message, wParam, lParam, 0});
    }
    ~CurrentMessage() { t_currentMessages.pop_back(); }
};

bool EntryMatches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam) {
    if (entry.nMessage != message) {
        return false;
    }
    if (message != WM_COMMAND) {
        return true;
    }
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    return entry.nCode == code && id >= entry.nID && id <= entry.nLastID;
}

}  // namespace

namespace framework {

LRESULT DispatchToWindow(const MSG& msg) {
    WindowData* window = FindWindowData(msg.hwnd);
    if (window == nullptr) {
        return 0;
    }
    if (window->object != nullptr) {
        return window->object->WindowProc(msg.message, msg.wParam, msg.lParam);
    }
    return ClassWindowProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

}  // namespace framework

CWnd::~CWnd() {
    if (m_hWnd != nullptr) {
        if (WindowData* window = framework::FindWindowData(m_hWnd);
            window && window->object == this) {
            window->object = nullptr;
        }
    }
}

// m_hWnd is read by worker threads through GetSafeHwnd while the window's thread may be
// attaching or destroying it.
HWND CWnd::GetSafeHwnd() const {
    return std::atomic_ref<HWND>(const_cast<HWND&>(m_hWnd)).load(std::memory_order_acquire);
}

namespace {
void SetHandle(CWnd& wnd, HWND hwnd) {
    std::atomic_ref<HWND>(wnd.m_hWnd).store(hwnd, std::memory_order_release);
}
}  // namespace

CWnd* CWnd::FromHandle(HWND hwnd) {
    WindowData* window = framework::FindWindowData(hwnd);
    if (window == nullptr) {
        return nullptr;
    }
    if (window->object != nullptr) {
        return window->object;
    }
    if (!window->temporary) {
        window->temporary = std::make_unique<CWnd>();
        window->temporary->m_hWnd = hwnd;
    }
    return window->temporary.get();
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    WindowData* window = framework::FindWindowData(hwnd);
    if (window == nullptr || window->object != nullptr) {
        return FALSE;
    }
    window->object = this;
    SetHandle(*this, hwnd);
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (WindowData* window = framework::FindWindowData(hwnd); window && window->object == this) {
        window->object = nullptr;
    }
    SetHandle(*this, nullptr);
    return hwnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC proc) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, proc);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    WindowData* window = framework::FindWindowData(m_hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = window->IsEnabled() ? FALSE : TRUE;
    const DWORD style = enable ? (window->style & ~WS_DISABLED) : (window->style | WS_DISABLED);
    if (style != window->style) {
        window->style = style;
        framework::PublishWindow(*window);
    }
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    WindowData* window = framework::FindWindowData(m_hWnd);
    return window != nullptr && window->IsEnabled() ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    WindowData* window = framework::FindWindowData(m_hWnd);
    return window != nullptr && window->IsVisible() ? TRUE : FALSE;
}

void CWnd::SetWindowText(LPCSTR text) {
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CWnd::GetWindowText(CString& text) const {
    const int length = GetWindowTextLength();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    const auto copied =
        SendMessage(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    text = CString(buffer.data(), static_cast<int>(copied));
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(SendMessage(WM_GETTEXTLENGTH));
}

int CWnd::GetDlgCtrlID() const {
    WindowData* window = framework::FindWindowData(m_hWnd);
    return window == nullptr ? 0 : window->id;
}

CWnd* CWnd::GetDlgItem(int id) const {
    WindowData* window = framework::FindWindowData(m_hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    for (HWND child : window->children) {
        WindowData* control = framework::FindWindowData(child);
        if (control != nullptr && control->id == id) {
            return FromHandle(child);
        }
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const {
    WindowData* window = framework::FindWindowData(m_hWnd);
    return window == nullptr ? nullptr : FromHandle(window->parent);
}

void CWnd::SetFocus() {
    WindowData* window = framework::FindWindowData(m_hWnd);
    WindowData* dialog = window == nullptr ? nullptr : framework::FindWindowData(window->parent);
    if (dialog == nullptr) {
        return;
    }
    for (HWND child : dialog->children) {
        WindowData* control = framework::FindWindowData(child);
        const bool focused = child == m_hWnd;
        if (control != nullptr && control->focused != focused) {
            control->focused = focused;
            framework::PublishWindow(*control);
        }
    }
}

void CWnd::SetToolTipText(LPCSTR text) {
    WindowData* window = framework::FindWindowData(m_hWnd);
    if (window != nullptr && window->toolTip != text) {
        window->toolTip = text;
        framework::PublishWindow(*window);
    }
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id) {
        if (CWnd* button = GetDlgItem(id)) {
            button->SendMessage(BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

int CWnd::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id) {
        if (CWnd* button = GetDlgItem(id);
            button && button->SendMessage(BM_GETCHECK) == BST_CHECKED) {
            return id;
        }
    }
    return 0;
}

void CWnd::CheckDlgButton(int id, UINT check) {
    if (CWnd* button = GetDlgItem(id)) {
        button->SendMessage(BM_SETCHECK, check);
    }
}

UINT CWnd::IsDlgButtonChecked(int id) const {
    CWnd* button = GetDlgItem(id);
    return button == nullptr ? 0 : static_cast<UINT>(button->SendMessage(BM_GETCHECK));
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    return ::MessageBoxA(m_hWnd, text, caption != nullptr ? caption : AfxGetAppName(), type);
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage current(m_hWnd, message, wParam, lParam);
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->handler != nullptr; ++entry) {
            if (EntryMatches(*entry, message, wParam)) {
                *result = entry->handler(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return framework::ClassWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    if (t_currentMessages.empty()) {
        return 0;
    }
    const MSG msg = t_currentMessages.back();
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

void DestroyWindowTree(HWND hwnd) {
    WindowData* window = framework::FindWindowData(hwnd);
    if (window == nullptr) {
        return;
    }
    const std::vector<HWND> children = window->children;
    for (HWND child : children) {
        DestroyWindowTree(child);
    }
    framework::ForgetWindowMessages(hwnd);
    auto data = framework::RemoveWindowData(hwnd);
    if (data->object != nullptr) {
        SetHandle(*data->object, nullptr);
        data->object->OnWindowDestroyed();
    }
    if (data->created) {
        GetPresenter().WindowDestroyed(hwnd);
    }
}
