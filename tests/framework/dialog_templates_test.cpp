#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/window_styles.h"
#include "res/resource.h"

namespace {

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

bool Has(DWORD style, DWORD bits) {
    return (style & bits) == bits;
}

TEST(DialogTemplates, MainDialogHoldsEveryControlInTabOrder) {
    EXPECT_EQ(FindDialogTemplate(IDD_KALDOSENSORSETTING_DIALOG + 1), nullptr);
    const DialogTemplate* dialog = FindDialogTemplate(IDD_KALDOSENSORSETTING_DIALOG);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "`Kaldo Sensor Setting");
    EXPECT_EQ(dialog->fontFace, "MS Shell Dlg");
    EXPECT_EQ(dialog->fontPointSize, 9);
    EXPECT_EQ(dialog->cx, 455);
    EXPECT_EQ(dialog->cy, 233);
    EXPECT_TRUE(Has(dialog->style, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                       DS_SETFONT | DS_FIXEDSYS));

    const std::vector<int> tabOrder = {
        1034, 1000, 1001, 1003, 1004, 1005, 1006, 1036, 1012, 1031, 1013, 1027,
        1007, 1008, 1024, 1023, 1025, -1,   1019, 1020, 1018, -1,   -1,   -1,
        1021, 1022, 1017, 1016, 1026, 1015, -1,   1028, 1029, 1030, 1002, 1014,
        1010, 1011, 1033, 1009, 1035, 1042, 1044, 1039, -1,   -1,
    };
    std::vector<int> ids;
    std::set<int> distinct;
    for (const ControlTemplate& control : dialog->controls) {
        ids.push_back(control.id);
        EXPECT_TRUE(Has(control.style, WS_CHILD | WS_VISIBLE)) << control.id;
        if (control.id != IDC_STATIC) {
            EXPECT_TRUE(distinct.insert(control.id).second) << "duplicate id " << control.id;
        }
    }
    EXPECT_EQ(ids, tabOrder);

    // The row-45 group box is the only flat one.
    const ControlTemplate& loraGroup = dialog->controls.at(44);
    EXPECT_EQ(loraGroup.caption, "LoraWan Sensor");
    for (const ControlTemplate& control : dialog->controls) {
        EXPECT_EQ((control.style & BS_FLAT) != 0, &control == &loraGroup) << control.caption;
    }
    EXPECT_EQ(loraGroup.style & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(loraGroup.windowClass, kButtonClass);
}

TEST(DialogTemplates, MainDialogControlKindsAndStates) {
    const DialogTemplate* dialog = FindDialogTemplate(IDD_KALDOSENSORSETTING_DIALOG);
    ASSERT_NE(dialog, nullptr);

    const std::set<int> readOnlyEdits = {1000, 1001, 1002, 1003, 1004, 1021, 1022};
    const std::set<int> editableEdits = {1005, 1006, 1010, 1033, 1035, 1039};
    int edits = 0;
    for (const ControlTemplate& control : dialog->controls) {
        if (control.windowClass != kEditClass) {
            continue;
        }
        ++edits;
        EXPECT_TRUE(Has(control.style, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP)) << control.id;
        EXPECT_EQ((control.style & WS_DISABLED) != 0, readOnlyEdits.contains(control.id))
            << control.id;
        EXPECT_TRUE(readOnlyEdits.contains(control.id) || editableEdits.contains(control.id))
            << control.id;
    }
    EXPECT_EQ(edits, 13);

    struct Expected {
        int id;
        const char* windowClass;
        DWORD kindMask;
        DWORD kind;
        bool tabStop;
        bool group;
    };
    const Expected kinds[] = {
        {IDC_COMBO_COM_PORT, kComboBoxClass, CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWN, true,
         false},
        {IDC_COMBO_BAUDRATE, kComboBoxClass, CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWN, true,
         false},
        {IDC_COMBO_INTERVAL, kComboBoxClass, CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWNLIST, true,
         false},
        {IDC_RADIO_LORAWAN, kButtonClass, BS_TYPEMASK, BS_AUTORADIOBUTTON, true, true},
        {IDC_RADIO_NB, kButtonClass, BS_TYPEMASK, BS_AUTORADIOBUTTON, false, false},
        {IDC_BUTTON_USB_SET, kButtonClass, BS_TYPEMASK, BS_PUSHBUTTON, true, false},
        {IDC_BUTTON_SENSOR_INITIAL, kButtonClass, BS_TYPEMASK, BS_PUSHBUTTON, true, false},
        {IDC_BUTTON_SENSOR_SET, kButtonClass, BS_TYPEMASK, BS_PUSHBUTTON, true, false},
        {IDC_PICTURE_USB, kStaticClass, SS_TYPEMASK, SS_BITMAP, false, false},
        {IDC_STATIC_APP_EUI, kStaticClass, SS_TYPEMASK, SS_LEFT, false, true},
    };
    for (const Expected& e : kinds) {
        const ControlTemplate* control = FindControl(*dialog, e.id);
        ASSERT_NE(control, nullptr) << e.id;
        EXPECT_EQ(control->windowClass, e.windowClass) << e.id;
        EXPECT_EQ(control->style & e.kindMask, e.kind) << e.id;
        EXPECT_EQ((control->style & WS_TABSTOP) != 0, e.tabStop) << e.id;
        EXPECT_EQ((control->style & WS_GROUP) != 0, e.group) << e.id;
    }
    EXPECT_TRUE(Has(FindControl(*dialog, IDC_COMBO_INTERVAL)->style, WS_VSCROLL));
    EXPECT_EQ(FindControl(*dialog, IDC_PICTURE_USB)->imageId, IDB_USB);
    EXPECT_EQ(FindControl(*dialog, IDC_STATIC_APP_EUI)->caption, " APP EUI");
}

TEST(DialogTemplates, ProgressDialogHidesItsTextEdit) {
    const DialogTemplate* dialog = FindDialogTemplate(IDD_SENSOR_PROGRESS);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->style & WS_VISIBLE, 0u);
    EXPECT_NE(dialog->style & WS_CAPTION, WS_CAPTION);  // a thin border shares a caption bit
    EXPECT_TRUE(Has(dialog->style, WS_POPUP | WS_BORDER | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS));
    EXPECT_EQ(dialog->exStyle, WS_EX_STATICEDGE | WS_EX_CLIENTEDGE);
    EXPECT_EQ(dialog->fontPointSize, 8);
    EXPECT_EQ(dialog->caption, "");
    ASSERT_EQ(dialog->controls.size(), 2u);

    const ControlTemplate& text = dialog->controls[0];
    EXPECT_EQ(text.id, IDC_EDIT_PROGRESS_TEXT);
    EXPECT_EQ(text.windowClass, kEditClass);
    EXPECT_TRUE(Has(text.style, WS_CHILD | ES_MULTILINE | WS_DISABLED));
    EXPECT_EQ(text.style & WS_VISIBLE, 0u);

    const ControlTemplate& bar = dialog->controls[1];
    EXPECT_EQ(bar.id, IDC_PROGRESS_BAR);
    EXPECT_EQ(bar.windowClass, kProgressClass);
    EXPECT_TRUE(Has(bar.style, WS_CHILD | WS_VISIBLE | WS_BORDER));
    EXPECT_EQ(bar.x, 21);
    EXPECT_EQ(bar.cx, 174);
}

}  // namespace
