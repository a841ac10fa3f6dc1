// The data layer under the statements: opening orvane.mdb, walking record sets, writing a database.
#include "FixtureDatabase.h"
#include "TableRows.h"
#include "core/data/Connection.h"
#include "core/data/Database.h"

#include <QProcess>
#include <QTest>

using namespace orvane::core::data;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

constexpr int Entries = 300;

FixtureRows manyRows()
{
    FixtureRows rows;
    for (int i = 1; i <= Entries; ++i)
        rows.entries.push_back(
            entry(i, u"λέξη%1"_s.arg(i), u"léxi%1"_s.arg(i), u"lexi%1"_s.arg(i), QString(300, u'a')));
    rows.keys = {{u"a'"_s, u"á"_s}};
    rows.glyphs = {{1, u"α"_s}, {2, u"β"_s}};
    rows.configs = {{.name = u"Orvane"_s, .about = u"about"_s}};
    return rows;
}

// Every statement the program issues, each finding rows in manyRows().
// clang-format off
const std::vector<Statement> Statements = {
    Statement::configSettings(), Statement::configAbout(), Statement::keyboardByInput(u"a'"_s),
    Statement::dictionaryByScript(QString()), Statement::dictionaryByTranslit(u"lé"_s),
    Statement::dictionaryByPlain(u"lexi2"_s), Statement::dictionaryById(Entries), Statement::glyphsInOrder()};
// clang-format on
const QStringList Columns{u"id"_s, u"m1"_s, u"m2"_s, u"meanings"_s, u"display"_s, u"glyph"_s, u"about"_s};

// `sql` run by the sqlcipher 3.4.1 shell after the small dictionary, then `damage` (cut off the end when > 0, the byte
// flipped when < 0); with sql "-" the file is `bytes`, with "<folder>" a folder. Read: every m1, then the meanings of
// id 1 (empty: refused).
using FileCase = std::tuple<const char*, QString, QByteArray, int, QString>; // name, sql, bytes, damage, read
using ValueCase = std::tuple<const char*, int, QString, QString>; // next() calls, column, read ("!": errorString())

DatabaseHandle open(const QString& path)
{
    return Database::open(path, QString::fromLatin1(DatabasePassword));
}

// What the sqlcipher 3.4.1 shell prints for `sql` run on `path` after keying it; nullopt when it fails.
std::optional<QString> oldShell(const QString& path, const QString& sql)
{
    QProcess shell;
    shell.start(u"sqlcipher"_s, {path});
    shell.write((u"PRAGMA key = '"_s + QString::fromLatin1(DatabasePassword) + u"'; "_s + sql).toUtf8());
    shell.closeWriteChannel();
    const bool done = shell.waitForFinished(60000) && shell.exitCode() == 0 && shell.readAllStandardError().isEmpty();
    return done ? std::optional(QString::fromUtf8(shell.readAllStandardOutput())) : std::nullopt;
}

} // namespace

class TestDatabase final : public QObject
{
    Q_OBJECT

    FixtureFolder m_good, m_numbers; // manyRows(); one entry with numbers in its text columns
    QByteArray m_goodBytes;
    std::vector<QStringList> m_goodRows; // of Statements on the intact file
    QTemporaryDir m_scratch;

private slots:
    void initTestCase()
    {
        QVERIFY(m_good.write(manyRows()));
        m_goodBytes = readFile(m_good.databasePath());
        const DatabaseHandle good = m_good.open();
        for (const Statement& statement : Statements) {
            m_goodRows.push_back(rowsOf(good->exec(statement), Columns));
            QVERIFY2(!m_goodRows.back().isEmpty(), qPrintable(statement.displaySql()));
        }
        // Untyped columns keep numbers as numbers.
        QVERIFY(
            m_numbers.write({.entries = {entry(1, u"a"_s, u"a"_s, u"a"_s, u"ω"_s)},
                             .extraSql = {u"CREATE TABLE t (id, m1, m2, m3, meanings)"_s,
                                          u"INSERT INTO t SELECT id, 42, 3.5, 12.0, meanings FROM tbl_dictionary"_s,
                                          u"DROP TABLE tbl_dictionary"_s, u"ALTER TABLE t RENAME TO tbl_dictionary"_s}},
                            {.withKeys = false}));
    }

    void recordSetsOutliveTheirConnectionAndNothingIsWritten()
    {
        DatabaseHandle first = m_good.open();
        RecordSet entries = first->exec(Statement::dictionaryByTranslit(QString()));
        QVERIFY(entries.next());
        const DatabaseHandle second = m_good.open(); // the file's listings stay shared with it
        QVERIFY(second);
        first.reset();
        QCOMPARE(rowsOf(std::move(entries), Columns).size(), Entries - 1);
        QCOMPARE(readFile(m_good.databasePath()), m_goodBytes);
    }

    // A stored listing of several parts is read whole, in order, and in preference to the table, here left stale by
    // the old engine's shell: the layout of the old engine stays, so its shell reads what the writer writes.
    void storedListingsOfSeveralParts()
    {
        FixtureRows rows;
        for (qint64 id = 1; id <= 12000; ++id) { // more than a megabyte per listing: more than one part
            const QString word = u"ω%1α"_s.arg(id * 7919 % 12007).repeated(10); // keys: the word and "z"
            rows.entries.push_back(entry(id, {}, id % 1000 ? std::optional(word) : std::nullopt, word + u'z'));
        }
        const QString listed = m_scratch.filePath(u"listed.mdb"_s), walked = m_scratch.filePath(u"walked.mdb"_s);
        QVERIFY(writeFixtureDatabase(listed, rows, {.meaningIndex = false}) &&
                writeFixtureDatabase(walked, rows, {.meaningIndex = false, .storedListings = false}));
        QVERIFY(oldShell(listed, u"PRAGMA cipher_page_size = 4096; UPDATE tbl_dictionary SET m2 = 'new';"_s));
        const Statement all = Statement::dictionaryByPlain({});
        QCOMPARE(rowsOf(open(listed)->exec(all), {u"id"_s, u"m2"_s}),
                 rowsOf(open(walked)->exec(all), {u"id"_s, u"m2"_s}));
    }

    // Files made by the old engine's shell or cut from a good file: each opens and reads, or is refused.
    void filesFromAnyone_data()
    {
        const QString plain = m_scratch.filePath(u"plain.mdb"_s);
        QVERIFY(writeFixtureDatabase(plain, manyRows(), {.encrypted = false}));
        const QString small = u"ψυχή|ψυχρός / soul"_s;
        const QString nested = QStringList(200, u"id"_s).join(u'+'); // a tree 200 deep, parsed without recursion
        const QString schemaRow = u"PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('table', "_s;
        // clang-format off
        const FileCase cases[] = {
            {"a folder", u"<folder>"_s, {}, 0, {}},
            {"zero bytes", u"-"_s, QByteArray(""), 0, {}},
            {"not encrypted", u"-"_s, readFile(plain), 0, {}},
            {"1024-byte pages of the old shell", u""_s, {}, 0, small},
            {"4096-byte pages of the old shell", u"PRAGMA cipher_page_size = 4096;"_s, {}, 0, small},
            {"cut mid-page", u""_s, {}, 512, {}},
            {"bad MAC on the first page", u""_s, {}, -100, {}},
            {"schema row CREATE TABLE AS", schemaRow + u"'zz', 'zz', 0, 'CREATE TABLE zz AS SELECT 1');"_s, {}, 0, {}},
            {"tbl_dictionary a view over an endless recursive query",
             u"DROP TABLE tbl_dictionary; CREATE VIEW tbl_dictionary AS WITH RECURSIVE r(id) AS (SELECT 1 UNION ALL "
             "SELECT id + 1 FROM r) SELECT id, 'a' AS m1, 'a' AS m2, 'a' AS m3, 'a' AS meanings FROM r;"_s, {}, 0, {}},
            {"tbl_glyph a virtual table",
             schemaRow + u"'tbl_glyph', 'tbl_glyph', 0, 'CREATE VIRTUAL TABLE tbl_glyph USING fts5(glyph)');"_s, {}, 0,
             {}},
            {"tbl_keyboard without its input column", u"CREATE TABLE tbl_keyboard (display TEXT);"_s, {}, 0, {}},
            {"deeply nested schema", u"CREATE INDEX deep ON tbl_dictionary (%1);"_s.arg(nested), {}, 0, {}},
            {"extra tables, views, indexes, columns and a trigger open; nothing is written, so it never fires",
             u"CREATE TABLE log (x); CREATE TRIGGER t AFTER INSERT ON tbl_dictionary BEGIN INSERT INTO log VALUES (1); "
             "END; CREATE TABLE tbl_meaning_index (x); CREATE VIEW v AS SELECT 1; CREATE INDEX ix ON tbl_dictionary (m2);"
             " ALTER TABLE tbl_dictionary ADD COLUMN k9 TEXT;"_s, {}, 0, small},
            {"a huge text cell opens; reading it fails alone",
             u"UPDATE tbl_dictionary SET meanings = hex(zeroblob(17000000)) WHERE id = 1;"_s, {}, 0,
             u"ψυχή|ψυχρός / !string or blob too big"_s},
        };
        // clang-format on
        addRows(cases);
    }

    void filesFromAnyone()
    {
        const auto& [name, sql, bytes, damage, read] = given<FileCase>();
        const QString folder = m_scratch.filePath(QString::fromLatin1(name));
        const QString path = folder + u"/orvane.mdb"_s;
        QVERIFY(QDir().mkpath(sql == u"<folder>" ? path : folder));
        if (!bytes.isNull())
            QVERIFY(writeFile(path, bytes));
        if (sql != u"-" && sql != u"<folder>") {
            const QString dictionary =
                u"CREATE TABLE tbl_dictionary (id INTEGER PRIMARY KEY, m1 TEXT, m2 TEXT, m3 TEXT, meanings TEXT); "
                "INSERT INTO tbl_dictionary VALUES (1, 'ψυχή', 'psychḗ', 'psyche', 'soul'), (2, 'ψυχρός', "
                "'psychrós', 'psychros', 'cold');"_s;
            QVERIFY(oldShell(path, sql.startsWith(u"PRAGMA") ? sql + dictionary : dictionary + sql));
            QByteArray file = readFile(path);
            if (damage < 0)
                file[-damage] = char(file[-damage] ^ 0x55);
            QVERIFY(writeFile(path, file.left(file.size() - std::max(damage, 0))));
        }
        const DatabaseHandle database = open(path);
        QCOMPARE(bool(database), !read.isEmpty());
        if (database) {
            const QStringList m1 = rowsOf(database->exec(Statement::dictionaryByScript({})), {u"m1"_s});
            const QStringList meanings = rowsOf(database->exec(Statement::dictionaryById(1)), {u"meanings"_s});
            QCOMPARE(m1.join(u'|') + u" / "_s + meanings.join(u'|'), read);
        }
    }

    // Other passphrases open.
    void otherPassphrases()
    {
        const QString other = m_scratch.filePath(u"other.mdb"_s);
        QVERIFY(writeFixtureDatabase(other, manyRows(), {.passphrase = u"another key"_s}));
        QVERIFY(Database::open(other, u"another key"_s));
        QVERIFY(!open(other));
        QVERIFY(engineVersion().startsWith(u"SQLite 3."_s)); // what orvane --version names
    }

    // Damage behind the first page: a statement returns true rows in order, and a walk cut short says so.
    void damagedFilesGiveTrueRowsOrAnError()
    {
        int reached = 0;
        const qsizetype size = m_goodBytes.size();
        const QString path = m_scratch.filePath(u"damaged.mdb"_s);
        for (qsizetype offset = 6 * 1024; offset < size + 6 * 1024; offset += 6 * 1024) {
            QByteArray bytes = offset < size ? m_goodBytes : m_goodBytes.left(size / 2);
            for (qsizetype i = offset; i < offset + 8 && i < size; ++i)
                bytes[i] = char(bytes[i] ^ 0xFF);
            QVERIFY(writeFile(path, bytes));
            const DatabaseHandle database = open(path);
            for (std::size_t s = 0; database && s < Statements.size(); ++s) {
                QStringList found = rowsOf(database->exec(Statements[s]), Columns);
                const bool failed = !found.isEmpty() && found.back().startsWith(u'!');
                if (failed)
                    found.removeLast();
                QCOMPARE(found, m_goodRows[s].mid(0, found.size()));
                QVERIFY2(failed || found == m_goodRows[s], qPrintable(Statements[s].displaySql()));
                reached += found != m_goodRows[s];
            }
        }
        QVERIFY(reached >= 3); // the damage got past the open
    }

    // A row's values by name in any case, numbers as text; a column the result lacks reads as null and says so.
    void values_data()
    {
        const ValueCase cases[] = {
            {"before the first row", 0, u"m1"_s, u"(null)"_s},
            {"a name in another case", 1, u"M1"_s, u"42"_s},
            {"a real", 1, u"m2"_s, u"3.5"_s},
            {"a whole real", 1, u"m3"_s, u"12"_s},
            {"a column the result lacks", 1, u"glyph"_s, u"(null)!"_s},
            {"after the last row", 2, u"m1"_s, u"(null)"_s},
        };
        addRows(cases);
    }

    void values()
    {
        const auto& [name, steps, column, read] = given<ValueCase>();
        RecordSet row = m_numbers.open()->exec(Statement::dictionaryById(1));
        for (int i = 0; i < steps; ++i)
            QCOMPARE(row.next(), i == 0);
        QCOMPARE(row.isValid(), steps == 1);
        const QString value = row.value(column).value_or(u"(null)"_s);
        QCOMPARE(value + (row.errorString().isEmpty() ? u""_s : u"!"_s), read);
    }

    // A statement past its time ends with an error, as a damaged page does; the next one has its own time.
    void aStatementPastItsTimeEndsWithAnError()
    {
        Statement everything = Statement::dictionaryByTranslit({});
        everything.columns.clear(); // read by the engine, not from a listing
        const std::chrono::milliseconds limit = statementTimeLimit();
        setStatementTimeLimit(std::chrono::milliseconds(0));
        const DatabaseHandle database = m_good.open();
        const QStringList cut = rowsOf(database->exec(everything), Columns);
        setStatementTimeLimit(limit);
        QCOMPARE(cut.back(), u"!interrupted"_s);
        QVERIFY(cut.size() <= Entries);
        QCOMPARE(rowsOf(database->exec(everything), Columns).size(), Entries);
    }

    // An abandoned write leaves the target as it was and nothing beside it.
    void anAbandonedWriteLeavesTheTarget()
    {
        FixtureFolder folder;
        const QString target = folder.databasePath();
        QVERIFY(writeFile(target, "old"));
        const auto parts = [&] { return QDir(folder.path()).entryList({u"*.part"_s}); };
        {
            DatabaseWriter abandoned(target, {});
            QVERIFY(abandoned.addEntry(entry(1, u"ψ"_s, u"ps"_s, u"ps"_s)));
            QCOMPARE(parts().size(), 1);
            QVERIFY(!abandoned.addEntry(entry(1, u"χ"_s, u"ch"_s, u"ch"_s))); // ids are unique
            QVERIFY(abandoned.error().contains(u"UNIQUE"_s, Qt::CaseInsensitive));
        }
        QCOMPARE(readFile(target), QByteArray("old"));
        QVERIFY(parts().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestDatabase)
#include "test_database.moc"
