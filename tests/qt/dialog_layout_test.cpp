// The dialogs build from their templates: every control as the right widget, with its caption,
// state and place in dialog units, stacked and tab-ordered as Windows does it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <map>
#include <set>

#include "framework/dialog_template.h"
#include "framework/qt/dialog_units.h"
#include "framework/qt/resource_image.h"
#include "framework/window_styles.h"
#include "res/resource.h"
#include "tests/qt/probe_dialogs.h"

namespace qt_test {
namespace {

const char* ExpectedWidgetClass(const ControlTemplate& control) {
    if (control.windowClass == kStaticClass) {
        return "QLabel";
    }
    if (control.windowClass == kButtonClass) {
        switch (control.style & BS_TYPEMASK) {
            case BS_GROUPBOX:
                return "QGroupBox";
            case BS_AUTORADIOBUTTON:
                return "QRadioButton";
            default:
                return "QPushButton";
        }
    }
    if (control.windowClass == kEditClass) {
        return "QLineEdit";
    }
    if (control.windowClass == kComboBoxClass) {
        return "QComboBox";
    }
    return "QProgressBar";
}

QString ShownCaption(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        return box->title();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    return {};
}

QRect TemplateRect(const ControlTemplate& control, DialogBaseUnits units) {
    return MapDialogRect(RECT{control.x, control.y, control.x + control.cx, control.y + control.cy},
                         units);
}

bool LiberationSansInUse(QWidget* dialog) {
    return QFontInfo(dialog->font()).family() == "Liberation Sans";
}

void SaveScreenshot(UINT templateId, const char* name) {
    const QString dir = QStringLiteral(KALDO_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(Presenter().SaveScreenshot(templateId, dir + "/" + name));
}

// Every control of the template is there, in template order, as the widget of its class, with
// its caption and its place.
void ExpectBuiltFromTemplate(UINT templateId) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId);
    ASSERT_NE(dialogTemplate, nullptr);
    QWidget* dialog = Presenter().DialogWidget(templateId);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), dialogTemplate->caption);
    EXPECT_EQ(QFontInfo(dialog->font()).pointSize(), dialogTemplate->fontPointSize);
    const DialogBaseUnits units = BaseUnitsOf(dialog->font());
    const std::vector<QWidget*> widgets = Presenter().ControlWidgets(templateId);
    ASSERT_EQ(widgets.size(), dialogTemplate->controls.size());
    const QSize client =
        MapDialogRect(RECT{0, 0, dialogTemplate->cx, dialogTemplate->cy}, units).size();
    EXPECT_EQ(widgets.front()->parentWidget()->size(), client);
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialogTemplate->controls[i];
        QWidget* widget = widgets[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " id " << control.id << " \""
                                        << control.caption << "\"");
        EXPECT_TRUE(widget->inherits(ExpectedWidgetClass(control)))
            << widget->metaObject()->className();
        EXPECT_EQ(ShownCaption(widget).toStdString(), control.caption);
        EXPECT_EQ(widget->isVisible(), (control.style & WS_VISIBLE) != 0);
        const QRect expected = TemplateRect(control, units);
        const QImage bitmap = control.imageId != 0 ? ResourceImage(control.imageId) : QImage();
        if (!bitmap.isNull()) {
            // A picture takes its bitmap's own size.
            EXPECT_EQ(widget->geometry(), QRect(expected.topLeft(), bitmap.size()));
            const QImage shown = qobject_cast<QLabel*>(widget)->pixmap().toImage();
            EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
                      bitmap.convertToFormat(QImage::Format_ARGB32));
        } else if (control.windowClass == kComboBoxClass) {
            // The template's height includes the dropped list.
            EXPECT_EQ(widget->pos(), expected.topLeft());
            EXPECT_EQ(widget->width(), expected.width());
            EXPECT_LT(widget->height(), expected.height() / 2);
            EXPECT_GE(widget->height(), units.charHeight);
        } else {
            EXPECT_EQ(widget->geometry(), expected);
        }
    }
}

TEST(QtDialogLayout, MainDialogShowsEveryControlOfItsTemplate) {
    ProbeMainDialog dialog;
    RunWithScript(dialog, [&] {
        OnGui([&] { ExpectBuiltFromTemplate(IDD_KALDOSENSORSETTING_DIALOG); });
        OnGui([&] {
            QWidget* window = Presenter().DialogWidget(IDD_KALDOSENSORSETTING_DIALOG);
            auto control = [](int id) {
                return Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, id);
            };
            EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
            EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
            if (LiberationSansInUse(window)) {
                // Base units 7 x 14: the pixel places a person would measure on screen.
                EXPECT_EQ(control(IDC_BUTTON_SENSOR_INITIAL)->geometry(), QRect(322, 357, 112, 26));
                EXPECT_EQ(control(IDC_EDIT_APP_KEY)->geometry(), QRect(305, 301, 176, 25));
                EXPECT_EQ(control(IDC_STATIC_SERVER_PORT)->geometry(), QRect(488, 299, 79, 23));
                EXPECT_EQ(window->size(), QSize(796, 408));
            }

            // Enabled as the template and the start-up say: read-only edits and the server
            // fields are disabled; everything else takes input.
            const std::set<int> disabled = {
                IDC_EDIT_DEV_EUI,   IDC_EDIT_ADDRESS,   IDC_EDIT_RANGE_MIN,
                IDC_EDIT_RANGE_MAX, IDC_EDIT_NB_BAND,   IDC_EDIT_IMEI,
                IDC_EDIT_FREQUENCY, IDC_EDIT_SERVER_IP, IDC_EDIT_SERVER_PORT};
            for (const ControlTemplate& c :
                 FindDialogTemplate(IDD_KALDOSENSORSETTING_DIALOG)->controls) {
                if (c.id != IDC_STATIC) {
                    EXPECT_EQ(control(c.id)->isEnabled(), disabled.count(c.id) == 0) << c.id;
                }
            }

            const std::map<int, int> limits = {{IDC_EDIT_ADDRESS, 5},
                                               {IDC_EDIT_APP_EUI, 16},
                                               {IDC_EDIT_APP_KEY, 32},
                                               {IDC_EDIT_SERVER_IP, 15},
                                               {IDC_EDIT_SERVER_PORT, 5}};
            for (const auto& [id, limit] : limits) {
                EXPECT_EQ(qobject_cast<QLineEdit*>(control(id))->maxLength(), limit) << id;
            }

            auto* baud = qobject_cast<QComboBox*>(control(IDC_COMBO_BAUDRATE));
            auto* interval = qobject_cast<QComboBox*>(control(IDC_COMBO_INTERVAL));
            auto* port = qobject_cast<QComboBox*>(control(IDC_COMBO_COM_PORT));
            EXPECT_TRUE(baud->isEditable());
            EXPECT_TRUE(port->isEditable());
            EXPECT_FALSE(interval->isEditable());
            EXPECT_EQ(baud->count(), 3);
            EXPECT_EQ(baud->currentText(), "115200");
            EXPECT_EQ(port->currentText(), "COM3");
            EXPECT_EQ(interval->count(), 7);
            EXPECT_EQ(interval->currentText(), "60");
            // The list drops as far as the template's height reaches: all three baud rates.
            EXPECT_GE(baud->maxVisibleItems(), 2);

            EXPECT_TRUE(qobject_cast<QRadioButton*>(control(IDC_RADIO_LORAWAN))->isChecked());
            EXPECT_FALSE(qobject_cast<QRadioButton*>(control(IDC_RADIO_NB))->isChecked());

            int flatBoxes = 0;
            for (QWidget* w : Presenter().ControlWidgets(IDD_KALDOSENSORSETTING_DIALOG)) {
                if (auto* box = qobject_cast<QGroupBox*>(w); box && box->isFlat()) {
                    ++flatBoxes;
                    EXPECT_EQ(box->title(), "LoraWan Sensor");
                }
            }
            EXPECT_EQ(flatBoxes, 1);

            // Group boxes lie beneath the controls inside them, so clicks reach the controls.
            QWidget* client = control(IDC_EDIT_APP_EUI)->parentWidget();
            for (int id :
                 {IDC_EDIT_APP_EUI, IDC_EDIT_HIGH_ALARM, IDC_BUTTON_USB_SET, IDC_RADIO_NB}) {
                QWidget* widget = control(id);
                QWidget* hit = client->childAt(widget->geometry().center());
                EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit))
                    << id << " is covered by a "
                    << (hit ? hit->metaObject()->className() : "nothing");
            }
        });

        // Tab goes through the tab stops in template order, skipping what is disabled.
        OnGui([&] {
            std::vector<QWidget*> expected;
            for (const ControlTemplate& c :
                 FindDialogTemplate(IDD_KALDOSENSORSETTING_DIALOG)->controls) {
                QWidget* w = Presenter().ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, c.id);
                if (c.id != IDC_STATIC && (c.style & WS_TABSTOP) != 0 && w->isEnabled()) {
                    expected.push_back(w);
                }
            }
            ASSERT_FALSE(expected.empty());
            // The first enabled tab stop has the focus when the dialog opens.
            QWidget* window = Presenter().DialogWidget(IDD_KALDOSENSORSETTING_DIALOG);
            EXPECT_EQ(window->focusWidget(), expected.front());
            std::vector<QWidget*> visited;
            QWidget* w = expected.front();
            do {
                if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
                    std::find(expected.begin(), expected.end(), w) != expected.end()) {
                    visited.push_back(w);
                }
                w = w->nextInFocusChain();
            } while (w != expected.front() && visited.size() <= expected.size());
            EXPECT_EQ(visited, expected);
            // Not a tab stop, but a click still focuses it.
            EXPECT_EQ(Presenter()
                          .ControlWidget(IDD_KALDOSENSORSETTING_DIALOG, IDC_RADIO_NB)
                          ->focusPolicy(),
                      Qt::ClickFocus);
        });
        OnGui([] { SaveScreenshot(IDD_KALDOSENSORSETTING_DIALOG, "main_dialog.png"); });
    });
}

TEST(QtDialogLayout, ProgressDialogIsAFramelessStripWithAGreenBar) {
    ProbeProgressDialog dialog;
    RunWithScript(dialog, [&] {
        OnGui([&] { ExpectBuiltFromTemplate(IDD_SENSOR_PROGRESS); });
        OnGui([&] {
            QWidget* window = Presenter().DialogWidget(IDD_SENSOR_PROGRESS);
            EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
            // The window draws its own thin border around the client area.
            QWidget* client =
                Presenter().ControlWidget(IDD_SENSOR_PROGRESS, IDC_PROGRESS_BAR)->parentWidget();
            EXPECT_GT(client->x(), 0);
            EXPECT_EQ(window->width(), client->width() + 2 * client->x());
            EXPECT_EQ(window->height(), client->height() + 2 * client->y());

            auto* text = qobject_cast<QLineEdit*>(
                Presenter().ControlWidget(IDD_SENSOR_PROGRESS, IDC_EDIT_PROGRESS_TEXT));
            EXPECT_TRUE(text->isHidden());
            EXPECT_FALSE(text->isEnabled());

            auto* bar = qobject_cast<QProgressBar*>(
                Presenter().ControlWidget(IDD_SENSOR_PROGRESS, IDC_PROGRESS_BAR));
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->minimum(), 0);
            EXPECT_EQ(bar->maximum(), 500);
            EXPECT_EQ(bar->value(), 300);
            EXPECT_FALSE(bar->isTextVisible());
            const QImage image = bar->grab().toImage();
            const int middle = image.height() / 2;
            // 300 of 500: pure green near the start, not at nine tenths.
            bool greenNearStart = false;
            for (int x = 0; x < image.width() / 5; ++x) {
                greenNearStart = greenNearStart || image.pixelColor(x, middle) == QColor(0, 255, 0);
            }
            EXPECT_TRUE(greenNearStart);
            EXPECT_NE(image.pixelColor(image.width() * 9 / 10, middle), QColor(0, 255, 0));
        });
        OnGui([] { SaveScreenshot(IDD_SENSOR_PROGRESS, "progress_dialog.png"); });
    });
}

}  // namespace
}  // namespace qt_test
