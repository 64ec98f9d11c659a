// The tool's dialog templates, registered when the program starts.
#include "framework/dialog_template.h"
#include "framework/window_styles.h"
#include "res/resource.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kEdit = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kReadOnlyEdit = kEdit | WS_DISABLED;  // shows the record, never typed into
constexpr DWORD kPushButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
// A combo box's template height is that of its dropped list.
constexpr DWORD kEditableDropDown = kChild | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kDropDownList = kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

DialogTemplate MainDialog() {
    return {
        IDD_KALDOSENSORSETTING_DIALOG,
        WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT,
        0,
        "`Kaldo Sensor Setting",
        "MS Shell Dlg",
        9,
        0,
        0,
        455,
        233,
        {
            {IDC_STATIC_SERVER_PORT, kStaticClass, "Server Port", kLabel, 0, 279, 171, 45, 13},
            {IDC_EDIT_DEV_EUI, kEditClass, "", kReadOnlyEdit, 0, 174, 130, 101, 14},
            {IDC_EDIT_ADDRESS, kEditClass, "", kReadOnlyEdit, 0, 174, 15, 101, 14},
            {IDC_EDIT_RANGE_MIN, kEditClass, "", kReadOnlyEdit, 0, 175, 57, 101, 14},
            {IDC_EDIT_RANGE_MAX, kEditClass, "", kReadOnlyEdit, 0, 174, 36, 101, 14},
            {IDC_EDIT_SERVER_IP, kEditClass, "", kEdit, 0, 320, 151, 101, 14},
            {IDC_EDIT_SERVER_PORT, kEditClass, "", kEdit, 0, 320, 172, 101, 14},
            {IDC_STATIC_DEV_EUI, kStaticClass, "Device EUI", kLabel, 0, 135, 131, 39, 13},
            {IDC_STATIC_RANGE_MIN, kStaticClass, "Range Min.", kLabel, 0, 135, 58, 38, 13},
            {IDC_STATIC_ADDRESS, kStaticClass, "Address", kLabel, 0, 135, 20, 31, 13},
            {IDC_STATIC_RANGE_MAX, kStaticClass, "Range Max.", kLabel, 0, 135, 39, 38, 13},
            {IDC_STATIC_SERVER_IP, kStaticClass, "Server IP", kLabel, 0, 279, 151, 34, 13},
            {IDC_RADIO_LORAWAN, kButtonClass, "LoraWan Sensor",
             kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 17, 18, 73, 17},
            {IDC_RADIO_NB, kButtonClass, "NB Sensor", kChild | BS_AUTORADIOBUTTON, 0, 17, 36, 62,
             12},
            {IDC_BUTTON_SENSOR_INITIAL, kButtonClass, "Sensor Initial", kPushButton, 0, 184, 204,
             64, 15},
            {IDC_BUTTON_SENSOR_SET, kButtonClass, "Sensor Set", kPushButton, 0, 322, 204, 64, 15},
            {IDC_STATIC_BAUDRATE, kStaticClass, "BaudRate", kLabel, 0, 14, 120, 33, 22},
            {IDC_STATIC, kStaticClass, "Com Port", kLabel, 0, 16, 155, 40, 21},
            {IDC_COMBO_COM_PORT, kComboBoxClass, "", kEditableDropDown, 0, 48, 152, 76, 47},
            {IDC_COMBO_BAUDRATE, kComboBoxClass, "", kEditableDropDown, 0, 47, 120, 76, 51},
            {IDC_BUTTON_USB_SET, kButtonClass, "USB Set", kPushButton, 0, 48, 204, 64, 15},
            {IDC_STATIC, kButtonClass, "Mode", kGroupBox, 0, 7, 7, 121, 51},
            {IDC_STATIC, kButtonClass, "USB", kGroupBox, 0, 7, 66, 123, 157},
            {IDC_STATIC, kButtonClass, "Sensor Set", kGroupBox, 0, 130, 7, 318, 217},
            {IDC_EDIT_NB_BAND, kEditClass, "", kReadOnlyEdit, 0, 320, 109, 101, 14},
            {IDC_EDIT_IMEI, kEditClass, "", kReadOnlyEdit, 0, 320, 130, 101, 14},
            {IDC_STATIC_BAND, kStaticClass, "Band", kLabel, 0, 281, 111, 26, 13},
            {IDC_STATIC_IMEI, kStaticClass, "IMEI", kLabel, 0, 281, 131, 24, 13},
            {IDC_PICTURE_USB, kStaticClass, "", kChild | SS_BITMAP, 0, 14, 77, 109, 26, IDB_USB},
            {IDC_STATIC_INTERVAL, kStaticClass, "Interval", kLabel, 0, 281, 18, 44, 13},
            {IDC_STATIC, kStaticClass, "Minutes", kLabel, 0, 421, 15, 27, 12},
            {IDC_STATIC_LOW_ALARM_UNIT, kStaticClass, "KPa", kLabel, 0, 424, 67, 18, 12},
            {IDC_STATIC_HIGH_ALARM_UNIT, kStaticClass, "KPa", kLabel, 0, 423, 44, 19, 12},
            {IDC_COMBO_INTERVAL, kComboBoxClass, "", kDropDownList, 0, 320, 15, 101, 60},
            {IDC_EDIT_FREQUENCY, kEditClass, "", kReadOnlyEdit, 0, 174, 109, 101, 14},
            {IDC_STATIC_APP_EUI, kStaticClass, " APP EUI", kLabel, 0, 135, 151, 42, 13},
            {IDC_EDIT_APP_KEY, kEditClass, "", kEdit, 0, 174, 172, 101, 14},
            {IDC_STATIC_APP_KEY, kStaticClass, "APP Key", kLabel, 0, 135, 171, 32, 13},
            {IDC_EDIT_HIGH_ALARM, kEditClass, "", kEdit, 0, 320, 35, 101, 14},
            {IDC_STATIC_HIGH_ALARM, kStaticClass, "High Alarm", kLabel, 0, 281, 38, 35, 13},
            {IDC_EDIT_LOW_ALARM, kEditClass, "", kEdit, 0, 320, 57, 101, 14},
            {IDC_STATIC_LOW_ALARM, kStaticClass, "Low Alarm", kLabel, 0, 281, 58, 37, 13},
            {IDC_STATIC_FREQUENCY, kStaticClass, "Frequency", kLabel, 0, 135, 111, 37, 13},
            {IDC_EDIT_APP_EUI, kEditClass, "", kEdit, 0, 174, 151, 101, 14},
            {IDC_STATIC, kButtonClass, "LoraWan Sensor", kGroupBox | BS_FLAT, 0, 134, 91, 143, 112},
            {IDC_STATIC, kButtonClass, "NB Sensor", kGroupBox, 0, 279, 91, 153, 112},
        },
    };
}

// A frameless strip with a bar; the edit only exists for data exchange and is never seen.
DialogTemplate ProgressDialog() {
    return {
        IDD_SENSOR_PROGRESS,
        WS_POPUP | WS_BORDER | WS_SYSMENU | DS_SHELLFONT,
        WS_EX_STATICEDGE | WS_EX_CLIENTEDGE,
        "",
        "MS Shell Dlg",
        8,
        0,
        0,
        220,
        41,
        {
            {IDC_EDIT_PROGRESS_TEXT, kEditClass, "", WS_CHILD | ES_MULTILINE | WS_DISABLED, 0, 7, 7,
             187, 12},
            {IDC_PROGRESS_BAR, kProgressClass, "", kChild | WS_BORDER, 0, 21, 14, 174, 15},
        },
    };
}

struct Registration {
    Registration() {
        RegisterDialogTemplate(MainDialog());
        RegisterDialogTemplate(ProgressDialog());
    }
};
const Registration registration;

}  // namespace
