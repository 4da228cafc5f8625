// The phrase matcher of the filter run, phrase and field taken from the input. On small
// inputs it must agree with a plain matcher written from the rules in PhrasePattern.h, which
// tries every split; on any input up to 64 KiB, building the pattern and matching it take at
// most 100 ms of processor time. The target measures that itself (libFuzzer's -timeout counts
// whole seconds only), against the program as built: scripts/test.sh runs every kept input
// through the plain build of this target. Under libFuzzer every comparison also calls the
// coverage tracer and every access is checked, which makes the matcher's inner loop 20 to 40
// times slower, so there the limit allows 30 times as much: still far below what matching
// that grows faster than the input takes at 64 KiB (seconds in the build as shipped).
#include "pickup/PhrasePattern.h"

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/TextChecks.h"

#include "../../support/Sanitizers.h"

#include <ctime>
#include <vector>

using namespace kuji;

namespace {

// A byte that starts no well-formed sequence is a character of its own, unlike any other.
constexpr char32_t kStray = 0x110000;

std::vector<char32_t> charactersOf(std::string_view s)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = fuzz::sequenceAt(s, i);
        if (n == 0) {
            out.push_back(kStray + static_cast<unsigned char>(s[i++]));
            continue;
        }
        char32_t c = n == 1 ? static_cast<unsigned char>(s[i]) : static_cast<unsigned char>(s[i]) & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k)
            c = c << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += n;
    }
    return out;
}

struct Item {
    enum Kind { Char, Any, Digit, List, Star };
    Item(Kind k, char32_t c = 0, bool n = false)
        : kind(k)
        , ch(c)
        , negated(n)
    {
    }
    Kind kind;
    char32_t ch;
    bool negated;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool takes(char32_t c) const
    {
        switch (kind) {
        case Char:
            return c == ch;
        case Any:
            return true;
        case Digit:
            return c >= U'0' && c <= U'9';
        case List: {
            bool in = false;
            for (const auto& [first, last] : ranges)
                in = in || (c >= first && c <= last);
            return in != negated;
        }
        case Star:
            break;
        }
        return false;
    }
};

std::vector<Item> itemsOf(const std::vector<char32_t>& p)
{
    std::vector<Item> items;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] == U'*' || p[i] == U'?' || p[i] == U'#') {
            items.emplace_back(p[i] == U'*' ? Item::Star : p[i] == U'?' ? Item::Any : Item::Digit);
            continue;
        }
        std::size_t close = p.size();
        const bool negated = p[i] == U'[' && i + 1 < p.size() && p[i + 1] == U'!';
        if (p[i] == U'[')
            for (std::size_t k = i + 1 + negated; k < p.size() && close == p.size(); ++k)
                if (p[k] == U']')
                    close = k;
        if (close == p.size()) {
            items.emplace_back(Item::Char, p[i]);
            continue;
        }
        Item list(Item::List, 0, negated);
        for (std::size_t k = i + 1 + negated; k < close;) {
            if (k + 2 < close && p[k + 1] == U'-') {
                list.ranges.emplace_back(p[k], p[k + 2]);
                k += 3;
            } else {
                list.ranges.emplace_back(p[k], p[k]);
                ++k;
            }
        }
        // "[]" stands for nothing; "[!]" for any one character.
        if (!list.ranges.empty())
            items.push_back(list);
        else if (negated)
            items.emplace_back(Item::Any);
        i = close;
    }
    return items;
}

// Every split tried, by a table over (item, character) positions.
bool plainMatch(std::string_view phrase, std::string_view field)
{
    if (phrase.find_first_of("*?#") == std::string_view::npos)
        return field.find(phrase) != std::string_view::npos;
    const std::vector<Item> items = itemsOf(charactersOf(phrase));
    const std::vector<char32_t> chars = charactersOf(field);
    // rest[j]: the items from i on match chars from j on.
    std::vector<char> rest(chars.size() + 1, 0), next;
    rest[chars.size()] = 1;
    for (std::size_t i = items.size(); i-- > 0;) {
        next.assign(chars.size() + 1, 0);
        for (std::size_t j = chars.size() + 1; j-- > 0;) {
            if (items[i].kind == Item::Star)
                next[j] = rest[j] || (j < chars.size() && next[j + 1]);
            else
                next[j] = j < chars.size() && items[i].takes(chars[j]) && rest[j + 1];
        }
        rest.swap(next);
    }
    return rest[0];
}

#if defined(KUJIMARU_FUZZ_INSTRUMENTED)
constexpr double kLimitMs = 100 * 30;
#elif defined(KUJIMARU_UNDER_ASAN)
constexpr double kLimitMs = 100 * 5; // scripts/test.sh --sanitize: checks, but no tracer
#else
constexpr double kLimitMs = 100;
#endif

double cpuMilliseconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::size_t phraseBytes = in.below(in.size() + 1);
    const std::string_view rest = in.rest();
    const std::string_view phrase = rest.substr(0, phraseBytes);
    const std::string_view field = rest.substr(phrase.size());

    const double start = cpuMilliseconds();
    const PhrasePattern pattern(phrase);
    const bool met = pattern.matches(field);
    const double spent = cpuMilliseconds() - start;
    if (size <= 64 * 1024 && spent > kLimitMs) {
        std::fprintf(stderr, "matching took %.1f ms for a phrase of %zu bytes and a field of %zu bytes\n", spent,
            phrase.size(), field.size());
        FUZZ_CHECK(spent <= kLimitMs);
    }
    FUZZ_CHECK(pattern.isWildcard() == PhrasePattern::hasWildcards(phrase));
    if (phrase.size() * field.size() <= 4096)
        FUZZ_CHECK(met == plainMatch(phrase, field));
    return 0;
}
