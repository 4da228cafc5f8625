#include "announce/ui/FittedText.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextOption>

namespace kuji {
namespace {

// Qt draws letters above 64 pixels as outlines on every paint; a big screen shows a few
// letters hundreds of pixels high, and a reveal would spend milliseconds on each. Each such
// letter is drawn once into an image here, in its colour, and copied after that: the digits of
// a number draw and the common letters of names cost one drawing for the whole evening.
class LetterImages {
public:
    static constexpr int kOutlinedAbove = 64;

    struct Letter {
        QImage image;
        QPointF offset; // of the image's corner from the letter's origin
    };

    static LetterImages& shared()
    {
        static LetterImages images;
        return images;
    }

    const Letter& letter(const QRawFont& font, bool bold, quint32 glyph, const QColor& color, qreal ratio)
    {
        const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                                .arg(font.familyName(), font.styleName())
                                .arg(font.pixelSize())
                                .arg(bold)
                                .arg(glyph)
                                .arg(color.rgba())
                                .arg(ratio);
        const auto found = m_letters.constFind(key);
        if (found != m_letters.constEnd())
            return *found;
        // Synthetic bold and antialiasing reach past the outline's box: a margin keeps them.
        const qreal margin = font.pixelSize() * 0.08 + 2;
        const QRectF box = font.boundingRect(glyph).adjusted(-margin, -margin, margin, margin);
        Letter made { QImage((box.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied), box.topLeft() };
        made.image.setDevicePixelRatio(ratio);
        made.image.fill(Qt::transparent);
        QGlyphRun run;
        run.setRawFont(font);
        run.setGlyphIndexes({ glyph });
        run.setPositions({ -box.topLeft() });
        QPainter painter(&made.image);
        painter.setPen(color);
        painter.drawGlyphRun(QPointF(0, 0), run);
        painter.end();
        // Names from a million entries may bring many letters: past the limit, start afresh.
        m_bytes += made.image.sizeInBytes();
        if (m_bytes > kMaxBytes) {
            m_letters.clear();
            m_bytes = made.image.sizeInBytes();
        }
        return *m_letters.insert(key, std::move(made));
    }

private:
    static constexpr qsizetype kMaxBytes = qsizetype { 96 } << 20;

    QHash<QString, Letter> m_letters;
    qsizetype m_bytes = 0;
};

} // namespace

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
    if (color == m_color)
        return;
    m_color = color;
    m_rendered = QImage();
    update();
}

void FittedText::setBackground(const QColor& color)
{
    m_background = color;
    setAttribute(Qt::WA_OpaquePaintEvent, color.alpha() == 255);
    m_rendered = QImage();
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
    m_rendered = QImage();
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

void FittedText::render()
{
    const qreal ratio = devicePixelRatioF();
    m_rendered = QImage(
        size() * ratio, m_background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    m_rendered.setDevicePixelRatio(ratio);
    m_rendered.fill(m_background);
    if (m_layout.lineCount() == 0)
        return;
    QPainter painter(&m_rendered);
    painter.setPen(m_color);
    if (m_pixelSize <= LetterImages::kOutlinedAbove) {
        m_layout.draw(&painter, origin());
        return;
    }
    LetterImages& letters = LetterImages::shared();
    for (const QGlyphRun& run : m_layout.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const LetterImages::Letter& letter
                = letters.letter(run.rawFont(), m_font.bold(), glyphs[i], m_color, m_rendered.devicePixelRatio());
            painter.drawImage(origin() + positions[i] + letter.offset, letter.image);
        }
    }
}

void FittedText::paintEvent(QPaintEvent*)
{
    if (m_rendered.isNull() || m_rendered.size() != size() * devicePixelRatioF())
        render();
    QPainter painter(this);
    painter.drawImage(0, 0, m_rendered);
}

} // namespace kuji
