#include "core/data/MeaningText.h"

#include "core/data/IcuText.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>

#include <QSet>

namespace orvane::core::data::meaning {
namespace {

QString normalized(QStringView text, const UNormalizer2* form)
{
    return icu::transformed(
        text, [form](const UChar* source, int32_t length, UChar* out, int32_t capacity, UErrorCode* status) {
            return unorm2_normalize(form, source, length, out, capacity, status);
        });
}

const UNormalizer2* nfd()
{
    UErrorCode status = U_ZERO_ERROR;
    static const UNormalizer2* const form = unorm2_getNFDInstance(&status);
    return form;
}

const UNormalizer2* nfc()
{
    UErrorCode status = U_ZERO_ERROR;
    static const UNormalizer2* const form = unorm2_getNFCInstance(&status);
    return form;
}

// The code point at `at` and how many code units it takes; a lone surrogate is one.
char32_t codePointAt(QStringView text, qsizetype at, qsizetype* units)
{
    if (at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(text[at], text[at + 1]);
    }
    *units = 1;
    return text[at].unicode();
}

bool inRange(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last;
}

// The combining diacritical marks (and their supplements and extensions).
bool isDiacritic(char32_t c)
{
    return inRange(c, 0x0300, 0x036F) || inRange(c, 0x1AB0, 0x1AFF) || inRange(c, 0x1DC0, 0x1DFF) ||
           inRange(c, 0x20D0, 0x20FF) || inRange(c, 0xFE20, 0xFE2F);
}

// Hebrew points and cantillation, Arabic vowel marks, Quranic annotations and the tatweel:
// all optional in ordinary writing.
bool isOptionalPointing(char32_t c)
{
    return inRange(c, 0x0591, 0x05BD) || c == 0x05BF || inRange(c, 0x05C1, 0x05C2) || inRange(c, 0x05C4, 0x05C5) ||
           c == 0x05C7 || inRange(c, 0x0610, 0x061A) || inRange(c, 0x064B, 0x065F) || c == 0x0670 || c == 0x0640 ||
           inRange(c, 0x06D6, 0x06DC) || inRange(c, 0x06DF, 0x06E4) || inRange(c, 0x06E7, 0x06E8) ||
           inRange(c, 0x06EA, 0x06ED);
}

// The decomposed text without the marks a reader leaves out. On a Cyrillic letter only the
// stress accents go: a breve or diaeresis there makes another letter (й, ї).
QString withoutOptionalMarks(QStringView decomposed)
{
    QString kept;
    kept.reserve(decomposed.size());
    bool cyrillicBase = false;
    qsizetype units = 1;
    for (qsizetype i = 0; i < decomposed.size(); i += units) {
        const char32_t c = codePointAt(decomposed, i, &units);
        bool drop = isOptionalPointing(c);
        if (isDiacritic(c))
            drop = !cyrillicBase || c == 0x0300 || c == 0x0301;
        else if (!QChar::isMark(c)) {
            UErrorCode status = U_ZERO_ERROR;
            cyrillicBase = uscript_getScript(UChar32(c), &status) == USCRIPT_CYRILLIC;
        }
        if (!drop)
            kept += decomposed.sliced(i, units);
    }
    return kept;
}

// Calls found(begin, end) for each run of word characters of `text`.
template <typename Found> void forEachRun(QStringView text, Found&& found)
{
    const auto wordAt = [text](qsizetype at, qsizetype* units) {
        return isWordCharacter(codePointAt(text, at, units));
    };
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype units = 1;
        if (!wordAt(i, &units)) {
            i += units;
            continue;
        }
        const qsizetype begin = i;
        i += units;
        while (i < text.size() && wordAt(i, &units))
            i += units;
        found(begin, i);
    }
}

} // namespace

bool isWordCharacter(char32_t c)
{
    return (U_GET_GC_MASK(UChar32(c)) & (U_GC_L_MASK | U_GC_N_MASK | U_GC_CO_MASK | U_GC_M_MASK)) != 0;
}

QString fold(QStringView text)
{
    if (icu::isAscii(text))
        return text.toString().toLower();
    // Case folding comes after the marks are gone: it would turn an ypogegrammeni into an iota.
    return normalized(icu::foldCase(withoutOptionalMarks(normalized(text, nfd()))), nfc());
}

std::vector<Word> words(QStringView text)
{
    std::vector<Word> found;
    forEachRun(text, [&](qsizetype begin, qsizetype end) {
        const QString folded = fold(text.sliced(begin, end - begin));
        // Folding keeps word characters words, but a run may shrink to nothing (only accents).
        forEachRun(folded, [&](qsizetype from, qsizetype to) {
            found.push_back({begin, end - begin, folded.sliced(from, to - from)});
        });
    });
    return found;
}

QString foldedWords(QStringView text)
{
    QString joined;
    for (const Word& word : words(text)) {
        if (!joined.isEmpty())
            joined += u' ';
        joined += word.folded;
    }
    return joined;
}

bool Matcher::occursAt(const Phrase& phrase, const std::vector<Word>& words, size_t start) const
{
    const auto length = size_t(phrase.words.size());
    if (start + length > words.size())
        return false;
    for (size_t i = 0; i < length; ++i) {
        const QString& wanted = phrase.words[qsizetype(i)];
        const QString& word = words[start + i].folded;
        if (phrase.prefix && i + 1 == length ? !word.startsWith(wanted) : word != wanted)
            return false;
    }
    return true;
}

std::vector<int> Matcher::frequencies(const std::vector<Word>& words) const
{
    std::vector<int> counts(m_query.size(), 0);
    for (size_t p = 0; p < m_query.size(); ++p) {
        for (size_t start = 0; start < words.size(); ++start)
            counts[p] += occursAt(m_query[p], words, start) ? 1 : 0;
    }
    return counts;
}

QStringList Matcher::matchedWords(QStringView text) const
{
    const std::vector<Word> all = words(text);
    std::vector<bool> matched(all.size(), false);
    for (const Phrase& phrase : m_query) {
        for (size_t start = 0; start < all.size(); ++start) {
            if (occursAt(phrase, all, start))
                std::fill_n(matched.begin() + qsizetype(start), phrase.words.size(), true);
        }
    }
    QStringList spellings;
    QSet<QString> seen;
    for (size_t i = 0; i < all.size(); ++i) {
        const QString spelling = text.sliced(all[i].begin, all[i].length).toString();
        if (matched[i] && !seen.contains(spelling)) {
            seen.insert(spelling);
            spellings << spelling;
        }
    }
    return spellings;
}

} // namespace orvane::core::data::meaning
