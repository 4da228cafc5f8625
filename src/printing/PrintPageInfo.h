#pragma once

#include <cstdint>
#include <string_view>

namespace kuji {

// What the selected printer reports about its paper, in millimetres as measured (the window
// converts from device pixels with the printer's resolution). The printable area is given
// by its top-left corner on the paper and its size.
struct PrinterGeometry {
    double paperWidth = 0;
    double paperHeight = 0;
    double printableLeft = 0;
    double printableTop = 0;
    double printableWidth = 0;
    double printableHeight = 0;
};

// The four margin boxes of the print dialog, in whole millimetres from the paper's edges.
struct PrintMargins {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool operator==(const PrintMargins&) const = default;
};

// The layout of one print run: the printer's geometry in whole millimetres, the margins, the
// font's line and cell size, and how many lines and cells fit.
struct PrintPageInfo {
    std::int32_t offsetLeft = 0; // unprintable strip at the left edge
    std::int32_t offsetTop = 0; // unprintable strip at the top edge
    std::int32_t minRight = 0; // unprintable strip at the right edge, never negative
    std::int32_t minBottom = 0; // unprintable strip at the bottom edge, never negative
    std::int32_t marginLeft = 0;
    std::int32_t marginTop = 0;
    std::int32_t marginRight = 0;
    std::int32_t marginBottom = 0;
    std::int32_t paperHeight = 0;
    std::int32_t paperWidth = 0;
    double lineHeight = 0; // mm from one line's top to the next
    double charWidth = 0; // mm of one half-width cell
    std::int32_t linesPerPage = 0;
    std::int32_t charsPerLine = 0;

    // At least one line of at least one cell fits between the margins.
    bool fits() const { return linesPerPage >= 1 && charsPerLine >= 1; }
};

// Shown (title "エラー", error icon, OK) when the margins leave no room for a line.
inline constexpr std::string_view kMarginsTooLargeMessage = "Error:余白が大き過ぎます。";

// Millimetres of one point, and of one twip: a line is as high as the font's size, a
// half-width cell half as wide (ten twips per point of size).
inline constexpr double kMmPerPoint = 0.3528;
inline constexpr double kMmPerTwip = 0.01763668;

// The geometry step: paper and printable area in whole millimetres, with the strips at the
// right and bottom worked out from them. Margins, font and the fit stay zero.
PrintPageInfo printerPageInfo(const PrinterGeometry& geometry);

// The margin reset on choosing a printer: each margin as wide as that edge's unprintable
// strip, so the lines fill exactly the printable area.
PrintMargins minimumMargins(const PrinterGeometry& geometry);

// Everything a print run needs: the geometry step, the margins as the boxes hold them, and
// for the font size in points the line height, cell width, lines per page and cells per line.
// Check fits() before laying out.
PrintPageInfo pageInfo(const PrinterGeometry& geometry, const PrintMargins& margins, int fontPoints);

} // namespace kuji
