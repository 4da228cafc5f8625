#include "common/ui/HelpService.h"

#include "common/ui/HelpViewer.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace kuji {

namespace {

struct TopicPage {
    int contextNumber;
    const char* page;
};

// The pages behind the context numbers that windows ask for.
constexpr TopicPage kTopicPages[] = {
    { kHelpTopicMainWindow, "main.html" },
    { kHelpTopicPickupRecord, "pickup.html" },
    { kHelpTopicNewString, "newstring.html" },
    { kHelpTopicRecords, "records.html" },
    { kHelpTopicAnnounce, "announce.html" },
};

} // namespace

HelpService::HelpService(Platform& platform, QObject* parent)
    : QObject(parent)
    , m_platform(platform)
{
}

HelpService::~HelpService()
{
    closeAll();
}

QUrl HelpService::topicUrl(int contextNumber)
{
    for (const TopicPage& topic : kTopicPages)
        if (topic.contextNumber == contextNumber)
            return HelpViewer::contentsUrl().resolved(QUrl(QString::fromLatin1(topic.page)));
    return HelpViewer::contentsUrl();
}

void HelpService::showContents()
{
    show(HelpViewer::contentsUrl());
}

void HelpService::showTopic(int contextNumber)
{
    show(topicUrl(contextNumber));
}

void HelpService::closeAll()
{
    if (m_modalWindow)
        m_modalWindow->removeEventFilter(this);
    m_modalWindow = nullptr;
    if (!m_viewer)
        return;
    HelpViewer* viewer = m_viewer;
    m_viewer = nullptr;
    viewer->close();
    // Closing only schedules the deletion; at shutdown the event loop may not run again.
    delete viewer;
}

bool HelpService::isOpen() const
{
    return m_viewer && m_viewer->isVisible();
}

HelpViewer* HelpService::viewer() const
{
    return m_viewer.data();
}

QUrl HelpService::currentSource() const
{
    return isOpen() ? m_viewer->source() : QUrl();
}

void HelpService::show(const QUrl& url)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!m_viewer)
        m_viewer = new HelpViewer(m_platform);
    m_viewer->showPage(url);
    if (m_viewer->isMinimized())
        m_viewer->showNormal();
    else
        m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
    stayUsableBeside(modal);
}

// A modal window blocks every other window of the program, the help window included, unless
// that window belongs to it. So while one is open the help window is made its transient
// child: still a window of its own, never closed or deleted with it, but not blocked by it.
// The tie is undone when the modal window goes away.
void HelpService::stayUsableBeside(QWidget* modal)
{
    if (modal == m_viewer)
        modal = nullptr;
    if (m_modalWindow && m_modalWindow != modal)
        m_modalWindow->removeEventFilter(this);
    m_modalWindow = modal;
    QWindow* viewerWindow = m_viewer->windowHandle();
    if (!viewerWindow)
        return;
    viewerWindow->setTransientParent(modal ? modal->windowHandle() : nullptr);
    if (modal)
        modal->installEventFilter(this);
}

bool HelpService::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched == m_modalWindow) {
        watched->removeEventFilter(this);
        m_modalWindow = nullptr;
        if (m_viewer && m_viewer->windowHandle())
            m_viewer->windowHandle()->setTransientParent(nullptr);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kuji
