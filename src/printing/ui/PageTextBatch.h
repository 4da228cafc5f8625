#pragma once

#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

class QFont;
class QPaintDevice;
class QPainter;

namespace kuji {

// The lines of a page drawn in as few pieces as the font allows. Every line whose characters
// the font holds goes into one glyph run per page, each glyph placed as the layout says: a
// page of seventy lines costs the printer one text object instead of seventy, which is what
// makes a million lines print in seconds. A line with any other character (one the font lacks,
// which the painter then finds in another font, or a combining mark that needs shaping) is
// drawn as text, as every line was before.
class PageTextBatch {
public:
    // font is the painter's font; device is what it paints on, so the glyphs get its size.
    PageTextBatch(QPainter& painter, const QFont& font, const QPaintDevice& device);

    // A line whose baseline starts at origin (device pixels).
    void add(const QPointF& origin, const QString& text);
    // Draws what has been gathered; call before a new page and at the end.
    void flush();

private:
    bool fits(const QString& text) const;

    QPainter& m_painter;
    QRawFont m_font;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};

} // namespace kuji
