#include "app/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Sky(189, 222, 242);
const QColor Deep(31, 78, 121);

void paintBackdrop(QPainter& painter, QSize size)
{
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, Sky.lighter(108));
    gradient.setColorAt(1, Sky.darker(118));
    painter.fillRect(QRect(QPoint(), size), gradient);
}

// A key over a shield: the program's mark.
void paintMark(QPainter& painter, const QRectF& area)
{
    const qreal s = area.width() / 64.0;
    painter.save();
    painter.translate(area.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(32 * s, 2 * s);
    shield.lineTo(58 * s, 12 * s);
    shield.cubicTo(58 * s, 40 * s, 46 * s, 54 * s, 32 * s, 62 * s);
    shield.cubicTo(18 * s, 54 * s, 6 * s, 40 * s, 6 * s, 12 * s);
    shield.closeSubpath();
    painter.setPen(QPen(Deep, 2.5 * s));
    painter.setBrush(QColor(62, 125, 181));
    painter.drawPath(shield);
    painter.setPen(QPen(QColor(255, 214, 92), 5 * s, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(32 * s, 22 * s), 8 * s, 8 * s);
    painter.drawLine(QPointF(32 * s, 30 * s), QPointF(32 * s, 50 * s));
    painter.drawLine(QPointF(32 * s, 42 * s), QPointF(39 * s, 42 * s));
    painter.drawLine(QPointF(32 * s, 49 * s), QPointF(38 * s, 49 * s));
    painter.restore();
}

void paintTitle(QPainter& painter, const QRect& area, int pixelSize, const QString& text)
{
    QFont font = painter.font();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Deep);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

namespace Artwork {

QPixmap splashPicture(QSize size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    paintBackdrop(painter, size);
    paintMark(painter, QRectF(40, size.height() / 2.0 - 64, 128, 128));
    paintTitle(painter, QRect(190, size.height() / 2 - 50, size.width() - 200, 60), 44, QStringLiteral("Zantrove"));
    paintTitle(painter, QRect(192, size.height() / 2 + 10, size.width() - 200, 30), 16,
               QStringLiteral("Your private records, locked away"));
    painter.setPen(Deep);
    painter.drawRect(QRect(QPoint(), size).adjusted(0, 0, -1, -1));
    return pixmap;
}

QPixmap aboutPicture(QSize size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    paintBackdrop(painter, size);
    paintMark(painter, QRectF(30, 40, 110, 110));
    paintTitle(painter, QRect(160, 50, size.width() - 170, 50), 36, QStringLiteral("Zantrove 1.1"));
    paintTitle(painter, QRect(162, 100, size.width() - 170, 30), 14, QStringLiteral("A password keeper for your desktop"));
    paintTitle(painter, QRect(152, 256, 225, 41), 13, QStringLiteral("zantrove.org"));
    return pixmap;
}

QPixmap programIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintMark(painter, QRectF(0, 0, size, size));
    return pixmap;
}

} // namespace Artwork
