// The default procedures of the window classes: the state each standard control message acts on.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <optional>

#include "framework/cwnd.h"
#include "framework/dialog_template.h"
#include "framework/window_table.h"

namespace framework {
namespace {

const char* TextParam(LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    return text != nullptr ? text : "";
}

// Copies text into a caller's buffer of `size` characters, always terminated.
LRESULT CopyOut(const std::string& text, WPARAM size, LPARAM lParam) {
    char* buffer = reinterpret_cast<char*>(lParam);
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

bool IsEditableCombo(const WindowData& w) {
    return (w.style & 0x3) != CBS_DROPDOWNLIST;
}

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

bool StartsWithNoCase(const std::string& item, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    return item.size() >= n && std::equal(prefix, prefix + n, item.begin(), SameLetter);
}

bool EqualNoCase(const std::string& item, const char* text) {
    return item.size() == std::strlen(text) && StartsWithNoCase(item, text);
}

// Searches the whole list, starting after `start` and wrapping around, as Windows does.
LRESULT FindItem(const WindowData& w, WPARAM start, const char* text, bool exact) {
    const int count = static_cast<int>(w.items.size());
    const int first = static_cast<int>(static_cast<LONG_PTR>(start));
    for (int k = 0; k < count; ++k) {
        const int i = (first < 0 || first >= count) ? k : (first + 1 + k) % count;
        const auto& item = w.items[static_cast<std::size_t>(i)];
        if (exact ? EqualNoCase(item, text) : StartsWithNoCase(item, text)) {
            return i;
        }
    }
    return CB_ERR;
}

LRESULT SelectItem(WindowData& w, LONG_PTR index) {
    if (index < 0 || index >= static_cast<LONG_PTR>(w.items.size())) {
        w.curSel = -1;
        if (IsEditableCombo(w)) {
            w.text.clear();
        }
        return CB_ERR;
    }
    w.curSel = static_cast<int>(index);
    w.text = w.items[static_cast<std::size_t>(index)];
    return index;
}

// The messages that change the list or its selection; nothing for any other message.
std::optional<LRESULT> ComboChange(WindowData& w, UINT message, WPARAM wParam, LPARAM lParam,
                                   bool* changed) {
    *changed = true;
    switch (message) {
        case CB_ADDSTRING:
            w.items.emplace_back(TextParam(lParam));
            return static_cast<LRESULT>(w.items.size() - 1);
        case CB_INSERTSTRING: {
            auto index = static_cast<LONG_PTR>(wParam);
            if (index < 0 || index > static_cast<LONG_PTR>(w.items.size())) {
                if (index != -1) {
                    *changed = false;
                    return CB_ERR;
                }
                index = static_cast<LONG_PTR>(w.items.size());
            }
            w.items.insert(w.items.begin() + index, TextParam(lParam));
            if (w.curSel >= index) {
                ++w.curSel;
            }
            return index;
        }
        case CB_DELETESTRING: {
            const auto index = static_cast<LONG_PTR>(wParam);
            if (index < 0 || index >= static_cast<LONG_PTR>(w.items.size())) {
                *changed = false;
                return CB_ERR;
            }
            w.items.erase(w.items.begin() + index);
            if (w.curSel == index) {
                w.curSel = -1;
            } else if (w.curSel > index) {
                --w.curSel;
            }
            return static_cast<LRESULT>(w.items.size());
        }
        case CB_RESETCONTENT:
            w.items.clear();
            w.curSel = -1;
            return 0;
        case CB_SETCURSEL:
            return SelectItem(w, static_cast<LONG_PTR>(wParam));
        case CB_SELECTSTRING: {
            const LRESULT found = FindItem(w, wParam, TextParam(lParam), false);
            if (found == CB_ERR) {
                *changed = false;
                return CB_ERR;
            }
            return SelectItem(w, found);
        }
        default:
            *changed = false;
            return std::nullopt;
    }
}

// The messages that only read the list.
LRESULT ComboQuery(const WindowData& w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CB_GETCOUNT:
            return static_cast<LRESULT>(w.items.size());
        case CB_GETCURSEL:
            return w.curSel;
        case CB_GETLBTEXTLEN:
        case CB_GETLBTEXT: {
            const auto index = static_cast<LONG_PTR>(wParam);
            if (index < 0 || index >= static_cast<LONG_PTR>(w.items.size())) {
                return CB_ERR;
            }
            const auto& item = w.items[static_cast<std::size_t>(index)];
            if (message == CB_GETLBTEXTLEN) {
                return static_cast<LRESULT>(item.size());
            }
            // The caller sized the buffer with CB_GETLBTEXTLEN.
            return CopyOut(item, item.size() + 1, lParam);
        }
        case CB_FINDSTRINGEXACT:
            return FindItem(w, wParam, TextParam(lParam), true);
        case CB_FINDSTRING:
            return FindItem(w, wParam, TextParam(lParam), false);
        default:
            return 0;
    }
}

LRESULT ComboProc(WindowData& w, UINT message, WPARAM wParam, LPARAM lParam, bool* changed) {
    if (const auto result = ComboChange(w, message, wParam, lParam, changed)) {
        return *result;
    }
    return ComboQuery(w, message, wParam, lParam);
}

LRESULT ButtonProc(WindowData& w, UINT message, WPARAM wParam, bool* changed) {
    switch (message) {
        case BM_SETCHECK:
            *changed = w.checked != (wParam == BST_CHECKED);
            w.checked = wParam == BST_CHECKED;
            return 0;
        case BM_GETCHECK:
            return w.checked ? BST_CHECKED : BST_UNCHECKED;
        default:
            return 0;
    }
}

LRESULT ProgressProc(WindowData& w, UINT message, WPARAM wParam, LPARAM lParam, bool* changed) {
    *changed = true;
    switch (message) {
        case PBM_SETRANGE: {
            const LRESULT previous =
                MAKELPARAM(static_cast<WORD>(w.rangeMin), static_cast<WORD>(w.rangeMax));
            w.rangeMin = LOWORD(static_cast<DWORD>(lParam));
            w.rangeMax = HIWORD(static_cast<DWORD>(lParam));
            w.pos = std::clamp(w.pos, w.rangeMin, std::max(w.rangeMin, w.rangeMax));
            return previous;
        }
        case PBM_SETPOS: {
            const LRESULT previous = w.pos;
            w.pos =
                std::clamp(static_cast<int>(wParam), w.rangeMin, std::max(w.rangeMin, w.rangeMax));
            return previous;
        }
        case PBM_SETBARCOLOR: {
            const LRESULT previous = static_cast<LRESULT>(w.barColor);
            w.barColor = static_cast<COLORREF>(lParam);
            return previous;
        }
        default:
            break;
    }
    *changed = false;
    switch (message) {
        case PBM_GETPOS:
            return w.pos;
        case PBM_GETRANGE:
            return wParam != 0 ? w.rangeMin : w.rangeMax;
        default:
            return 0;
    }
}

}  // namespace

LRESULT ClassWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowData* w = FindWindowData(hwnd);
    if (w == nullptr) {
        return 0;
    }
    bool changed = false;
    LRESULT result = 0;
    switch (message) {
        case WM_SETTEXT:
            changed = w->text != TextParam(lParam);
            w->text = TextParam(lParam);
            result = TRUE;
            break;
        case WM_GETTEXT:
            return CopyOut(w->text, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_CLOSE:
            if (w->IsDialog()) {
                return ::SendMessage(hwnd, WM_COMMAND, IDCANCEL, 0);
            }
            return 0;
        case EM_LIMITTEXT:
            if (w->windowClass == kEditClass) {
                w->limit = wParam == 0 ? std::numeric_limits<int>::max() : static_cast<int>(wParam);
                changed = true;
            }
            break;
        case EM_GETLIMITTEXT:
            return w->limit;
        default:
            if (w->windowClass == kComboBoxClass) {
                result = ComboProc(*w, message, wParam, lParam, &changed);
            } else if (w->windowClass == kButtonClass) {
                result = ButtonProc(*w, message, wParam, &changed);
            } else if (w->windowClass == kProgressClass) {
                result = ProgressProc(*w, message, wParam, lParam, &changed);
            }
            break;
    }
    if (changed) {
        PublishWindow(*w);
    }
    return result;
}

}  // namespace framework
