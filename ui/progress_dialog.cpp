#include "ui/progress_dialog.h"

int g_nProgressPos = 0;

namespace {
constexpr short kProgressMax = 500;
constexpr int kProgressStep = 100;
constexpr UINT kProgressStepMs = 1000;
}  // namespace

CSensorProgress::CSensorProgress(CWnd* pParent) : CDialog(IDD, pParent) {}

void CSensorProgress::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_BAR, m_ctrlProgress);
    DDX_Text(pDX, IDC_EDIT_PROGRESS_TEXT, m_strProgressText);
    DDX_Control(pDX, IDC_EDIT_PROGRESS_TEXT, m_editProgressText);
}

BEGIN_MESSAGE_MAP(CSensorProgress, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL CSensorProgress::OnInitDialog() {
    CDialog::OnInitDialog();
    m_ctrlProgress.SetRange(0, kProgressMax);
    m_ctrlProgress.SetPos(0);
    m_ctrlProgress.SetBarColor(RGB(0, 255, 0));
    SetTimer(TIMER_PROGRESS_STEP, kProgressStepMs, nullptr);
    return TRUE;
}

void CSensorProgress::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == TIMER_PROGRESS_STEP) {
        g_nProgressPos += kProgressStep;
        if (g_nProgressPos > kProgressMax) {
            g_nProgressPos = 0;
        }
        m_ctrlProgress.SetPos(g_nProgressPos);
    }
    CDialog::OnTimer(nIDEvent);
}
