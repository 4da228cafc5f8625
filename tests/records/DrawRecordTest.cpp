#include "records/DrawRecord.h"
#include "common/TextSafety.h"

#include <gtest/gtest.h>

using namespace kuji;

namespace {

DrawRecord numberRecord(std::uint64_t results)
{
    DrawRecord r;
    r.sequence = 12;
    r.previous.emplace();
    r.previous->fill(0x5A);
    r.dateTime = "2026-03-01 14:05:09 +0900";
    r.program = "くじ丸 Version 1.00.0";
    r.settings = { false, true, "001", "999", "3-2" };
    r.seed.fill(0x3C);
    r.results.fill(0xD2);
    r.resultCount = results;
    for (std::uint64_t i = 0; i < std::min<std::uint64_t>(results, RecordedResults::kShownResults); ++i)
        r.shownResults.push_back(std::to_string(i));
    return r;
}

DrawRecord transferRecord()
{
    DrawRecord r = numberRecord(3);
    r.settings = { true, false, "", "2", "3" };
    r.source = "文字列作成";
    r.sourceIsFile = false;
    r.entryCount = 2;
    r.workList.fill(0x01);
    r.entriesCopy = EntriesCopyState::Kept;
    r.commitmentNumber.emplace();
    r.commitmentNumber->fill(0x77);
    r.commitmentDateTime = "2026-12-08 19:00:00 +0900";
    r.commitmentDescription = "年末ジャンボ\n1等";
    r.publicValue = "ロト6\n第1\\回\t\x7F 終わり";
    r.normalizedValue = "ロト6第1\\回\x7F終わり";
    r.shownResults = { "Ann ↵ Bob", "", "【1回目の抽選結果：3件】" };
    return r;
}

void expectSame(const DrawRecord& a, const DrawRecord& b)
{
    EXPECT_EQ(a.format, b.format);
    EXPECT_EQ(a.sequence, b.sequence);
    EXPECT_EQ(a.previous, b.previous);
    EXPECT_EQ(a.entriesCopy, b.entriesCopy);
    EXPECT_EQ(a.commitmentNumber, b.commitmentNumber);
    EXPECT_EQ(a.commitmentDateTime, b.commitmentDateTime);
    EXPECT_EQ(a.commitmentDescription, b.commitmentDescription);
    EXPECT_EQ(a.dateTime, b.dateTime);
    EXPECT_EQ(a.program, b.program);
    EXPECT_EQ(a.algorithm, b.algorithm);
    EXPECT_EQ(a.settings, b.settings);
    EXPECT_EQ(a.source, b.source);
    EXPECT_EQ(a.sourceIsFile, b.sourceIsFile);
    EXPECT_EQ(a.entryCount, b.entryCount);
    EXPECT_EQ(a.workList, b.workList);
    EXPECT_EQ(a.publicValue, b.publicValue);
    EXPECT_EQ(a.normalizedValue, b.normalizedValue);
    EXPECT_EQ(a.seed, b.seed);
    EXPECT_EQ(a.resultCount, b.resultCount);
    EXPECT_EQ(a.results, b.results);
    EXPECT_EQ(a.shownResults, b.shownResults);
    EXPECT_EQ(a.prizeNames, b.prizeNames);
    EXPECT_EQ(a.replacement, b.replacement);
}

// A replacement of a draw announced with prize names.
DrawRecord replacementRecord()
{
    DrawRecord r = numberRecord(2);
    r.prizeNames = "特賞,1等\n";
    ReplacementInfo& info = r.replacement.emplace();
    info.number = 2;
    info.original.fill(0x0A);
    info.previous.fill(0x0B);
    info.absent = { { 1, 17 }, { 12, 4000000000u } };
    return r;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

} // namespace

TEST(Sha256, KnownDigestAndFramedFields)
{
    EXPECT_EQ(toHex(Sha256::of("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Sha256 a;
    a.updateField("ab");
    a.updateField("c");
    Sha256 b;
    b.updateField("a");
    b.updateField("bc");
    EXPECT_NE(a.finish(), b.finish());
    Sha256Digest read {};
    EXPECT_TRUE(fromHex("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", read));
    EXPECT_EQ(read, Sha256::of("abc"));
    EXPECT_FALSE(fromHex("ba7816bf", read));
    EXPECT_FALSE(fromHex(std::string(63, '0') + "g", read));
}

TEST(Sha256, PiecesFedInAnyWayGiveTheDigestOfTheWhole)
{
    // Many short fields fill and flush the buffer; fields longer than the buffer pass it by.
    std::string whole;
    Sha256 pieces;
    for (int i = 0; i < 30000; ++i) {
        const std::string field = i % 7000 == 0 ? std::string(100000 + i, 'z') : std::to_string(i);
        pieces.updateField(field);
        const std::uint64_t n = field.size();
        for (int k = 0; k < 8; ++k)
            whole += static_cast<char>((n >> (8 * k)) & 0xFF);
        whole += field;
    }
    EXPECT_EQ(pieces.finish(), Sha256::of(whole));
    // A finished hash starts over.
    pieces.update("abc");
    EXPECT_EQ(pieces.finish(), Sha256::of("abc"));
}

// Found with the draw-record fuzz target: the formatter wrote the public value's normal form
// afresh, so a record whose stated form had been edited came back corrected.
TEST(DrawRecordFile, KeepsTheNormalizedValueItStates)
{
    DrawRecord r = transferRecord();
    r.normalizedValue = "edited";
    const std::string text = formatDrawRecord(r);
    DrawRecord read;
    std::string problem;
    ASSERT_TRUE(parseDrawRecord(text, read, problem)) << problem;
    EXPECT_EQ(read.normalizedValue, "edited");
    EXPECT_EQ(formatDrawRecord(read), text);
}

TEST(DrawRecordFile, ReadsBackEveryFieldItWrote)
{
    for (const DrawRecord& record :
        { numberRecord(0), numberRecord(8), numberRecord(10005), transferRecord(), replacementRecord() }) {
        const std::string text = formatDrawRecord(record);
        DrawRecord read;
        std::string problem;
        ASSERT_TRUE(parseDrawRecord(text, read, problem)) << problem << "\n" << text.substr(0, 800);
        expectSame(read, record);
    }
    const std::string big = formatDrawRecord(numberRecord(10005));
    EXPECT_NE(big.find("\nほか 5 件"), std::string::npos);
    // A value with a line break stays on its line.
    EXPECT_NE(
        formatDrawRecord(transferRecord()).find("公開値: ロト6\\n第1\\\\回\\x09\\x7F 終わり\n"), std::string::npos);
}

TEST(DrawRecordFile, AReplacementNamesItsAbsentWinnersOrIsRefused)
{
    const std::string text = formatDrawRecord(replacementRecord());
    EXPECT_NE(text.find("\n欠席: 000000001=17, 000000012=4000000000\n"), std::string::npos) << text;
    DrawRecord read;
    std::string problem;
    for (const char* bad : { "000000001=17, ", "000000001=", "00000001=17", "000000001=17,000000012", "x" }) {
        const std::string broken = replaced(text, "000000001=17, 000000012=4000000000", bad);
        EXPECT_FALSE(parseDrawRecord(broken, read, problem)) << bad;
        EXPECT_NE(problem.find("欠席"), std::string::npos) << problem;
    }
}

TEST(DrawRecordFile, AnythingButAWholeRecordIsRefused)
{
    const std::string text = formatDrawRecord(transferRecord());
    DrawRecord read;
    std::string problem;
    // Cut after any line, or inside the last one.
    for (std::size_t end = text.find('\n'); end + 1 < text.size(); end = text.find('\n', end + 1))
        EXPECT_FALSE(parseDrawRecord(text.substr(0, end + 1), read, problem)) << end;
    EXPECT_FALSE(parseDrawRecord(text.substr(0, text.size() - 4), read, problem));

    const std::string big = formatDrawRecord(numberRecord(10005));
    const std::string seed = seedToHex(transferRecord().seed);
    const std::pair<const char*, std::string> broken[] = {
        { "empty", "" },
        { "not a record", "番号,名前\n1,青木\n" },
        { "binary", std::string("\x89PNG\r\n\x1A\n\0\0", 10) },
        { "a line after the end", text + "x\n" },
        { "fields swapped", replaced(text, "抽選数: 3\nダブり無し: なし", "ダブり無し: なし\n抽選数: 3") },
        { "seed one digit short", replaced(text, seed, seed.substr(1)) },
        { "seed not hexadecimal", replaced(text, seed, seed.substr(1) + "x") },
        { "unknown escape", replaced(text, "\\n第1", "\\q第1") },
        { "a result out of order", replaced(text, "000000001 \n", "000000002 \n") },
        { "fewer results than counted", replaced(text, "結果の件数: 3", "結果の件数: 4") },
        { "rows not shown miscounted", replaced(big, "ほか 5 件", "ほか 6 件") },
        { "no-duplicates neither yes nor no", replaced(text, "ダブり無し: なし", "ダブり無し: 0") },
        { "another record format", replaced(text, "記録の形式: 2", "記録の形式: 3") },
        { "sequence number 0", replaced(text, "通し番号: 12", "通し番号: 0") },
    };
    for (const auto& [what, bad] : broken) {
        problem.clear();
        EXPECT_FALSE(parseDrawRecord(bad, read, problem)) << what;
        EXPECT_FALSE(problem.empty()) << what;
    }

    // What an editor may do to a file it saves is no damage.
    std::string windows;
    for (char c : text)
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(parseDrawRecord("\xEF\xBB\xBF" + windows, read, problem)) << problem;
    expectSame(read, transferRecord());
    EXPECT_TRUE(parseDrawRecord(replaced(text, "000000001 \n", "000000001\n"), read, problem)) << problem;
    expectSame(read, transferRecord());
}

TEST(DrawRecordFile, ValuesEscapeAndReadBackExactly)
{
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    every += '\0';
    std::string back;
    const std::string escaped = escapeRecordValue(every);
    EXPECT_EQ(escaped.find_first_of("\r\n"), std::string::npos);
    ASSERT_TRUE(unescapeRecordValue(escaped, back));
    EXPECT_EQ(back, every);
    for (const char* bad : { "\\", "a\\q", "\\x4", "\\xZZ" })
        EXPECT_FALSE(unescapeRecordValue(bad, back)) << bad;
}

TEST(DrawRecordFile, NothingATerminalWouldObeyIsReadOrWritten)
{
    // Values and results with control characters, C1 characters and malformed bytes are
    // written escaped, so the file holds plain text only, and read back exactly.
    DrawRecord r = transferRecord();
    r.source = "名簿\x1B[2K\xC2\x85\xFF.csv";
    r.sourceIsFile = true;
    r.entriesCopy = EntriesCopyState::None;
    r.shownResults = { "\x1B]0;title\x07", "tab\there", "C:\\名簿" };
    const std::string text = formatDrawRecord(r);
    EXPECT_FALSE(findUnsafeText(text).has_value()) << text;
    EXPECT_NE(text.find("000000000 \\x1B]0;title\\x07\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ファイル: 名簿\\x1B[2K\\xC2\\x85\\xFF.csv\n"), std::string::npos) << text;
    DrawRecord read;
    std::string problem;
    ASSERT_TRUE(parseDrawRecord(text, read, problem)) << problem;
    expectSame(read, r);

    // Raw, they are refused with the line and the cause.
    const std::pair<std::string, std::string> hostile[] = {
        { replaced(text, "000000002 C:", "000000002 \x1B[1A一致 C:"), "26 行目に制御文字 U+001B があります。" },
        { replaced(text, "000000002 C:", "000000002 \xC2\x9B C:"), "26 行目に制御文字 U+009B があります。" },
        { replaced(text, "000000002 C:", "000000002 \xE3\x81 C:"),
            "26 行目に正しくない UTF-8 のバイト 0xE3 があります。" },
        { replaced(text, "000000002 C:", "000000002 \x7F C:"), "26 行目に制御文字 U+007F があります。" },
        { replaced(text, "000000002 C:", "000000002 \r C:"), "26 行目の途中に制御文字 U+000D（復帰）があります。" },
        { replaced(text, "日時: 2026", "日時: \t2026"), "5 行目に制御文字 U+0009 があります。" },
        // One result line more than counted is named as such, not as a record cut short.
        { replaced(text, "記録の終わり\n", "000000003 surplus\n記録の終わり\n"),
            "27 行目は、「結果の件数」の 3 件より多い結果の行です。" },
    };
    for (const auto& [bad, why] : hostile) {
        EXPECT_FALSE(parseDrawRecord(bad, read, problem));
        EXPECT_EQ(problem, why);
    }
}

TEST(DrawRecordFile, RecordsOfTheFirstFormatStillReadWithTheirTabs)
{
    DrawRecord r = numberRecord(3);
    r.format = 1;
    r.sequence = 0;
    r.previous.reset();
    r.algorithm = "v1";
    r.settings = { true, false, "", "2", "3" };
    r.source = "/home/user/名簿.txt";
    r.sourceIsFile = true;
    r.shownResults = { "青木\t一郎", "井上\t二郎", "青木\t一郎" };
    const std::string text = formatDrawRecord(r);
    EXPECT_EQ(text.find("通し番号"), std::string::npos);
    EXPECT_NE(text.find("000000000 青木\t一郎\n"), std::string::npos);
    DrawRecord read;
    std::string problem;
    ASSERT_TRUE(parseDrawRecord(text, read, problem)) << problem;
    expectSame(read, r);
    EXPECT_FALSE(parseDrawRecord(replaced(text, "\t一郎", "\x1B一郎"), read, problem));

    // For publication the entry file's folders go; every other byte stays.
    const std::string published = withFileNameOnly(text);
    EXPECT_EQ(published, replaced(text, "ファイル: /home/user/名簿.txt", "ファイル: 名簿.txt"));
}
