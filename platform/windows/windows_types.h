// On Windows the API subset is the system's own. Only <windows.h>'s kernel part is taken: the
// framework names the window messages, styles and records itself, and the user and graphics
// parts would clash with those names. framework/win32/ includes the whole header in files of
// its own, apart from the framework's.
#pragma once

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX 1  // as the C++ library defines it
#define NOUSER
#define NOGDI
#include <windows.h>

// Macros of the parts left out, which the framework uses.
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
    return static_cast<LPARAM>(MAKELONG(lo, hi));
}
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
