#include "tests/support/tool_harness.h"

BEGIN_MESSAGE_MAP(TestableDialog, CKaldoSensorSettingDlg)
ON_MESSAGE(kRunOnUiThread, &TestableDialog::OnRunOnUiThread)
END_MESSAGE_MAP()
