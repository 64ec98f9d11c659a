#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/comm.h"
#include "platform/last_error.h"

namespace {

TEST(LastError, IsKeptPerThreadAndMapsErrno) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 12345;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_FILE_NOT_FOUND);
    });
    other.join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    const std::pair<int, DWORD> cases[] = {
        {ENOENT, ERROR_FILE_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED},
        {EBUSY, ERROR_ACCESS_DENIED},   {EINVAL, ERROR_INVALID_PARAMETER},
        {EIO, ERROR_IO_DEVICE},         {ENXIO, ERROR_DEVICE_NOT_CONNECTED},
    };
    for (const auto& [err, code] : cases) {
        EXPECT_EQ(ErrorFromErrno(err), code) << err;
    }
}

TEST(FormatMessage, GivesTheSystemTextOrNoneForAnUnknownCode) {
    char* text = nullptr;
    const auto format = [&](DWORD code) {
        return FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                              code, LANG_USER_DEFAULT, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    };
    ASSERT_EQ(format(ERROR_ACCESS_DENIED), 19u);
    EXPECT_EQ(std::string(text), "Access is denied.\r\n");
    EXPECT_EQ(LocalFree(text), nullptr);

    text = nullptr;
    EXPECT_EQ(format(4242), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(text, nullptr);
}

}  // namespace
