// The search pattern matcher: any pattern against any text.
// Input: pattern, newline, text (see FuzzInput.h).
#include "FuzzInput.h"
#include "core/data/PatternMatcher.h"
#include "core/data/Schema.h"

using orvane::core::data::PatternMatcher;
using orvane::core::data::schema::searchKey;

namespace {

bool hasPatternCharacter(const QString& text)
{
    for (QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const QString pattern = input.text();
    const QString text = input.rest();

    const PatternMatcher matcher(pattern);
    const QString key = searchKey(text);
    const bool matched = matcher.matches(text);

    // The indexed path (key columns) and the plain path must agree.
    FUZZ_CHECK(matched == matcher.matchesKey(key));
    // The index range scan relies on every match beginning with the literal prefix.
    if (matched)
        FUZZ_CHECK(key.startsWith(matcher.literalPrefix()));
    if (matcher.isPlainPrefix())
        FUZZ_CHECK(matched == key.startsWith(matcher.literalPrefix()));

    // A word without pattern characters finds itself, exactly and as a prefix.
    if (!hasPatternCharacter(text)) {
        FUZZ_CHECK(PatternMatcher(text).matches(text));
        FUZZ_CHECK(PatternMatcher(text + u'*').matches(text));
        FUZZ_CHECK(PatternMatcher(text + u'*').isPlainPrefix());
    }
    return 0;
}
