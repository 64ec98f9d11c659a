// The dialogs build from their templates: every control as the right widget, with its caption,
// state and place in dialog units.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QProgressBar>
#include <set>

#include "framework/dialog_template.h"
#include "framework/qt/dialog_units.h"
#include "framework/qt/resource_image.h"
#include "framework/window_styles.h"
#include "res/resource.h"
#include "tests/qt/gui_driver.h"
#include "ui/main_dialog.h"

namespace qt_test {
namespace {

constexpr UINT kMain = IDD_KALDOSENSORSETTING_DIALOG;

const char* WidgetClassOf(const ControlTemplate& control) {
    if (control.windowClass == kStaticClass) {
        return "QLabel";
    }
    if (control.windowClass == kButtonClass) {
        const auto type = control.style & BS_TYPEMASK;
        return type == BS_GROUPBOX          ? "QGroupBox"
               : type == BS_AUTORADIOBUTTON ? "QRadioButton"
                                            : "QPushButton";
    }
    return control.windowClass == kEditClass       ? "QLineEdit"
           : control.windowClass == kComboBoxClass ? "QComboBox"
                                                   : "QProgressBar";
}

QString ShownCaption(QWidget* widget) {
    if (widget->inherits("QProgressBar") || widget->inherits("QLineEdit")) {
        return {};  // its text is the percentage, or data
    }
    return widget->property(widget->inherits("QGroupBox") ? "title" : "text").toString();
}

void SaveScreenshot(UINT templateId, const char* name) {
    const QString dir = QStringLiteral(KALDO_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString path = dir + "/" + name;
    QFile::remove(path);
    EXPECT_TRUE(Presenter().SaveScreenshot(templateId, path));
    EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
}

// Every control of the template, in order, as the widget of its class with its caption and place.
void ExpectBuiltFromTemplate(UINT templateId) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    ASSERT_NE(dialogTemplate, nullptr);
    QWidget* dialog = Presenter().DialogWidget(templateId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), dialogTemplate->caption);
    const DialogBaseUnits units = BaseUnitsOf(dialog->font());
    const std::vector<QWidget*> widgets = Presenter().ControlWidgets(templateId);
    ASSERT_EQ(widgets.size(), dialogTemplate->controls.size());
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialogTemplate->controls[i];
        QWidget* widget = widgets[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " \"" << control.caption << "\"");
        EXPECT_TRUE(widget->inherits(WidgetClassOf(control))) << widget->metaObject()->className();
        EXPECT_EQ(ShownCaption(widget).toStdString(), control.caption);
        EXPECT_EQ(widget->isVisible(), (control.style & WS_VISIBLE) != 0);
        const QRect expected = MapDialogRect(
            RECT{control.x, control.y, control.x + control.cx, control.y + control.cy}, units);
        const QImage bitmap = control.imageId != 0 ? ResourceImage(control.imageId) : QImage();
        if (!bitmap.isNull()) {
            // A picture takes its bitmap's own size.
            EXPECT_EQ(widget->geometry(), QRect(expected.topLeft(), bitmap.size()));
        } else if (control.windowClass == kComboBoxClass) {
            // The template's height includes the dropped list.
            EXPECT_EQ(widget->pos(), expected.topLeft());
            EXPECT_EQ(widget->width(), expected.width());
        } else {
            EXPECT_EQ(widget->geometry(), expected);
        }
    }
}

TEST(QtDialogLayout, MainDialogShowsEveryControlOfItsTemplate) {
    CKaldoSensorSettingDlg dialog;
    RunWithScript(dialog, [&] {
        OnGui([&] {
            ExpectBuiltFromTemplate(kMain);
            QWidget* window = Presenter().DialogWidget(kMain);
            auto control = [](int id) { return Presenter().ControlWidget(kMain, id); };
            if (QFontInfo(window->font()).family() == "Liberation Sans") {
                // Base units 7 x 14: the pixel places a person would measure on screen.
                EXPECT_EQ(control(IDC_BUTTON_SENSOR_INITIAL)->geometry(), QRect(322, 357, 112, 26));
                EXPECT_EQ(control(IDC_EDIT_APP_KEY)->geometry(), QRect(305, 301, 176, 25));
                EXPECT_EQ(control(IDC_STATIC_SERVER_PORT)->geometry(), QRect(488, 299, 79, 23));
                EXPECT_EQ(window->size(), QSize(796, 408));
            }
            // At start the read-only edits and the server fields are disabled, all else enabled.
            const std::set<int> disabled = {
                IDC_EDIT_DEV_EUI,   IDC_EDIT_ADDRESS,   IDC_EDIT_RANGE_MIN,
                IDC_EDIT_RANGE_MAX, IDC_EDIT_NB_BAND,   IDC_EDIT_IMEI,
                IDC_EDIT_FREQUENCY, IDC_EDIT_SERVER_IP, IDC_EDIT_SERVER_PORT};
            for (const ControlTemplate& c : FindDialogTemplate(kMain)->controls) {
                if (c.id != IDC_STATIC) {
                    EXPECT_EQ(control(c.id)->isEnabled(), disabled.count(c.id) == 0) << c.id;
                }
            }
        });
        OnGui([] { SaveScreenshot(kMain, "main_dialog.png"); });
    });
}

TEST(QtDialogLayout, ProgressDialogIsAFramelessStripWithItsBar) {
    ProbeProgressDialog dialog;
    RunWithScript(dialog, [&] {
        OnGui([&] {
            ExpectBuiltFromTemplate(IDD_SENSOR_PROGRESS);
            QWidget* window = Presenter().DialogWidget(IDD_SENSOR_PROGRESS);
            EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
            auto* bar = qobject_cast<QProgressBar*>(
                Presenter().ControlWidget(IDD_SENSOR_PROGRESS, IDC_PROGRESS_BAR));
            EXPECT_EQ(bar->maximum(), 500);
            EXPECT_EQ(bar->value(), 300);
        });
        OnGui([] { SaveScreenshot(IDD_SENSOR_PROGRESS, "progress_dialog.png"); });
    });
}

}  // namespace
}  // namespace qt_test
