#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;

namespace kuji {

// The progress frame fraProgressbar of the Pickup Record window: the status label lblStatus
// and, in the picture frame picProgressbar, a smooth bar in the window's dark blue on white.
// It takes the place of the record and result lists while a load, a run or a transfer goes on.
class PickupProgressFrame final : public QFrame {
    Q_OBJECT
public:
    static constexpr QRgb kBarColour = 0xFF08246B; // RGB(8, 36, 107)
    static constexpr QRgb kBackgroundColour = 0xFFFFFFFF;

    explicit PickupProgressFrame(QWidget* parent = nullptr);

    // Shows the frame for new work: status text, bar at 0 of maximum.
    void begin(const QString& status, qint64 maximum);
    // Moves the bar; a value beyond the maximum stops at the end.
    void setValue(qint64 value);
    // Hides the frame; the bar stays for the next work.
    void end();

    QString status() const;
    qint64 value() const { return m_value; }
    qint64 maximum() const { return m_maximum; }

private:
    QLabel* lblStatus = nullptr;
    QFrame* picProgressbar = nullptr;
    QProgressBar* m_bar = nullptr;
    qint64 m_value = 0;
    qint64 m_maximum = 0;
};

} // namespace kuji
