#include "pickup/ui/FrmPickupRecordError.h"

#include "common/ListRows.h"
#include "common/ui/TextEditor.h"
#include "pickup/RecordLoader.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kuji {

FrmPickupRecordError::FrmPickupRecordError(const DataErrorQuestion& question, Fix fix, QWidget* parent)
    : QDialog(parent)
    , m_fix(std::move(fix))
{
    setObjectName(QStringLiteral("frmPickupRecordError"));
    setWindowTitle(QStringLiteral("データエラー"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("正しくないデータが見つかりました。"), this);
    heading->setObjectName(QStringLiteral("lblMessage"));
    layout->addWidget(heading);
    // File names are shown as they are, never as markup.
    lblErrorFile = new QLabel(QString::fromStdString(question.fileLabel()), this);
    lblErrorFile->setObjectName(QStringLiteral("lblErrorFile"));
    lblErrorFile->setTextFormat(Qt::PlainText);
    layout->addWidget(lblErrorFile);
    lblErrorRow = new QLabel(QString::fromStdString(question.rowLabel()), this);
    lblErrorRow->setObjectName(QStringLiteral("lblErrorRow"));
    lblErrorRow->setTextFormat(Qt::PlainText);
    layout->addWidget(lblErrorRow);

    txtData = new TextEditor(this);
    txtData->setObjectName(QStringLiteral("txtData"));
    txtData->setAccessibleName(QStringLiteral("正しくないデータ"));
    txtData->setTabChangesFocus(true);
    if (question.editable) {
        // The lines of a record read over several lines come back joined by CR LF.
        txtData->setPlainText(QString::fromStdString(question.record));
    } else {
        // Too long to edit: a glimpse of it is enough to decide to skip it.
        txtData->setPlainText(QString::fromStdString(listDisplayText(question.record)));
        txtData->setReadOnly(true);
    }
    const QFontMetrics metrics(txtData->font());
    txtData->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * 60, metrics.lineSpacing() * 6);
    layout->addWidget(txtData, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOk = new QPushButton(QStringLiteral("修正(&C)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setEnabled(question.editable);
    cmdOk->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("スキップ(&S)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    cmdCancelAll = new QPushButton(QStringLiteral("全てスキップ(&A)"), this);
    cmdCancelAll->setObjectName(QStringLiteral("cmdCancelAll"));
    cmdCancelAll->setAutoDefault(false);
    cmdOk->setAccessibleName(QStringLiteral("修正"));
    cmdCancel->setAccessibleName(QStringLiteral("スキップ"));
    cmdCancelAll->setAccessibleName(QStringLiteral("全てスキップ"));
    for (QPushButton* button : { cmdOk, cmdCancel, cmdCancelAll })
        buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, &FrmPickupRecordError::tryFix);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_answer = Answer::Skip;
        reject();
    });
    connect(cmdCancelAll, &QPushButton::clicked, this, [this] {
        m_answer = Answer::SkipAll;
        accept();
    });
}

void FrmPickupRecordError::tryFix()
{
    // The text exactly as the user sees it: the plain text would turn no-break spaces into
    // spaces and line separators into line breaks. Only the ends of the editor's lines
    // (U+2029) are line breaks; the record's own come back as CR LF.
    QString text = txtData->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    // A correction with the wrong number of commas leaves the dialog open, without a word.
    if (m_fix && m_fix(text)) {
        m_answer = Answer::Fixed;
        accept();
    }
}

} // namespace kuji
