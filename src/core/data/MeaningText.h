#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The words of meanings as searches compare them. One rule serves the builder (which
// writes the meaning index), the queries and the search of a file without an index, so
// that the three always agree.
//
// A word is a run of word characters: letters, numbers, private-use characters and marks;
// everything else separates words. Words are compared folded: case folded as the search
// keys are (Σ σ ς alike), and without the accents and diacritics a reader leaves out when
// typing: the combining diacritical marks on Latin and Greek letters (tonos, dialytika,
// breathings, perispomeni, ypogegrammeni), the stress accents on Cyrillic ones (й, ё, ї
// stay letters of their own), and the optional vowel points of Hebrew and Arabic (with the
// Arabic tatweel). The vowel signs of Indic and other scripts spell the word and stay.
namespace orvane::core::data::meaning {

// Names the rule above. It is part of the index's table name, so that an index written by
// another rule is never read as if it were this one's: the program searches without it.
inline constexpr int RuleVersion = 1;

bool isWordCharacter(char32_t c);

// The text folded as words are compared. Separators stay as they are.
QString fold(QStringView text);

// One word of a text: where its run of word characters stands in the text (UTF-16 code
// units) and the word folded. A run folds into one word, or none when it is only accents.
struct Word
{
    qsizetype begin = 0, length = 0;
    QString folded;
};
std::vector<Word> words(QStringView text);

// The folded words of `text`, separated by one space: what the meaning index is given.
QString foldedWords(QStringView text);

// One term of a query: folded words that must stand one after another; with `prefix` the
// last one needs only to begin the word of the text.
struct Phrase
{
    QStringList words;
    bool prefix = false;
    bool operator==(const Phrase&) const = default;
};
// Every phrase must occur.
using Query = std::vector<Phrase>;

// How often a query's phrases occur among the words of a text.
class Matcher
{
public:
    explicit Matcher(Query query) : m_query(std::move(query)) {}

    const Query& query() const { return m_query; }

    // The occurrences of each phrase among `words`, one count per phrase; occurrences
    // may overlap ("a a" occurs twice in "a a a").
    std::vector<int> frequencies(const std::vector<Word>& words) const;

    // The words of `text` that take part in an occurrence of any phrase, in the text's own
    // spelling, each spelling once, in the order they first occur.
    QStringList matchedWords(QStringView text) const;

private:
    bool occursAt(const Phrase& phrase, const std::vector<Word>& words, size_t start) const;

    Query m_query;
};

} // namespace orvane::core::data::meaning
