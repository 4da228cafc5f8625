#pragma once

#include "announce/HallText.h"
#include "announce/RevealSequence.h"

#include <cstddef>
#include <string>

namespace kuji {

// The texts of a winner as 発表 shows and lists them, made for one step when asked for.
class WinnersList {
public:
    // How many characters of one column a screen shows at most (see HallText::show).
    static constexpr std::size_t kScreenCharacters = 1000;

    WinnersList(const RevealSequence& sequence, HallText hall)
        : m_sequence(sequence)
        , m_hall(std::move(hall))
    {
    }

    // What the hall sees of the winner of a step (columns and mask applied), cut for a screen.
    std::string shown(std::size_t step) const;
    // The winner in the hall's form, whole, for lists that are saved and printed.
    std::string whole(std::size_t step) const;
    // One line of the winners list: "1等: 山田太郎", with "（欠席）" for a winner marked absent
    // and "（再抽選）" for a replacement, which follows the winner it replaces.
    std::string line(std::size_t step) const;

    const HallText& hall() const { return m_hall; }

private:
    const RevealSequence& m_sequence;
    HallText m_hall;
};

} // namespace kuji
