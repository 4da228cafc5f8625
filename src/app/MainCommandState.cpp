#include "app/MainCommandState.h"

namespace kuji {

void MainCommandState::setIdle(bool fileMode)
{
    m_frames = true;
    set(MainButton::Stop, false);
    set(MainButton::Reset, true);
    set(MainButton::Help, true);
    m_fileEnd = true;
    if (fileMode) {
        set(MainButton::Open, true);
        set(MainButton::PickupRecord, true);
        m_newString = true;
    }
    m_busy = false;
}

void MainCommandState::setBusy()
{
    m_busy = true;
    m_fileEnd = false;
    m_newString = false;
    for (MainButton button : { MainButton::Open, MainButton::Save, MainButton::Print, MainButton::AllSelect,
             MainButton::Copy, MainButton::Sort, MainButton::PickupRecord, MainButton::Start, MainButton::Reset })
        set(button, false);
    set(MainButton::Stop, true);
    set(MainButton::Help, true);
    m_frames = false;
}

void MainCommandState::refreshStart(bool allBoxesFilled)
{
    // Boxes that change while work runs (a file read fills them) must not offer Start early.
    if (m_busy)
        return;
    set(MainButton::Start, allBoxesFilled);
}

void MainCommandState::drawCompleted()
{
    for (MainButton button : { MainButton::Save, MainButton::Print, MainButton::Start, MainButton::AllSelect,
             MainButton::Copy, MainButton::Sort })
        set(button, true);
}

void MainCommandState::resultsDiscarded()
{
    for (MainButton button :
        { MainButton::Save, MainButton::Print, MainButton::AllSelect, MainButton::Copy, MainButton::Sort })
        set(button, false);
}

} // namespace kuji
