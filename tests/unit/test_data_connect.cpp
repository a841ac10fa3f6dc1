// Opening orvane.mdb: the cached raw key, every way the file can be unusable, and
// the shared handle across reconnections.
#include "FixtureDatabase.h"
#include "TestFiles.h"
#include "data/Cipher.h"
#include "data/Database.h"
#include "data/Mainmode.h"

#include <sqlcipher/sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace orvane::data;
using orvane::testing::entry;
using orvane::testing::FixtureFolder;
using orvane::testing::FixtureRows;

namespace {

FixtureRows someRows()
{
    FixtureRows rows;
    rows.entries = {entry(1, u"ψυχή"_qs, u"psychḗ"_qs, u"psyche"_qs, u"soul"_qs),
                    entry(2, u"μανία"_qs, u"manía"_qs, u"mania"_qs, u"madness"_qs)};
    for (int id = 1; id <= 40; ++id)
        rows.glyphs.emplace_back(id, QString(QChar(0x03B0 + id)));
    rows.configs.push_back({.name = u"Orvane"_qs, .fnt1 = u"DejaVu Sans"_qs, .fsz1 = 12.0});
    return rows;
}

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Counts the messages ConnectDatabase reports while it lives.
class NotifierProbe
{
public:
    NotifierProbe()
    {
        setErrorNotifier([this](const QString& message) { messages << message; });
    }
    ~NotifierProbe() { setErrorNotifier({}); }
    QStringList messages;
};

} // namespace

class TestDataConnect final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SharedDatabase().reset(); }

    void pbkdf2KnownAnswers_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("expected");
        // RFC 6070 test vectors.
        QTest::newRow("1 round") << QByteArray("password") << QByteArray("salt") << 1 << 20
                                 << QByteArray("0c60c80f961f0e71f3a9b524af6012062fe037a6");
        QTest::newRow("2 rounds") << QByteArray("password") << QByteArray("salt") << 2 << 20
                                  << QByteArray("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957");
        QTest::newRow("4096 rounds") << QByteArray("password") << QByteArray("salt") << 4096 << 20
                                     << QByteArray("4b007901b765489abead49d926f721d065a429c1");
        QTest::newRow("two blocks") << QByteArray("passwordPASSWORDpassword")
                                    << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096 << 25
                                    << QByteArray("3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
    }
    void pbkdf2KnownAnswers()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, rounds);
        QFETCH(int, size);
        QFETCH(QByteArray, expected);
        QCOMPARE(cipher::pbkdf2HmacSha1(password, salt, rounds, size).toHex(), expected);
    }

    // The writer keys with the passphrase and lets the engine derive the key; the reader
    // derives it itself and opens with the raw key. Both must agree.
    void passphraseDatabaseOpensWithDerivedKey()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(someRows()));
        QString error;
        const DatabaseHandle database =
            Database::open(folder.databasePath(), QString::fromLatin1(DatabasePassword), &error);
        QVERIFY2(database, qPrintable(error));
        RecordSet row = database->OpenRecordset(Statement::dictionaryById(2));
        QVERIFY(!row.Eof());
        QCOMPARE(row.Fields(u"m1"_qs), u"μανία"_qs);
        QVERIFY(database->hasDictionaryKeys());
    }

    void otherPassphraseRoundTrips()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(someRows(), {true, u"it's \"quoted\" ünïcode"_qs, true}));
        QVERIFY(Database::open(folder.databasePath(), u"it's \"quoted\" ünïcode"_qs));
        QVERIFY(!Database::open(folder.databasePath(), QString::fromLatin1(DatabasePassword)));
    }

    // A database written by the engine with all its defaults (1024-byte pages) must open too.
    void engineDefaultPageSizeOpens()
    {
        FixtureFolder folder;
        sqlite3* connection = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(folder.databasePath()).constData(), &connection), SQLITE_OK);
        const QByteArray sql = "PRAGMA key = '" + QByteArray(DatabasePassword) +
                               "'; CREATE TABLE tbl_glyph (id INTEGER, glyph TEXT);"
                               " INSERT INTO tbl_glyph VALUES (7, 'ω');";
        QCOMPARE(sqlite3_exec(connection, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(connection);

        QVERIFY(ConnectDatabase());
        QVERIFY(!SharedDatabase()->hasDictionaryKeys());
        RecordSet glyphs = SharedDatabase()->OpenRecordset(Statement::glyphsInOrder());
        QCOMPARE(glyphs.Fields(u"glyph"_qs), u"ω"_qs);
    }

    void connectOpensProgramFolderDatabase()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(someRows()));
        NotifierProbe probe;
        QVERIFY(ConnectDatabase());
        QVERIFY(SharedDatabase());
        QCOMPARE(SharedDatabase()->path(), folder.databasePath());
        QCOMPARE(databasePath(), folder.databasePath());
        QVERIFY(probe.messages.isEmpty());
    }

    void unusableFileFailsOnceAndKeepsHandle_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"missing", "wrong password", "text file", "directory", "plain sqlite", "empty file",
                                 "header only", "unreadable"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void unusableFileFailsOnceAndKeepsHandle()
    {
        QFETCH(QString, kind);
        FixtureFolder good;
        QVERIFY(good.write(someRows()));
        QVERIFY(ConnectDatabase());
        const DatabaseHandle previous = SharedDatabase();

        FixtureFolder bad;
        const QString path = bad.databasePath();
        if (kind == u"wrong password") {
            QVERIFY(bad.write(someRows(), {true, u"r^plokijuhy246813578"_qs, true}));
        } else if (kind == u"text file") {
            QVERIFY(orvane::testing::writeFile(path, "This is not a database.\r\nJust some lines of text.\r\n"));
        } else if (kind == u"directory") {
            QVERIFY(QDir(bad.path()).mkdir(u"orvane.mdb"_qs));
        } else if (kind == u"plain sqlite") {
            QVERIFY(bad.write(someRows(), {true, {}, false}));
        } else if (kind == u"empty file") {
            QVERIFY(orvane::testing::writeFile(path, {}));
        } else if (kind == u"header only") {
            QFile source(good.databasePath());
            QVERIFY(source.open(QIODevice::ReadOnly));
            QVERIFY(orvane::testing::writeFile(path, source.read(100)));
        } else if (kind == u"unreadable") {
            QVERIFY(bad.write(someRows()));
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
            if (QFile(path).open(QIODevice::ReadOnly))
                QSKIP("running with rights that read any file");
        }

        NotifierProbe probe;
        QVERIFY(!ConnectDatabase());
        QCOMPARE(probe.messages, QStringList{u"unexpected error"_qs});
        QCOMPARE(SharedDatabase(), previous);
        QVERIFY(!SharedDatabase()->OpenRecordset(Statement::glyphsInOrder()).Eof());
    }

    void reconnectKeepsOpenRecordSetValid()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(someRows()));
        QVERIFY(ConnectDatabase());
        const std::weak_ptr<Database> first = SharedDatabase();
        RecordSet glyphs = SharedDatabase()->OpenRecordset(Statement::glyphsInOrder());
        QCOMPARE(glyphs.fieldInt(u"id"_qs), 1);
        glyphs.MoveNext();

        QVERIFY(ConnectDatabase());
        QVERIFY(SharedDatabase() != first.lock());
        QVERIFY(!first.expired()); // held by the record set alone

        qint64 expected = 2;
        for (; !glyphs.Eof(); glyphs.MoveNext())
            QCOMPARE(glyphs.fieldInt(u"id"_qs), expected++);
        QCOMPARE(expected, 41);
        QVERIFY(glyphs.error().isEmpty());
        glyphs = RecordSet();
        QVERIFY(first.expired());
    }

    void readingLeavesFileUntouched()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(someRows()));
        const QByteArray before = fileDigest(folder.databasePath());
        const QDateTime modified = QFileInfo(folder.databasePath()).lastModified();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(ConnectDatabase());
            for (const Statement& statement :
                 {Statement::configSettings(), Statement::configAbout(), Statement::keyboardByInput(u"a'"_qs),
                  Statement::dictionaryByScript(u"ψ"_qs), Statement::dictionaryByTranslit({}),
                  Statement::dictionaryByPlain(u"m"_qs), Statement::dictionaryById(1), Statement::glyphsInOrder()}) {
                for (RecordSet rows = SharedDatabase()->OpenRecordset(statement); !rows.Eof(); rows.MoveNext())
                    rows.Fields(u"id"_qs);
            }
        }
        SharedDatabase().reset();
        QCOMPARE(fileDigest(folder.databasePath()), before);
        QCOMPARE(QFileInfo(folder.databasePath()).lastModified(), modified);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"orvane.mdb"_qs});
    }

    // Every activation reconnects: many reconnections in a row must all succeed and release
    // the connections they replace. The time they take goes into the log, not into a verdict.
    void repeatedReconnectsSucceed()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(someRows()));
        QVERIFY(ConnectDatabase()); // derives and caches the key for this salt
        const std::weak_ptr<Database> first = SharedDatabase();
        constexpr int Rounds = 200;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Rounds; ++i)
            QVERIFY(ConnectDatabase());
        qDebug("ConnectDatabase with a cached key: %.3f ms", double(timer.nsecsElapsed()) / Rounds / 1e6);
        QVERIFY(first.expired());
    }
};

QTEST_APPLESS_MAIN(TestDataConnect)
#include "test_data_connect.moc"
