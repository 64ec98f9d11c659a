#include "tests/support/tool_harness.h"

BEGIN_MESSAGE_MAP(TestableDialog, CKaldoSensorSettingDlg)
ON_MESSAGE(kRunOnUiThread, &TestableDialog::OnRunOnUiThread)
ON_MESSAGE(kPostToUiThread, &TestableDialog::OnPostToUiThread)
END_MESSAGE_MAP()
