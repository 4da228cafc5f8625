#pragma once

#include "common/ResultList.h"

#include <string>
#include <vector>

namespace kuji::test {

// Fills a number draw's result list with the rounds the draw writes: "1-3" gives a header, one
// number, an empty row, a header and three numbers. Numbers are 101, 102, ... in draw order.
inline void fillRounds(ResultList& list, const std::vector<int>& counts)
{
    list.reset(100, 1, nullptr);
    std::uint32_t next = 1;
    for (std::size_t round = 0; round < counts.size(); ++round) {
        if (counts.size() > 1) {
            if (round > 0)
                list.appendEmpty();
            list.appendHeader(
                "【" + std::to_string(round + 1) + "回目の抽選結果：" + std::to_string(counts[round]) + "件】");
        }
        for (int i = 0; i < counts[round]; ++i)
            list.appendNumber(next++);
    }
}

} // namespace kuji::test
