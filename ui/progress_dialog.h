// CSensorProgress: the small modal window shown while a read or a set runs, with a green bar
// that steps once a second. The exchange closes it when the operation ends.
#pragma once

#include "framework/framework.h"
#include "res/resource.h"

#define TIMER_PROGRESS_STEP 14

// The bar's position; it carries over from one opening to the next.
extern int g_nProgressPos;

class CSensorProgress : public CDialog {
public:
    explicit CSensorProgress(CWnd* pParent = nullptr);

    enum { IDD = IDD_SENSOR_PROGRESS };

    CProgressCtrl m_ctrlProgress;
    CString m_strProgressText;
    CEdit m_editProgressText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()
};
