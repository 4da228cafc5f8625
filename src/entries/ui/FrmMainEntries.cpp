// The main window's file mode: switching modes, reading entry files into the work list,
// the recently used files and the reset presets.
#include "app/ui/FrmMain.h"

#include "app/ui/ResultListModel.h"
#include "common/FileHelpers.h"
#include "common/ui/EntryListModel.h"
#include "common/ui/Platform.h"
#include "common/ui/RuntimeErrorBox.h"
#include "entries/EntryReader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeView>

#include <chrono>

namespace kuji {
namespace {

constexpr auto kTimeSlice = std::chrono::milliseconds(15);
constexpr int kUnlimitedLength = 32767;

std::string toStd(const QString& text)
{
    return text.toStdString();
}

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// Path boxes of file mode are read-only and look it.
void setPathBoxLook(QLineEdit* box, bool readOnly)
{
    box->setReadOnly(readOnly);
    QPalette palette = box->palette();
    const QPalette standard = QApplication::palette(box);
    palette.setBrush(QPalette::Base, readOnly ? standard.button() : standard.base());
    box->setPalette(palette);
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

// Selecting a mode from the program (start-up, resets) always applies it, even when the
// button was already selected.
void FrmMain::selectMode(bool fileMode)
{
    QRadioButton* button = fileMode ? optYomikomi : optSuji;
    {
        const QSignalBlocker blocker(button);
        button->setChecked(true);
    }
    switchMode(fileMode);
}

// The two boxes change meaning with the mode; a switch discards entries and results alike.
void FrmMain::switchMode(bool fileMode)
{
    setCommandState(false);
    setCommandState(true);
    txtSaisyo->clear();
    txtSaisyo->setMaxLength(fileMode ? kUnlimitedLength : 9);
    txtSaisyo->setAcceptDrops(fileMode);
    txtSaisyo->setToolTip(QString());
    txtSaidai->clear();
    m_sagyo->clear();
    m_kekka->clear();
    QTreeView* shown = fileMode ? lvwSagyo : lvwKekka;
    (fileMode ? lvwKekka : lvwSagyo)->hide();
    fitTextColumn(shown);
    shown->show();
    lblSaisyo->setText(fileMode ? QStringLiteral("ファイル") : QStringLiteral("最小値(&M)"));
    setPathBoxLook(txtSaisyo, fileMode);
    cmdFile->setEnabled(fileMode);
    lblSaidai->setText(fileMode ? QStringLiteral("登録数") : QStringLiteral("最大値(&B)"));
    setPathBoxLook(txtSaidai, fileMode);
    mnuFileUse->setEnabled(fileMode);
}

void FrmMain::openEntryFile()
{
    const DialogPath start = mySplitDialogPath(toStd(txtSaisyo->text()), toStd(QCoreApplication::applicationDirPath()));
    FileDialogRequest request;
    request.caption = QStringLiteral("開く");
    request.folder = fromStd(start.folder);
    request.fileName = fromStd(start.name);
    request.filter = QStringLiteral("*.csv;*.txt (*.csv *.txt);;全ファイル (*)");
    const QString path = m_platform.getOpenFileName(this, request);
    if (path.isEmpty())
        return;
    myReadEntryFile(path);
}

// Files dropped on the path box in file mode: the first one of the list is read.
bool FrmMain::dropOnSaisyo(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (!isFileMode() || !drop->mimeData()->hasUrls() || m_state.busy()) {
        event->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        const QUrl first = drop->mimeData()->urls().value(0);
        const QString path = first.isLocalFile() ? first.toLocalFile() : QString();
        if (myFileExists(toStd(path)))
            myReadEntryFile(path);
    }
    return true;
}

void FrmMain::myReadEntryFile(const QString& path)
{
    if (path.isEmpty() || m_drawing)
        return;
    setCommandState(false);
    m_drawing = true;

    lblStatus->setText(QStringLiteral("ファイル読み込み中..."));
    lblProgressbar->hide();
    lblProgressbarEnd->hide();
    prgCount->setRange(0, 1);
    prgCount->setValue(0);
    fraProgressbar->show();

    txtSaisyo->setToolTip(QString());
    txtSaidai->clear();
    lvwSagyo->hide();
    lvwKekka->hide();
    m_sagyo->clear();
    m_kekka->clear();
    m_stopRequested = false;
    txtSaisyo->setText(path);

    EntryReader reader;
    ErrorInfo error;
    EntryList rows;
    bool failed = !reader.open(toStd(path), myIsCsvFile(toStd(path)), error);
    if (!failed) {
        prgCount->setRange(0, reader.lineCount());
        for (;;) {
            reader.readSome(rows, std::chrono::steady_clock::now() + kTimeSlice);
            if (reader.linesRead() <= prgCount->maximum())
                prgCount->setValue(reader.linesRead());
            // Stop and repaints get their turn here.
            QCoreApplication::processEvents();
            if (reader.atEnd() || m_stopRequested)
                break;
        }
        if (reader.failed()) {
            failed = true;
            error = reader.error();
        }
    }
    reader.close();

    if (failed || m_stopRequested) {
        // Nothing half-read is left behind: empty list, empty boxes.
        rows = EntryList();
        txtSaisyo->clear();
        txtSaidai->clear();
        if (failed)
            m_runtimeError.set(error.number, error.description);
    } else {
        txtSaisyo->setToolTip(path);
        txtSaidai->setText(QString::number(reader.entries()));
        m_sagyo->setEntries(std::move(rows));
    }
    fitTextColumn(lvwSagyo);
    fitTextColumn(lvwKekka);
    lvwSagyo->show();
    fraProgressbar->hide();
    // A stopped read still counts as used; a file that could not be read does not.
    if (!failed)
        myAddRecentFile(path);

    m_drawing = false;
    setCommandState(true);
    refreshStartAvailability();
    if (m_runtimeError.isPending())
        myShowRuntimeError(m_platform, this, m_runtimeError);
}

void FrmMain::myAddRecentFile(const QString& path)
{
    m_recent.add(toStd(path));
    refreshRecentMenu();
}

void FrmMain::myRemoveRecentFile(const QString& path)
{
    m_recent.remove(toStd(path));
    refreshRecentMenu();
}

void FrmMain::refreshRecentMenu()
{
    const auto& paths = m_recent.paths();
    for (int slot = 1; slot <= 10; ++slot) {
        QAction* item = mnuFileUseItem[slot];
        const bool used = static_cast<std::size_t>(slot) <= paths.size();
        QString caption = used ? fromStd(paths[static_cast<std::size_t>(slot - 1)]) : QString();
        // A path is shown as it is: "&" in it is no mnemonic.
        item->setText(caption.replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(used ? fromStd(paths[static_cast<std::size_t>(slot - 1)]) : QString());
        item->setVisible(used);
        item->setEnabled(used);
    }
    mnuFileUseItem[0]->setVisible(m_recent.placeholderVisible());
}

void FrmMain::openRecentFile(int slot)
{
    const QString path = mnuFileUseItem[slot]->data().toString();
    if (path.isEmpty())
        return;
    if (myFileExists(toStd(path))) {
        myReadEntryFile(path);
        return;
    }
    const MessageRequest question { QStringLiteral("Error:ファイルが存在しません。\r\n\r\n") + path
            + QStringLiteral("\r\n\r\n最近使ったファイルのリストから削除しますか？"),
        QStringLiteral("エラー"), QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No, QMessageBox::No };
    if (m_platform.showMessage(this, question) == QMessageBox::Yes)
        myRemoveRecentFile(path);
}

void FrmMain::resetStandard()
{
    WaitCursor wait;
    // Selecting the mode empties the other boxes and both lists.
    txtTyusen->clear();
    selectMode(m_settings.readMode() == Settings::Mode::File);
    chkDaburi->setChecked(m_settings.readDaburi());
    refreshStartAvailability();
}

void FrmMain::resetCustom()
{
    const Settings::ResetPreset preset = m_settings.readResetPreset();
    {
        WaitCursor wait;
        txtTyusen->clear();
        selectMode(preset.mode == Settings::Mode::File);
        if (preset.mode == Settings::Mode::Number) {
            txtSaisyo->setText(fromStd(preset.minValue));
            txtSaidai->setText(fromStd(preset.maxValue));
        }
    }
    if (preset.mode == Settings::Mode::File) {
        if (myFileExists(preset.file))
            myReadEntryFile(fromStd(preset.file));
        else if (!preset.file.empty())
            m_platform.showError(this, QStringLiteral("Error:ファイルが存在しません。\r\n\r\n") + fromStd(preset.file));
    }
    txtTyusen->setText(fromStd(preset.tyusenValue));
    chkDaburi->setChecked(preset.daburi);
    refreshStartAvailability();
}

void FrmMain::storeCustomReset()
{
    WaitCursor wait;
    Settings::ResetPreset preset;
    preset.mode = isFileMode() ? Settings::Mode::File : Settings::Mode::Number;
    if (isFileMode()) {
        preset.file = toStd(txtSaisyo->text());
    } else {
        preset.minValue = toStd(txtSaisyo->text());
        preset.maxValue = toStd(txtSaidai->text());
    }
    preset.tyusenValue = toStd(txtTyusen->text());
    preset.daburi = chkDaburi->isChecked();
    m_settings.writeResetPreset(preset);
}

} // namespace kuji
