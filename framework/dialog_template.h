// Dialog templates as data: what a resource script would hold for a dialog. The framework
// creates a dialog's controls from its template; presenters lay them out in dialog units.
#pragma once

#include <string>
#include <vector>

#include "platform/windows_types.h"

// Window classes by their Windows names.
inline constexpr const char* kButtonClass = "Button";
inline constexpr const char* kEditClass = "Edit";
inline constexpr const char* kStaticClass = "Static";
inline constexpr const char* kComboBoxClass = "ComboBox";
inline constexpr const char* kProgressClass = "msctls_progress32";

struct ControlTemplate {
    int id;
    std::string windowClass;
    std::string caption;
    DWORD style;  // every bit, WS_CHILD and WS_VISIBLE included
    DWORD exStyle;
    int x, y, cx, cy;  // dialog units
    int imageId = 0;   // bitmap resource shown by an SS_BITMAP picture
};

struct DialogTemplate {
    UINT id;
    DWORD style;
    DWORD exStyle;
    std::string caption;
    std::string fontFace;
    int fontPointSize;
    int x, y, cx, cy;                       // dialog units
    std::vector<ControlTemplate> controls;  // in tab order
};

// Templates are registered by the resource module at start-up (static registration).
void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);
const DialogTemplate* FindDialogTemplate(UINT id);
