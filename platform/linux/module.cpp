#include "platform/module.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/last_error.h"

DWORD GetModuleFileNameA(void* /*module*/, LPSTR fileName, DWORD size) {
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n < 0) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    const auto length = static_cast<DWORD>(n) < size - 1 ? static_cast<DWORD>(n) : size - 1;
    std::memcpy(fileName, path, length);
    fileName[length] = '\0';
    return length;
}
