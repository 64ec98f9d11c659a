// Replies and echoes have the layout of a set command: a header, then ten comma-separated fields;
// ParseReply (a member of the main dialog) writes them into the settings. The six numeric fields
// travel as hexadecimal text.
#pragma once

#include "framework/cstring.h"

// Slots of the comma table.
#define REPLY_MAX_COMMAS 15
#define REPLY_FIELD_COUNT 10

// The field's value, right-aligned into eight hex digits; -1 when it is empty or longer than
// eight characters.
int HexToInt(const CString& strField);
