#include "printing/ui/FrmPrint.h"
#include "printing/ui/PrintTestSupport.h"
#include "printing/ui/UscUpDown.h"
#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <map>

using namespace kuji;
using kuji::test::FakePrinters;
using kuji::test::kPdfPrinter;
using kuji::test::paperWithStrips;
using kuji::test::pdfPages;
using kuji::test::ScriptedPlatform;

namespace {

const PrinterGeometry kOfficeA4 = paperWithStrips(210, 297, 4, 5, 6, 7);
const PrinterGeometry kSquare = paperWithStrips(100, 100, 0, 0, 0, 0);

QStringList numbered(int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << QStringLiteral("No.%1").arg(i);
    return texts;
}

class PrintDialog : public kuji::test::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        printers.outputPath = path("printer.pdf");
    }

    QString path(const char* name) const { return QString::fromStdString(pathOf(name)); }

    // A shown dialog with the given texts.
    std::unique_ptr<FrmPrint> open(const QStringList& texts = numbered(3))
    {
        auto dialog = std::make_unique<FrmPrint>(platform, nullptr, printers);
        dialog->MPSetString(texts);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    template <typename T> static T* control(const QWidget& dialog, const char* name)
    {
        T* found = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QComboBox* list(const QWidget& dialog, const char* name) { return control<QComboBox>(dialog, name); }
    static UscUpDown* margin(const QWidget& dialog, const char* name) { return control<UscUpDown>(dialog, name); }
    static QStringList margins(const QWidget& dialog)
    {
        QStringList values;
        for (const char* name : { "uscLeftMargin", "uscTopMargin", "uscRightMargin", "uscBottomMargin" })
            values << margin(dialog, name)->value();
        return values;
    }
    static void setMargins(const QWidget& dialog, int left, int top, int right, int bottom)
    {
        margin(dialog, "uscLeftMargin")->setValue(QString::number(left));
        margin(dialog, "uscTopMargin")->setValue(QString::number(top));
        margin(dialog, "uscRightMargin")->setValue(QString::number(right));
        margin(dialog, "uscBottomMargin")->setValue(QString::number(bottom));
    }

    // Presses 印刷 and waits for the run to close the dialog.
    static void printAndWait(FrmPrint& dialog)
    {
        control<QPushButton>(dialog, "cmdPrintStart")->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000));
        EXPECT_FALSE(dialog.isBusy());
    }

    void expectRuntimeError482(std::size_t index = 0) const
    {
        ASSERT_GT(platform.messages.size(), index);
        const MessageRequest& box = platform.messages[index].request;
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("実行時エラー '482':\r\n"))) << box.text.toStdString();
        EXPECT_EQ(box.title, QStringLiteral("エラー"));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.buttons, QMessageBox::Ok);
    }

    ScriptedPlatform platform;
    FakePrinters printers;
};

} // namespace

TEST_F(PrintDialog, OpensOnTheCurrentPrinterWithItsStripsAsMargins)
{
    printers.printers = { { "Office", kOfficeA4 }, { "Square", kSquare } };
    printers.systemDefault = "Office";
    auto dialog = open();
    EXPECT_EQ(dialog->objectName(), "frmPrint");
    EXPECT_EQ(dialog->windowTitle(), "印刷");

    QComboBox* printer = list(*dialog, "cboPrinter");
    ASSERT_EQ(printer->count(), 3);
    EXPECT_EQ(printer->itemText(2), kPdfPrinter);
    EXPECT_EQ(printer->currentText(), "Office");
    EXPECT_EQ(margins(*dialog), QStringList({ "4", "5", "6", "7" }));
    EXPECT_EQ(list(*dialog, "cboFont")->currentText(), "ＭＳ 明朝");
    EXPECT_EQ(list(*dialog, "cboFontSize")->currentText(), "12");
    EXPECT_EQ(QApplication::focusWidget(), printer);
    EXPECT_TRUE(control<QPushButton>(*dialog, "cmdPrintStart")->isDefault());
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const bool control
            = qobject_cast<QComboBox*>(w) || qobject_cast<QPushButton*>(w) || qobject_cast<QLineEdit*>(w);
        EXPECT_TRUE(!control || !w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }

    // The last printer chosen is the one the next opening preselects, whatever was typed.
    margin(*dialog, "uscLeftMargin")->setValue("30");
    QTest::keyClick(printer, Qt::Key_Down);
    EXPECT_EQ(printer->currentText(), "Square");
    EXPECT_EQ(margins(*dialog), QStringList({ "0", "0", "0", "0" }));
    control<QPushButton>(*dialog, "cmdCancel")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(list(*open(), "cboPrinter")->currentText(), "Square");
    EXPECT_TRUE(platform.messages.empty());

    // Printers but no default: the first.
    FakePrinters noDefault;
    noDefault.printers = printers.printers;
    EXPECT_EQ(list(FrmPrint(platform, nullptr, noDefault), "cboPrinter")->currentText(), "Office");
}

TEST_F(PrintDialog, WithNoInstalledPrinterOnlyThePdfPrinterIsOffered)
{
    for (bool real : { false, true }) {
        QtPrinterAccess system;
        if (real && !system.installedPrinters().isEmpty())
            continue; // a machine with printers says nothing about this case
        FrmPrint dialog(platform, nullptr, real ? static_cast<PrinterAccess&>(system) : printers);
        QComboBox* printer = list(dialog, "cboPrinter");
        EXPECT_EQ(printer->count(), 1);
        EXPECT_EQ(printer->currentText(), kPdfPrinter);
        EXPECT_EQ(margins(dialog), QStringList({ "0", "0", "0", "0" }));
        EXPECT_TRUE(control<QPushButton>(dialog, "cmdPrintStart")->isEnabled());
        EXPECT_TRUE(control<QPushButton>(dialog, "cmdProperty")->isEnabled());
    }
    EXPECT_TRUE(platform.messages.empty());
}

// At the PDF printer's defaults a page holds 70 lines of 99 cells.
TEST_F(PrintDialog, PdfHoldsEveryLineOnItsPageWrappedByDisplayWidth)
{
    QStringList texts = numbered(200);
    std::map<int, QStringList> printed; // texts printed otherwise than as one line
    const QString xs(150, QLatin1Char('x'));
    texts[9] = "No.10:" + xs; // 156 half-width cells: 99 + 57
    printed[9] = QStringList({ texts[9].left(99), texts[9].mid(99) });
    texts[19] = "No.20\r\n続き"; // two lines of one text
    printed[19] = QStringList({ "No.20", "続き" });
    const QString kana(60, QChar(0x3042)); // あ: two cells each
    texts[29] = "No.30：" + kana; // 7 + 120 cells: 7 + 46 × 2 = 99 on the first line
    printed[29] = QStringList({ "No.30：" + kana.left(46), kana.mid(46) });
    texts[39] = "No.40～";
    // Lines the font cannot draw alone are drawn as text, in their places among the others.
    texts[49] = QStringLiteral("No.50 か\u3099");
    QStringList lines;
    for (int i = 0; i < texts.size(); ++i)
        lines += printed.count(i) ? printed[i] : QStringList(texts[i]);
    ASSERT_EQ(lines.size(), 203);

    platform.fileAnswers.push_back(path("results")); // typed without an extension
    auto dialog = open(texts);
    printAndWait(*dialog);

    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(platform.dialogs.size(), 1u);
    EXPECT_TRUE(platform.dialogs[0].save);
    EXPECT_EQ(platform.dialogs[0].request.filter, "*.pdf (*.pdf)");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->pagesPrinted(), 3);
    // Only the finished file is left in the folder.
    EXPECT_EQ(QDir(path("")).entryList(QDir::Files | QDir::Hidden), QStringList({ "results.pdf" }));

    auto pages = pdfPages(path("results.pdf"));
    ASSERT_EQ(pages.size(), 3u);
    // The combining mark reads back in whichever form the extraction gives it.
    const qsizetype combined = lines.indexOf(texts[49]);
    ASSERT_GE(combined, 0);
    EXPECT_EQ(pages[0][combined].normalized(QString::NormalizationForm_C),
        texts[49].normalized(QString::NormalizationForm_C));
    pages[0][combined] = texts[49];
    EXPECT_EQ(pages[0], lines.mid(0, 70));
    EXPECT_EQ(pages[1], lines.mid(70, 70));
    EXPECT_EQ(pages[2], lines.mid(140));
}

TEST_F(PrintDialog, CancelledPdfPromptEndsSilently)
{
    auto dialog = open();
    printAndWait(*dialog);
    EXPECT_EQ(platform.dialogs.size(), 1u);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(QDir(path("")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// ".pdf" is added after the prompt, so the prompt could not have asked about out.pdf itself.
TEST_F(PrintDialog, APdfReplacesAFileOnlyWhenTheUserSaysYes)
{
    const QByteArray earlier("%PDF-1.4 the user's earlier file\n");
    QFile file(path("out.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(earlier);
    file.close();

    // No brings the prompt back at the name typed; cancelling it then ends the run.
    platform.fileAnswers.push_back(path("out"));
    platform.messageAnswers.push_back(QMessageBox::No);
    auto dialog = open();
    printAndWait(*dialog);
    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& question = platform.messages[0].request;
    EXPECT_EQ(question.text, "out.pdf は既に存在します。\n置き換えますか?");
    EXPECT_EQ(question.title, kPdfPrinter);
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.defaultButton, QMessageBox::No);
    ASSERT_EQ(platform.dialogs.size(), 2u);
    EXPECT_FALSE(platform.dialogs[0].request.confirmOverwrite);
    EXPECT_EQ(platform.dialogs[1].request.folder, path(""));
    EXPECT_EQ(platform.dialogs[1].request.fileName, "out.pdf");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), earlier);
    file.close();

    // Typed with its extension the same question comes, and Yes replaces the file.
    platform.fileAnswers.push_back(path("out.pdf"));
    platform.messageAnswers.push_back(QMessageBox::Yes);
    dialog = open();
    printAndWait(*dialog);
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(pdfPages(path("out.pdf")), std::vector<QStringList> { numbered(3) });

    // A new name is not asked about.
    platform.fileAnswers.push_back(path("new"));
    dialog = open();
    printAndWait(*dialog);
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(QFile::exists(path("new.pdf")));
}

// A documents folder that does not exist would come back from the desktop's dialog as a file
// named "Documents" in the home folder.
TEST_F(PrintDialog, ThePdfPromptStartsInAFolderThatExists)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(m_dir));
    const auto restoreHome = qScopeGuard([&home] { qputenv("HOME", home); });
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(documents.startsWith(path("")));

    for (const bool present : { false, true }) {
        if (present) {
            ASSERT_TRUE(QDir().mkpath(documents));
        }
        auto dialog = open();
        printAndWait(*dialog);
        const FileDialogRequest& request = platform.dialogs.back().request;
        EXPECT_TRUE(QFileInfo(request.folder).isDir()) << request.folder.toStdString();
        EXPECT_EQ(request.fileName, "");
        if (present) {
            EXPECT_EQ(QDir(request.folder), QDir(documents));
        }
    }
}

TEST_F(PrintDialog, MarginsLeavingNoRoomKeepTheDialogAndTheTexts)
{
    printers.printers = { { "Square", kSquare } };
    auto dialog = open(numbered(5));
    setMargins(*dialog, 60, 0, 50, 0);
    control<QPushButton>(*dialog, "cmdPrintStart")->click();

    ASSERT_EQ(platform.messages.size(), 1u);
    const MessageRequest& box = platform.messages[0].request;
    EXPECT_EQ(box.text, "Error:余白が大き過ぎます。");
    EXPECT_EQ(box.title, "エラー");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isBusy());
    EXPECT_TRUE(control<QPushButton>(*dialog, "cmdPrintStart")->isEnabled());
    EXPECT_EQ(printers.jobs, 0);

    // Smaller margins then print what was handed over.
    setMargins(*dialog, 10, 10, 10, 10);
    printAndWait(*dialog);
    EXPECT_EQ(platform.messages.size(), 1u);
    const auto pages = pdfPages(printers.outputPath);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], numbered(5));
}

TEST_F(PrintDialog, PropertiesPaperLastsForThePrinterAndComesBeforeThePrompt)
{
    // The page-setup dialog applies its choice in exec(), so the answer runs it like a user.
    platform.modalAnswers.push_back([](QDialog& setup) {
        QTimer::singleShot(0, &setup, [&setup] {
            auto* size = setup.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
            ASSERT_NE(size, nullptr);
            size->setCurrentIndex(size->findText(QStringLiteral("A6"), Qt::MatchStartsWith));
            setup.accept();
        });
        return setup.exec();
    });
    auto dialog = open(numbered(100));
    setMargins(*dialog, 7, 7, 7, 7);
    control<QPushButton>(*dialog, "cmdProperty")->click();
    EXPECT_EQ(platform.modalWindows, QStringList({ "dlgPageSetup" }));
    EXPECT_EQ(margins(*dialog), QStringList({ "0", "0", "0", "0" }));
    const auto a6 = printers.geometry(kPdfPrinter);
    ASSERT_TRUE(a6);
    EXPECT_NEAR(a6->paperWidth, 105, 0.5);
    EXPECT_NEAR(a6->paperHeight, 148, 0.5);

    // 105 mm across: 60 + 50 leave nothing, and the file is not asked for.
    setMargins(*dialog, 60, 0, 50, 0);
    control<QPushButton>(*dialog, "cmdPrintStart")->click();
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.dialogs.empty());

    // A6 at 12 pt holds 34 lines a page; the next opening keeps the paper.
    dialog.reset();
    platform.messages.clear();
    platform.fileAnswers.push_back(path("a6.pdf"));
    dialog = open(numbered(100));
    printAndWait(*dialog);
    EXPECT_TRUE(platform.messages.empty());
    const auto pages = pdfPages(path("a6.pdf"));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].size(), 34);
    EXPECT_EQ(pages[2].size(), 32);
}

// Lines are placed from the paper's corner: at the reset margins they fill the printable
// area of a printer with 4 mm strips and none reaches into a strip.
TEST_F(PrintDialog, LinesStayInsideThePrintableArea)
{
    printers.printers = { { "Office", paperWithStrips(210, 297, 4, 4, 4, 4) } };
    QStringList texts;
    for (int i = 0; i < 140; ++i)
        texts << QString(95, QLatin1Char('W')); // a full line: 202 mm wide less 1.06 mm
    auto dialog = open(texts);
    printAndWait(*dialog);
    EXPECT_TRUE(platform.messages.empty());

    const auto pages = kuji::test::pdfWordBoxes(printers.outputPath);
    ASSERT_EQ(pages.size(), 3u); // 68 lines a page
    ASSERT_EQ(pages[0].size(), 68u);
    QRectF used;
    for (const QRectF& word : pages[0])
        used = used.isNull() ? word : used.united(word);
    EXPECT_NEAR(used.left(), 4, 0.3);
    EXPECT_NEAR(used.right(), 4 + 95 * 12 * 10 * kMmPerTwip, 0.3);
    EXPECT_GE(used.top(), 4 - 0.3);
    EXPECT_LE(used.bottom(), 297 - 4);
}

TEST_F(PrintDialog, VanishedPrinterIsReportedAndNothingPrints)
{
    printers.printers = { { "Office", kOfficeA4 }, { "Square", kSquare } };
    auto dialog = open();
    auto* print = control<QPushButton>(*dialog, "cmdPrintStart");
    auto* property = control<QPushButton>(*dialog, "cmdProperty");

    printers.vanished.insert("Square");
    QTest::keyClick(list(*dialog, "cboPrinter"), Qt::Key_Down);
    expectRuntimeError482(0);
    EXPECT_FALSE(print->isEnabled());
    EXPECT_FALSE(property->isEnabled());
    EXPECT_EQ(printers.currentPrinter(), "Office"); // not made current
    QTest::keyClick(list(*dialog, "cboPrinter"), Qt::Key_Up);
    EXPECT_TRUE(print->isEnabled() && property->isEnabled());

    printers.vanished.insert("Office");
    print->click();
    expectRuntimeError482(1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isBusy());
    EXPECT_FALSE(print->isEnabled());
    EXPECT_TRUE(control<QPushButton>(*dialog, "cmdCancel")->isEnabled());
    EXPECT_EQ(printers.jobs, 0);
}

TEST_F(PrintDialog, FailingPrinterIsReportedAndSendsThePagesMade)
{
    printers.printers = { { "Jams", kOfficeA4, 2 }, { "Offline", kOfficeA4, 0, true } };
    auto dialog = open(numbered(200));
    printAndWait(*dialog);
    expectRuntimeError482();
    EXPECT_EQ(pdfPages(printers.outputPath).size(), 1u);

    QFile::remove(printers.outputPath);
    platform.messages.clear();
    dialog = open();
    list(*dialog, "cboPrinter")->setCurrentIndex(1);
    printAndWait(*dialog);
    expectRuntimeError482();
    EXPECT_FALSE(QFile::exists(printers.outputPath));
}

TEST_F(PrintDialog, ListsChangeOnlyByArrowsOrChoice)
{
    printers.printers = { { "Office", kOfficeA4 }, { "Square", kSquare } };
    auto dialog = open();
    QComboBox* font = list(*dialog, "cboFont");
    QComboBox* printer = list(*dialog, "cboPrinter");
    font->setFocus();

    QTest::keyClicks(font, "ab ");
    EXPECT_EQ(platform.beeps, 3);
    for (Qt::Key key : { Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Delete })
        QTest::keyClick(font, key);
    EXPECT_EQ(font->currentText(), "ＭＳ 明朝");
    EXPECT_EQ(platform.beeps, 3);
    QTest::keyClick(font, Qt::Key_Up);
    EXPECT_EQ(font->currentText(), "ＭＳ ゴシック");

    QWheelEvent wheel(QPointF(5, 5), printer->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(printer, &wheel);
    EXPECT_EQ(printer->currentText(), "Office");

    QTest::keyClick(font, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), list(*dialog, "cboFontSize"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PrintDialog, RunningPrintRefusesToClose)
{
    platform.fileAnswers.push_back(path("many.pdf"));
    auto dialog = open(numbered(20000));
    control<QPushButton>(*dialog, "cmdPrintStart")->click();

    ASSERT_TRUE(dialog->isBusy());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    for (const char* name : { "cboPrinter", "cmdProperty", "cmdPrintStart", "cmdCancel" })
        EXPECT_FALSE(control<QWidget>(*dialog, name)->isEnabled()) << name;
    EXPECT_FALSE(dialog->close());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(platform.beeps, 2);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 60000));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(dialog->pagesPrinted(), 286); // 20,000 lines at 70 a page
}

TEST_F(PrintDialog, OpensCentredOverItsCallerOnTheScreen)
{
    for (const QRect& callerRect : { QRect(100, 120, 800, 600), QRect(0, 0, 60, 40) }) {
        QWidget caller;
        caller.setGeometry(callerRect);
        caller.show();
        FrmPrint dialog(platform, &caller, printers);
        QPoint shownAt;
        platform.modalAnswers.push_back([&](QDialog& d) {
            shownAt = d.frameGeometry().topLeft();
            return QDialog::Rejected;
        });
        dialog.showModal();
        const QRect own = dialog.frameGeometry();
        const QRect frame = caller.frameGeometry();
        EXPECT_EQ(shownAt.x(), std::max(0, frame.left() + (frame.width() - own.width()) / 2));
        EXPECT_EQ(shownAt.y(), std::max(0, frame.top() + (frame.height() - own.height()) / 2));
    }
    EXPECT_EQ(platform.modalWindows, QStringList({ "frmPrint", "frmPrint" }));
}
