// A picture control shows its bitmap resource at the bitmap's own size; without the resource
// it keeps the template's rectangle and shows an empty frame there.
#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "framework/dialog_template.h"
#include "framework/qt/control_view.h"
#include "framework/window_styles.h"

namespace {

constexpr int kBitmapId = 162;

WindowState PictureState() {
    WindowState state;
    state.windowClass = kStaticClass;
    state.style = WS_CHILD | WS_VISIBLE | SS_BITMAP;
    state.imageId = kBitmapId;
    return state;
}

TEST(PictureView, TakesTheBitmapsOwnSizeOrShowsAnEmptyFrame) {
    QWidget parent;
    const QRect templateRect(20, 120, 190, 45);
    std::vector<int> asked;
    const ImageSource images = [&asked](int id) {
        asked.push_back(id);
        QImage image(96, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        return image;
    };

    auto shown = CreateControlView(PictureState(), &parent, images);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(asked, std::vector<int>{kBitmapId});
    EXPECT_EQ(shown->Place(templateRect), QRect(20, 120, 96, 30));
    auto* label = qobject_cast<QLabel*>(shown->Widget());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pixmap().size(), QSize(96, 30));
    EXPECT_FALSE(shown->TakesFocus());

    for (const ImageSource& none : {ImageSource(), ImageSource([](int) { return QImage(); })}) {
        auto missing = CreateControlView(PictureState(), &parent, none);
        ASSERT_NE(missing, nullptr);
        EXPECT_EQ(missing->Place(templateRect), templateRect);
        EXPECT_EQ(qobject_cast<QLabel*>(missing->Widget())->frameShape(), QFrame::Box);
    }
}

}  // namespace
