#include "app/VerifyCommand.h"

#include "records/DrawVerifier.h"

#include <string_view>

namespace kuji {

std::optional<int> runVerifyCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    if (argc < 2 || std::string_view(argv[1]) != "--verify")
        return std::nullopt;
    if (argc < 3 || argc > 4) {
        err << "使い方: kujimaru --verify 記録ファイル [エントリーファイル]\n";
        return 2;
    }
    // Every failure, running out of memory included, is status 2: never a crash, never 1.
    try {
        DrawVerifier verifier(argv[2], argc == 4 ? argv[3] : "");
        verifier.runToEnd();
        const VerificationReport& report = verifier.report();
        (report.outcome == VerificationReport::Outcome::Unreadable ? err : out) << report.text() << '\n';
        return report.exitStatus();
    } catch (...) {
        err << "確認できません\n確認の途中でエラーが起きました。\n";
        return 2;
    }
}

} // namespace kuji
