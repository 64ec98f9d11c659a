// Replies and echoes have the layout of a set command: a header, then ten comma-separated
// fields, which the main dialog's ParseReply writes into the settings. The six numeric fields
// travel as hexadecimal text.
#pragma once

#include <optional>

#include "framework/cstring.h"
#include "sensor/settings_record.h"

// Slots of the comma table.
#define REPLY_MAX_COMMAS 15

// The field's value, right-aligned into eight hex digits; -1 when it is empty or longer than
// eight characters.
int HexToInt(const CString& strField);

namespace sensor {

// The ten fields, or nothing when fewer than ten commas follow the first character or a NUL is
// in it. Field 10 runs to the end, further commas included.
std::optional<Fields> SplitReply(const CString& strReply);

}  // namespace sensor
