#include "platform/critical_section.h"

#include <mutex>

namespace {
std::recursive_mutex* Impl(LPCRITICAL_SECTION section) {
    return static_cast<std::recursive_mutex*>(section->lock);
}
}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->lock = new std::recursive_mutex;
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete Impl(section);
    section->lock = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    Impl(section)->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    Impl(section)->unlock();
}
