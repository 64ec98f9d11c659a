// The templates and images the tool is built from hold together: every control the tool's code
// names exists once, of the class the code treats it as, inside its dialog, and every picture's
// bitmap and the window icon are there in the formats the presenter decodes.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "framework/dialog_template.h"
#include "framework/image_resource.h"
#include "framework/window_styles.h"
#include "res/resource.h"

namespace {

TEST(ResourcesTest, EveryControlTheToolNamesExistsOnceOfItsClassInsideItsDialog) {
    const std::map<UINT, std::map<int, std::string>> named = {
        {IDD_KALDOSENSORSETTING_DIALOG,
         {{IDC_EDIT_DEV_EUI, kEditClass},        {IDC_EDIT_ADDRESS, kEditClass},
          {IDC_EDIT_FREQUENCY, kEditClass},      {IDC_EDIT_RANGE_MIN, kEditClass},
          {IDC_EDIT_RANGE_MAX, kEditClass},      {IDC_EDIT_SERVER_IP, kEditClass},
          {IDC_EDIT_SERVER_PORT, kEditClass},    {IDC_EDIT_APP_KEY, kEditClass},
          {IDC_EDIT_APP_EUI, kEditClass},        {IDC_EDIT_NB_BAND, kEditClass},
          {IDC_EDIT_IMEI, kEditClass},           {IDC_EDIT_HIGH_ALARM, kEditClass},
          {IDC_EDIT_LOW_ALARM, kEditClass},      {IDC_RADIO_LORAWAN, kButtonClass},
          {IDC_RADIO_NB, kButtonClass},          {IDC_BUTTON_USB_SET, kButtonClass},
          {IDC_BUTTON_SENSOR_SET, kButtonClass}, {IDC_BUTTON_SENSOR_INITIAL, kButtonClass},
          {IDC_COMBO_COM_PORT, kComboBoxClass},  {IDC_COMBO_BAUDRATE, kComboBoxClass},
          {IDC_COMBO_INTERVAL, kComboBoxClass},  {IDC_PICTURE_USB, kStaticClass}}},
        {IDD_SENSOR_PROGRESS,
         {{IDC_PROGRESS_BAR, kProgressClass}, {IDC_EDIT_PROGRESS_TEXT, kEditClass}}},
    };
    for (const auto& [dialogId, controls] : named) {
        const DialogTemplate* dialog = FindDialogTemplate(dialogId);
        ASSERT_NE(dialog, nullptr) << dialogId;
        std::map<int, int> seen;
        for (const ControlTemplate& control : dialog->controls) {
            if (control.id != IDC_STATIC) {
                EXPECT_EQ(++seen[control.id], 1) << "duplicate id " << control.id;
            }
            if (auto it = controls.find(control.id); it != controls.end()) {
                EXPECT_EQ(control.windowClass, it->second) << control.id;
            }
            if (control.imageId != 0) {
                const auto image = FindImageResource(control.imageId);
                ASSERT_TRUE(image.has_value()) << control.imageId;
                EXPECT_EQ(std::string(image->begin(), image->begin() + 2), "BM");
            }
        }
        for (const auto& [id, windowClass] : controls) {
            EXPECT_EQ(seen[id], 1) << "the tool names control " << id;
        }
    }
    const auto icon = FindImageResource(AFX_IDR_MAINFRAME);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(std::string(icon->begin() + 1, icon->begin() + 4), "PNG");
}

}  // namespace
