#pragma once

#include "common/ResultList.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// What the main window knows of a winner beyond the draw itself.
class WinnerStatus {
public:
    virtual ~WinnerStatus() = default;
    // The winner of this result key was marked absent (欠席).
    virtual bool isAbsent(std::uint32_t key) const = 0;
    // For a winner drawn in a replacement round: true, with absentKey set to the result key
    // of the winner it replaces; false for every other row.
    virtual bool replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const = 0;
};

// "【n回目の抽選結果：m件】" gives n; false for any other text.
bool parseRoundHeader(std::string_view text, std::uint32_t& round);
// "【再抽選：m件】", the header of a round of replacements.
bool isReplacementHeader(std::string_view text);

// The order in which 発表 reveals the winners of a result list: one step per winner in draw
// order (by sequence key, whatever order the list is shown in), each under its round. The
// rounds of the draw take the prize names in order; a replacement follows right after the
// winner it replaces and is shown under that winner's prize.
//
// A step keeps only row numbers; every text is made when asked for, so a million results
// cost sixteen bytes a step and no string. The sequence reads the result list and the status
// it was built from, which must outlive it and stay unchanged until the next build.
class RevealSequence {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Step {
        std::uint32_t row = 0; // row of the result list
        std::uint32_t round = 0; // index into the rounds; a replacement takes the replaced winner's
        std::uint32_t position = 0; // 1-based place among the round's winners
        bool replacement = false;
    };

    // Builds the steps in O(n) of the rows.
    void build(const ResultList& results, const WinnerStatus& status, std::vector<std::string> prizeNames);

    std::size_t size() const { return m_steps.size(); }
    bool empty() const { return m_steps.empty(); }
    const Step& step(std::size_t index) const { return m_steps[index]; }
    std::uint32_t key(std::size_t index) const { return m_results->key(m_steps[index].row); }
    // The step of the winner with this result key.
    std::optional<std::size_t> indexOfKey(std::uint32_t key) const;

    // The prize name of the step's round, else the round's header, else (a draw of one round
    // without a header) "抽選結果".
    std::string title(std::size_t index) const;
    // Where the winner stands: "1等 3人中 2人目"; a replacement says whose place it takes.
    std::string positionText(std::size_t index) const;
    // The winner's result text, as the result list holds it.
    std::string_view winnerText(std::size_t index, std::string& scratch) const;
    bool isAbsent(std::size_t index) const { return m_status->isAbsent(key(index)); }

    // Steps [begin, end) hold the round of step index: its winners and their replacements.
    std::size_t roundBegin(std::size_t index) const { return m_rounds[m_steps[index].round].firstStep; }
    std::size_t roundEnd(std::size_t index) const { return m_rounds[m_steps[index].round].endStep; }
    // The rounds of the draw the prize names pair with: the highest round number among the
    // headers, or one for a draw without headers. Replacement rounds do not count.
    std::size_t drawRounds() const { return m_drawRounds; }

private:
    struct Round {
        std::uint32_t headerRow = kNone;
        std::uint32_t number = 0; // 1-based round of the draw; 0 for a round of replacements
        std::uint32_t winners = 0; // winners drawn in the round itself
        std::size_t firstStep = 0;
        std::size_t endStep = 0;
    };
    struct Replacement {
        std::uint32_t absentKey;
        Step step;
    };

    std::vector<std::uint32_t> rowsInKeyOrder() const;
    void placeReplacements(std::vector<Step> drawn, std::vector<Replacement> replacements);

    const ResultList* m_results = nullptr;
    const WinnerStatus* m_status = nullptr;
    std::vector<std::string> m_names;
    std::vector<Step> m_steps;
    std::vector<Round> m_rounds;
    std::size_t m_drawRounds = 0;
};

} // namespace kuji
