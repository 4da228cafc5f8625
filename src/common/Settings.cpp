#include "common/Settings.h"

#include "common/IniFile.h"

#include <climits>
#include <cmath>

namespace kuji {

static_assert(Settings::kPathBytes == IniFile::kLongValueBytes);

namespace {

constexpr double kTwipsPerInch = 1440.0;

double usableDpi(double dpi)
{
    return dpi > 0 ? dpi : 96.0;
}

int roundToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::lround(v));
}

bool onlyOf(std::string_view text, std::string_view allowed)
{
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

IniFile loadOrEmpty(const std::string& path)
{
    auto ini = IniFile::load(path);
    return ini ? std::move(*ini) : IniFile();
}

// A key's value as read back: its default when missing or empty.
std::string valueOf(const IniFile& ini, const Settings::Key& key)
{
    std::string value = ini.value(key.section, key.key, key.maxBytes);
    return value.empty() ? std::string(key.defaultValue) : value;
}

// Sets every pair in one go and writes the file once; nothing is written when one of the
// values cannot be stored, so a section never ends up half old and half new.
bool writeAll(const std::string& path, std::initializer_list<std::pair<Settings::Key, std::string>> values)
{
    auto ini = IniFile::load(path);
    if (!ini)
        return false;
    for (const auto& [key, value] : values)
        if (!ini->setValue(key.section, key.key, value))
            return false;
    return ini->save(path);
}

} // namespace

int pixelsToTwips(int pixels, double dpi)
{
    return roundToInt(static_cast<double>(pixels) * kTwipsPerInch / usableDpi(dpi));
}

int twipsToPixels(int twips, double dpi)
{
    return roundToInt(static_cast<double>(twips) * usableDpi(dpi) / kTwipsPerInch);
}

int Settings::parseCoordinate(std::string_view text)
{
    if (!onlyOf(text, "0123456789"))
        return 0;
    int value = 0;
    for (char c : text) {
        const int digit = c - '0';
        if (value > (INT_MAX - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return value;
}

Settings::Mode Settings::parseMode(std::string_view text)
{
    return text == "Yomikomi" ? Mode::File : Mode::Number;
}

bool Settings::parseFlag(std::string_view text)
{
    return text == "1";
}

std::string Settings::filterDigits(std::string_view text)
{
    return onlyOf(text, "0123456789") && text.size() <= 9 ? std::string(text) : std::string();
}

std::string Settings::filterDrawCount(std::string_view text)
{
    return onlyOf(text, "0123456789-") ? std::string(text) : std::string();
}

Settings::Rect Settings::mainWindowRect(std::string_view left, std::string_view top, std::string_view width,
    std::string_view height, int screenWidth, int screenHeight)
{
    Rect r { parseCoordinate(left), parseCoordinate(top), parseCoordinate(width), parseCoordinate(height) };
    // An unknown screen size (zero) cuts nothing.
    if (screenWidth > 0 && r.width > screenWidth)
        r.width = screenWidth;
    if (screenHeight > 0 && r.height > screenHeight)
        r.height = screenHeight;
    return r;
}

int Settings::parseRollSeconds(std::string_view text)
{
    const bool shape = !text.empty() && text[0] >= '0' && text[0] <= '5'
        && (text.size() == 1 || (text.size() == 3 && text[1] == '.' && (text[2] == '0' || text[2] == '5')));
    const int half = shape ? (text[0] - '0') * 2 + (text.size() == 3 && text[2] == '5' ? 1 : 0) : -1;
    return half >= 0 && half <= kMaxRollHalfSeconds ? half : kDefaultRollHalfSeconds;
}

std::string Settings::rollSecondsText(int halfSeconds)
{
    if (halfSeconds < 0 || halfSeconds > kMaxRollHalfSeconds)
        halfSeconds = kDefaultRollHalfSeconds;
    return std::to_string(halfSeconds / 2) + (halfSeconds % 2 ? ".5" : "");
}

std::vector<Settings::Key> Settings::allKeys()
{
    std::vector<Key> keys = { kMainLeft, kMainTop, kMainWidth, kMainHeight, kOptionMode, kOptionNoDuplicates };
    keys.insert(keys.end(), kRecentFileKeys.begin(), kRecentFileKeys.end());
    keys.insert(keys.end(),
        { kResetMode, kResetMinValue, kResetMaxValue, kResetFile, kResetCount, kResetNoDuplicates, kPickupLeft,
            kPickupTop, kNewStringLeft, kNewStringTop, kNewStringWidth, kNewStringHeight, kRecordsKeep });
    for (const Key& key :
        { kAnnouncePrizeNames, kAnnounceColumns, kAnnounceMask, kAnnounceRollSeconds, kAnnounceScreen })
        keys.push_back(key);
    return keys;
}

Settings::Settings(std::string path)
    : m_path(std::move(path))
{
}

Settings::Rect Settings::readMainWindowRect(int screenWidthTwips, int screenHeightTwips) const
{
    const IniFile ini = loadOrEmpty(m_path);
    return mainWindowRect(valueOf(ini, kMainLeft), valueOf(ini, kMainTop), valueOf(ini, kMainWidth),
        valueOf(ini, kMainHeight), screenWidthTwips, screenHeightTwips);
}

bool Settings::writeMainWindowRect(const Rect& rect) const
{
    return writeAll(m_path,
        { { kMainLeft, std::to_string(rect.left) }, { kMainTop, std::to_string(rect.top) },
            { kMainWidth, std::to_string(rect.width) }, { kMainHeight, std::to_string(rect.height) } });
}

Settings::Mode Settings::readMode() const
{
    return parseMode(valueOf(loadOrEmpty(m_path), kOptionMode));
}

bool Settings::readNoDuplicates() const
{
    return parseFlag(valueOf(loadOrEmpty(m_path), kOptionNoDuplicates));
}

bool Settings::writeOption(Mode mode, bool noDuplicates) const
{
    return writeAll(m_path, { { kOptionMode, modeText(mode) }, { kOptionNoDuplicates, flagText(noDuplicates) } });
}

std::vector<std::string> Settings::readRecentFiles() const
{
    const IniFile ini = loadOrEmpty(m_path);
    std::vector<std::string> paths;
    for (auto key = kRecentFileKeys.rbegin(); key != kRecentFileKeys.rend(); ++key) {
        std::string path = valueOf(ini, *key);
        if (!path.empty())
            paths.push_back(std::move(path));
    }
    return paths;
}

bool Settings::writeRecentFiles(const std::vector<std::string>& newestFirst) const
{
    auto ini = IniFile::load(m_path);
    if (!ini)
        return false;
    bool changed = ini->removeSection(kUseFile);
    std::size_t next = 0;
    for (const std::string& path : newestFirst) {
        if (next == kRecentFileKeys.size())
            break;
        // A path the file cannot hold (one with a line break) is left out, not numbered.
        const Key& key = kRecentFileKeys[next];
        if (!path.empty() && ini->setValue(key.section, key.key, path)) {
            ++next;
            changed = true;
        }
    }
    return !changed || ini->save(m_path);
}

Settings::ResetPreset Settings::readResetPreset() const
{
    const IniFile ini = loadOrEmpty(m_path);
    ResetPreset preset;
    preset.mode = parseMode(valueOf(ini, kResetMode));
    preset.minValue = filterDigits(valueOf(ini, kResetMinValue));
    preset.maxValue = filterDigits(valueOf(ini, kResetMaxValue));
    preset.file = valueOf(ini, kResetFile);
    preset.countValue = filterDrawCount(valueOf(ini, kResetCount));
    preset.noDuplicates = parseFlag(valueOf(ini, kResetNoDuplicates));
    return preset;
}

bool Settings::writeResetPreset(const ResetPreset& preset) const
{
    if (preset.mode == Mode::Number) {
        return writeAll(m_path,
            { { kResetMode, modeText(preset.mode) }, { kResetMinValue, preset.minValue },
                { kResetMaxValue, preset.maxValue }, { kResetCount, preset.countValue },
                { kResetNoDuplicates, flagText(preset.noDuplicates) } });
    }
    return writeAll(m_path,
        { { kResetMode, modeText(preset.mode) }, { kResetFile, preset.file }, { kResetCount, preset.countValue },
            { kResetNoDuplicates, flagText(preset.noDuplicates) } });
}

Settings::Point Settings::readPickupPosition() const
{
    const IniFile ini = loadOrEmpty(m_path);
    return { parseCoordinate(valueOf(ini, kPickupLeft)), parseCoordinate(valueOf(ini, kPickupTop)) };
}

bool Settings::writePickupPosition(const Point& point) const
{
    return writeAll(m_path, { { kPickupLeft, std::to_string(point.left) }, { kPickupTop, std::to_string(point.top) } });
}

Settings::Rect Settings::readNewStringRect() const
{
    const IniFile ini = loadOrEmpty(m_path);
    return { parseCoordinate(valueOf(ini, kNewStringLeft)), parseCoordinate(valueOf(ini, kNewStringTop)),
        parseCoordinate(valueOf(ini, kNewStringWidth)), parseCoordinate(valueOf(ini, kNewStringHeight)) };
}

bool Settings::writeNewStringRect(const Rect& rect) const
{
    return writeAll(m_path,
        { { kNewStringLeft, std::to_string(rect.left) }, { kNewStringTop, std::to_string(rect.top) },
            { kNewStringWidth, std::to_string(rect.width) }, { kNewStringHeight, std::to_string(rect.height) } });
}

bool Settings::readKeepRecords() const
{
    return valueOf(loadOrEmpty(m_path), kRecordsKeep) != "0";
}

bool Settings::writeKeepRecords(bool keep) const
{
    return writeAll(m_path, { { kRecordsKeep, flagText(keep) } });
}

Settings::Announce Settings::readAnnounce() const
{
    const IniFile ini = loadOrEmpty(m_path);
    Announce values;
    values.prizeNames = valueOf(ini, kAnnouncePrizeNames);
    values.columns = valueOf(ini, kAnnounceColumns);
    values.mask = parseFlag(valueOf(ini, kAnnounceMask));
    values.rollHalfSeconds = parseRollSeconds(valueOf(ini, kAnnounceRollSeconds));
    values.screen = valueOf(ini, kAnnounceScreen);
    return values;
}

bool Settings::writeAnnounce(const Announce& values) const
{
    return writeAll(m_path,
        { { kAnnouncePrizeNames, values.prizeNames }, { kAnnounceColumns, values.columns },
            { kAnnounceMask, flagText(values.mask) }, { kAnnounceRollSeconds, rollSecondsText(values.rollHalfSeconds) },
            { kAnnounceScreen, values.screen } });
}

} // namespace kuji
