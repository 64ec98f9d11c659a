// CKaldoSensorSettingDlg: the tool's main window. It shows the sensor's settings, lets the user
// pick and open a COM port, switch between the LoRaWAN and NB-IoT variants, and read or write
// the sensor. The settings are its members; its handlers run the exchange (main_dialog_exchange)
// and turn the settings into commands and replies back into settings (main_dialog_settings) with
// the sensor's plain functions.
#pragma once

#include <cstdint>

#include "framework/framework.h"
#include "res/resource.h"
#include "sensor/command.h"
#include "sensor/exchange.h"
#include "sensor/reply_parser.h"
#include "sensor/settings_record.h"
#include "serial/serial_port.h"
#include "ui/progress_dialog.h"

// Tick counter shared by the read-poll and set-watchdog timers.
extern int g_nTimeoutTicks;

// The interval list's entries, in minutes, and how many characters the typed fields take.
inline constexpr const char* kIntervals[] = {"15", "30", "60", "120", "240", "480", "960"};
enum : int {
    ADDRESS_LIMIT = 5,
    APP_EUI_LIMIT = 16,
    APP_KEY_LIMIT = 32,
    SERVER_IP_LIMIT = 15,
    SERVER_PORT_LIMIT = 5
};

class CKaldoSensorSettingDlg : public CDialog {
public:
    explicit CKaldoSensorSettingDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_KALDOSENSORSETTING_DIALOG };

    // Settings record: numeric parameters and their text companions.
    int m_nAddress = DEFAULT_ADDRESS;
    int m_nInterval = DEFAULT_INTERVAL;
    int m_nRangeMax = DEFAULT_RANGE_MAX;
    int m_nRangeMin = DEFAULT_RANGE_MIN;
    int m_nHighAlarm = DEFAULT_HIGH_ALARM;
    int m_nLowAlarm = DEFAULT_LOW_ALARM;
    CString m_strAddressHex;
    CString m_strInterval;
    CString m_strRangeMaxHex;
    CString m_strRangeMinHex;
    CString m_strHighAlarmHex;
    CString m_strLowAlarmHex;

    // LoRaWAN variant.
    CString m_strFrequency = DEFAULT_FREQUENCY;
    CString m_strDevEui = DEFAULT_DEV_EUI;
    CString m_strAppEui = DEFAULT_APP_EUI;
    CString m_strAppKey = DEFAULT_APP_KEY;
    // NB-IoT variant.
    CString m_strNbBand = DEFAULT_NB_BAND;
    CString m_strImei = DEFAULT_IMEI;
    CString m_strServerIp = DEFAULT_SERVER_IP;
    CString m_strServerPort = DEFAULT_SERVER_PORT;

    // Operation gates.
    bool m_bLoraWan = true;
    bool m_bParamsRead = false;
    bool m_bPortOpen = false;
    bool m_bPortFound = false;
    int m_nSequence = 0;
    CString m_strComPort;
    CString m_strBaudRate;

    CComboBox m_cbComPort;
    CComboBox m_cbBaudRate;
    CComboBox m_cbInterval;

    // Exchange state.
    std::uint32_t m_nRxCount = 0;
    std::uint32_t m_nRxCountAtLastTick = 0;  // tells a line still arriving from one gone quiet
    CString m_strRx;
    CString m_strLastCommand;

    CSerialPort m_Port;
    CSensorProgress m_dlgProgress;

    void SendCommand(int nKind);
    int ParseReply(CString strReply);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // The port list's tool tip: what each listed port is, and why a port that is there could
    // not be opened.
    void ExplainPorts();
    // The checks a set must pass; shows the first failure. Pulls the controls in first.
    BOOL CheckSettingsForSet();
    // The selected variant's texts, fields 7 to 10 of a set.
    sensor::VariantTexts VariantTexts() const;
    // The end of every read or set command: remember it, queue it, arm its answer timer.
    void SendToSensor(const CString& strCommand, int nKind);
    // Ends an operation: the progress dialog's timer and the dialog itself.
    void CloseProgress();

    // One per timer id, called from OnTimer. A reply tick returns whether it looked at the
    // received text, which ends the tick there.
    BOOL OnReadReplyTimer();
    BOOL OnSetReplyTimer();
    void OnReadPollTimer();
    void OnSetWatchdogTimer();
    // Whether enough has arrived to look at; if so, lets the line finish and keeps its first line.
    BOOL TakeReplyLine();

    afx_msg LRESULT OnRxByte(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnUsbSet();
    afx_msg void OnSensorInitial();
    afx_msg void OnSensorSet();
    afx_msg void OnModeRadio();

    DECLARE_MESSAGE_MAP()
};
