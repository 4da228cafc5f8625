#include "printing/PrintChoices.h"

#include <algorithm>

namespace kuji {

PrinterGeometry pdfPrinterGeometry()
{
    return { kPdfPaperWidth, kPdfPaperHeight, 0, 0, kPdfPaperWidth, kPdfPaperHeight };
}

std::vector<std::string> printerChoices(const std::vector<std::string>& installed)
{
    std::vector<std::string> choices = installed;
    choices.emplace_back(kPdfPrinterName);
    return choices;
}

std::size_t preselectedPrinter(const std::vector<std::string>& choices, std::string_view current)
{
    const auto it = std::find(choices.begin(), choices.end(), current);
    return it == choices.end() ? 0 : static_cast<std::size_t>(it - choices.begin());
}

std::string_view printFace(std::string_view name)
{
    for (const PrintFont& font : kPrintFonts)
        if (font.name == name)
            return font.face;
    return name;
}

} // namespace kuji
