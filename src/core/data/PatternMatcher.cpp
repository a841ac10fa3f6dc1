#include "core/data/PatternMatcher.h"

#include "core/data/UnicodeText.h"

#include <QChar>
#include <algorithm>

namespace orvane::core::data {
namespace {

// Inline, since a scan compares a million short keys and a library call costs more than the comparison.
bool sameUnits(const QChar* left, const QChar* right, qsizetype count)
{
    return std::equal(left, left + count, right);
}

} // namespace

PatternMatcher::PatternMatcher(const QString& pattern)
{
    // Folding the whole pattern first makes [A-Z] mean [a-z] and lets literal runs
    // compose under NFC exactly as they do in the folded texts they are compared with.
    const QString folded = unicode::foldForSearch(pattern);
    for (qsizetype i = 0; i < folded.size();) {
        const char16_t unit = folded.at(i).unicode();
        if (unit == u'*') {
            // A run of "*" is one "*": it ends the current segment once.
            if (m_segments.size() == 1 || m_segments.back().length != 0)
                m_segments.push_back(Segment{m_tokens.size()});
            ++i;
            continue;
        }
        if (unit == u'[') {
            if (const auto parsed = parseClass(folded, i)) {
                addToken(parsed->first);
                i = parsed->second;
                continue;
            }
        }
        Token token;
        token.kind = unit == u'?' ? Token::Kind::AnyOne : unit == u'#' ? Token::Kind::Digit : Token::Kind::Literal;
        token.unit = unit;
        addToken(token);
        ++i;
    }
}

std::optional<std::pair<PatternMatcher::Token, qsizetype>> PatternMatcher::parseClass(QStringView folded,
                                                                                      qsizetype open)
{
    qsizetype first = open + 1;
    const bool negated = first < folded.size() && folded.at(first) == u'!';
    if (negated)
        ++first;
    const qsizetype close = folded.indexOf(u']', first);
    // No closing bracket, or nothing between the brackets: an ordinary "[".
    if (close <= first)
        return std::nullopt;
    Token token;
    token.kind = Token::Kind::Class;
    token.negated = negated;
    token.firstRange = unsigned(m_ranges.size());
    for (qsizetype member = first; member < close; ++member) {
        const char16_t low = folded.at(member).unicode();
        char16_t high = low;
        // A "-" between two members makes a range; at either end it is itself.
        if (member + 2 < close && folded.at(member + 1) == u'-') {
            high = folded.at(member + 2).unicode();
            member += 2;
        }
        m_ranges.emplace_back(std::min(low, high), std::max(low, high));
    }
    token.rangeCount = unsigned(m_ranges.size()) - token.firstRange;
    return std::pair{token, close + 1};
}

void PatternMatcher::addToken(Token token)
{
    m_tokens.push_back(token);
    Segment& segment = m_segments.back();
    ++segment.length;
    if (token.kind == Token::Kind::Literal)
        segment.literal += QChar(token.unit);
    else
        segment.literalOnly = false;
}

bool PatternMatcher::matches(QStringView text) const
{
    return matchesKey(unicode::foldForSearch(text));
}

bool PatternMatcher::matchesOne(const Token& token, char16_t unit) const
{
    switch (token.kind) {
    case Token::Kind::Literal:
        return token.unit == unit;
    case Token::Kind::AnyOne:
        return true;
    case Token::Kind::Digit:
        return QChar::isDigit(unit);
    case Token::Kind::Class: {
        const auto first = m_ranges.cbegin() + token.firstRange;
        const bool inSet = std::any_of(first, first + token.rangeCount, [unit](const auto& range) {
            return range.first <= unit && unit <= range.second;
        });
        return inSet != token.negated;
    }
    }
    return false;
}

bool PatternMatcher::matchesAt(const Segment& segment, QStringView key, qsizetype at) const
{
    if (segment.literalOnly)
        return sameUnits(key.data() + at, segment.literal.data(), segment.length);
    for (qsizetype i = 0; i < segment.length; ++i) {
        if (!matchesOne(m_tokens[segment.firstToken + std::size_t(i)], key[at + i].unicode()))
            return false;
    }
    return true;
}

qsizetype PatternMatcher::find(const Segment& segment, QStringView key, qsizetype from, qsizetype end) const
{
    // Keys are short: trying each place beats the setup of a clever substring search.
    const QChar* units = key.data();
    for (qsizetype at = from; at + segment.length <= end; ++at) {
        if (segment.literalOnly ? units[at] == segment.literal.front() &&
                                      sameUnits(units + at + 1, segment.literal.data() + 1, segment.length - 1)
                                : matchesAt(segment, key, at))
            return at;
    }
    return -1;
}

bool PatternMatcher::matchesKey(QStringView key) const
{
    const Segment& head = m_segments.front();
    if (m_segments.size() == 1)
        return key.size() == head.length && matchesAt(head, key, 0);
    // The first segment is anchored at the start, the last at the end, and each one
    // between is taken at the first place after its predecessor where it matches.
    // Every token takes exactly one code unit, so an earlier place never loses a match.
    const Segment& tail = m_segments.back();
    const qsizetype end = key.size() - tail.length;
    if (end < head.length || !matchesAt(head, key, 0) || !matchesAt(tail, key, end))
        return false;
    qsizetype from = head.length;
    for (auto segment = m_segments.cbegin() + 1; segment + 1 != m_segments.cend(); ++segment) {
        const qsizetype at = find(*segment, key, from, end);
        if (at < 0)
            return false;
        from = at + segment->length;
    }
    return true;
}

QString PatternMatcher::literalPrefix() const
{
    QString prefix;
    const Segment& head = m_segments.front();
    for (std::size_t t = 0; t < std::size_t(head.length) && m_tokens[t].kind == Token::Kind::Literal; ++t)
        prefix += QChar(m_tokens[t].unit);
    return prefix;
}

bool PatternMatcher::isPlainPrefix() const
{
    return m_segments.size() == 2 && m_segments.front().literalOnly && m_segments.back().length == 0;
}

} // namespace orvane::core::data
