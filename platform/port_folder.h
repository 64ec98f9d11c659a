// The per-user folder of COMn links (like a DOS-devices folder): a link named COMn there names
// the device that port n opens. The simulated sensor and the tests attach by creating a link.
#pragma once

#include <string>

namespace platform {

// $KALDO_SENSOR_PORTS if set, else $XDG_RUNTIME_DIR/kaldo-sensor/ports, else
// /tmp/kaldo-sensor-<uid>/ports.
std::string PortFolder();

// Creates the folder (and its parents) if missing; returns false if it cannot.
bool EnsurePortFolder();

}  // namespace platform
