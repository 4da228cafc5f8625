#include "announce/ui/FrmAnnounce.h"

#include "announce/ui/AnnounceHost.h"
#include "announce/ui/FittedText.h"
#include "announce/ui/WinnerGrid.h"
#include "common/ui/Platform.h"
#include "common/ui/QtText.h"
#include "entries/ui/ListSaveDialog.h"
#include "printing/ui/FrmPrint.h"

#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kuji {
namespace {

// A picture of the rolling changes this often.
constexpr int kRollFrameMs = 60;
// The most cells the grid shows at once; a larger round shows the page of the winner shown.
constexpr std::size_t kGridCells = 48;

const QColor kBackground(0x0B, 0x0B, 0x14);
const QColor kGold(0xFF, 0xD7, 0x40);
const QColor kAbsentRed(0xFF, 0x70, 0x70);
const QColor kQuiet(0xC8, 0xC8, 0xD0);
// The rolling pictures are dimmer than a winner, so nobody takes one for the result.
const QColor kRolling(0x80, 0x80, 0x98);

HallText hallFor(const AnnounceHost& host, const AnnounceOptions& options)
{
    // Columns and the mask are for the entries of a file; a number is shown as drawn.
    return host.isFileMode() ? HallText(options.columns, options.mask) : HallText();
}

} // namespace

FrmAnnounce::FrmAnnounce(
    Platform& platform, AnnounceHost& host, AnnounceOptions options, bool rollingAllowed, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_host(host)
    , m_options(std::move(options))
    , m_rollingAllowed(rollingAllowed)
    , m_winners(m_sequence, hallFor(host, m_options))
    , m_picker(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()))
{
    setObjectName(QStringLiteral("frmAnnounce"));
    setWindowTitle(QStringLiteral("発表"));
    setAccessibleName(QStringLiteral("発表"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);
    // Only the window's own buttons are dark: a message box over it keeps the desktop's look.
    setStyleSheet(QStringLiteral("QDialog#frmAnnounce { background: %1; }"
                                 "QPushButton[hall=\"true\"] { color: #9a9aa6; background: transparent;"
                                 " border: 1px solid #30303c; padding: 4px 14px; }"
                                 "QPushButton[hall=\"true\"]:disabled { color: #44444c; }")
                      .arg(kBackground.name()));
    m_rollTimer.setInterval(kRollFrameMs);
    connect(&m_rollTimer, &QTimer::timeout, this, &FrmAnnounce::rollTick);

    createCommands();
    createScreen();
    rebuild();
    showCurrent();
}

FrmAnnounce::~FrmAnnounce() = default;

void FrmAnnounce::createCommands()
{
    using K = QKeySequence;
    m_commands.add({
        { "actNext", QStringLiteral("次へ"),
            { K(Qt::Key_Space), K(Qt::Key_Return), K(Qt::Key_Enter), K(Qt::Key_Right), K(Qt::Key_PageDown) }, nullptr,
            {}, [this] { next(); } },
        { "actBack", QStringLiteral("前へ"), { K(Qt::Key_Left), K(Qt::Key_PageUp), K(Qt::Key_Backspace) }, nullptr, {},
            [this] { back(); } },
        { "actFirst", QStringLiteral("最初へ"), { K(Qt::Key_Home) }, nullptr, {}, [this] { jumpTo(0); } },
        { "actLast", QStringLiteral("最後へ"), { K(Qt::Key_End) }, nullptr, {},
            [this] { jumpTo(static_cast<int>(m_sequence.size()) - 1); } },
        { "actGrid", QStringLiteral("一覧(&L)"), { K(Qt::Key_Tab) }, nullptr, {}, [this] { toggleGrid(); } },
        { "actReplace", QStringLiteral("再抽選(&R)"), { K(Qt::Key_R) }, nullptr, {}, [this] { replaceWinner(); } },
        { "actSave", QStringLiteral("保存(&S)"), { K(Qt::CTRL | Qt::Key_S) }, nullptr, {}, [this] { saveList(); } },
        { "actPrint", QStringLiteral("印刷(&P)"), { K(Qt::CTRL | Qt::Key_P) }, nullptr, {}, [this] { printList(); } },
        { "actClose", QStringLiteral("閉じる"), { K(Qt::Key_Escape), K(Qt::Key_F11) }, nullptr, {},
            [this] { accept(); } },
    });
}

void FrmAnnounce::createScreen()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 16, 24, 8);
    m_pages = new QStackedWidget(this);
    m_pages->setAttribute(Qt::WA_TransparentForMouseEvents);
    outer->addWidget(m_pages, 1);

    auto* reveal = new QWidget(m_pages);
    reveal->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* column = new QVBoxLayout(reveal);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    const auto addText = [&](FittedText*& text, const char* name, int stretch, const QColor& color, bool bold) {
        text = new FittedText(name, reveal);
        text->setBackground(kBackground);
        text->setColor(color);
        text->setBold(bold);
        column->addWidget(text, stretch);
    };
    addText(lblTitle, "lblTitle", 2, kGold, true);
    addText(lblWinner, "lblWinner", 6, Qt::white, true);
    addText(lblMark, "lblMark", 1, kAbsentRed, true);
    addText(lblPosition, "lblPosition", 1, kQuiet, false);
    lblTitle->setLargestShare(0.85);
    lblWinner->setLargestShare(0.8);
    lblPosition->setLargestShare(0.7);
    m_pages->addWidget(reveal);
    m_grid = new WinnerGrid(m_pages, kBackground);
    m_pages->addWidget(m_grid);

    // The buttons stay small and out of the keyboard's way: Space and Enter always reveal,
    // and each button has its own key.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (const auto& [name, command] : { std::pair { "cmdGrid", "actGrid" }, { "cmdReplace", "actReplace" },
             { "cmdSave", "actSave" }, { "cmdPrint", "actPrint" }, { "cmdClose", "actClose" } }) {
        QPushButton* button = m_commands.makeButton(name, command, this);
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty("hall", true);
        buttons->addWidget(button);
    }
    outer->addLayout(buttons);
}

void FrmAnnounce::placeOn(QScreen* screen)
{
    if (!screen)
        return;
    setScreen(screen);
    setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);
}

bool FrmAnnounce::isGridShown() const
{
    return m_pages->currentWidget() == m_grid;
}

void FrmAnnounce::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        next();
    event->accept();
}

void FrmAnnounce::rebuild()
{
    m_sequence.build(m_host.results(), m_host, m_options.prizeNames);
}

bool FrmAnnounce::isRevealed(int step) const
{
    const std::uint32_t key = m_sequence.key(static_cast<std::size_t>(step));
    return key < m_revealed.size() && m_revealed[key];
}

void FrmAnnounce::markRevealed(int step)
{
    const std::uint32_t key = m_sequence.key(static_cast<std::size_t>(step));
    if (key >= m_revealed.size())
        m_revealed.resize(static_cast<std::size_t>(key) + 1, false);
    m_revealed[key] = true;
}

// A reveal key while the pictures roll stops them at the winner; otherwise it moves on, with
// the pictures first for a winner the hall has not seen yet.
void FrmAnnounce::next()
{
    if (isRolling()) {
        finishRolling();
        return;
    }
    m_pages->setCurrentWidget(m_pages->widget(0));
    if (m_current + 1 >= static_cast<int>(m_sequence.size())) {
        showCurrent();
        return;
    }
    ++m_current;
    if (!isRevealed(m_current) && canRoll()) {
        startRolling();
        return;
    }
    markRevealed(m_current);
    showCurrent();
}

void FrmAnnounce::back()
{
    stopRolling();
    m_pages->setCurrentWidget(m_pages->widget(0));
    m_current = std::max(-1, m_current - 1);
    showCurrent();
}

void FrmAnnounce::jumpTo(int step)
{
    stopRolling();
    m_pages->setCurrentWidget(m_pages->widget(0));
    if (step >= 0) {
        m_current = step;
        markRevealed(m_current);
    }
    showCurrent();
}

bool FrmAnnounce::canRoll() const
{
    if (!m_rollingAllowed || m_options.rollHalfSeconds <= 0)
        return false;
    if (m_host.isFileMode()) {
        const auto entries = m_host.workList();
        return entries && !entries->empty();
    }
    return m_host.numberRange().has_value();
}

QString FrmAnnounce::rollingPicture()
{
    if (m_host.isFileMode()) {
        const auto entries = m_host.workList();
        if (!entries || entries->empty())
            return {};
        return fromStd(
            m_winners.hall().show(entries->text(m_picker.below(entries->size())), WinnersList::kScreenCharacters));
    }
    const auto range = m_host.numberRange();
    if (!range)
        return {};
    return fromStd(formatDrawnNumber(m_picker.between(range->minimum, range->maximum), range->minimumLength));
}

void FrmAnnounce::startRolling()
{
    showCurrent();
    lblMark->setText(QString());
    lblWinner->setColor(kRolling);
    lblWinner->setSpokenText(QStringLiteral("抽選中"));
    lblWinner->setText(rollingPicture());
    setAccessibleDescription(lblTitle->text() + QStringLiteral("、抽選中、") + lblPosition->text());
    m_commands["actReplace"]->setEnabled(false);
    m_rollClock.start();
    m_rollTimer.start();
}

void FrmAnnounce::rollTick()
{
    if (m_rollClock.elapsed() >= m_options.rollMilliseconds()) {
        finishRolling();
        return;
    }
    lblWinner->setText(rollingPicture());
}

void FrmAnnounce::finishRolling()
{
    stopRolling();
    markRevealed(m_current);
    showCurrent();
}

void FrmAnnounce::stopRolling()
{
    m_rollTimer.stop();
    lblWinner->setSpokenText(QString());
}

void FrmAnnounce::showCurrent()
{
    lblWinner->setColor(Qt::white);
    if (m_current < 0) {
        lblTitle->setText(QStringLiteral("抽選結果の発表"));
        lblWinner->setText(m_sequence.empty() ? QStringLiteral("当選者はいません") : fromStd(m_sequence.title(0)));
        lblMark->setText(QString());
        lblPosition->setText(QStringLiteral("当選者 %1人").arg(m_sequence.size()));
    } else {
        const auto step = static_cast<std::size_t>(m_current);
        const bool absent = m_sequence.isAbsent(step);
        lblTitle->setText(fromStd(m_sequence.title(step)));
        lblWinner->setText(fromStd(m_winners.shown(step)));
        lblMark->setColor(absent ? kAbsentRed : kGold);
        lblMark->setText(absent ? QStringLiteral("欠席")
                                : (m_sequence.step(step).replacement ? QStringLiteral("再抽選") : QString()));
        lblPosition->setText(fromStd(m_sequence.positionText(step)));
    }
    QStringList shown;
    for (const FittedText* text : { lblTitle, lblWinner, lblMark, lblPosition })
        if (!text->text().isEmpty())
            shown << text->text();
    setAccessibleDescription(shown.join(QStringLiteral("、")));
    m_commands["actReplace"]->setEnabled(m_current >= 0 && !m_sequence.isAbsent(static_cast<std::size_t>(m_current)));
    if (isGridShown())
        showGrid();
}

void FrmAnnounce::toggleGrid()
{
    if (isRolling())
        finishRolling();
    if (isGridShown()) {
        m_pages->setCurrentWidget(m_pages->widget(0));
        return;
    }
    if (m_sequence.empty())
        return;
    m_pages->setCurrentWidget(m_grid);
    showGrid();
}

// The round of the winner shown, a page of it when it is large. A winner not yet revealed
// shows as "？", so the grid never gives away who comes next.
void FrmAnnounce::showGrid()
{
    const std::size_t step = static_cast<std::size_t>(std::max(m_current, 0));
    const std::size_t begin = m_sequence.roundBegin(step);
    const std::size_t end = m_sequence.roundEnd(step);
    const std::size_t pageBegin = begin + (step - begin) / kGridCells * kGridCells;
    const std::size_t pageEnd = std::min(end, pageBegin + kGridCells);
    QStringList cells;
    for (std::size_t i = pageBegin; i < pageEnd; ++i) {
        if (!isRevealed(static_cast<int>(i)))
            cells << QStringLiteral("？");
        else
            cells << fromStd(m_winners.shown(i)) + (m_sequence.isAbsent(i) ? QStringLiteral("（欠席）") : QString());
    }
    QString title = fromStd(m_sequence.title(step));
    const std::size_t pages = (end - begin + kGridCells - 1) / kGridCells;
    if (pages > 1)
        title += QStringLiteral("（%1/%2）").arg((pageBegin - begin) / kGridCells + 1).arg(pages);
    m_grid->showCells(title, cells);
    setAccessibleDescription(title + QStringLiteral("、") + cells.join(QStringLiteral("、")));
}

void FrmAnnounce::replaceWinner()
{
    if (isRolling())
        finishRolling();
    if (m_current < 0 || m_sequence.isAbsent(static_cast<std::size_t>(m_current))) {
        m_platform.beep();
        return;
    }
    const auto step = static_cast<std::size_t>(m_current);
    MessageRequest question;
    question.text = QStringLiteral("「%1」（%2）を欠席にして、代わりの当選者を1人抽選しますか？")
                        .arg(fromStd(m_winners.whole(step)), fromStd(m_sequence.positionText(step)));
    question.title = QStringLiteral("再抽選");
    question.icon = QMessageBox::Question;
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.defaultButton = QMessageBox::No;
    if (m_platform.showMessage(this, question) != QMessageBox::Yes)
        return;
    const std::uint32_t key = m_sequence.key(step);
    if (!m_host.drawReplacements({ key }, this))
        return;
    // The replacement now follows the absent winner; the next reveal shows it.
    rebuild();
    m_current = static_cast<int>(m_sequence.indexOfKey(key).value_or(0));
    m_pages->setCurrentWidget(m_pages->widget(0));
    showCurrent();
}

void FrmAnnounce::saveList()
{
    ListSaveDialog::start(m_platform, this, nullptr, QDir::homePath() + QStringLiteral("/当選者一覧.txt"),
        m_sequence.size(), [this](std::size_t step, std::string& scratch) -> std::string_view {
            scratch = m_winners.line(step);
            return scratch;
        });
}

void FrmAnnounce::printList()
{
    FrmPrint::printRows(m_platform, this, m_sequence.size(), [this](std::size_t step) { return m_winners.line(step); });
}

} // namespace kuji
