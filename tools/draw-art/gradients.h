// Colour ramps shared by the pictures: brushed steel, moulded plastic, and a helper that spreads
// stops across a rectangle's height.
#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QRectF>
#include <initializer_list>
#include <utility>

using GradientStops = std::initializer_list<std::pair<qreal, QColor>>;

// Top to bottom across the rectangle.
QLinearGradient VerticalGradient(const QRectF& rect, GradientStops stops);

// A lit cylinder lying on its side: bright just above the middle, dark at the lower edge.
QLinearGradient SteelGradient(const QRectF& rect);
QLinearGradient DarkPlasticGradient(const QRectF& rect);
