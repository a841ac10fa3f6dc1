#include "core/data/PatternMatcher.h"

#include "core/data/UnicodeText.h"

#include <QChar>
#include <algorithm>

namespace orvane::data {

using Kind = PatternMatcher::Token::Kind;

PatternMatcher::PatternMatcher(const QString& pattern)
{
    // Folding the whole pattern first makes [A-Z] mean [a-z] and lets literal runs
    // compose under NFC exactly as they do in the folded texts they are compared with.
    const QString folded = unicode::foldForSearch(pattern);
    const qsizetype length = folded.size();
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t unit = folded.at(i).unicode();
        Token token;
        switch (unit) {
        case u'*':
            token.kind = Kind::AnyRun;
            break;
        case u'?':
            token.kind = Kind::AnyOne;
            break;
        case u'#':
            token.kind = Kind::Digit;
            break;
        case u'[': {
            qsizetype first = i + 1;
            const bool negated = first < length && folded.at(first) == u'!';
            if (negated)
                ++first;
            const qsizetype close = folded.indexOf(u']', first);
            if (close <= first) {
                // No closing bracket, or nothing between the brackets: an ordinary "[".
                token.unit = unit;
                break;
            }
            token.kind = Kind::Class;
            token.negated = negated;
            token.firstRange = unsigned(m_ranges.size());
            for (qsizetype j = first; j < close; ++j) {
                char16_t low = folded.at(j).unicode();
                char16_t high = low;
                // A "-" between two members makes a range; at either end it is itself.
                if (j + 2 < close && folded.at(j + 1) == u'-') {
                    high = folded.at(j + 2).unicode();
                    j += 2;
                }
                m_ranges.emplace_back(std::min(low, high), std::max(low, high));
            }
            token.rangeCount = unsigned(m_ranges.size()) - token.firstRange;
            i = close;
            break;
        }
        default:
            token.unit = unit;
            break;
        }
        m_tokens.push_back(token);
    }

    auto token = m_tokens.cbegin();
    for (; token != m_tokens.cend() && token->kind == Kind::Literal; ++token)
        m_literalPrefix += QChar(token->unit);
    m_plainPrefix = token != m_tokens.cend() &&
                    std::all_of(token, m_tokens.cend(), [](const Token& t) { return t.kind == Kind::AnyRun; });
}

bool PatternMatcher::matches(QStringView text) const
{
    return matchesKey(unicode::foldForSearch(text));
}

bool PatternMatcher::matchesOne(const Token& token, char16_t unit) const
{
    switch (token.kind) {
    case Kind::Literal:
        return token.unit == unit;
    case Kind::AnyOne:
        return true;
    case Kind::Digit:
        return QChar::isDigit(unit);
    case Kind::Class: {
        const auto first = m_ranges.cbegin() + token.firstRange;
        const bool inSet = std::any_of(first, first + token.rangeCount, [unit](const auto& range) {
            return range.first <= unit && unit <= range.second;
        });
        return inSet != token.negated;
    }
    case Kind::AnyRun:
        break;
    }
    return false;
}

bool PatternMatcher::matchesKey(QStringView key) const
{
    if (!key.startsWith(m_literalPrefix))
        return false;
    if (m_plainPrefix)
        return true;

    // Every token but "*" consumes exactly one code unit, so the classic two-pointer
    // walk that backtracks only to the last "*" is complete, and linear in practice.
    const std::size_t tokenCount = m_tokens.size();
    const auto keyLength = std::size_t(key.size());
    // The literal prefix is matched already, one token per code unit.
    std::size_t t = std::size_t(m_literalPrefix.size()), k = t;
    std::size_t starToken = tokenCount, starKey = 0;
    while (k < keyLength) {
        if (t < tokenCount && m_tokens[t].kind == Kind::AnyRun) {
            starToken = t++;
            starKey = k;
        } else if (t < tokenCount && matchesOne(m_tokens[t], key[qsizetype(k)].unicode())) {
            ++t;
            ++k;
        } else if (starToken != tokenCount) {
            t = starToken + 1;
            k = ++starKey;
        } else {
            return false;
        }
    }
    while (t < tokenCount && m_tokens[t].kind == Kind::AnyRun)
        ++t;
    return t == tokenCount;
}

QString PatternMatcher::literalPrefix() const
{
    return m_literalPrefix;
}

bool PatternMatcher::isPlainPrefix() const
{
    return m_plainPrefix;
}

} // namespace orvane::data
