// The statements with and without the key columns and stored listings; searches from the engine and from listings
// alike.
#include "FixtureDatabase.h"
#include "core/data/Database.h"
#include "core/data/PatternMatcher.h"
#include "core/data/StoredListing.h"
#include "core/data/UnicodeText.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace orvane::core::data;
using orvane::testing::entry;
using orvane::testing::FixtureRows;

// The values of `column` (and a second one) in every row as rowsOf() gives them, "|" between them.
static QString valuesOf(RecordSet rows, const QString& column = u"id"_qs, const QString& second = {})
{
    return orvane::testing::rowsOf(std::move(rows),
                                   second.isEmpty() ? QStringList{column} : QStringList{column, second})
        .join(u'|');
}

class TestDataStatements final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    // 600 entries of random pieces (a fifth of the texts null) that the patterns can trip on, keys, About rows.
    const FixtureRows m_rows = [] {
        const QStringList pieces = u"a|á|A|Á|b|σ|ς|Σ|ß|ss|S|e|é|'|_|%|1|ψ|ή|Ή|𝔸|*|[| |\xD800"_qs.split(u'|');
        QRandomGenerator random(20261206);
        const auto randomText = [&] {
            std::optional<QString> text = random.bounded(5) ? std::optional(QString()) : std::nullopt;
            for (int i = random.bounded(5); text && i > 0; --i)
                *text += pieces[random.bounded(int(pieces.size()))];
            return text;
        };
        FixtureRows rows;
        for (qint64 id = 1; id <= 600; ++id)
            rows.entries.push_back({id, randomText(), randomText(), randomText(), QString()});
        rows.keys = {{u"a'"_qs, u"á"_qs}, {u"e'"_qs, u"é"_qs}, {u"e'"_qs, u"ê"_qs}};
        rows.configs = {{.about = u"first"_qs}, {.name = QString(), .about = QString()}, {.about = u"last"_qs}};
        return rows;
    }();
    DatabaseHandle m_databases[3]; // of m_rows, one per global data row

    // A database of `rows` with or without keys and stored listings as the global data row says.
    DatabaseHandle written(const QString& name, FixtureRows rows)
    {
        QFETCH_GLOBAL(bool, withKeys);
        QFETCH_GLOBAL(bool, storedListings);
        if (withKeys && !storedListings) // one the reader cannot use: it walks the indexes instead
            rows.extraSql << QString::fromLatin1(listing::StoredDefinition)
                          << u"INSERT INTO tbl_listing_v2 VALUES ('m1', 'm1', 0, 1, x'ff')"_qs;
        const QString path = m_folder.filePath(name + (storedListings ? u"-listed.mdb"_qs
                                                       : withKeys     ? u"-keys.mdb"_qs
                                                                      : u"-plain.mdb"_qs));
        return orvane::testing::writeFixtureDatabase(path, rows, {withKeys, {}, true, true, storedListings})
                   ? Database::open(path, QString::fromLatin1(DatabasePassword))
                   : nullptr;
    }

    // The database of m_rows, written on first use.
    DatabaseHandle database()
    {
        QFETCH_GLOBAL(bool, withKeys);
        QFETCH_GLOBAL(bool, storedListings);
        DatabaseHandle& database = m_databases[int(withKeys) + int(storedListings)];
        return database ? database : database = written(u"rows"_qs, m_rows);
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("withKeys");
        QTest::addColumn<bool>("storedListings");
        QTest::newRow("with keys and stored listings") << true << true;
        QTest::newRow("with keys, a stored listing unread") << true << false;
        QTest::newRow("without keys") << false << false;
    }

    // What the other statements find; one that cannot run is not active.
    void statements_data()
    {
        QTest::addColumn<Statement>("statement");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("found"); // the column's values, or "!" and the reason
        Statement unsafe = Statement::glyphsInOrder();
        unsafe.orderBy = u"id; DROP TABLE tbl_glyph"_qs;
        const auto config = [](const QString& column) { return Statement{u"tbl_config"_qs, {column}, {}, {}}; };
        const QString display = u"display"_qs;
        QTest::newRow("a key") << Statement::keyboardByInput(u"a'"_qs) << display << u"á"_qs;
        QTest::newRow("a key of two rows") << Statement::keyboardByInput(u"e'"_qs) << display << u"é|ê"_qs;
        QTest::newRow("a key: no pattern characters") << Statement::keyboardByInput(u"?'"_qs) << display << u""_qs;
        QTest::newRow("a key: no trimming") << Statement::keyboardByInput(u" a'"_qs) << display << u""_qs;
        QTest::newRow("the About rows") << Statement::configAbout() << u"about"_qs << u"first|last"_qs;
        QTest::newRow("a table the file lacks")
            << Statement{u"tbl_missing"_qs, {}, {}, {}} << display << u"!no such table"_qs;
        QTest::newRow("a plain name, to the ends of each range")
            << config(u"aA0_Zz9"_qs) << display << u"!no such column"_qs;
        QTest::newRow("a name that starts with a digit")
            << config(u"9a"_qs) << display << u"!not a plain table or column name in"_qs;
        QTest::newRow("an order that is no plain name")
            << unsafe << display << u"!not a plain table or column name in"_qs;
    }

    void statements()
    {
        QFETCH(Statement, statement);
        QFETCH(QString, column);
        QFETCH(QString, found);
        RecordSet rows = database()->exec(statement);
        QCOMPARE(rows.isActive(), !found.startsWith(u'!'));
        QCOMPARE(valuesOf(std::move(rows), column), found);
    }

    // The engine's and the listings' searches against one done by hand over generated rows and patterns.
    void generatedRowsAgreeWithBruteForce()
    {
        QFETCH_GLOBAL(bool, withKeys);
        const DatabaseHandle generated = database();
        QVERIFY(generated);
        QCOMPARE(generated->hasDictionaryKeys(), withKeys);
        // Texts are stored, and patterns read, with a lone surrogate as U+FFFD.
        const auto stored = [](const QString& text) { return unicode::withoutLoneSurrogates(text); };
        using E = DatabaseWriter::Entry;
        const std::tuple<Statement (*)(const QString&), std::optional<QString> E::*, std::optional<QString> E::*>
            kinds[] = {{Statement::dictionaryByScript, &E::m1, &E::m1},
                       {Statement::dictionaryByTranslit, &E::m2, &E::m2},
                       {Statement::dictionaryByPlain, &E::m3, &E::m2}};
        const QStringList values =
            u"|a|A|á|σ|ς|ΣΣ|ss|ß|s?|*a|?|#|[aá]|[!a]|a*b|'|%|_|𝔸|[a-c]b|[| |[*]|*ή|ψή|é*é|*σ*ς|[!ψ]*|\xD800|*\uFFFD"_qs
                .split(u'|');
        for (const auto& [byValue, matched, ordered] : kinds) {
            for (const QString& value : values) {
                Statement statement = byValue(value);
                const PatternMatcher matcher(stored(statement.where->value));
                std::vector<const E*> hits;
                for (const E& row : m_rows.entries) {
                    if (row.*matched && matcher.matches(stored(*(row.*matched))))
                        hits.push_back(&row);
                }
                std::stable_sort(hits.begin(), hits.end(), [&, by = ordered](const E* left, const E* right) {
                    const auto &a = left->*by, &b = right->*by;
                    return a && b ? unicode::compareCollated(stored(*a), stored(*b)) < 0 : !a && b; // nulls first
                });
                QStringList expected;
                for (const E* hit : hits)
                    expected << QString::number(hit->id) + u'|' + stored((hit->*ordered).value_or(u"-"_qs));
                for (const QStringList& columns : {statement.columns, QStringList()}) {
                    statement.columns = columns; // then every column: never served from a listing
                    QVERIFY2(valuesOf(generated->exec(statement), u"id"_qs, statement.orderBy) == expected.join(u'|'),
                             qPrintable(statement.displaySql()));
                }
            }
        }
    }

    // A listing serves one state of a file: never rows held before the file was replaced or rewritten.
    void listingsFollowTheFile()
    {
        const auto withWord = [&](const QString& name, const QString& word) {
            return written(name, {{entry(1, word, word, word)}, {}, {}, {}, {}});
        };
        const Statement everything = Statement::dictionaryByScript({});
        const DatabaseHandle before = withWord(u"changing"_qs, u"alpha"_qs);
        QCOMPARE(valuesOf(before->exec(everything), u"m1"_qs), u"alpha"_qs);
        const DatabaseHandle after = withWord(u"changing"_qs, u"beta"_qs); // renamed over the first
        QCOMPARE(valuesOf(after->exec(everything), u"m1"_qs), u"beta"_qs);
        QCOMPARE(valuesOf(before->exec(everything), u"m1"_qs), u"alpha"_qs);
        const QString huge((1 << 20) + 1, u'ω'); // longer than a listing holds: the engine reads it
        QCOMPARE(valuesOf(withWord(u"huge"_qs, huge)->exec(everything), u"m1"_qs), huge);

        QFile source(withWord(u"other"_qs, u"gamma"_qs)->path()), target(after->path());
        QVERIFY(source.open(QIODevice::ReadWrite));
        QVERIFY(target.open(QIODevice::WriteOnly));
        QVERIFY(target.write(source.readAll()) > 0); // in place: same inode, another salt
        QVERIFY(target.flush());
        QVERIFY(valuesOf(after->exec(everything)).contains(u'!')); // not the rows held before

        // Every page but the first damaged: a listing not read whole is an error, never fewer rows.
        uchar* bytes = source.map(0, source.size());
        for (qint64 at = 4096 + 64; bytes && at < source.size(); at += 4096)
            bytes[at] ^= 0xFF;
        source.close();
        const DatabaseHandle damaged = Database::open(source.fileName(), QString::fromLatin1(DatabasePassword));
        QVERIFY(valuesOf(damaged->exec(everything)).contains(u'!'));
    }
};

QTEST_APPLESS_MAIN(TestDataStatements)
#include "test_data_statements.moc"
