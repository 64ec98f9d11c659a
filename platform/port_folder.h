// The per-user folder of COMn links (like a DOS-devices folder): a link named COMn there names
// the device that port n opens. The simulated sensor and the tests attach by creating a link.
// Whoever can put a link there receives what the tool writes to that port, the sensor's keys
// included, so the folder is used only when it is the user's own: a real folder owned by the
// user and not writable by group or others, inside a folder that only the user or root can
// change entries of (owned by one of them, and sticky if others may write to it), on a path
// without links.
#pragma once

#include <optional>
#include <string>

#include "platform/descriptor.h"

namespace platform {

// $KALDO_SENSOR_PORTS if set, else $XDG_RUNTIME_DIR/kaldo-sensor/ports, else
// /tmp/kaldo-sensor-<uid>/ports.
std::string PortFolder();

// Why the folder must not be trusted, or empty when it may be (or does not exist).
std::string PortFolderDistrust(const std::string& folder);

// PortFolder() opened for reading when it exists and may be trusted; the links in it are looked up
// relative to this descriptor. The path is walked one part at a time without following a link at
// any level, and the checks are made on the descriptors so opened. An untrusted folder is
// ignored, and the reason goes once to standard error.
Descriptor OpenTrustedPortFolder();

// PortFolder() when it exists and may be trusted.
std::optional<std::string> TrustedPortFolder();

// Creates the missing parts of the folder, each with mode 0700, the same way without following
// links; returns it as OpenTrustedPortFolder does.
Descriptor EnsurePortFolder();

}  // namespace platform
