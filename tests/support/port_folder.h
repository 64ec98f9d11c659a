// A private port folder for one test: KALDO_SENSOR_PORTS names it while it lives, and it goes
// with everything in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace kaldo_test {

class TemporaryPortFolder {
public:
    TemporaryPortFolder() {
        char pattern[] = "/tmp/kaldo-ports-XXXXXX";
        path_ = mkdtemp(pattern);
        setenv("KALDO_SENSOR_PORTS", path_.c_str(), 1);
    }
    ~TemporaryPortFolder() {
        unsetenv("KALDO_SENSOR_PORTS");
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TemporaryPortFolder(const TemporaryPortFolder&) = delete;
    TemporaryPortFolder& operator=(const TemporaryPortFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string Link(int com) const { return path_ + "/COM" + std::to_string(com); }

private:
    std::string path_;
};

}  // namespace kaldo_test
