#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace orvane::core::data {

// Writes a new orvane.mdb: the four tables, keyed with the database password.
// Builds into a temporary file beside the target and renames it over the target in
// commit(), so a failed build never leaves a partial database under the target name.
// Used by the builder tool and by tests that need fixture databases; the program never writes.
class DatabaseWriter
{
public:
    struct Options
    {
        bool withKeys = true;  // write the k/s key columns and indexes of Schema.h
        QString passphrase{};  // empty: the program's DatabasePassword
        bool encrypted = true; // false: a plain SQLite file (tests of bad files, bench reference)
        bool meaningIndex = true; // write the meaning index of MeaningIndex.h
        bool storedListings = true; // with keys: write the listings of StoredListing.h
    };

    DatabaseWriter(const QString& targetPath, Options options);
    ~DatabaseWriter(); // removes the temporary file unless committed

    bool isOpen() const;
    QString error() const;

    struct Entry
    {
        qint64 id = 0;
        std::optional<QString> m1{}, m2{}, m3{}, meanings{}; // nullopt is written as null
    };
    bool addEntry(const Entry& entry);
    bool addKey(const std::optional<QString>& input, const std::optional<QString>& display);
    bool addGlyph(qint64 id, const std::optional<QString>& glyph);

    struct Config
    {
        // Initialised so that designated initialisers may name only the columns they set.
        std::optional<QString> name{}, fnt1{}, fnt3{}, fnt4{}, fnt5{}, about{};
        std::optional<double> fsz1{}, fsz2{}, fsz3{}, fsz4{}, fsz5{};
    };
    bool addConfig(const Config& config);

    // The rows of whole tables at once, as tests and the bench give them in code.
    struct Rows
    {
        std::vector<Entry> entries{};
        std::vector<std::pair<std::optional<QString>, std::optional<QString>>> keys{}; // input, display
        std::vector<std::pair<qint64, std::optional<QString>>> glyphs{};               // id, glyph
        std::vector<Config> configs{};
        QStringList extraSql{}; // run after the rows (odd shapes: dropped columns...)
    };
    bool addRows(const Rows& rows);

    // Any SQL on the database being written, for tests that need odd shapes
    // (a missing column, numbers where text is expected...).
    bool exec(const QString& sql);

    // Creates the indexes (the meaning index too), analyzes, closes and renames into place.
    bool commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace orvane::core::data
