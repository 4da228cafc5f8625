#include "announce/PrizeNames.h"

#include "announce/HallText.h"

namespace kuji {

PrizeNames PrizeNames::parse(std::string_view text)
{
    PrizeNames parsed;
    if (trimSpaces(text).empty())
        return parsed;
    for (std::string_view piece : splitAtListSeparators(text)) {
        const std::string_view name = trimSpaces(piece);
        if (name.empty()) {
            parsed.error = std::to_string(parsed.names.size() + 1)
                + "つ目の賞の名前が空です。区切りの「,"
                  "」や「、」が続いていないか、最後に付いていないか確かめてください。";
            parsed.names.clear();
            return parsed;
        }
        parsed.names.emplace_back(name);
    }
    return parsed;
}

std::string PrizeNames::join(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty())
            text += ',';
        text += name;
    }
    return text;
}

std::string prizeCountWarning(std::size_t names, std::size_t rounds)
{
    if (names == 0 || names == rounds)
        return {};
    const std::string counts
        = "賞の名前が" + std::to_string(names) + "つありますが、抽選は" + std::to_string(rounds) + "回です。";
    if (names > rounds)
        return counts + std::to_string(rounds + 1) + "つ目からの名前は使いません。";
    return counts + std::to_string(names + 1) + "回目からは、回の見出しをそのまま表示します。";
}

} // namespace kuji
