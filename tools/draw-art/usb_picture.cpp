#include "usb_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "gradients.h"

namespace {

const QColor kDialogFace(0xf0, 0xf0, 0xf0);
const QColor kOutline(0x4f, 0x58, 0x61);
const QColor kShadow(0, 0, 0, 30);
const QColor kCable(0x2e, 0x34, 0x3a);

// The plug points left; the cable leaves it on the right.
const QRectF kPlugShell(4, 15, 23, 16);
const QRectF kPlugBody(26, 12, 28, 22);
const QPolygonF kStrainRelief({{53, 15}, {62, 18.5}, {62, 27.5}, {53, 31}});

// The transmitter lies on its side: cable gland, housing with its label, hex, thread.
const QPolygonF kGland({{127, 19.5}, {136, 17}, {136, 29}, {127, 26.5}});
const QRectF kHousing(135, 10, 36, 26);
const QRectF kLabel(143, 10, 20, 26);
const QRectF kHex(170.5, 12, 8.5, 22);
const QRectF kThread(178.5, 16.5, 9.5, 13);

QPainterPath CablePath() {
    QPainterPath path({61, 23});
    path.cubicTo(80, 23, 81, 37, 95, 37);
    path.cubicTo(109, 37, 111, 23, 128, 23);
    return path;
}

QPainterPath Silhouette() {
    QPainterPath shape;
    shape.addRoundedRect(kPlugShell, 1.5, 1.5);
    shape.addRoundedRect(kPlugBody, 4, 4);
    shape.addPolygon(kStrainRelief);
    shape.addPolygon(kGland);
    shape.addRoundedRect(kHousing, 3, 3);
    shape.addRect(kHex);
    shape.addRect(kThread);
    QPainterPathStroker stroker;
    stroker.setWidth(5);
    stroker.setCapStyle(Qt::RoundCap);
    return shape.united(stroker.createStroke(CablePath()));
}

void DrawShadow(QPainter& painter) {
    const QPainterPath silhouette = Silhouette();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kShadow);
    // Two offsets read as a soft shadow without a blur.
    painter.drawPath(silhouette.translated(1, 1.5));
    painter.drawPath(silhouette.translated(2, 2.5));
}

void DrawCable(QPainter& painter) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kCable, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(CablePath());
    painter.setPen(QPen(QColor(0x8a, 0x94, 0x9e, 170), 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(CablePath().translated(0, -1.1));
}

// The USB mark: a stem ending in an arrow, with a round-tipped and a square-tipped branch.
void DrawUsbMark(QPainter& painter, QPointF origin) {
    const QColor mark(0xe9, 0xed, 0xf1);
    painter.setPen(QPen(mark, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(origin, origin + QPointF(15, 0));
    painter.drawPolyline(
        QPolygonF({origin + QPointF(4, 0), origin + QPointF(7.5, -4), origin + QPointF(11, -4)}));
    painter.drawPolyline(
        QPolygonF({origin + QPointF(6.5, 0), origin + QPointF(10, 4), origin + QPointF(13, 4)}));
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawEllipse(origin, 2, 2);
    painter.drawEllipse(origin + QPointF(12.3, -4), 1.5, 1.5);
    painter.drawRect(QRectF(origin + QPointF(12.6, 2.6), QSizeF(2.8, 2.8)));
    painter.drawPolygon(QPolygonF(
        {origin + QPointF(14.5, -2.4), origin + QPointF(18.5, 0), origin + QPointF(14.5, 2.4)}));
}

void DrawPlug(QPainter& painter) {
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(SteelGradient(kPlugShell));
    painter.drawRoundedRect(kPlugShell, 1.5, 1.5);
    // The shell's two latch windows.
    painter.setBrush(QColor(0x3c, 0x44, 0x4c));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(8, 18.5, 4.5, 3));
    painter.drawRect(QRectF(8, 24.5, 4.5, 3));

    painter.setPen(QPen(QColor(0x1c, 0x21, 0x26), 1));
    painter.setBrush(DarkPlasticGradient(kStrainRelief.boundingRect()));
    painter.drawPolygon(kStrainRelief);
    painter.setPen(QPen(QColor(0x5d, 0x67, 0x71), 1));
    for (const qreal x : {56.0, 59.0}) {
        painter.drawLine(QPointF(x, 19), QPointF(x, 27));
    }
    painter.setPen(QPen(QColor(0x1c, 0x21, 0x26), 1));
    painter.setBrush(DarkPlasticGradient(kPlugBody));
    painter.drawRoundedRect(kPlugBody, 4, 4);
    DrawUsbMark(painter, {31, 23});
}

// A small dial on the label says what the transmitter measures.
void DrawDial(QPainter& painter, QPointF centre) {
    painter.setPen(QPen(QColor(0x0d, 0x3a, 0x78), 0.8));
    painter.setBrush(QColor(0xfa, 0xfb, 0xfc));
    painter.drawEllipse(centre, 6.5, 6.5);
    painter.setPen(QPen(QColor(0x2b, 0x33, 0x3b), 0.9, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i <= 4; ++i) {
        const QLineF tick = QLineF::fromPolar(5.2, 225 - i * 67.5).translated(centre);
        painter.drawLine(tick.pointAt(0.72), tick.p2());
    }
    painter.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF::fromPolar(4.6, 60).translated(centre));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2b, 0x33, 0x3b));
    painter.drawEllipse(centre, 1.2, 1.2);
}

void DrawTransmitter(QPainter& painter) {
    painter.setPen(QPen(QColor(0x1c, 0x21, 0x26), 1));
    painter.setBrush(DarkPlasticGradient(kGland.boundingRect()));
    painter.drawPolygon(kGland);

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(SteelGradient(kHousing));
    painter.drawRoundedRect(kHousing, 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(VerticalGradient(kLabel, {{0.0, QColor(0x4a, 0x90, 0xe2)},
                                               {0.35, QColor(0x1e, 0x6a, 0xc8)},
                                               {1.0, QColor(0x0f, 0x3f, 0x82)}}));
    painter.drawRect(kLabel.adjusted(0, 0.5, 0, -0.5));
    DrawDial(painter, kLabel.center());

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(SteelGradient(kHex));
    painter.drawRect(kHex);
    painter.setPen(QPen(QColor(0x8a, 0x93, 0x9c), 0.8));
    for (const qreal y : {17.5, 28.5}) {
        painter.drawLine(QPointF(kHex.left() + 0.5, y), QPointF(kHex.right() - 0.5, y));
    }

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(SteelGradient(kThread));
    painter.drawRect(kThread);
    painter.setPen(QPen(QColor(0x6b, 0x75, 0x7f), 0.8));
    for (qreal x = kThread.left() + 1.8; x < kThread.right() - 0.5; x += 2) {
        painter.drawLine(QPointF(x, kThread.top() + 0.5), QPointF(x + 1, kThread.bottom() - 0.5));
    }
}

}  // namespace

QImage DrawUsbPicture() {
    QImage image(kUsbPictureWidth, kUsbPictureHeight, QImage::Format_RGB32);
    image.fill(kDialogFace);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawShadow(painter);
    DrawCable(painter);
    DrawPlug(painter);
    DrawTransmitter(painter);
    return image;
}
