#include "pickup/ui/PickupRecordTool.h"

#include "common/FilePaths.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "pickup/ui/FrmPickupRecord.h"

namespace kuji {

PickupRecordTool::PickupRecordTool(
    MainWindowPort& main, Platform& platform, const Settings& settings, HelpService& help, QObject* parent)
    : QObject(parent)
    , m_main(main)
    , m_platform(platform)
    , m_settings(settings)
    , m_help(help)
{
}

PickupRecordTool::~PickupRecordTool()
{
    delete m_window.data();
}

FrmPickupRecord* PickupRecordTool::window() const
{
    return m_window.data();
}

void PickupRecordTool::open()
{
    if (m_window) {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    if (!m_main.isFileMode() || m_main.isBusy())
        return;

    // Only a file the work list was read from is offered, never a transfer's label.
    const QString entryFile = m_main.currentEntryFile();
    bool load = false;
    if (myFileExists(entryFile.toStdString())) {
        const MessageRequest question {
            QStringLiteral("「くじ丸」で開いているファイルを「Pickup Record」で開きますか？"), QStringLiteral("確認"),
            QMessageBox::Information, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes
        };
        const auto answer = m_platform.showMessage(m_main.mainWidget(), question);
        if (answer == QMessageBox::Cancel)
            return;
        load = answer == QMessageBox::Yes;
    }

    // A window of its own, with its own taskbar entry; it is deleted once closed.
    m_window = new FrmPickupRecord(m_main, m_platform, m_settings, m_help);
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    // Gone as soon as it closes, though deleted only later: the next opening gets a new one.
    connect(m_window, &FrmPickupRecord::closed, this, [this] { m_window = nullptr; });
    m_window->show();
    // It takes the main window's place and its keyboard, with or without a window manager.
    m_window->activateWindow();
    m_main.hideMainWindow();
    // The load shows its progress and its questions in the tool window.
    if (load)
        m_window->readRecordFile(entryFile);
}

} // namespace kuji
