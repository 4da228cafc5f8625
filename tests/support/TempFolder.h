#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>

namespace kuji::test {

// A fresh folder under /tmp for one test, removed with everything in it afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kujimaru-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

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
