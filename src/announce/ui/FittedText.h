#pragma once

#include <QColor>
#include <QImage>
#include <QTextLayout>
#include <QWidget>

namespace kuji {

// A text as large as its place allows: the largest font at which the text, wrapped to the
// width (between words, or anywhere in a Japanese name), fits the height. A long text wraps,
// then shrinks, and is never cut. Screen readers read the text as the widget's name.
//
// Letters this large are drawn as outlines, not from the glyph cache, which takes
// milliseconds a line; the text is drawn once into an image that every later paint copies.
class FittedText final : public QWidget {
    Q_OBJECT
public:
    FittedText(const char* objectName, QWidget* parent);

    void setText(const QString& text);
    QString text() const { return m_text; }
    // What screen readers say instead of the text, when the text means nothing to them
    // (rolling pictures); empty says the text.
    void setSpokenText(const QString& spoken);
    // The largest font size in pixels, as a share of the height (1.0: a line as high as the place).
    void setLargestShare(double share);
    void setColor(const QColor& color);
    // The colour behind the text, which the widget paints itself; transparent leaves the
    // parent's showing.
    void setBackground(const QColor& color);
    void setBold(bool bold);

    // How the text is laid out now, in the widget's coordinates: for tests and benchmarks.
    int pixelSize() const { return m_pixelSize; }
    int lineCount() const { return m_layout.lineCount(); }
    // Characters the lines hold together: the whole text when nothing is cut.
    int laidOutCharacters() const;
    QRectF textBounds() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    QPointF origin() const;
    void render();
    // Lays the text out at a font size; true when it fits the place.
    bool layOut(int pixelSize, QTextLayout& layout, qreal& height) const;

    QString m_text;
    QString m_spoken;
    QFont m_font;
    QColor m_color = Qt::white;
    QColor m_background = Qt::transparent;
    QImage m_rendered; // null when the text must be drawn again
    double m_largestShare = 1.0;
    int m_pixelSize = 0;
    qreal m_textHeight = 0;
    QTextLayout m_layout;
};

} // namespace kuji
