#pragma once

// KUJIMARU_UNDER_ASAN is 1 in a build with AddressSanitizer, as scripts/test.sh --sanitize and
// scripts/fuzz.sh make (GCC and Clang say so apart).
#if defined(__SANITIZE_ADDRESS__)
#define KUJIMARU_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KUJIMARU_UNDER_ASAN 1
#endif
#endif
