// The checks a set's variant texts must pass before anything is sent.
#include "sensor/settings_record.h"

#include <climits>

namespace sensor {
namespace {

struct TextRule {
    int nMinLength;
    int nMaxLength;
    const char* pszFailure;
    // Set for the fields the user types into; the others only ever hold what a reply gave.
    const char* pszLabel;
};

constexpr TextRule kLoraWanRules[SETTINGS_VARIANT_FIELD_COUNT] = {
    {1, INT_MAX, "Please check the Lora Frequency", nullptr},
    {16, 16, "Please check the Lora EUI", nullptr},
    {16, 16, "Please input the right APPEUI", "APP EUI"},
    {32, 32, "Please input the right APPKey", "APP Key"},
};
constexpr TextRule kNbIotRules[SETTINGS_VARIANT_FIELD_COUNT] = {
    {1, INT_MAX, "Please check the NB band", nullptr},
    {15, 15, "Please check the NB IMEI", nullptr},
    {7, INT_MAX, "Please check the Server IP", "Server IP"},
    {1, INT_MAX, "Please check the Server Port", "Server Port"},
};

}  // namespace

CString VariantRefusal(bool bLoraWan, const VariantTexts& texts) {
    const TextRule* rules = bLoraWan ? kLoraWanRules : kNbIotRules;
    for (int i = 0; i < SETTINGS_VARIANT_FIELD_COUNT; ++i) {
        const int nLength = texts[i].GetLength();
        if (nLength < rules[i].nMinLength || nLength > rules[i].nMaxLength) {
            return rules[i].pszFailure;
        }
    }
    // Lengths pass with a separator inside a field, which would shift every later field of the
    // command; the sensor would echo it back and the set would look correct.
    CString strFailure;
    for (int i = 0; i < SETTINGS_VARIANT_FIELD_COUNT; ++i) {
        if (rules[i].pszLabel == nullptr) {
            continue;
        }
        for (const char chSeparator : {',', '\r', '\n'}) {
            if (texts[i].Find(chSeparator) != -1) {
                strFailure.Format("%s must not contain commas or line breaks", rules[i].pszLabel);
                return strFailure;
            }
        }
    }
    return strFailure;
}

}  // namespace sensor
