#pragma once

#include "MimReader.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace orvane::mkdb {

// One row of tbl_keyboard: when the last two characters of the transliteration box
// are `input` (blanks trimmed), they are replaced by `display`, and the replacement
// repeats while the box's new last two characters are themselves an input.
struct KeyRule
{
    QString input;
    QString display;
    QString origin; // where the rule came from, for the report
};

// Turns key rules from their sources into the one- and two-character rules the key
// input can use. Rules are taken in the order they are added and a later rule never
// displaces an earlier one, so the author's own rules, added first, win.
// Left out, with the reason in leftOut():
//   - a rule whose input is already taken by a different display;
//   - a rule that would make some chain of replacements endless (its display leads
//     back to a known input forever, directly or through other rules);
//   - a rule whose chain only restores the text it started from, so it would merely
//     swallow the key (a'' -> a' becomes á' -> a' -> á);
//   - a longer sequence whose first keys do not already show as one character, since
//     only the last two characters are ever looked at.
class KeyboardBuilder
{
public:
    // A rule given directly (one or two characters of input).
    void addRule(const KeyRule& rule);
    // Typed sequences of any length. Shorter sequences are converted first: a sequence
    // becomes the rule (what its first keys show) + (its last key) -> output.
    void addSequences(std::vector<KeySequence> sequences);
    // Adds a rule for every precomposed letter of `alphabet` that no rule produces:
    // the letter without its last mark, followed by the key that adds that mark in the
    // existing rules (ē + ' -> ḗ, found from e + ' -> é).
    void completeAlphabet(const QSet<QString>& alphabet);

    const std::vector<KeyRule>& rules() const { return m_rules; }
    const QStringList& leftOut() const { return m_leftOut; }

    // What the box shows after typing `keys` one at a time into an empty box.
    QString type(const QString& keys) const;

    // Longest chain of replacements that still counts as ending.
    static constexpr int MaxChain = 64;

private:
    struct Chain
    {
        QString text;
        QStringList steps;
        bool endless = false;
    };
    Chain chain(QString text) const;
    // Adds the rule unless it is left out (see the class comment); true when added.
    bool accept(const KeyRule& rule);
    void add(const KeyRule& rule);
    void withdrawLast();
    // The first chain, started from any text that looks up a kept input, that never
    // ends, described for the report; nullopt when every chain ends.
    std::optional<QString> endlessChain() const;
    // A two-key input whose chain ends in its first character alone: the second key
    // would merely vanish. Described for the report, or nullopt.
    std::optional<QString> swallowedKey(const QString& input) const;
    void leaveOut(const KeyRule& rule, const QString& reason);
    bool ensureReachable(const QString& letter, const QHash<QChar, QString>& markKeys, QSet<QString>& reached);
    QHash<QChar, QString> markKeys() const;

    std::vector<KeyRule> m_rules;
    QHash<QString, size_t> m_byInput;
    QStringList m_leftOut;
};

} // namespace orvane::mkdb
