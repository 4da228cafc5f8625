#include "common/SafeFileWriter.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace kuji;
namespace fs = std::filesystem;

namespace {

class SafeFileWriterTest : public kuji::test::TempFolderTest {
protected:
    void TearDown() override
    {
        setBeforeReplaceHook({});
        setWriteFault(std::nullopt);
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        TempFolderTest::TearDown();
    }

    static std::string bytesOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    std::set<std::string> names() const
    {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(m_dir))
            out.insert(e.path().filename().string());
        return out;
    }
    // Makes the folder and everything in it reachable for the unprivileged child.
    void openFolderTo(fs::perms folder) const { fs::permissions(m_dir, folder); }
};

} // namespace

TEST_F(SafeFileWriterTest, ReplacesTheWholeFileAndLeavesNothingElse)
{
    const std::string path = m_dir + "/list.csv";
    ErrorInfo err;
    ASSERT_TRUE(writeFileSafely(path, "a\r\nb\r\n", err)) << err.description;
    ASSERT_TRUE(writeFileSafely(path, "c\r\n", err));
    EXPECT_EQ(bytesOf(path), "c\r\n");
    ASSERT_TRUE(writeFileSafely(path, "", err));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(names(), std::set<std::string> { "list.csv" });
    EXPECT_EQ(err.number, 0);
}

TEST_F(SafeFileWriterTest, SavingOntoALinkReplacesTheFileItPointsTo)
{
    fs::create_directory(m_dir + "/real");
    const std::string real = m_dir + "/real/data.txt";
    std::ofstream(real, std::ios::binary) << "old";
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real/data.txt", m_dir + "/link.txt");
    fs::create_symlink("link.txt", m_dir + "/link2.txt");

    ErrorInfo err;
    ASSERT_TRUE(writeFileSafely(m_dir + "/link2.txt", "new", err)) << err.description;
    EXPECT_TRUE(fs::is_symlink(m_dir + "/link.txt"));
    EXPECT_TRUE(fs::is_symlink(m_dir + "/link2.txt"));
    EXPECT_EQ(bytesOf(real), "new");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir + "/real"), fs::directory_iterator()), 1);

    // A link to a file not there yet makes that file.
    fs::create_symlink("real/later.txt", m_dir + "/dangling.txt");
    ASSERT_TRUE(writeFileSafely(m_dir + "/dangling.txt", "x", err)) << err.description;
    EXPECT_EQ(bytesOf(m_dir + "/real/later.txt"), "x");
    EXPECT_TRUE(fs::is_symlink(m_dir + "/dangling.txt"));

    fs::create_symlink("loop.txt", m_dir + "/loop.txt");
    EXPECT_FALSE(writeFileSafely(m_dir + "/loop.txt", "x", err));
    EXPECT_EQ(err.number, ELOOP);
}

TEST_F(SafeFileWriterTest, AFailureHalfWayLeavesThePreviousFileAndNoTemporaryFile)
{
    const std::string path = m_dir + "/result.txt";
    std::ofstream(path, std::ios::binary) << "previous\r\n";
    ErrorInfo err;
    // After no byte, after some, and after all of them (the flush that fails).
    for (std::size_t after : { 0, 3, 10 }) {
        setWriteFault(WriteFault { after, ENOSPC });
        EXPECT_FALSE(writeFileSafely(path, "0123456789", err)) << after;
        EXPECT_EQ(err.number, ENOSPC);
        EXPECT_EQ(err.description, describeFileError(ENOSPC));
        EXPECT_EQ(bytesOf(path), "previous\r\n");
        EXPECT_EQ(names(), std::set<std::string> { "result.txt" });
    }
    // A new file is not left behind half-written either.
    EXPECT_FALSE(writeFileSafely(m_dir + "/new.txt", "0123456789", err));
    EXPECT_EQ(names(), std::set<std::string> { "result.txt" });

    setWriteFault(std::nullopt);
    EXPECT_TRUE(writeFileSafely(path, "0123456789", err));
    EXPECT_EQ(bytesOf(path), "0123456789");
}

TEST_F(SafeFileWriterTest, AWriteKilledBeforeTheRenameLeavesOneTemporaryFileTheNextWriteRemoves)
{
    const std::string path = m_dir + "/list.csv";
    std::ofstream(path, std::ios::binary) << "old";
    const std::string temp = temporaryPathFor(path);
    EXPECT_EQ(fs::path(temp).parent_path(), fs::path(m_dir));
    EXPECT_EQ(fs::path(temp).filename().string().front(), '.');

    // Two writes killed at the worst moment: the second replaces the first one's leftover.
    for (int killed = 0; killed < 2; ++killed) {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            setBeforeReplaceHook([](const std::string&) -> bool { ::_exit(0); });
            ErrorInfo err;
            writeFileSafely(path, "new " + std::to_string(killed), err);
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(bytesOf(path), "old");
        EXPECT_EQ(bytesOf(temp), "new " + std::to_string(killed));
        EXPECT_EQ(names().size(), 2u);
    }

    ErrorInfo err;
    ASSERT_TRUE(writeFileSafely(path, "final", err)) << err.description;
    EXPECT_EQ(bytesOf(path), "final");
    EXPECT_EQ(names(), std::set<std::string> { "list.csv" });

    // A name near the system's limit still gets a temporary name it can hold.
    const std::string longPath = m_dir + "/" + std::string(250, 'n') + ".csv";
    EXPECT_LE(fs::path(temporaryPathFor(longPath)).filename().string().size(), 255u);
    EXPECT_TRUE(writeFileSafely(longPath, "x", err)) << err.description;
}

TEST_F(SafeFileWriterTest, PermissionsDecideAndTheErrorTellsWhy)
{
    const std::string readOnly = m_dir + "/readonly.txt";
    const std::string writable = m_dir + "/writable.txt";
    std::ofstream(readOnly, std::ios::binary) << "keep";
    std::ofstream(writable, std::ios::binary) << "old contents";
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(
        writable, fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
    const auto attempt = [](const std::string& path, const std::string& bytes) {
        return kuji::test::runUnprivileged([&] {
            ErrorInfo err;
            return writeFileSafely(path, bytes, err) ? 0 : err.number;
        });
    };

    // A read-only file is refused even where the folder would allow replacing it.
    openFolderTo(fs::perms::all);
    const int readOnlyResult = attempt(readOnly, "changed");
    if (readOnlyResult == kuji::test::kCannotDropRights)
        GTEST_SKIP() << "cannot run a process without rights here";
    EXPECT_EQ(readOnlyResult, EACCES);
    EXPECT_EQ(bytesOf(readOnly), "keep");

    // A folder that takes no new file: a new name fails with the folder's error, and an
    // existing file that may be written is written in place.
    openFolderTo(fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec
        | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(attempt(m_dir + "/new.txt", "x"), EACCES);
    EXPECT_FALSE(fs::exists(m_dir + "/new.txt"));
    EXPECT_EQ(attempt(writable, "short"), 0);
    EXPECT_EQ(bytesOf(writable), "short");
    EXPECT_EQ(attempt(readOnly, "changed"), EACCES);
    openFolderTo(fs::perms::owner_all);
    EXPECT_EQ(names(), (std::set<std::string> { "readonly.txt", "writable.txt" }));

    ErrorInfo err;
    EXPECT_FALSE(writeFileSafely(m_dir + "/missing/x.txt", "x", err));
    EXPECT_EQ(err.number, ENOENT);
    EXPECT_FALSE(writeFileSafely(m_dir, "x", err));
    EXPECT_EQ(err.number, EISDIR);
    EXPECT_TRUE(fs::is_directory(m_dir));
    EXPECT_EQ(formatWriteErrorText({ EACCES, "ファイルへのアクセスが拒否されました。" }),
        "エラー番号 = 13\rファイルへのアクセスが拒否されました。");
}

TEST_F(SafeFileWriterTest, AFolderIsNeverWrittenAndTheErrorSaysItIsAFolder)
{
    fs::create_directory(m_dir + "/results.csv");
    ErrorInfo err;
    for (const std::string& path : { m_dir + "/results.csv", m_dir + "/" }) {
        EXPECT_FALSE(writeFileSafely(path, "x", err)) << path;
        EXPECT_EQ(err.number, EISDIR);
        // Not the reader's "cannot be read as a file": this is a write.
        EXPECT_EQ(err.description, "同じ名前のフォルダーがあるため書き込めません。");
    }
    EXPECT_TRUE(fs::is_directory(m_dir + "/results.csv"));
    EXPECT_EQ(names(), std::set<std::string> { "results.csv" });
}
