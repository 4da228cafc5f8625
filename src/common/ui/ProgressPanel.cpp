#include "common/ui/ProgressPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

#include <limits>

namespace kuji {

ProgressPanel::ProgressPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraProgressbar"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->setRowStretch(0, 1);
    layout->setRowStretch(4, 1);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    QFont pGothic(QStringLiteral("ＭＳ Ｐゴシック"));
    pGothic.setPointSize(11);
    lblStatus->setFont(pGothic);
    prgCount = new QProgressBar(this);
    prgCount->setObjectName(QStringLiteral("prgCount"));
    prgCount->setTextVisible(false);
    lblProgressbar = new QLabel(QStringLiteral("0"), this);
    lblProgressbar->setObjectName(QStringLiteral("lblProgressbar"));
    lblProgressbar->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblProgressbarEnd = new QLabel(QStringLiteral("/ 0"), this);
    lblProgressbarEnd->setObjectName(QStringLiteral("lblProgressbarEnd"));
    layout->addWidget(lblStatus, 1, 0, 1, 2);
    layout->addWidget(prgCount, 2, 0, 1, 2);
    layout->addWidget(lblProgressbar, 3, 0);
    layout->addWidget(lblProgressbarEnd, 3, 1);
    hide();
}

void ProgressPanel::begin(const QString& status, qint64 maximum, bool showCounts)
{
    lblStatus->setText(status);
    // The bar counts in int; every count the program runs fits.
    prgCount->setRange(0, static_cast<int>(std::min<qint64>(maximum, std::numeric_limits<int>::max())));
    prgCount->setValue(0);
    m_value = 0;
    lblProgressbar->setText(QStringLiteral("0"));
    lblProgressbarEnd->setText(QStringLiteral("/ ") + QString::number(maximum));
    lblProgressbar->setVisible(showCounts);
    lblProgressbarEnd->setVisible(showCounts);
    if (isHidden()) {
        show();
        emit visibilityChanged(true);
    }
}

void ProgressPanel::setProgress(qint64 value)
{
    m_value = value;
    if (value <= prgCount->maximum())
        prgCount->setValue(static_cast<int>(value));
    if (!lblProgressbar->isHidden())
        lblProgressbar->setText(QString::number(value));
}

void ProgressPanel::end()
{
    if (!isHidden()) {
        hide();
        emit visibilityChanged(false);
    }
}

} // namespace kuji
