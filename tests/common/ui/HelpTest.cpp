#include "common/ui/HelpService.h"
#include "common/ui/HelpViewer.h"
#include "support/ScriptedPlatform.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>
#include <gtest/gtest.h>

using kuji::HelpService;
using kuji::HelpViewer;
using kuji::test::ScriptedPlatform;

namespace {

const QUrl kContents(QStringLiteral("qrc:/help/index.html"));

QUrl helpUrl(const QString& page)
{
    return kContents.resolved(QUrl(page));
}

QString readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList helpPages()
{
    QStringList pages;
    QDirIterator it(QStringLiteral(":/help"), { QStringLiteral("*.html") }, QDir::Files);
    while (it.hasNext())
        pages << it.next().mid(QStringLiteral(":/help/").size());
    pages.sort();
    return pages;
}

// The anchor names a page offers, as the help window's document sees them.
QSet<QString> anchorNames(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QSet<QString> names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                names.insert(name);
    return names;
}

QStringList attributeValues(const QString& html, const QString& attribute)
{
    QStringList values;
    const QRegularExpression pattern(
        QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(attribute), QRegularExpression::CaseInsensitiveOption);
    for (auto it = pattern.globalMatch(html); it.hasNext();)
        values << it.next().captured(1);
    return values;
}

QTreeWidgetItem* findContentsItem(QTreeWidget* tree, const QUrl& url)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toUrl() == url)
            return *it;
    return nullptr;
}

} // namespace

TEST(HelpService, OpensContentsAndEachTopicInOneWindow)
{
    ScriptedPlatform platform;
    HelpService help(platform);
    EXPECT_FALSE(help.isOpen());
    EXPECT_TRUE(help.currentSource().isEmpty());

    help.showContents();
    ASSERT_TRUE(help.isOpen());
    EXPECT_EQ(help.currentSource(), kContents);
    HelpViewer* viewer = help.viewer();
    EXPECT_EQ(viewer->parent(), nullptr); // not owned by any window of the program
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("くじ丸 ヘルプ"));

    const std::pair<int, const char*> topics[] = { { 14, "main.html" }, { 16, "pickup.html" }, { 18, "newstring.html" },
        { 20, "records.html" }, { 22, "announce.html" } };
    for (const auto& [context, page] : topics) {
        help.showTopic(context);
        EXPECT_EQ(help.currentSource(), helpUrl(QString::fromLatin1(page))) << context;
        EXPECT_EQ(help.viewer(), viewer) << "asking again reuses the open window";
        EXPECT_FALSE(viewer->browser()->toPlainText().isEmpty()) << page;
    }

    // A context number without a page of its own falls back to the contents.
    help.showTopic(99);
    EXPECT_EQ(help.currentSource(), kContents);
}

TEST(HelpService, CloseAllClosesTheWindowAndHelpCanOpenAgain)
{
    ScriptedPlatform platform;
    HelpService help(platform);
    help.showTopic(kuji::kHelpTopicPickupRecord);
    QPointer<HelpViewer> first = help.viewer();

    help.closeAll();
    EXPECT_FALSE(help.isOpen());
    EXPECT_TRUE(first.isNull());
    help.closeAll(); // nothing open: harmless

    help.showTopic(kuji::kHelpTopicNewString);
    EXPECT_TRUE(help.isOpen());
    EXPECT_EQ(help.currentSource(), helpUrl(QStringLiteral("newstring.html")));

    // The user closing the window counts as closed too; the next request opens a fresh one.
    help.viewer()->close();
    EXPECT_FALSE(help.isOpen());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(help.viewer(), nullptr);
    help.showContents();
    EXPECT_TRUE(help.isOpen());
}

TEST(HelpService, MinimisedWindowComesBackForTheNextRequest)
{
    ScriptedPlatform platform;
    HelpService help(platform);
    help.showContents();
    help.viewer()->showMinimized();
    help.showTopic(kuji::kHelpTopicMainWindow);
    EXPECT_FALSE(help.viewer()->isMinimized());
    EXPECT_EQ(help.currentSource(), helpUrl(QStringLiteral("main.html")));
}

// The string creation window is modal and has a help button: the help it opens must take
// clicks while that window stays open, and must outlive it.
TEST(HelpService, HelpOpenedFromAModalWindowStaysUsable)
{
    ScriptedPlatform platform;
    HelpService help(platform);
    QWidget mainWindow;
    mainWindow.show();
    auto* modal = new QDialog(&mainWindow);
    modal->setWindowModality(Qt::ApplicationModal);
    modal->show();
    ASSERT_EQ(QApplication::activeModalWidget(), modal);

    help.showTopic(kuji::kHelpTopicNewString);
    HelpViewer* viewer = help.viewer();
    auto* contents = viewer->findChild<QToolButton*>(QStringLiteral("cmdContents"));
    // A click that goes through the window system, where a blocked window drops it.
    QTest::mouseClick(viewer->windowHandle(), Qt::LeftButton, {}, contents->mapTo(viewer, contents->rect().center()));
    EXPECT_EQ(help.currentSource(), kContents);

    modal->hide();
    EXPECT_EQ(viewer->windowHandle()->transientParent(), nullptr);
    delete modal;
    EXPECT_TRUE(help.isOpen());
    EXPECT_EQ(help.viewer(), viewer);
}

TEST(HelpViewer, BackAndForwardRetraceThePagesShown)
{
    ScriptedPlatform platform;
    HelpViewer viewer(platform);
    auto* back = viewer.findChild<QToolButton*>(QStringLiteral("cmdBack"));
    auto* forward = viewer.findChild<QToolButton*>(QStringLiteral("cmdForward"));
    ASSERT_TRUE(back && forward);

    viewer.showPage(kContents);
    EXPECT_FALSE(back->isEnabled());
    viewer.showPage(helpUrl(QStringLiteral("main.html")));
    viewer.showPage(helpUrl(QStringLiteral("pickup.html")));
    ASSERT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    back->click();
    EXPECT_EQ(viewer.source(), helpUrl(QStringLiteral("main.html")));
    back->click();
    EXPECT_EQ(viewer.source(), kContents);
    EXPECT_FALSE(back->isEnabled());
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(viewer.source(), helpUrl(QStringLiteral("main.html")));

    viewer.findChild<QToolButton*>(QStringLiteral("cmdContents"))->click();
    EXPECT_EQ(viewer.source(), kContents);
}

TEST(HelpViewer, ContentsTreeFollowsThePageAndOpensPages)
{
    ScriptedPlatform platform;
    HelpViewer viewer(platform);
    QTreeWidget* tree = viewer.contentsTree();
    viewer.showPage(kContents);

    // Every topic page and every page of the contents list has an entry.
    for (const char* page : { "main.html", "pickup.html", "newstring.html", "conditions.html" })
        EXPECT_NE(findContentsItem(tree, helpUrl(QString::fromLatin1(page))), nullptr) << page;

    QTreeWidgetItem* pickup = findContentsItem(tree, helpUrl(QStringLiteral("pickup.html")));
    ASSERT_NE(pickup, nullptr);
    tree->setCurrentItem(pickup);
    EXPECT_EQ(viewer.source(), helpUrl(QStringLiteral("pickup.html")));

    // Following a link elsewhere moves the tree's selection to that page's entry.
    viewer.showPage(helpUrl(QStringLiteral("newstring.html")));
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->data(0, Qt::UserRole).toUrl(), helpUrl(QStringLiteral("newstring.html")));
    EXPECT_EQ(viewer.source(), helpUrl(QStringLiteral("newstring.html")));
}

TEST(HelpViewer, LinksOutsideTheHelpGoThroughThePlatform)
{
    ScriptedPlatform platform;
    HelpViewer viewer(platform);
    viewer.showPage(helpUrl(QStringLiteral("main.html")));

    viewer.followLink(QUrl(QStringLiteral("pickup.html#run")));
    EXPECT_EQ(viewer.source(), helpUrl(QStringLiteral("pickup.html#run")));

    viewer.followLink(QUrl(QStringLiteral("mailto:support@kujimaru.example.org")));
    viewer.followLink(QUrl(QStringLiteral("https://kujimaru.example.org/")));
    viewer.followLink(QUrl(QStringLiteral("file:///bin/sh")));
    EXPECT_EQ(platform.openedUrls,
        QStringList({ QStringLiteral("mailto:support@kujimaru.example.org"),
            QStringLiteral("https://kujimaru.example.org/") }));
    EXPECT_EQ(viewer.source(), helpUrl(QStringLiteral("pickup.html#run")));
}

// Walks every compiled-in page: each is UTF-8 with a title, every link and image inside
// the help resolves to a resource (and an anchor of it), and every page can be reached
// from the contents.
TEST(HelpPages, EveryLinkResolvesAndEveryPageIsReachable)
{
    const QStringList pages = helpPages();
    ASSERT_TRUE(pages.contains(QStringLiteral("index.html")));
    ASSERT_GE(pages.size(), 4);

    QSet<QString> reached { QStringLiteral("index.html") };
    QList<QString> queue { QStringLiteral("index.html") };
    QHash<QString, QSet<QString>> anchorsByPage;
    for (const QString& page : pages)
        anchorsByPage.insert(page, anchorNames(readResource(QStringLiteral(":/help/") + page)));

    for (const QString& page : pages) {
        const QString html = readResource(QStringLiteral(":/help/") + page);
        SCOPED_TRACE(page.toStdString());
        EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">"), Qt::CaseInsensitive));
        EXPECT_FALSE(html.contains(QChar::ReplacementCharacter)) << "not valid UTF-8";
        QTextDocument document;
        document.setHtml(html);
        EXPECT_FALSE(document.metaInformation(QTextDocument::DocumentTitle).trimmed().isEmpty());

        const QUrl base = helpUrl(page);
        for (const QString& value :
            attributeValues(html, QStringLiteral("href")) + attributeValues(html, QStringLiteral("src"))) {
            const QUrl link(value);
            if (link.scheme() == QLatin1String("https") || link.scheme() == QLatin1String("mailto"))
                continue;
            EXPECT_TRUE(link.scheme().isEmpty()) << value.toStdString();
            const QUrl target = base.resolved(link);
            EXPECT_TRUE(QFile::exists(QLatin1Char(':') + target.path())) << "broken link " << value.toStdString();
            const QString targetPage = target.path().section(QLatin1Char('/'), -1);
            if (link.hasFragment()) {
                EXPECT_TRUE(anchorsByPage.value(targetPage).contains(link.fragment()))
                    << "missing anchor " << value.toStdString();
            }
        }
    }

    while (!queue.isEmpty()) {
        const QString page = queue.takeFirst();
        const QString html = readResource(QStringLiteral(":/help/") + page);
        for (const QString& value : attributeValues(html, QStringLiteral("href"))) {
            const QUrl target = helpUrl(page).resolved(QUrl(value));
            if (target.scheme() != QLatin1String("qrc") || !target.path().endsWith(QLatin1String(".html")))
                continue;
            const QString name = target.path().section(QLatin1Char('/'), -1);
            if (!reached.contains(name)) {
                reached.insert(name);
                queue.append(name);
            }
        }
    }
    for (const QString& page : pages)
        EXPECT_TRUE(reached.contains(page)) << page.toStdString() << " cannot be reached from the contents";
}
