// Bad database files at the data layer: ConnectDatabase and every statement the
// program issues. A file that cannot be opened gives exactly one "unexpected error"
// per attempt and leaves the previous connection in place; a file that opens but is
// damaged never crashes, never hangs and never passes a partial result off as whole.
#include "data/DatabaseWriter.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"
#include "dictionary/EntryComposer.h"
#include "dictionary/KeyInput.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <unistd.h>

using namespace orvane::data;
using namespace Qt::StringLiterals;

namespace {

constexpr int EntryCount = 400;
constexpr int GlyphCount = 120;

struct Walk
{
    bool open = false;
    QString error;
    QList<qint64> ids;  // the id column, where the table has one
    QStringList values; // the asked column of each row
    QStringList rows;   // every column of each row, to compare results whole
};

// Walks a record set the way the windows do; a bound on the rows turns a looping
// cursor into a failure instead of a hang.
Walk walk(RecordSet rs, const QString& column = u"id"_s)
{
    static const QStringList columns{u"id"_s,    u"m1"_s,      u"m2"_s,    u"m3"_s,   u"meanings"_s,
                                     u"input"_s, u"display"_s, u"glyph"_s, u"name"_s, u"about"_s};
    Walk result;
    result.open = rs.isOpen();
    if (!result.open) {
        result.error = rs.error();
        return result;
    }
    if (rs.RecordCount() != 0)
        rs.MoveFirst();
    for (int guard = 0; !rs.Eof() && guard < 100000; ++guard, rs.MoveNext()) {
        if (rs.hasField(u"id"_s))
            result.ids << rs.fieldInt(u"id"_s);
        if (rs.hasField(column))
            result.values << rs.Fields(column).value_or(QString());
        QStringList row;
        for (const QString& name : columns) {
            if (rs.hasField(name))
                row << rs.Fields(name).value_or(u"(null)"_s);
        }
        result.rows << row.join(u'|');
    }
    result.error = rs.error();
    return result;
}

// Every statement the program issues, with a value that finds rows in the fixture.
const QList<std::pair<const char*, Statement>>& programStatements()
{
    static const QList<std::pair<const char*, Statement>> statements{
        {"config settings", Statement::configSettings()},
        {"config about", Statement::configAbout()},
        {"key", Statement::keyboardByInput(u"a'"_s)},
        {"script search", Statement::dictionaryByScript(u""_s)},
        {"translit search", Statement::dictionaryByTranslit(u"lé"_s)},
        {"plain search", Statement::dictionaryByPlain(u"lexi1"_s)},
        {"entry 1", Statement::dictionaryById(1)},
        {"entry last", Statement::dictionaryById(EntryCount)},
        {"glyphs", Statement::glyphsInOrder()},
    };
    return statements;
}

DatabaseWriter::Options plainOptions(bool withKeys = true, bool encrypted = true)
{
    DatabaseWriter::Options options;
    options.withKeys = withKeys;
    options.encrypted = encrypted;
    return options;
}

// The fixture: enough rows to span many pages, so damage can land in the data.
bool writeFixture(const QString& path, DatabaseWriter::Options options = plainOptions())
{
    DatabaseWriter writer(path, options);
    for (int i = 1; i <= EntryCount; ++i) {
        const QString n = QString::number(i);
        writer.addEntry({i, u"λέξη"_s + n, u"léxi"_s + n, u"lexi"_s + n, QString(300, QChar(u'a' + i % 26))});
    }
    writer.addKey(u"a'"_s, u"á"_s);
    for (int i = 1; i <= GlyphCount; ++i)
        writer.addGlyph(i, QString(QChar(0x3B0 + i % 40)));
    DatabaseWriter::Config config;
    config.name = u"Orvane"_s;
    config.fnt1 = u"DejaVu Sans"_s;
    config.about = u"about text"_s;
    config.fsz1 = 12;
    writer.addConfig(config);
    return writer.commit();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestBadFile final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_good; // the intact fixture
    QByteArray m_goodBytes;
    QList<Walk> m_goodResults; // programStatements() on the intact fixture
    QStringList m_goodEntries; // every entry by id, whole, on the intact fixture
    QStringList m_messages;    // what ConnectDatabase reported
    DatabaseHandle m_goodHandle;
    int m_damagedOpened = 0; // damaged files that opened...
    int m_shortResults = 0;  // ...and statements on them that stopped with an error

    // A fresh folder holding `bytes` as orvane.mdb; the program folder points at it.
    QString badFolder(const QString& name)
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        setProgramFolder(folder);
        return folder + u"/orvane.mdb"_s;
    }

    // A good connection first, so that a failure can be seen to keep it.
    void connectGood()
    {
        setProgramFolder(QFileInfo(m_good).path());
        QVERIFY(ConnectDatabase());
        m_goodHandle = SharedDatabase();
        m_messages.clear();
    }

    // The outcome every unopenable file must have, on each of several attempts.
    void expectOpenFails()
    {
        QStringList expected;
        for (int attempt = 1; attempt <= 3; ++attempt) {
            QVERIFY(!ConnectDatabase());
            expected << QString::fromLatin1(UnexpectedErrorText);
            QCOMPARE(m_messages, expected);
        }
        QCOMPARE(SharedDatabase(), m_goodHandle);
        // The window stays usable on what it had.
        QCOMPARE(walk(SharedDatabase()->OpenRecordset(Statement::dictionaryById(7))).ids, QList<qint64>{7});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QDir().mkpath(m_dir.filePath(u"good"_s));
        m_good = m_dir.filePath(u"good/orvane.mdb"_s);
        QVERIFY(writeFixture(m_good));
        m_goodBytes = readAll(m_good);
        QVERIFY(m_goodBytes.size() > 64 * 1024);
        setErrorNotifier([this](const QString& message) { m_messages << message; });
        connectGood();
        for (const auto& [name, statement] : programStatements()) {
            const Walk result = walk(SharedDatabase()->OpenRecordset(statement));
            QVERIFY2(result.open && result.error.isEmpty() && !result.rows.isEmpty(), name);
            m_goodResults << result;
        }
        for (int id = 1; id <= EntryCount; ++id)
            m_goodEntries << walk(SharedDatabase()->OpenRecordset(Statement::dictionaryById(id))).rows.join(u'\n');
    }

    void init() { connectGood(); }

    // Files that are no orvane database at all.
    void unopenable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("directory");
        auto random = [](qsizetype size) {
            QByteArray bytes(size, Qt::Uninitialized);
            QRandomGenerator rng(size);
            for (char& c : bytes)
                c = char(rng.bounded(256));
            return bytes;
        };
        QTest::newRow("zero bytes") << QByteArray() << false;
        QTest::newRow("one byte") << QByteArray("x") << false;
        QTest::newRow("random 1 KB") << random(1024) << false;
        QTest::newRow("random 64 KB") << random(64 * 1024) << false;
        QTest::newRow("text file") << QByteArray("id,m1,m2\n1,a,b\n").repeated(100) << false;
        QTest::newRow("truncated to the salt") << m_goodBytes.left(16) << false;
        QTest::newRow("truncated to 100 bytes") << m_goodBytes.left(100) << false;
        QTest::newRow("truncated inside page 1") << m_goodBytes.left(700) << false;
        QByteArray firstPage = m_goodBytes;
        for (int i = 200; i < 260; ++i)
            firstPage[i] = char(firstPage[i] ^ 0x5A);
        QTest::newRow("page 1 corrupted") << firstPage << false;
        QByteArray salt = m_goodBytes;
        salt[3] = char(salt[3] ^ 1);
        QTest::newRow("salt changed") << salt << false;
        QTest::newRow("directory named orvane.mdb") << QByteArray() << true;
    }

    void unopenable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, directory);
        const QString path = badFolder(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        QVERIFY(directory ? QDir().mkpath(path) : writeBytes(path, bytes));
        expectOpenFails();
    }

    void missingFile()
    {
        badFolder(u"missing"_s);
        expectOpenFails();
    }

    void plainUnencryptedFile()
    {
        const QString path = badFolder(u"plain"_s);
        QVERIFY(writeFixture(path, plainOptions(true, false)));
        expectOpenFails();
    }

    void wrongPassword()
    {
        const QString path = badFolder(u"wrong_password"_s);
        auto options = plainOptions();
        options.passphrase = u"not the password"_s;
        QVERIFY(writeFixture(path, options));
        expectOpenFails();
    }

    void unreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("running as root, which reads any file whatever its permissions");
        const QString path = badFolder(u"unreadable"_s);
        QVERIFY(writeBytes(path, m_goodBytes));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        expectOpenFails();
    }

    // The right file, damaged after its first page: it may open or not, but whatever
    // a statement returns is true data, and a short result always carries an error.
    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const qsizetype size = m_goodBytes.size();
        for (qsizetype length :
             {qsizetype(1024), qsizetype(1500), qsizetype(4096), size / 3, size / 2, size - 1024, size - 1})
            QTest::newRow(qPrintable(u"truncated to %1 of %2"_s.arg(length).arg(size))) << m_goodBytes.left(length);
        // Whatever the page size, a few bytes flipped every 6 KB land in pages of every kind.
        for (qsizetype offset = 6 * 1024; offset < size; offset += 6 * 1024) {
            QByteArray bytes = m_goodBytes;
            for (qsizetype i = offset; i < offset + 8 && i < size; ++i)
                bytes[i] = char(bytes[i] ^ 0xFF);
            QTest::newRow(qPrintable(u"8 bytes flipped at %1"_s.arg(offset))) << bytes;
        }
        QByteArray zeroed = m_goodBytes;
        zeroed.replace(size / 2, 4096, QByteArray(4096, '\0'));
        QTest::newRow("4 KB zeroed in the middle") << zeroed;
    }

    void damaged()
    {
        QFETCH(QByteArray, bytes);
        const QString path = badFolder(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        QVERIFY(writeBytes(path, bytes));
        if (!ConnectDatabase()) {
            QCOMPARE(m_messages, QStringList{QString::fromLatin1(UnexpectedErrorText)});
            QCOMPARE(SharedDatabase(), m_goodHandle);
            return;
        }
        QVERIFY(m_messages.isEmpty());
        QVERIFY(SharedDatabase() != m_goodHandle);
        ++m_damagedOpened;
        for (qsizetype i = 0; i < programStatements().size(); ++i) {
            const auto& [name, statement] = programStatements().at(i);
            const Walk result = walk(SharedDatabase()->OpenRecordset(statement));
            const Walk& good = m_goodResults.at(i);
            if (!result.open) {
                QVERIFY2(!result.error.isEmpty(), name);
                continue;
            }
            // Rows come in the same order as from the intact file, none invented, and a
            // result cut short says so.
            QVERIFY2(result.rows.size() <= good.rows.size(), name);
            QVERIFY2(result.rows == good.rows.mid(0, result.rows.size()), name);
            QVERIFY2(result.rows == good.rows || !result.error.isEmpty(), name);
            m_shortResults += result.rows != good.rows ? 1 : 0;
        }
        // Every entry's text, which the list's covering indexes never touch.
        for (int id = 1; id <= EntryCount; ++id) {
            const Walk result = walk(SharedDatabase()->OpenRecordset(Statement::dictionaryById(id)));
            const bool whole = result.rows.join(u'\n') == m_goodEntries.at(id - 1);
            QVERIFY2(whole || (result.rows.isEmpty() && !result.error.isEmpty()), qPrintable(QString::number(id)));
            m_shortResults += whole ? 0 : 1;
        }
    }

    // The damage above must reach past the open, or it would test nothing but the open.
    void damagedFilesReachTheStatements()
    {
        QVERIFY(m_damagedOpened >= 3);
        QVERIFY(m_shortResults >= 3);
    }

    // Files that open: the schema is not what the program reads. Each statement that
    // needs what is missing fails on its own and the others still work.
    void schemaDamage_data()
    {
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<QStringList>("failing"); // statement names expected to fail

        QTest::newRow("no tbl_glyph") << QStringList{u"DROP TABLE tbl_glyph"_s} << QStringList{u"glyphs"_s};
        QTest::newRow("no tbl_dictionary")
            << QStringList{u"DROP TABLE tbl_dictionary"_s}
            << QStringList{u"script search"_s, u"translit search"_s, u"plain search"_s, u"entry 1"_s, u"entry last"_s};
        QTest::newRow("no m3 column") << QStringList{u"DROP TABLE tbl_dictionary"_s,
                                                     u"CREATE TABLE tbl_dictionary(id INTEGER, m1 TEXT, m2 TEXT, "
                                                     u"meanings TEXT)"_s,
                                                     u"INSERT INTO tbl_dictionary VALUES(1, 'λέξη1', 'léxi1', 'x')"_s}
                                      << QStringList{u"plain search"_s};
        QTest::newRow("no input column") << QStringList{u"DROP TABLE tbl_keyboard"_s,
                                                        u"CREATE TABLE tbl_keyboard(display TEXT)"_s}
                                         << QStringList{u"key"_s};
        QTest::newRow("no about column") << QStringList{u"DROP TABLE tbl_config"_s,
                                                        u"CREATE TABLE tbl_config(name TEXT, fnt1 TEXT)"_s,
                                                        u"INSERT INTO tbl_config VALUES('Orvane', 'Serif')"_s}
                                         << QStringList{u"config about"_s};
        QTest::newRow("empty database") << QStringList{u"DROP TABLE tbl_glyph"_s, u"DROP TABLE tbl_dictionary"_s,
                                                       u"DROP TABLE tbl_keyboard"_s, u"DROP TABLE tbl_config"_s}
                                        << QStringList{u"config settings"_s, u"config about"_s,    u"key"_s,
                                                       u"script search"_s,   u"translit search"_s, u"plain search"_s,
                                                       u"entry 1"_s,         u"entry last"_s,      u"glyphs"_s};
    }

    void schemaDamage()
    {
        QFETCH(QStringList, sql);
        QFETCH(QStringList, failing);
        const QString path = badFolder(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
        {
            DatabaseWriter writer(path, plainOptions(false));
            for (int i = 1; i <= 3; ++i)
                writer.addEntry({i, u"λέξη%1"_s.arg(i), u"léxi%1"_s.arg(i), u"lexi%1"_s.arg(i), u"m"_s});
            writer.addKey(u"a'"_s, u"á"_s);
            writer.addGlyph(1, u"α"_s);
            DatabaseWriter::Config config;
            config.name = u"Orvane"_s;
            config.about = u"about"_s;
            writer.addConfig(config);
            for (const QString& statement : sql)
                QVERIFY2(writer.exec(statement), qPrintable(writer.error()));
            QVERIFY2(writer.commit(), qPrintable(writer.error()));
        }
        QVERIFY(ConnectDatabase());
        QVERIFY(m_messages.isEmpty());
        for (const auto& [name, statement] : programStatements()) {
            if (QLatin1StringView(name) == "entry last")
                continue; // the small database has no such entry
            const Walk result = walk(SharedDatabase()->OpenRecordset(statement));
            const bool fails = failing.contains(QString::fromLatin1(name));
            if (fails)
                QVERIFY2(result.rows.isEmpty() && !result.error.isEmpty(), name);
            else
                QVERIFY2(!result.rows.isEmpty() && result.error.isEmpty(), qPrintable(name + u": "_s + result.error));
        }
    }

    // Values of the wrong kind are read as what they are, and never crash a reader.
    void wrongValueTypes()
    {
        const QString path = badFolder(u"wrong_types"_s);
        {
            DatabaseWriter writer(path, plainOptions(false));
            for (const QString& statement : {
                     u"DROP TABLE tbl_dictionary"_s,
                     u"CREATE TABLE tbl_dictionary(id, m1, m2, m3, meanings)"_s,
                     u"INSERT INTO tbl_dictionary VALUES(1, 42, 3.5, X'00FF', 7)"_s,
                     u"INSERT INTO tbl_dictionary VALUES('seven', 'λ', 'l', 'l', 'text id')"_s,
                     u"INSERT INTO tbl_dictionary VALUES(9.5, 'μ', 'm', 'm', 'real id')"_s,
                     u"DROP TABLE tbl_config"_s,
                     u"CREATE TABLE tbl_config(name, fnt1, fnt3, fnt4, fnt5, fsz1, fsz2, fsz3, fsz4, fsz5, about)"_s,
                     u"INSERT INTO tbl_config VALUES(7, 'Serif', 'Sans', 'Mono', 'Serif', 'big', 10, 10, 10, 10, 5)"_s,
                 })
                QVERIFY2(writer.exec(statement), qPrintable(writer.error()));
            QVERIFY2(writer.commit(), qPrintable(writer.error()));
        }
        QVERIFY(ConnectDatabase());
        auto& db = *SharedDatabase();

        const Walk numbers = walk(db.OpenRecordset(Statement::dictionaryByScript(u"4"_s)), u"m1"_s);
        QCOMPARE(numbers.values, QStringList{u"42"_s});
        const Walk real = walk(db.OpenRecordset(Statement::dictionaryById(1)), u"m2"_s);
        QCOMPARE(real.values, QStringList{u"3.5"_s});
        // Nothing is found by a number that the id text does not hold; no reader crashes.
        QVERIFY(walk(db.OpenRecordset(Statement::dictionaryById(7))).ids.isEmpty());
        // Every value is text to the matcher; numbers sort before texts.
        const Walk all = walk(db.OpenRecordset(Statement::dictionaryByTranslit(u""_s)), u"m2"_s);
        QVERIFY2(all.error.isEmpty(), qPrintable(all.error));
        QCOMPARE(all.values, (QStringList{u"3.5"_s, u"l"_s, u"m"_s}));

        // Settings: the fonts before the size that is no number are loaded, then the
        // loader leaves; the sizes keep what they held.
        auto& config = orvane::dictionary::SharedDisplayConfig();
        config = {};
        orvane::dictionary::LoadDisplayConfig();
        QCOMPARE(config.configName, u"7"_s);
        QCOMPARE(config.font1, u"Serif"_s);
        QCOMPARE(config.font5, u"Serif"_s);
        QCOMPARE(config.size1, 0.0);
        QCOMPARE(config.size2, 0.0);
    }

    // Sizes far past what the data should hold are read whole.
    void hugeValues()
    {
        const QString path = badFolder(u"huge"_s);
        const QString meanings = QString(10 * 1024 * 1024, u'ω');
        {
            DatabaseWriter writer(path, plainOptions());
            writer.addEntry({1, u"ω"_s, u"ō"_s, u"o"_s, meanings});
            for (int i = 1; i <= 5002; ++i)
                writer.addGlyph(i, QString(QChar(0x370 + i % 144)));
            QVERIFY2(writer.commit(), qPrintable(writer.error()));
        }
        QVERIFY(ConnectDatabase());
        const Walk entry = walk(SharedDatabase()->OpenRecordset(Statement::dictionaryById(1)), u"meanings"_s);
        QCOMPARE(entry.values.size(), 1);
        QCOMPARE(entry.values.first().size(), meanings.size());
        QVERIFY(entry.values.first() == meanings);
        const Walk glyphs = walk(SharedDatabase()->OpenRecordset(Statement::glyphsInOrder()));
        QCOMPARE(glyphs.ids.size(), 5002);
        QCOMPARE(glyphs.ids.last(), 5002);
    }

    // An entry far longer than any real one is shown cut, whole characters only.
    void hugeEntryIsShownCut_data()
    {
        using orvane::dictionary::MaxShownCharacters;
        QTest::addColumn<QString>("composed");
        QTest::addColumn<QString>("shown");
        const QString atLimit(MaxShownCharacters, u'x');
        QTest::newRow("at the limit") << atLimit << atLimit;
        QTest::newRow("line breaks count once")
            << atLimit.left(MaxShownCharacters - 1) + u"\r\n"_s << atLimit.left(MaxShownCharacters - 1) + u"\n"_s;
        QTest::newRow("one more") << atLimit + u"y"_s << atLimit + u"\n…"_s;
        const QString pair = u"\U0001D400"_s; // two code units
        QTest::newRow("pair across the limit")
            << atLimit.left(MaxShownCharacters - 1) + pair << atLimit.left(MaxShownCharacters - 1) + u"\n…"_s;
        QTest::newRow("10 MB") << QString(10 << 20, u'ω') << QString(MaxShownCharacters, u'ω') + u"\n…"_s;
    }

    void hugeEntryIsShownCut()
    {
        QFETCH(QString, composed);
        QFETCH(QString, shown);
        QCOMPARE(orvane::dictionary::entryDisplayText(composed), shown);
    }

    // Key rows that lead back to a known sequence would replace forever; the chain stops.
    void loopingKeyboard_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result"); // a pattern: where the chain may stop
        QTest::newRow("display ends in its own input") << u"ab"_s << u"^ab$"_s;
        QTest::newRow("two rows lead to each other") << u"xpq"_s << u"^x(pq|qp)$"_s;
        QTest::newRow("display grows the text") << u"gg"_s << u"^g{3,}$"_s;
        QTest::newRow("no loop still replaces") << u"ma'"_s << u"^má$"_s;
    }

    void loopingKeyboard()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        const QString path = badFolder(u"looping"_s);
        if (!QFile::exists(path)) {
            DatabaseWriter writer(path, plainOptions());
            writer.addKey(u"ab"_s, u"ab"_s);
            writer.addKey(u"pq"_s, u"qp"_s);
            writer.addKey(u"qp"_s, u"pq"_s);
            writer.addKey(u"gg"_s, u"ggg"_s);
            writer.addKey(u"a'"_s, u"á"_s);
            QVERIFY2(writer.commit(), qPrintable(writer.error()));
        }
        QVERIFY(ConnectDatabase());
        orvane::dictionary::KeyInput keys;
        const QString text = keys.applyKeys(typed);
        QVERIFY2(QRegularExpression(result).match(text).hasMatch(), qPrintable(text));
        // Each replacement adds at most one character here, so a bounded chain stays short.
        QVERIFY(text.size() <= typed.size() + orvane::dictionary::KeyInput::MaxChainedReplacements);
    }
};

QTEST_APPLESS_MAIN(TestBadFile)
#include "test_badfile.moc"
