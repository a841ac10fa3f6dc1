#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <utility>
#include <vector>

namespace orvane::core::data {

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

private:
    // One pattern character other than "*": it stands for exactly one code unit.
    struct Token
    {
        enum class Kind : unsigned char
        {
            Literal,
            AnyOne,
            Digit,
            Class
        };
        Kind kind = Kind::Literal;
        bool negated = false;                    // Class: [!...]
        char16_t unit = 0;                       // Literal: the code unit
        unsigned firstRange = 0, rangeCount = 0; // Class: its slice of m_ranges
    };
    // The tokens between two "*" (or an end of the pattern). A segment of literals only
    // keeps its text, so that finding it is a plain substring search.
    struct Segment
    {
        std::size_t firstToken = 0;
        qsizetype length = 0; // tokens, and so code units of a key
        bool literalOnly = true;
        QString literal{};
    };

    // The class that opens at folded[open] ("["), and the position after its "]";
    // nullopt when the bracket opens no class and is an ordinary character.
    std::optional<std::pair<Token, qsizetype>> parseClass(QStringView folded, qsizetype open);
    void addToken(Token token);

    bool matchesOne(const Token& token, char16_t unit) const;
    bool matchesAt(const Segment& segment, QStringView key, qsizetype at) const;
    // The first position in [from, end - length] where `segment` matches, or -1.
    qsizetype find(const Segment& segment, QStringView key, qsizetype from, qsizetype end) const;

    std::vector<Token> m_tokens;
    std::vector<std::pair<char16_t, char16_t>> m_ranges; // inclusive, of all classes
    std::vector<Segment> m_segments{1};                  // one more than the pattern has runs of "*"
};

} // namespace orvane::core::data
