#pragma once

#include <string>
#include <vector>

namespace kuji {

// What re-running a record found. Every value from the record or an entry file in the lines
// is escaped already (common/TextSafety.h), so the text is safe on a terminal.
struct VerificationReport {
    enum class Outcome {
        Match, // the draw came out exactly as recorded
        Mismatch, // something differs; the lines say what
        Unreadable, // the record (or the entries it needs) could not be read
    };

    Outcome outcome = Outcome::Unreadable;
    std::vector<std::string> lines; // each difference, or why nothing could be checked
    std::vector<std::string> info; // what the check used: the entry source, the commitment's number

    // The exit status of the command line check: 0 match, 1 mismatch, 2 unreadable.
    int exitStatus() const { return outcome == Outcome::Match ? 0 : outcome == Outcome::Mismatch ? 1 : 2; }

    // The report as one text: "一致", "不一致" or "確認できません", then the lines and the info.
    std::string text() const
    {
        std::string out = outcome == Outcome::Match ? "一致"
            : outcome == Outcome::Mismatch          ? "不一致"
                                                    : "確認できません";
        for (const std::string& line : lines)
            out += "\n" + line;
        for (const std::string& line : info)
            out += "\n" + line;
        return out;
    }
};

} // namespace kuji
