#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kuji {

// Between the windows' text and the core's: the core keeps all text as UTF-8.
inline std::string toStd(const QString& text)
{
    return text.toStdString();
}

inline QString fromStd(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kuji
