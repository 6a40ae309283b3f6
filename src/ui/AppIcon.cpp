#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vocabrella::ui {
namespace {

QPixmap drawn(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // The balloon behind: what is said.
    QPainterPath balloon;
    balloon.addRoundedRect(QRectF(6, 30, 52, 26), 9, 9);
    balloon.moveTo(16, 55);
    balloon.lineTo(10, 63);
    balloon.lineTo(26, 55);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 245));
    p.drawPath(balloon.simplified());

    // The umbrella: a canopy of three scallops over a hooked handle.
    QPainterPath canopy;
    canopy.moveTo(4, 30);
    canopy.cubicTo(6, 8, 58, 8, 60, 30);
    canopy.quadTo(51, 23, 42, 30);
    canopy.quadTo(32, 23, 22, 30);
    canopy.quadTo(13, 23, 4, 30);
    QLinearGradient shade(0, 8, 0, 30);
    shade.setColorAt(0, QColor(64, 132, 214));
    shade.setColorAt(1, QColor(24, 78, 160));
    p.setBrush(shade);
    p.setPen(QPen(QColor(16, 52, 110), 1.5));
    p.drawPath(canopy);
    p.setPen(QPen(QColor(60, 60, 60), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 14), QPointF(32, 50));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(24, 45, 8, 10), 180 * 16, 180 * 16);
    return pixmap;
}

} // namespace

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(drawn(size));
    return icon;
}

} // namespace vocabrella::ui
