#pragma once

#include "printing/PrintPageInfo.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// The printer that writes a PDF file instead of paper. The dialog always offers it, after
// the installed printers, so a machine without printers can still print.
inline constexpr std::string_view kPdfPrinterName = "PDF に出力";

// A PDF page is A4 and wholly printable: its margins reset to 0.
inline constexpr double kPdfPaperWidth = 210;
inline constexpr double kPdfPaperHeight = 297;
PrinterGeometry pdfPrinterGeometry();

// The printer list: the installed printers in the system's order, then the PDF printer.
std::vector<std::string> printerChoices(const std::vector<std::string>& installed);

// Index in choices of the printer to preselect: the program's current printer (the system's
// default until one is chosen in the dialog), else the first one.
std::size_t preselectedPrinter(const std::vector<std::string>& choices, std::string_view current);

// A font of the font list: the name shown, and the fixed-pitch face that prints it here.
struct PrintFont {
    std::string_view name;
    std::string_view face;
};

inline constexpr std::array<PrintFont, 2> kPrintFonts { {
    { "ＭＳ ゴシック", "IPAGothic" },
    { "ＭＳ 明朝", "IPAMincho" },
} };
inline constexpr std::size_t kDefaultPrintFont = 1; // ＭＳ 明朝

// The sizes offered, in points, as the list shows them.
inline constexpr std::array<std::string_view, 3> kPrintFontSizes { "9", "12", "18" };
inline constexpr std::size_t kDefaultPrintFontSize = 1; // 12

// The face that prints a font of the list; an unknown name prints as itself.
std::string_view printFace(std::string_view name);

} // namespace kuji
