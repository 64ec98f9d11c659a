// Edit controls as line edits. A multi-line edit is shown as one line too: the only one in the
// tool's templates is hidden and exists for data exchange.
#include <QLineEdit>
#include <QMenu>
#include <QValidator>
#include <algorithm>

#include "framework/qt/control_kinds.h"
#include "framework/window_styles.h"

namespace {

// An edit's limit holds for typing only (EditTypingLimit). Qt's own maximum length would cut
// text the program sets, and setting it moves the cursor.
class TypingLimit final : public QValidator {
public:
    using QValidator::QValidator;
    void SetLimit(int limit) { limit_ = limit; }
    void SetShownLength(qsizetype length) { shown_ = length; }

    State validate(QString& input, int& pos) const override {
        const auto allowed =
            static_cast<qsizetype>(EditTypingLimit(limit_, static_cast<std::size_t>(shown_)));
        // What does not fit is dropped from the end of what was just typed or pasted.
        const int cut = static_cast<int>(std::min<qsizetype>(input.size() - allowed, pos));
        if (cut > 0) {
            input.remove(pos - cut, cut);
            pos -= cut;
        }
        return input.size() <= allowed ? Acceptable : Invalid;
    }

private:
    int limit_ = 0;  // none set
    qsizetype shown_ = 0;
};

class EditView final : public ControlView {
public:
    EditView(QLineEdit* edit, HWND hwnd)
        : ControlView(edit), edit_(edit), limit_(new TypingLimit(edit)) {
        edit_->setValidator(limit_);
        QObject::connect(edit_, &QLineEdit::textChanged, limit_,
                         [this](const QString& text) { limit_->SetShownLength(text.size()); });
        ReportEdits(edit_, hwnd, values_);
    }

    void Apply(const WindowState& state) override {
        edit_->setFrame((state.style & WS_BORDER) != 0);
        edit_->setReadOnly((state.style & ES_READONLY) != 0);
        limit_->SetLimit(state.limit);
        // Keys the framework has not taken in yet stay, and so do the cursor and the selection.
        if (values_.Ahead(state)) {
            return;
        }
        const QString text = QString::fromStdString(state.text);
        if (edit_->text() != text) {
            limit_->SetShownLength(text.size());
            edit_->setText(text);
            // Text the program sets shows from its start, as a Windows edit shows it.
            edit_->setCursorPosition(0);
        }
    }

private:
    QLineEdit* edit_;
    TypingLimit* limit_;
    PostedValues values_;
};

}  // namespace

void ReportEdits(QLineEdit* line, HWND hwnd, PostedValues& values) {
    QObject::connect(line, &QLineEdit::textEdited, line, [hwnd, &values](const QString& text) {
        values.Post({UserInput::Kind::SetText, hwnd, text.toStdString(), -1});
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
