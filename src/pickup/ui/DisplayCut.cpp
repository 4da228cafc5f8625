#include "pickup/ui/DisplayCut.h"

#include "common/ui/EntryListModel.h"

namespace kuji {

QString cutForDisplay(std::string_view utf8)
{
    // Counting code points on the UTF-8 bytes: a continuation byte (10xxxxxx) belongs to the
    // character before it.
    std::size_t chars = 0;
    std::size_t end = 0;
    for (; end < utf8.size(); ++end) {
        if ((static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80
            && chars++ == static_cast<std::size_t>(kDisplayChars))
            break;
    }
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(end));
    if (end < utf8.size())
        text += QChar(0x2026);
    return singleLineText(std::move(text));
}

} // namespace kuji
