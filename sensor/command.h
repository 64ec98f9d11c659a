// The two commands the sensor understands: a read, and a set that carries the ten fields of the
// settings. Plain text with no line end and no checksum; the main dialog's SendCommand sends
// them.
#pragma once

#include "framework/cstring.h"
#include "sensor/settings_record.h"

// Command kinds.
#define CMD_READ 3
#define CMD_SET 6

// Two-character prefixes by kind and variant.
#define CMD_PREFIX_READ_LORAWAN "10"
#define CMD_PREFIX_READ_NB "12"
#define CMD_PREFIX_SET_LORAWAN "11"
#define CMD_PREFIX_SET_NB "13"

// Numeric fields and the sequence field: upper-case hexadecimal, at least four digits
// (a negative value gives the eight digits of its two's complement).
#define HEX_FIELD_FORMAT "%.4X"

namespace sensor {

CString HexField(int nValue);
CString ReadCommand(bool bLoraWan, int nSequence);
CString SetCommand(bool bLoraWan, int nSequence, const Fields& fields);

}  // namespace sensor
