#include "app/ui/AnnounceLink.h"

#include "announce/AnnounceOptions.h"
#include "announce/ui/FrmAnnounce.h"
#include "announce/ui/FrmAnnounceSettings.h"
#include "announce/ui/MotionPreference.h"
#include "app/ui/ReplacementCommand.h"
#include "common/Settings.h"
#include "common/ui/MainWindowPort.h"
#include "common/ui/Platform.h"
#include "entries/ui/ResultListModel.h"

namespace kuji {
namespace {

// A box of the range as the draw reads it: one to nine digits.
std::optional<std::int64_t> rangeValue(const QString& text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return text.toLongLong();
}

bool holdsAWinner(const ResultList& results)
{
    for (std::size_t row = 0; row < results.size(); ++row) {
        std::uint32_t index = 0;
        if (results.drawnIndex(row, index))
            return true;
    }
    return false;
}

} // namespace

AnnounceLink::AnnounceLink(MainWindowPort& main, const ResultListModel& results, Platform& platform, HelpService& help,
    const Settings& settings, ReplacementCommand& replacement, QObject* parent)
    : QObject(parent)
    , m_main(main)
    , m_results(results)
    , m_platform(platform)
    , m_help(help)
    , m_settings(settings)
    , m_replacement(replacement)
    , m_motion(new MotionPreference(this))
{
}

bool AnnounceLink::isAbsent(std::uint32_t key) const
{
    return m_replacement.isAbsent(key);
}

bool AnnounceLink::replacedWinner(std::uint32_t replacementKey, std::uint32_t& absentKey) const
{
    return m_replacement.replacedWinner(replacementKey, absentKey);
}

bool AnnounceLink::drawReplacements(const std::vector<std::uint32_t>& keys, QWidget* dialogParent)
{
    return m_replacement.replace(keys, dialogParent);
}

void AnnounceLink::open()
{
    QWidget* main = m_main.mainWidget();
    if (!holdsAWinner(results())) {
        m_platform.showMessage(
            main, { QStringLiteral("発表する当選者がいません。"), QStringLiteral("発表"), QMessageBox::Information });
        return;
    }
    // The desktop's answer comes while the organiser reads the settings.
    m_motion->ask();
    FrmAnnounceSettings settings(
        m_platform, m_help, *this, AnnounceOptions::fromStored(m_settings.readAnnounce()), *m_motion, main);
    if (m_platform.execModal(settings) != QDialog::Accepted)
        return;
    const AnnounceOptions options = settings.options();
    m_settings.writeAnnounce(options.toStored());
    FrmAnnounce announce(m_platform, *this, options, !m_motion->reduced(), main);
    announce.placeOn(settings.chosenScreen());
    m_platform.execModal(announce);
}

const ResultList& AnnounceLink::results() const
{
    return m_results.results();
}

std::shared_ptr<const EntryList> AnnounceLink::workList() const
{
    return m_main.workList();
}

bool AnnounceLink::isFileMode() const
{
    return m_main.isFileMode();
}

std::optional<AnnounceHost::NumberRange> AnnounceLink::numberRange() const
{
    const MainWindowPort::DrawBoxes boxes = m_main.drawBoxes();
    const auto minimum = rangeValue(boxes.first);
    const auto maximum = rangeValue(boxes.second);
    if (!minimum || !maximum || *minimum > *maximum)
        return std::nullopt;
    return NumberRange { *minimum, *maximum, static_cast<std::size_t>(boxes.first.size()) };
}

} // namespace kuji
