#include "printing/PrintLayout.h"
#include "printing/PrintChoices.h"
#include "printing/PrintText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kuji;
using Texts = std::vector<std::string>;

namespace {

// A page of exactly this many lines and cells: 12 pt, 10 mm margins left and top.
PrintPageInfo page(std::int32_t charsPerLine, std::int32_t linesPerPage = 1000)
{
    PrintPageInfo info;
    info.marginLeft = 10;
    info.marginTop = 10;
    info.lineHeight = 12 * kMmPerPoint;
    info.charWidth = 12 * 10 * kMmPerTwip;
    info.charsPerLine = charsPerLine;
    info.linesPerPage = linesPerPage;
    return info;
}

std::vector<PrintedLine> layOut(Texts texts, const PrintPageInfo& info)
{
    std::vector<PrintedLine> lines;
    PrintLayout layout(std::move(texts), info);
    layout.runToEnd([&](const PrintedLine& line) { lines.push_back(line); });
    EXPECT_TRUE(layout.done());
    return lines;
}

Texts printedTexts(Texts texts, const PrintPageInfo& info)
{
    Texts out;
    for (const PrintedLine& line : layOut(std::move(texts), info))
        out.push_back(line.text);
    return out;
}

Texts numberedRows(std::size_t count)
{
    Texts rows;
    rows.reserve(count);
    for (std::size_t i = 1; i <= count; ++i)
        rows.push_back(std::to_string(i));
    return rows;
}

std::string repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out.append(piece);
    return out;
}

} // namespace

TEST(PrintLayout, WrapsByDisplayWidth)
{
    const struct {
        const char* label;
        std::string text;
        std::int32_t charsPerLine;
        Texts printed;
    } cases[] = {
        { "twelve half-width letters", "abcdefghijkl", 10, { "abcdefghij", "kl" } },
        { "six full-width characters", "あいうえおか", 10, { "あいうえお", "か" } },
        { "exactly full", "abcdefghij", 10, { "abcdefghij" } },
        { "full-width wider than the line", "あ", 1, { "", "あ" } },
        { "each full-width alone", "ああ", 1, { "", "あ", "あ" } },
        { "full-width after an odd cell", "aあb", 2, { "a", "あ", "b" } },
        { "supplementary kanji stay whole", "𠮷𠮷𠮷", 3, { "𠮷", "𠮷", "𠮷" } },
        { "emoji stay whole", "a😀b", 2, { "a", "😀", "b" } },
        { "a tab is one cell, printed as a space", "\tabcdefghij", 10, { " abcdefghi", "j" } },
        { "long line over several pieces", repeat("0123456789", 3) + "x", 10,
            { "0123456789", "0123456789", "0123456789", "x" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(printedTexts({ c.text }, page(c.charsPerLine)), c.printed) << c.label;
}

TEST(PrintLayout, SplitsTextsAtCrLf)
{
    const struct {
        const char* label;
        Texts texts;
        Texts printed;
    } cases[] = {
        { "two lines", { "a\r\nb" }, { "a", "b" } },
        { "a final break adds an empty line", { "a\r\n" }, { "a", "" } },
        { "only a break", { "\r\n" }, { "", "" } },
        { "empty text is one empty line", { "" }, { "" } },
        { "lone LF and CR are controls", { "a\nb\rc" }, { "a b c" } },
        { "LF CR is no break", { "a\n\rb" }, { "a  b" } },
        { "every element in order", { "x", "", "y\r\nz" }, { "x", "", "y", "z" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(printedTexts(c.texts, page(80)), c.printed) << c.label;
}

TEST(PrintLayout, CountsLinesAcrossTextsAndBreaksPages)
{
    const PrintPageInfo info = page(3, 2);
    const std::vector<PrintedLine> lines = layOut({ "a\r\nb", "cdefg", "h" }, info);
    const struct {
        std::int32_t page;
        double y;
        const char* text;
    } expected[] = {
        { 1, 10, "a" },
        { 1, 10 + info.lineHeight, "b" },
        { 2, 10, "cde" },
        { 2, 10 + info.lineHeight, "fg" },
        { 3, 10, "h" },
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].page, expected[i].page) << i;
        EXPECT_DOUBLE_EQ(lines[i].x, 10) << i;
        EXPECT_DOUBLE_EQ(lines[i].y, expected[i].y) << i;
        EXPECT_EQ(lines[i].text, expected[i].text) << i;
    }
}

TEST(PrintLayout, OneEmptyTextIsOneBlankPage)
{
    const std::vector<PrintedLine> lines = layOut({ "" }, page(10, 5));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].page, 1);
    EXPECT_EQ(lines[0].text, "");
}

TEST(PrintLayout, PdfPagesAtTheResetMargins)
{
    const PrinterGeometry pdf = pdfPrinterGeometry();
    const PrintPageInfo info = pageInfo(pdf, minimumMargins(pdf), 12);
    ASSERT_TRUE(info.fits());
    for (const auto& [rows, pages] :
        { std::pair<std::size_t, std::int32_t> { 70, 1 }, { 71, 2 }, { 200, 3 }, { 100000, 1429 } }) {
        PrintLayout layout(numberedRows(rows), info);
        std::int64_t count = 0;
        layout.runToEnd([&](const PrintedLine&) { ++count; });
        EXPECT_EQ(count, static_cast<std::int64_t>(rows));
        EXPECT_EQ(layout.page(), pages) << rows << " rows";
    }
}

TEST(PrintLayout, LinesStayInsideThePrintableArea)
{
    // Unprintable strips of 4 mm on every edge; the margins as choosing the printer sets them.
    const PrinterGeometry geometry { 210, 297, 4, 4, 202, 289 };
    const PrintMargins margins = minimumMargins(geometry);
    ASSERT_EQ(margins, (PrintMargins { 4, 4, 4, 4 }));
    // Texts that fill every line to the last cell, the full-width one leaving one cell empty.
    Texts texts;
    for (int i = 0; i < 4; ++i)
        texts.insert(texts.end(), { repeat("a", 2000), repeat("あ", 1000), repeat("ｱa", 800) });
    for (const int points : { 9, 12, 18 }) {
        const PrintPageInfo info = pageInfo(geometry, margins, points);
        std::int64_t lines = 0;
        std::int32_t lastPage = 0;
        PrintLayout layout(texts, info);
        layout.runToEnd([&](const PrintedLine& line) {
            ++lines;
            lastPage = line.page;
            const double right = line.x + print::displayWidth(line.text) * info.charWidth;
            const double bottom = line.y + info.lineHeight;
            EXPECT_GE(line.x, 4) << points;
            EXPECT_GE(line.y, 4) << points;
            EXPECT_LE(right, 210 - 4) << points << " pt: " << line.text;
            EXPECT_LE(bottom, 297 - 4) << points << " pt, page " << line.page;
        });
        EXPECT_GT(lastPage, 1) << points << " pt: the test must cross a page";
        EXPECT_GT(lines, info.linesPerPage) << points;
    }
}

TEST(PrintLayout, NothingWhenNoLineFits)
{
    const PrintPageInfo info = pageInfo({ 100, 148, 0, 0, 100, 148 }, { 50, 0, 50, 0 }, 12);
    ASSERT_FALSE(info.fits());
    PrintLayout layout({ "a", "b" }, info);
    PrintedLine line;
    EXPECT_FALSE(layout.next(line));
    EXPECT_TRUE(layout.done());
}

TEST(PrintLayout, SlicingChangesNothing)
{
    Texts texts = numberedRows(3000);
    texts.push_back(repeat("長い行", 300));
    texts.push_back("a\r\n\r\nb");
    const PrintPageInfo info = page(37, 23);

    std::vector<PrintedLine> whole = layOut(texts, info);

    std::vector<PrintedLine> sliced;
    PrintLayout layout(texts, info);
    int calls = 0;
    const auto past = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    while (!layout.step(past, [&](const PrintedLine& line) { sliced.push_back(line); }))
        ++calls;
    EXPECT_GT(calls, 10);
    EXPECT_TRUE(layout.done());
    EXPECT_EQ(layout.textsDone(), layout.textCount());

    ASSERT_EQ(sliced.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(sliced[i].page, whole[i].page) << i;
        EXPECT_EQ(sliced[i].y, whole[i].y) << i;
        EXPECT_EQ(sliced[i].text, whole[i].text) << i;
    }
}
