// Button-class controls: push button, auto radio button and group box. A click is reported,
// never acted on: the framework checks a radio button and clears the rest of its group, and the
// widget then shows that.
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>

#include "framework/qt/control_kinds.h"
#include "framework/window_styles.h"

namespace {

void ReportClicks(QAbstractButton* button, HWND hwnd) {
    QObject::connect(button, &QAbstractButton::clicked, button, [hwnd] {
        PostUserInput({UserInput::Kind::Click, hwnd, {}, -1});
    });
}

void ShowText(QAbstractButton* button, const WindowState& state) {
    const QString text = QString::fromStdString(state.text);
    if (button->text() != text) {
        button->setText(text);
    }
}

class PushButtonView final : public ControlView {
public:
    PushButtonView(QPushButton* button, HWND hwnd) : ControlView(button), button_(button) {
        // Enter goes to the dialog, which presses the focused push button itself.
        button_->setAutoDefault(false);
        ReportClicks(button_, hwnd);
    }

    void Apply(const WindowState& state) override { ShowText(button_, state); }

private:
    QPushButton* button_;
};

// A radio button whose check changes only when the framework says so.
class FrameworkCheckedRadioButton final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override {}
};

class RadioButtonView final : public ControlView {
public:
    RadioButtonView(QRadioButton* radio, HWND hwnd) : ControlView(radio), radio_(radio) {
        radio_->setAutoExclusive(false);
        ReportClicks(radio_, hwnd);
    }

    void Apply(const WindowState& state) override {
        ShowText(radio_, state);
        radio_->setChecked(state.checked);
    }

private:
    QRadioButton* radio_;
};

// A flat group box (BS_FLAT) is a plain one-line rectangle, where Qt's flat box keeps only the
// top line.
class FlatFramedGroupBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!isFlat()) {
            QGroupBox::paintEvent(event);
            return;
        }
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        QPainter painter(this);
        const QRect frame =
            style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
        const QRect label =
            style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
        painter.save();
        painter.setClipRegion(QRegion(rect()).subtracted(QRegion(label)));
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.restore();
        option.subControls = QStyle::SC_GroupBoxLabel;
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
    }
};

class GroupBoxView final : public ControlView {
public:
    explicit GroupBoxView(QGroupBox* box) : ControlView(box), box_(box) {
        // Clicks go through to what lies under it, as for a Windows group box.
        box_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    void Apply(const WindowState& state) override {
        const QString title = QString::fromStdString(state.text);
        if (box_->title() != title) {
            box_->setTitle(title);
        }
        box_->setFlat((state.style & BS_FLAT) != 0);
    }

    bool TakesFocus() const override { return false; }
    bool IsBackdrop() const override { return true; }

private:
    QGroupBox* box_;
};

}  // namespace

std::unique_ptr<ControlView> MakePushButtonView(HWND hwnd, QWidget* parent) {
    return std::make_unique<PushButtonView>(new QPushButton(parent), hwnd);
}

std::unique_ptr<ControlView> MakeRadioButtonView(HWND hwnd, QWidget* parent) {
    return std::make_unique<RadioButtonView>(new FrameworkCheckedRadioButton(parent), hwnd);
}

std::unique_ptr<ControlView> MakeGroupBoxView(QWidget* parent) {
    return std::make_unique<GroupBoxView>(new FlatFramedGroupBox(parent));
}
