// Line definitions in the form of the Windows mode command, as BuildCommDCBA takes them:
// whitespace-separated key=value pairs, keys and values in any case, each key at most once:
//   baud=<rate>            a decimal rate; the mode command's two-digit forms 11 15 30 60 12 24
//                          48 96 19 stand for 110 150 300 600 1200 2400 4800 9600 19200
//   parity=n|e|o|m|s       data=5|6|7|8          stop=1|1.5|2
//   xon=on|off             odsr=on|off           octs=on|off           idsr=on|off
//   dtr=on|off|hs          rts=on|off|hs|tg
// As the mode command does, a definition turns XON/XOFF and hardware flow control off unless it
// names them, and baud=110 without stop= means two stop bits.
#pragma once

#include <string_view>

#include "platform/comm.h"

namespace platform {

// Applies the definition to dcb. On a malformed definition returns false and leaves dcb as it was.
bool ParseLineDefinition(std::string_view definition, DCB& dcb);

}  // namespace platform
