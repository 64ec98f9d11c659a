#include "framework/data_exchange.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "framework/message_box.h"
#include "framework/window_table.h"

namespace framework {

bool ParseExchangeInteger(const char* text, int* value) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
    if (!std::isdigit(static_cast<unsigned char>(*digits))) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(p, &end, 10);
    if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    while (*end == ' ' || *end == '\t') {
        ++end;
    }
    if (*end != '\0') {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

}  // namespace framework

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    if (framework::FindWindowData(m_hWnd) == nullptr) {
        return FALSE;
    }
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const framework::ExchangeFailed&) {
        return FALSE;
    }
    return TRUE;
}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    CWnd* control = m_pDlgWnd->GetDlgItem(nIDC);
    m_hWndLastControl = control != nullptr ? control->m_hWnd : nullptr;
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    if (CWnd* control = CWnd::FromHandle(m_hWndLastControl)) {
        control->SetFocus();
    }
    throw framework::ExchangeFailed{};
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd == nullptr) {
        if (HWND hwnd = pDX->PrepareCtrl(nIDC)) {
            rControl.SubclassWindow(hwnd);
        }
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    CWnd* control = CWnd::FromHandle(pDX->PrepareEditCtrl(nIDC));
    if (control == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        CString text;
        control->GetWindowText(text);
        int parsed = 0;
        if (!framework::ParseExchangeInteger(text, &parsed)) {
            AfxMessageBox("Please enter an integer.");
            pDX->Fail();
        }
        value = parsed;
    } else {
        CString text;
        text.Format("%d", value);
        control->SetWindowText(text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    CWnd* control = CWnd::FromHandle(pDX->PrepareEditCtrl(nIDC));
    if (control == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        control->GetWindowText(value);
    } else {
        control->SetWindowText(value);
    }
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    CWnd* control = CWnd::FromHandle(pDX->PrepareCtrl(nIDC));
    if (control == nullptr) {
        return;
    }
    WindowData* data = framework::FindWindowData(control->m_hWnd);
    const bool dropList = data != nullptr && (data->style & 0x3) == CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        if (!dropList) {
            control->GetWindowText(value);
        } else {
            const auto index = control->SendMessage(CB_GETCURSEL);
            const auto length = control->SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
            value.Empty();
            if (index != CB_ERR && length != CB_ERR) {
                std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
                control->SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buffer.data()));
                value = CString(buffer.data(), static_cast<int>(length));
            }
        }
        return;
    }
    // A list entry that begins with the text, else (editable box) the text itself.
    if (control->SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR) {
        control->SetWindowText(value);
    }
}
