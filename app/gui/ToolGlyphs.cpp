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
    case DrawnGlyph::Rotate: {
        // An orbit around a body, with the direction of turning.
        painter.setBrush(QColor(192, 192, 192));
        painter.drawEllipse(centre, 2.5, 2.5);
        painter.setBrush(Qt::NoBrush);
        const QRectF orbit(1.5, 4.5, GlyphSize - 3.0, GlyphSize - 9.0);
        painter.drawArc(orbit, 200 * 16, 300 * 16);
        DrawArrow(painter, {4.5, 5.2}, {2.2, 7.2});
        break;
    }
    case DrawnGlyph::ResetView: {
        // The box framed whole: four corner marks around a cube.
        const double e = GlyphSize - 1.5;
        for (const QPointF corner : {QPointF(1.5, 1.5), QPointF(e, 1.5), QPointF(1.5, e), QPointF(e, e)}) {
            const double sx = corner.x() < centre.x() ? 3 : -3;
            const double sy = corner.y() < centre.y() ? 3 : -3;
            painter.drawLine(corner, corner + QPointF(sx, 0));
            painter.drawLine(corner, corner + QPointF(0, sy));
        }
        const QRectF front(4.5, 6.5, 5, 5);
        painter.drawRect(front);
        painter.drawRect(front.translated(2, -2));
        break;
    }
    case DrawnGlyph::Legend: {
        // Three curve samples, each with its caption.
        const QColor samples[] = {QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255)};
        for (int i = 0; i < 3; ++i) {
            const double y = 3.5 + 4.5 * i;
            painter.setPen(QPen(samples[i], 2));
            painter.drawLine(QPointF(1, y), QPointF(6, y));
            painter.setPen(QPen(QColor(40, 40, 40), 1.5));
            painter.drawLine(QPointF(8, y), QPointF(GlyphSize - 1.0, y));
        }
        break;
    }
    case DrawnGlyph::SolidSphere:
        painter.setBrush(QColor(192, 192, 192));
        painter.drawEllipse(centre, 6.5, 6.5);
        break;
    case DrawnGlyph::Record:
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(204, 0, 0));
        painter.drawEllipse(centre, 5, 5);
        break;
    case DrawnGlyph::WireSphere:
        painter.drawEllipse(centre, 6.5, 6.5);
        painter.drawEllipse(centre, 3, 6.5);
        painter.drawLine(QPointF(1.5, centre.y()), QPointF(GlyphSize - 1.5, centre.y()));
        break;
    }
    return QIcon(pixmap);
}
