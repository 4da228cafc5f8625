#include "records/DrawVerifier.h"
#include "app/VerifyCommand.h"
#include "common/TextSafety.h"
#include "records/EntriesCopy.h"
#include "records/RecordStore.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace kuji;

namespace {

class DrawVerifierTest : public test::TempFolderTest {
protected:
    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    // kujimaru --verify with these arguments.
    static Outcome verify(std::vector<std::string> args)
    {
        args.insert(args.begin(), { "kujimaru", "--verify" });
        std::vector<const char*> argv;
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        std::ostringstream out;
        std::ostringstream err;
        Outcome o;
        o.status = runVerifyCommand(static_cast<int>(argv.size()), argv.data(), out, err).value_or(-1);
        o.out = out.str();
        o.err = err.str();
        return o;
    }

    // Draws by plan and writes its record (and the entries copy of a draw from no file).
    std::string record(DrawPlan plan, const std::string& name = "record.txt")
    {
        ResultList results;
        RecordedDraw draw(plan, results);
        draw.runToEnd();
        const std::string path = pathOf(name);
        DrawRecord r = draw.record("2026-03-01 14:05:09 +0900");
        r.sequence = 1;
        if (plan.settings.fileMode && !plan.sourceIsFile) {
            r.entriesCopy = EntriesCopyState::Kept;
            std::ofstream(RecordStore::sharedCopyPath(path, r.workList), std::ios::binary)
                << EntriesCopy::format(*plan.entries);
        }
        std::ofstream(path, std::ios::binary) << formatDrawRecord(r);
        return path;
    }

    static std::string read(const std::string& path)
    {
        std::string bytes;
        ErrorInfo err;
        EXPECT_TRUE(readFileBytes(path, bytes, err));
        return bytes;
    }

    static void edit(const std::string& path, const std::string& from, const std::string& to)
    {
        std::string text = read(path);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text.replace(at, from.size(), to);
    }

    static DrawPlan numbers(std::int32_t count, bool noDup = true)
    {
        DrawPlan plan;
        plan.settings.minimum = 1;
        plan.settings.maximum = 1000000;
        plan.settings.minimumLength = 1;
        plan.settings.noDuplicates = noDup;
        plan.settings.counts = { count };
        plan.boxes = { false, noDup, "1", "1000000", std::to_string(count) };
        plan.seed.fill(0x42);
        return plan;
    }

    // The same draw made public: a value, and the commitment it was promised by.
    static DrawPlan madePublic(DrawPlan plan, std::string value)
    {
        const std::uint64_t n = plan.settings.fileMode ? plan.entries->size() : 0;
        Commitment c;
        c.settings = plan.canonical(n);
        c.entryCount = n;
        c.workList = WorkListHasher::of(plan.settings.fileMode ? *plan.entries : EntryList());
        c.description = "beacon, 2026-03-01 12:00, hexadecimal";
        c.dateTime = "2026-02-20 09:00:00 +0900";
        plan.commitment = c;
        plan.publicValue = std::move(value);
        return plan;
    }

    DrawPlan fromFile(const std::string& entryPath)
    {
        DrawPlan plan;
        auto entries = std::make_shared<EntryList>();
        for (const char* name : { "青木", "井上", "上田", "江藤", "大野" })
            entries->append(name);
        plan.entries = entries;
        plan.settings.fileMode = true;
        plan.settings.noDuplicates = true;
        plan.settings.counts = { 2, 2 };
        plan.boxes = { true, true, "", "5", "2-2" };
        plan.source = entryPath;
        plan.sourceIsFile = true;
        plan.seed.fill(0x07);
        return plan;
    }
};

} // namespace

TEST_F(DrawVerifierTest, AnUntouchedRecordMatches)
{
    const Outcome o = verify({ record(numbers(20)) });
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_EQ(o.out.substr(0, 6), "一致");
    EXPECT_TRUE(o.err.empty());
}

TEST_F(DrawVerifierTest, EditedResultsSeedsAndPublicValuesAreMismatchesThatSayWhat)
{
    // Changes one hexadecimal digit right after the field name.
    const auto flipAfter = [](const std::string& field) {
        return [field](const std::string& p) {
            std::string text = read(p);
            const std::size_t at = text.find(field) + field.size();
            text[at] = text[at] == '0' ? '1' : '0';
            std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
        };
    };
    struct Case {
        const char* what;
        std::function<void(const std::string&)> change;
        const char* named; // with the program's seed
        const char* namedWithPublicValue;
    };
    const Case cases[] = {
        { "one result edited",
            [](const std::string& p) {
                const std::string text = read(p);
                const std::size_t line = text.find("\n000000003 ");
                ASSERT_NE(line, std::string::npos);
                edit(p, text.substr(line, text.find('\n', line + 1) - line), "\n000000003 1000001");
            },
            "結果 000000003 が違います", "結果 000000003 が違います" },
        // With the program's seed only the results can tell; a public value makes its own.
        { "one digit of the seed edited", flipAfter("シード: "), "結果の SHA-256 が違います",
            "計算したシードが記録と違います" },
        { "one digit of the results digest edited", flipAfter("結果のSHA-256: "), "結果の SHA-256 が違います",
            "結果の SHA-256 が違います" },
        { "the public value edited", [](const std::string& p) { edit(p, "7f3a", "7f3b"); }, nullptr,
            "計算したシードが記録と違います" },
    };
    const DrawPlan withPublic = madePublic(numbers(20), "beacon 2026-03-01 12:00 7f3a");
    for (const Case& c : cases) {
        for (bool isPublic : { false, true }) {
            const char* named = isPublic ? c.namedWithPublicValue : c.named;
            if (!named)
                continue;
            const std::string path = record(isPublic ? withPublic : numbers(20));
            c.change(path);
            const Outcome o = verify({ path });
            EXPECT_EQ(o.status, 1) << c.what << o.out << o.err;
            EXPECT_EQ(o.out.substr(0, 9), "不一致") << c.what;
            EXPECT_NE(o.out.find(named), std::string::npos) << c.what << "\n" << o.out;
        }
    }
}

TEST_F(DrawVerifierTest, AFileDrawReadsTheFileItNamesOrTheOneGiven)
{
    const std::string entries = write("names.csv", "青木\r\n井上\r\n上田\r\n江藤\r\n大野\r\n");
    const std::string path = record(fromFile(entries));
    EXPECT_EQ(verify({ path }).status, 0);
    EXPECT_EQ(verify({ path, entries }).status, 0);

    // One letter changed in a copy of the file: the entries and the results differ.
    const std::string other = write("names.csv", "青木\r\n井上\r\n上田\r\n江藤\r\n大埜\r\n");
    const Outcome changed = verify({ path, other });
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.out.find("エントリーの SHA-256 が違います"), std::string::npos) << changed.out;
    // One entry more: the count differs too.
    const Outcome longer = verify({ path, write("names.csv", "青木\r\n井上\r\n上田\r\n江藤\r\n大野\r\n加藤\r\n") });
    EXPECT_EQ(longer.status, 1);
    EXPECT_NE(longer.out.find("エントリーの件数が違います（記録: 5 件、今回: 6 件）"), std::string::npos) << longer.out;

    // The named file gone: nothing to check with, and the window may ask for it.
    std::filesystem::remove(entries);
    DrawVerifier verifier(path);
    EXPECT_TRUE(verifier.entriesMissing());
    EXPECT_EQ(verify({ path }).status, 2);
    EXPECT_EQ(verify({ path, other }).status, 1);
}

TEST_F(DrawVerifierTest, ADrawFromATransferIsCheckedAgainstItsEntriesCopy)
{
    DrawPlan plan = fromFile("");
    plan.source = "文字列作成";
    plan.sourceIsFile = false;
    auto entries = std::make_shared<EntryList>();
    entries->append("two\nlines");
    entries->append("");
    entries->append("三");
    plan.entries = entries;
    plan.boxes.maximum = "3";
    plan.settings.counts = { 3 };
    plan.boxes.count = "3";
    const std::string path = record(plan);
    const Outcome o = verify({ path });
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    // The copy given by name works as well; without any copy there is nothing to draw from.
    DrawRecord r;
    std::string problem;
    ASSERT_TRUE(parseDrawRecord(read(path), r, problem)) << problem;
    std::filesystem::rename(RecordStore::sharedCopyPath(path, r.workList), pathOf("kept.entries"));
    EXPECT_EQ(verify({ path, pathOf("kept.entries") }).status, 0);
    const Outcome missing = verify({ path });
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("エントリーの写し"), std::string::npos) << missing.err;
}

TEST_F(DrawVerifierTest, UnreadableRecordsAndWrongArgumentsExitWithTwo)
{
    const std::string good = read(record(numbers(20)));
    const std::pair<const char*, std::string> unreadable[] = {
        { "cut short", write("cut.txt", good.substr(0, good.size() / 2)) },
        { "garbage", write("garbage.txt", "\x89PNG\r\n\x1A\n") },
        { "empty", write("empty.txt", "") },
        { "missing", pathOf("no such record.txt") },
        { "a folder", m_dir },
    };
    for (const auto& [what, path] : unreadable) {
        const Outcome o = verify({ path });
        EXPECT_EQ(o.status, 2) << what;
        EXPECT_NE(o.err.find("記録を読めません"), std::string::npos) << what << o.err;
        EXPECT_TRUE(o.out.empty()) << what;
    }
    EXPECT_EQ(verify({}).status, 2);
    EXPECT_EQ(verify({ "a", "b", "c" }).status, 2);
    // Anything else is no verification: the window starts as before.
    const char* window[] = { "kujimaru", "--help" };
    std::ostringstream out;
    EXPECT_FALSE(runVerifyCommand(2, window, out, out).has_value());
    EXPECT_FALSE(runVerifyCommand(1, window, out, out).has_value());
}

TEST_F(DrawVerifierTest, AMillionValueDrawLeavesASmallRecordThatStillVerifies)
{
    const std::string path = record(numbers(1000000));
    EXPECT_LT(std::filesystem::file_size(path), 1024u * 1024u);
    const Outcome o = verify({ path });
    EXPECT_EQ(o.status, 0) << o.out << o.err;
}

TEST_F(DrawVerifierTest, APublicRecordNamesItsCommitmentAndItsNumberMustFollowFromIt)
{
    const std::string path = record(madePublic(numbers(20), "7f3a"));
    const Outcome o = verify({ path });
    EXPECT_EQ(o.status, 0) << o.out << o.err;
    EXPECT_NE(o.out.find("\n予告番号: "), std::string::npos) << o.out;
    // Another description of the value under the same number: the published number is not
    // that of this record.
    edit(path, "公開値の説明: beacon", "公開値の説明: beakon");
    const Outcome edited = verify({ path });
    EXPECT_EQ(edited.status, 1) << edited.out << edited.err;
    EXPECT_NE(edited.out.find("予告番号が、記録の項目から計算した値と違います"), std::string::npos) << edited.out;
}

TEST_F(DrawVerifierTest, HostileRecordsExitWithTwoAndNothingPrintedHoldsAControlCharacter)
{
    const std::string good = read(record(numbers(20)));
    const std::size_t row = good.find("\n000000003 ") + 11;
    const std::string cases[] = {
        // Escape sequences that would erase "不一致" and write "一致" on a terminal.
        good.substr(0, row) + "\x1B[2K\x1B[1A一致" + good.substr(row),
        good.substr(0, row)
            + "\xC2\x9B"
              "2K"
            + good.substr(row),
        good.substr(0, row) + "\xFF\xFE" + good.substr(row),
        // A result line of 10 MB: a mismatch, shown cut to a thousand characters.
        good.substr(0, row) + std::string(10'000'000, 'x') + good.substr(row),
    };
    for (const std::string& bytes : cases) {
        const Outcome o = verify({ write("hostile.txt", bytes) });
        if (bytes.size() > 10'000'000) {
            EXPECT_EQ(o.status, 1);
            EXPECT_LT(o.out.size(), 5000u);
            continue;
        }
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find("記録を読めません"), std::string::npos);
        EXPECT_LT(o.out.size() + o.err.size(), 2000u);
        for (const std::string& text : { o.out, o.err })
            for (const char c : text)
                EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << o.err;
        EXPECT_FALSE(findUnsafeText(o.err).has_value()) << o.err;
    }

    // 登録数 that is not the count of the entries, and settings that cannot be drawn.
    const std::string entries = write("names.csv", "青木\r\n井上\r\n上田\r\n江藤\r\n大野\r\n");
    const std::string fileRecord = read(record(fromFile(entries)));
    std::string text = fileRecord;
    text.replace(text.find("登録数: 5"), std::string("登録数: 5").size(), "登録数: 4");
    EXPECT_EQ(verify({ write("registered.txt", text), entries }).status, 2);
    text = good;
    text.replace(text.find("抽選数: 20"), std::string("抽選数: 20").size(), "抽選数: 0-20");
    const Outcome undrawable = verify({ write("undrawable.txt", text) });
    EXPECT_EQ(undrawable.status, 2);
    EXPECT_NE(undrawable.err.find("記録の設定では抽選できません"), std::string::npos) << undrawable.err;
}

TEST_F(DrawVerifierTest, AFileNamedInARecordIsUsedOnlyByAnAbsolutePathAndNeverShown)
{
    // A record that names a file of the user's that is no entry file of this draw.
    const std::string secret = write("secret.txt", "password=hunter2\r\nPIN 1234\r\n3\r\n4\r\n5\r\n");
    const std::string entries = write("names.csv", "青木\r\n井上\r\n上田\r\n江藤\r\n大野\r\n");
    std::string text = read(record(fromFile(entries)));
    text.replace(text.find(entries), entries.size(), secret);
    const std::string crafted = write("crafted.txt", text);
    const Outcome o = verify({ crafted });
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("エントリー: " + secret + "（記録に書かれたファイル）"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("再現した行の SHA-256"), std::string::npos) << o.out;
    for (const char* leaked : { "password", "hunter2", "PIN" })
        EXPECT_EQ(o.out.find(leaked), std::string::npos) << o.out;

    // A relative path names whatever file the checker's current folder holds: it is not used.
    text.replace(text.find(secret), secret.size(), "secret.txt");
    const std::string relativePath = write("relative.txt", text);
    const Outcome relative = verify({ relativePath });
    EXPECT_EQ(relative.status, 2);
    EXPECT_NE(relative.err.find("絶対パスではない"), std::string::npos) << relative.err;
    // Given by the checker, the file is the checker's own choice.
    EXPECT_EQ(verify({ relativePath, entries }).status, 0);
}
