#include "pickup/PhrasePattern.h"

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace kuji;

namespace {

struct PatternCase {
    const char* phrase;
    std::string field;
    bool met;
};

TEST(PhrasePattern, Rules)
{
    const PatternCase cases[] = {
        // Plain phrases: substrings, byte for byte; brackets are text.
        { "abc", "xabcx", true },
        { "ABC", "abc", false },
        { "ｱ", "ア", false },
        { "[0-9]", "a[0-9]b", true },
        { "[]", "x[]y", true },
        { "", "", true },
        { "", "any", true },
        // Wildcard phrases must match the whole field.
        { "abc*", "xabcx", false },
        { "*abc*", "xabcx", true },
        { "a*b*c", "abbbc", true },
        { "*", "", true },
        { "#*", "7abc", true },
        { "#*", "abc7", false },
        { "1#", "12", true },
        { "1#", "a12", false },
        { "1#", "123", false },
        { "#", "５", false },
        // "?" is one character, whatever its size in bytes, line breaks included.
        { "?", "あ", true },
        { "??", "あ", false },
        { "a?c", "a\nc", true },
        { "a*c", "a\r\nc", true },
        // Lists.
        { "[!0-9]*", "a1", true },
        { "[!0-9]*", "1a", false },
        { "[!a]?", "あx", true },
        { "[a-]#", "-1", true },
        { "[a-]#", "a1", true },
        { "[a-]#", "b1", false },
        { "[ぁ-ん]*", "ひらがな", true },
        { "[ぁ-ん]*", "カタカナ", false },
        { "*[*]*", "a*b", true },
        { "*[*]*", "ab", false },
        { "[?]#", "?1", true },
        { "[[]#", "[1", true },
        { "a]#", "a]1", true },
        // An empty list consumes nothing; its negation is any one character.
        { "a[]b*", "ab", true },
        { "a[]b*", "a[]b", false },
        { "[!]#", "x1", true },
        { "[!]#", "1", false },
        // A reversed range holds nothing; an unclosed "[" is a character.
        { "[9-0]#", "51", false },
        { "[!9-0]#", "51", true },
        { "[a*", "[abc", true },
        { "[a*", "abc", false },
        { "*abc", "ababc", true },
        { "a*bc*d", "abcbcxd", true },
        { "a*bc*d", "abcbcx", false },
        { "*あい?", "ああいう", true },
        { "*a*a*a*a*a*b", "aaaaaab", true },
        { "*a*a*a*a*a*b", "aaaab", false },
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(PhrasePattern(c.phrase).matches(c.field), c.met) << c.phrase << " / " << c.field;
}

// Random patterns against a plain recursive matcher, on short texts where trying every split
// is cheap: the linear matcher must agree with it on every retry after a "*".
TEST(PhrasePattern, AgreesWithTryingEverySplit)
{
    struct Atom {
        const char* text;
        std::function<bool(const std::string&)> one; // null for "*"
    };
    const std::vector<Atom> atoms {
        { "*", nullptr },
        { "?", [](const std::string&) { return true; } },
        { "#", [](const std::string& c) { return c == "1"; } },
        { "a", [](const std::string& c) { return c == "a"; } },
        { "b", [](const std::string& c) { return c == "b"; } },
        { "あ", [](const std::string& c) { return c == "あ"; } },
        { "[ab]", [](const std::string& c) { return c == "a" || c == "b"; } },
        { "[!a]", [](const std::string& c) { return c != "a"; } },
    };
    const std::vector<std::string> letters { "a", "b", "1", "あ" };

    std::function<bool(const std::vector<const Atom*>&, std::size_t, const std::vector<std::string>&, std::size_t)>
        reference = [&](const auto& pattern, std::size_t p, const auto& text, std::size_t t) {
            if (p == pattern.size())
                return t == text.size();
            if (!pattern[p]->one) {
                for (std::size_t skip = t; skip <= text.size(); ++skip) {
                    if (reference(pattern, p + 1, text, skip))
                        return true;
                }
                return false;
            }
            return t < text.size() && pattern[p]->one(text[t]) && reference(pattern, p + 1, text, t + 1);
        };

    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::vector<const Atom*> pattern;
        std::string phrase;
        for (std::size_t n = random() % 7; n > 0; --n) {
            pattern.push_back(&atoms[random() % atoms.size()]);
            phrase += pattern.back()->text;
        }
        if (!PhrasePattern::hasWildcards(phrase)) {
            pattern.push_back(&atoms[0]);
            phrase += "*";
        }
        std::vector<std::string> text;
        std::string field;
        for (std::size_t n = random() % 8; n > 0; --n) {
            text.push_back(letters[random() % letters.size()]);
            field += text.back();
        }
        ASSERT_EQ(PhrasePattern(phrase).matches(field), reference(pattern, 0, text, 0)) << phrase << " / " << field;
    }
}

TEST(PhrasePattern, StrayBytesMatchOnlyThemselves)
{
    const std::string stray = "\xFF";
    EXPECT_TRUE(PhrasePattern("?" + stray).matches("a" + stray));
    EXPECT_TRUE(PhrasePattern("*" + stray).matches("a" + stray));
    EXPECT_FALSE(PhrasePattern("*" + stray).matches("aÿ"));
    // A character cut off at the end of the field is two stray bytes.
    EXPECT_TRUE(PhrasePattern("a??").matches("a\xE3\x81"));
}

TEST(PhrasePattern, ManyStarsOnAMegabyteFieldStayLinear)
{
    const std::string field(1 << 20, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(PhrasePattern("*a*a*a*a*a*b").matches(field));
    EXPECT_TRUE(PhrasePattern("*a*a*a*a*a*b").matches(field + "b"));
    EXPECT_FALSE(PhrasePattern("*aaaaaaaaab*").matches(field));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(1));
}

} // namespace
