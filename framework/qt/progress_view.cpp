// The progress bar (msctls_progress32): range and position from the state, no text. A bar
// colour set by the program draws the bar in that exact colour, in blocks as the classic
// control does unless it is smooth.
#include <QProgressBar>
#include <algorithm>

#include "framework/qt/control_kinds.h"
#include "framework/window_styles.h"

namespace {

QString StyleSheetFor(COLORREF color, bool smooth, int height) {
    const int red = static_cast<int>(color & 0xFF);
    const int green = static_cast<int>((color >> 8) & 0xFF);
    const int blue = static_cast<int>((color >> 16) & 0xFF);
    QString chunk =
        QStringLiteral("background-color: rgb(%1, %2, %3);").arg(red).arg(green).arg(blue);
    if (!smooth) {
        // Blocks two thirds as wide as the bar is high, with a gap between them.
        chunk +=
            QStringLiteral(" width: %1px; margin: 1px;").arg(std::max(1, (height - 2) * 2 / 3));
    }
    return QStringLiteral(
               "QProgressBar { border: 1px solid palette(dark); background: palette(window); }"
               " QProgressBar::chunk { %1 }")
        .arg(chunk);
}

class ProgressView final : public ControlView {
public:
    explicit ProgressView(QProgressBar* bar) : ControlView(bar), bar_(bar) {
        bar_->setTextVisible(false);
    }

    void Apply(const WindowState& state) override {
        bar_->setRange(state.rangeMin, std::max(state.rangeMin, state.rangeMax));
        bar_->setValue(state.pos);
        const bool smooth = (state.style & PBS_SMOOTH) != 0;
        const QString sheet = state.barColor == CLR_DEFAULT
                                  ? QString()
                                  : StyleSheetFor(state.barColor, smooth, bar_->height());
        if (bar_->styleSheet() != sheet) {
            bar_->setStyleSheet(sheet);
        }
    }

    bool TakesFocus() const override { return false; }

private:
    QProgressBar* bar_;
};

}  // namespace

std::unique_ptr<ControlView> MakeProgressView(QWidget* parent) {
    return std::make_unique<ProgressView>(new QProgressBar(parent));
}
