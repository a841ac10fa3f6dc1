// Walking a record set: counts, rewinding, field values, and damaged files that must
// end a walk with an error rather than a crash.
#include "FixtureDatabase.h"
#include "data/Database.h"
#include "data/Mainmode.h"

#include <QFile>
#include <QTest>

using namespace orvane::data;
using orvane::testing::entry;
using orvane::testing::FixtureFolder;
using orvane::testing::FixtureRows;

namespace {

const QString Id = QStringLiteral("id");
const QString Glyph = QStringLiteral("glyph");

FixtureRows glyphRows(int count)
{
    FixtureRows rows;
    for (int id = 1; id <= count; ++id)
        rows.glyphs.emplace_back(id, QString(QChar(0x3B0 + id)));
    return rows;
}

} // namespace

class TestDataRecordSet final : public QObject
{
    Q_OBJECT

    Database& open(const FixtureFolder& folder)
    {
        m_database = Database::open(folder.databasePath(), QString::fromLatin1(DatabasePassword));
        if (!m_database)
            qFatal("fixture database does not open");
        return *m_database;
    }

    DatabaseHandle m_database;

private slots:
    void cleanup() { m_database.reset(); }

    void countsAndWalks()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(glyphRows(3)));
        Database& database = open(folder);

        RecordSet none = database.OpenRecordset(Statement::dictionaryById(1));
        QVERIFY(none.isOpen());
        QCOMPARE(none.RecordCount(), 0);
        QVERIFY(none.Eof());
        none.MoveNext(); // harmless past the end
        QVERIFY(none.Eof());
        QCOMPARE(none.Fields(Glyph), std::nullopt);

        RecordSet three = database.OpenRecordset(Statement::glyphsInOrder());
        QVERIFY(three.RecordCount() >= 1);
        three.MoveFirst();
        QList<qint64> ids;
        for (; !three.Eof(); three.MoveNext())
            ids << three.fieldInt(Id);
        QCOMPARE(ids, (QList<qint64>{1, 2, 3}));
        QVERIFY(three.error().isEmpty());
    }

    void moveFirstRewinds()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(glyphRows(3)));
        RecordSet glyphs = open(folder).OpenRecordset(Statement::glyphsInOrder());
        glyphs.MoveFirst(); // before any MoveNext: stays on the first row
        QCOMPARE(glyphs.fieldInt(Id), 1);
        glyphs.MoveNext();
        glyphs.MoveNext();
        QCOMPARE(glyphs.fieldInt(Id), 3);
        glyphs.MoveFirst();
        QCOMPARE(glyphs.fieldInt(Id), 1);
        glyphs.MoveNext();
        QCOMPARE(glyphs.fieldInt(Id), 2);
    }

    void movingTransfersThePosition()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(glyphRows(3)));
        RecordSet first = open(folder).OpenRecordset(Statement::glyphsInOrder());
        first.MoveNext();
        RecordSet second = std::move(first);
        QCOMPARE(second.fieldInt(Id), 2);
        QVERIFY(!first.isOpen()); // NOLINT(bugprone-use-after-move): a moved-from record set is closed
        QVERIFY(first.Eof());
        QCOMPARE(RecordSet().Fields(Id), std::nullopt);
        QVERIFY(!RecordSet().error().isEmpty());
    }

    void valuesReadAsText_data()
    {
        QTest::addColumn<QString>("sqlValue");
        QTest::addColumn<QString>("column");
        QTest::addColumn<std::optional<QString>>("text");
        const auto row = [](const char* name, const char16_t* value, const char16_t* column,
                            std::optional<QString> text) {
            QTest::newRow(name) << QString::fromUtf16(value) << QString::fromUtf16(column) << text;
        };
        row("number", u"42", u"fsz1", u"42"_qs);
        row("negative number", u"-7", u"fsz1", u"-7"_qs);
        row("fraction", u"9.75", u"fsz1", u"9.75"_qs);
        row("whole fraction", u"12.0", u"fsz1", u"12"_qs);
        row("short decimal", u"0.1", u"fsz1", u"0.1"_qs);
        row("null number", u"NULL", u"fsz1", std::nullopt);
        row("null text", u"NULL", u"fnt1", std::nullopt);
        row("empty text", u"''", u"fnt1", QString());
        row("line breaks kept", u"'a' || char(13, 10) || 'b'", u"fnt1", u"a\r\nb"_qs);
        row("astral text", u"'𝔸'", u"fnt1", u"𝔸"_qs);
        row("apostrophe", u"'d''accord'", u"fnt1", u"d'accord"_qs);
    }
    void valuesReadAsText()
    {
        QFETCH(QString, sqlValue);
        QFETCH(QString, column);
        QFETCH(std::optional<QString>, text);
        FixtureFolder folder;
        FixtureRows rows;
        rows.extraSql << u"INSERT INTO tbl_config (name, %1) VALUES ('x', %2)"_qs.arg(column, sqlValue);
        QVERIFY(folder.write(rows));
        RecordSet row = open(folder).OpenRecordset(Statement::configSettings());
        QVERIFY(!row.Eof());
        QCOMPARE(row.Fields(column), text);
        QVERIFY(row.error().isEmpty());
    }

    void idsReadAsNumbers()
    {
        FixtureFolder folder;
        FixtureRows rows;
        rows.extraSql << u"INSERT INTO tbl_glyph (id) VALUES (9007199254740993), (-7), (NULL)"_qs;
        QVERIFY(folder.write(rows));
        RecordSet glyphs = open(folder).OpenRecordset(Statement::glyphsInOrder());
        QList<qint64> ids;
        QStringList texts;
        for (; !glyphs.Eof(); glyphs.MoveNext()) {
            ids << glyphs.fieldInt(Id);
            texts << glyphs.Fields(Id).value_or(u"<null>"_qs);
        }
        QCOMPARE(ids, (QList<qint64>{0, -7, 9007199254740993}));
        QCOMPARE(texts, (QStringList{u"<null>"_qs, u"-7"_qs, u"9007199254740993"_qs}));
    }

    void unknownColumnIsNullWithError()
    {
        FixtureFolder folder;
        QVERIFY(folder.write(glyphRows(1)));
        RecordSet row = open(folder).OpenRecordset(Statement::glyphsInOrder());
        QVERIFY(!row.hasField(u"meanings"_qs));
        QVERIFY(row.error().isEmpty());
        QCOMPARE(row.Fields(u"meanings"_qs), std::nullopt);
        QVERIFY(row.error().contains(u"meanings"_qs));
        QVERIFY(row.hasField(u"GLYPH"_qs));
    }

    void missingTableFailsToOpen()
    {
        FixtureFolder folder;
        FixtureRows rows;
        rows.extraSql << u"DROP TABLE tbl_keyboard"_qs;
        QVERIFY(folder.write(rows, {false, {}, true}));
        RecordSet keys = open(folder).OpenRecordset(Statement::keyboardByInput(u"a'"_qs));
        QVERIFY(!keys.isOpen());
        QVERIFY(keys.Eof());
        QCOMPARE(keys.RecordCount(), 0);
        QVERIFY(keys.error().contains(u"tbl_keyboard"_qs));
    }

    // A damaged file may still open (its first page is whole); every walk must then end,
    // and the damage must show as an error, never as a crash or as a clean end.
    void damagedFileEndsWalksWithError_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("truncated") << u"truncated"_qs;
        QTest::newRow("garbage in the middle") << u"garbage"_qs;
        QTest::newRow("zeroed pages") << u"zeroed"_qs;
    }
    void damagedFileEndsWalksWithError()
    {
        QFETCH(QString, damage);
        FixtureFolder folder;
        FixtureRows rows = glyphRows(50);
        for (int id = 1; id <= 3000; ++id)
            rows.entries.push_back(entry(id, u"λέξη%1"_qs.arg(id), u"léxi%1"_qs.arg(id), u"lexi%1"_qs.arg(id),
                                         u"meaning %1 "_qs.arg(id).repeated(20)));
        QVERIFY(folder.write(rows));
        {
            QFile file(folder.databasePath());
            QVERIFY(file.open(QIODevice::ReadWrite));
            const qint64 size = file.size();
            if (damage == u"truncated") {
                QVERIFY(file.resize(size / 2 / 4096 * 4096));
            } else {
                QVERIFY(file.seek(size / 3));
                QByteArray bytes(int(size / 3), '\0');
                if (damage == u"garbage") {
                    for (qsizetype i = 0; i < bytes.size(); ++i)
                        bytes[i] = char((i * 7919) % 251);
                }
                QCOMPARE(file.write(bytes), qint64(bytes.size()));
            }
        }
        QString error;
        DatabaseHandle database = Database::open(folder.databasePath(), QString::fromLatin1(DatabasePassword), &error);
        if (!database) {
            // Refusing the file at once (the engine checks its size against its header) is as good.
            QVERIFY(!error.isEmpty());
            return;
        }
        QStringList errors;
        for (const Statement& statement :
             {Statement::dictionaryByTranslit({}), Statement::dictionaryByScript(u"*2"_qs),
              Statement::dictionaryByPlain(u"lexi1"_qs), Statement::dictionaryById(1500),
              Statement::dictionaryById(2900), Statement::glyphsInOrder(), Statement::configSettings()}) {
            RecordSet walk = database->OpenRecordset(statement);
            int steps = 0;
            for (; !walk.Eof() && steps <= 3000; walk.MoveNext())
                walk.Fields(u"m2"_qs), ++steps;
            QVERIFY(walk.Eof());
            if (!walk.error().isEmpty())
                errors << walk.error();
        }
        QVERIFY2(!errors.isEmpty(), "the damage went unnoticed");
    }
};

QTEST_APPLESS_MAIN(TestDataRecordSet)
#include "test_data_recordset.moc"
