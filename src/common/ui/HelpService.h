#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

namespace kuji {

class HelpViewer;
class Platform;

// Context numbers of the help topics that windows open directly.
enum HelpTopic : int {
    kHelpTopicMainWindow = 14,
    kHelpTopicPickupRecord = 16,
    kHelpTopicNewString = 18,
    kHelpTopicRecords = 20,
    kHelpTopicAnnounce = 22,
};

// Opens the help for every window of the program. There is one help window; asking for
// help again reuses it, brings it to the front and turns it to the page asked for. Help
// asked for from a modal window (string creation) stays usable while that window is open.
class HelpService final : public QObject {
    Q_OBJECT

public:
    explicit HelpService(Platform& platform, QObject* parent = nullptr);
    ~HelpService() override;

    // The page of a context number; an unknown number gives the contents page.
    static QUrl topicUrl(int contextNumber);

    // Opens the help at its contents page.
    void showContents();
    // Opens the help at the topic with this context number (kHelpTopicMainWindow, ...).
    void showTopic(int contextNumber);
    // Closes every help window this service opened; the program calls it as it ends.
    void closeAll();

    bool isOpen() const;
    // The page the open help window shows, or an empty address when none is open.
    QUrl currentSource() const;
    // The open help window, or nullptr.
    HelpViewer* viewer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const QUrl& url);
    void stayUsableBeside(QWidget* modal);

    Platform& m_platform;
    QPointer<HelpViewer> m_viewer;
    // The modal window that was open when help was asked for, while the help window rides on it.
    QPointer<QWidget> m_modalWindow;
};

} // namespace kuji
