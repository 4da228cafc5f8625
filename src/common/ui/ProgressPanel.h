#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;

namespace kuji {

// The progress frame of the main window: a status text, a bar and, for a draw, the count
// drawn so far and the total ("/ 15"). It takes the place of the lists while work runs.
class ProgressPanel final : public QFrame {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);

    // Shows the panel for new work: status text, bar at 0 of maximum, and the two count
    // labels only when showCounts is set.
    void begin(const QString& status, qint64 maximum, bool showCounts);
    // Moves the bar (a value beyond the maximum leaves it where it is) and the count label.
    void setProgress(qint64 value);
    // Hides the panel at the end of the work.
    void end();

    qint64 value() const { return m_value; }

signals:
    void visibilityChanged(bool shown);

private:
    QLabel* lblStatus = nullptr;
    QProgressBar* prgCount = nullptr;
    QLabel* lblProgressbar = nullptr;
    QLabel* lblProgressbarEnd = nullptr;
    qint64 m_value = 0;
};

} // namespace kuji
