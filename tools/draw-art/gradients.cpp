#include "gradients.h"

QLinearGradient VerticalGradient(const QRectF& rect, GradientStops stops) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    for (const auto& [position, colour] : stops) {
        gradient.setColorAt(position, colour);
    }
    return gradient;
}

QLinearGradient SteelGradient(const QRectF& rect) {
    return VerticalGradient(rect, {{0.0, QColor(0xb9, 0xc1, 0xc9)},
                                   {0.3, QColor(0xf8, 0xfa, 0xfc)},
                                   {0.55, QColor(0xd2, 0xd8, 0xde)},
                                   {1.0, QColor(0x7e, 0x88, 0x92)}});
}

QLinearGradient DarkPlasticGradient(const QRectF& rect) {
    return VerticalGradient(rect, {{0.0, QColor(0x6f, 0x79, 0x84)},
                                   {0.35, QColor(0x45, 0x4e, 0x57)},
                                   {1.0, QColor(0x22, 0x27, 0x2c)}});
}
