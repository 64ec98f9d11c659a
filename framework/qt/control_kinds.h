// The kinds of control views, one maker per window class and style; CreateControlView picks.
#pragma once

#include "framework/qt/control_view.h"

class QLineEdit;

std::unique_ptr<ControlView> MakeLabelView(QWidget* parent);
std::unique_ptr<ControlView> MakePictureView(const WindowState& state, QWidget* parent,
                                             const ImageSource& images);
std::unique_ptr<ControlView> MakePushButtonView(HWND hwnd, QWidget* parent);
std::unique_ptr<ControlView> MakeRadioButtonView(HWND hwnd, QWidget* parent);
std::unique_ptr<ControlView> MakeGroupBoxView(QWidget* parent);
std::unique_ptr<ControlView> MakeEditView(HWND hwnd, QWidget* parent);
std::unique_ptr<ControlView> MakeComboBoxView(const WindowState& state, QWidget* parent);
std::unique_ptr<ControlView> MakeProgressView(QWidget* parent);

// Reports the user's edits of the line as SetText with the whole text, and shows its context
// menu without a nested event loop (the framework's loop must keep running meanwhile).
void ReportEdits(QLineEdit* line, HWND hwnd);
