#include "framework/dialog.h"

#include "framework/dialog_template.h"
#include "framework/win_thread.h"
#include "framework/window_table.h"
#include "platform/wait_hub.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::CreateFromTemplate(HWND owner) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_nIDTemplate);
    if (dialogTemplate == nullptr) {
        return nullptr;
    }
    auto dialog = std::make_unique<WindowData>();
    dialog->parent = owner;
    dialog->templateId = dialogTemplate->id;
    dialog->windowClass = "#32770";
    // Shown once OnInitDialog has run, whatever the template says.
    dialog->style = dialogTemplate->style & ~WS_VISIBLE;
    dialog->exStyle = dialogTemplate->exStyle;
    dialog->text = dialogTemplate->caption;
    dialog->rect =
        RECT{dialogTemplate->x, dialogTemplate->y, dialogTemplate->x + dialogTemplate->cx,
             dialogTemplate->y + dialogTemplate->cy};
    dialog->fontFace = dialogTemplate->fontFace;
    dialog->fontPointSize = dialogTemplate->fontPointSize;
    HWND hwnd = framework::CreateWindowData(std::move(dialog));
    WindowData* dialogData = framework::FindWindowData(hwnd);
    for (const ControlTemplate& c : dialogTemplate->controls) {
        auto control = std::make_unique<WindowData>();
        control->parent = hwnd;
        control->id = c.id;
        control->windowClass = c.windowClass;
        control->style = c.style | WS_CHILD;
        control->exStyle = c.exStyle;
        control->text = c.caption;
        control->rect = RECT{c.x, c.y, c.x + c.cx, c.y + c.cy};
        control->imageId = c.imageId;
        control->fontFace = dialogTemplate->fontFace;
        control->fontPointSize = dialogTemplate->fontPointSize;
        dialogData->children.push_back(framework::CreateWindowData(std::move(control)));
    }
    return hwnd;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (owner == nullptr) {
        CWnd* main = AfxGetMainWnd();
        if (main != nullptr && main != this && framework::FindWindowData(main->m_hWnd) != nullptr) {
            owner = main->m_hWnd;
        }
    }
    HWND hwnd = CreateFromTemplate(owner);
    if (hwnd == nullptr) {
        return -1;
    }
    CWnd* ownerWnd = owner != nullptr ? CWnd::FromHandle(owner) : nullptr;
    const bool disabledOwner = ownerWnd != nullptr && ownerWnd->IsWindowEnabled();
    if (disabledOwner) {
        ownerWnd->EnableWindow(FALSE);
    }
    Initialise(hwnd);
    const auto ended = [this] { return m_bEnded; };
    framework::RunMessageLoopUntil(ended);

    // The owner is enabled again before the dialog goes, so it can take the focus back.
    if (disabledOwner && framework::FindWindowData(owner) != nullptr) {
        ownerWnd->EnableWindow(TRUE);
    }
    DestroyWindowTree(hwnd);
    return m_nModalResult;
}

void CDialog::Initialise(HWND hwnd) {
    SubclassWindow(hwnd);
    {
        auto lock = platform::WaitHub::Instance().Lock();
        m_bEnded = false;
    }
    m_nModalResult = -1;

    WindowData* dialog = framework::FindWindowData(hwnd);
    dialog->created = true;
    GetPresenter().WindowCreated(*dialog);
    for (HWND child : dialog->children) {
        WindowData* control = framework::FindWindowData(child);
        control->created = true;
        GetPresenter().WindowCreated(*control);
    }

    OnInitDialog();

    if (WindowData* shown = framework::FindWindowData(hwnd); shown != nullptr && !m_bEnded) {
        shown->style |= WS_VISIBLE;
        framework::PublishWindow(*shown);
    }
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    HWND hwnd = CreateFromTemplate(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr);
    if (hwnd == nullptr) {
        return FALSE;
    }
    Initialise(hwnd);
    return TRUE;
}

BOOL CDialog::DestroyWindow() {
    if (framework::FindWindowData(m_hWnd) == nullptr) {
        return FALSE;
    }
    DestroyWindowTree(m_hWnd);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    WindowData* dialog = framework::FindWindowData(m_hWnd);
    if (dialog == nullptr) {
        return;
    }
    m_nModalResult = nResult;
    {
        auto lock = platform::WaitHub::Instance().Lock();
        m_bEnded = true;
        platform::WaitHub::Instance().NotifyLocked();
    }
    // Hidden at once; destroyed when its loop returns (a box shown meanwhile may delay that).
    if (dialog->IsVisible()) {
        dialog->style &= ~WS_VISIBLE;
        framework::PublishWindow(*dialog);
    }
}

void CDialog::OnOK() {
    if (m_hWnd == nullptr || !UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnWindowDestroyed() {
    auto lock = platform::WaitHub::Instance().Lock();
    m_bEnded = true;
}
