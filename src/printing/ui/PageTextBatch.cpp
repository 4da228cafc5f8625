#include "printing/ui/PageTextBatch.h"

#include <QFont>
#include <QPainter>

namespace kuji {

PageTextBatch::PageTextBatch(QPainter& painter, const QFont& font, const QPaintDevice& device)
    : m_painter(painter)
    , m_font(QRawFont::fromFont(QFont(font, &device)))
{
}

bool PageTextBatch::fits(const QString& text) const
{
    if (!m_font.isValid())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isMark(ch) || !m_font.supportsCharacter(ch))
            return false;
    }
    return true;
}

void PageTextBatch::add(const QPointF& origin, const QString& text)
{
    if (!fits(text)) {
        flush();
        m_painter.drawText(origin, text);
        return;
    }
    const QList<quint32> glyphs = m_font.glyphIndexesForString(text);
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(glyphs);
    QPointF at = origin;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        m_glyphs.append(glyphs[i]);
        m_positions.append(at);
        at.rx() += advances[i].x();
    }
}

void PageTextBatch::flush()
{
    if (m_glyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(m_glyphs);
    run.setPositions(m_positions);
    m_painter.drawGlyphRun(QPointF(0, 0), run);
    m_glyphs.clear();
    m_positions.clear();
}

} // namespace kuji
