#pragma once

#include <QIcon>
#include <QStyle>

// A toolbar glyph from the desktop's icon theme, or the style's own icon of
// a similar meaning when the theme has none.
QIcon ThemeGlyph(const QString &themeName, QStyle::StandardPixmap fallback);

// Simple drawn glyphs for the toolbars' tools that have no standard icon.
enum class DrawnGlyph { MoveXY, MoveZ, Rotate, ResetView, SolidSphere, WireSphere, Legend, Record };
QIcon Glyph(DrawnGlyph glyph);
