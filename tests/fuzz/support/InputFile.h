#pragma once

#include <string>
#include <string_view>

namespace kuji::fuzz {

// A file that holds the current fuzz input, for readers that take a path. It lives in
// /dev/shm where there is one (no disk flush for each of thousands of inputs a second) and
// is removed when the process ends normally.
class InputFile {
public:
    // name: the file's name; its extension is what the reader sees (".csv" or ".txt").
    explicit InputFile(std::string_view name);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Replaces the file's bytes; returns its path.
    const std::string& write(std::string_view bytes);
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace kuji::fuzz
