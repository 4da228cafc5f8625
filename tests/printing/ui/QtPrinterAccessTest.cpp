#include "printing/ui/QtPrinterAccess.h"

#include <QPageSize>
#include <gtest/gtest.h>

using namespace kuji;

// A printer's geometry comes from its hardware margins in whatever unit its layout uses;
// margins set in the layout (as typed in a page-setup dialog) play no part.
TEST(PageGeometry, PrintableAreaLiesInsideTheMinimumMargins)
{
    const struct {
        QPageLayout layout;
        PrinterGeometry expected;
    } cases[] = {
        { QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
              QPageLayout::Millimeter, QMarginsF(4, 5, 6, 7)),
            { 210, 297, 4, 5, 200, 285 } },
        { QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36), QPageLayout::Point,
              QMarginsF(72, 0, 0, 36)),
            { 297, 210, 25.4, 0, 297 - 25.4, 210 - 12.7 } },
    };
    for (const auto& c : cases) {
        const PrinterGeometry g = pageGeometry(c.layout);
        EXPECT_NEAR(g.paperWidth, c.expected.paperWidth, 0.2);
        EXPECT_NEAR(g.paperHeight, c.expected.paperHeight, 0.2);
        EXPECT_NEAR(g.printableLeft, c.expected.printableLeft, 0.05);
        EXPECT_NEAR(g.printableTop, c.expected.printableTop, 0.05);
        EXPECT_NEAR(g.printableWidth, c.expected.printableWidth, 0.2);
        EXPECT_NEAR(g.printableHeight, c.expected.printableHeight, 0.2);
    }
}

TEST(PageGeometry, PdfPrinterIsA4UnlessAnotherPaperWasChosenAndPrintsToTheEdges)
{
    const PrinterGeometry a4 = pageGeometry(pdfPage(std::nullopt));
    EXPECT_NEAR(a4.paperWidth, 210, 0.01);
    EXPECT_NEAR(a4.printableHeight, 297, 0.01);
    const QPageLayout chosen(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
        QPageLayout::Millimeter, QMarginsF(3, 3, 3, 3));
    const PrinterGeometry a5 = pageGeometry(pdfPage(chosen));
    EXPECT_NEAR(a5.paperWidth, 210, 0.01);
    EXPECT_NEAR(a5.paperHeight, 148, 0.01);
    EXPECT_EQ(a5.printableLeft, 0);
    EXPECT_NEAR(a5.printableWidth, 210, 0.01);
}
