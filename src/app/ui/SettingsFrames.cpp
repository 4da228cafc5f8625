#include "app/ui/SettingsFrames.h"

#include "common/ui/Platform.h"
#include "common/ui/TypedKey.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace kuji {
namespace {

// Designed sizes, in pixels at 15 twips per pixel.
constexpr int kFrameHeight = 89; // 1335 twips: frames are at least this tall
constexpr int kMargin = 8; // 120 twips

const QString kGothic = QStringLiteral("ＭＳ ゴシック");

QFont gothicFont()
{
    QFont gothic(kGothic);
    gothic.setPointSize(9);
    return gothic;
}

std::u32string toU32(const QString& text)
{
    return text.toStdU32String();
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

} // namespace

SettingsFrames::SettingsFrames(Platform& platform, QWidget* parent, QBoxLayout* row)
    : QObject(parent)
    , m_platform(platform)
{
    QFont::insertSubstitution(kGothic, QStringLiteral("IPAGothic"));
    buildModeFrame(parent);
    buildSettingsFrame(parent);
    row->setSpacing(kMargin);
    row->addWidget(fraMode);
    row->addWidget(fraSet, 1);
}

void SettingsFrames::buildModeFrame(QWidget* parent)
{
    fraMode = new QFrame(parent);
    fraMode->setObjectName(QStringLiteral("fraMode"));
    fraMode->setFrameShape(QFrame::StyledPanel);
    // The frames take the size their captions need at the fonts in use.
    fraMode->setMinimumHeight(kFrameHeight);
    fraMode->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(fraMode);
    layout->setContentsMargins(kMargin, 4, 4, 4);
    layout->setSpacing(2);
    optSuji = new QRadioButton(QStringLiteral("数字抽選モード(&N)"), fraMode);
    optSuji->setObjectName(QStringLiteral("optSuji"));
    optYomikomi = new QRadioButton(QStringLiteral("読込抽選モード(&Y)"), fraMode);
    optYomikomi->setObjectName(QStringLiteral("optYomikomi"));
    chkDaburi = new QCheckBox(QStringLiteral("ダブり無し(&D)"), fraMode);
    chkDaburi->setObjectName(QStringLiteral("chkDaburi"));
    for (QWidget* w : std::initializer_list<QWidget*> { optSuji, optYomikomi, chkDaburi }) {
        w->setFont(gothicFont());
        layout->addWidget(w);
    }
    optSuji->setChecked(true);
    // Only a change of mode switches: clicking the mode already chosen keeps what was typed.
    connect(optSuji, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit modeChosen(false);
    });
    connect(optYomikomi, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit modeChosen(true);
    });
    connect(chkDaburi, &QCheckBox::clicked, this, &SettingsFrames::changed);
}

void SettingsFrames::buildSettingsFrame(QWidget* parent)
{
    // Stretches to the right edge.
    fraSet = new QFrame(parent);
    fraSet->setObjectName(QStringLiteral("fraSet"));
    fraSet->setFrameShape(QFrame::StyledPanel);
    fraSet->setMinimumHeight(kFrameHeight);
    fraSet->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* grid = new QGridLayout(fraSet);
    grid->setVerticalSpacing(2);
    const auto makeBox
        = [this](const char* labelName, const QString& caption, const char* boxName, QLabel*& label, QLineEdit*& box) {
              label = new QLabel(caption, fraSet);
              label->setObjectName(QLatin1String(labelName));
              label->setFont(gothicFont());
              box = new QLineEdit(fraSet);
              box->setObjectName(QLatin1String(boxName));
              box->setFont(gothicFont());
              label->setBuddy(box);
              box->installEventFilter(this);
              connect(box, &QLineEdit::textChanged, this, [this, box] { cleanBox(box); });
          };
    makeBox("lblSaisyo", QStringLiteral("最小値(&M)"), "txtSaisyo", lblSaisyo, txtSaisyo);
    makeBox("lblSaidai", QStringLiteral("最大値(&B)"), "txtSaidai", lblSaidai, txtSaidai);
    makeBox("lblTyusen", QStringLiteral("抽選数(&V)"), "txtTyusen", lblTyusen, txtTyusen);
    cmdFile = new QToolButton(fraSet);
    cmdFile->setObjectName(QStringLiteral("cmdFile"));
    cmdFile->setIcon(QIcon(QStringLiteral(":/icons/file.svg")));
    cmdFile->setAutoRaise(true);
    cmdFile->setAccessibleName(QStringLiteral("ファイルを開く"));
    cmdFile->setEnabled(false);
    grid->addWidget(lblSaisyo, 0, 0);
    grid->addWidget(txtSaisyo, 0, 1);
    grid->addWidget(cmdFile, 0, 2);
    grid->addWidget(lblSaidai, 1, 0);
    grid->addWidget(txtSaidai, 1, 1, 1, 2);
    grid->addWidget(lblTyusen, 2, 0);
    grid->addWidget(txtTyusen, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
}

bool SettingsFrames::isFileMode() const
{
    return optYomikomi->isChecked();
}

void SettingsFrames::selectModeQuietly(bool fileMode)
{
    QRadioButton* button = fileMode ? optYomikomi : optSuji;
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

void SettingsFrames::showMode(bool fileMode)
{
    txtSaisyo->setAcceptDrops(fileMode);
    lblSaisyo->setText(fileMode ? QStringLiteral("ファイル") : QStringLiteral("最小値(&M)"));
    setPathBoxLook(txtSaisyo, fileMode);
    cmdFile->setEnabled(fileMode);
    lblSaidai->setText(fileMode ? QStringLiteral("登録数") : QStringLiteral("最大値(&B)"));
    setPathBoxLook(txtSaidai, fileMode);
}

bool SettingsFrames::allFilled() const
{
    return !txtSaisyo->text().isEmpty() && !txtSaidai->text().isEmpty() && !txtTyusen->text().isEmpty();
}

MainWindowPort::DrawBoxes SettingsFrames::boxes() const
{
    return { txtSaisyo->text(), txtSaidai->text(), txtTyusen->text(), chkDaburi->isChecked() };
}

void SettingsFrames::setBoxes(const MainWindowPort::DrawBoxes& boxes, bool fileMode)
{
    if (!fileMode) {
        txtSaisyo->setText(boxes.first);
        txtSaidai->setText(boxes.second);
    }
    txtTyusen->setText(boxes.count);
    chkDaburi->setChecked(boxes.noDuplicates);
}

void SettingsFrames::setEnabled(bool enabled)
{
    fraSet->setEnabled(enabled);
    fraMode->setEnabled(enabled);
}

void SettingsFrames::fitHeights()
{
    for (QFrame* frame : { fraMode, fraSet })
        frame->setMinimumHeight(std::max(kFrameHeight, frame->minimumSizeHint().height()));
}

bool SettingsFrames::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtSaisyo || watched == txtSaidai || watched == txtTyusen)) {
        if (const std::optional<char32_t> typed = typedCharacter(*static_cast<QKeyEvent*>(event))) {
            auto* box = static_cast<QLineEdit*>(watched);
            const BoxKey key = filterBoxKey(boxOf(box), *typed);
            if (!key.accepted) {
                m_platform.beep();
                return true;
            }
            if (key.insert != 0) {
                // A full-width digit goes in as the digit itself.
                box->insert(QString::fromStdU32String(std::u32string(1, key.insert)));
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

SettingsBox SettingsFrames::boxOf(const QLineEdit* box) const
{
    return box == txtSaisyo ? SettingsBox::Saisyo : box == txtSaidai ? SettingsBox::Saidai : SettingsBox::Tyusen;
}

// Every change of a box, typed, pasted or set by the program, is cleaned the same way: a
// paste is cleaned first and measured after, so "10,000,000" becomes 10000000 instead of
// being cut to nine characters and then cleaned into another number.
void SettingsFrames::cleanBox(QLineEdit* box)
{
    if (m_cleaningBox)
        return;
    const QString proposed = box->text();
    const std::u32string text = toU32(proposed);
    const std::size_t caret = toU32(proposed.left(box->cursorPosition())).size();
    QString& previous = m_acceptedBoxText[boxOf(box)];
    const BoxEdit edit = cleanBoxText(boxOf(box), !isFileMode(), toU32(previous), text, caret);
    if (!edit.accepted)
        m_platform.beep();
    const QString cleaned = QString::fromStdU32String(edit.text);
    if (cleaned != proposed) {
        m_cleaningBox = true;
        box->setText(cleaned);
        box->setCursorPosition(static_cast<int>(QString::fromStdU32String(edit.text.substr(0, edit.caret)).size()));
        m_cleaningBox = false;
        if (edit.accepted && box == txtSaidai)
            box->setFocus();
    }
    previous = cleaned;
    emit changed();
}

} // namespace kuji
