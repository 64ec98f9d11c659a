// Dialog data exchange between controls and members. UpdateData(TRUE) copies controls into
// members in DoDataExchange's order; an integer field holding no integer shows the framework's
// message and stops the exchange there, so that member and the ones after it keep their values.
#pragma once

#include "framework/controls.h"
#include "framework/cstring.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }
    // Gives the focus to the failing control and ends the exchange.
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl = nullptr;
};

namespace framework {
// The exception that ends a failed exchange; UpdateData catches it.
struct ExchangeFailed {};

// The integer rule: optional blanks, an optional sign, decimal digits, optional blanks, and a
// value that fits an int. Returns false for anything else (empty text included).
bool ParseExchangeInteger(const char* text, int* value);
}  // namespace framework

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
