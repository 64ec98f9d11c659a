#include "framework/qt/dialog_units.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>

namespace {

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {1, 1, 4, 0},
        {2, 1, 4, 1},
        {3, 1, 4, 1},
        {279, 6, 4, 419},
        {-3, 6, 4, -5},
        {-1, 1, 4, 0},
        {171, 13, 8, 278},
        {0, 7, 4, 0},
        {455, 7, 4, 796},
        {233, 14, 8, 408},
        {1 << 20, 1 << 12, 8, 1 << 29},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(DialogUnits, EachEdgeOfARectangleIsConvertedOnItsOwn) {
    struct Case {
        RECT rect;
        DialogBaseUnits units;
        QRect expected;
    };
    const Case cases[] = {
        // Rounding the width on its own would give 68 here, not 67.
        {{279, 171, 279 + 45, 171 + 13}, {6, 13}, QRect(419, 278, 67, 21)},
        {{184, 204, 184 + 64, 204 + 15}, {7, 14}, QRect(322, 357, 112, 26)},
        {{0, 0, 455, 233}, {7, 14}, QRect(0, 0, 796, 408)},
        {{21, 14, 21 + 174, 14 + 15}, {6, 12}, QRect(32, 21, 261, 23)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapDialogRect(c.rect, c.units), c.expected) << c.rect.left << "," << c.rect.top;
    }
}

TEST(DialogUnits, ShellDialogFontBecomesAMetricCompatibleSansFont) {
    const QFont shell = DialogFont("MS Shell Dlg", 9);
    EXPECT_EQ(QFontInfo(shell).pointSize(), 9);
    EXPECT_EQ(DialogFont("MS Shell Dlg 2", 9).family(), shell.family());
    EXPECT_EQ(QFontInfo(DialogFont("MS Shell Dlg", 0)).pointSize(), 8);
    EXPECT_EQ(DialogFont("DejaVu Serif", 10).family(), "DejaVu Serif");
    if (!QFontDatabase::hasFamily("Liberation Sans")) {
        GTEST_SKIP() << "Liberation Sans is not installed (Debian package fonts-liberation2)";
    }
    EXPECT_EQ(QFontInfo(shell).family(), "Liberation Sans");
    // The dialog base units that every pixel position of the main dialog follows from.
    const DialogBaseUnits units = BaseUnitsOf(shell);
    EXPECT_EQ(units.charWidth, 7);
    EXPECT_EQ(units.charHeight, 14);
}

}  // namespace
