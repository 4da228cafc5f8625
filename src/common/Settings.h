#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kuji {

// Twips are the unit of the window positions in the settings file: 1440 to the inch, so
// 15 to the pixel at 96 dots per inch. A resolution of zero or less counts as 96.
int pixelsToTwips(int pixels, double dpi);
int twipsToPixels(int twips, double dpi);

// One key of the settings file: where it lives, what a missing or refused value counts as,
// and how many bytes a read gives back at most.
struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
    std::size_t maxBytes = 255;
};

// Everything the program keeps between runs, in the settings file kujitan.ini: the sections
// and keys, their defaults, and the checks a value must pass when it is read back. The
// windows ask this class and hold no rule of their own.
class Settings {
public:
    enum class Mode { Number, File };

    // A window's outer position and size in twips.
    struct Rect {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Rect&) const = default;
    };

    struct Point {
        int left = 0;
        int top = 0;
        bool operator==(const Point&) const = default;
    };

    // The custom reset preset of section "Reset".
    struct ResetPreset {
        Mode mode = Mode::Number;
        std::string minValue; // number mode: text of txtSaisyo
        std::string maxValue; // number mode: text of txtSaidai
        std::string file; // file mode: the entry file's path
        std::string countValue; // text of txtTyusen
        bool noDuplicates = false;
        bool operator==(const ResetPreset&) const = default;
    };

    // What 発表 keeps between runs, as the settings file holds it. The prize names and the
    // columns come back as text; 発表 reads them with its own rules and drops what it refuses.
    struct Announce {
        std::string prizeNames; // "特賞,1等,2等"
        std::string columns; // "1,3"; empty shows the whole entry
        bool mask = false;
        int rollHalfSeconds = kDefaultRollHalfSeconds; // 決定まで回す, in half seconds
        std::string screen; // the name of the screen last used
        bool operator==(const Announce&) const = default;
    };
    // 決定まで回す runs from 0 to 5 seconds in steps of half a second, 1.5 unless set.
    static constexpr int kDefaultRollHalfSeconds = 3;
    static constexpr int kMaxRollHalfSeconds = 10;

    using Key = SettingKey;

    static constexpr std::string_view kMainPosition = "Kujitan Position";
    static constexpr std::string_view kOption = "Option";
    static constexpr std::string_view kUseFile = "UseFile";
    static constexpr std::string_view kReset = "Reset";
    static constexpr std::string_view kPickupPosition = "Pickupr Position";
    static constexpr std::string_view kNewStringPosition = "NewString Position";
    static constexpr std::string_view kRecords = "Records";
    static constexpr std::string_view kAnnounce = "Announce";

    // Paths may be long on Linux; they come back whole up to this many bytes.
    static constexpr std::size_t kPathBytes = 4096;
    static constexpr std::size_t kRecentFileCount = 10;

    // Every key of the file. Reading and writing go through these and nothing else.
    static constexpr Key kMainLeft { kMainPosition, "Left", "0" };
    static constexpr Key kMainTop { kMainPosition, "Top", "0" };
    static constexpr Key kMainWidth { kMainPosition, "Width", "0" };
    static constexpr Key kMainHeight { kMainPosition, "Height", "0" };
    static constexpr Key kOptionMode { kOption, "Mode", "Number" };
    static constexpr Key kOptionNoDuplicates { kOption, "Daburi", "0" };
    static constexpr std::array<Key, kRecentFileCount> kRecentFileKeys = { {
        { kUseFile, "1", "", kPathBytes },
        { kUseFile, "2", "", kPathBytes },
        { kUseFile, "3", "", kPathBytes },
        { kUseFile, "4", "", kPathBytes },
        { kUseFile, "5", "", kPathBytes },
        { kUseFile, "6", "", kPathBytes },
        { kUseFile, "7", "", kPathBytes },
        { kUseFile, "8", "", kPathBytes },
        { kUseFile, "9", "", kPathBytes },
        { kUseFile, "10", "", kPathBytes },
    } };
    static constexpr Key kResetMode { kReset, "Mode", "Number" };
    static constexpr Key kResetMinValue { kReset, "MinValue", "" };
    static constexpr Key kResetMaxValue { kReset, "MaxValue", "" };
    static constexpr Key kResetFile { kReset, "File", "", kPathBytes };
    static constexpr Key kResetCount { kReset, "TyusenValue", "" };
    static constexpr Key kResetNoDuplicates { kReset, "Daburi", "0" };
    static constexpr Key kPickupLeft { kPickupPosition, "Left", "0" };
    static constexpr Key kPickupTop { kPickupPosition, "Top", "0" };
    static constexpr Key kNewStringLeft { kNewStringPosition, "Left", "0" };
    static constexpr Key kNewStringTop { kNewStringPosition, "Top", "0" };
    static constexpr Key kNewStringWidth { kNewStringPosition, "Width", "0" };
    static constexpr Key kNewStringHeight { kNewStringPosition, "Height", "0" };
    // "0" stops keeping a record of every completed draw; anything else keeps them.
    static constexpr Key kRecordsKeep { kRecords, "Keep", "1" };
    static constexpr Key kAnnouncePrizeNames { kAnnounce, "PrizeNames", "", 1024 };
    static constexpr Key kAnnounceColumns { kAnnounce, "Columns", "" };
    static constexpr Key kAnnounceMask { kAnnounce, "Mask", "0" };
    static constexpr Key kAnnounceRollSeconds { kAnnounce, "RollSeconds", "1.5" };
    static constexpr Key kAnnounceScreen { kAnnounce, "Screen", "" };

    // The whole table, for checks over every key.
    static std::vector<Key> allKeys();

    // The rules applied to a value read back, on the text as read.

    // A coordinate: digits only, else 0; a number too large for an int is refused too.
    static int parseCoordinate(std::string_view text);
    // Exactly "Yomikomi" is file mode; anything else, in any case, is number mode.
    static Mode parseMode(std::string_view text);
    // Exactly "1" is checked.
    static bool parseFlag(std::string_view text);
    // The reset preset's minimum and maximum: kept only when made of at most nine digits (what
    // the boxes hold), else empty; a longer number would otherwise come back as another one.
    static std::string filterDigits(std::string_view text);
    // The reset preset's draw count: kept only when made of digits and "-", else empty.
    static std::string filterDrawCount(std::string_view text);
    // The main window's stored rectangle: each value checked as a coordinate, then a width
    // or height larger than the screen cut to the screen's (all in twips).
    static Rect mainWindowRect(std::string_view left, std::string_view top, std::string_view width,
        std::string_view height, int screenWidth, int screenHeight);

    // 決定まで回す: "0" to "5" in steps of ".5" ("1.5", "2", "2.0"), in half seconds; anything
    // else is the default.
    static int parseRollSeconds(std::string_view text);
    static std::string rollSecondsText(int halfSeconds);

    static std::string modeText(Mode mode) { return mode == Mode::File ? "Yomikomi" : "Number"; }
    static std::string flagText(bool on) { return on ? "1" : "0"; }

    // The settings in the file at path. Reads never fail (missing values take their
    // defaults); writes that fail leave the file as it was and say nothing to the user.
    explicit Settings(std::string path);

    const std::string& path() const { return m_path; }

    // "Kujitan Position": Left, Top, Width, Height, read in this order.
    Rect readMainWindowRect(int screenWidthTwips, int screenHeightTwips) const;
    bool writeMainWindowRect(const Rect& rect) const;

    // "Option": the mode and the no-duplicates option.
    Mode readMode() const;
    bool readNoDuplicates() const;
    bool writeOption(Mode mode, bool noDuplicates) const;

    // "UseFile": the stored paths in the order to hand them to the recent-files list, each
    // to the top of it: keys "10" down to "1", empty values left out.
    std::vector<std::string> readRecentFiles() const;
    // Replaces the section with keys "1", "2", … for the paths (newest first), without gaps
    // for empty entries, at most ten.
    bool writeRecentFiles(const std::vector<std::string>& newestFirst) const;

    // "Reset": the custom preset, every value checked.
    ResetPreset readResetPreset() const;
    // Number mode writes Mode, MinValue and MaxValue, file mode Mode and File; both write
    // TyusenValue and Daburi. Keys not written keep their older values.
    bool writeResetPreset(const ResetPreset& preset) const;

    // "Pickupr Position": Left and Top; the window keeps its own size.
    Point readPickupPosition() const;
    bool writePickupPosition(const Point& point) const;

    // "NewString Position": Left, Top, Width, Height, with no cut to the screen.
    Rect readNewStringRect() const;
    bool writeNewStringRect(const Rect& rect) const;

    // "Records": whether a record of every completed draw is kept (on unless turned off).
    bool readKeepRecords() const;
    bool writeKeepRecords(bool keep) const;

    // "Announce": the settings of 発表, the roll time checked.
    Announce readAnnounce() const;
    bool writeAnnounce(const Announce& values) const;

private:
    std::string m_path;
};

} // namespace kuji
