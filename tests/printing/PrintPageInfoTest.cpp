#include "printing/PrintPageInfo.h"
#include "printing/PrintChoices.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

PrinterGeometry a4WithOffsets(double left, double top, double right, double bottom)
{
    return { 210, 297, left, top, 210 - left - right, 297 - top - bottom };
}

} // namespace

TEST(PrintPageInfo, LinesAndCellsBetweenTheMargins)
{
    const struct {
        const char* label;
        PrinterGeometry geometry;
        PrintMargins margins;
        int points;
        std::int32_t lines;
        std::int32_t chars;
    } cases[] = {
        { "A4, 10 mm all round, 12 pt", a4WithOffsets(0, 0, 0, 0), { 10, 10, 10, 10 }, 12, 65, 89 },
        { "A4, left 0, right 100, 18 pt", a4WithOffsets(0, 0, 0, 0), { 0, 10, 100, 10 }, 18, 43, 34 },
        { "PDF at its reset margins, 12 pt", pdfPrinterGeometry(), minimumMargins(pdfPrinterGeometry()), 12, 70, 99 },
        { "PDF, 9 pt", pdfPrinterGeometry(), {}, 9, 93, 132 },
        { "margins wider than the paper", { 100, 148, 0, 0, 100, 148 }, { 50, 0, 50, 0 }, 12, 34, 0 },
        { "margins taller than the paper", { 100, 148, 0, 0, 100, 148 }, { 0, 100, 0, 100 }, 9, 0, 63 },
    };
    for (const auto& c : cases) {
        const PrintPageInfo info = pageInfo(c.geometry, c.margins, c.points);
        EXPECT_EQ(info.linesPerPage, c.lines) << c.label;
        EXPECT_EQ(info.charsPerLine, c.chars) << c.label;
        EXPECT_EQ(info.fits(), c.lines >= 1 && c.chars >= 1) << c.label;
    }
    const PrintPageInfo twelve = pageInfo(a4WithOffsets(0, 0, 0, 0), {}, 12);
    EXPECT_DOUBLE_EQ(twelve.lineHeight, 4.2336);
    EXPECT_DOUBLE_EQ(twelve.charWidth, 2.1164016);
}

TEST(PrintPageInfo, GeometryInWholeMillimetresWithoutNegativeStrips)
{
    // A printable area that, rounded on its own, reaches past the paper's right and bottom edges.
    const PrinterGeometry geometry { 215.9, 279.4, 4.4, 4.6, 211.6, 274.9 };
    const PrintPageInfo info = printerPageInfo(geometry);
    EXPECT_EQ(info.paperWidth, 216);
    EXPECT_EQ(info.paperHeight, 279);
    EXPECT_EQ(info.offsetLeft, 4);
    EXPECT_EQ(info.offsetTop, 5);
    EXPECT_EQ(info.minRight, 0); // 216 - 212 - 4
    EXPECT_EQ(info.minBottom, 0); // 279 - 275 - 5 would be -1
    EXPECT_EQ(minimumMargins(geometry), (PrintMargins { 4, 5, 0, 0 }));

    EXPECT_EQ(minimumMargins(a4WithOffsets(4.2, 6.35, 5.1, 12.7)), (PrintMargins { 4, 6, 5, 13 }));
    EXPECT_EQ(minimumMargins(pdfPrinterGeometry()), (PrintMargins {}));
}

TEST(PrintChoices, PdfPrinterComesLastAndTheCurrentPrinterIsPreselected)
{
    const std::vector<std::string> installed { "Office", "Laser" };
    const std::vector<std::string> choices = printerChoices(installed);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices.back(), kPdfPrinterName);
    EXPECT_EQ(preselectedPrinter(choices, "Laser"), 1u);
    EXPECT_EQ(preselectedPrinter(choices, kPdfPrinterName), 2u);
    EXPECT_EQ(preselectedPrinter(choices, "Removed"), 0u);
    EXPECT_EQ(preselectedPrinter(choices, ""), 0u);

    const std::vector<std::string> alone = printerChoices({});
    EXPECT_EQ(alone, std::vector<std::string> { std::string(kPdfPrinterName) });
    EXPECT_EQ(preselectedPrinter(alone, ""), 0u);
}

TEST(PrintChoices, ListedFontsPrintWithInstalledFaces)
{
    EXPECT_EQ(printFace("ＭＳ ゴシック"), "IPAGothic");
    EXPECT_EQ(printFace(kPrintFonts[kDefaultPrintFont].name), "IPAMincho");
    EXPECT_EQ(printFace("Noto Sans Mono CJK JP"), "Noto Sans Mono CJK JP");
}
