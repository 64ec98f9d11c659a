#include "framework/qt/dialog_window.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTextDocument>
#include <algorithm>

#include "framework/window_styles.h"

namespace {

bool HasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

Qt::WindowFlags WindowFlagsFor(DWORD style) {
    if (!HasCaption(style)) {
        return Qt::Dialog | Qt::FramelessWindowHint;
    }
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if ((style & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

// The edges of a window without a caption, which the window manager does not draw: a line for
// WS_BORDER, a one-pixel sunken static edge, a two-pixel sunken client edge.
int DrawnFrameWidth(DWORD style, DWORD exStyle) {
    if (HasCaption(style)) {
        return 0;
    }
    return ((style & WS_BORDER) != 0 ? 1 : 0) + ((exStyle & WS_EX_STATICEDGE) != 0 ? 1 : 0) +
           ((exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0);
}

}  // namespace

DialogWindow::DialogWindow(const WindowState& state, QWidget* owner)
    : QWidget(owner, WindowFlagsFor(state.style)),
      hwnd_(state.hwnd),
      templateId_(state.templateId),
      style_(state.style),
      exStyle_(state.exStyle),
      client_(new QWidget(this)) {
    setFont(DialogFont(state.fontFace, state.fontPointSize));
    units_ = BaseUnitsOf(font());
    frameWidth_ = DrawnFrameWidth(style_, exStyle_);
    const QRect client = MapDialogRect(
        RECT{0, 0, state.rect.right - state.rect.left, state.rect.bottom - state.rect.top}, units_);
    client_->setGeometry(QRect(QPoint(frameWidth_, frameWidth_), client.size()));
    setFixedSize(client.size() + QSize(2 * frameWidth_, 2 * frameWidth_));

    // Focus that moves into a control by the user's hand (or because Qt moved it) is the
    // framework's to know; focus given from the framework's state is not reported back.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr || now == focusingFromState_) {
            return;
        }
        if (HWND control = ControlOf(now)) {
            PostUserInput({UserInput::Kind::Focus, control, {}, -1});
        }
    });
    Apply(state);
}

void DialogWindow::Apply(const WindowState& state) {
    const QString title = QString::fromStdString(state.text);
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
    BlockInput(!state.IsEnabled());
    if (state.IsVisible() && isHidden()) {
        Show();
    } else if (!state.IsVisible() && !isHidden()) {
        hide();
    }
}

void DialogWindow::BlockInput(bool blocked) {
    if (blocked == inputBlocked_) {
        return;
    }
    inputBlocked_ = blocked;
    if (blocked) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
            break;
        default:
            return false;
    }
    // Only this dialog's controls: a box it owns is a child window and must stay usable.
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && (widget == client_ || client_->isAncestorOf(widget));
}

void DialogWindow::Show() {
    if (shownBefore_) {
        show();
        return;
    }
    shownBefore_ = true;
    const QRect area =
        parentWidget() != nullptr ? parentWidget()->frameGeometry() : screen()->availableGeometry();
    QRect frame(QPoint(), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());
    show();
    const bool anyFocused =
        std::any_of(controls_.begin(), controls_.end(), [](const Control& c) { return c.focused; });
    if (!anyFocused) {
        FocusFirstTabStop();
    }
}

void DialogWindow::FocusFirstTabStop() {
    for (const Control& c : controls_) {
        const DWORD needed = WS_TABSTOP | WS_VISIBLE;
        if ((c.style & needed) == needed && (c.style & WS_DISABLED) == 0) {
            c.view->Widget()->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void DialogWindow::AddControl(const WindowState& state, const ImageSource& images) {
    std::unique_ptr<ControlView> view = CreateControlView(state, client_, images);
    if (!view) {
        return;
    }
    Stack(*view);
    controls_.push_back({state.hwnd, state.id, state.style, false, std::move(view)});
    ApplyControl(state);
}

// Windows stacks a template's first control on top, each later one beneath it; group boxes
// (which come late in a template) lie beneath all the controls they frame.
void DialogWindow::Stack(const ControlView& view) {
    QWidget* widget = view.Widget();
    if (view.IsBackdrop()) {
        widget->lower();
        return;
    }
    auto lowest = std::find_if(controls_.rbegin(), controls_.rend(),
                               [](const Control& c) { return !c.view->IsBackdrop(); });
    if (lowest == controls_.rend()) {
        widget->raise();
    } else {
        widget->stackUnder(lowest->view->Widget());
    }
}

void DialogWindow::ApplyControl(const WindowState& state) {
    Control* control = Find(state.hwnd);
    if (control == nullptr) {
        return;
    }
    control->style = state.style;
    const bool gainsFocus = state.focused && !control->focused;
    control->focused = state.focused;
    ControlView& view = *control->view;
    QWidget* widget = view.Widget();
    const QSignalBlocker blocker(widget);

    const QRect place = view.Place(MapDialogRect(state.rect, units_));
    if (widget->geometry() != place) {
        widget->setGeometry(place);
    }
    view.Apply(state);
    if (!view.TakesFocus()) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy((state.style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setEnabled(state.IsEnabled());
    // A tip may carry a process's name or a sysfs string: Qt must never take it for rich text.
    if (const QString tip = state.toolTip.empty()
                                ? QString()
                                : Qt::convertFromPlainText(QString::fromStdString(state.toolTip),
                                                           Qt::WhiteSpaceNoWrap);
        widget->toolTip() != tip) {
        widget->setToolTip(tip);
    }
    if (widget->isHidden() == state.IsVisible()) {
        widget->setVisible(state.IsVisible());
    }
    // Only the framework's moves of the focus are shown: an older state of the control that had
    // it must not pull the focus back from where the user has just put it.
    if (gainsFocus && !widget->hasFocus()) {
        focusingFromState_ = widget;
        widget->setFocus(Qt::OtherFocusReason);
        focusingFromState_ = nullptr;
    }
}

void DialogWindow::RemoveControl(HWND hwnd) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [hwnd](const Control& c) { return c.hwnd == hwnd; });
    if (it != controls_.end()) {
        delete it->view->Widget();
        controls_.erase(it);
    }
}

DialogWindow::Control* DialogWindow::Find(HWND hwnd) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [hwnd](const Control& c) { return c.hwnd == hwnd; });
    return it == controls_.end() ? nullptr : &*it;
}

HWND DialogWindow::ControlOf(const QWidget* widget) const {
    for (const Control& c : controls_) {
        const QWidget* own = c.view->Widget();
        if (own == widget || own->isAncestorOf(widget)) {
            return c.hwnd;
        }
    }
    return nullptr;
}

QWidget* DialogWindow::ControlWidget(int id) const {
    for (const Control& c : controls_) {
        if (c.id == id) {
            return c.view->Widget();
        }
    }
    return nullptr;
}

std::vector<QWidget*> DialogWindow::ControlWidgets() const {
    std::vector<QWidget*> widgets;
    for (const Control& c : controls_) {
        widgets.push_back(c.view->Widget());
    }
    return widgets;
}

void DialogWindow::Post(UserInput::Kind kind) const {
    PostUserInput({kind, hwnd_, {}, -1});
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The framework decides whether the dialog ends.
    event->ignore();
    Post(UserInput::Kind::Close);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Post(UserInput::Kind::Enter);
            break;
        case Qt::Key_Escape:
            Post(UserInput::Kind::Escape);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void DialogWindow::paintEvent(QPaintEvent*) {
    if (frameWidth_ == 0) {
        return;
    }
    QPainter painter(this);
    QRect edge = rect();
    if ((style_ & WS_BORDER) != 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(edge.adjusted(0, 0, -1, -1));
        edge.adjust(1, 1, -1, -1);
    }
    if ((exStyle_ & WS_EX_STATICEDGE) != 0) {
        qDrawShadePanel(&painter, edge, palette(), true, 1);
        edge.adjust(1, 1, -1, -1);
    }
    if ((exStyle_ & WS_EX_CLIENTEDGE) != 0) {
        qDrawWinPanel(&painter, edge, palette(), true);
    }
}
