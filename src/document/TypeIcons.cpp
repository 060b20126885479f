#include "document/TypeIcons.h"

#include "document/Schema.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <functional>

namespace {

struct Look {
    QColor colour;
    const char* glyph;
};

// Group types: AUTO .. VIP, each a tinted folder with an initial.
constexpr std::array<std::pair<QRgb, const char*>, Schema::GroupIconCount> GroupLooks = {{
    {0x6f8fa8, "A"}, {0xa0703c, "B"}, {0x4f9d4f, "F"}, {0xe08a2c, "L"},
    {0xe3c25a, ""}, {0x3f74c4, "O"}, {0x8e5bb5, "P"}, {0xd4a017, "\u2605"},
}};

// Record types: DEFAULT .. WEB SITE, each a card with a coloured band and a sign.
constexpr std::array<std::pair<QRgb, const char*>, Schema::RecordIconCount> RecordLooks = {{
    {0x8a96a3, "\u2022"}, {0x4f9d4f, "A"}, {0x2e7d5b, "$"}, {0xc05a2c, "C"},
    {0x3f74c4, "V"}, {0x7a5bb5, "@"}, {0x2c8fb5, "D"}, {0xd04848, "E"},
    {0x5a7d2e, "I"}, {0x2c6fb5, "N"}, {0xa0703c, "L"}, {0xd4a017, "\u270E"},
    {0x8e2c48, "P"}, {0x444444, "*"}, {0x1f5fa8, "\u25AC"}, {0x6b4f9d, "#"},
    {0x3c8f8f, "S"}, {0x1f8fd0, "W"},
}};

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawGlyph(QPainter& painter, const QRectF& area, const char* glyph, const QColor& colour)
{
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(area.height() * 0.8));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area, Qt::AlignCenter, QString::fromUtf8(glyph));
}

QPixmap folder(int size, const Look& look)
{
    QPixmap pixmap = canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    QPainterPath shape;
    shape.moveTo(1 * s, 3 * s);
    shape.lineTo(6 * s, 3 * s);
    shape.lineTo(7.5 * s, 4.5 * s);
    shape.lineTo(15 * s, 4.5 * s);
    shape.lineTo(15 * s, 14 * s);
    shape.lineTo(1 * s, 14 * s);
    shape.closeSubpath();
    painter.setPen(QPen(look.colour.darker(150), s));
    painter.setBrush(look.colour);
    painter.drawPath(shape);
    drawGlyph(painter, QRectF(1 * s, 5 * s, 14 * s, 9 * s), look.glyph, Qt::white);
    return pixmap;
}

QPixmap card(int size, const Look& look)
{
    QPixmap pixmap = canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    const QRectF body(1.5 * s, 1.5 * s, 13 * s, 13 * s);
    painter.setPen(QPen(look.colour.darker(140), s));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(body, 2 * s, 2 * s);
    painter.fillRect(QRectF(2 * s, 2 * s, 12 * s, 3.5 * s), look.colour);
    drawGlyph(painter, QRectF(1.5 * s, 5 * s, 13 * s, 9.5 * s), look.glyph, look.colour.darker(120));
    return pixmap;
}

QPixmap root(int size)
{
    QPixmap pixmap = canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    painter.setPen(QPen(QColor(0x2c5f8f), s));
    painter.setBrush(QColor(0x9fc5e8));
    for (int layer = 2; layer >= 0; --layer)
        painter.drawEllipse(QRectF(2 * s, (3 + layer * 4) * s, 12 * s, 5 * s));
    return pixmap;
}

QIcon iconOf(const std::function<QPixmap(int)>& draw)
{
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(draw(size));
    return icon;
}

} // namespace

QList<QIcon> treeIcons()
{
    QList<QIcon> icons;
    for (const auto& [rgb, glyph] : GroupLooks)
        icons << iconOf([&](int size) { return folder(size, {QColor(rgb), glyph}); });
    for (const auto& [rgb, glyph] : RecordLooks)
        icons << iconOf([&](int size) { return card(size, {QColor(rgb), glyph}); });
    icons << iconOf(root);
    return icons;
}
