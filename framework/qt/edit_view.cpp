// Edit controls as line edits. A multi-line edit is shown as one line too: the only one in the
// tool's templates is hidden and exists for data exchange.
#include <QLineEdit>
#include <QMenu>

#include "framework/qt/control_kinds.h"
#include "framework/window_styles.h"

namespace {

// What an edit holds when no limit was set, as on Windows.
constexpr int kDefaultLimit = 30000;

class EditView final : public ControlView {
public:
    EditView(QLineEdit* edit, HWND hwnd) : ControlView(edit), edit_(edit) {
        ReportEdits(edit_, hwnd);
    }

    void Apply(const WindowState& state) override {
        edit_->setFrame((state.style & WS_BORDER) != 0);
        edit_->setReadOnly((state.style & ES_READONLY) != 0);
        // Setting the limit or the text, even the same again, moves the cursor to the end
        // under the user's hands.
        const int limit = state.limit > 0 ? state.limit : kDefaultLimit;
        if (edit_->maxLength() != limit) {
            edit_->setMaxLength(limit);
        }
        const QString text = QString::fromStdString(state.text);
        if (edit_->text() != text) {
            edit_->setText(text);
            // Text the program sets shows from its start, as a Windows edit shows it.
            edit_->setCursorPosition(0);
        }
    }

private:
    QLineEdit* edit_;
};

}  // namespace

void ReportEdits(QLineEdit* line, HWND hwnd) {
    QObject::connect(line, &QLineEdit::textEdited, line, [hwnd](const QString& text) {
        PostUserInput({UserInput::Kind::SetText, hwnd, text.toStdString(), -1});
    });
    line->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(line, &QWidget::customContextMenuRequested, line, [line](const QPoint& at) {
        QMenu* menu = line->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(line->mapToGlobal(at));
    });
}

std::unique_ptr<ControlView> MakeEditView(HWND hwnd, QWidget* parent) {
    return std::make_unique<EditView>(new QLineEdit(parent), hwnd);
}
