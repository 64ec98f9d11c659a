// Windows as C++ objects, and message maps. A CWnd is attached to one window (m_hWnd) and
// receives its messages through WindowProc: the message map of its class and its bases first,
// then the window class's default procedure.
#pragma once

#include "framework/cstring.h"
#include "framework/message_queue.h"
#include "framework/messages.h"
#include "framework/window_styles.h"

#define afx_msg

class CWnd;
class CDataExchange;

using AFX_MSG_HANDLER = LRESULT (*)(CWnd* self, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;  // notification code of WM_COMMAND
    UINT nID;
    UINT nLastID;
    AFX_MSG_HANDLER handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, nullptr }                                                                       \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define ON_MESSAGE(message, memberFxn)                                           \
    {message, 0, 0, 0, [](CWnd* self, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         return (static_cast<ThisClass*>(self)->*(memberFxn))(wParam, lParam);   \
     }},

#define ON_WM_TIMER()                                                           \
    {WM_TIMER, 0, 0, 0, [](CWnd* self, WPARAM wParam, LPARAM) -> LRESULT {      \
         static_cast<ThisClass*>(self)->OnTimer(static_cast<UINT_PTR>(wParam)); \
         return 0;                                                              \
     }},

#define ON_CONTROL(code, id, memberFxn)                                                 \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
     [](CWnd* self, WPARAM, LPARAM) -> LRESULT {                                        \
         (static_cast<ThisClass*>(self)->*(memberFxn))();                               \
         return 0;                                                                      \
     }},

#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object attached to the window, or a stand-in that lives as long as the window.
    static CWnd* FromHandle(HWND hwnd);
    // Safe to call from another thread while the window is being destroyed.
    HWND GetSafeHwnd() const;
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC proc);
    BOOL KillTimer(UINT_PTR nIDEvent);

    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    void SetWindowText(LPCSTR text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    int GetDlgCtrlID() const;
    CWnd* GetDlgItem(int id) const;
    CWnd* GetParent() const;
    void SetFocus();
    // Where Windows attaches a tool-tip control to the window, the text is the window's own here.
    void SetToolTipText(LPCSTR text);

    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;

    // Without a caption, the application's name; the box is owned by this window.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();

    afx_msg void OnTimer(UINT_PTR nIDEvent);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Runs when the attached window is destroyed.
    virtual void OnWindowDestroyed() {}

    friend void DestroyWindowTree(HWND hwnd);
};

// Destroys a window and its controls: timers die, attached objects are detached.
void DestroyWindowTree(HWND hwnd);

namespace framework {
// The default procedure of the window's class (button, edit, combo box, progress bar, dialog).
LRESULT ClassWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
}  // namespace framework
