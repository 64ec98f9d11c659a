// Text between the framework (UTF-8) and USER32 (UTF-16), and dialog units.

#include "framework/win32/native_screen.h"

namespace win32 {
namespace {

// The size Windows gives a template without one.
constexpr int kDefaultPointSize = 8;

}  // namespace

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size,
                                                                  nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    return utf8;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The template's face as Windows has it: "MS Shell Dlg" is the system's own alias.
HFONT CreateDialogFont(const std::string& face, int pointSize) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(pointSize > 0 ? pointSize : kDefaultPointSize,
                               GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, Wide(face).c_str());
}

BaseUnits BaseUnitsOf(HFONT font) {
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE extent{};
    GetTextExtentPoint32W(screen, kLetters, 52, &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    // Width of 52 letters halved twice with rounding, as Windows computes the average.
    return {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

// Each edge on its own, rounded half away from zero (MulDiv), as MapDialogRect does.
RECT MapDialogUnits(int left, int top, int right, int bottom, BaseUnits units) {
    return {MulDiv(left, units.charWidth, 4), MulDiv(top, units.charHeight, 8),
            MulDiv(right, units.charWidth, 4), MulDiv(bottom, units.charHeight, 8)};
}

}  // namespace win32
