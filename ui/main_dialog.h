// CKaldoSensorSettingDlg: the tool's main window. It shows the sensor's settings, lets the user
// pick and open a COM port, switch between the LoRaWAN and NB-IoT variants, and read or write
// the sensor. The settings are its members; its handlers run the exchange (main_dialog_exchange)
// and turn the settings into commands and replies back into settings (main_dialog_settings) with
// the sensor's plain functions.
#pragma once

#include "framework/framework.h"
#include "res/resource.h"
#include "sensor/command.h"
#include "sensor/exchange.h"
#include "sensor/reply_parser.h"
#include "sensor/settings_record.h"
#include "serial/serial_port.h"
#include "ui/progress_dialog.h"

// Ports are COM1 to COM10.
#define LAST_COM_PORT 10

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
    CString m_strComPort;
    CString m_strBaudRate;

    CComboBox m_cbComPort;
    CComboBox m_cbBaudRate;
    CComboBox m_cbInterval;

    CSerialPort m_Port;
    CSensorProgress m_dlgProgress;

    void SendCommand(int nKind);
    int ParseReply(CString strReply);

    // Start-up looks for ports from COM1 to COM10; a program that needs one port only looks there,
    // and does not open the ports other programs are about to use.
    void ProbeOnly(int nPort) { m_nFirstProbedPort = m_nLastProbedPort = nPort; }

    const sensor::Exchange& GetExchange() const { return m_Exchange; }
    // How the latest step ended; safe from another thread, which may also start a step afresh.
    sensor::Outcome LastOutcome() const { return m_Exchange.LastOutcome(); }
    void ClearOutcome() { m_Exchange.Record(sensor::Outcome::Pending); }

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
    // Records how a step ended and says so in a box (text: the outcome's own when null).
    void ShowOutcome(sensor::Outcome outcome, const char* pszText = nullptr);

    // One per timer id, called from OnTimer. A reply tick returns whether it looked at the
    // received text, which ends the tick there.
    BOOL OnReadReplyTimer();
    BOOL OnSetReplyTimer();
    void OnReadPollTimer();
    void OnSetWatchdogTimer();
    // Whether enough has arrived to look at; if so, lets the line finish.
    BOOL ReplySettled();

    afx_msg LRESULT OnRxByte(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnUsbSet();
    afx_msg void OnSensorInitial();
    afx_msg void OnSensorSet();
    afx_msg void OnModeRadio();

    DECLARE_MESSAGE_MAP()

private:
    sensor::Exchange m_Exchange;
    int m_nFirstProbedPort = 1;
    int m_nLastProbedPort = LAST_COM_PORT;
};
