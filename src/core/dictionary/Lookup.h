#pragma once

#include "core/dictionary/Search.h"

#include <QString>
#include <QStringList>

namespace orvane::core::dictionary {

// A look-up from outside the window (the command line, the selection) keeps at most
// this many characters: a selection may hold a whole page, no headword comes near this
// length, and the prefix search of what is kept still finds the word.
inline constexpr qsizetype MaxLookupLength = 64;

// The text of such a look-up: white space around it removed, cut to its first line and
// to MaxLookupLength, never inside a character.
QString lookupText(const QString& text);

// The search whose box fits `text`: a letter of any script but Latin chooses the native
// script; otherwise a Latin letter beyond ASCII (or an accent not composed onto its
// letter) chooses the transliteration; otherwise the search without diacritics. Digits,
// punctuation, spaces and pattern characters decide nothing.
const SearchKind& searchKindFor(const QString& text);

// What the terminal shows for `word` (a lookupText()): the entries that `kind`'s search
// finds in `database`, in list order, each composed as the entry box shows it, at most `limit` of them.
// `exact` keeps only the hits whose searched column equals the word as the search
// compares texts (case folded, accents significant).
QStringList defineEntries(const data::DatabaseHandle& database, const QString& word, const SearchKind& kind, bool exact,
                          qsizetype limit);

// The same for a search in the meanings (MeaningSearch.h): the best `limit` hits of
// `query`, each headed by its native-script form as after a search of the other boxes.
QStringList defineMeanings(const data::DatabaseHandle& database, const QString& query, qsizetype limit);

} // namespace orvane::core::dictionary
