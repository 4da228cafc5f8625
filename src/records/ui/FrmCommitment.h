#pragma once

#include "common/ui/CommandTable.h"
#include "draw/Commitment.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace kuji {

class Platform;

// 公開抽選の予告: the dialog that makes a commitment and shows its text for publication.
// First it shows what the commitment will fix (mode, settings, the work list's count and
// digest) and asks for the description of the public value to come; 予告を作る hands the
// commitment to make, which dates and keeps it. Then, as when opened on a kept commitment, it
// shows the 予告番号 and the 予告文, which can be saved, copied and printed before the public
// value exists.
class FrmCommitment final : public QDialog {
    Q_OBJECT
public:
    // make dates the commitment, keeps it and returns true, or shows why not and returns false.
    using Make = std::function<bool(Commitment& commitment)>;

    // A dialog that makes a commitment from draft (its description and date are filled in).
    FrmCommitment(Platform& platform, const Commitment& draft, Make make, QWidget* parent = nullptr);
    // A dialog that shows a kept commitment.
    FrmCommitment(Platform& platform, const Commitment& kept, QWidget* parent = nullptr);

    // The commitment as it stands: made, or the draft.
    const Commitment& commitment() const { return m_commitment; }

private:
    void build();
    void make();
    void showText();
    void saveText();

    Platform& m_platform;
    Commitment m_commitment;
    Make m_make;
    CommandTable m_commands { this };

    QStackedWidget* m_pages = nullptr;
    QLabel* lblFixed = nullptr;
    QLineEdit* txtDescription = nullptr;
    QPushButton* cmdMake = nullptr;
    QLabel* lblNumber = nullptr;
    QPlainTextEdit* txtCommitment = nullptr;
    QPushButton* cmdSaveText = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdPrint = nullptr;
};

} // namespace kuji
