// Writing a database: all or nothing under the target name, keys and plain files.
#include "FixtureDatabase.h"
#include "TestFiles.h"
#include "data/Database.h"
#include "data/Mainmode.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace orvane::data;
using orvane::testing::entry;

namespace {

using orvane::testing::readFile;
using orvane::testing::writeFile;

} // namespace

class TestDataWriter final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    QString target() const { return m_folder.filePath(u"orvane.mdb"_qs); }
    QStringList folderFiles() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        for (const QString& name : folderFiles())
            QVERIFY(QFile::remove(m_folder.filePath(name)));
    }

    void commitReplacesTargetInOneStep()
    {
        QVERIFY(writeFile(target(), "previous file"));
        {
            DatabaseWriter writer(target(), {});
            QVERIFY2(writer.isOpen(), qPrintable(writer.error()));
            QVERIFY(writer.addEntry(entry(1, u"ψ"_qs, u"ps"_qs, u"ps"_qs)));
            QCOMPARE(readFile(target()), QByteArray("previous file")); // untouched until commit
            QVERIFY2(writer.commit(), qPrintable(writer.error()));
        }
        QCOMPARE(folderFiles(), QStringList{u"orvane.mdb"_qs});
        QVERIFY(QFile::permissions(target()).testFlags(QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                       QFileDevice::ReadOther));
        const DatabaseHandle database = Database::open(target(), QString::fromLatin1(DatabasePassword));
        QVERIFY(database);
        QCOMPARE(database->OpenRecordset(Statement::dictionaryById(1)).Fields(u"m1"_qs), u"ψ"_qs);
    }

    void abandonedWriterLeavesNothing()
    {
        {
            DatabaseWriter writer(target(), {});
            QVERIFY(writer.isOpen());
            QVERIFY(writer.addEntry(entry(1, u"ψ"_qs, u"ps"_qs, u"ps"_qs)));
        }
        QVERIFY(folderFiles().isEmpty());
    }

    void failedCommitKeepsPreviousTarget()
    {
        QVERIFY(writeFile(target(), "previous file"));
        {
            DatabaseWriter writer(target(), {});
            // The key indexes cannot be made once their columns are gone.
            QVERIFY(writer.exec(u"DROP TABLE tbl_dictionary; CREATE TABLE tbl_dictionary (id, m1)"_qs));
            QVERIFY(!writer.commit());
            QVERIFY(!writer.error().isEmpty());
        }
        QCOMPARE(readFile(target()), QByteArray("previous file"));
        QCOMPARE(folderFiles(), QStringList{u"orvane.mdb"_qs});
    }

    void unwritableFolderIsReported()
    {
        DatabaseWriter writer(m_folder.filePath(u"no/such/folder/orvane.mdb"_qs), {});
        QVERIFY(!writer.isOpen());
        QVERIFY(!writer.error().isEmpty());
        QVERIFY(!writer.addEntry(entry(1, u"ψ"_qs, u"ps"_qs, u"ps"_qs)));
        QVERIFY(!writer.commit());
    }

    void badRowIsReported()
    {
        DatabaseWriter writer(target(), {});
        QVERIFY(writer.addEntry(entry(1, u"ψ"_qs, u"ps"_qs, u"ps"_qs)));
        QVERIFY(!writer.addEntry(entry(1, u"χ"_qs, u"ch"_qs, u"ch"_qs))); // id is unique
        QVERIFY(writer.error().contains(u"UNIQUE"_qs, Qt::CaseInsensitive));
    }

    void plainFileIsAnOrdinaryDatabase()
    {
        DatabaseWriter writer(target(), {false, {}, false});
        QVERIFY(writer.addEntry(entry(1, u"ψ"_qs, u"ps"_qs, u"ps"_qs)));
        QVERIFY(writer.commit());
        QVERIFY(readFile(target()).startsWith(QByteArray("SQLite format 3", 16)));
        QVERIFY(!Database::open(target(), QString::fromLatin1(DatabasePassword)));
    }

    void encryptedFileShowsNoText()
    {
        DatabaseWriter writer(target(), {});
        QVERIFY(writer.addEntry(entry(1, u"needle"_qs, u"needle"_qs, u"needle"_qs, u"needle"_qs)));
        QVERIFY(writer.commit());
        const QByteArray bytes = readFile(target());
        QVERIFY(!bytes.isEmpty());
        QVERIFY(!bytes.contains("needle"));
        QVERIFY(!bytes.contains("SQLite format 3"));
    }

    void keyColumnsHoldSearchKeys()
    {
        DatabaseWriter writer(target(), {});
        QVERIFY(writer.addEntry(entry(1, u"ΣΟΦΌΣ"_qs, u"Straße"_qs, std::nullopt)));
        QVERIFY(writer.commit());
        const DatabaseHandle database = Database::open(target(), QString::fromLatin1(DatabasePassword));
        QVERIFY(database && database->hasDictionaryKeys());
        const Statement keys{u"tbl_dictionary"_qs, {u"k1"_qs, u"k2"_qs, u"k3"_qs, u"s2"_qs}, std::nullopt, {}};
        RecordSet row = database->OpenRecordset(keys);
        QCOMPARE(row.Fields(u"k1"_qs), u"σοφόσ"_qs);
        QCOMPARE(row.Fields(u"k2"_qs), u"strasse"_qs);
        QCOMPARE(row.Fields(u"k3"_qs), std::nullopt);
        QVERIFY(row.Fields(u"s2"_qs)->endsWith(u"Straße"_qs)); // sort key, then the text itself
    }

    void sortKeysOrderLikeCollation()
    {
        const QStringList ordered{u"ábaco"_qs, u"abc"_qs, u"Ábc"_qs, u"abd"_qs, u"σασ"_qs, u"σας"_qs, u"ΣΑΣ"_qs};
        for (qsizetype i = 1; i < ordered.size(); ++i) {
            QVERIFY2(schema::sortKey(ordered[i - 1]) < schema::sortKey(ordered[i]), qPrintable(ordered[i]));
        }
        // Canonically equivalent texts collate alike; the code point tail still tells them apart.
        QVERIFY(schema::sortKey(u"e\u0301"_qs) != schema::sortKey(u"é"_qs));
    }
};

QTEST_APPLESS_MAIN(TestDataWriter)
#include "test_data_writer.moc"
