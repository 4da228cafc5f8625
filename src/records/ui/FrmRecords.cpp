#include "records/ui/FrmRecords.h"

#include "common/FilePaths.h"
#include "common/FileReading.h"
#include "common/SafeFileWriter.h"
#include "common/TextSafety.h"
#include "common/ui/CommandTable.h"
#include "common/ui/HelpService.h"
#include "common/ui/LongWork.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "common/ui/ProgressPanel.h"
#include "draw/DrawPlan.h"
#include "records/DrawRecord.h"
#include "records/DrawVerifier.h"
#include "records/RecordStore.h"
#include "records/ui/DrawRecordListModel.h"
#include "records/ui/FrmCommitment.h"
#include "records/ui/RecordsHost.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
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

// A record is shown as it is stored, but one the parser refused may hold anything: each of
// its lines is shown escaped, and a huge file only in part.
constexpr std::size_t kShownRecordBytes = 4 * 1024 * 1024;

QString shownRecordText(const std::string& bytes, bool readable)
{
    const std::string_view head = std::string_view(bytes).substr(0, kShownRecordBytes);
    QString text;
    if (readable) {
        text = QString::fromUtf8(head.data(), static_cast<qsizetype>(head.size()));
    } else {
        std::size_t pos = 0;
        while (pos < head.size()) {
            const std::size_t lf = head.find('\n', pos);
            const std::size_t end = lf == std::string_view::npos ? head.size() : lf;
            text += QString::fromStdString(printableText(head.substr(pos, end - pos))) + QLatin1Char('\n');
            pos = end + 1;
        }
    }
    if (bytes.size() > kShownRecordBytes)
        text += QStringLiteral("\n…（%1 バイトのうち最初の %2 バイトだけを表示しています）")
                    .arg(bytes.size())
                    .arg(kShownRecordBytes);
    return text;
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
    lvwRecords->setMinimumSize(em * 90, fontMetrics().height() * 8);
    txtRecord = new QPlainTextEdit(splitter);
    txtRecord->setObjectName(QStringLiteral("txtRecord"));
    txtRecord->setAccessibleName(QStringLiteral("記録の内容"));
    txtRecord->setReadOnly(true);
    txtRecord->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtRecord->setMinimumHeight(fontMetrics().height() * 8);
    outer->addWidget(splitter, 1);

    // The window's commands, each a button.
    m_commands.add({
        { "actSave", QStringLiteral("保存(&S)…"), {}, nullptr, {}, [this] { save(); } },
        { "actVerify", QStringLiteral("再現確認(&V)"), {}, nullptr, {}, [this] { verify(); } },
        { "actDelete", QStringLiteral("削除(&D)"), {}, nullptr, {}, [this] { remove(); } },
        { "actHelp", QStringLiteral("ヘルプ(&H)"), {}, nullptr, {}, [this] { m_help.showTopic(kHelpTopicRecords); } },
        { "actClose", QStringLiteral("閉じる(&C)"), {}, nullptr, {}, [this] { close(); } },
        { "actCommit", QStringLiteral("公開抽選の予告(&A)…"), {}, nullptr, {}, [this] { commit(); } },
        { "actCommitmentText", QStringLiteral("予告文(&T)…"), {}, nullptr, {}, [this] { showCommitmentText(); } },
        { "actCancelCommitment", QStringLiteral("予告の取り消し(&X)"), {}, nullptr, {},
            [this] { cancelCommitment(); } },
    });
    auto* commands = new QHBoxLayout;
    cmdSave = m_commands.makeButton("cmdSave", "actSave", this);
    cmdVerify = m_commands.makeButton("cmdVerify", "actVerify", this);
    cmdDelete = m_commands.makeButton("cmdDelete", "actDelete", this);
    cmdHelp = m_commands.makeButton("cmdHelp", "actHelp", this);
    cmdClose = m_commands.makeButton("cmdClose", "actClose", this);
    commands->addWidget(cmdSave);
    commands->addWidget(cmdVerify);
    commands->addWidget(cmdDelete);
    commands->addStretch(1);
    commands->addWidget(cmdHelp);
    commands->addWidget(cmdClose);
    outer->addLayout(commands);
    outer->addWidget(createPublicDrawFrame());

    auto* keep = new QHBoxLayout;
    chkKeepRecords
        = new QCheckBox(QStringLiteral("抽選のたびに記録を残す(&K)（公開値を使う抽選の記録はいつも残します）"), this);
    chkKeepRecords->setObjectName(QStringLiteral("chkKeepRecords"));
    chkKeepRecords->setAccessibleName(
        QStringLiteral("抽選のたびに記録を残す（公開値を使う抽選の記録はいつも残します）"));
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
    connect(chkKeepRecords, &QCheckBox::toggled, this, [this](bool on) { m_host.setKeepRecords(on); });
    connect(&m_window.longWork(), &LongWork::runningChanged, this, &FrmRecords::applyState);

    chkKeepRecords->setChecked(m_host.keepRecords());
    showCommitment();
    refresh(true);
    resize(sizeHint());
}

QWidget* FrmRecords::createPublicDrawFrame()
{
    auto* box = new QGroupBox(QStringLiteral("公開抽選"), this);
    box->setObjectName(QStringLiteral("fraPublicDraw"));
    auto* layout = new QGridLayout(box);
    lblCommitment = new QLabel(box);
    lblCommitment->setObjectName(QStringLiteral("lblCommitment"));
    lblCommitment->setTextFormat(Qt::PlainText);
    lblCommitment->setWordWrap(true);
    lblCommitment->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdCommit = m_commands.makeButton("cmdCommit", "actCommit", box);
    cmdCommitmentText = m_commands.makeButton("cmdCommitmentText", "actCommitmentText", box);
    cmdCancelCommitment = m_commands.makeButton("cmdCancelCommitment", "actCancelCommitment", box);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCommit);
    buttons->addWidget(cmdCommitmentText);
    buttons->addWidget(cmdCancelCommitment);
    buttons->addStretch(1);
    lblPublicValue = new QLabel(QStringLiteral("公開値(&P)"), box);
    lblPublicValue->setObjectName(QStringLiteral("lblPublicValue"));
    txtPublicValue = new QLineEdit(box);
    txtPublicValue->setObjectName(QStringLiteral("txtPublicValue"));
    txtPublicValue->setAccessibleName(QStringLiteral("公開値"));
    txtPublicValue->setClearButtonEnabled(true);
    lblPublicValue->setBuddy(txtPublicValue);
    lblPublicNote = new QLabel(
        QStringLiteral(
            "公開値を使う抽選は、まず「公開抽選の予告」でモード・設定・エントリーと、使う公開値（どこで、いつ、"
            "どんな書き方で発表される値か）を決めて予告文を公開します。公開値が発表されたらここに入力し、予告どおりの"
            "設定で［開始］します。結果は公開値と予告から計算されるので、公開値が出るまでは主催者を含めだれにも分からず"
            "、"
            "後からだれでも同じ結果を確かめられます。名簿に全員が入っていることは、予告を公開したときの主催者の約束です"
            "。"),
        box);
    lblPublicNote->setObjectName(QStringLiteral("lblPublicNote"));
    lblPublicNote->setWordWrap(true);
    layout->addWidget(lblCommitment, 0, 0, 1, 2);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->addWidget(lblPublicValue, 2, 0);
    layout->addWidget(txtPublicValue, 2, 1);
    layout->addWidget(lblPublicNote, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(txtPublicValue, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != m_host.publicValue())
            m_host.setPublicValue(text);
    });
    return box;
}

void FrmRecords::refresh(bool selectNewest)
{
    const QString chosen = selectedPath();
    m_model->reload(m_host.recordStore());
    for (int row = 0; row < m_model->rowCount(); ++row)
        lvwRecords->setFirstColumnSpanned(row, {}, m_model->isNote(row));
    for (int column = 0; column < DrawRecordListModel::FirstResultsColumn; ++column)
        lvwRecords->resizeColumnToContents(column);
    int row = selectNewest || chosen.isEmpty() ? -1 : m_model->rowOf(chosen);
    for (int r = 0; row < 0 && r < m_model->rowCount(); ++r)
        if (!m_model->isNote(r))
            row = r;
    if (row >= 0)
        lvwRecords->setCurrentIndex(m_model->index(row, 0));
    showSelected();
    applyState();
}

void FrmRecords::showCommitment()
{
    const std::optional<Commitment>& commitment = m_host.commitment();
    if (commitment) {
        lblCommitment->setText(QStringLiteral("予告番号: ")
            + QString::fromStdString(formatCommitmentNumber(commitmentNumber(*commitment)))
            + QStringLiteral("\n予告の日時: ") + QString::fromStdString(printableText(commitment->dateTime))
            + QStringLiteral("\n公開値の説明: ") + QString::fromStdString(printableText(commitment->description)));
    } else {
        lblCommitment->setText(QStringLiteral("予告はありません。公開値を使う抽選には、先に予告が要ります。"));
    }
    lblCommitment->setAccessibleName(lblCommitment->text());
    if (txtPublicValue->text() != m_host.publicValue())
        txtPublicValue->setText(m_host.publicValue());
    applyState();
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
    const RecordSummary* summary = m_model->summaryAt(lvwRecords->currentIndex().row());
    txtRecord->setPlainText(shownRecordText(bytes, summary && summary->readable));
}

void FrmRecords::applyState()
{
    // The main window's long work (a draw, a read, a check) takes the runner that 再現確認
    // needs; meanwhile nothing here changes the records or the next draw.
    const bool busy = m_working || m_window.longWork().isRunning();
    const bool chosen = !selectedPath().isEmpty();
    const bool committed = m_host.commitment().has_value();
    for (const char* command : { "actSave", "actVerify", "actDelete" })
        m_commands[command]->setEnabled(!busy && chosen);
    m_commands["actCommit"]->setEnabled(!busy);
    m_commands["actCommitmentText"]->setEnabled(!busy && committed);
    m_commands["actCancelCommitment"]->setEnabled(!busy && committed);
    // A public value belongs to a commitment: none can be typed without one.
    txtPublicValue->setEnabled(!busy && committed);
    lblPublicValue->setEnabled(committed);
    chkKeepRecords->setEnabled(!busy);
    lvwRecords->setEnabled(!m_working);
}

void FrmRecords::closeEvent(QCloseEvent* event)
{
    // Work in progress reports to this window: it stays until the work ends.
    if (m_working) {
        m_platform.beep();
        event->ignore();
        return;
    }
    event->accept();
}

bool FrmRecords::ask(const QString& text)
{
    return m_platform.showMessage(this,
               { text, QStringLiteral("くじ丸"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                   QMessageBox::No })
        == QMessageBox::Yes;
}

void FrmRecords::reportWriteError(const std::string& text)
{
    m_platform.showMessage(this,
        { QString::fromStdString(text), QStringLiteral("くじ丸"), QMessageBox::Warning, QMessageBox::Ok,
            QMessageBox::Ok });
}

// 保存 offers a copy for publication: the entry file's place cut to its name, and the entries
// copy beside it only when asked for. The record's own file is never changed.
void FrmRecords::save()
{
    const QString source = selectedPath();
    if (source.isEmpty())
        return;
    const std::string sourcePath = source.toStdString();
    std::string record;
    ErrorInfo err;
    if (!readFileBytes(sourcePath, record, err))
        return reportWriteError(formatWriteErrorText(err));
    DrawRecord parsed;
    std::string problem;
    const bool readable = parseDrawRecord(record, parsed, problem, 0);
    std::string copyPath = RecordStore::legacyCopyPath(sourcePath);
    if (!myFileExists(copyPath))
        copyPath = readable && parsed.entriesCopy == EntriesCopyState::Kept
            ? RecordStore::sharedCopyPath(sourcePath, parsed.workList)
            : std::string();
    if (!myFileExists(copyPath))
        copyPath.clear();

    QDialog options(this);
    options.setObjectName(QStringLiteral("frmRecordSave"));
    options.setWindowTitle(QStringLiteral("抽選記録の保存"));
    auto* layout = new QVBoxLayout(&options);
    auto* chkNameOnly = new QCheckBox(QStringLiteral("ファイルの場所を名前だけにする(&N)（公開用）"), &options);
    chkNameOnly->setObjectName(QStringLiteral("chkNameOnly"));
    chkNameOnly->setAccessibleName(QStringLiteral("ファイルの場所を名前だけにする（公開用）"));
    chkNameOnly->setChecked(true);
    chkNameOnly->setEnabled(readable && parsed.sourceIsFile);
    auto* chkWithEntries
        = new QCheckBox(QStringLiteral("エントリーの写しも保存する(&E)（名簿のすべての列が入ります）"), &options);
    chkWithEntries->setObjectName(QStringLiteral("chkWithEntries"));
    chkWithEntries->setAccessibleName(QStringLiteral("エントリーの写しも保存する（名簿のすべての列が入ります）"));
    chkWithEntries->setEnabled(!copyPath.empty());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &options);
    layout->addWidget(chkNameOnly);
    layout->addWidget(chkWithEntries);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &options, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &options, &QDialog::reject);
    if (m_platform.execModal(options) != QDialog::Accepted)
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
    if (chkNameOnly->isEnabled() && chkNameOnly->isChecked())
        record = withFileNameOnly(record);
    bool saved = writeFileSafely(target.toStdString(), record, err);
    if (saved && chkWithEntries->isEnabled() && chkWithEntries->isChecked()) {
        std::string copy;
        saved = readFileBytes(copyPath, copy, err)
            && writeFileSafely(RecordStore::legacyCopyPath(target.toStdString()), copy, err);
    }
    if (!saved)
        reportWriteError(formatWriteErrorText(err));
}

void FrmRecords::verify()
{
    const QString path = selectedPath();
    if (path.isEmpty() || m_window.longWork().isRunning())
        return;
    auto verifier = std::make_shared<DrawVerifier>(path.toStdString());
    if (verifier->entriesMissing()) {
        // Neither a copy nor a usable file the record names: the user may know where it went.
        FileDialogRequest request;
        request.caption = QStringLiteral("抽選に使ったファイルを選んでください");
        request.folder = QFileInfo(QString::fromStdString(verifier->recordedSource())).absolutePath();
        request.filter = QStringLiteral("すべてのファイル (*)");
        const QString chosen = m_platform.getOpenFileName(this, request);
        if (chosen.isEmpty())
            return;
        verifier = std::make_shared<DrawVerifier>(path.toStdString(), chosen.toStdString());
    }
    m_working = true;
    m_window.setCommandState(false);
    ProgressPanel& progress = m_window.progressPanel();
    progress.begin(QStringLiteral("再現確認中..."), verifier->total(), true);
    LongWork::Task task;
    task.step = [verifier](LongWork::Clock::time_point deadline) { return verifier->step(deadline); };
    task.progress = [&progress, verifier] { progress.setProgress(verifier->drawn()); };
    task.finished = [this, verifier](bool stopped) {
        m_window.progressPanel().end();
        m_window.setCommandState(true);
        m_window.refreshStartAvailability();
        m_working = false;
        applyState();
        VerificationReport report = verifier->report();
        if (stopped) {
            report = {};
            report.lines.push_back("再現確認を途中で止めました。");
        }
        reportVerification(report);
    };
    m_window.longWork().start(std::move(task));
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
    if (!ask(QStringLiteral("選んだ抽選記録を削除します。よろしいですか？\n"
                            "削除した記録は、記録の通し番号の抜けとして一覧に残ります。")))
        return;
    ErrorInfo err;
    if (!m_host.recordStore().remove(path.toStdString(), err))
        reportWriteError(formatWriteErrorText(err));
    const int row = lvwRecords->currentIndex().row();
    refresh();
    if (m_model->rowCount() > 0 && selectedPath().isEmpty()) {
        const int near = std::min(row, m_model->rowCount() - 1);
        lvwRecords->setCurrentIndex(m_model->index(near, 0));
    }
    showSelected();
    applyState();
}

// 公開抽選の予告: fixes the mode, the settings and the work list as they stand now.
void FrmRecords::commit()
{
    if (m_window.longWork().isRunning())
        return;
    if (m_host.commitment()
        && !ask(QStringLiteral("いまの予告を取り消して、新しい予告を作りますか？\n"
                               "公開済みの予告を取り消すと、その予告での抽選はできなくなります。")))
        return;
    const MainWindowPort::DrawBoxes boxes = m_window.drawBoxes();
    const bool fileMode = m_window.isFileMode();
    PlannedDraw planned = planFromBoxes({ fileMode, boxes.noDuplicates, boxes.first.toStdString(),
                                            boxes.second.toStdString(), boxes.count.toStdString() },
        m_window.workList());
    if (planned.validation.code != 0) {
        m_platform.showError(this, QString::fromStdString(planned.validation.message));
        return;
    }
    // The work list's digest takes a moment for a long list: the main window's progress shows it.
    auto plan = std::make_shared<DrawPlan>(std::move(planned.plan));
    auto hasher = std::make_shared<WorkListHasher>(fileMode ? plan->entries : nullptr);
    m_working = true;
    m_window.setCommandState(false);
    m_window.progressPanel().begin(QStringLiteral("予告の準備中..."), 0, true);
    LongWork::Task task;
    task.step = [hasher](LongWork::Clock::time_point deadline) { return hasher->step(deadline); };
    task.finished = [this, plan, hasher, fileMode](bool stopped) {
        m_window.progressPanel().end();
        m_window.setCommandState(true);
        m_window.refreshStartAvailability();
        m_working = false;
        applyState();
        if (stopped)
            return;
        const std::uint64_t entries = fileMode && plan->entries ? plan->entries->size() : 0;
        Commitment draft;
        draft.settings = plan->canonical(entries);
        draft.entryCount = entries;
        draft.workList = hasher->digest();
        FrmCommitment dialog(
            m_platform, draft,
            [this](Commitment& made) {
                made.dateTime = currentDateTimeText();
                ErrorInfo err;
                if (!m_host.setCommitment(made, err)) {
                    reportWriteError(formatWriteErrorText(err));
                    return false;
                }
                showCommitment();
                return true;
            },
            this);
        m_platform.execModal(dialog);
    };
    m_window.longWork().start(std::move(task));
    applyState();
}

void FrmRecords::showCommitmentText()
{
    if (!m_host.commitment())
        return;
    FrmCommitment dialog(m_platform, *m_host.commitment(), this);
    m_platform.execModal(dialog);
}

void FrmRecords::cancelCommitment()
{
    if (!m_host.commitment()
        || !ask(QStringLiteral("予告を取り消します。よろしいですか？\n"
                               "公開済みの予告を取り消すと、その予告での抽選はできなくなります。")))
        return;
    ErrorInfo err;
    if (!m_host.clearCommitment(err))
        reportWriteError(formatWriteErrorText(err));
    showCommitment();
}

} // namespace kuji
