// The bitmap and the icon are compiled in whole and registered under their resource ids, in the
// formats the presenter decodes: a bottom-up 24-bit BMP and an RGBA PNG.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

#include "framework/image_resource.h"
#include "res/resource.h"

namespace {

std::uint32_t Little(std::span<const unsigned char> bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

std::uint32_t Big(std::span<const unsigned char> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

std::string Text(std::span<const unsigned char> bytes, std::size_t at, std::size_t length) {
    return {bytes.begin() + at, bytes.begin() + at + length};
}

TEST(ImageResources, UsbBitmapIsA24BitBmpOfTheGroupPictureSize) {
    const auto bitmap = FindImageResource(IDB_USB);
    ASSERT_TRUE(bitmap.has_value());
    const std::span<const unsigned char> bytes = *bitmap;
    constexpr std::size_t kHeaders = 14 + 40;
    ASSERT_GE(bytes.size(), kHeaders);
    EXPECT_EQ(Text(bytes, 0, 2), "BM");
    EXPECT_EQ(Little(bytes, 2, 4), bytes.size()) << "file size in the header";
    EXPECT_EQ(Little(bytes, 18, 4), 191u) << "width";
    EXPECT_EQ(Little(bytes, 22, 4), 46u) << "height, bottom-up";
    EXPECT_EQ(Little(bytes, 28, 2), 24u) << "bits a pixel";
    EXPECT_EQ(Little(bytes, 30, 4), 0u) << "uncompressed";
    // Rows are padded to four bytes; every row must be there.
    constexpr std::size_t kStride = (191 * 3 + 3) / 4 * 4;
    EXPECT_GE(bytes.size(), Little(bytes, 10, 4) + kStride * 46);
}

TEST(ImageResources, AppIconIsAnRgbaPngOf128Pixels) {
    const auto icon = FindImageResource(IDR_MAINFRAME);
    ASSERT_TRUE(icon.has_value());
    const std::span<const unsigned char> bytes = *icon;
    constexpr std::size_t kSignatureAndHeader = 8 + 8 + 13 + 4;
    ASSERT_GE(bytes.size(), kSignatureAndHeader + 12);
    EXPECT_EQ(Text(bytes, 0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(Text(bytes, 12, 4), "IHDR");
    EXPECT_EQ(Big(bytes, 16), 128u) << "width";
    EXPECT_EQ(Big(bytes, 20), 128u) << "height";
    EXPECT_EQ(bytes[24], 8) << "bits a channel";
    EXPECT_EQ(bytes[25], 6) << "colour type: RGB with alpha";
    // The last chunk, an empty IEND, ends the file: nothing was cut off.
    EXPECT_EQ(Big(bytes, bytes.size() - 12), 0u);
    EXPECT_EQ(Text(bytes, bytes.size() - 8, 4), "IEND");
}

TEST(ImageResources, UnknownIdFindsNothing) {
    EXPECT_FALSE(FindImageResource(IDD_KALDOSENSORSETTING_DIALOG).has_value());
    EXPECT_FALSE(FindImageResource(0).has_value());
}

}  // namespace
