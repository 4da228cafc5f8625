#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A promise of a reader that a fuzz target checks. A broken one is reported with the input
// being run and ends the process, so libFuzzer keeps the input as a crash and the regression
// runner fails its test. Unlike assert, it stays on in Release builds.
#define FUZZ_CHECK(condition) ((condition) ? void(0) : ::kuji::fuzz::fail(#condition, __FILE__, __LINE__))

namespace kuji::fuzz {

// The file the regression runner is feeding in, for the report; empty under libFuzzer,
// which names its own.
inline const char* g_currentInput = "";

[[noreturn]] inline void fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: promise broken: %s\n", file, line, what);
    if (*g_currentInput)
        std::fprintf(stderr, "input: %s\n", g_currentInput);
    std::abort();
}

} // namespace kuji::fuzz
