#include "framework/qt/dialog_units.h"

#include <QFontMetrics>
#include <array>
#include <cstdint>

namespace {

// Faces a Windows template names that Debian does not have.
constexpr std::array<const char*, 2> kShellFaces = {"MS Shell Dlg", "MS Shell Dlg 2"};
constexpr const char* kShellReplacement = "Liberation Sans";
// The size Windows gives a template without one.
constexpr int kDefaultPointSize = 8;

}  // namespace

QFont DialogFont(const std::string& face, int pointSize) {
    QString family = QString::fromStdString(face);
    for (const char* shellFace : kShellFaces) {
        if (family.compare(QLatin1String(shellFace), Qt::CaseInsensitive) == 0) {
            family = QLatin1String(kShellReplacement);
        }
    }
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize > 0 ? pointSize : kDefaultPointSize);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // Width of 52 letters halved twice with rounding, as Windows computes the average.
    return {(width / 26 + 1) / 2, metrics.height()};
}

int MulDiv(int number, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(rounded);
}

QRect MapDialogRect(const RECT& rect, DialogBaseUnits units) {
    const int left = MulDiv(rect.left, units.charWidth, 4);
    const int top = MulDiv(rect.top, units.charHeight, 8);
    const int right = MulDiv(rect.right, units.charWidth, 4);
    const int bottom = MulDiv(rect.bottom, units.charHeight, 8);
    return {QPoint(left, top), QSize(right - left, bottom - top)};
}
