// The organiser's two lists (prize names, columns) and what the hall sees of an entry.
#include "announce/AnnounceOptions.h"
#include "announce/HallText.h"
#include "announce/PrizeNames.h"

#include <gtest/gtest.h>

using namespace kuji;
using Names = std::vector<std::string>;
using Columns = std::vector<std::uint32_t>;

TEST(PrizeNames, EverySeparatorAJapaneseKeyboardTypesAndSpacesAround)
{
    const std::pair<const char*, Names> cases[] = {
        { "特賞,1等,2等", { "特賞", "1等", "2等" } },
        { "特賞，1等、2等", { "特賞", "1等", "2等" } },
        { " 特賞 ,\t1等　、　2等 ", { "特賞", "1等", "2等" } },
        { "ペア旅行券 賞", { "ペア旅行券 賞" } }, // a space inside a name is part of it
        { "", {} },
        { "　 ", {} },
    };
    for (const auto& [text, names] : cases) {
        const PrizeNames parsed = PrizeNames::parse(text);
        EXPECT_TRUE(parsed.ok()) << text << ": " << parsed.error;
        EXPECT_EQ(parsed.names, names) << text;
    }
    EXPECT_EQ(PrizeNames::join({ "特賞", "1等" }), "特賞,1等");
}

TEST(PrizeNames, AnEmptyNameIsRefusedAndSaysWhichOne)
{
    for (const char* text : { "特賞,,2等", "特賞,", ",特賞", "特賞、　、2等", "，" }) {
        const PrizeNames parsed = PrizeNames::parse(text);
        EXPECT_FALSE(parsed.ok()) << text;
        EXPECT_TRUE(parsed.names.empty()) << text;
    }
    EXPECT_EQ(PrizeNames::parse("特賞,,2等").error.rfind("2つ目", 0), 0u);
}

TEST(PrizeNames, CountWarningsSayWhatHappensAndNeverFail)
{
    EXPECT_EQ(prizeCountWarning(0, 3), "");
    EXPECT_EQ(prizeCountWarning(3, 3), "");
    EXPECT_EQ(prizeCountWarning(4, 3), "賞の名前が4つありますが、抽選は3回です。4つ目からの名前は使いません。");
    EXPECT_EQ(prizeCountWarning(1, 3),
        "賞の名前が1つありますが、抽選は3回です。2回目からは、回の見出しをそのまま表示します。");
    EXPECT_NE(prizeCountWarning(2, 0), "");
}

TEST(HallColumns, NumbersAsTypedAndWhatIsRefused)
{
    const std::pair<const char*, Columns> taken[] = {
        { "1", { 1 } },
        { "1,3", { 1, 3 } },
        { "３、１", { 3, 1 } },
        { " 2 ，10 ", { 2, 10 } },
        { "32768", { 32768 } },
        { "", {} },
    };
    for (const auto& [text, numbers] : taken) {
        const HallText::Columns parsed = HallText::parseColumns(text);
        EXPECT_TRUE(parsed.ok()) << text;
        EXPECT_EQ(parsed.numbers, numbers) << text;
    }
    for (const char* text : { "0", "a", "1,,2", "1-3", "32769", "99999999999999999999999", "1,", "－1" }) {
        const HallText::Columns parsed = HallText::parseColumns(text);
        EXPECT_FALSE(parsed.ok()) << text;
        EXPECT_TRUE(parsed.numbers.empty()) << text;
    }
    EXPECT_EQ(HallText::columnsText({ 1, 3 }), "1,3");
}

TEST(HallText, ColumnsAreCutAtEveryCommaAsPickupRecordCutsThem)
{
    const std::string entry = "山田太郎,営業部,\"東京,本社\",090";
    EXPECT_EQ(HallText({ 1 }, false).show(entry), "山田太郎");
    EXPECT_EQ(HallText({ 3, 1 }, false).show(entry), "\"東京　山田太郎");
    EXPECT_EQ(HallText({ 4 }, false).show(entry), "本社\"");
    // A column the record does not have shows nothing, and nothing of the others leaks in.
    EXPECT_EQ(HallText({ 9 }, false).show(entry), "");
    EXPECT_EQ(HallText({}, false).show(entry), entry);
    EXPECT_TRUE(HallText({}, false).showsEverything());
}

TEST(HallText, MaskCountsCharactersNotBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        { "山田太郎", "山＊＊＊" },
        { "abc", "a＊＊" },
        { "ｱｲｳ", "ｱ＊＊" },
        { "😀😀x", "😀＊＊" },
        { "山\r\n田", "山\r\n＊" },
        { "\xFF"
          "ab",
            "\xFF＊＊" }, // a byte that is not UTF-8 is one character
        { "\xE5\xB1", "\xE5＊" }, // so is each byte of a cut character
        { "A", "A" },
        { "", "" },
    };
    for (const auto& [text, masked] : cases)
        EXPECT_EQ(maskText(text), masked) << text;
    // Each shown column is masked on its own.
    EXPECT_EQ(HallText({ 1, 2 }, true).show("山田太郎,営業部"), "山＊＊＊　営＊＊");
}

TEST(HallText, AScreenShowsAThousandCharactersOfAHugeEntryAndMarksTheRest)
{
    std::string huge;
    for (int i = 0; i < 5000; ++i)
        huge += "あ";
    const std::string shown = HallText({}, false).show(huge, 1000);
    EXPECT_EQ(shown.size(), 1000 * 3 + std::string("…").size());
    EXPECT_TRUE(shown.ends_with("あ…"));
    EXPECT_EQ(HallText({}, false).show("短い", 1000), "短い");
    EXPECT_EQ(leadingCharacters("a😀b", 2), "a😀");
}

TEST(AnnounceOptions, StoredValuesTheRulesRefuseAreDropped)
{
    Settings::Announce stored { "特賞,,1等", "0", true, 4, "HDMI-1" };
    AnnounceOptions options = AnnounceOptions::fromStored(stored);
    EXPECT_TRUE(options.prizeNames.empty());
    EXPECT_TRUE(options.columns.empty());
    EXPECT_TRUE(options.mask);
    EXPECT_EQ(options.rollMilliseconds(), 2000);
    EXPECT_EQ(options.screen, "HDMI-1");

    stored.prizeNames = "特賞、1等";
    stored.columns = "１,２";
    options = AnnounceOptions::fromStored(stored);
    EXPECT_EQ(options.prizeNames, (Names { "特賞", "1等" }));
    EXPECT_EQ(options.columns, (Columns { 1, 2 }));
    // What is kept is written back in the form the rules read.
    EXPECT_EQ(options.toStored(), (Settings::Announce { "特賞,1等", "1,2", true, 4, "HDMI-1" }));
}
