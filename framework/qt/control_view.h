// The on-screen form of one control: a Qt widget that shows the framework's state of the
// control and hands what the user does to it back as UserInput. The framework owns the state:
// a view never changes it on its own (a radio button does not check itself, a combo box does
// not add what was typed), it only shows what the last state says.
#pragma once

#include <QImage>
#include <QRect>
#include <functional>
#include <memory>

#include "framework/presenter.h"

class QWidget;

// A bitmap resource by id; a null image if there is none.
using ImageSource = std::function<QImage(int resourceId)>;

class ControlView {
public:
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    // Owned by the dialog's client area, like every widget of a dialog.
    QWidget* Widget() const { return widget_; }

    // Shows the kind's own part of the state (text, items, check, limit, range...). The caller
    // blocks the widget's signals and applies what every control has (enabled, visible, place).
    virtual void Apply(const WindowState& state) = 0;
    // Where the widget goes, given its template rectangle in pixels.
    virtual QRect Place(const QRect& templateRect) { return templateRect; }
    // Whether the user can give it the focus at all (by click, or by Tab if it is a tab stop).
    virtual bool TakesFocus() const { return true; }
    // A frame drawn around other controls (a group box), which lies beneath all of them.
    virtual bool IsBackdrop() const { return false; }

protected:
    explicit ControlView(QWidget* widget) : widget_(widget) {}

private:
    QWidget* widget_;
};

// The view for the state's window class and style; null for a class it does not know.
std::unique_ptr<ControlView> CreateControlView(const WindowState& state, QWidget* parent,
                                               const ImageSource& images);
