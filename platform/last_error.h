// Per-thread last error, Windows error codes and their English texts.
#pragma once

#include <span>

#include "platform/windows_types.h"

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_FUNCTION = 1;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NOT_READY = 21;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_IO_INCOMPLETE = 996;
constexpr DWORD ERROR_IO_PENDING = 997;
constexpr DWORD ERROR_IO_DEVICE = 1117;
constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;
constexpr DWORD ERROR_PRIVILEGE_NOT_HELD = 1314;
constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;
constexpr DWORD ERROR_TIMEOUT = 1460;

DWORD GetLastError();
void SetLastError(DWORD code);

// What an errno value means for one call, where that differs from its usual meaning.
struct ErrnoMeaning {
    int err;
    DWORD code;
};

// Maps a POSIX errno value to the nearest Windows error code; the call's own meanings come first.
DWORD ErrorFromErrno(int err, std::span<const ErrnoMeaning> meanings = {});

// Opening a device: refused by its permissions (e.g. not in the dialout group), or marked
// exclusive by another program.
extern const ErrnoMeaning kOpenMeanings[3];
// A call on an open line: the line hung up (a pty's master closed, an adapter pulled).
extern const ErrnoMeaning kLineMeanings[1];

// Sets the last error and returns FALSE: how a failing call of this layer ends.
inline BOOL FailWith(DWORD error) {
    SetLastError(error);
    return FALSE;
}

constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
constexpr DWORD LANG_USER_DEFAULT = 0x0400;

// Only FORMAT_MESSAGE_FROM_SYSTEM is supported. With FORMAT_MESSAGE_ALLOCATE_BUFFER, lpBuffer is
// really a char** that receives a LocalAlloc'd text. Returns the text length, or 0 with
// ERROR_MR_MID_NOT_FOUND when the code has no text.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments);
HLOCAL LocalFree(HLOCAL mem);
