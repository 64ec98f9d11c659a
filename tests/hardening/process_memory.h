// The process's resident memory, for tests that check it stays bounded.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <fstream>

namespace hardening {

inline std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Sanitizers keep freed memory in quarantine and shadow every byte: resident size says nothing
// about the program there, and everything runs several times slower.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KALDO_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(KALDO_SANITIZED)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
inline constexpr bool kResidentSizeMeaningful = !kSanitized;

}  // namespace hardening
