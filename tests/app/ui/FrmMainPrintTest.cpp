#include "entries/ui/ResultListModel.h"
#include "printing/ui/PrintTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using namespace kuji;
using kuji::test::MainWindowFixture;

namespace {

class FrmMainPrint : public MainWindowFixture { };

} // namespace

// Ctrl+P, Down to the PDF printer, Enter, and the file prompt: every result in the order
// shown, 70 lines a page, long ones wrapped at 99 cells.
TEST_F(FrmMainPrint, KeyboardAlonePrintsEveryResultToPdf)
{
    QByteArray entries;
    for (int i = 1; i <= 200; ++i) {
        entries += "No." + QByteArray::number(i);
        if (i % 50 == 0)
            entries += ':' + QByteArray(120, 'y');
        entries += "\r\n";
    }
    QTest::mouseClick(child<QRadioButton>("optYomikomi"), Qt::LeftButton);
    readEntryFile(writeFile("entries.txt", entries));
    QTest::keyClicks(child<QLineEdit>("txtTyusen"), "200");
    child<QCheckBox>("chkDaburi")->setChecked(true);
    trigger("mnuRunStart");
    trigger("mnuHensyuSortDesc"); // printed as shown, not in draw order

    const ResultList& results = window->resultModel()->results();
    ASSERT_EQ(results.size(), 200u);
    QStringList lines;
    for (std::size_t row = 0; row < results.size(); ++row) {
        const QString text = QString::fromStdString(results.text(row));
        for (int at = 0; at < text.size(); at += 99)
            lines << text.mid(at, 99);
    }
    ASSERT_EQ(lines.size(), 204);

    const QString pdf = folderPath() + "/results.pdf";
    platform.fileAnswers.push_back(pdf);
    QString focusAtOpening;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QWidget* focus = dialog.focusWidget();
        focusAtOpening = focus ? focus->objectName() : QString();
        QTest::keyClick(focus, Qt::Key_Down);
        EXPECT_EQ(static_cast<QComboBox*>(focus)->currentText(), kuji::test::kPdfPrinter);
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000));
        return dialog.result();
    });
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);

    EXPECT_EQ(platform.modalWindows, QStringList({ "frmPrint" }));
    EXPECT_EQ(focusAtOpening, "cboPrinter");
    EXPECT_TRUE(platform.messages.empty());
    const auto pages = kuji::test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], lines.mid(0, 70));
    EXPECT_EQ(pages[1], lines.mid(70, 70));
    EXPECT_EQ(pages[2], lines.mid(140));
    EXPECT_FALSE(window->isBusy());
}

TEST_F(FrmMainPrint, ToolbarOpensTheDialogOverTheWindowAndAnEmptyListPrintsABlankPage)
{
    typeSettings("1", "5", "5");
    trigger("mnuRunStart");
    QStringList owners;
    platform.modalAnswers.push_back([&](QDialog& dialog) {
        owners << dialog.parentWidget()->objectName();
        return QDialog::Rejected;
    });
    window->toolbarButton("M_Print")->click();
    EXPECT_EQ(owners, QStringList({ "frmMain" }));

    trigger("mnuHensyuAllSelect");
    trigger("mnuHensyuDelete");
    ASSERT_TRUE(window->resultModel()->isEmpty());
    const QString pdf = folderPath() + "/empty.pdf";
    platform.fileAnswers.push_back(pdf);
    platform.modalAnswers.push_back([](QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("cmdPrintStart"))->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000));
        return dialog.result();
    });
    trigger("mnuFilePrint");
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmPrint", "frmPrint" }));
    const auto pages = kuji::test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].isEmpty());
}
