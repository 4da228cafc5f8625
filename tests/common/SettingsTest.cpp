#include "common/Settings.h"

#include "common/IniFile.h"
#include "common/SettingsLocation.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace kuji;
namespace fs = std::filesystem;

namespace {

void put(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

class SettingsTest : public test::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_path = pathOf("kujitan.ini");
        m_settings = Settings(m_path);
    }
    std::string m_path;
    Settings m_settings { "" };
};

class SettingsLocation : public test::TempFolderTest { };

} // namespace

TEST(SettingsRules, Coordinates)
{
    const std::pair<const char*, int> cases[] = {
        { "", 0 },
        { "120", 120 },
        { "007", 7 },
        { "-120", 0 },
        { "12a", 0 },
        { "+5", 0 },
        { "1.5", 0 },
        { "１２", 0 }, // full-width digits are not digits
        { "2147483647", INT_MAX },
        { "2147483648", 0 },
        { "123456789012345678901234567890", 0 },
        { "000000000000000000000000000042", 42 },
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Settings::parseCoordinate(text), expected) << text;
}

TEST(SettingsRules, ModeFlagAndPresetTexts)
{
    EXPECT_EQ(Settings::parseMode("Yomikomi"), Settings::Mode::File);
    EXPECT_EQ(Settings::parseMode("yomikomi"), Settings::Mode::Number);
    EXPECT_EQ(Settings::parseMode("YOMIKOMI"), Settings::Mode::Number);
    EXPECT_EQ(Settings::parseMode(""), Settings::Mode::Number);
    EXPECT_TRUE(Settings::parseFlag("1"));
    EXPECT_FALSE(Settings::parseFlag("01"));
    EXPECT_FALSE(Settings::parseFlag("true"));

    EXPECT_EQ(Settings::filterDigits("007"), "007");
    EXPECT_EQ(Settings::filterDigits("12a"), "");
    EXPECT_EQ(Settings::filterDigits("-3"), "");
    // More digits than a box holds would come back as another number.
    EXPECT_EQ(Settings::filterDigits("123456789"), "123456789");
    EXPECT_EQ(Settings::filterDigits("1234567890"), "");
    EXPECT_EQ(Settings::filterDrawCount("-3"), "-3");
    EXPECT_EQ(Settings::filterDrawCount("3-2"), "3-2");
    EXPECT_EQ(Settings::filterDrawCount("3 2"), "");
    EXPECT_EQ(Settings::filterDrawCount("3a"), "");
}

TEST(SettingsRules, MainWindowIsCutToTheScreen)
{
    EXPECT_EQ(Settings::mainWindowRect("100", "200", "30000", "9000", 19200, 10800),
        (Settings::Rect { 100, 200, 19200, 9000 }));
    EXPECT_EQ(Settings::mainWindowRect("100", "200", "6000", "20000", 19200, 10800),
        (Settings::Rect { 100, 200, 6000, 10800 }));
    EXPECT_EQ(Settings::mainWindowRect("-120", "x", "19200", "", 19200, 10800), (Settings::Rect { 0, 0, 19200, 0 }));
    // A position off the screen is not moved: only the size is cut.
    EXPECT_EQ(
        Settings::mainWindowRect("50000", "50000", "1", "1", 19200, 10800), (Settings::Rect { 50000, 50000, 1, 1 }));
}

TEST(SettingsRules, Twips)
{
    EXPECT_EQ(pixelsToTwips(1, 96), 15);
    EXPECT_EQ(pixelsToTwips(376, 96), 5640);
    EXPECT_EQ(twipsToPixels(5640, 96), 376);
    EXPECT_EQ(pixelsToTwips(10, 120), 120);
    EXPECT_EQ(twipsToPixels(100, 144), 10);
    EXPECT_EQ(twipsToPixels(-120, 96), -8);
    EXPECT_EQ(twipsToPixels(7, 96), 0);
    EXPECT_EQ(twipsToPixels(8, 96), 1); // rounded, not cut
    EXPECT_EQ(pixelsToTwips(4, 0), 60); // an unknown resolution counts as 96
    EXPECT_EQ(pixelsToTwips(INT_MAX, 96), INT_MAX); // no overflow
    for (int px : { 0, 1, 17, 640, 1919 })
        EXPECT_EQ(twipsToPixels(pixelsToTwips(px, 144), 144), px);
}

TEST_F(SettingsTest, FirstStartGivesTheDefaults)
{
    EXPECT_EQ(m_settings.readMainWindowRect(19200, 10800), Settings::Rect {});
    EXPECT_EQ(m_settings.readMode(), Settings::Mode::Number);
    EXPECT_FALSE(m_settings.readNoDuplicates());
    EXPECT_TRUE(m_settings.readRecentFiles().empty());
    EXPECT_EQ(m_settings.readResetPreset(), Settings::ResetPreset {});
    EXPECT_EQ(m_settings.readPickupPosition(), Settings::Point {});
    EXPECT_EQ(m_settings.readNewStringRect(), Settings::Rect {});
    EXPECT_FALSE(fs::exists(m_path));
}

TEST_F(SettingsTest, PositionsComeBackAndNegativeOnesAsZero)
{
    ASSERT_TRUE(m_settings.writeMainWindowRect({ -120, 300, 30000, 6000 }));
    EXPECT_NE(bytesOf(m_path).find("Left=-120\r\nTop=300\r\nWidth=30000\r\nHeight=6000\r\n"), std::string::npos);
    EXPECT_EQ(m_settings.readMainWindowRect(19200, 10800), (Settings::Rect { 0, 300, 19200, 6000 }));

    ASSERT_TRUE(m_settings.writePickupPosition({ 1500, -15 }));
    EXPECT_EQ(m_settings.readPickupPosition(), (Settings::Point { 1500, 0 }));

    // The string window's size is not cut to any screen.
    ASSERT_TRUE(m_settings.writeNewStringRect({ 10, 20, 99999, 88888 }));
    EXPECT_EQ(m_settings.readNewStringRect(), (Settings::Rect { 10, 20, 99999, 88888 }));

    // Each window has its own section.
    EXPECT_EQ(m_settings.readMainWindowRect(19200, 10800), (Settings::Rect { 0, 300, 19200, 6000 }));
}

TEST_F(SettingsTest, OptionIsComparedExactly)
{
    ASSERT_TRUE(m_settings.writeOption(Settings::Mode::File, true));
    EXPECT_EQ(m_settings.readMode(), Settings::Mode::File);
    EXPECT_TRUE(m_settings.readNoDuplicates());
    EXPECT_EQ(bytesOf(m_path), "[Option]\r\nMode=Yomikomi\r\nDaburi=1\r\n");

    put(m_path, "[Option]\r\nMode=yomikomi\r\nDaburi=yes\r\n");
    EXPECT_EQ(m_settings.readMode(), Settings::Mode::Number);
    EXPECT_FALSE(m_settings.readNoDuplicates());
}

TEST_F(SettingsTest, RecordsAreKeptUnlessTurnedOff)
{
    EXPECT_TRUE(m_settings.readKeepRecords());
    ASSERT_TRUE(m_settings.writeKeepRecords(false));
    EXPECT_EQ(bytesOf(m_path), "[Records]\r\nKeep=0\r\n");
    EXPECT_FALSE(m_settings.readKeepRecords());
    // Only an explicit "0" turns them off: a damaged value keeps records, as on first start.
    put(m_path, "[Records]\r\nKeep=no\r\n");
    EXPECT_TRUE(m_settings.readKeepRecords());
}

TEST_F(SettingsTest, RecentFilesWithGapsAreStoredAgainWithoutThem)
{
    put(m_path, "[UseFile]\r\n1=/one.csv\r\n2=/two.csv\r\n5=/five.csv\r\n7=\r\n");
    const std::vector<std::string> read = m_settings.readRecentFiles();
    ASSERT_EQ(read, (std::vector<std::string> { "/five.csv", "/two.csv", "/one.csv" }));

    // The recent-files list puts each at its top, which restores the stored order.
    std::vector<std::string> list;
    for (const std::string& path : read)
        list.insert(list.begin(), path);
    EXPECT_EQ(list, (std::vector<std::string> { "/one.csv", "/two.csv", "/five.csv" }));

    ASSERT_TRUE(m_settings.writeRecentFiles(list));
    EXPECT_EQ(bytesOf(m_path), "[UseFile]\r\n1=/one.csv\r\n2=/two.csv\r\n3=/five.csv\r\n");
}

TEST_F(SettingsTest, RecentFilesSkipEmptyAndUnstorableEntriesAndKeepTen)
{
    std::vector<std::string> list = { "", "/a", "/b\n[Option]", "" };
    for (int i = 0; i < 12; ++i)
        list.push_back("/f" + std::to_string(i));
    ASSERT_TRUE(m_settings.writeRecentFiles(list));
    const std::vector<std::string> read = m_settings.readRecentFiles();
    ASSERT_EQ(read.size(), 10u);
    EXPECT_EQ(read.back(), "/a");
    EXPECT_EQ(read.front(), "/f8");
    EXPECT_EQ(myReadIni("UseFile", "2", m_path), "/f0");

    // An empty list leaves no stale keys behind.
    ASSERT_TRUE(m_settings.writeRecentFiles({}));
    EXPECT_TRUE(m_settings.readRecentFiles().empty());
}

TEST_F(SettingsTest, ResetPresetKeepsTheOtherModesKeys)
{
    Settings::ResetPreset number { Settings::Mode::Number, "007", "100", "", "3-2", true };
    ASSERT_TRUE(m_settings.writeResetPreset(number));
    EXPECT_EQ(m_settings.readResetPreset(), number);

    Settings::ResetPreset file { Settings::Mode::File, "999", "999", "/home/名簿.csv", "5", false };
    ASSERT_TRUE(m_settings.writeResetPreset(file));
    const Settings::ResetPreset afterFile = m_settings.readResetPreset();
    EXPECT_EQ(afterFile.mode, Settings::Mode::File);
    EXPECT_EQ(afterFile.file, "/home/名簿.csv");
    EXPECT_EQ(afterFile.minValue, "007"); // from the number-mode save
    EXPECT_EQ(afterFile.maxValue, "100");
    EXPECT_EQ(afterFile.countValue, "5");
    EXPECT_FALSE(afterFile.noDuplicates);

    number.minValue = "1";
    ASSERT_TRUE(m_settings.writeResetPreset(number));
    EXPECT_EQ(m_settings.readResetPreset().file, "/home/名簿.csv");
}

TEST_F(SettingsTest, ResetPresetDropsValuesThatFailTheirCheck)
{
    put(m_path, "[Reset]\r\nMinValue=12a\r\nMaxValue=\r\nTyusenValue=-3\r\nDaburi=2\r\n");
    const Settings::ResetPreset preset = m_settings.readResetPreset();
    EXPECT_EQ(preset.mode, Settings::Mode::Number); // no Mode key
    EXPECT_EQ(preset.minValue, "");
    EXPECT_EQ(preset.maxValue, "");
    EXPECT_EQ(preset.countValue, "-3");
    EXPECT_FALSE(preset.noDuplicates);

    // A path the file cannot hold does not leave Mode saying file mode with an older File.
    const std::string before = bytesOf(m_path);
    EXPECT_FALSE(m_settings.writeResetPreset({ Settings::Mode::File, "", "", "/a\nb.csv", "1", true }));
    EXPECT_EQ(bytesOf(m_path), before);
}

TEST_F(SettingsTest, EveryKeyWrittenIsInTheTable)
{
    m_settings.writeMainWindowRect({ 1, 2, 3, 4 });
    m_settings.writeOption(Settings::Mode::File, true);
    m_settings.writeRecentFiles({ "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9", "/10" });
    m_settings.writeResetPreset({ Settings::Mode::Number, "1", "2", "", "3", true });
    m_settings.writeResetPreset({ Settings::Mode::File, "", "", "/f", "3", true });
    m_settings.writePickupPosition({ 5, 6 });
    m_settings.writeNewStringRect({ 7, 8, 9, 10 });
    m_settings.writeKeepRecords(false);
    m_settings.writeAnnounce({ "特賞,1等", "1", true, 2, "HDMI-1" });

    std::string section;
    std::size_t keys = 0;
    std::istringstream lines(bytesOf(m_path));
    for (std::string line; std::getline(lines, line);) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line.empty())
            continue;
        if (line.front() == '[') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const std::string key = line.substr(0, line.find('='));
        const std::vector<Settings::Key> table = Settings::allKeys();
        const bool known = std::any_of(
            table.begin(), table.end(), [&](const Settings::Key& k) { return k.section == section && k.key == key; });
        EXPECT_TRUE(known) << section << " / " << key;
        ++keys;
    }
    EXPECT_EQ(keys, Settings::allKeys().size());
}

TEST_F(SettingsTest, AnnounceRoundTripsAndRefusedRollTimesFallBackToTheDefault)
{
    EXPECT_EQ(m_settings.readAnnounce(), Settings::Announce {});
    EXPECT_EQ(Settings::Announce {}.rollHalfSeconds, 3);
    const Settings::Announce written { "特賞,1等,2等", "1,3", true, 9, "HDMI-1" };
    ASSERT_TRUE(m_settings.writeAnnounce(written));
    EXPECT_EQ(m_settings.readAnnounce(), written);
    for (int half = 0; half <= Settings::kMaxRollHalfSeconds; ++half)
        EXPECT_EQ(Settings::parseRollSeconds(Settings::rollSecondsText(half)), half);

    put(m_path, "[Announce]\r\nRollSeconds=7\r\nMask=yes\r\n");
    EXPECT_EQ(m_settings.readAnnounce(), Settings::Announce {});
    for (const char* refused : { "5.5", "1.25", "-1", "1.", ".5", "abc", "1,5", "１" })
        EXPECT_EQ(Settings::parseRollSeconds(refused), 3) << refused;
    for (const auto& [text, half] : { std::pair { "0", 0 }, { "0.5", 1 }, { "2.0", 4 }, { "5", 10 }, { "5.0", 10 } })
        EXPECT_EQ(Settings::parseRollSeconds(text), half) << text;
}

TEST_F(SettingsTest, UnwritableSettingsFileReadsDefaultsAndWritesNothing)
{
    put(pathOf("plain"), "x");
    const Settings settings(pathOf("plain/kujitan.ini"));
    EXPECT_FALSE(settings.writeOption(Settings::Mode::File, true));
    EXPECT_FALSE(settings.writeRecentFiles({ "/a" }));
    EXPECT_FALSE(settings.writeMainWindowRect({ 1, 2, 3, 4 }));
    EXPECT_EQ(settings.readMode(), Settings::Mode::Number);
    EXPECT_TRUE(settings.readRecentFiles().empty());
}

TEST_F(SettingsLocation, BesideTheProgramWhenItsFolderIsWritable)
{
    fs::create_directory(pathOf("bin"));
    EXPECT_EQ(settingsFilePath(pathOf("bin"), pathOf("config/kujimaru")), pathOf("bin/kujitan.ini"));
    EXPECT_FALSE(fs::exists(pathOf("config")));
    EXPECT_EQ(std::distance(fs::directory_iterator(pathOf("bin")), fs::directory_iterator()), 0);
}

TEST_F(SettingsLocation, PerUserFolderWhenTheProgramFolderCannotBeWritten)
{
    // A program folder that does not exist stands for one that cannot be written.
    const std::string path = settingsFilePath(pathOf("gone"), pathOf("config/kujimaru"));
    EXPECT_EQ(path, pathOf("config/kujimaru/kujitan.ini"));
    EXPECT_TRUE(fs::is_directory(pathOf("config/kujimaru")));
    EXPECT_TRUE(myWriteIni("Option", "Mode", "Yomikomi", path));
}

TEST_F(SettingsLocation, SettingsShippedBesideAReadOnlyProgramAreCopiedOnce)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    fs::create_directory(pathOf("bin"));
    put(pathOf("bin/kujitan.ini"), "[Option]\r\nMode=Yomikomi\r\n");
    fs::permissions(pathOf("bin"), fs::perms::owner_read | fs::perms::owner_exec);

    const std::string path = settingsFilePath(pathOf("bin"), pathOf("config"));
    EXPECT_EQ(path, pathOf("config/kujitan.ini"));
    EXPECT_EQ(Settings(path).readMode(), Settings::Mode::File);

    // Later runs keep the user's own file.
    ASSERT_TRUE(Settings(path).writeOption(Settings::Mode::Number, false));
    EXPECT_EQ(Settings(settingsFilePath(pathOf("bin"), pathOf("config"))).readMode(), Settings::Mode::Number);
    fs::permissions(pathOf("bin"), fs::perms::owner_all);
}

TEST(InstalledProgramFolder, SystemPrefixesAreInstalledPlacesAndLookalikesAreNot)
{
    const std::pair<const char*, bool> cases[] = {
        { "/usr/bin", true },
        { "/usr/local/bin", true },
        { "/usr/games", true },
        { "/opt/kujimaru/bin", true },
        { "/bin", true },
        { "/sbin", true },
        { "/usr", true },
        { "/usr/bin/", true },
        { "/usrlocal/bin", false },
        { "/optional/bin", false },
        { "/home/someone/kujimaru/build", false },
        { "/usr/../home/someone/bin", false },
        { "", false },
    };
    for (const auto& [folder, installed] : cases)
        EXPECT_EQ(isInstalledProgramFolder(folder), installed) << folder;
}

TEST_F(SettingsLocation, AnyPrefixHoldingTheDesktopEntryIsAnInstallation)
{
    fs::create_directories(pathOf("prefix/bin"));
    EXPECT_FALSE(isInstalledProgramFolder(pathOf("prefix/bin")));
    fs::create_directories(pathOf("prefix/share/applications"));
    put(pathOf("prefix/share/applications/kujimaru.desktop"), "[Desktop Entry]\n");
    EXPECT_TRUE(isInstalledProgramFolder(pathOf("prefix/bin")));
    // The entry marks the prefix's bin/ only, not any folder beside it.
    fs::create_directories(pathOf("prefix/build"));
    EXPECT_FALSE(isInstalledProgramFolder(pathOf("prefix/build")));
    // Reached through a link, the prefix is still the same installation.
    fs::create_directory_symlink(pathOf("prefix"), pathOf("linked"));
    EXPECT_TRUE(isInstalledProgramFolder(pathOf("linked/bin")));
}

TEST_F(SettingsLocation, AFolderLinkedToTheSystemPrefixCountsAsWhatItIs)
{
    fs::create_directory_symlink("/usr", pathOf("system"));
    EXPECT_TRUE(isInstalledProgramFolder(pathOf("system/bin")));
}

TEST_F(SettingsLocation, AnInstalledProgramKeepsItsSettingsInTheUsersFolderEvenWhenItCouldWriteItsOwn)
{
    // As root, or with a prefix the user owns, the program folder is writable: it is still
    // never written, not even by the probe that asks whether it could be.
    fs::create_directories(pathOf("prefix/bin"));
    fs::create_directories(pathOf("prefix/share/applications"));
    put(pathOf("prefix/share/applications/kujimaru.desktop"), "[Desktop Entry]\n");
    const auto before = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(pathOf("prefix/bin"), before);

    const std::string path = settingsFilePath(pathOf("prefix/bin"), pathOf("config/kujimaru"));
    EXPECT_EQ(path, pathOf("config/kujimaru/kujitan.ini"));
    EXPECT_TRUE(fs::is_directory(pathOf("config/kujimaru")));
    EXPECT_EQ(fs::last_write_time(pathOf("prefix/bin")), before);
    EXPECT_TRUE(fs::is_empty(pathOf("prefix/bin")));
}

TEST_F(SettingsLocation, TheSystemProgramFolderIsNeverChosenWhoeverRunsTheProgram)
{
    // /usr/bin is writable for root, who runs the CI: the rule must hold there too.
    EXPECT_EQ(settingsFilePath("/usr/bin", pathOf("config/kujimaru")), pathOf("config/kujimaru/kujitan.ini"));
    EXPECT_EQ(settingsFilePath("/usr/local/bin", pathOf("config/kujimaru")), pathOf("config/kujimaru/kujitan.ini"));
}

TEST_F(SettingsLocation, SettingsShippedBesideAnInstalledProgramAreCopiedToTheUser)
{
    fs::create_directories(pathOf("prefix/bin"));
    fs::create_directories(pathOf("prefix/share/applications"));
    put(pathOf("prefix/share/applications/kujimaru.desktop"), "[Desktop Entry]\n");
    put(pathOf("prefix/bin/kujitan.ini"), "[Option]\r\nMode=Yomikomi\r\n");

    const std::string path = settingsFilePath(pathOf("prefix/bin"), pathOf("config"));
    EXPECT_EQ(path, pathOf("config/kujitan.ini"));
    EXPECT_EQ(Settings(path).readMode(), Settings::Mode::File);
    ASSERT_TRUE(Settings(path).writeOption(Settings::Mode::Number, false));
    EXPECT_EQ(bytesOf(pathOf("prefix/bin/kujitan.ini")), "[Option]\r\nMode=Yomikomi\r\n");
}

TEST_F(SettingsLocation, AnInstalledProgramWithoutAUserFolderKeepsNoSettings)
{
    fs::create_directories(pathOf("prefix/bin"));
    fs::create_directories(pathOf("prefix/share/applications"));
    put(pathOf("prefix/share/applications/kujimaru.desktop"), "[Desktop Entry]\n");

    const std::string path = settingsFilePath(pathOf("prefix/bin"), "");
    EXPECT_EQ(path, "");
    // No file means nothing is written anywhere, the working folder included.
    fs::create_directory(pathOf("working"));
    const fs::path before = fs::current_path();
    fs::current_path(pathOf("working"));
    const Settings settings(path);
    EXPECT_EQ(settings.readMode(), Settings::Mode::Number);
    EXPECT_FALSE(settings.writeOption(Settings::Mode::File, true));
    EXPECT_FALSE(settings.writeRecentFiles({ "/a" }));
    fs::current_path(before);
    EXPECT_TRUE(fs::is_empty(pathOf("working")));
    EXPECT_TRUE(fs::is_empty(pathOf("prefix/bin")));
}
