#include "draw/Commitment.h"

namespace kuji {
namespace {

std::string_view bytesOf(const Sha256Digest& digest)
{
    return { reinterpret_cast<const char*>(digest.data()), digest.size() };
}

std::string difference(std::string_view what, std::string_view promised, std::string_view now)
{
    return std::string(what) + "が予告と違います（予告: " + std::string(promised) + "、今: " + std::string(now) + "）";
}

std::string yesNo(bool on)
{
    return on ? "あり" : "なし";
}

} // namespace

std::string_view modeLabel(bool fileMode)
{
    return fileMode ? "読込抽選モード" : "数字抽選モード";
}

Sha256Digest commitmentNumber(const Commitment& c)
{
    Sha256 hash;
    hash.updateField("くじ丸 予告 v2");
    c.settings.hashInto(hash);
    hash.updateField(std::to_string(c.entryCount));
    hash.updateField(bytesOf(c.workList));
    hash.updateField(c.description);
    hash.updateField(c.dateTime);
    return hash.finish();
}

std::string formatCommitmentNumber(const Sha256Digest& number)
{
    const std::string hex = toHex(number);
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 4) {
        if (i > 0)
            out += ' ';
        out.append(hex, i, 4);
    }
    return out;
}

bool parseCommitmentNumber(std::string_view text, Sha256Digest& number)
{
    std::string hex;
    for (const char c : text)
        if (c != ' ')
            hex += c;
    return fromHex(hex, number);
}

std::vector<std::string> commitmentDifferences(
    const Commitment& promised, const CanonicalSettings& now, std::uint64_t entryCount, const Sha256Digest& workList)
{
    const CanonicalSettings& was = promised.settings;
    std::vector<std::string> lines;
    if (was.fileMode != now.fileMode) {
        // The other boxes mean other things in the other mode: the mode says it all.
        lines.push_back(difference("モード", modeLabel(was.fileMode), modeLabel(now.fileMode)));
        return lines;
    }
    if (was.noDuplicates != now.noDuplicates)
        lines.push_back(difference("ダブり無し", yesNo(was.noDuplicates), yesNo(now.noDuplicates)));
    if (!now.fileMode && was.minimum != now.minimum)
        lines.push_back(difference("最小値", std::to_string(was.minimum), std::to_string(now.minimum)));
    // In file mode the maximum is the number of entries, which the entries' line names.
    if (!now.fileMode && was.maximum != now.maximum)
        lines.push_back(difference("最大値", std::to_string(was.maximum), std::to_string(now.maximum)));
    if (was.counts != now.counts)
        lines.push_back(difference("抽選数", was.countsText(), now.countsText()));
    if (now.fileMode) {
        if (promised.entryCount != entryCount)
            lines.push_back(difference(
                "エントリーの件数", std::to_string(promised.entryCount) + " 件", std::to_string(entryCount) + " 件"));
        else if (promised.workList != workList)
            lines.push_back(difference("エントリーの内容（SHA-256）", toHex(promised.workList), toHex(workList)));
    }
    return lines;
}

} // namespace kuji
