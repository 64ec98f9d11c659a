// The ports command: COM1 to COM10 as the tool sees them, each with its device, what that is, and
// whether it can be opened (and if not, why).
#pragma once

#include <string>

namespace cli {

std::string PortReport(bool json);

}  // namespace cli
