#include "newstring/ui/NewStringProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <limits>

namespace kuji {

NewStringProgress::NewStringProgress(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraWork"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    lblWork = new QLabel(this);
    lblWork->setObjectName(QStringLiteral("lblWork"));
    prgWork = new QProgressBar(this);
    prgWork->setObjectName(QStringLiteral("prgWork"));
    prgWork->setTextVisible(false);
    prgWork->setAccessibleName(QStringLiteral("進行状況"));
    cmdStop = new QPushButton(QStringLiteral("停止"), this);
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdStop->setAutoDefault(false);
    connect(cmdStop, &QPushButton::clicked, this, &NewStringProgress::stopClicked);
    layout->addWidget(lblWork);
    layout->addWidget(prgWork, 1);
    layout->addWidget(cmdStop);
    hide();
}

void NewStringProgress::begin(const QString& status, qint64 maximum, bool stoppable)
{
    lblWork->setText(status);
    prgWork->setRange(0, static_cast<int>(std::min<qint64>(maximum, std::numeric_limits<int>::max())));
    prgWork->setValue(0);
    cmdStop->setVisible(stoppable);
    cmdStop->setEnabled(stoppable);
    show();
}

void NewStringProgress::setProgress(qint64 value)
{
    if (value <= prgWork->maximum())
        prgWork->setValue(static_cast<int>(value));
}

void NewStringProgress::end()
{
    hide();
}

} // namespace kuji
