#include "ToolPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void drawCard(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(QColor(50, 50, 50), 1.2));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(4, 8, 24, 16), 2.5, 2.5);
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.drawLine(QPointF(7, 13), QPointF(17, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 60));
    p.drawRect(QRectF(19, 16, 6, 5));
}

void drawArrow(QPainter &p, bool in, const QColor &colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal y = 27;
    if (in) {
        p.drawLine(QPointF(18, y), QPointF(30, y));
        p.drawLine(QPointF(18, y), QPointF(22, y - 3));
        p.drawLine(QPointF(18, y), QPointF(22, y + 3));
    } else {
        p.drawLine(QPointF(18, y), QPointF(30, y));
        p.drawLine(QPointF(30, y), QPointF(26, y - 3));
        p.drawLine(QPointF(30, y), QPointF(26, y + 3));
    }
}

} // namespace

QIcon toolPicture(const QString &name)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (name == QLatin1String("CheckIn_SB")) {
        drawCard(p, QColor(60, 150, 70));
        drawArrow(p, true, QColor(30, 110, 40));
    } else if (name == QLatin1String("GuestContinueIn2_SpeedButton")) {
        drawCard(p, QColor(60, 110, 190));
        p.setPen(QPen(QColor(30, 70, 150), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(16, 20, 12, 10), 30 * 16, 280 * 16);
    } else if (name == QLatin1String("CheckOut2_SB")) {
        drawCard(p, QColor(200, 80, 60));
        drawArrow(p, false, QColor(160, 40, 30));
    } else if (name == QLatin1String("ReadCard2_SpeedButton")) {
        drawCard(p, QColor(230, 170, 40));
        p.setPen(QPen(QColor(60, 60, 60), 2.5));
        p.setBrush(QColor(255, 255, 255, 160));
        p.drawEllipse(QRectF(15, 17, 9, 9));
        p.drawLine(QPointF(23, 25), QPointF(29, 31));
    } else if (name == QLatin1String("ClearCard2_SpeedButton")) {
        drawCard(p, QColor(150, 150, 150));
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 20), QPointF(28, 30));
        p.drawLine(QPointF(28, 20), QPointF(18, 30));
    } else {
        // Quit: an open door.
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(QColor(230, 220, 200));
        p.drawRect(QRectF(8, 3, 16, 26));
        p.setBrush(QColor(120, 80, 40));
        QPainterPath leaf;
        leaf.moveTo(8, 3);
        leaf.lineTo(17, 7);
        leaf.lineTo(17, 31);
        leaf.lineTo(8, 29);
        leaf.closeSubpath();
        p.drawPath(leaf);
    }
    p.end();
    return QIcon(pixmap);
}
