#pragma once

#include "core/dictionary/Search.h"

#include <QString>
#include <QtGlobal>

namespace orvane::core::dictionary {

// The rule under the header of every entry.
inline constexpr char EntryRule[] = "------------------------";

// header, CR LF, the rule, CR LF, meanings, CR LF, CR LF.
QString composeEntryText(const QString& header, const QString& meanings);

// Fetches entry `id` from `database` and composes it. The header is the form
// that was not searched: m2 after a native-script search, m1 otherwise.
// Null columns read as empty. Returns "" when there is no such entry or it cannot be read.
QString composeEntry(const data::DatabaseHandle& database, qint64 id, SearchMode searchMode);

// A text box needs seconds per megabyte to lay text out, and far more for a long run
// without a place to break, so an entry (from a damaged database: no real one comes
// near) longer than this is cut there and ends in a line "…".
inline constexpr qsizetype MaxShownCharacters = 50000;

// The composed text with CR LF turned into the line breaks a text box and the clipboard
// expect ("\n"; the clipboard converts to the platform's own convention), cut after
// MaxShownCharacters.
QString entryDisplayText(const QString& composed);

} // namespace orvane::core::dictionary
