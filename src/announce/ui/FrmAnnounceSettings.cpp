#include "announce/ui/FrmAnnounceSettings.h"

#include "announce/HallText.h"
#include "announce/PrizeNames.h"
#include "announce/RevealSequence.h"
#include "announce/ui/AnnounceHost.h"
#include "announce/ui/MotionPreference.h"
#include "common/ui/HelpService.h"
#include "common/ui/Platform.h"
#include "common/ui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace kuji {
namespace {

// The sample of the columns and the mask shows this many characters at most.
constexpr std::size_t kSampleCharacters = 60;

} // namespace

FrmAnnounceSettings::FrmAnnounceSettings(Platform& platform, HelpService& help, const AnnounceHost& host,
    const AnnounceOptions& options, MotionPreference& motion, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_host(host)
    , m_options(options)
{
    setObjectName(QStringLiteral("frmAnnounceSettings"));
    setWindowTitle(QStringLiteral("発表の設定"));
    {
        RevealSequence rounds;
        rounds.build(host.results(), host, {});
        m_drawRounds = rounds.drawRounds();
    }
    const int em = fontMetrics().averageCharWidth();
    auto* outer = new QVBoxLayout(this);
    // The dialog grows and shrinks with the notes, so a warning is never cut.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* form = new QGridLayout;
    outer->addLayout(form);
    int row = 0;
    // A control with its label: the label's caption is the control's name for screen readers.
    const auto addRow = [&](const QString& caption, QWidget* control) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(control);
        control->setAccessibleName(QString(caption).remove(QRegularExpression(QStringLiteral("\\(&.\\)"))));
        form->addWidget(label, row, 0);
        form->addWidget(control, row++, 1);
        return label;
    };
    const auto addNote = [&](QLabel*& note, const char* name) {
        note = new QLabel(this);
        note->setObjectName(QLatin1String(name));
        note->setWordWrap(true);
        note->setTextFormat(Qt::PlainText);
        form->addWidget(note, row++, 1);
    };

    cboScreen = new QComboBox(this);
    cboScreen->setObjectName(QStringLiteral("cboScreen"));
    addRow(QStringLiteral("表示する画面(&D)"), cboScreen);
    fillScreens(fromStd(options.screen));

    txtPrizeNames = new QLineEdit(fromStd(PrizeNames::join(options.prizeNames)), this);
    txtPrizeNames->setObjectName(QStringLiteral("txtPrizeNames"));
    txtPrizeNames->setPlaceholderText(QStringLiteral("例: 特賞,1等,2等（抽選の1回目から順に）"));
    txtPrizeNames->setMinimumWidth(em * 48);
    addRow(QStringLiteral("賞の名前(&N)"), txtPrizeNames);
    addNote(lblPrizeWarning, "lblPrizeWarning");

    // The columns and the mask act on the entries of a file; a number is shown as drawn.
    const bool fileMode = host.isFileMode();
    txtColumns = new QLineEdit(fromStd(HallText::columnsText(options.columns)), this);
    txtColumns->setObjectName(QStringLiteral("txtColumns"));
    txtColumns->setPlaceholderText(QStringLiteral("例: 1 や 1,3（空なら行全体）"));
    QLabel* lblColumns = addRow(QStringLiteral("表示する列(&C)"), txtColumns);
    chkMask = new QCheckBox(QStringLiteral("伏せ字にする(&M)（1文字目のほかは＊）"), this);
    chkMask->setObjectName(QStringLiteral("chkMask"));
    chkMask->setChecked(options.mask);
    form->addWidget(chkMask, row++, 1);
    addNote(lblSample, "lblSample");
    for (QWidget* part : { static_cast<QWidget*>(lblColumns), static_cast<QWidget*>(txtColumns),
             static_cast<QWidget*>(chkMask), static_cast<QWidget*>(lblSample) })
        part->setVisible(fileMode);

    spnRoll = new QDoubleSpinBox(this);
    spnRoll->setObjectName(QStringLiteral("spnRoll"));
    spnRoll->setRange(0, Settings::kMaxRollHalfSeconds / 2.0);
    spnRoll->setSingleStep(0.5);
    spnRoll->setDecimals(1);
    spnRoll->setSuffix(QStringLiteral(" 秒"));
    spnRoll->setValue(options.rollHalfSeconds / 2.0);
    addRow(QStringLiteral("決定まで回す(&R)"), spnRoll);
    addNote(lblMotion, "lblMotion");

    m_commands.add({
        { "actOk", QStringLiteral("発表する(&O)"), {}, nullptr, {}, [this] { accept(); } },
        { "actCancel", QStringLiteral("キャンセル"), {}, nullptr, {}, [this] { reject(); } },
        { "actHelp", QStringLiteral("ヘルプ(&H)"), {}, nullptr, {}, [&help] { help.showTopic(kHelpTopicAnnounce); } },
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_commands.makeButton("cmdHelp", "actHelp", this));
    buttons->addStretch(1);
    QPushButton* ok = m_commands.makeButton("cmdOk", "actOk", this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(m_commands.makeButton("cmdCancel", "actCancel", this));
    outer->addLayout(buttons);

    connect(txtPrizeNames, &QLineEdit::textChanged, this, &FrmAnnounceSettings::showPrizeWarning);
    connect(txtColumns, &QLineEdit::textChanged, this, &FrmAnnounceSettings::showSample);
    connect(chkMask, &QCheckBox::toggled, this, &FrmAnnounceSettings::showSample);
    connect(&motion, &MotionPreference::answered, this, &FrmAnnounceSettings::showMotion);
    showPrizeWarning();
    showSample();
    showMotion(motion.reduced());
    txtPrizeNames->setFocus();
}

QScreen* FrmAnnounceSettings::defaultScreen(const QString& lastUsed, const QScreen* mainScreen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        return QGuiApplication::primaryScreen();
    for (QScreen* screen : screens)
        if (screen->name() == lastUsed && screen != mainScreen)
            return screen;
    for (QScreen* screen : screens)
        if (screen != mainScreen)
            return screen;
    return screens.first();
}

void FrmAnnounceSettings::fillScreens(const QString& lastUsed)
{
    const QScreen* mainScreen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QScreen* chosen = defaultScreen(lastUsed, mainScreen);
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QScreen* screen = screens[i];
        QString caption = QStringLiteral("%1: %2（%3×%4）")
                              .arg(i + 1)
                              .arg(screen->name())
                              .arg(screen->geometry().width())
                              .arg(screen->geometry().height());
        if (screen == mainScreen && screens.size() > 1)
            caption += QStringLiteral(" くじ丸の画面");
        cboScreen->addItem(caption, screen->name());
        if (screen == chosen)
            cboScreen->setCurrentIndex(static_cast<int>(i));
    }
}

QScreen* FrmAnnounceSettings::chosenScreen() const
{
    const QString name = cboScreen->currentData().toString();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return QGuiApplication::primaryScreen();
}

void FrmAnnounceSettings::showPrizeWarning()
{
    const PrizeNames names = PrizeNames::parse(toStd(txtPrizeNames->text()));
    const QString warning = fromStd(names.ok() ? prizeCountWarning(names.names.size(), m_drawRounds) : names.error);
    lblPrizeWarning->setText(warning);
    lblPrizeWarning->setAccessibleName(warning);
    lblPrizeWarning->setVisible(!warning.isEmpty());
}

void FrmAnnounceSettings::showSample()
{
    const auto entries = m_host.workList();
    const HallText::Columns columns = HallText::parseColumns(toStd(txtColumns->text()));
    if (!m_host.isFileMode() || !entries || entries->empty() || !columns.ok()) {
        lblSample->setText(columns.ok() ? QString() : fromStd(columns.error));
        return;
    }
    // The first entry of the file, not a winner: the screen in front of the organiser may be
    // the one the hall sees.
    const HallText hall(columns.numbers, chkMask->isChecked());
    lblSample->setText(
        QStringLiteral("表示の例（登録の1件目）: ") + fromStd(hall.show(entries->text(0), kSampleCharacters)));
}

void FrmAnnounceSettings::showMotion(bool reduced)
{
    lblMotion->setText(
        reduced ? QStringLiteral("デスクトップの設定で動きを減らしているため、回さずにすぐ表示します。") : QString());
    lblMotion->setVisible(reduced);
}

void FrmAnnounceSettings::accept()
{
    const PrizeNames names = PrizeNames::parse(toStd(txtPrizeNames->text()));
    if (!names.ok()) {
        m_platform.showError(this, QStringLiteral("Error:") + fromStd(names.error));
        txtPrizeNames->setFocus();
        return;
    }
    const HallText::Columns columns = HallText::parseColumns(toStd(txtColumns->text()));
    if (m_host.isFileMode() && !columns.ok()) {
        m_platform.showError(this, QStringLiteral("Error:") + fromStd(columns.error));
        txtColumns->setFocus();
        return;
    }
    QDialog::accept();
}

AnnounceOptions FrmAnnounceSettings::options() const
{
    AnnounceOptions chosen = m_options;
    chosen.prizeNames = PrizeNames::parse(toStd(txtPrizeNames->text())).names;
    // Number mode leaves the columns and the mask of file mode as they were kept.
    if (m_host.isFileMode()) {
        chosen.columns = HallText::parseColumns(toStd(txtColumns->text())).numbers;
        chosen.mask = chkMask->isChecked();
    }
    chosen.rollHalfSeconds = static_cast<int>(std::lround(spnRoll->value() * 2));
    chosen.screen = toStd(chosenScreen()->name());
    return chosen;
}

} // namespace kuji
