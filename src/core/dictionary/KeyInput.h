#pragma once

#include <QString>

namespace orvane::dictionary {

// The key-sequence input of the transliteration box: after each change the text's last
// two characters are looked up in tbl_keyboard and replaced by their display text.
struct KeyInput
{
    // A table whose rows lead back to a known sequence would otherwise replace forever
    // and hang the window; no sensible table chains anywhere near this many.
    static constexpr int MaxChainedReplacements = 64;

    QString keyInput;   // the sequence to look up, set before each look-up
    QString keyDisplay; // what the last look-up found; "" when nothing

    // Looks keyInput (without leading and trailing spaces) up on the shared database.
    // The last matching row wins. Leaves at the first error, keeping keyDisplay as it
    // stood then ("" unless a row had been read).
    void LookupKey();

    // The change rule applied to `text` and then to each result in turn, until the last
    // two characters are no known sequence or MaxChainedReplacements have been made.
    // Returns the final text; `text` itself when nothing was replaced.
    QString applyKeys(QString text);
};

} // namespace orvane::dictionary
