// Static controls: a text label (SS_LEFT: top-left, wrapped at word breaks) and a picture
// (SS_BITMAP: the bitmap at its own size from the template's top-left corner). Like Windows
// statics without SS_NOTIFY, they let clicks through to whatever lies beneath.
#include <QLabel>
#include <QPixmap>

#include "framework/qt/control_kinds.h"

namespace {

class LabelView final : public ControlView {
public:
    explicit LabelView(QLabel* label) : ControlView(label), label_(label) {
        label_->setAttribute(Qt::WA_TransparentForMouseEvents);
        label_->setTextFormat(Qt::PlainText);
        label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label_->setWordWrap(true);
    }

    void Apply(const WindowState& state) override {
        const QString text = QString::fromStdString(state.text);
        if (label_->text() != text) {
            label_->setText(text);
        }
    }

    bool TakesFocus() const override { return false; }

private:
    QLabel* label_;
};

class PictureView final : public ControlView {
public:
    PictureView(QLabel* label, const QImage& image) : ControlView(label), image_(image) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        if (image_.isNull()) {
            // Where the bitmap would be, so that a missing resource shows.
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
        } else {
            label->setPixmap(QPixmap::fromImage(image_));
        }
    }

    void Apply(const WindowState&) override {}

    QRect Place(const QRect& templateRect) override {
        if (image_.isNull()) {
            return templateRect;
        }
        return {templateRect.topLeft(), image_.deviceIndependentSize().toSize()};
    }

    bool TakesFocus() const override { return false; }

private:
    QImage image_;
};

}  // namespace

std::unique_ptr<ControlView> MakeLabelView(QWidget* parent) {
    return std::make_unique<LabelView>(new QLabel(parent));
}

std::unique_ptr<ControlView> MakePictureView(const WindowState& state, QWidget* parent,
                                             const ImageSource& images) {
    const QImage image = images ? images(state.imageId) : QImage();
    return std::make_unique<PictureView>(new QLabel(parent), image);
}
