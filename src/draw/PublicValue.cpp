#include "draw/PublicValue.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <stdexcept>

namespace kuji {

std::string normalizePublicValue(std::string_view utf8)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    if (U_FAILURE(status))
        throw std::runtime_error("NFKC normalisation is not available");
    const icu::UnicodeString source
        = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<std::int32_t>(utf8.size())));
    const icu::UnicodeString normal = nfkc->normalize(source, status);
    if (U_FAILURE(status))
        throw std::runtime_error("NFKC normalisation failed");
    icu::UnicodeString kept;
    for (std::int32_t i = 0; i < normal.length();) {
        const UChar32 ch = normal.char32At(i);
        if (!u_isUWhiteSpace(ch))
            kept.append(ch);
        i += U16_LENGTH(ch);
    }
    std::string out;
    kept.toUTF8String(out);
    return out;
}

} // namespace kuji
