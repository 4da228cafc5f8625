#include "announce/RevealSequence.h"

#include <algorithm>
#include <charconv>
#include <numeric>

namespace kuji {
namespace {

constexpr std::string_view kRoundOpen = "【";
constexpr std::string_view kRoundMiddle = "回目の抽選結果：";
constexpr std::string_view kCountClose = "件】";
constexpr std::string_view kReplacementOpen = "【再抽選：";

// Takes a decimal number off the front of text.
bool takeNumber(std::string_view& text, std::uint32_t& number)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end == text.data())
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

bool takePrefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

} // namespace

bool parseRoundHeader(std::string_view text, std::uint32_t& round)
{
    std::uint32_t count = 0;
    return takePrefix(text, kRoundOpen) && takeNumber(text, round) && takePrefix(text, kRoundMiddle)
        && takeNumber(text, count) && text == kCountClose;
}

bool isReplacementHeader(std::string_view text)
{
    std::uint32_t count = 0;
    return takePrefix(text, kReplacementOpen) && takeNumber(text, count) && text == kCountClose;
}

// Rows the user has sorted or deleted keep their keys, and the keys are the draw order. A
// list in draw order (the usual case) is taken as it is; any other is put back in order by
// two counting passes over the key halves, so even a million sorted rows cost O(n).
std::vector<std::uint32_t> RevealSequence::rowsInKeyOrder() const
{
    const auto& rows = m_results->rows();
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    const bool inOrder
        = std::is_sorted(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
    if (inOrder)
        return order;
    std::vector<std::uint32_t> sorted(rows.size());
    for (const int shift : { 0, 16 }) {
        std::vector<std::size_t> starts(65537, 0);
        for (std::uint32_t row : order)
            ++starts[((rows[row].key >> shift) & 0xFFFFu) + 1];
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        for (std::uint32_t row : order)
            sorted[starts[(rows[row].key >> shift) & 0xFFFFu]++] = row;
        order.swap(sorted);
    }
    return order;
}

void RevealSequence::build(const ResultList& results, const WinnerStatus& status, std::vector<std::string> prizeNames)
{
    m_results = &results;
    m_status = &status;
    m_names = std::move(prizeNames);
    m_steps.clear();
    m_rounds.clear();
    m_drawRounds = 0;

    std::vector<Step> drawn;
    drawn.reserve(results.size());
    std::vector<Replacement> replacements;
    std::string scratch;
    const auto startRound = [this](std::uint32_t headerRow, std::uint32_t number) {
        m_rounds.push_back({ headerRow, number });
        m_drawRounds = std::max<std::size_t>(m_drawRounds, number);
    };
    for (std::uint32_t row : rowsInKeyOrder()) {
        std::uint32_t index = 0;
        if (results.drawnIndex(row, index)) {
            // Winners above every header: a draw of one round, or one whose header was deleted.
            if (m_rounds.empty())
                startRound(kNone, 1);
            Round& round = m_rounds.back();
            const Step step { row, static_cast<std::uint32_t>(m_rounds.size() - 1), ++round.winners,
                round.number == 0 };
            std::uint32_t absentKey = 0;
            const std::uint32_t key = results.key(row);
            if (step.replacement && status.replacedWinner(key, absentKey) && absentKey < key)
                replacements.push_back({ absentKey, step });
            else
                drawn.push_back(step);
            continue;
        }
        const std::string_view text = results.textView(row, scratch);
        std::uint32_t number = 0;
        if (isReplacementHeader(text))
            startRound(row, 0);
        else if (parseRoundHeader(text, number) && number > 0)
            startRound(row, number);
        else if (!text.empty())
            startRound(row, static_cast<std::uint32_t>(m_drawRounds + 1));
    }
    placeReplacements(std::move(drawn), std::move(replacements));
}

// Each replacement goes right after the winner it replaces (after that winner's earlier
// replacements too), under the same prize and place; one whose absent winner is no longer in
// the list stays in its own replacement round at the end.
void RevealSequence::placeReplacements(std::vector<Step> drawn, std::vector<Replacement> replacements)
{
    std::stable_sort(replacements.begin(), replacements.end(),
        [](const Replacement& a, const Replacement& b) { return a.absentKey < b.absentKey; });
    std::vector<bool> placed(replacements.size(), false);
    m_steps.reserve(drawn.size() + replacements.size());
    const auto place = [&](const Step& first) {
        // A replacement may be replaced in turn: the chain is followed without recursion.
        std::vector<Step> pending { first };
        while (!pending.empty()) {
            const Step step = pending.back();
            pending.pop_back();
            m_steps.push_back(step);
            const std::uint32_t key = m_results->key(step.row);
            const auto [from, to] = std::equal_range(replacements.begin(), replacements.end(), Replacement { key, {} },
                [](const Replacement& a, const Replacement& b) { return a.absentKey < b.absentKey; });
            // Pushed last to first, so the earliest replacement comes out next.
            for (auto at = static_cast<std::size_t>(to - replacements.begin());
                 at-- > static_cast<std::size_t>(from - replacements.begin());) {
                if (placed[at])
                    continue;
                placed[at] = true;
                pending.push_back({ replacements[at].step.row, step.round, step.position, true });
            }
        }
    };
    for (const Step& step : drawn)
        place(step);
    for (std::size_t i = 0; i < replacements.size(); ++i)
        if (!placed[i])
            m_steps.push_back(replacements[i].step);

    for (Round& round : m_rounds)
        round.firstStep = round.endStep = 0;
    std::vector<bool> seen(m_rounds.size(), false);
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        Round& round = m_rounds[m_steps[i].round];
        if (!seen[m_steps[i].round])
            round.firstStep = i;
        seen[m_steps[i].round] = true;
        round.endStep = i + 1;
    }
}

std::optional<std::size_t> RevealSequence::indexOfKey(std::uint32_t key) const
{
    for (std::size_t i = 0; i < m_steps.size(); ++i)
        if (this->key(i) == key)
            return i;
    return std::nullopt;
}

std::string RevealSequence::title(std::size_t index) const
{
    const Round& round = m_rounds[m_steps[index].round];
    if (round.number > 0 && round.number <= m_names.size())
        return m_names[round.number - 1];
    if (round.headerRow != kNone)
        return m_results->text(round.headerRow);
    return "抽選結果";
}

std::string RevealSequence::positionText(std::size_t index) const
{
    const Step& step = m_steps[index];
    const Round& round = m_rounds[step.round];
    const std::string place = std::to_string(round.winners) + "人中 " + std::to_string(step.position) + "人目";
    if (step.replacement && round.number > 0)
        return title(index) + " 再抽選（" + place + "の代わり）";
    return title(index) + " " + place;
}

std::string_view RevealSequence::winnerText(std::size_t index, std::string& scratch) const
{
    return m_results->textView(m_steps[index].row, scratch);
}

} // namespace kuji
