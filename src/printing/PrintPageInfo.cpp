#include "printing/PrintPageInfo.h"

#include <algorithm>
#include <cmath>

namespace kuji {
namespace {

std::int32_t wholeMm(double mm)
{
    return static_cast<std::int32_t>(std::lround(mm));
}

// Integer part of a quotient of lengths. A page that holds exactly n lines must not lose the
// last one to the rounding of the line height, so a hair below a whole number counts as it.
std::int32_t howManyFit(double length, double step)
{
    return static_cast<std::int32_t>(std::floor(length / step + 1e-9));
}

} // namespace

PrintPageInfo printerPageInfo(const PrinterGeometry& geometry)
{
    PrintPageInfo info;
    info.offsetLeft = wholeMm(geometry.printableLeft);
    info.offsetTop = wholeMm(geometry.printableTop);
    info.paperWidth = wholeMm(geometry.paperWidth);
    info.paperHeight = wholeMm(geometry.paperHeight);
    // Rounding each value on its own can leave a strip of -1; a margin below zero means nothing.
    info.minRight = std::max(0, info.paperWidth - wholeMm(geometry.printableWidth) - info.offsetLeft);
    info.minBottom = std::max(0, info.paperHeight - wholeMm(geometry.printableHeight) - info.offsetTop);
    return info;
}

PrintMargins minimumMargins(const PrinterGeometry& geometry)
{
    const PrintPageInfo info = printerPageInfo(geometry);
    return { info.offsetLeft, info.offsetTop, info.minRight, info.minBottom };
}

PrintPageInfo pageInfo(const PrinterGeometry& geometry, const PrintMargins& margins, int fontPoints)
{
    PrintPageInfo info = printerPageInfo(geometry);
    info.marginLeft = margins.left;
    info.marginTop = margins.top;
    info.marginRight = margins.right;
    info.marginBottom = margins.bottom;
    info.lineHeight = fontPoints * kMmPerPoint;
    info.charWidth = fontPoints * 10 * kMmPerTwip;
    if (info.lineHeight > 0 && info.charWidth > 0) {
        info.linesPerPage = std::max(
            0, howManyFit(static_cast<double>(info.paperHeight) - info.marginTop - info.marginBottom, info.lineHeight));
        info.charsPerLine = std::max(
            0, howManyFit(static_cast<double>(info.paperWidth) - info.marginLeft - info.marginRight, info.charWidth));
    }
    return info;
}

} // namespace kuji
