#pragma once

#include "announce/AnnounceOptions.h"
#include "common/ui/CommandTable.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QScreen;

namespace kuji {

class AnnounceHost;
class HelpService;
class MotionPreference;
class Platform;

// 発表の設定, shown before the big screen: the screen to show on, the prize names (賞の名前)
// with a warning when they do not pair with the rounds of the results, the columns and the
// mask of file mode (表示する列, 伏せ字) and 決定まで回す. OK checks the names and columns; a
// text their rules refuse is reported and kept for correcting.
class FrmAnnounceSettings final : public QDialog {
    Q_OBJECT
public:
    FrmAnnounceSettings(Platform& platform, HelpService& help, const AnnounceHost& host, const AnnounceOptions& options,
        MotionPreference& motion, QWidget* parent);

    // What was chosen; read after the dialog was accepted.
    AnnounceOptions options() const;
    QScreen* chosenScreen() const;

    // The screen offered first: with a second screen connected, the one used last time when
    // it is still there and not the main window's, else the first that is not; with one
    // screen, that one.
    static QScreen* defaultScreen(const QString& lastUsed, const QScreen* mainScreen);

protected:
    void accept() override;

private:
    void fillScreens(const QString& lastUsed);
    void showPrizeWarning();
    void showSample();
    void showMotion(bool reduced);

    Platform& m_platform;
    const AnnounceHost& m_host;
    AnnounceOptions m_options;
    std::size_t m_drawRounds = 0;

    QComboBox* cboScreen = nullptr;
    QLineEdit* txtPrizeNames = nullptr;
    QLabel* lblPrizeWarning = nullptr;
    QLineEdit* txtColumns = nullptr;
    QCheckBox* chkMask = nullptr;
    QLabel* lblSample = nullptr;
    QDoubleSpinBox* spnRoll = nullptr;
    QLabel* lblMotion = nullptr;

    CommandTable m_commands { this };
};

} // namespace kuji
