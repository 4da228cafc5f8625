#include "printing/ui/UscUpDown.h"

#include "common/ui/Platform.h"
#include "common/ui/QtText.h"
#include "common/ui/TypedKey.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace kuji {
UscUpDown::UscUpDown(Platform& platform, QWidget* parent)
    : QWidget(parent)
    , m_platform(platform)
{
    txtValue = new QLineEdit(fromStd(m_state.text()), this);
    txtValue->setObjectName(QStringLiteral("txtValue"));
    txtValue->setAlignment(Qt::AlignRight);
    txtValue->installEventFilter(this);
    // Room for "100" and a little more in the box's own font; a line edit's size hint is
    // seventeen "x" wide plus its frame.
    const QFontMetrics metrics = txtValue->fontMetrics();
    const int frame = txtValue->sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    txtValue->setFixedWidth(frame + metrics.horizontalAdvance(QStringLiteral("0000")));
    connect(txtValue, &QLineEdit::textChanged, this, &UscUpDown::textChanged);

    updValue = new QWidget(this);
    updValue->setObjectName(QStringLiteral("updValue"));
    auto* arrows = new QVBoxLayout(updValue);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    const auto makeArrow = [&](Qt::ArrowType type, const char* name, int delta) {
        auto* button = new QToolButton(updValue);
        button->setObjectName(QLatin1String(name));
        button->setArrowType(type);
        button->setAutoRepeat(true);
        // The box takes the keys (Up and Down step too), so the arrows need no focus of their own.
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        connect(button, &QToolButton::clicked, this, [this, delta] { step(delta); });
        arrows->addWidget(button, 1);
        return button;
    };
    m_up = makeArrow(Qt::UpArrow, "cmdUp", 1);
    m_down = makeArrow(Qt::DownArrow, "cmdDown", -1);
    const int arrowWidth = txtValue->sizeHint().height() * 3 / 4;
    m_up->setFixedWidth(arrowWidth);
    m_down->setFixedWidth(arrowWidth);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(txtValue);
    layout->addWidget(updValue);
    setFocusProxy(txtValue);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString UscUpDown::value() const
{
    return fromStd(m_state.value());
}

void UscUpDown::setValue(const QString& text)
{
    m_state.setValue(text.toStdString());
    display(m_state.text());
}

void UscUpDown::LSSetEnabled(bool blnEnabled)
{
    m_state.setEnabled(blnEnabled);
    txtValue->setEnabled(blnEnabled);
    updValue->setEnabled(blnEnabled);
}

void UscUpDown::setCaption(const QString& caption)
{
    QString plain = caption;
    plain.remove(QLatin1Char('&'));
    txtValue->setAccessibleName(plain);
    m_up->setAccessibleName(plain + QStringLiteral(" +1"));
    m_down->setAccessibleName(plain + QStringLiteral(" -1"));
}

bool UscUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtValue && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        const std::optional<char32_t> typed = typedCharacter(*key);
        if (typed && !UpDownState::acceptsCharacter(*typed)) {
            m_platform.beep();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UscUpDown::textChanged(const QString& text)
{
    const std::string& shown = m_state.textChanged(text.toStdString());
    if (fromStd(shown) != text)
        display(shown);
}

void UscUpDown::step(int delta)
{
    if (!m_state.enabled())
        return;
    if (delta > 0)
        m_state.stepUp();
    else
        m_state.stepDown();
    display(m_state.text());
    txtValue->selectAll();
}

// Puts the text into the box; the change that follows finds it already valid.
void UscUpDown::display(const std::string& text)
{
    const QString shown = fromStd(text);
    if (txtValue->text() == shown)
        return;
    txtValue->setText(shown);
    txtValue->setCursorPosition(static_cast<int>(shown.size()));
}

} // namespace kuji
