#pragma once

#include <QString>
#include <QStringView>
#include <utility>
#include <vector>

namespace orvane::data {

// The `like` pattern language of the searches:
//   *      any run of characters (also none)
//   ?      exactly one character
//   #      exactly one decimal digit (of any script)
//   [abc]  one character of the set; [a-z] a range ([z-a] is the same); [!abc] one
//          character not in the set; inside brackets * ? # [ stand for themselves
// Everything else matches itself. Comparison is case-insensitive by full Unicode case
// folding (ΣΑΣ matches σας, STRASSE matches straße) with accents significant; both sides
// are compared as searchKey() texts, and "a character" is one UTF-16 code unit of them.
// A malformed class ("[ab" with no closing bracket, or "[]" with nothing to choose from)
// matches its characters literally; no pattern is ever an error.
class PatternMatcher
{
public:
    explicit PatternMatcher(const QString& pattern);

    // Matches `text` (any text: it is folded here).
    bool matches(QStringView text) const;
    // Matches a text that is already a searchKey() (the k columns); no folding.
    bool matchesKey(const QString& key) const { return matchesKey(QStringView(key)); }
    bool matchesKey(QStringView key) const;

    // The folded literal text that every match must begin with ("ps" for "ps?ch*").
    QString literalPrefix() const;
    // True when the pattern is its literal prefix followed by nothing but "*":
    // then every key that begins with literalPrefix() matches.
    bool isPlainPrefix() const;

    struct Token
    {
        enum class Kind : unsigned char
        {
            Literal,
            AnyOne,
            Digit,
            Class,
            AnyRun
        };
        Kind kind = Kind::Literal;
        bool negated = false;                    // Class: [!...]
        char16_t unit = 0;                       // Literal: the code unit
        unsigned firstRange = 0, rangeCount = 0; // Class: its slice of m_ranges
    };

private:
    bool matchesOne(const Token& token, char16_t unit) const;

    std::vector<Token> m_tokens;
    std::vector<std::pair<char16_t, char16_t>> m_ranges; // inclusive, of all classes
    QString m_literalPrefix;
    bool m_plainPrefix = false;
};

} // namespace orvane::data
