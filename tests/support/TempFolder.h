#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>

namespace kuji::test {

// A fresh folder under /tmp for one test, removed with everything in it afterwards. Every
// test that needs files on disk uses it, core and widget tests alike.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kujimaru-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        namespace fs = std::filesystem;
        // A test that took rights away must not leave the folder behind.
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(m_dir, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_directory(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }

    // The path of a name inside the folder.
    std::string pathOf(const std::string& name) const { return m_dir + "/" + name; }

    // Writes bytes to a new file of the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes)
    {
        // A fresh name each time: rewriting a file makes the file system flush it at once.
        const std::string path = m_dir + "/" + std::to_string(++m_written) + "-" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string m_dir;
    int m_written = 0;
};

} // namespace kuji::test
