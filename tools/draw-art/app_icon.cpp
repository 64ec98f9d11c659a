#include "app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include "gradients.h"

namespace {

const QPointF kCentre(52, 70);
constexpr qreal kBezelRadius = 43;
constexpr qreal kFaceRadius = 35;
constexpr qreal kScaleRadius = 29;
// The scale runs clockwise from lower left to lower right; angles as Qt counts them.
constexpr qreal kScaleStart = 225;
constexpr qreal kScaleSweep = -270;
constexpr qreal kReading = 0.58;

const QPointF kAntennaTip(88, 34);
const QColor kSignal(0x1e, 0x88, 0xe5);
const QColor kInk(0x26, 0x2e, 0x37);

qreal ScaleAngle(qreal fraction) {
    return kScaleStart + kScaleSweep * fraction;
}

QRectF Circle(QPointF centre, qreal radius) {
    return {centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius};
}

// Stacked faint discs, each smaller, darken towards the middle: a soft edge without a blur.
void DrawShadow(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 14));
    for (int ring = 0; ring < 4; ++ring) {
        painter.drawEllipse(kCentre + QPointF(1.5, 2.5), kBezelRadius + 3 - ring,
                            kBezelRadius + 3 - ring);
    }
}

// Process connection under the case: neck, hex and thread, in brass.
void DrawStem(QPainter& painter) {
    const QColor edge(0x6b, 0x4f, 0x12);
    auto brass = [](const QRectF& rect) {
        QLinearGradient gradient(rect.topLeft(), rect.topRight());
        gradient.setColorAt(0.0, QColor(0x9c, 0x73, 0x1c));
        gradient.setColorAt(0.35, QColor(0xf3, 0xd7, 0x7a));
        gradient.setColorAt(1.0, QColor(0x8a, 0x63, 0x16));
        return gradient;
    };
    const QRectF neck(kCentre.x() - 7, 108, 14, 9);
    const QRectF hex(kCentre.x() - 12, 116, 24, 6);
    const QRectF thread(kCentre.x() - 7, 121.5, 14, 6);
    painter.setPen(QPen(edge, 1));
    for (const QRectF& part : {neck, thread, hex}) {
        painter.setBrush(brass(part));
        painter.drawRect(part);
    }
    painter.setPen(QPen(QColor(0x7a, 0x5a, 0x14), 0.9));
    for (const qreal x : {hex.left() + 6, hex.right() - 6}) {
        painter.drawLine(QPointF(x, hex.top() + 0.5), QPointF(x, hex.bottom() - 0.5));
    }
    for (qreal y = thread.top() + 1.5; y < thread.bottom(); y += 1.8) {
        painter.drawLine(QPointF(thread.left() + 0.5, y + 0.6), QPointF(thread.right() - 0.5, y));
    }
}

void DrawCase(QPainter& painter) {
    QLinearGradient bezel(Circle(kCentre, kBezelRadius).topLeft(),
                          Circle(kCentre, kBezelRadius).bottomRight());
    bezel.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    bezel.setColorAt(0.5, QColor(0xa4, 0xad, 0xb6));
    bezel.setColorAt(1.0, QColor(0x6e, 0x78, 0x82));
    painter.setPen(QPen(QColor(0x3d, 0x47, 0x51), 1.5));
    painter.setBrush(bezel);
    painter.drawEllipse(kCentre, kBezelRadius, kBezelRadius);

    // The inner ring lit from the other side makes the bezel read as a raised rim.
    QLinearGradient ring(Circle(kCentre, kFaceRadius + 3).topLeft(),
                         Circle(kCentre, kFaceRadius + 3).bottomRight());
    ring.setColorAt(0.0, QColor(0x76, 0x80, 0x8a));
    ring.setColorAt(1.0, QColor(0xf4, 0xf6, 0xf8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawEllipse(kCentre, kFaceRadius + 3, kFaceRadius + 3);

    QRadialGradient face(kCentre + QPointF(-10, -12), kFaceRadius * 1.6);
    face.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    face.setColorAt(1.0, QColor(0xdc, 0xe2, 0xe8));
    painter.setPen(QPen(QColor(0x5a, 0x64, 0x6e), 0.8));
    painter.setBrush(face);
    painter.drawEllipse(kCentre, kFaceRadius, kFaceRadius);
}

void DrawScale(QPainter& painter) {
    struct Band {
        qreal from, to;
        QColor colour;
    };
    const Band bands[] = {{0.0, 0.6, QColor(0x3c, 0xb3, 0x4a)},
                          {0.6, 0.8, QColor(0xf5, 0xb3, 0x1b)},
                          {0.8, 1.0, QColor(0xe0, 0x3a, 0x3a)}};
    painter.setBrush(Qt::NoBrush);
    for (const Band& band : bands) {
        painter.setPen(QPen(band.colour, 5, Qt::SolidLine, Qt::FlatCap));
        QPainterPath arc;
        arc.arcMoveTo(Circle(kCentre, kScaleRadius), ScaleAngle(band.from));
        arc.arcTo(Circle(kCentre, kScaleRadius), ScaleAngle(band.from),
                  kScaleSweep * (band.to - band.from));
        painter.drawPath(arc);
    }
    constexpr int kMajorTicks = 10;
    constexpr int kMinorPerMajor = 4;
    for (int i = 0; i <= kMajorTicks * kMinorPerMajor; ++i) {
        const bool major = i % kMinorPerMajor == 0;
        const QLineF ray = QLineF::fromPolar(kScaleRadius - 3,
                                             ScaleAngle(qreal(i) / (kMajorTicks * kMinorPerMajor)))
                               .translated(kCentre);
        painter.setPen(QPen(kInk, major ? 1.8 : 0.9, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(ray.pointAt(major ? 0.76 : 0.86), ray.p2());
    }
}

void DrawNeedle(QPainter& painter) {
    const qreal angle = ScaleAngle(kReading);
    const QPointF tip = QLineF::fromPolar(kScaleRadius + 1, angle).translated(kCentre).p2();
    const QPointF tail = QLineF::fromPolar(-9, angle).translated(kCentre).p2();
    const QPointF left = QLineF::fromPolar(2.6, angle + 90).translated(kCentre).p2();
    const QPointF right = QLineF::fromPolar(2.6, angle - 90).translated(kCentre).p2();
    const QPolygonF needle({tip, left, tail, right});

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 55));
    painter.drawPolygon(needle.translated(1.5, 2));
    painter.setPen(QPen(QColor(0x8e, 0x16, 0x16), 0.8, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(QColor(0xd6, 0x2b, 0x2b));
    painter.drawPolygon(needle);

    QRadialGradient hub(kCentre + QPointF(-1.5, -1.5), 6);
    hub.setColorAt(0.0, QColor(0x8a, 0x95, 0xa0));
    hub.setColorAt(1.0, QColor(0x1c, 0x22, 0x28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(hub);
    painter.drawEllipse(kCentre, 5, 5);
}

// A crescent of reflected light on the glass, upper left.
void DrawGlass(QPainter& painter) {
    QPainterPath glass;
    glass.addEllipse(kCentre, kFaceRadius - 1, kFaceRadius - 1);
    QPainterPath shade;
    shade.addEllipse(kCentre + QPointF(9, 12), kFaceRadius + 4, kFaceRadius + 4);
    const QRectF face = Circle(kCentre, kFaceRadius);
    QLinearGradient light(face.topLeft(), face.center());
    light.setColorAt(0.0, QColor(255, 255, 255, 150));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawPath(glass.subtracted(shade));
}

// An antenna on the case, sending: the sensor reports by radio.
void DrawSignal(QPainter& painter) {
    const QPointF foot = QLineF::fromPolar(kBezelRadius - 2, 45).translated(kCentre).p2();
    painter.setPen(QPen(QColor(0x3d, 0x47, 0x51), 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(foot, kAntennaTip);
    painter.setPen(QPen(QColor(0x3d, 0x47, 0x51), 1));
    painter.setBrush(SteelGradient(Circle(foot, 3.5)));
    painter.drawEllipse(foot, 3.5, 3.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSignal);
    painter.drawEllipse(kAntennaTip, 4.5, 4.5);

    painter.setBrush(Qt::NoBrush);
    int alpha = 255;
    for (const qreal radius : {11.0, 20.0, 29.0}) {
        QColor colour = kSignal;
        colour.setAlpha(alpha);
        painter.setPen(QPen(colour, 4.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(Circle(kAntennaTip, radius), 5 * 16, 80 * 16);
        alpha -= 45;
    }
}

}  // namespace

QImage DrawAppIcon() {
    QImage image(kAppIconSize, kAppIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawShadow(painter);
    DrawStem(painter);
    DrawCase(painter);
    DrawScale(painter);
    DrawNeedle(painter);
    DrawGlass(painter);
    DrawSignal(painter);
    return image;
}
