// The statements with and without the key columns; searches from the engine and from listings alike.
#include "FixtureDatabase.h"
#include "core/data/Database.h"
#include "core/data/PatternMatcher.h"
#include "core/data/UnicodeText.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using namespace orvane::core::data;
using orvane::testing::entry;
using orvane::testing::FixtureRows;

// The column (and a second one) of every row, "|" between rows; "<error>" when the walk failed.
static QString valuesOf(RecordSet rows, const QString& column = u"id"_qs, const QString& second = {})
{
    QStringList values;
    while (rows.next())
        values << rows.value(column).value_or(u"<null>"_qs) +
                      (second.isEmpty() ? QString() : u' ' + rows.value(second).value_or(u"<null>"_qs));
    return rows.errorString().isEmpty() ? values.join(u'|') : u"<error>"_qs;
}

class TestDataStatements final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    // A database of `rows` with or without keys as the global data row says.
    DatabaseHandle written(const QString& name, const FixtureRows& rows)
    {
        QFETCH_GLOBAL(bool, withKeys);
        const QString path = m_folder.filePath(name + (withKeys ? u"-keys.mdb"_qs : u"-plain.mdb"_qs));
        return orvane::testing::writeFixtureDatabase(path, rows, {withKeys, {}, true})
                   ? Database::open(path, QString::fromLatin1(DatabasePassword))
                   : nullptr;
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("withKeys");
        QTest::newRow("with keys") << true;
        QTest::newRow("without keys") << false;
    }

    void fixtureStatements()
    {
        FixtureRows rows;
        rows.keys = {{u"a'"_qs, u"á"_qs}, {u"e'"_qs, u"é"_qs}, {u"e'"_qs, u"ê"_qs}};
        rows.configs = {{.about = u"first"_qs}, {.name = QString(), .about = QString()}, {.about = u"last"_qs}};
        const DatabaseHandle database = written(u"fixture"_qs, rows);
        QFETCH_GLOBAL(bool, withKeys);
        QVERIFY(database && database->hasDictionaryKeys() == withKeys);

        // A search reads only the id and the listed column.
        const RecordSet listed = database->exec(Statement::dictionaryByPlain(u"mania"_qs));
        QVERIFY(listed.indexOf(u"id"_qs) >= 0 && listed.indexOf(u"m2"_qs) >= 0 && listed.indexOf(u"m3"_qs) < 0);

        // Key look-ups are exact: no pattern characters, no trimming.
        const QString keys[][2] = {{u"a'"_qs, u"á"_qs}, {u"e'"_qs, u"é|ê"_qs}, {u"?'"_qs, {}}, {u" a'"_qs, {}}};
        for (const auto& [input, displays] : keys)
            QCOMPARE(valuesOf(database->exec(Statement::keyboardByInput(input)), u"display"_qs), displays);
        QCOMPARE(valuesOf(database->exec(Statement::configAbout()), u"about"_qs), u"first|last"_qs);

        Statement unsafe = Statement::glyphsInOrder();
        unsafe.orderBy = u"id; DROP TABLE tbl_glyph"_qs;
        RecordSet refused = database->exec(unsafe);
        QVERIFY(!refused.isActive() && !refused.next() && !refused.errorString().isEmpty());
        for (const QString& name : {u"fsz1"_qs, u"Zz9_"_qs}) // plain names, up to the last of each range
            QVERIFY(!database->exec({u"tbl_config"_qs, {name}, {}, {}}).errorString().startsWith(u"not a plain"));

        // The classic SQL text, for diagnostics.
        QCOMPARE(Statement::dictionaryByPlain(u"p"_qs).displaySql(),
                 u"select * from tbl_dictionary where m3 like 'p*' order by m2"_qs);
        QCOMPARE(Statement::dictionaryById(42).displaySql(), u"select * from tbl_dictionary where id =42"_qs);
    }

    // The engine's and the listings' searches against one done by hand over generated rows and patterns.
    void generatedRowsAgreeWithBruteForce()
    {
        const QStringList pieces = u"a|á|A|Á|b|σ|ς|Σ|ß|ss|S|e|é|'|_|%|1|ψ|ή|Ή|𝔸|*|[| |\xD800"_qs.split(u'|');
        QRandomGenerator random(20261206);
        const auto randomText = [&] {
            std::optional<QString> text = random.bounded(5) ? std::optional(QString()) : std::nullopt; // a fifth null
            for (int i = random.bounded(5); text && i > 0; --i)
                *text += pieces[random.bounded(int(pieces.size()))];
            return text;
        };
        FixtureRows rows;
        for (qint64 id = 1; id <= 600; ++id)
            rows.entries.push_back({id, randomText(), randomText(), randomText(), QString()});
        const DatabaseHandle generated = written(u"generated"_qs, rows);
        QVERIFY(generated);

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
                for (const E& row : rows.entries) {
                    if (row.*matched && matcher.matches(stored(*(row.*matched))))
                        hits.push_back(&row);
                }
                std::stable_sort(hits.begin(), hits.end(), [&, by = ordered](const E* left, const E* right) {
                    const auto &a = left->*by, &b = right->*by;
                    return a && b ? unicode::compareCollated(stored(*a), stored(*b)) < 0 : !a && b; // nulls first
                });
                QStringList expected;
                for (const E* hit : hits)
                    expected << QString::number(hit->id) + u' ' + stored((hit->*ordered).value_or(u"<null>"_qs));
                for (const QStringList& columns : {statement.columns, QStringList()}) {
                    statement.columns = columns; // then every column: never served from a listing
                    RecordSet found = generated->exec(statement);
                    QVERIFY2(valuesOf(std::move(found), u"id"_qs, statement.orderBy) == expected.join(u'|'),
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
        QVERIFY(source.open(QIODevice::ReadWrite) && target.open(QIODevice::WriteOnly));
        QVERIFY(target.write(source.readAll()) > 0 && target.flush());       // in place: same inode, another salt
        QCOMPARE(valuesOf(after->exec(everything)), u"<error>"_qs); // not the rows held before

        // Every page but the first damaged: a listing not read whole is an error, never fewer rows.
        uchar* bytes = source.map(0, source.size());
        for (qint64 at = 4096 + 64; bytes && at < source.size(); at += 4096)
            bytes[at] ^= 0xFF;
        source.close();
        const DatabaseHandle damaged = Database::open(source.fileName(), QString::fromLatin1(DatabasePassword));
        QCOMPARE(valuesOf(damaged->exec(everything)), u"<error>"_qs);
    }
};

QTEST_APPLESS_MAIN(TestDataStatements)
#include "test_data_statements.moc"
