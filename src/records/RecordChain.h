#pragma once

#include "records/RecordStore.h"

#include <optional>
#include <string>
#include <vector>

namespace kuji {

// One row of the list of records: a record, or a note where the chain of records is broken.
struct RecordListItem {
    std::optional<std::size_t> record; // index into the summaries
    std::string note; // a gap or an alteration, for a note row
};

// The list of records, newest first, with a note wherever the chain shows a record missing or
// altered: "記録 12 と 15 の間の 2 件がありません". summaries are oldest first (name order);
// end is the chain's last link as the folder keeps it. Records of format 1 have no place in
// the chain and are passed over; a record that cannot be read still links its neighbours by
// its file's digest.
std::vector<RecordListItem> recordListWithChain(
    const std::vector<RecordSummary>& summaries, const std::optional<RecordStore::ChainEnd>& end);

} // namespace kuji
