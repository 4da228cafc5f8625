#pragma once

#include <QFrame>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kuji {

// The string window's own progress, below the editor while an open, a save or a long paste
// runs: what is being done, a bar, and 停止 where the work can be stopped. The main window,
// which shows the progress of a transfer, cannot be reached while this window is open.
class NewStringProgress final : public QFrame {
    Q_OBJECT
public:
    explicit NewStringProgress(QWidget* parent = nullptr);

    // Shows the frame for new work: status, bar at 0 of maximum, and Stop when stoppable.
    void begin(const QString& status, qint64 maximum, bool stoppable);
    void setProgress(qint64 value);
    void end();

    QPushButton* stopButton() const { return cmdStop; }

signals:
    void stopClicked();

private:
    QLabel* lblWork = nullptr;
    QProgressBar* prgWork = nullptr;
    QPushButton* cmdStop = nullptr;
};

} // namespace kuji
