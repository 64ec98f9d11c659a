// The ten fields of the line as the main dialog holds them: in line order, the member behind each,
// its control and the label that names it there. SendCommand, ParseReply and kaldo-sensor-cli's
// output all follow this one table.
#pragma once

#include <iterator>

#include "ui/main_dialog.h"

// Fields 1 to 6: a number, and the hexadecimal text it travels as.
struct NumberField {
    int CKaldoSensorSettingDlg::*pnValue;
    CString CKaldoSensorSettingDlg::*pstrHex;
    int nControl;
    int nLabel;
};

// Fields 7 to 10, those of one variant: texts.
struct TextField {
    CString CKaldoSensorSettingDlg::*pstrText;
    int nControl;
    int nLabel;
};

inline constexpr NumberField kNumberFields[] = {
    {&CKaldoSensorSettingDlg::m_nAddress, &CKaldoSensorSettingDlg::m_strAddressHex,
     IDC_EDIT_ADDRESS, IDC_STATIC_ADDRESS},
    {&CKaldoSensorSettingDlg::m_nInterval, &CKaldoSensorSettingDlg::m_strInterval,
     IDC_COMBO_INTERVAL, IDC_STATIC_INTERVAL},
    {&CKaldoSensorSettingDlg::m_nRangeMax, &CKaldoSensorSettingDlg::m_strRangeMaxHex,
     IDC_EDIT_RANGE_MAX, IDC_STATIC_RANGE_MAX},
    {&CKaldoSensorSettingDlg::m_nRangeMin, &CKaldoSensorSettingDlg::m_strRangeMinHex,
     IDC_EDIT_RANGE_MIN, IDC_STATIC_RANGE_MIN},
    {&CKaldoSensorSettingDlg::m_nHighAlarm, &CKaldoSensorSettingDlg::m_strHighAlarmHex,
     IDC_EDIT_HIGH_ALARM, IDC_STATIC_HIGH_ALARM},
    {&CKaldoSensorSettingDlg::m_nLowAlarm, &CKaldoSensorSettingDlg::m_strLowAlarmHex,
     IDC_EDIT_LOW_ALARM, IDC_STATIC_LOW_ALARM},
};
inline constexpr TextField kLoraWanFields[] = {
    {&CKaldoSensorSettingDlg::m_strFrequency, IDC_EDIT_FREQUENCY, IDC_STATIC_FREQUENCY},
    {&CKaldoSensorSettingDlg::m_strDevEui, IDC_EDIT_DEV_EUI, IDC_STATIC_DEV_EUI},
    {&CKaldoSensorSettingDlg::m_strAppEui, IDC_EDIT_APP_EUI, IDC_STATIC_APP_EUI},
    {&CKaldoSensorSettingDlg::m_strAppKey, IDC_EDIT_APP_KEY, IDC_STATIC_APP_KEY},
};
inline constexpr TextField kNbFields[] = {
    {&CKaldoSensorSettingDlg::m_strNbBand, IDC_EDIT_NB_BAND, IDC_STATIC_BAND},
    {&CKaldoSensorSettingDlg::m_strImei, IDC_EDIT_IMEI, IDC_STATIC_IMEI},
    {&CKaldoSensorSettingDlg::m_strServerIp, IDC_EDIT_SERVER_IP, IDC_STATIC_SERVER_IP},
    {&CKaldoSensorSettingDlg::m_strServerPort, IDC_EDIT_SERVER_PORT, IDC_STATIC_SERVER_PORT},
};
static_assert(std::size(kNumberFields) + SETTINGS_VARIANT_FIELD_COUNT == SETTINGS_FIELD_COUNT);
static_assert(std::size(kLoraWanFields) == SETTINGS_VARIANT_FIELD_COUNT);
static_assert(std::size(kNbFields) == SETTINGS_VARIANT_FIELD_COUNT);

// The selected variant's fields.
inline const TextField* VariantFields(bool bLoraWan) {
    return bLoraWan ? kLoraWanFields : kNbFields;
}
