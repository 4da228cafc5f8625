#include "records/RecordChain.h"

#include <algorithm>

namespace kuji {
namespace {

std::string number(std::uint64_t n)
{
    return "記録 " + std::to_string(n);
}

} // namespace

std::vector<RecordListItem> recordListWithChain(
    const std::vector<RecordSummary>& summaries, const std::optional<RecordStore::ChainEnd>& end)
{
    std::vector<RecordListItem> items; // oldest first, reversed at the end
    std::optional<std::size_t> last; // the newest record of the chain so far
    std::optional<Sha256Digest> unreadableAfterLast; // a record between that cannot be read
    auto note = [&items](std::string text) { items.push_back({ std::nullopt, std::move(text) }); };
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        const RecordSummary& s = summaries[i];
        if (!s.readable) {
            unreadableAfterLast = s.fileDigest;
            items.push_back({ i, {} });
            continue;
        }
        if (s.format < 2) {
            items.push_back({ i, {} });
            continue;
        }
        if (last) {
            const RecordSummary& p = summaries[*last];
            // An unreadable record in between that this one names as its predecessor fills
            // the one number between them.
            const bool bridged
                = unreadableAfterLast && s.previous == unreadableAfterLast && s.sequence == p.sequence + 2;
            if (s.sequence <= p.sequence)
                note(number(s.sequence) + " の通し番号が、前の" + number(p.sequence) + " より後になっていません");
            else if (s.sequence > p.sequence + 1 && !bridged)
                note(number(p.sequence) + " と " + std::to_string(s.sequence) + " の間の "
                    + std::to_string(s.sequence - p.sequence - 1) + " 件がありません");
            else if (s.sequence == p.sequence + 1 && s.previous != p.fileDigest)
                note(number(p.sequence) + " は書き換えられているか差し替えられています（" + number(s.sequence)
                    + " に書かれた SHA-256 と合いません）");
        }
        items.push_back({ i, {} });
        last = i;
        unreadableAfterLast.reset();
    }
    if (end && last) {
        const RecordSummary& p = summaries[*last];
        if (end->sequence > p.sequence)
            note(number(p.sequence) + " の後の " + std::to_string(end->sequence - p.sequence) + " 件がありません");
        else if (end->sequence == p.sequence && end->digest != p.fileDigest)
            note(number(p.sequence)
                + " は書き換えられているか差し替えられています（記録の鎖に残る SHA-256 と合いません）");
    } else if (end && !last) {
        note("通し番号 " + std::to_string(end->sequence) + " までの記録がありません");
    }
    std::reverse(items.begin(), items.end());
    return items;
}

} // namespace kuji
