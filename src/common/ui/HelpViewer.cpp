#include "common/ui/HelpViewer.h"

#include "common/ui/Platform.h"

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextList>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>

namespace kuji {

namespace {

constexpr int kUrlRole = Qt::UserRole;

QUrl withoutFragment(const QUrl& url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

QString readPage(const QUrl& url)
{
    QFile file(QLatin1Char(':') + url.path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QToolButton* makeButton(const QString& text, const QIcon& icon, const QKeySequence& key, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    if (!key.isEmpty())
        button->setShortcut(key);
    return button;
}

} // namespace

HelpViewer::HelpViewer(Platform& platform)
    : QWidget(nullptr)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("くじ丸 ヘルプ"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kujimaru.svg")));
    setAttribute(Qt::WA_DeleteOnClose);

    cmdBack = makeButton(QStringLiteral("戻る"), style()->standardIcon(QStyle::SP_ArrowBack), QKeySequence::Back, this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdForward = makeButton(
        QStringLiteral("進む"), style()->standardIcon(QStyle::SP_ArrowForward), QKeySequence::Forward, this);
    cmdForward->setObjectName(QStringLiteral("cmdForward"));
    cmdContents = makeButton(QStringLiteral("目次"), QIcon(QStringLiteral(":/icons/help.svg")), {}, this);
    cmdContents->setObjectName(QStringLiteral("cmdContents"));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addWidget(cmdContents);
    buttons->addStretch();

    tvwContents = new QTreeWidget(this);
    tvwContents->setObjectName(QStringLiteral("tvwContents"));
    tvwContents->setHeaderHidden(true);
    tvwContents->setColumnCount(1);

    txtHelpPage = new QTextBrowser(this);
    txtHelpPage->setObjectName(QStringLiteral("txtHelpPage"));
    // Links are followed here, so that addresses outside the help reach the desktop
    // through the platform instead of being loaded as pages.
    txtHelpPage->setOpenLinks(false);
    txtHelpPage->setOpenExternalLinks(false);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(tvwContents);
    splitter->addWidget(txtHelpPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 240, 660 });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    connect(cmdBack, &QToolButton::clicked, txtHelpPage, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, txtHelpPage, &QTextBrowser::forward);
    connect(cmdContents, &QToolButton::clicked, this, [this] { showPage(contentsUrl()); });
    connect(txtHelpPage, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(txtHelpPage, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    connect(txtHelpPage, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(txtHelpPage, &QTextBrowser::sourceChanged, this, &HelpViewer::selectContentsItem);
    connect(tvwContents, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem* current) { openContentsItem(current); });
    connect(tvwContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { openContentsItem(item); });

    buildContents();
    resize(900, 640);
}

QUrl HelpViewer::contentsUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void HelpViewer::showPage(const QUrl& url)
{
    if (url.isEmpty())
        return;
    txtHelpPage->setSource(url);
}

QUrl HelpViewer::source() const
{
    return txtHelpPage->source();
}

void HelpViewer::followLink(const QUrl& link)
{
    const QString scheme = link.scheme();
    if (scheme.isEmpty() || scheme == QLatin1String("qrc")) {
        showPage(txtHelpPage->source().resolved(link));
        return;
    }
    // Only web and mail addresses leave the help; anything else (file:, a program) is ignored.
    if (scheme == QLatin1String("https") || scheme == QLatin1String("http") || scheme == QLatin1String("mailto"))
        m_platform.openUrl(link.toString());
}

void HelpViewer::buildContents()
{
    // The contents page is the one source of the tree: every list item of it that begins with
    // a link is an entry, and the depth of its list is the entry's level.
    auto* home = new QTreeWidgetItem(tvwContents, { QStringLiteral("目次") });
    home->setData(0, kUrlRole, contentsUrl());

    QTextDocument document;
    document.setHtml(readPage(contentsUrl()));
    QList<QTreeWidgetItem*> parents;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList* list = block.textList();
        if (!list)
            continue;
        QString href;
        for (auto it = block.begin(); !it.atEnd() && href.isEmpty(); ++it)
            if (it.fragment().charFormat().isAnchor())
                href = it.fragment().charFormat().anchorHref();
        if (href.isEmpty())
            continue;
        const int level = std::max(1, list->format().indent());
        while (parents.size() >= level)
            parents.removeLast();
        QTreeWidgetItem* item
            = parents.isEmpty() ? new QTreeWidgetItem(tvwContents) : new QTreeWidgetItem(parents.last());
        item->setText(0, block.text().trimmed());
        item->setData(0, kUrlRole, contentsUrl().resolved(QUrl(href)));
        while (parents.size() < level - 1)
            parents.append(item); // a list that skips a level hangs under the last entry
        parents.append(item);
    }
    tvwContents->expandToDepth(0);
}

void HelpViewer::selectContentsItem(const QUrl& url)
{
    QTreeWidgetItem* pageMatch = nullptr;
    QTreeWidgetItem* exactMatch = nullptr;
    for (QTreeWidgetItemIterator it(tvwContents); *it && !exactMatch; ++it) {
        const QUrl itemUrl = (*it)->data(0, kUrlRole).toUrl();
        if (itemUrl == url)
            exactMatch = *it;
        else if (!pageMatch && itemUrl == withoutFragment(url))
            pageMatch = *it;
    }
    QTreeWidgetItem* match = exactMatch ? exactMatch : pageMatch;
    const QSignalBlocker blocker(tvwContents);
    if (match) {
        tvwContents->setCurrentItem(match);
        tvwContents->scrollToItem(match);
    } else {
        tvwContents->clearSelection();
    }
}

void HelpViewer::openContentsItem(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QUrl url = item->data(0, kUrlRole).toUrl();
    if (url != txtHelpPage->source())
        showPage(url);
}

} // namespace kuji
