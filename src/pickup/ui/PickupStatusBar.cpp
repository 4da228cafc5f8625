#include "pickup/ui/PickupStatusBar.h"

#include <QLabel>
#include <QPainter>
#include <QStatusBar>

namespace kuji {
namespace {

constexpr int kMargin = 8;

// A status-bar panel whose text is cut in the middle with "…" when the panel is too narrow,
// so that a long path never widens the window.
class StatusPanel final : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override
    {
        return { fontMetrics().horizontalAdvance(QChar(0x2026)) * 4, QLabel::minimumSizeHint().height() };
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        painter.drawText(
            area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

} // namespace

PickupStatusPanels addPickupStatusPanels(QStatusBar* bar)
{
    bar->setObjectName(QStringLiteral("sbrStatus"));
    bar->setSizeGripEnabled(false);
    const auto panel = [bar](QLabel* label, const char* key, const QString& tip, int stretch) {
        label->setObjectName(QLatin1String(key));
        label->setToolTip(tip);
        label->setAccessibleName(tip);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label, stretch);
        return label;
    };
    PickupStatusPanels panels;
    panels.filePath = panel(new StatusPanel(bar), "S_FilePath", QStringLiteral("Open File"), 1);
    const int countWidth = bar->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 2 * kMargin;
    panels.pickup = panel(new QLabel(QStringLiteral("0"), bar), "S_Pickup", QStringLiteral("Pickup Count"), 0);
    panels.original = panel(new QLabel(QStringLiteral("0"), bar), "S_Original", QStringLiteral("Original Count"), 0);
    for (QLabel* count : { panels.pickup, panels.original }) {
        count->setMinimumWidth(countWidth);
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return panels;
}

} // namespace kuji
