#include "draw/DrawValidation.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

ValidationResult numberMode(const char32_t* min, const char32_t* max, const char32_t* count, bool noDup = true)
{
    return validateDrawSettings({ false, noDup, min, max, count });
}

ValidationResult fileMode(const char32_t* registered, const char32_t* count, bool noDup = true)
{
    return validateDrawSettings({ true, noDup, U"/tmp/entries.csv", registered, count });
}

} // namespace

TEST(DrawValidation, RangeRuleOnlyBindsWithoutDuplicates)
{
    EXPECT_EQ(numberMode(U"1", U"10", U"10").code, 0);
    const auto over = numberMode(U"1", U"10", U"11");
    EXPECT_EQ(over.code, 100);
    EXPECT_EQ(over.message, "Error:抽選数＜＝最大値－最小値＋1の式が成り立っていません。");
    EXPECT_EQ(numberMode(U"1", U"10", U"11", false).code, 0);

    const auto both = numberMode(U"10", U"1", U"3");
    EXPECT_EQ(both.code, 101);
    EXPECT_EQ(both.message,
        "Error:最小値が最大値を超えています。\r\n"
        "       抽選数＜＝最大値－最小値＋1の式が成り立っていません。");
    const auto minAboveMax = numberMode(U"10", U"1", U"3", false);
    EXPECT_EQ(minAboveMax.code, 1);
    EXPECT_EQ(minAboveMax.message, "Error:最小値が最大値を超えています。");
}

TEST(DrawValidation, CountPartsZeroOrEmpty)
{
    const std::string zero = "Error:抽選数で0を指定することはできません。";
    const std::string hyphen = "Error:抽選数に不正な半角ハイフン[-]が入力されています。";
    EXPECT_EQ(numberMode(U"1", U"100", U"3-0-2").message, zero);
    EXPECT_EQ(numberMode(U"1", U"100", U"3-00").message, zero);
    EXPECT_EQ(numberMode(U"1", U"100", U"3-0-2").code, 1);
    for (const char32_t* text : { U"3--2", U"-3", U"3-", U"-" }) {
        const auto r = numberMode(U"1", U"100", text);
        EXPECT_EQ(r.code, 10);
        EXPECT_EQ(r.message, hyphen);
    }
    // The first bad part decides: a zero before an empty part gives the zero message.
    EXPECT_EQ(numberMode(U"1", U"100", U"0--").message, zero);
}

TEST(DrawValidation, CharacterStageReportsEveryBoxAtOnce)
{
    const auto all = numberMode(U"1a", U"2b", U"x");
    EXPECT_EQ(all.stage, 1);
    EXPECT_EQ(all.code, 111);
    EXPECT_EQ(all.message, "Error:最小値と最大値と抽選数に数字以外のものが含まれています。");
    const auto inFileMode = fileMode(U"2b", U"x");
    EXPECT_EQ(inFileMode.code, 110);
    EXPECT_EQ(inFileMode.message, "Error:最大値と抽選数に数字以外のものが含まれています。");

    EXPECT_EQ(numberMode(U"1", U"-12", U"1").message, "Error:最大値に数字以外のものが含まれています。");
    EXPECT_EQ(fileMode(U"-12", U"1").message, "Error:登録数に数字以外のものが含まれています。");
    EXPECT_EQ(numberMode(U"1a", U"2", U"1").message, "Error:最小値に数字以外のものが含まれています。");
    EXPECT_EQ(numberMode(U"1a", U"2b", U"1").message, "Error:最小値と最大値に数字以外のものが含まれています。");
    EXPECT_EQ(numberMode(U"1", U"2", U"x").message, "Error:抽選数に数字以外のものが含まれています。");
    EXPECT_EQ(numberMode(U"a", U"2", U"x").message, "Error:最小値と抽選数に数字以外のものが含まれています。");
    // Full-width digits are not digits.
    EXPECT_EQ(numberMode(U"１", U"2", U"1").code, 1);
}

TEST(DrawValidation, RegisteredCountBindsFileDrawsWithoutDuplicates)
{
    EXPECT_EQ(fileMode(U"5", U"2-3").code, 0);
    const auto over = fileMode(U"5", U"2-4");
    EXPECT_EQ(over.code, 1000);
    EXPECT_EQ(over.message, "Error:抽選数が登録数を超えています。");
    EXPECT_EQ(fileMode(U"5", U"2-4", false).code, 0);
    // With duplicates allowed a single entry may be drawn many times over.
    EXPECT_EQ(fileMode(U"1", U"3", false).code, 0);
}

TEST(DrawValidation, FileDrawWithoutEntriesIsRefusedEitherWay)
{
    for (bool noDup : { true, false }) {
        const auto r = fileMode(U"0", U"3", noDup);
        EXPECT_EQ(r.code, 1000) << noDup;
        EXPECT_EQ(r.message, "Error:抽選数が登録数を超えています。");
        EXPECT_TRUE(r.settings.counts.empty());
    }
    // An empty list also meets the count limit: both complaints in one message.
    EXPECT_EQ(fileMode(U"0", U"20000000", false).code, 1010);
    // Number mode knows no registered count: a range starting at 0 is fine.
    EXPECT_EQ(numberMode(U"0", U"0", U"3", false).code, 0);
}

TEST(DrawValidation, CountsBeyondTheLimitAreRefusedNotOverflowed)
{
    const std::string limit = "Error:抽選数は10000000以下の値を入力して下さい。";
    EXPECT_EQ(numberMode(U"1", U"999999999", U"10000000", false).code, 0);
    const auto one = numberMode(U"1", U"999999999", U"10000001", false);
    EXPECT_EQ(one.code, 10);
    EXPECT_EQ(one.message, limit);
    // Total over the limit although every part is below it.
    EXPECT_EQ(numberMode(U"1", U"999999999", U"6000000-6000000", false).code, 10);
    // Far more digits than any integer holds.
    EXPECT_EQ(numberMode(U"1", U"999999999", U"99999999999999999999999999", false).code, 10);
    // 2^32 + 1 would wrap to 1 in a 32-bit parse.
    EXPECT_EQ(numberMode(U"1", U"999999999", U"4294967297", false).code, 10);

    EXPECT_EQ(numberMode(U"5", U"1", U"20000000", false).message,
        "Error:最小値が最大値を超えています。\r\n       " + limit.substr(6));
    EXPECT_EQ(numberMode(U"1", U"5", U"20000000").message,
        limit + "\r\n       抽選数＜＝最大値－最小値＋1の式が成り立っていません。");
    EXPECT_EQ(numberMode(U"5", U"1", U"20000000").code, 111);
    EXPECT_EQ(fileMode(U"5", U"20000000").message,
        "Error:抽選数は10000000以下の値で\r\n       かつ、抽選数が登録数を超えない値を入力して下さい。");
    EXPECT_EQ(fileMode(U"5", U"20000000", false).message, limit);
}

TEST(DrawValidation, ValidSettingsCarryWhatTheDrawNeeds)
{
    const auto r = numberMode(U"001", U"120", U"3-2");
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.settings.minimum, 1);
    EXPECT_EQ(r.settings.maximum, 120);
    EXPECT_EQ(r.settings.minimumLength, 3u);
    EXPECT_EQ(r.settings.counts, (std::vector<std::int32_t> { 3, 2 }));
    EXPECT_TRUE(r.settings.noDuplicates);
    EXPECT_FALSE(r.settings.fileMode);
}

TEST(DrawValidation, KeyFilters)
{
    for (SettingsBox box : { SettingsBox::Saisyo, SettingsBox::Saidai }) {
        for (char32_t ch : { U'a', U' ', U'-', U'.', U'/', U':', U'~' })
            EXPECT_FALSE(filterBoxKey(box, ch).accepted) << static_cast<int>(ch);
        for (char32_t ch : { U'0', U'9', U'\b', char32_t(3), char32_t(22), U'あ' }) {
            EXPECT_TRUE(filterBoxKey(box, ch).accepted) << static_cast<int>(ch);
            EXPECT_EQ(filterBoxKey(box, ch).insert, 0u);
        }
        EXPECT_EQ(filterBoxKey(box, U'０').insert, U'0');
        EXPECT_EQ(filterBoxKey(box, U'９').insert, U'9');
        // The full-width hyphen is no digit: it passes as typed and validation refuses it.
        EXPECT_EQ(filterBoxKey(box, U'－').insert, 0u);
    }
    EXPECT_TRUE(filterBoxKey(SettingsBox::Tyusen, U'-').accepted);
    EXPECT_TRUE(filterBoxKey(SettingsBox::Tyusen, U'5').accepted);
    EXPECT_FALSE(filterBoxKey(SettingsBox::Tyusen, U' ').accepted);
    EXPECT_FALSE(filterBoxKey(SettingsBox::Tyusen, U'+').accepted);
    EXPECT_EQ(filterBoxKey(SettingsBox::Tyusen, U'－').insert, U'-');
    EXPECT_EQ(filterBoxKey(SettingsBox::Tyusen, U'３').insert, U'3');
    EXPECT_FALSE(filterBoxKey(SettingsBox::Saidai, U'-').accepted);
}

TEST(DrawValidation, PasteCleaningOfTheMaximum)
{
    const auto cleaned = [](std::u32string_view pasted) {
        return cleanBoxText(SettingsBox::Saidai, true, U"", pasted, pasted.size()).text;
    };
    EXPECT_EQ(cleaned(U"12a3-4"), U"1234");
    EXPECT_EQ(cleaned(U"-12"), U"-12");
    EXPECT_EQ(cleaned(U"1.5"), U"1.5");
    EXPECT_EQ(cleaned(U"1,5 /x"), U"15");
    // Removing the first character can bring a "-" to the front, where it may stay.
    EXPECT_EQ(cleaned(U"a-1"), U"-1");
    EXPECT_EQ(cleaned(U"0123"), U"0123");
}

namespace {

struct BoxCase {
    SettingsBox box;
    bool numberMode;
    const char32_t* previous;
    const char32_t* proposed;
    bool accepted;
    const char32_t* text;
};

} // namespace

TEST(DrawValidation, BoxTextIsCleanedBeforeItsLengthIsJudged)
{
    using enum SettingsBox;
    const BoxCase cases[] = {
        // The limit counts what stays, not what was pasted.
        { Saidai, true, U"", U"10,000,000", true, U"10000000" },
        { Saidai, true, U"7", U"1000000000", false, U"7" },
        { Saisyo, true, U"7", U"1000000000", false, U"7" },
        { Saisyo, true, U"", U"123456789", true, U"123456789" },
        { Saidai, true, U"", U"５０００\n", true, U"5000" },
        { Saisyo, true, U"", U"\t 5000\r\n", true, U"5000" },
        { Saisyo, true, U"", U"１２３", true, U"123" },
        { Saidai, true, U"", U"１２３", true, U"123" },
        { Saisyo, true, U"", U"　１２　", true, U"12" },
        // Spaces inside stay where only validation judges them.
        { Saisyo, true, U"", U"1 2", true, U"1 2" },
        { Saidai, true, U"", U"1 2", true, U"12" },
        { Saidai, true, U"", U"12a3-4", true, U"1234" },
        { Saidai, true, U"", U"-12", true, U"-12" },
        { Saidai, true, U"", U" -12", true, U"-12" },
        { Saidai, true, U"", U"１－２", true, U"12" },
        { Tyusen, true, U"", U"３－２", true, U"3-2" },
        { Tyusen, false, U"", U"１０－５\r\n", true, U"10-5" },
        { Tyusen, true, U"", U"1234567890-1234567890", true, U"1234567890-1234567890" },
        // File mode: the path is never touched, and the registered count has no limit.
        { Saisyo, false, U"", U" /tmp/抽選１.csv ", true, U" /tmp/抽選１.csv " },
        { Saidai, false, U"", U"1234567890", true, U"1234567890" },
    };
    for (const BoxCase& c : cases) {
        const std::u32string proposed = c.proposed;
        const BoxEdit edit = cleanBoxText(c.box, c.numberMode, c.previous, proposed, proposed.size());
        EXPECT_EQ(edit.accepted, c.accepted) << static_cast<int>(c.box) << " " << proposed.size();
        EXPECT_TRUE(edit.text == c.text) << static_cast<int>(c.box) << " " << proposed.size();
        // Writing the result back changes the text once more: it must then stay as it is.
        const BoxEdit again = cleanBoxText(c.box, c.numberMode, edit.text, edit.text, 0);
        EXPECT_TRUE(again.accepted && again.text == edit.text);
    }
}

TEST(DrawValidation, CleanedPasteThenPassesValidation)
{
    const BoxEdit max = cleanBoxText(SettingsBox::Saidai, true, U"", U"５０００\n", 5);
    const BoxEdit count = cleanBoxText(SettingsBox::Tyusen, true, U"", U"１０－５", 4);
    const auto r = validateDrawSettings({ false, true, U"1", max.text, count.text });
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.settings.maximum, 5000);
    EXPECT_EQ(r.settings.counts, (std::vector<std::int32_t> { 10, 5 }));
}

TEST(DrawValidation, CaretFollowsTheKeptCharacters)
{
    // "1２|3": the full-width digit typed in the middle leaves the caret behind it.
    EXPECT_EQ(cleanBoxText(SettingsBox::Saisyo, true, U"13", U"1２3", 2).caret, 2u);
    // "1a|2" in the maximum box: the letter goes, the caret stays behind the "1".
    EXPECT_EQ(cleanBoxText(SettingsBox::Saidai, true, U"12", U"1a2", 2).caret, 1u);
    // A trimmed paste at the end leaves the caret at the end.
    EXPECT_EQ(cleanBoxText(SettingsBox::Saisyo, true, U"", U" 42\n", 4).caret, 2u);
    // A refused paste into "12|34" puts the caret back where the paste went in.
    const BoxEdit refused = cleanBoxText(SettingsBox::Saisyo, true, U"1234", U"129999999934", 10);
    EXPECT_FALSE(refused.accepted);
    EXPECT_TRUE(refused.text == U"1234");
    EXPECT_EQ(refused.caret, 2u);
}
