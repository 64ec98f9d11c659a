#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "platform/comm.h"
#include "platform/last_error.h"

namespace {

std::string SystemText(DWORD code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                       LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (length == 0) {
        return {};
    }
    std::string result(text, length);
    EXPECT_EQ(std::strlen(text), length);
    EXPECT_EQ(LocalFree(text), nullptr);
    return result;
}

TEST(LastError, IsKeptPerThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 12345;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_FILE_NOT_FOUND);
    });
    other.join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(LastError, ErrnoValuesMapToTheNearestWindowsCodes) {
    const struct {
        int err;
        DWORD code;
    } cases[] = {
        {ENOENT, ERROR_FILE_NOT_FOUND},      {EACCES, ERROR_ACCESS_DENIED},
        {EBUSY, ERROR_ACCESS_DENIED},        {EWOULDBLOCK, ERROR_ACCESS_DENIED},
        {EINVAL, ERROR_INVALID_PARAMETER},   {EIO, ERROR_IO_DEVICE},
        {ENXIO, ERROR_DEVICE_NOT_CONNECTED}, {ENODEV, ERROR_DEVICE_NOT_CONNECTED},
        {EBADF, ERROR_INVALID_HANDLE},       {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
        {ENOTTY, ERROR_INVALID_FUNCTION},    {EDOM, ERROR_GEN_FAILURE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorFromErrno(c.err), c.code) << std::strerror(c.err);
    }
}

TEST(FormatMessage, GivesTheSystemTextWithALineBreak) {
    EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED), "Access is denied.\r\n");
    EXPECT_EQ(SystemText(ERROR_DEVICE_NOT_CONNECTED), "The device is not connected.\r\n");

    char small[8];
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, small,
                             sizeof small, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(FormatMessage, UnknownCodeGivesNoText) {
    char* text = nullptr;
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                             4242, LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&text), 0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(text, nullptr);
}

TEST(FormatMessage, EveryCodeThePlatformProducesHasAText) {
    for (int err = 0; err < 134; ++err) {
        EXPECT_FALSE(SystemText(ErrorFromErrno(err)).empty()) << "errno " << err;
    }
    for (DWORD code : {ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_FILE_NOT_FOUND,
                       ERROR_ACCESS_DENIED, ERROR_PRIVILEGE_NOT_HELD, ERROR_IO_PENDING,
                       ERROR_IO_INCOMPLETE, ERROR_OPERATION_ABORTED, ERROR_DEVICE_NOT_CONNECTED}) {
        EXPECT_FALSE(SystemText(code).empty()) << "code " << code;
    }
}

}  // namespace
