#include "framework/cstring.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

// Clamps a caller's index or count into [0, limit].
std::size_t Clamp(int value, std::size_t limit) {
    if (value <= 0) {
        return 0;
    }
    return std::min(static_cast<std::size_t>(value), limit);
}

// vsnprintf into a buffer of the exact size; the text may hold NULs written by %c.
std::string FormatText(const char* format, va_list args) {
    va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = std::vsnprintf(nullptr, 0, format, measureArgs);
    va_end(measureArgs);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

CString::CString(const char* text) : m_str(View(text)) {}

CString::CString(const char* text, int length)
    : m_str(text && length > 0 ? std::string(text, static_cast<std::size_t>(length))
                               : std::string()) {}

CString& CString::operator=(const char* text) {
    m_str = View(text);
    return *this;
}

char CString::GetAt(int index) const {
    return index >= 0 && index < GetLength() ? m_str[static_cast<std::size_t>(index)] : '\0';
}

CString& CString::operator+=(const CString& text) {
    m_str += text.m_str;
    return *this;
}

CString& CString::operator+=(const char* text) {
    m_str += View(text);
    return *this;
}

CString& CString::operator+=(char ch) {
    m_str.push_back(ch);
    return *this;
}

CString operator+(const CString& left, const CString& right) {
    return CString(left.m_str + right.m_str);
}

CString operator+(const CString& left, const char* right) {
    return CString(left.m_str + std::string(CString::View(right)));
}

CString operator+(const char* left, const CString& right) {
    return CString(std::string(CString::View(left)) + right.m_str);
}

CString operator+(const CString& left, char right) {
    return CString(left.m_str + right);
}

CString operator+(char left, const CString& right) {
    return CString(left + right.m_str);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_str = FormatText(format, args);
    va_end(args);
}

int CString::Find(char ch, int start) const {
    return FindText(std::string_view(&ch, 1), start);
}

int CString::Find(const char* text, int start) const {
    return FindText(View(text), start);
}

int CString::Find(const CString& text, int start) const {
    return FindText(text.m_str, start);
}

int CString::FindText(std::string_view text, int start) const {
    if (start > GetLength()) {
        return -1;
    }
    const std::size_t at = m_str.find(text, Clamp(start, m_str.size()));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
    return CString(m_str.substr(0, Clamp(count, m_str.size())));
}

CString CString::Mid(int start) const {
    return CString(m_str.substr(Clamp(start, m_str.size())));
}

CString CString::Mid(int start, int count) const {
    const std::size_t from = Clamp(start, m_str.size());
    return CString(m_str.substr(from, Clamp(count, m_str.size() - from)));
}

int CString::Delete(int index, int count) {
    const std::size_t from = Clamp(index, m_str.size());
    m_str.erase(from, Clamp(count, m_str.size() - from));
    return GetLength();
}

int CString::CompareBytes(std::string_view left, std::string_view right) {
    return left.compare(right);
}
