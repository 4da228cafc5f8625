#include "announce/WinnersList.h"

namespace kuji {

std::string WinnersList::shown(std::size_t step) const
{
    std::string scratch;
    return m_hall.show(m_sequence.winnerText(step, scratch), kScreenCharacters);
}

std::string WinnersList::whole(std::size_t step) const
{
    std::string scratch;
    return m_hall.show(m_sequence.winnerText(step, scratch));
}

std::string WinnersList::line(std::size_t step) const
{
    std::string text = m_sequence.title(step) + ": " + whole(step);
    if (m_sequence.isAbsent(step))
        text += "（欠席）";
    if (m_sequence.step(step).replacement)
        text += "（再抽選）";
    return text;
}

} // namespace kuji
