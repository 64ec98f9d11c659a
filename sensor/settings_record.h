// The sensor's settings as they travel on the line: ten fields, the six numeric parameters as
// hexadecimal text, then the four texts of the selected radio variant (LoRaWAN or NB-IoT). The
// main dialog holds them as members, starting from the defaults here; a set goes out only when
// the variant's texts pass the checks here.
#pragma once

#include <array>

#include "framework/cstring.h"

#define DEFAULT_ADDRESS 1
#define DEFAULT_INTERVAL 60
#define DEFAULT_RANGE_MAX 9999
#define DEFAULT_RANGE_MIN 0
#define DEFAULT_HIGH_ALARM 9999
#define DEFAULT_LOW_ALARM 0
#define DEFAULT_FREQUENCY "868500000"
#define DEFAULT_DEV_EUI "70B3D57ED0010727"
#define DEFAULT_APP_EUI "70B3D57ED0010727"
#define DEFAULT_APP_KEY "5A1F0C33E8D2B7946C0A17F4D39E2B61"
#define DEFAULT_NB_BAND "5"
#define DEFAULT_IMEI "460012345678966"
#define DEFAULT_SERVER_IP "255.255.255.255"
#define DEFAULT_SERVER_PORT "8080"

#define SETTINGS_FIELD_COUNT 10
#define SETTINGS_VARIANT_FIELD_COUNT 4

namespace sensor {

// Fields 1 to 10 in their order on the line: address, interval, range max, range min, high
// alarm, low alarm, then the variant's texts.
using Fields = std::array<CString, SETTINGS_FIELD_COUNT>;
// Fields 7 to 10: frequency, device EUI, APP EUI, APP key; or band, IMEI, server IP, server port.
using VariantTexts = std::array<CString, SETTINGS_VARIANT_FIELD_COUNT>;

// Why a set must not carry these texts, or an empty text when it may.
CString VariantRefusal(bool bLoraWan, const VariantTexts& texts);

}  // namespace sensor
