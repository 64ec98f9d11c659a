// The two commands the sensor understands, composed from the settings by SendCommand.
#pragma once

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
