#include "records/ui/FrmCommitment.h"

#include "common/ui/CommandTable.h"
#include "common/ui/Platform.h"
#include "entries/ui/ListSaveDialog.h"
#include "printing/ui/FrmPrint.h"
#include "records/CommitmentText.h"

#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStringList>
#include <QVBoxLayout>

namespace kuji {
namespace {

QStringList linesOf(const std::string& text)
{
    QStringList lines = QString::fromStdString(text).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// What a commitment fixes, as the dialog lists it before it is made.
QString fixedSettingsText(const Commitment& c)
{
    const CanonicalSettings& s = c.settings;
    QStringList lines;
    lines << QStringLiteral("モード: ") + QString::fromUtf8(modeLabel(s.fileMode).data())
          << QStringLiteral("ダブり無し: ") + (s.noDuplicates ? QStringLiteral("あり") : QStringLiteral("なし"));
    if (s.fileMode) {
        lines << QStringLiteral("登録数: %1").arg(s.maximum)
              << QStringLiteral("エントリーのSHA-256: ") + QString::fromStdString(toHex(c.workList));
    } else {
        lines << QStringLiteral("最小値: %1").arg(s.minimum) << QStringLiteral("最大値: %1").arg(s.maximum);
    }
    lines << QStringLiteral("抽選数: ") + QString::fromStdString(s.countsText());
    return lines.join(QLatin1Char('\n'));
}

} // namespace

FrmCommitment::FrmCommitment(Platform& platform, const Commitment& draft, Make make, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_commitment(draft)
    , m_make(std::move(make))
{
    build();
    m_pages->setCurrentIndex(0);
    txtDescription->setFocus();
}

FrmCommitment::FrmCommitment(Platform& platform, const Commitment& kept, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_commitment(kept)
{
    build();
    showText();
}

void FrmCommitment::build()
{
    m_commands.add({
        { "actMake", QStringLiteral("予告を作る(&M)"), {}, nullptr, {}, [this] { make(); } },
        { "actCancel", QStringLiteral("キャンセル"), {}, nullptr, {}, [this] { reject(); } },
        { "actSaveText", QStringLiteral("保存(&S)…"), {}, nullptr, {}, [this] { saveText(); } },
        { "actCopy", QStringLiteral("コピー(&C)"), {}, nullptr, {},
            [this] { m_platform.setClipboardText(QString::fromStdString(formatCommitmentText(m_commitment))); } },
        { "actPrint", QStringLiteral("印刷(&P)…"), {}, nullptr, {},
            [this] {
                std::vector<std::string> lines;
                for (const QString& line : linesOf(formatCommitmentText(m_commitment)))
                    lines.push_back(line.toStdString());
                FrmPrint::printTexts(m_platform, this, std::move(lines));
            } },
        { "actClose", QStringLiteral("閉じる"), {}, nullptr, {}, [this] { accept(); } },
    });
    setObjectName(QStringLiteral("frmCommitment"));
    setWindowTitle(QStringLiteral("公開抽選の予告"));
    const int em = fontMetrics().averageCharWidth();
    auto* outer = new QVBoxLayout(this);
    m_pages = new QStackedWidget(this);
    outer->addWidget(m_pages);

    // The first page: what the commitment fixes, and the public value to come.
    auto* makePage = new QWidget(m_pages);
    auto* makeLayout = new QVBoxLayout(makePage);
    auto* intro = new QLabel(
        QStringLiteral("いまのモード・設定・エントリーで、公開値を使う抽選を予告します。予告を作ったら、公開値が"
                       "発表される前に予告文を参加者に公開してください。抽選は、この設定とエントリーのままでなければ"
                       "できません。"),
        makePage);
    intro->setWordWrap(true);
    lblFixed = new QLabel(fixedSettingsText(m_commitment), makePage);
    lblFixed->setObjectName(QStringLiteral("lblFixed"));
    lblFixed->setTextFormat(Qt::PlainText);
    lblFixed->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblFixed->setAccessibleName(lblFixed->text());
    auto* lblDescription = new QLabel(QStringLiteral("公開値の説明(&D)"), makePage);
    txtDescription = new QLineEdit(makePage);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    txtDescription->setAccessibleName(QStringLiteral("公開値の説明"));
    txtDescription->setPlaceholderText(
        QStringLiteral("例: 2026年12月24日 年末ジャンボ 1等 組と番号（例: 12組123456）"));
    txtDescription->setMinimumWidth(em * 60);
    lblDescription->setBuddy(txtDescription);
    auto* hint
        = new QLabel(QStringLiteral("どこで（出どころ）、いつ（日付）発表される、どんな書き方の値かを書いてください。"
                                    "書き方の違い（全角・半角、空白）は抽選に影響しません。"),
            makePage);
    hint->setWordWrap(true);
    auto* makeButtons = new QHBoxLayout;
    cmdMake = m_commands.makeButton("cmdMake", "actMake", makePage);
    cmdMake->setDefault(true);
    m_commands["actMake"]->setEnabled(false);
    auto* cmdCancel = m_commands.makeButton("cmdCancel", "actCancel", makePage);
    makeButtons->addStretch(1);
    makeButtons->addWidget(cmdMake);
    makeButtons->addWidget(cmdCancel);
    makeLayout->addWidget(intro);
    makeLayout->addWidget(lblFixed);
    makeLayout->addWidget(lblDescription);
    makeLayout->addWidget(txtDescription);
    makeLayout->addWidget(hint);
    makeLayout->addStretch(1);
    makeLayout->addLayout(makeButtons);
    m_pages->addWidget(makePage);

    // The second page: the number to read aloud and the text to publish.
    auto* textPage = new QWidget(m_pages);
    auto* textLayout = new QVBoxLayout(textPage);
    auto* numberCaption = new QLabel(QStringLiteral("予告番号"), textPage);
    lblNumber = new QLabel(textPage);
    lblNumber->setObjectName(QStringLiteral("lblNumber"));
    lblNumber->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNumber->setWordWrap(true);
    QFont big = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblNumber->setFont(big);
    txtCommitment = new QPlainTextEdit(textPage);
    txtCommitment->setObjectName(QStringLiteral("txtCommitment"));
    txtCommitment->setAccessibleName(QStringLiteral("予告文"));
    txtCommitment->setReadOnly(true);
    txtCommitment->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtCommitment->setMinimumSize(em * 70, fontMetrics().height() * 14);
    auto* textButtons = new QHBoxLayout;
    cmdSaveText = m_commands.makeButton("cmdSaveText", "actSaveText", textPage);
    cmdCopy = m_commands.makeButton("cmdCopy", "actCopy", textPage);
    cmdPrint = m_commands.makeButton("cmdPrint", "actPrint", textPage);
    auto* cmdClose = m_commands.makeButton("cmdClose", "actClose", textPage);
    textButtons->addWidget(cmdSaveText);
    textButtons->addWidget(cmdCopy);
    textButtons->addWidget(cmdPrint);
    textButtons->addStretch(1);
    textButtons->addWidget(cmdClose);
    textLayout->addWidget(numberCaption);
    textLayout->addWidget(lblNumber);
    textLayout->addWidget(txtCommitment, 1);
    textLayout->addLayout(textButtons);
    m_pages->addWidget(textPage);

    connect(txtDescription, &QLineEdit::textChanged, this,
        [this](const QString& text) { m_commands["actMake"]->setEnabled(!text.trimmed().isEmpty()); });
}

void FrmCommitment::make()
{
    const QString description = txtDescription->text().trimmed();
    if (description.isEmpty() || !m_make)
        return;
    Commitment made = m_commitment;
    made.description = description.toStdString();
    if (!m_make(made))
        return;
    m_commitment = std::move(made);
    showText();
}

void FrmCommitment::showText()
{
    const QString number = QString::fromStdString(formatCommitmentNumber(commitmentNumber(m_commitment)));
    // Two rows of eight groups read aloud more easily than one long line.
    lblNumber->setText(number.left(39) + QLatin1Char('\n') + number.mid(40));
    lblNumber->setAccessibleName(QStringLiteral("予告番号 ") + number);
    txtCommitment->setPlainText(QString::fromStdString(formatCommitmentText(m_commitment)));
    m_pages->setCurrentIndex(1);
    cmdSaveText->setFocus();
}

void FrmCommitment::saveText()
{
    const QStringList lines = linesOf(formatCommitmentText(m_commitment));
    QString day = QString::fromStdString(m_commitment.dateTime.substr(0, 10));
    ListSaveDialog::save(m_platform, this,
        QDir::homePath() + QStringLiteral("/公開抽選の予告-") + day + QStringLiteral(".txt"),
        static_cast<std::size_t>(lines.size()),
        [&lines](std::size_t i) { return lines[static_cast<qsizetype>(i)].toStdString(); });
}

} // namespace kuji
