#pragma once

#include "core/data/Database.h"

#include <QString>
#include <optional>
#include <vector>

namespace orvane::core::dictionary {

// The key-sequence input of the transliteration box: after each change the text's last
// two characters are looked up in tbl_keyboard and replaced by their display text.
struct KeyInput
{
    // A table whose rows lead back to a known sequence would otherwise replace forever
    // and hang the window; no sensible table chains anywhere near this many.
    static constexpr int MaxChainedReplacements = 64;

    QString keyInput;   // the sequence to look up, set before each look-up
    QString keyDisplay; // what the last look-up found; "" when nothing

    // Looks keyInput (without leading and trailing spaces) up in `database`. The last
    // matching row wins. Leaves at the first error, keeping keyDisplay as it stood then
    // ("" unless a row had been read); without a database nothing is found.
    void lookUpKey(const data::DatabaseHandle& database);

    // The change rule applied to `text` and then to each result in turn, until the last
    // two characters are no known sequence or MaxChainedReplacements have been made.
    // Returns the final text; `text` itself when nothing was replaced.
    QString applyKeys(const data::DatabaseHandle& database, QString text);
};

struct KeyTableRow
{
    QString input;
    QString display;
};

// tbl_keyboard of `database` as the transliteration box applies it: for each input the
// box can look up (at most two characters, no space at either end), the display of the
// last row read for it, in the order the inputs first appear. An input whose last row
// has an empty or null display replaces nothing and is not listed. nullopt, with the
// reason in *error, when the table cannot be read.
std::optional<std::vector<KeyTableRow>> appliedKeyTable(data::Database& database, QString* error = nullptr);

} // namespace orvane::core::dictionary
