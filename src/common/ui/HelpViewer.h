#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kuji {

class Platform;

// The help window: the pages compiled in under qrc:/help/, a contents tree built from the
// contents page, and back, forward and contents buttons. It is a window of its own, never
// owned by the window that asked for help, so it stays open while the user works.
class HelpViewer final : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(Platform& platform);

    // The contents page, qrc:/help/index.html.
    static QUrl contentsUrl();

    // Shows a help page (an address inside qrc:/help/, with or without an anchor).
    void showPage(const QUrl& url);
    // The page shown now.
    QUrl source() const;

    QTextBrowser* browser() const { return txtHelpPage; }
    QTreeWidget* contentsTree() const { return tvwContents; }

public slots:
    // Follows a link of a page: help pages open here, web and mail addresses go to the
    // desktop's own programs.
    void followLink(const QUrl& link);

private:
    void buildContents();
    void selectContentsItem(const QUrl& url);
    void openContentsItem(QTreeWidgetItem* item);

    Platform& m_platform;
    QToolButton* cmdBack = nullptr;
    QToolButton* cmdForward = nullptr;
    QToolButton* cmdContents = nullptr;
    QTreeWidget* tvwContents = nullptr;
    QTextBrowser* txtHelpPage = nullptr;
};

} // namespace kuji
