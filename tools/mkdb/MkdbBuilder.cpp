#include "MkdbBuilder.h"

#include "ConfigFile.h"
#include "DictdReader.h"
#include "EntryTsvReader.h"
#include "GlyphSource.h"
#include "InputError.h"
#include "KeyboardBuilder.h"
#include "MimReader.h"
#include "Transform.h"
#include "TsvReader.h"

#include "core/data/DatabaseWriter.h"
#include "core/picker/GlyphPages.h"

#include <QSet>
#include <optional>

namespace orvane::mkdb {

MkdbBuilder::MkdbBuilder(Options options) : m_options(std::move(options)) {}

void MkdbBuilder::readEntries()
{
    SkippedLines skipped;
    SkippedLines* const keep = m_options.strict ? nullptr : &skipped; // strict: the readers throw
    for (const QString& name : m_options.dictd) {
        std::vector<SourceEntry> read = DictdReader::read(name, keep);
        m_entries.insert(m_entries.end(), read.begin(), read.end());
    }
    for (const QString& path : m_options.entriesTsv) {
        std::vector<SourceEntry> read = EntryTsvReader::read(path, keep);
        m_entries.insert(m_entries.end(), read.begin(), read.end());
    }
    if (skipped.empty())
        return;
    if (m_entries.empty())
        throw InputError(skipped.front().file(), 0,
                         QStringLiteral("no usable entry: all %1 entry lines were skipped, the first for \"%2\"")
                             .arg(skipped.size())
                             .arg(skipped.front().text()));
    const auto warned = std::min<qsizetype>(qsizetype(skipped.size()), MaxSkipWarnings);
    for (qsizetype i = 0; i < warned; ++i)
        m_warnings << skipped[size_t(i)].text() + QStringLiteral(" (line skipped)");
    if (qsizetype(skipped.size()) > warned)
        m_warnings << QStringLiteral("%1 more entry lines skipped, %2 in all").arg(qsizetype(skipped.size()) - warned)
                          .arg(skipped.size());
}

void MkdbBuilder::transliterate()
{
    std::optional<Transform> toLatin;
    if (!m_options.m2Transform.isEmpty())
        toLatin.emplace(m_options.m2Transform, QStringLiteral("--m2-transform"));
    const Transform toPlain(m_options.m3Transform.isEmpty() ? QString::fromLatin1(Transform::StripDiacritics)
                                                            : m_options.m3Transform,
                            QStringLiteral("--m3-transform"));
    for (SourceEntry& entry : m_entries) {
        if (!entry.m2 && toLatin)
            entry.m2 = toLatin->apply(entry.m1);
        if (!entry.m3 && entry.m2)
            entry.m3 = toPlain.apply(*entry.m2);
    }
}

QSet<QString> MkdbBuilder::transliterationAlphabet() const
{
    QSet<QString> letters;
    for (const SourceEntry& entry : m_entries) {
        if (!entry.m2)
            continue;
        const QString composed = entry.m2->normalized(QString::NormalizationForm_C);
        for (QChar c : composed) {
            if (!c.isLetter() || c.decompositionTag() != QChar::Canonical)
                continue;
            letters << QString(c) << QString(c.toLower()) << QString(c.toUpper());
        }
    }
    return letters;
}

void MkdbBuilder::readKeyboard()
{
    KeyboardBuilder keyboard;
    for (const QString& path : m_options.keyboardTsv) {
        for (const TsvReader::Row& row : TsvReader::read(path, 2)) {
            const QString& input = row.fields[0];
            if (input.trimmed().isEmpty() || input.size() > 2 || input != input.trimmed())
                throw InputError(
                    path, row.line,
                    QStringLiteral("the input must be one or two characters without blanks, not \"%1\"").arg(input));
            keyboard.addRule({input, row.fields[1], QStringLiteral("%1:%2").arg(path).arg(row.line)});
        }
    }
    std::vector<KeySequence> sequences;
    for (const QString& path : m_options.keyboardMim) {
        const MimReader table(path);
        sequences.insert(sequences.end(), table.rules().begin(), table.rules().end());
        m_report << table.skipped();
    }
    keyboard.addSequences(std::move(sequences));
    const bool anyKeyboard = !m_options.keyboardTsv.isEmpty() || !m_options.keyboardMim.isEmpty();
    if (anyKeyboard && m_options.completeKeyboard)
        keyboard.completeAlphabet(transliterationAlphabet());
    m_report << keyboard.leftOut();
    m_keys = keyboard.rules();
}

void MkdbBuilder::readGlyphs()
{
    // Lists first, so an author can put the everyday letters on the picker's first page
    // and let a set add the rest; a character offered twice would only waste a button.
    QStringList given;
    for (const QString& path : m_options.glyphLists)
        given << GlyphSource::fromList(path);
    if (!m_options.glyphSet.isEmpty())
        given << GlyphSource::fromUnicodeSet(m_options.glyphSet);
    QSet<QString> seen;
    for (const QString& glyph : std::as_const(given)) {
        if (!seen.contains(glyph)) {
            seen.insert(glyph);
            m_glyphs << glyph;
        }
    }
    if (m_glyphs.size() > core::picker::GlyphPages::StoreSlots)
        m_report << QStringLiteral("glyphs: %1 characters given; the picker offers only the first %2")
                        .arg(m_glyphs.size())
                        .arg(core::picker::GlyphPages::StoreSlots);
}

void MkdbBuilder::readConfig()
{
    if (m_options.config.isEmpty())
        return;
    m_config = ConfigFile::read(m_options.config);
    if (m_config->name.value_or(QString()).isEmpty())
        m_report << QStringLiteral("%1: no name given, so the program will not read the fonts of this settings row")
                        .arg(m_options.config);
}

void MkdbBuilder::write()
{
    core::data::DatabaseWriter writer(
        m_options.output, {m_options.withKeys, QString(), m_options.encrypted, m_options.meaningIndex});
    auto check = [&](bool ok) {
        if (!ok)
            throw InputError(m_options.output, 0, QStringLiteral("cannot write the database: %1").arg(writer.error()));
    };
    check(writer.isOpen());
    qint64 id = 0;
    for (const SourceEntry& entry : m_entries)
        check(writer.addEntry({++id, entry.m1, entry.m2, entry.m3, entry.meanings}));
    for (const KeyRule& rule : m_keys)
        check(writer.addKey(rule.input, rule.display));
    qint64 glyphId = 0;
    for (const QString& glyph : m_glyphs)
        check(writer.addGlyph(++glyphId, glyph));
    if (m_config)
        check(writer.addConfig(*m_config));
    check(writer.commit());
}

bool MkdbBuilder::run()
{
    m_error.clear();
    m_report.clear();
    m_warnings.clear();
    m_entries.clear();
    m_keys.clear();
    m_glyphs.clear();
    m_config.reset();
    try {
        if (m_options.output.isEmpty())
            throw InputError(QStringLiteral("--output"), 0, QStringLiteral("no output file given"));
        // Everything is read and checked before the database is started.
        readEntries();
        transliterate();
        readKeyboard();
        readGlyphs();
        readConfig();
        write();
        return true;
    } catch (const InputError& error) {
        m_error = error.text();
        return false;
    }
}

} // namespace orvane::mkdb
