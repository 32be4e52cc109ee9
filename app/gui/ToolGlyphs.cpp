#include "ToolGlyphs.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon ThemeGlyph(const QString &themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(themeName, QApplication::style()->standardIcon(fallback));
}

namespace {

constexpr int GlyphSize = 16;

void DrawArrow(QPainter &painter, QPointF from, QPointF to)
{
    painter.drawLine(from, to);
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to - along * 4 + across * 3);
    head.lineTo(to - along * 4 - across * 3);
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

} // namespace

QIcon Glyph(DrawnGlyph glyph)
{
    QPixmap pixmap(GlyphSize, GlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1.5));
    const QPointF centre(GlyphSize / 2.0, GlyphSize / 2.0);
    switch (glyph) {
    case DrawnGlyph::MoveXY:
        DrawArrow(painter, centre, {1, centre.y()});
        DrawArrow(painter, centre, {GlyphSize - 1.0, centre.y()});
        DrawArrow(painter, centre, {centre.x(), 1});
        DrawArrow(painter, centre, {centre.x(), GlyphSize - 1.0});
        break;
    case DrawnGlyph::MoveZ:
        // Towards and away from the viewer: a diagonal double arrow.
        DrawArrow(painter, centre, {2, GlyphSize - 2.0});
        DrawArrow(painter, centre, {GlyphSize - 2.0, 2});
        break;
    case DrawnGlyph::SolidSphere:
        painter.setBrush(QColor(192, 192, 192));
        painter.drawEllipse(centre, 6.5, 6.5);
        break;
    case DrawnGlyph::WireSphere:
        painter.drawEllipse(centre, 6.5, 6.5);
        painter.drawEllipse(centre, 3, 6.5);
        painter.drawLine(QPointF(1.5, centre.y()), QPointF(GlyphSize - 1.5, centre.y()));
        break;
    }
    return QIcon(pixmap);
}
