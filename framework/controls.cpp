#include "framework/controls.h"

#include <vector>

void CComboBox::GetLBText(int index, CString& text) const {
    const int length = GetLBTextLen(index);
    if (length == CB_ERR) {
        text.Empty();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    const auto copied = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(buffer.data()));
    text = CString(buffer.data(), static_cast<int>(copied));
}
