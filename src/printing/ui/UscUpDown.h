#pragma once

#include "printing/UpDownState.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kuji {

class Platform;

// The margin box of the print dialog: a text box with a pair of arrow buttons whose text is
// always a whole number from 0 to 100. Keys other than digits are refused with a beep, and
// every change of the text (typed, pasted, cleared) goes through the change rule at once.
class UscUpDown final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Value READ value WRITE setValue)
public:
    explicit UscUpDown(Platform& platform, QWidget* parent = nullptr);

    // Value, read: the number in the box as plain decimal text ("05" reads "5").
    QString value() const;
    // The same as a number, for the page layout.
    int number() const { return m_state.number(); }
    // Value, written: the text as a 16-bit integer ("10" when it is none), then the change
    // rule ("150" shows "100").
    void setValue(const QString& text);

    // Enables or disables the text box and the arrows together.
    void LSSetEnabled(bool blnEnabled);

    // The text box, for a label to point at and for tests.
    QLineEdit* textBox() const { return txtValue; }

    // The text box and arrows are named after the label that describes them.
    void setCaption(const QString& caption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textChanged(const QString& text);
    void step(int delta);
    void display(const std::string& text);

    Platform& m_platform;
    UpDownState m_state;
    QLineEdit* txtValue = nullptr;
    QWidget* updValue = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

} // namespace kuji
