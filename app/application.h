// CKaldoSensorSettingApp: the program's entry into its own logic. Its whole life is the modal run
// of the main dialog.
#pragma once

#include "framework/framework.h"

class CKaldoSensorSettingApp : public CWinApp {
public:
    CKaldoSensorSettingApp();

    BOOL InitInstance() override;
};

extern CKaldoSensorSettingApp theApp;
