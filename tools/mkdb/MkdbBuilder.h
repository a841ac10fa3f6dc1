#pragma once

#include "KeyboardBuilder.h"
#include "SourceEntry.h"

#include "core/data/DatabaseWriter.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace orvane::mkdb {

// Builds one orvane.mdb from the author's sources. Every input is read and checked
// before the database is written, and the database is written through DatabaseWriter,
// which only renames it over the target once it is complete: a failed build leaves
// any earlier file under the target name as it was.
class MkdbBuilder
{
public:
    struct Options
    {
        // Initialised so that designated initialisers may name only what they set.
        QString output{};
        QStringList dictd{};       // dictd dictionaries, by path without extension
        QStringList entriesTsv{};  // m1, m2, m3, meanings
        QString m2Transform{};     // ICU id; empty: m2 only where the TSV gives it
        QString m3Transform{};     // ICU id applied to m2; empty: strip the diacritics
        QStringList keyboardTsv{}; // input, display
        QStringList keyboardMim{}; // m17n tables
        bool completeKeyboard = true;
        QString glyphSet{};       // ICU set pattern
        QStringList glyphLists{}; // one glyph per line
        QString config{};         // ConfigFile
        bool encrypted = true;
        bool withKeys = true;
        bool meaningIndex = true;
        bool strict = false; // fail at the first entry line that cannot be read, instead of skipping it
    };

    explicit MkdbBuilder(Options options);

    // False on any fault; error() says what and where.
    bool run();

    QString error() const { return m_error; }
    // Notes on inputs that were passed over: skipped table rules, keyboard rules left out.
    const QStringList& report() const { return m_report; }
    // Entry lines that were skipped: the first MaxSkipWarnings, then how many more.
    const QStringList& warnings() const { return m_warnings; }
    static constexpr qsizetype MaxSkipWarnings = 10;

    qsizetype entryCount() const { return qsizetype(m_entries.size()); }
    qsizetype keyCount() const { return qsizetype(m_keys.size()); }
    qsizetype glyphCount() const { return m_glyphs.size(); }

private:
    void readEntries();
    void transliterate();
    QSet<QString> transliterationAlphabet() const;
    void readKeyboard();
    void readGlyphs();
    void readConfig();
    void write();

    Options m_options;
    std::vector<SourceEntry> m_entries;
    QString m_error;
    QStringList m_report;
    QStringList m_warnings;
    std::vector<KeyRule> m_keys;
    QStringList m_glyphs;
    std::optional<core::data::DatabaseWriter::Config> m_config;
};

} // namespace orvane::mkdb
