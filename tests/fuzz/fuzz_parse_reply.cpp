// ParseReply on any bytes from the line, in the real main dialog: the reply is taken exactly
// when ten commas follow index 0, a rejected one changes nothing, a taken one puts its fields
// where they belong and never touches the other variant.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/main_dialog.h"

namespace {

// The interval list grows by every new interval: back to the start-up entries this often.
constexpr unsigned kInputsPerListReset = 1000;

CKaldoSensorSettingDlg* g_pDialog = nullptr;
std::vector<CString> g_startIntervals;
int g_startSelection = CB_ERR;

[[noreturn]] void Fault() {
    __builtin_trap();
}

// Before the framework's own statics go: the dialog's windows are theirs.
void CloseDialog() {
    g_pDialog->DestroyWindow();
    delete g_pDialog;
}

struct Variant {
    CString a, b, c, d;
    bool operator==(const Variant&) const = default;
};

Variant LoraMembers(const CKaldoSensorSettingDlg& d) {
    return {d.m_strFrequency, d.m_strDevEui, d.m_strAppEui, d.m_strAppKey};
}
Variant NbMembers(const CKaldoSensorSettingDlg& d) {
    return {d.m_strNbBand, d.m_strImei, d.m_strServerIp, d.m_strServerPort};
}

struct Record {
    int numbers[6];
    CString texts[6];
    Variant lora, nb;
    int selected, count;
    bool operator==(const Record&) const = default;
};

Record Snapshot(CKaldoSensorSettingDlg& d) {
    return {
        {d.m_nAddress, d.m_nInterval, d.m_nRangeMax, d.m_nRangeMin, d.m_nHighAlarm, d.m_nLowAlarm},
        {d.m_strAddressHex, d.m_strInterval, d.m_strRangeMaxHex, d.m_strRangeMinHex,
         d.m_strHighAlarmHex, d.m_strLowAlarmHex},
        LoraMembers(d),
        NbMembers(d),
        d.m_cbInterval.GetCurSel(),
        d.m_cbInterval.GetCount()};
}

void ResetIntervals(CKaldoSensorSettingDlg& d) {
    d.m_cbInterval.ResetContent();
    for (const CString& interval : g_startIntervals) {
        d.m_cbInterval.AddString(interval);
    }
    d.m_cbInterval.SetCurSel(g_startSelection);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No port links: the dialog's start-up probe finds no simulated sensor.
    char portFolder[] = "/tmp/kaldo-fuzz-ports-XXXXXX";
    if (mkdtemp(portFolder) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    setenv("KALDO_SENSOR_PORTS", portFolder, 1);

    g_pDialog = new CKaldoSensorSettingDlg;
    if (!g_pDialog->Create(IDD_KALDOSENSORSETTING_DIALOG)) {
        std::abort();
    }
    std::atexit(CloseDialog);
    // Only the start-up probe looks at ports.
    unsetenv("KALDO_SENSOR_PORTS");
    rmdir(portFolder);
    for (int i = 0; i < g_pDialog->m_cbInterval.GetCount(); ++i) {
        CString interval;
        g_pDialog->m_cbInterval.GetLBText(i, interval);
        g_startIntervals.push_back(interval);
    }
    g_startSelection = g_pDialog->m_cbInterval.GetCurSel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static unsigned s_inputs = 0;
    CKaldoSensorSettingDlg& d = *g_pDialog;
    if (++s_inputs % kInputsPerListReset == 0) {
        ResetIntervals(d);
    }
    // Both variants, picked by something the fuzzer controls.
    d.m_bLoraWan = size % 2 == 0;

    const CString reply(reinterpret_cast<const char*>(data), static_cast<int>(size));
    std::vector<std::size_t> commas;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == ',') {
            commas.push_back(i);
        }
    }
    const Record before = Snapshot(d);
    const int result = d.ParseReply(reply);
    const Record after = Snapshot(d);

    if (commas.size() < 10) {
        if (result != -1 || !(after == before)) {
            Fault();
        }
        return 0;
    }
    if (result != 1) {
        Fault();
    }
    const auto field = [&](std::size_t k) {  // 1 to 10
        const std::size_t start = commas[k - 1] + 1;
        const std::size_t end = k < 10 ? commas[k] : size;
        return CString(reinterpret_cast<const char*>(data) + start, static_cast<int>(end - start));
    };
    if (d.m_strAddressHex != field(1) || d.m_nAddress != HexToInt(field(1)) ||
        d.m_strLowAlarmHex != field(6) || d.m_nLowAlarm != HexToInt(field(6))) {
        Fault();
    }
    // The selected entry is the interval in decimal, and the list holds it once: a new interval
    // is added, a known one selected.
    CString selected;
    d.m_cbInterval.GetLBText(d.m_cbInterval.GetCurSel(), selected);
    CString interval;
    interval.Format("%d", d.m_nInterval);
    if (selected != interval || d.m_strInterval != interval ||
        d.m_nInterval != HexToInt(field(2)) ||
        d.m_cbInterval.FindStringExact(-1, interval) != after.selected ||
        after.count - before.count > 1 || after.count < before.count) {
        Fault();
    }
    const Variant written{field(7), field(8), field(9), field(10)};
    if (d.m_bLoraWan ? !(after.lora == written && after.nb == before.nb)
                     : !(after.nb == written && after.lora == before.lora)) {
        Fault();
    }
    return 0;
}
