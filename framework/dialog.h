// Modal dialogs built from templates. DoModal creates the dialog and its controls, disables the
// owner, calls OnInitDialog, runs a nested message loop until EndDialog, and destroys it all.
#pragma once

#include "framework/cwnd.h"

using INT_PTR = LONG_PTR;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    virtual INT_PTR DoModal();
    // A modeless dialog: created, initialised and shown; it lives until DestroyWindow.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL DestroyWindow();
    virtual BOOL OnInitDialog();
    // Ends the modal loop of this dialog with the result; nothing if it is not open.
    void EndDialog(int nResult);

    // Exchange data into the members, then end with IDOK; the exchange failing keeps it open.
    virtual void OnOK();
    virtual void OnCancel();

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    void OnWindowDestroyed() override;

    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(HWND owner);
    // Attaches, tells the presenter and runs OnInitDialog; shows it unless it ended meanwhile.
    void Initialise(HWND hwnd);

    int m_nModalResult = -1;
    bool m_bEnded = false;  // written under the hub lock: the modal loop's wait reads it
};
