#include "announce/AnnounceOptions.h"

#include "announce/HallText.h"
#include "announce/PrizeNames.h"

namespace kuji {

AnnounceOptions AnnounceOptions::fromStored(const Settings::Announce& stored)
{
    AnnounceOptions options;
    options.prizeNames = PrizeNames::parse(stored.prizeNames).names;
    options.columns = HallText::parseColumns(stored.columns).numbers;
    options.mask = stored.mask;
    options.rollHalfSeconds = stored.rollHalfSeconds;
    options.screen = stored.screen;
    return options;
}

Settings::Announce AnnounceOptions::toStored() const
{
    return { PrizeNames::join(prizeNames), HallText::columnsText(columns), mask, rollHalfSeconds, screen };
}

} // namespace kuji
