#include "common/ui/FrmAbout.h"

#include "common/VersionInfo.h"
#include "common/ui/Platform.h"
#include "common/ui/QtText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kuji {

namespace {

// A button whose caption is an address; "&" would otherwise turn into a mnemonic.
QPushButton* makeAddressButton(const QString& address, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(QString(address).replace(QLatin1Char('&'), QStringLiteral("&&")), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(address);
    return button;
}

} // namespace

FrmAbout::FrmAbout(Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QIcon(QStringLiteral(":/icons/kujimaru.svg")).pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    fraSoftZyoho = new QGroupBox(this);
    fraSoftZyoho->setObjectName(QStringLiteral("fraSoftZyoho"));
    lblVersion = new QLabel(fromStd(currentVersionLine()), fraSoftZyoho);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont versionFont = lblVersion->font();
    versionFont.setBold(true);
    versionFont.setPointSizeF(versionFont.pointSizeF() * 1.2);
    lblVersion->setFont(versionFont);
    lblCopyright = new QLabel(fromStd(kCopyrightLine), fraSoftZyoho);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblKomento = new QLabel(fromStd(kCommentLine), fraSoftZyoho);
    lblKomento->setObjectName(QStringLiteral("lblKomento"));
    for (QLabel* label : { lblVersion, lblCopyright, lblKomento })
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* frameLayout = new QVBoxLayout(fraSoftZyoho);
    frameLayout->addWidget(lblVersion);
    frameLayout->addWidget(lblCopyright);
    frameLayout->addWidget(lblKomento);

    cmdMyHomepage = makeAddressButton(fromStd(kHomePageAddress), "cmdMyHomepage", this);
    cmdMyMail = makeAddressButton(fromStd(kSupportMailAddress), "cmdMyMail", this);
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addWidget(fraSoftZyoho, 1);

    auto* addresses = new QVBoxLayout;
    addresses->addWidget(cmdMyHomepage);
    addresses->addWidget(cmdMyMail);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(addresses);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdMyHomepage, &QPushButton::clicked, this, &FrmAbout::openHomePage);
    connect(cmdMyMail, &QPushButton::clicked, this, &FrmAbout::openMail);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    // The size is known before the window is shown, so the caller can centre it.
    adjustSize();
}

void FrmAbout::centreOver(const QWidget* owner)
{
    if (!owner)
        return;
    const QRect ownerFrame = owner->frameGeometry();
    const QRect ownFrame = frameGeometry();
    move(ownerFrame.left() + ownerFrame.width() / 2 - ownFrame.width() / 2,
        ownerFrame.top() + ownerFrame.height() / 2 - ownFrame.height() / 2);
}

// Whether the desktop managed to open the address is not reported, as the user sees it.
// Without a browser or mail program configured the desktop cannot open the address; the
// user is told so and given the address instead of a click that does nothing.
void FrmAbout::openHomePage()
{
    const QString address = fromStd(kHomePageAddress);
    if (!m_platform.openUrl(address))
        m_platform.showError(
            this, QStringLiteral("Error:ホームページを開くブラウザが設定されていません。\r\n       ") + address);
}

void FrmAbout::openMail()
{
    const QString address = fromStd(kSupportMailAddress);
    if (!m_platform.openUrl(QStringLiteral("mailto:") + address))
        m_platform.showError(
            this, QStringLiteral("Error:メールを送るソフトウェアが設定されていません。\r\n       ") + address);
}

} // namespace kuji
