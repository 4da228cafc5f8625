#include "records/ui/FrmRecords.h"

#include "common/FileHelpers.h"
#include "common/SafeFileWriter.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "common/ui/Platform.h"
#include "entries/ui/MainWindowPort.h"
#include "records/RecordStore.h"
#include "records/ui/DrawRecordListModel.h"
#include "records/ui/RecordsHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace kuji {
namespace {

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(caption).remove(QRegularExpression(QStringLiteral("\\(&.\\)"))));
    button->setAutoDefault(false);
    return button;
}

} // namespace

FrmRecords::FrmRecords(
    MainWindowPort& window, RecordsHost& host, Platform& platform, HelpService& help, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_window(window)
    , m_host(host)
    , m_platform(platform)
    , m_help(help)
{
    setObjectName(QStringLiteral("frmRecords"));
    setWindowTitle(QStringLiteral("抽選記録"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    const int em = fontMetrics().averageCharWidth();
    auto* outer = new QVBoxLayout(this);

    // The records above, the chosen one's text below; the user may move the line between.
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("splRecords"));
    splitter->setChildrenCollapsible(false);
    m_model = new DrawRecordListModel(this);
    lvwRecords = new QTreeView(splitter);
    lvwRecords->setObjectName(QStringLiteral("lvwRecords"));
    lvwRecords->setAccessibleName(QStringLiteral("抽選記録の一覧"));
    lvwRecords->setModel(m_model);
    lvwRecords->setRootIsDecorated(false);
    lvwRecords->setItemsExpandable(false);
    lvwRecords->setUniformRowHeights(true);
    lvwRecords->setAllColumnsShowFocus(true);
    lvwRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwRecords->header()->setStretchLastSection(true);
    lvwRecords->setMinimumSize(em * 70, fontMetrics().height() * 8);
    txtRecord = new QPlainTextEdit(splitter);
    txtRecord->setObjectName(QStringLiteral("txtRecord"));
    txtRecord->setAccessibleName(QStringLiteral("記録の内容"));
    txtRecord->setReadOnly(true);
    txtRecord->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtRecord->setMinimumHeight(fontMetrics().height() * 8);
    outer->addWidget(splitter, 1);

    auto* commands = new QHBoxLayout;
    cmdSave = makeButton("cmdSave", QStringLiteral("保存(&S)"), this);
    cmdVerify = makeButton("cmdVerify", QStringLiteral("再現確認(&V)"), this);
    cmdDelete = makeButton("cmdDelete", QStringLiteral("削除(&D)"), this);
    cmdHelp = makeButton("cmdHelp", QStringLiteral("ヘルプ(&H)"), this);
    cmdClose = makeButton("cmdClose", QStringLiteral("閉じる(&C)"), this);
    commands->addWidget(cmdSave);
    commands->addWidget(cmdVerify);
    commands->addWidget(cmdDelete);
    commands->addStretch(1);
    commands->addWidget(cmdHelp);
    commands->addWidget(cmdClose);
    outer->addLayout(commands);

    auto* publicBox = new QGroupBox(QStringLiteral("次の抽選の公開値"), this);
    publicBox->setObjectName(QStringLiteral("fraPublicValue"));
    auto* publicLayout = new QGridLayout(publicBox);
    lblPublicValue = new QLabel(QStringLiteral("公開値(&P)"), publicBox);
    lblPublicValue->setObjectName(QStringLiteral("lblPublicValue"));
    txtPublicValue = new QLineEdit(publicBox);
    txtPublicValue->setObjectName(QStringLiteral("txtPublicValue"));
    txtPublicValue->setAccessibleName(QStringLiteral("公開値"));
    txtPublicValue->setClearButtonEnabled(true);
    lblPublicValue->setBuddy(txtPublicValue);
    lblPublicNote = new QLabel(
        QStringLiteral(
            "公開値を入れると、次の抽選1回だけ、結果を決めるシードを公開値・抽選の設定・エントリーから計算します。"
            "抽選の前に「○月○日の△△の当選番号を公開値にします」と知らせておけば、その値が出るまでは主催者を含め"
            "誰にも結果が分からず、後から誰でも同じ結果を再現できます。入れないときは、抽選のたびにコンピューターが"
            "偶然の値を選びます。"),
        publicBox);
    lblPublicNote->setObjectName(QStringLiteral("lblPublicNote"));
    lblPublicNote->setWordWrap(true);
    publicLayout->addWidget(lblPublicValue, 0, 0);
    publicLayout->addWidget(txtPublicValue, 0, 1);
    publicLayout->addWidget(lblPublicNote, 1, 0, 1, 2);
    publicLayout->setColumnStretch(1, 1);
    outer->addWidget(publicBox);

    auto* keep = new QHBoxLayout;
    chkKeepRecords = new QCheckBox(QStringLiteral("抽選のたびに記録を残す(&K)"), this);
    chkKeepRecords->setObjectName(QStringLiteral("chkKeepRecords"));
    chkKeepRecords->setAccessibleName(QStringLiteral("抽選のたびに記録を残す"));
    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblFolder->setText(QStringLiteral("保存場所: ") + QString::fromStdString(m_host.recordStore().folder()));
    lblFolder->setAccessibleName(lblFolder->text());
    keep->addWidget(chkKeepRecords);
    keep->addSpacing(em * 2);
    keep->addWidget(lblFolder, 1);
    outer->addLayout(keep);

    connect(lvwRecords->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        showSelected();
        applyState();
    });
    connect(cmdSave, &QPushButton::clicked, this, &FrmRecords::save);
    connect(cmdVerify, &QPushButton::clicked, this, &FrmRecords::verify);
    connect(cmdDelete, &QPushButton::clicked, this, &FrmRecords::remove);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { m_help.showTopic(kHelpTopicRecords); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(txtPublicValue, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != m_host.publicValue())
            m_host.setPublicValue(text);
    });
    connect(chkKeepRecords, &QCheckBox::toggled, this, [this](bool on) { m_host.setKeepRecords(on); });
    connect(&m_window.longWork(), &LongWork::runningChanged, this, &FrmRecords::applyState);

    chkKeepRecords->setChecked(m_host.keepRecords());
    showPublicValue();
    refresh(true);
    resize(sizeHint());
}

void FrmRecords::refresh(bool selectNewest)
{
    const QString chosen = selectedPath();
    m_model->reload(m_host.recordStore());
    for (int column = 0; column < DrawRecordListModel::FirstResultsColumn; ++column)
        lvwRecords->resizeColumnToContents(column);
    const int row = selectNewest || chosen.isEmpty() ? 0 : std::max(0, m_model->rowOf(chosen));
    if (m_model->rowCount() > 0)
        lvwRecords->setCurrentIndex(m_model->index(row, 0));
    showSelected();
    applyState();
}

void FrmRecords::showPublicValue()
{
    if (txtPublicValue->text() != m_host.publicValue())
        txtPublicValue->setText(m_host.publicValue());
}

QString FrmRecords::selectedPath() const
{
    const QModelIndex current = lvwRecords->currentIndex();
    return current.isValid() ? m_model->pathAt(current.row()) : QString();
}

void FrmRecords::showSelected()
{
    const QString path = selectedPath();
    if (path.isEmpty()) {
        txtRecord->clear();
        return;
    }
    std::string bytes;
    ErrorInfo err;
    if (!readFileBytes(path.toStdString(), bytes, err)) {
        txtRecord->setPlainText(QStringLiteral("記録を読めません: ") + QString::fromStdString(err.description));
        return;
    }
    txtRecord->setPlainText(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void FrmRecords::applyState()
{
    // The main window's long work (a draw, a read, a check) takes the runner that 再現確認
    // needs; meanwhile nothing here changes the records or the next draw.
    const bool busy = m_verifying || m_window.longWork().isRunning();
    const bool chosen = !selectedPath().isEmpty();
    cmdSave->setEnabled(!busy && chosen);
    cmdVerify->setEnabled(!busy && chosen);
    cmdDelete->setEnabled(!busy && chosen);
    txtPublicValue->setEnabled(!busy);
    chkKeepRecords->setEnabled(!busy);
    lvwRecords->setEnabled(!m_verifying);
}

void FrmRecords::closeEvent(QCloseEvent* event)
{
    // A check in progress reports to this window: it stays until the check ends.
    if (m_verifying) {
        m_platform.beep();
        event->ignore();
        return;
    }
    event->accept();
}

// The record is saved byte for byte, with its entries copy beside it under the same name, so
// the saved pair can be checked anywhere.
void FrmRecords::save()
{
    const QString source = selectedPath();
    if (source.isEmpty())
        return;
    FileDialogRequest request;
    request.caption = QStringLiteral("名前を付けて保存");
    request.folder = QDir::homePath();
    request.fileName = QStringLiteral("抽選記録-") + QFileInfo(source).fileName();
    request.filter = QStringLiteral("抽選記録 (*.txt);;すべてのファイル (*)");
    request.confirmOverwrite = true;
    const QString target = m_platform.getSaveFileName(this, request);
    if (target.isEmpty())
        return;

    ErrorInfo err;
    std::string bytes;
    bool saved = readFileBytes(source.toStdString(), bytes, err) && writeFileSafely(target.toStdString(), bytes, err);
    const std::string copy = RecordStore::entriesCopyPath(source.toStdString());
    if (saved && myFileExists(copy)) {
        saved = readFileBytes(copy, bytes, err)
            && writeFileSafely(RecordStore::entriesCopyPath(target.toStdString()), bytes, err);
    }
    if (!saved) {
        m_platform.showMessage(this,
            { QString::fromStdString(formatWriteErrorText(err)), QStringLiteral("くじ丸"), QMessageBox::Warning,
                QMessageBox::Ok, QMessageBox::Ok });
    }
}

void FrmRecords::verify()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    m_verifying = true;
    applyState();
    const bool started = m_host.verifyRecord(path, [this](const VerificationReport& report) {
        m_verifying = false;
        applyState();
        reportVerification(report);
    });
    if (!started)
        m_verifying = false;
    applyState();
}

void FrmRecords::reportVerification(const VerificationReport& report)
{
    const auto icon = report.outcome == VerificationReport::Outcome::Match ? QMessageBox::Information
        : report.outcome == VerificationReport::Outcome::Mismatch          ? QMessageBox::Warning
                                                                           : QMessageBox::Critical;
    m_platform.showMessage(this,
        { QString::fromStdString(report.text()), QStringLiteral("再現確認"), icon, QMessageBox::Ok, QMessageBox::Ok });
}

void FrmRecords::remove()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    const auto answer = m_platform.showMessage(this,
        { QStringLiteral("選んだ抽選記録を削除します。よろしいですか？"), QStringLiteral("くじ丸"),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No });
    if (answer != QMessageBox::Yes)
        return;
    ErrorInfo err;
    if (!m_host.recordStore().remove(path.toStdString(), err)) {
        m_platform.showMessage(this,
            { QString::fromStdString(formatWriteErrorText(err)), QStringLiteral("くじ丸"), QMessageBox::Warning,
                QMessageBox::Ok, QMessageBox::Ok });
    }
    const int row = lvwRecords->currentIndex().row();
    m_model->reload(m_host.recordStore());
    if (m_model->rowCount() > 0)
        lvwRecords->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1), 0));
    showSelected();
    applyState();
}

} // namespace kuji
