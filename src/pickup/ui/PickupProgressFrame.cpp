#include "pickup/ui/PickupProgressFrame.h"

#include <QColor>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace kuji {
namespace {

// The bar counts in int; a longer count is scaled down so the bar still moves evenly.
int barUnits(qint64 value, qint64 maximum)
{
    constexpr qint64 limit = std::numeric_limits<int>::max();
    if (maximum <= limit)
        return static_cast<int>(value);
    return static_cast<int>(value / (maximum / limit + 1));
}

} // namespace

PickupProgressFrame::PickupProgressFrame(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraProgressbar"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->addStretch(1);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    QFont pGothic(QStringLiteral("ＭＳ Ｐゴシック"));
    pGothic.setPointSize(11);
    lblStatus->setFont(pGothic);
    layout->addWidget(lblStatus);

    picProgressbar = new QFrame(this);
    picProgressbar->setObjectName(QStringLiteral("picProgressbar"));
    picProgressbar->setFrameShape(QFrame::Panel);
    picProgressbar->setFrameShadow(QFrame::Sunken);
    auto* host = new QVBoxLayout(picProgressbar);
    host->setContentsMargins(picProgressbar->frameWidth(), picProgressbar->frameWidth(), picProgressbar->frameWidth(),
        picProgressbar->frameWidth());
    m_bar = new QProgressBar(picProgressbar);
    m_bar->setObjectName(QStringLiteral("prgPickup"));
    m_bar->setTextVisible(false);
    // A continuous bar, not the segmented kind.
    m_bar->setStyleSheet(QStringLiteral("QProgressBar { border: none; background-color: %1; }"
                                        "QProgressBar::chunk { background-color: %2; margin: 0px; }")
                             .arg(QColor(kBackgroundColour).name(), QColor(kBarColour).name()));
    m_bar->setFixedHeight(lblStatus->fontMetrics().height());
    host->addWidget(m_bar);
    layout->addWidget(picProgressbar);
    layout->addStretch(1);
    lblStatus->setAccessibleName(QStringLiteral("状態"));
    m_bar->setAccessibleName(QStringLiteral("進行状況"));
    hide();
}

void PickupProgressFrame::begin(const QString& status, qint64 maximum)
{
    lblStatus->setText(status);
    m_maximum = std::max<qint64>(maximum, 0);
    m_value = 0;
    m_bar->setRange(0, barUnits(m_maximum, m_maximum));
    m_bar->setValue(0);
    show();
}

void PickupProgressFrame::setValue(qint64 value)
{
    m_value = std::clamp<qint64>(value, 0, m_maximum);
    m_bar->setValue(barUnits(m_value, m_maximum));
}

void PickupProgressFrame::end()
{
    hide();
}

QString PickupProgressFrame::status() const
{
    return lblStatus->text();
}

} // namespace kuji
