#include "draw/DrawValidation.h"

#include <algorithm>
#include <vector>

namespace kuji {
namespace {

bool isDigit(char32_t ch)
{
    return ch >= U'0' && ch <= U'9';
}

bool allDigits(const std::u32string& text)
{
    for (char32_t ch : text)
        if (!isDigit(ch))
            return false;
    return true;
}

bool allDigitsOrHyphens(const std::u32string& text)
{
    for (char32_t ch : text)
        if (!isDigit(ch) && ch != U'-')
            return false;
    return true;
}

// Digits to a number, saturating: every value above the limit reads as limit + 1.
std::int64_t parseSaturated(const std::u32string& digits, std::int64_t limit)
{
    std::int64_t value = 0;
    for (char32_t ch : digits) {
        value = value * 10 + (ch - U'0');
        if (value > limit)
            return limit + 1;
    }
    return value;
}

std::vector<std::u32string> splitAtHyphens(const std::u32string& text)
{
    std::vector<std::u32string> parts(1);
    for (char32_t ch : text) {
        if (ch == U'-')
            parts.emplace_back();
        else
            parts.back().push_back(ch);
    }
    return parts;
}

const std::string kIndent = "\r\n       ";
const std::string kMinAboveMax = "最小値が最大値を超えています。";
const std::string kCountLimit = "抽選数は10000000以下の値を入力して下さい。";
const std::string kCountAboveRange = "抽選数＜＝最大値－最小値＋1の式が成り立っていません。";

std::string stage1Message(int code, bool fileMode)
{
    switch (code) {
    case 1:
        return "Error:最小値に数字以外のものが含まれています。";
    case 10:
        return fileMode ? "Error:登録数に数字以外のものが含まれています。"
                        : "Error:最大値に数字以外のものが含まれています。";
    case 11:
        return "Error:最小値と最大値に数字以外のものが含まれています。";
    case 100:
        return "Error:抽選数に数字以外のものが含まれています。";
    case 101:
        return "Error:最小値と抽選数に数字以外のものが含まれています。";
    case 110:
        return "Error:最大値と抽選数に数字以外のものが含まれています。";
    default:
        return "Error:最小値と最大値と抽選数に数字以外のものが含まれています。";
    }
}

std::string stage2Message(int code)
{
    switch (code) {
    case 1:
        return "Error:" + kMinAboveMax;
    case 10:
        return "Error:" + kCountLimit;
    case 11:
        return "Error:" + kMinAboveMax + kIndent + kCountLimit;
    case 100:
        return "Error:" + kCountAboveRange;
    case 101:
        return "Error:" + kMinAboveMax + kIndent + kCountAboveRange;
    case 110:
        return "Error:" + kCountLimit + kIndent + kCountAboveRange;
    case 111:
        return "Error:" + kMinAboveMax + kIndent + kCountLimit + kIndent + kCountAboveRange;
    case 1000:
        return "Error:抽選数が登録数を超えています。";
    default: // 1010
        return "Error:抽選数は10000000以下の値で" + kIndent + "かつ、抽選数が登録数を超えない値を入力して下さい。";
    }
}

// Full-width digits as the input method gives them: "０" to "９".
constexpr char32_t kFullWidthZero = U'\uFF10';
constexpr char32_t kFullWidthNine = U'\uFF19';
constexpr char32_t kFullWidthHyphen = U'\uFF0D';

// The ASCII character a full-width one stands for in this box, or the character itself.
char32_t asciiFor(SettingsBox box, char32_t ch)
{
    if (ch >= kFullWidthZero && ch <= kFullWidthNine)
        return U'0' + (ch - kFullWidthZero);
    if (box == SettingsBox::Tyusen && ch == kFullWidthHyphen)
        return U'-';
    return ch;
}

// What a pasted cell or line brings around a number: spaces (also the full-width one), tabs
// and line breaks.
bool isEdgeSpace(char32_t ch)
{
    return ch == U' ' || ch == U'\t' || ch == U'\r' || ch == U'\n' || ch == U'\u3000';
}

// The paste cleaning of the maximum box: a "-" may only lead; space to ",", "/" and anything
// above "9" never stay. Control characters, "." and the digits do.
bool offendsMaximum(char32_t ch, bool first)
{
    if (ch == U'-')
        return !first;
    return (ch >= 32 && ch <= 44) || ch == U'/' || ch > U'9';
}

} // namespace

ValidationResult validateDrawSettings(const DrawInputs& inputs)
{
    ValidationResult result;

    // Stage 1: characters. In file mode the first box holds a path and is not checked.
    int code = 0;
    if (!inputs.fileMode && !allDigits(inputs.saisyo))
        code += 1;
    if (!allDigits(inputs.saidai))
        code += 10;
    if (!allDigitsOrHyphens(inputs.tyusen))
        code += 100;
    if (code != 0) {
        result.stage = 1;
        result.code = code;
        result.message = stage1Message(code, inputs.fileMode);
        return result;
    }

    // Stage 2: values. A count part is zero, empty, or a number; the first bad part ends it.
    result.stage = 2;
    std::int64_t total = 0;
    bool overLimit = false;
    for (const std::u32string& part : splitAtHyphens(inputs.tyusen)) {
        if (part.empty()) {
            result.code = 10;
            result.message = "Error:抽選数に不正な半角ハイフン[-]が入力されています。";
            return result;
        }
        const std::int64_t count = parseSaturated(part, kMaxDrawTotal);
        if (count == 0) {
            result.code = 1;
            result.message = "Error:抽選数で0を指定することはできません。";
            return result;
        }
        if (count > kMaxDrawTotal)
            overLimit = true;
        else
            result.settings.counts.push_back(static_cast<std::int32_t>(count));
        total += count;
        if (total > kMaxDrawTotal) {
            overLimit = true;
            total = kMaxDrawTotal + 1;
        }
    }

    // Nine digits at most in number mode; anything longer still reads without overflow.
    const std::int64_t maximum = parseSaturated(inputs.saidai, 999'999'999);
    code = overLimit ? 10 : 0;
    if (!inputs.fileMode) {
        const std::int64_t minimum = parseSaturated(inputs.saisyo, 999'999'999);
        const std::int64_t range = maximum - minimum + 1;
        if (minimum > maximum)
            code += 1;
        if (inputs.noDuplicates && total > range)
            code += 100;
        result.settings.minimum = static_cast<std::int32_t>(minimum);
        result.settings.maximum = static_cast<std::int32_t>(maximum);
        result.settings.minimumLength = inputs.saisyo.size();
    } else if (maximum == 0 || (inputs.noDuplicates && maximum < total)) {
        // Nothing to draw from: even with duplicates allowed a draw would only make empty rows.
        code += 1000;
    }
    if (code != 0) {
        result.code = code;
        result.message = stage2Message(code);
        result.settings.counts.clear();
        return result;
    }

    result.stage = 0;
    result.settings.fileMode = inputs.fileMode;
    result.settings.noDuplicates = inputs.noDuplicates;
    return result;
}

BoxKey filterBoxKey(SettingsBox box, char32_t ch)
{
    const char32_t ascii = asciiFor(box, ch);
    if (ascii != ch)
        return { true, ascii };
    if (ch < 32 || ch >= 128 || isDigit(ch))
        return { true, 0 };
    return { box == SettingsBox::Tyusen && ch == U'-', 0 };
}

BoxEdit cleanBoxText(
    SettingsBox box, bool numberMode, std::u32string_view previous, std::u32string_view proposed, std::size_t caret)
{
    // A path is the file's name, whatever characters it holds.
    if (box == SettingsBox::Saisyo && !numberMode)
        return { true, std::u32string(proposed), std::min(caret, proposed.size()) };

    std::size_t begin = 0;
    std::size_t end = proposed.size();
    while (begin < end && isEdgeSpace(proposed[begin]))
        ++begin;
    while (end > begin && isEdgeSpace(proposed[end - 1]))
        --end;

    BoxEdit edit;
    edit.text.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        const char32_t ch = asciiFor(box, proposed[i]);
        if (box == SettingsBox::Saidai && offendsMaximum(ch, edit.text.empty()))
            continue;
        edit.text.push_back(ch);
        if (i < caret)
            edit.caret = edit.text.size();
    }

    // The limit applies to what the box would hold, so a pasted "10,000,000" counts eight.
    const bool limited = numberMode && box != SettingsBox::Tyusen;
    if (limited && edit.text.size() > kMaxNumberBoxLength) {
        std::size_t same = 0;
        while (same < previous.size() && same < proposed.size() && previous[same] == proposed[same])
            ++same;
        return { false, std::u32string(previous), same };
    }
    return edit;
}

} // namespace kuji
