// Combo boxes: the editable drop-down (CBS_DROPDOWN) and the drop-down list (CBS_DROPDOWNLIST).
// The template's height is that of the box with its list dropped; the closed box is one line.
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "framework/qt/control_kinds.h"
#include "framework/window_styles.h"

namespace {

constexpr DWORD kComboTypeMask = 0x3;

bool IsEditable(const WindowState& state) {
    return (state.style & kComboTypeMask) != CBS_DROPDOWNLIST;
}

class ComboBoxView final : public ControlView {
public:
    ComboBoxView(QComboBox* combo, HWND hwnd, bool editable) : ControlView(combo), combo_(combo) {
        if (editable) {
            combo_->setEditable(true);
            // The list holds what the program put there: typing neither adds, completes nor
            // picks (Enter on a text that matches an item picks it, unless duplicates may be).
            combo_->setInsertPolicy(QComboBox::NoInsert);
            combo_->setCompleter(nullptr);
            combo_->setDuplicatesEnabled(true);
            ReportEdits(combo_->lineEdit(), hwnd, values_);
        }
        QObject::connect(combo_, &QComboBox::activated, combo_, [this, hwnd](int index) {
            values_.Post({UserInput::Kind::SelectItem, hwnd, {}, index});
        });
    }

    void Apply(const WindowState& state) override {
        QStringList items;
        for (const std::string& item : state.items) {
            items.append(QString::fromStdString(item));
        }
        QLineEdit* line = combo_->lineEdit();
        const QSignalBlocker blocker(line);
        // What the user typed or picked and the framework has not taken in yet stays.
        const bool ahead = values_.Ahead(state);
        if (Items() != items) {
            // Refilling the list resets the edit part.
            const QString typed = line != nullptr ? line->text() : QString();
            const int cursor = line != nullptr ? line->cursorPosition() : 0;
            combo_->clear();
            combo_->addItems(items);
            if (ahead && line != nullptr) {
                line->setText(typed);
                line->setCursorPosition(cursor);
            }
        }
        if (ahead) {
            return;
        }
        // An editable box whose text was typed has no selection; leaving Qt's index alone
        // keeps the text and its cursor where the user has them.
        const bool selects = line == nullptr || state.curSel >= 0;
        if (selects && combo_->currentIndex() != state.curSel) {
            combo_->setCurrentIndex(state.curSel);
        }
        if (line != nullptr) {
            const QString text = QString::fromStdString(state.text);
            if (line->text() != text) {
                line->setText(text);
            }
        }
    }

    QRect Place(const QRect& templateRect) override {
        const int boxHeight = combo_->sizeHint().height();
        const int itemHeight = std::max(1, combo_->fontMetrics().height());
        combo_->setMaxVisibleItems(std::max(1, (templateRect.height() - boxHeight) / itemHeight));
        return {templateRect.topLeft(), QSize(templateRect.width(), boxHeight)};
    }

private:
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < combo_->count(); ++i) {
            items.append(combo_->itemText(i));
        }
        return items;
    }

    QComboBox* combo_;
    PostedValues values_;
};

}  // namespace

std::unique_ptr<ControlView> MakeComboBoxView(const WindowState& state, QWidget* parent) {
    return std::make_unique<ComboBoxView>(new QComboBox(parent), state.hwnd, IsEditable(state));
}
