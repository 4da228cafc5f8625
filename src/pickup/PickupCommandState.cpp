#include "pickup/PickupCommandState.h"

namespace kuji {

void PickupCommandState::setBusy()
{
    m_busy = true;
    m_fileEnd = false;
    m_conditions = false;
    for (PickupButton button : { PickupButton::Open, PickupButton::Save, PickupButton::Print, PickupButton::AllSelect,
             PickupButton::Copy, PickupButton::Sort, PickupButton::Start, PickupButton::Send })
        set(button, false);
    set(PickupButton::Stop, true);
    set(PickupButton::Help, true);
}

void PickupCommandState::setBusyForTransfer()
{
    setBusy();
    set(PickupButton::Stop, false);
}

void PickupCommandState::setIdle(std::size_t conditionCount, std::size_t recordCount)
{
    m_busy = false;
    m_fileEnd = true;
    m_conditions = true;
    set(PickupButton::Open, true);
    set(PickupButton::Stop, false);
    set(PickupButton::Help, true);
    refreshStart(conditionCount, recordCount);
}

void PickupCommandState::refreshStart(std::size_t conditionCount, std::size_t recordCount)
{
    if (m_busy)
        return;
    set(PickupButton::Start, conditionCount > 0 && recordCount > 0);
}

void PickupCommandState::runCompleted()
{
    for (PickupButton button : { PickupButton::Save, PickupButton::Print, PickupButton::AllSelect, PickupButton::Copy,
             PickupButton::Sort, PickupButton::Send })
        set(button, true);
}

} // namespace kuji
