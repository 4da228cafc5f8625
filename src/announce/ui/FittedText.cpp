#include "announce/ui/FittedText.h"

#include <QPainter>
#include <QTextOption>

namespace kuji {

FittedText::FittedText(const char* objectName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QLatin1String(objectName));
    // The place decides the size of the text, never the other way round.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    // A click anywhere on the screen belongs to the window (it reveals the next winner).
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_font.setFamilies(
        { QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP") });
    m_layout.setCacheEnabled(true);
}

void FittedText::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(m_spoken.isEmpty() ? m_text : m_spoken);
    relayout();
    update();
}

void FittedText::setSpokenText(const QString& spoken)
{
    m_spoken = spoken;
    setAccessibleName(m_spoken.isEmpty() ? m_text : m_spoken);
}

void FittedText::setLargestShare(double share)
{
    m_largestShare = share;
    relayout();
    update();
}

void FittedText::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void FittedText::setBold(bool bold)
{
    m_font.setBold(bold);
    relayout();
    update();
}

bool FittedText::layOut(int pixelSize, QTextLayout& layout, qreal& height) const
{
    const QRectF place = contentsRect();
    QFont font = m_font;
    font.setPixelSize(pixelSize);
    QString shown = m_text;
    // Line breaks of a multi-line entry stay line breaks.
    shown.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    shown.replace(QLatin1Char('\r'), QChar::LineSeparator);
    layout.setFont(font);
    layout.setText(shown);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    height = 0;
    bool fits = true;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(place.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
        fits = fits && line.naturalTextWidth() <= place.width() + 0.5 && height <= place.height();
    }
    layout.endLayout();
    return fits;
}

// The largest size that fits, found by halving: a size that fits means every smaller one
// does too, give or take a rounding.
void FittedText::relayout()
{
    const QRect place = contentsRect();
    m_pixelSize = 0;
    m_textHeight = 0;
    if (m_text.isEmpty() || place.isEmpty()) {
        m_layout.clearLayout();
        m_layout.setText(QString());
        return;
    }
    int low = 1;
    int high = std::max(1, static_cast<int>(place.height() * m_largestShare));
    qreal height = 0;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (layOut(middle, m_layout, height))
            low = middle;
        else
            high = middle - 1;
    }
    layOut(low, m_layout, m_textHeight);
    m_pixelSize = low;
}

void FittedText::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

int FittedText::laidOutCharacters() const
{
    int characters = 0;
    for (int i = 0; i < m_layout.lineCount(); ++i)
        characters += m_layout.lineAt(i).textLength();
    return characters;
}

// The text stands in the middle of its place.
QPointF FittedText::origin() const
{
    const QRectF place = contentsRect();
    return { place.left(), place.top() + std::max<qreal>(0, (place.height() - m_textHeight) / 2) };
}

QRectF FittedText::textBounds() const
{
    QRectF bounds;
    for (int i = 0; i < m_layout.lineCount(); ++i)
        bounds = bounds.united(m_layout.lineAt(i).naturalTextRect().translated(origin()));
    return bounds;
}

void FittedText::paintEvent(QPaintEvent*)
{
    if (m_layout.lineCount() == 0)
        return;
    QPainter painter(this);
    painter.setPen(m_color);
    m_layout.draw(&painter, origin());
}

} // namespace kuji
