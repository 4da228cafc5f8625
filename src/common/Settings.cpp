#include "common/Settings.h"

#include "common/IniFile.h"

#include <climits>
#include <cmath>

namespace kuji {
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

// Sets every pair in one go and writes the file once; nothing is written when one of the
// values cannot be stored, so the section never ends up half old and half new.
bool writeAll(const std::string& path, std::string_view section,
    std::initializer_list<std::pair<std::string_view, std::string>> values)
{
    auto ini = IniFile::load(path);
    if (!ini)
        return false;
    for (const auto& [key, value] : values)
        if (!ini->setValue(section, key, value))
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

bool Settings::parseDaburi(std::string_view text)
{
    return text == "1";
}

std::string Settings::filterDigits(std::string_view text)
{
    return onlyOf(text, "0123456789") ? std::string(text) : std::string();
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

Settings::Settings(std::string path)
    : m_path(std::move(path))
{
}

std::string Settings::read(std::string_view section, std::string_view key) const
{
    return myReadIni(section, key, m_path);
}

Settings::Rect Settings::readMainWindowRect(int screenWidthTwips, int screenHeightTwips) const
{
    const IniFile ini = loadOrEmpty(m_path);
    const std::string left = ini.value(kMainPosition, "Left");
    const std::string top = ini.value(kMainPosition, "Top");
    const std::string width = ini.value(kMainPosition, "Width");
    const std::string height = ini.value(kMainPosition, "Height");
    return mainWindowRect(left, top, width, height, screenWidthTwips, screenHeightTwips);
}

bool Settings::writeMainWindowRect(const Rect& rect) const
{
    return writeAll(m_path, kMainPosition,
        { { "Left", std::to_string(rect.left) }, { "Top", std::to_string(rect.top) },
            { "Width", std::to_string(rect.width) }, { "Height", std::to_string(rect.height) } });
}

Settings::Mode Settings::readMode() const
{
    return parseMode(read(kOption, "Mode"));
}

bool Settings::readDaburi() const
{
    return parseDaburi(read(kOption, "Daburi"));
}

bool Settings::writeOption(Mode mode, bool daburi) const
{
    return writeAll(m_path, kOption, { { "Mode", modeText(mode) }, { "Daburi", flagText(daburi) } });
}

std::vector<std::string> Settings::readRecentFiles() const
{
    const IniFile ini = loadOrEmpty(m_path);
    std::vector<std::string> paths;
    for (std::size_t n = kRecentFileCount; n >= 1; --n) {
        std::string path = ini.value(kUseFile, std::to_string(n));
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
    std::size_t next = 1;
    for (const std::string& path : newestFirst) {
        if (next > kRecentFileCount)
            break;
        // A path the file cannot hold (one with a line break) is left out, not numbered.
        if (!path.empty() && ini->setValue(kUseFile, std::to_string(next), path)) {
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
    preset.mode = parseMode(ini.value(kReset, "Mode"));
    preset.minValue = filterDigits(ini.value(kReset, "MinValue"));
    preset.maxValue = filterDigits(ini.value(kReset, "MaxValue"));
    preset.file = ini.value(kReset, "File");
    preset.tyusenValue = filterDrawCount(ini.value(kReset, "TyusenValue"));
    preset.daburi = parseDaburi(ini.value(kReset, "Daburi"));
    return preset;
}

bool Settings::writeResetPreset(const ResetPreset& preset) const
{
    if (preset.mode == Mode::Number) {
        return writeAll(m_path, kReset,
            { { "Mode", modeText(preset.mode) }, { "MinValue", preset.minValue }, { "MaxValue", preset.maxValue },
                { "TyusenValue", preset.tyusenValue }, { "Daburi", flagText(preset.daburi) } });
    }
    return writeAll(m_path, kReset,
        { { "Mode", modeText(preset.mode) }, { "File", preset.file }, { "TyusenValue", preset.tyusenValue },
            { "Daburi", flagText(preset.daburi) } });
}

Settings::Point Settings::readPickupPosition() const
{
    const IniFile ini = loadOrEmpty(m_path);
    const std::string left = ini.value(kPickupPosition, "Left");
    const std::string top = ini.value(kPickupPosition, "Top");
    return { parseCoordinate(left), parseCoordinate(top) };
}

bool Settings::writePickupPosition(const Point& point) const
{
    return writeAll(
        m_path, kPickupPosition, { { "Left", std::to_string(point.left) }, { "Top", std::to_string(point.top) } });
}

Settings::Rect Settings::readNewStringRect() const
{
    const IniFile ini = loadOrEmpty(m_path);
    const std::string left = ini.value(kNewStringPosition, "Left");
    const std::string top = ini.value(kNewStringPosition, "Top");
    const std::string width = ini.value(kNewStringPosition, "Width");
    const std::string height = ini.value(kNewStringPosition, "Height");
    return { parseCoordinate(left), parseCoordinate(top), parseCoordinate(width), parseCoordinate(height) };
}

bool Settings::writeNewStringRect(const Rect& rect) const
{
    return writeAll(m_path, kNewStringPosition,
        { { "Left", std::to_string(rect.left) }, { "Top", std::to_string(rect.top) },
            { "Width", std::to_string(rect.width) }, { "Height", std::to_string(rect.height) } });
}

} // namespace kuji
