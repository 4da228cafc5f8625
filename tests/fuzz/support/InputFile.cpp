#include "support/InputFile.h"

#include "support/FuzzCheck.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace kuji::fuzz {

InputFile::InputFile(std::string_view name)
{
    std::error_code ec;
    const std::string folder = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
        ? "/dev/shm"
        : std::filesystem::temp_directory_path().string();
    m_path = folder + "/kujimaru-fuzz-" + std::to_string(::getpid()) + "-" + std::string(name);
}

InputFile::~InputFile()
{
    std::remove(m_path.c_str());
}

const std::string& InputFile::write(std::string_view bytes)
{
    std::FILE* file = std::fopen(m_path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    FUZZ_CHECK(std::fclose(file) == 0);
    return m_path;
}

} // namespace kuji::fuzz
