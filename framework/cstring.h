// CString: the framework's 8-bit string, with the interface the tool's code is written
// against. A CString holds any bytes, including NUL and 0x80-0xFF: a reply received from a
// sensor is arbitrary bytes, so every operation (Find, Compare, Mid, +=, ...) works over the
// whole length and never stops at the first NUL. Only the C-string views (GetString and the
// LPCSTR conversion) end, for their reader, at the first NUL. Bytes compare as unsigned, like
// memcmp. Indices and counts out of range are clamped; nothing reads or writes out of bounds.
//
// The C runtime's atoi, which the tool uses on CString texts through the LPCSTR conversion,
// is the one from <cstdlib>.
#pragma once

#include <compare>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

class CString {
public:
    CString() = default;
    CString(const char* text);  // implicit, as the framework's; nullptr is the empty text
    CString(const char* text, int length);
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* text);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Reading outside the text gives NUL.
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }

    const char* GetString() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }

    CString& operator+=(const CString& text);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);
    void AppendChar(char ch) { m_str.push_back(ch); }

    friend CString operator+(const CString& left, const CString& right);
    friend CString operator+(const CString& left, const char* right);
    friend CString operator+(const char* left, const CString& right);
    friend CString operator+(const CString& left, char right);
    friend CString operator+(char left, const CString& right);

    // The reversed forms and !=, >, <=, >= follow from these.
    friend bool operator==(const CString& left, const CString& right) {
        return left.m_str == right.m_str;
    }
    friend bool operator==(const CString& left, const char* right) {
        return std::string_view(left.m_str) == View(right);
    }
    friend std::strong_ordering operator<=>(const CString& left, const CString& right) {
        return left.Compare(right) <=> 0;
    }
    friend std::strong_ordering operator<=>(const CString& left, const char* right) {
        return left.Compare(right) <=> 0;
    }

    // printf-style; the result may be of any length. An argument may be this string itself.
    // A format the C runtime rejects gives an empty result (appends nothing).
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Index of the first match at or after start, or -1. A negative start counts as 0.
    int Find(char ch, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int Find(const CString& text, int start = 0) const;

    CString Left(int count) const;
    CString Mid(int start) const;
    CString Mid(int start, int count) const;  // a negative count gives the empty text

    // Returns the new length.
    int Delete(int index, int count = 1);

    // 0 when equal, else negative or positive as strcmp.
    int Compare(const char* text) const { return CompareBytes(m_str, View(text)); }
    int Compare(const CString& text) const { return CompareBytes(m_str, text.m_str); }

private:
    explicit CString(std::string text) : m_str(std::move(text)) {}

    static std::string_view View(const char* text) { return text ? text : std::string_view(); }
    static int CompareBytes(std::string_view left, std::string_view right);
    int FindText(std::string_view text, int start) const;

    std::string m_str;
};
