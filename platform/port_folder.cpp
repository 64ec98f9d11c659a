#include "platform/port_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

std::string PortFolder() {
    if (const char* explicitFolder = std::getenv("KALDO_SENSOR_PORTS");
        explicitFolder && *explicitFolder) {
        return explicitFolder;
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return std::string(runtime) + "/kaldo-sensor/ports";
    }
    return "/tmp/kaldo-sensor-" + std::to_string(getuid()) + "/ports";
}

bool EnsurePortFolder() {
    std::error_code ec;
    std::filesystem::create_directories(PortFolder(), ec);
    return std::filesystem::is_directory(PortFolder(), ec);
}

}  // namespace platform
