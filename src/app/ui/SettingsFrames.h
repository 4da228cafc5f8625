#pragma once

#include "common/ui/MainWindowPort.h"
#include "draw/DrawValidation.h"

#include <QObject>
#include <QString>

#include <map>

class QBoxLayout;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QWidget;

namespace kuji {

class Platform;

// The two frames at the top of the main window: the mode frame (the two modes and ダブり無し)
// and the settings frame (the three boxes, and the file button of file mode). The boxes keep
// their rules here: the key filter, which judges typed characters and lets editing keys by,
// and the cleaning of every change, typed, pasted or set by the program.
class SettingsFrames final : public QObject {
    Q_OBJECT
public:
    // Builds both frames into row, inside parent.
    SettingsFrames(Platform& platform, QWidget* parent, QBoxLayout* row);

    bool isFileMode() const;
    // Selects a mode without telling of a change (the window applies it itself).
    void selectModeQuietly(bool fileMode);
    // The boxes' captions, looks and the file button for a mode.
    void showMode(bool fileMode);
    // The three boxes hold text.
    bool allFilled() const;

    MainWindowPort::DrawBoxes boxes() const;
    void setBoxes(const MainWindowPort::DrawBoxes& boxes, bool fileMode);
    void setEnabled(bool enabled);
    // At least the designed height, and never shorter than their rows at the fonts in use.
    void fitHeights();

    // Controls, named as the program names them.
    QFrame* fraMode = nullptr;
    QRadioButton* optSuji = nullptr;
    QRadioButton* optYomikomi = nullptr;
    QCheckBox* chkDaburi = nullptr;
    QFrame* fraSet = nullptr;
    QLabel* lblSaisyo = nullptr;
    QLineEdit* txtSaisyo = nullptr;
    QToolButton* cmdFile = nullptr;
    QLabel* lblSaidai = nullptr;
    QLineEdit* txtSaidai = nullptr;
    QLabel* lblTyusen = nullptr;
    QLineEdit* txtTyusen = nullptr;

signals:
    // The user chose the other mode.
    void modeChosen(bool fileMode);
    // A box or ダブり無し changed: Start may have come or gone.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildModeFrame(QWidget* parent);
    void buildSettingsFrame(QWidget* parent);
    SettingsBox boxOf(const QLineEdit* box) const;
    void cleanBox(QLineEdit* box);

    Platform& m_platform;
    // Each box's text as last accepted, to put back when a change is refused.
    std::map<SettingsBox, QString> m_acceptedBoxText;
    bool m_cleaningBox = false;
};

} // namespace kuji
