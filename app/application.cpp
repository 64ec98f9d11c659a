#include "app/application.h"

#include "ui/main_dialog.h"

CKaldoSensorSettingApp theApp;

// No name of its own: the framework takes the executable's.
CKaldoSensorSettingApp::CKaldoSensorSettingApp() = default;

BOOL CKaldoSensorSettingApp::InitInstance() {
    // Common controls, the shell manager, the visual manager and the restart manager have no
    // counterpart here: the presenter draws every control class in the desktop's own style, and
    // the session manager restarts programs itself. No registry key either: the tool keeps no
    // settings between runs.
    CWinApp::InitInstance();

    {
        CKaldoSensorSettingDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        // The dialog's end stops the port monitor, which reads the main window for every byte.
    }
    m_pMainWnd = nullptr;
    // The application ends when the main dialog closes.
    return FALSE;
}
