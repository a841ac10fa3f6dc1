// The data layer under the statements: opening orvane.mdb, walking record sets, writing a database.
#include "FixtureDatabase.h"
#include "core/data/Database.h"

#include <sqlcipher/sqlite3.h>

#include <QTest>

using namespace orvane::data;
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

// Each row whole, as text; Error() once the walk ends.
struct Walk
{
    QStringList rows;
    QString error;
};

Walk walk(RecordSet rows)
{
    static const QStringList Columns{u"id"_s, u"m1"_s, u"m2"_s, u"meanings"_s, u"display"_s, u"glyph"_s, u"about"_s};
    Walk result;
    for (; !rows.Eof(); rows.MoveNext()) {
        QStringList row;
        for (const QString& column : Columns)
            row << (rows.HasField(column) ? rows.Fields(column).value_or(u"(null)"_s) : QString());
        result.rows << row.join(u'|');
    }
    result.error = rows.Error();
    return result;
}

} // namespace

class TestDatabase final : public QObject
{
    Q_OBJECT

    FixtureFolder m_good;
    QByteArray m_goodBytes;
    std::vector<Walk> m_goodWalks; // Statements on the intact file
    QTemporaryDir m_scratch;
    QString m_path; // the file useFile() wrote

    // Writes `bytes` (or a directory) as orvane.mdb into a new folder.
    void useFile(const QString& name, const QByteArray& bytes, bool directory = false)
    {
        const QString folder = m_scratch.filePath(name);
        QVERIFY(QDir().mkpath(folder));
        m_path = folder + u"/orvane.mdb"_s;
        QVERIFY(directory ? QDir().mkpath(m_path) : writeFile(m_path, bytes));
    }

    static DatabaseHandle open(const QString& path)
    {
        return Database::open(path, QString::fromLatin1(DatabasePassword));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_good.write(manyRows()));
        m_goodBytes = readFile(m_good.databasePath());
        const DatabaseHandle good = m_good.open();
        for (const Statement& statement : Statements) {
            m_goodWalks.push_back(walk(good->OpenRecordset(statement)));
            QVERIFY2(!m_goodWalks.back().rows.isEmpty(), qPrintable(statement.displaySql()));
        }
    }

    void recordSetsOutliveTheirConnectionAndNothingIsWritten()
    {
        DatabaseHandle first = m_good.open();
        RecordSet entries = first->OpenRecordset(Statement::dictionaryByTranslit(QString()));
        entries.MoveNext();
        const DatabaseHandle second = m_good.open();
        QVERIFY(second && second != first);
        first.reset();
        QCOMPARE(walk(std::move(entries)).rows.size(), Entries - 1);
        QCOMPARE(readFile(m_good.databasePath()), m_goodBytes);
    }

    void unopenableFilesDoNotOpen()
    {
        QByteArray salt = m_goodBytes;
        salt[3] = char(salt[3] ^ 1);
        // clang-format off
        const std::vector<std::pair<QString, QByteArray>> files = {
            {u"zero bytes"_s, {}}, {u"text"_s, QByteArray("id,m1\n1,a\n").repeated(100)},
            {u"salt only"_s, m_goodBytes.left(16)}, {u"first page cut"_s, m_goodBytes.left(700)},
            {u"salt changed"_s, salt}};
        // clang-format on
        for (const auto& [name, bytes] : files) {
            useFile(name, bytes);
            QVERIFY2(!open(m_path), qPrintable(name));
        }
        useFile(u"directory"_s, {}, true);
        QVERIFY(!open(m_path));
        QVERIFY(!open(m_scratch.filePath(u"missing/orvane.mdb"_s)));
        useFile(u"plain"_s, {});
        QVERIFY(writeFixtureDatabase(m_path, manyRows(), {.encrypted = false}));
        QVERIFY(!open(m_path));
    }

    // Damage behind the first page: a statement returns true rows in order, and a walk cut short says so.
    void damagedFilesGiveTrueRowsOrAnError()
    {
        int reached = 0;
        const qsizetype size = m_goodBytes.size();
        for (qsizetype offset = 6 * 1024; offset < size + 6 * 1024; offset += 6 * 1024) {
            QByteArray bytes = offset < size ? m_goodBytes : m_goodBytes.left(size / 2);
            for (qsizetype i = offset; i < offset + 8 && i < size; ++i)
                bytes[i] = char(bytes[i] ^ 0xFF);
            useFile(u"damaged"_s, bytes);
            const DatabaseHandle database = open(m_path);
            if (!database)
                continue;
            for (std::size_t s = 0; s < Statements.size(); ++s) {
                const Walk result = walk(database->OpenRecordset(Statements[s]));
                const QStringList& good = m_goodWalks[s].rows;
                QVERIFY(result.rows == good.mid(0, result.rows.size()));
                QVERIFY2(result.rows == good || !result.error.isEmpty(), qPrintable(Statements[s].displaySql()));
                reached += result.rows != good;
            }
        }
        QVERIFY(reached >= 3); // the damage got past the open
    }

    void otherPassphrasesAndTheEnginesPageSizeOpen()
    {
        const QString other = m_scratch.filePath(u"other.mdb"_s);
        QVERIFY(writeFixtureDatabase(other, manyRows(), {.passphrase = u"another key"_s}));
        const DatabaseHandle opened = Database::open(other, u"another key"_s);
        QVERIFY(opened && opened->hasDictionaryKeys() && !Database::open(other, QString::fromLatin1(DatabasePassword)));

        const QString defaultPages = m_scratch.filePath(u"default-pages.mdb"_s);
        sqlite3* connection = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(defaultPages).constData(), &connection), SQLITE_OK);
        const QByteArray sql =
            "PRAGMA key = '" + QByteArray(DatabasePassword) +
            "'; CREATE TABLE tbl_glyph (id INTEGER, glyph TEXT); INSERT INTO tbl_glyph VALUES (7, 'ω');";
        QCOMPARE(sqlite3_exec(connection, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(connection);
        const DatabaseHandle small = Database::open(defaultPages, QString::fromLatin1(DatabasePassword));
        QVERIFY(small && !small->hasDictionaryKeys());
        QCOMPARE(small->OpenRecordset(Statement::glyphsInOrder()).Fields(u"glyph"_s), u"ω"_s);
    }

    void recordSetOperations()
    {
        FixtureFolder folder;
        // Untyped columns keep numbers as numbers.
        QVERIFY(
            folder.write({.entries = {entry(1, u"a"_s, u"a"_s, u"a"_s, QString(1 << 20, u'ω'))},
                          .extraSql = {u"CREATE TABLE t (id, m1, m2, m3, meanings)"_s,
                                       u"INSERT INTO t SELECT id, 42, 3.5, 12.0, meanings FROM tbl_dictionary"_s,
                                       u"DROP TABLE tbl_dictionary"_s, u"ALTER TABLE t RENAME TO tbl_dictionary"_s}},
                         {.withKeys = false}));
        const DatabaseHandle database = Database::open(folder.databasePath(), QString::fromLatin1(DatabasePassword));
        QVERIFY(database);

        RecordSet row = database->OpenRecordset(Statement::dictionaryById(1));
        QVERIFY(row.IsOpen() && row.RecordCount() == 1 && !row.Eof());
        QCOMPARE(row.Fields(u"M1"_s), u"42"_s); // names are case-insensitive, numbers read as text
        QCOMPARE(row.Fields(u"m2"_s), u"3.5"_s);
        QCOMPARE(row.Fields(u"m3"_s), u"12"_s);
        QCOMPARE(row.Fields(u"meanings"_s)->size(), 1 << 20);
        QVERIFY(row.Error().isEmpty());
        QCOMPARE(row.Fields(u"nothing"_s), std::nullopt);
        QVERIFY(!row.HasField(u"nothing"_s) && !row.Error().isEmpty());

        RecordSet glyphs = database->OpenRecordset(Statement::glyphsInOrder());
        QVERIFY(glyphs.IsOpen() && glyphs.Eof() && glyphs.RecordCount() == 0 &&
                glyphs.FieldInt(u"id"_s) == 0); // the table is empty
        RecordSet missing = database->OpenRecordset(Statement{u"tbl_missing"_s, {}, std::nullopt, {}});
        QVERIFY(!missing.IsOpen() && missing.Eof() && missing.RecordCount() == 0 && !missing.Error().isEmpty());
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
