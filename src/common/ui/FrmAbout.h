#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace kuji {

class Platform;

// The version window: program icon, version line, the maker's rights and comment lines,
// and buttons that open the maker's home page and a mail to the maker's support address.
class FrmAbout final : public QDialog {
    Q_OBJECT

public:
    FrmAbout(Platform& platform, QWidget* parent);

    // Places the window over the middle of its owner: left = owner left + owner width / 2
    // - own width / 2, and likewise for the top. The caller then shows it modally.
    void centreOver(const QWidget* owner);

private:
    void openHomePage();
    void openMail();

    Platform& m_platform;
    QLabel* picIcon = nullptr;
    QGroupBox* fraSoftZyoho = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblKomento = nullptr;
    QPushButton* cmdMyHomepage = nullptr;
    QPushButton* cmdMyMail = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace kuji
