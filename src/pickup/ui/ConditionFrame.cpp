#include "pickup/ui/ConditionFrame.h"

#include "common/FileErrors.h"
#include "common/RuntimeError.h"
#include "common/SafeFileWriter.h"
#include "common/Settings.h"
#include "common/TextCodec.h"
#include "common/ui/Platform.h"
#include "common/ui/QtText.h"
#include "common/ui/RuntimeErrorBox.h"
#include "common/ui/TypedKey.h"
#include "pickup/ConditionFile.h"
#include "pickup/ui/ConditionListModel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

namespace kuji {
namespace {

// What tells the lists apart in object names: lvwInAND, txtOutORGoku, cmdInORTuika, …
const char* nameOf(ConditionListId list)
{
    switch (list) {
    case ConditionListId::InAnd:
        return "InAND";
    case ConditionListId::InOr:
        return "InOR";
    case ConditionListId::OutAnd:
        return "OutAND";
    case ConditionListId::OutOr:
        return "OutOR";
    }
    return "";
}

QString labelOf(ConditionListId list)
{
    switch (list) {
    case ConditionListId::InAnd:
        return QStringLiteral("AND( ﾘｽﾄの語句を全て含む )");
    case ConditionListId::InOr:
        return QStringLiteral("OR( ﾘｽﾄの語句を１つ以上含む )");
    case ConditionListId::OutAnd:
        return QStringLiteral("NOT AND( ﾘｽﾄの語句を全て含む )");
    case ConditionListId::OutOr:
        return QStringLiteral("NOT OR( ﾘｽﾄの語句を１つ以上含む )");
    }
    return {};
}

QString shortName(ConditionListId list)
{
    const std::string_view name = conditionListShortName(list);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString controlName(const char* prefix, ConditionListId list, const char* suffix = "")
{
    return QLatin1String(prefix) + QLatin1String(nameOf(list)) + QLatin1String(suffix);
}

// Conditions a list shows at once.
constexpr int kConditionRows = 4;

// The filter of the condition file dialogs: one choice, shown as its pattern.
const QString kConditionFileFilter = QStringLiteral("*.csv (*.csv)");

} // namespace

ConditionFrame::ConditionFrame(Platform& platform, QWidget* parent)
    : QFrame(parent)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("fraWordSet"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeGroup("fraIn", QStringLiteral("以下の条件を満たす語句を含む行だけを抜き出す"),
        ConditionListId::InAnd, ConditionListId::InOr));
    layout->addWidget(makeGroup("fraOut", QStringLiteral("以下の条件を満たす語句を含む行だけを取り除く"),
        ConditionListId::OutAnd, ConditionListId::OutOr));
    refresh();
}

ConditionFrame::~ConditionFrame()
{
    // The views read the conditions until they go, so they and their models go before the
    // lists they show.
    for (Controls& c : m_controls) {
        delete c.view;
        delete c.model;
    }
}

QGroupBox* ConditionFrame::makeGroup(
    const char* name, const QString& caption, ConditionListId left, ConditionListId right)
{
    auto* group = new QGroupBox(caption, this);
    group->setObjectName(QLatin1String(name));
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(makeList(left, group));
    auto* plus = new QLabel(QStringLiteral("＋"), group);
    plus->setObjectName(QLatin1String(name) + QStringLiteral("Plus"));
    plus->setAlignment(Qt::AlignCenter);
    layout->addWidget(plus);
    layout->addWidget(makeList(right, group));
    return group;
}

QWidget* ConditionFrame::makeList(ConditionListId list, QWidget* parent)
{
    Controls& c = m_controls[index(list)];
    const QString name = shortName(list);
    auto* box = new QWidget(parent);
    box->setObjectName(controlName("pan", list));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);

    c.label = new QLabel(labelOf(list), box);
    c.label->setObjectName(controlName("lbl", list));

    c.model = new ConditionListModel(m_lists, list, this);
    c.view = new QTreeView(box);
    c.view->setObjectName(controlName("lvw", list));
    c.view->setAccessibleName(name);
    c.view->setModel(c.model);
    c.view->setRootIsDecorated(false);
    c.view->setItemsExpandable(false);
    c.view->setUniformRowHeights(true);
    c.view->setAllColumnsShowFocus(true);
    c.view->setSelectionMode(QAbstractItemView::SingleSelection);
    c.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.view->setTextElideMode(Qt::ElideNone);
    c.view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    c.view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    c.view->header()->setSectionsMovable(false);
    c.view->header()->setStretchLastSection(true);
    c.viewport = c.view->viewport();
    c.viewport->installEventFilter(this);
    c.label->setBuddy(c.view);

    // The columns "列" and "語句" are 350 and 6150 twips wide, and never narrower than their
    // headers (and two digits) at the font in use.
    const QFontMetrics metrics(c.view->font());
    const int dpi = logicalDpiX();
    const int margin = 2 * (c.view->style()->pixelMetric(QStyle::PM_HeaderMargin) + 2);
    const int columnWidth
        = std::max({ twipsToPixels(350, dpi), c.view->header()->sectionSizeHint(ConditionListModel::ColumnNumber),
            metrics.horizontalAdvance(QStringLiteral("00")) + margin });
    const int phraseWidth
        = std::max(twipsToPixels(6150, dpi), c.view->header()->sectionSizeHint(ConditionListModel::Phrase));
    c.view->header()->resizeSection(ConditionListModel::ColumnNumber, columnWidth);
    c.view->setFixedWidth(
        columnWidth + phraseWidth + c.view->verticalScrollBar()->sizeHint().width() + 2 * c.view->frameWidth());
    c.view->setFixedHeight(
        c.view->header()->sizeHint().height() + (metrics.height() + 2) * kConditionRows + 2 * c.view->frameWidth());

    c.column = new QLineEdit(box);
    c.column->setObjectName(controlName("txt", list, "No"));
    c.column->setAccessibleName(name + QStringLiteral(" 列"));
    c.column->setToolTip(QStringLiteral("対象となる列の番号を入力して下さい"));
    c.column->setMaxLength(ConditionLists::kColumnBoxMaxLength);
    c.column->setFixedWidth(columnWidth);
    c.column->installEventFilter(this);
    c.phrase = new QLineEdit(box);
    c.phrase->setObjectName(controlName("txt", list, "Goku"));
    c.phrase->setAccessibleName(name + QStringLiteral(" 語句"));
    c.phrase->setToolTip(QStringLiteral("リストに登録する語句を入力して下さい。"));
    c.phrase->installEventFilter(this);

    auto makeButton = [&](const char* suffix, const QString& caption) {
        auto* button = new QPushButton(caption, box);
        button->setObjectName(controlName("cmd", list, suffix));
        button->setAccessibleName(name + QLatin1Char(' ') + caption);
        button->setAutoDefault(false);
        return button;
    };
    c.add = makeButton("Tuika", QStringLiteral("追加"));
    c.remove = makeButton("Sakujo", QStringLiteral("削除"));
    c.removeAll = makeButton("AllSakujo", QStringLiteral("全削除"));
    c.load = makeButton("Open", QStringLiteral("読込"));
    c.save = makeButton("Save", QStringLiteral("保存"));

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(c.column);
    boxes->addWidget(c.phrase, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : { c.add, c.remove, c.removeAll })
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(c.load);
    buttons->addWidget(c.save);

    grid->addWidget(c.label, 0, 0);
    grid->addWidget(c.view, 1, 0);
    grid->addLayout(boxes, 2, 0);
    grid->addLayout(buttons, 3, 0);

    connect(c.add, &QPushButton::clicked, this, [this, list] { add(list); });
    connect(c.remove, &QPushButton::clicked, this, [this, list] { deleteSelected(list); });
    connect(c.removeAll, &QPushButton::clicked, this, [this, list] { deleteAll(list); });
    connect(c.load, &QPushButton::clicked, this, [this, list] { loadFile(list); });
    connect(c.save, &QPushButton::clicked, this, [this, list] { saveFile(list); });
    // Every change of a box, typed, pasted or set, reaches the lists.
    connect(c.column, &QLineEdit::textChanged, this, [this, list](const QString& text) {
        if (!m_refreshing)
            m_lists.setColumnText(list, toStd(text));
    });
    connect(c.phrase, &QLineEdit::textChanged, this, [this, list](const QString& text) {
        if (m_refreshing)
            return;
        m_lists.setPhraseText(list, toStd(text));
        refresh();
    });
    connect(c.column, &QLineEdit::returnPressed, this, [this, list] { enterPressed(list); });
    connect(c.phrase, &QLineEdit::returnPressed, this, [this, list] { enterPressed(list); });
    connect(c.view, &QAbstractItemView::clicked, this,
        [this, list](const QModelIndex& index) { conditionClicked(list, index.row()); });
    // A keyboard user picks a condition by moving to it, as a click does.
    connect(c.view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this, list](const QModelIndex& current) {
            if (!m_refreshing && current.isValid() && listView(list)->hasFocus())
                conditionClicked(list, current.row());
        });
    return box;
}

void ConditionFrame::add(ConditionListId list)
{
    // Text pasted into the column box reaches the lists here.
    m_lists.setColumnText(list, toStd(m_controls[index(list)].column->text()));
    const AddResult result = m_lists.add(list, [this](const std::string& question) { return askMove(question); });
    report(result);
}

void ConditionFrame::enterPressed(ConditionListId list)
{
    m_lists.setColumnText(list, toStd(m_controls[index(list)].column->text()));
    if (const auto result
        = m_lists.enterPressed(list, [this](const std::string& question) { return askMove(question); }))
        report(*result);
}

void ConditionFrame::report(const AddResult& result)
{
    if (result.outcome == AddOutcome::Added || result.outcome == AddOutcome::Moved) {
        for (const ConditionListId list : kAllConditionLists)
            refreshRows(list);
    }
    // The column box shows "0" for an empty one, also when the Add was refused.
    refresh();
    if (!result.message.empty())
        m_platform.showError(window(), QString::fromStdString(result.message));
}

bool ConditionFrame::askMove(const std::string& question)
{
    const MessageRequest request { QString::fromStdString(question),
        QString::fromUtf8(ConditionLists::kMoveQuestionTitle.data(),
            static_cast<qsizetype>(ConditionLists::kMoveQuestionTitle.size())),
        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes };
    return m_platform.showMessage(window(), request) == QMessageBox::Yes;
}

void ConditionFrame::deleteSelected(ConditionListId list)
{
    if (m_lists.deleteSelected(list))
        refreshRows(list);
    refresh();
}

void ConditionFrame::deleteAll(ConditionListId list)
{
    m_lists.deleteAll(list);
    refreshRows(list);
    refresh();
}

void ConditionFrame::conditionClicked(ConditionListId list, int row)
{
    m_lists.clickCondition(list, static_cast<std::size_t>(row + 1));
    refresh();
}

void ConditionFrame::conditionDoubleClicked(ConditionListId list, int row)
{
    if (m_lists.doubleClickCondition(list, row < 0 ? 0 : static_cast<std::size_t>(row + 1)))
        refreshRows(list);
    refresh();
}

void ConditionFrame::clearSelections()
{
    m_lists.clearSelections();
    refresh();
}

void ConditionFrame::loadFile(ConditionListId list)
{
    Controls& c = m_controls[index(list)];
    const QString path = m_platform.getOpenFileName(
        window(), FileDialogRequest::startingAt(QStringLiteral("開く"), c.filePath, kConditionFileFilter));
    if (path.isEmpty()) {
        refresh();
        return;
    }

    ConditionFileContent content;
    ErrorInfo err;
    const bool read = readConditionFile(toStd(path), m_lists.conditions(list).size(), content, err);
    std::vector<Condition> loaded;
    loaded.reserve(content.rows.size());
    for (ConditionFileRow& row : content.rows)
        loaded.push_back({ std::move(row.column), std::move(row.phrase) });
    m_lists.append(list, loaded);
    if (read)
        c.filePath = path;
    refreshRows(list);
    refresh();

    if (!read) {
        RuntimeError failure;
        failure.set(err.number, err.description);
        myShowRuntimeError(m_platform, window(), failure);
    } else if (content.problem != ConditionFileProblem::None) {
        m_platform.showError(window(), QString::fromStdString(conditionFileMessage(content.problem)));
    }
}

void ConditionFrame::saveFile(ConditionListId list)
{
    Controls& c = m_controls[index(list)];
    const QString path = m_platform.getSaveFileName(
        window(), FileDialogRequest::startingAt(QStringLiteral("名前を付けて保存"), c.filePath, kConditionFileFilter));
    if (path.isEmpty())
        return;
    ErrorInfo err;
    if (!writeFileSafely(toStd(path), text::encodeForSave(formatConditionFile(m_lists.conditions(list))), err)) {
        m_platform.showMessage(window(),
            { QString::fromStdString(formatWriteErrorText(err)), QStringLiteral("くじ丸"), QMessageBox::Warning,
                QMessageBox::Ok, QMessageBox::Ok });
        return;
    }
    c.filePath = path;
}

void ConditionFrame::refreshRows(ConditionListId list)
{
    m_controls[index(list)].model->refresh();
}

void ConditionFrame::refresh()
{
    m_refreshing = true;
    for (const ConditionListId list : kAllConditionLists) {
        Controls& c = m_controls[index(list)];
        const QString column = QString::fromStdString(m_lists.columnText(list));
        const QString phrase = QString::fromStdString(m_lists.phraseText(list));
        if (c.column->text() != column)
            c.column->setText(column);
        if (c.phrase->text() != phrase)
            c.phrase->setText(phrase);
        c.add->setEnabled(m_lists.addEnabled(list));
        c.remove->setEnabled(m_lists.deleteEnabled(list));
        c.save->setEnabled(m_lists.saveEnabled(list));
        // The highlighted row is the one Delete removes, or none.
        const std::size_t selected = m_lists.selectedPosition(list);
        if (selected == 0)
            c.view->clearSelection();
        else
            c.view->setCurrentIndex(c.model->index(static_cast<int>(selected - 1), 0));
    }
    m_refreshing = false;
    emit conditionsChanged();
}

bool ConditionFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    for (const ConditionListId list : kAllConditionLists) {
        Controls& c = m_controls[index(list)];
        if (watched == c.column && type == QEvent::KeyPress) {
            // Digits and editing keys such as Backspace and Delete reach the column box;
            // anything else typed is dropped with a beep.
            const std::optional<char32_t> typed = typedCharacter(*static_cast<QKeyEvent*>(event));
            if (typed && !ConditionLists::columnKeyAccepted(*typed)) {
                m_platform.beep();
                return true;
            }
        }
        if ((watched == c.column || watched == c.phrase) && type == QEvent::MouseButtonPress) {
            m_lists.clearSelections();
            refresh();
        }
        if (watched == c.viewport && type == QEvent::MouseButtonDblClick) {
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            conditionDoubleClicked(list, c.view->indexAt(at).row());
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kuji
