// The eight statements on the same rows with and without the key columns: every search
// must give the same rows in the same order both ways.
#include "FixtureDatabase.h"
#include "core/data/Database.h"
#include "core/data/Mainmode.h"
#include "core/data/PatternMatcher.h"
#include "core/data/UnicodeText.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <functional>

using namespace orvane::data;
using orvane::testing::entry;
using orvane::testing::FixtureRows;
using orvane::testing::writeFixtureDatabase;

namespace {

using IdList = QList<qint64>;
using Search = Statement (*)(const QString&);

FixtureRows fixtureRows()
{
    FixtureRows rows;
    rows.entries = {
        entry(1, u"ψυχή"_qs, u"psychḗ"_qs, u"psyche"_qs, u"soul\r\nmind"_qs),
        entry(2, u"μανία"_qs, u"manía"_qs, u"mania"_qs),
        entry(3, u"Μανία"_qs, u"Manía"_qs, u"mania"_qs),
        entry(4, u"ψυχολογία"_qs, u"psychología"_qs, u"psychologia"_qs, u"psychology"_qs),
        entry(5, u"σοφός"_qs, u"sophós"_qs, u"sophos"_qs),
        entry(6, u"δ"_qs, u"d'accord"_qs, u"d'accord"_qs),
        entry(7, u"δδ"_qs, u"dabc"_qs, u"dabc"_qs),
        entry(8, std::nullopt, u"50% off"_qs, u"50 off"_qs),
        entry(9, u"ε"_qs, u"500"_qs, u"500"_qs),
        entry(10, u"ζ"_qs, u"a_b"_qs, u"a_b"_qs),
        entry(11, u"η"_qs, u"axb"_qs, u"axb"_qs),
        entry(12, u"θ"_qs, u"\"quoted\""_qs, u"quoted"_qs),
        entry(13, u"ι"_qs, std::nullopt, u"orphan"_qs),
        entry(14, u"κ"_qs, QString(), QString()),
        entry(15, u"λ"_qs, u"[ab"_qs, u"ab"_qs),
        entry(16, u"μ"_qs, u"Straße"_qs, u"Strasse"_qs),
        entry(17, u"ν"_qs, u"manía"_qs, u"mania"_qs),
        entry(18, std::nullopt, std::nullopt, std::nullopt, u"nothing to find"_qs),
        entry(19, std::nullopt, u"x\xD800y"_qs, u"x\xD800y"_qs), // a lone surrogate: stored as U+FFFD
        entry(20, std::nullopt, u"xay"_qs, u"xay"_qs),
    };
    rows.keys = {{u"a'"_qs, u"á"_qs}, {u"A'"_qs, u"Á"_qs}, {u"e'"_qs, u"é"_qs},
                 {u"e'"_qs, u"ê"_qs}, {u"'"_qs, u"ʼ"_qs},  {u"o\""_qs, u"ő"_qs}};
    rows.glyphs = {{10, u"κ"_qs}, {9, u"ι"_qs}, {100, u"ω"_qs}, {1, u"α"_qs}, {-5, std::nullopt}};
    rows.configs = {
        {.about = u"first about"_qs},
        {.name = QString(), .about = QString()},
        {.name = u"Orvane"_qs, .fnt1 = u"DejaVu Sans"_qs, .fsz1 = 9.75},
        {.name = u"Second"_qs, .about = u"last about"_qs},
    };
    return rows;
}

IdList idsOf(RecordSet rows)
{
    IdList ids;
    for (; !rows.Eof(); rows.MoveNext())
        ids << rows.fieldInt(u"id"_qs);
    return ids;
}

QStringList valuesOf(RecordSet rows, const QString& column)
{
    QStringList values;
    for (; !rows.Eof(); rows.MoveNext())
        values << rows.Fields(column).value_or(u"<null>"_qs);
    return values;
}

} // namespace

Q_DECLARE_METATYPE(Search)
Q_DECLARE_METATYPE(orvane::data::Statement)

class TestDataStatements final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    DatabaseHandle m_withKeys, m_withoutKeys;

    // The database of the current global data row.
    Database& database()
    {
        QFETCH_GLOBAL(bool, withKeys);
        return withKeys ? *m_withKeys : *m_withoutKeys;
    }

    static DatabaseHandle writeAndOpen(const QString& path, const FixtureRows& rows, bool withKeys)
    {
        QString error;
        if (!writeFixtureDatabase(path, rows, {withKeys, {}, true}, &error))
            qFatal("fixture not written: %s", qPrintable(error));
        return Database::open(path, QString::fromLatin1(DatabasePassword));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_withKeys = writeAndOpen(m_folder.filePath(u"keys.mdb"_qs), fixtureRows(), true);
        m_withoutKeys = writeAndOpen(m_folder.filePath(u"plain.mdb"_qs), fixtureRows(), false);
        QVERIFY(m_withKeys && m_withoutKeys);
    }

    void initTestCase_data()
    {
        QTest::addColumn<bool>("withKeys");
        QTest::newRow("with keys") << true;
        QTest::newRow("without keys") << false;
    }

    void keyColumnsDetected()
    {
        QFETCH_GLOBAL(bool, withKeys);
        QCOMPARE(database().hasDictionaryKeys(), withKeys);
    }

    void dictionarySearches_data()
    {
        QTest::addColumn<Search>("search");
        QTest::addColumn<QString>("value");
        QTest::addColumn<IdList>("expected");
        const Search script = Statement::dictionaryByScript;
        const Search translit = Statement::dictionaryByTranslit;
        const Search plain = Statement::dictionaryByPlain;
        // Every non-null m2 in collation order: empty, punctuation, digits, letters; equal
        // texts by id; lower case before upper case.
        const IdList allByM2{14, 12, 15, 8, 9, 10, 11, 6, 7, 2, 17, 3, 1, 4, 5, 16, 20, 19};
        QTest::newRow("translit prefix") << translit << u"psy"_qs << IdList{1, 4};
        QTest::newRow("translit prefix any case") << translit << u"PSY"_qs << IdList{1, 4};
        QTest::newRow("translit question mark") << translit << u"ps?ch"_qs << IdList{1, 4};
        QTest::newRow("translit leading star") << translit << u"*ía"_qs << IdList{2, 17, 3, 4};
        QTest::newRow("translit accents count") << translit << u"mania"_qs << IdList{};
        QTest::newRow("translit duplicates all come") << translit << u"maní"_qs << IdList{2, 17, 3};
        QTest::newRow("translit apostrophe") << translit << u"d'"_qs << IdList{6};
        QTest::newRow("translit percent is plain") << translit << u"50%"_qs << IdList{8};
        QTest::newRow("translit underscore is plain") << translit << u"a_"_qs << IdList{10};
        QTest::newRow("translit double quote") << translit << u"\"q"_qs << IdList{12};
        QTest::newRow("translit unclosed class") << translit << u"[ab"_qs << IdList{15};
        QTest::newRow("translit sharp s") << translit << u"STRASS"_qs << IdList{16};
        QTest::newRow("translit no hit") << translit << u"zzz"_qs << IdList{};
        QTest::newRow("translit everything") << translit << QString() << allByM2;
        QTest::newRow("translit leading spaces kept") << translit << u"  psy"_qs << IdList{};
        QTest::newRow("translit lone surrogate is no wildcard") << translit << u"x\xD800"_qs << IdList{19};
        QTest::newRow("translit replacement character") << translit << u"x\uFFFDy"_qs << IdList{19};
        QTest::newRow("translit question mark takes it") << translit << u"x?y"_qs << IdList{20, 19};
        QTest::newRow("plain listed by m2") << plain << u"mania"_qs << IdList{2, 17, 3};
        QTest::newRow("plain with null m2") << plain << u"orph"_qs << IdList{13};
        QTest::newRow("plain everything") << plain << QString() << (IdList{13} + allByM2);
        QTest::newRow("script everything")
            << script << QString() << IdList{6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 2, 3, 17, 5, 1, 4};
        QTest::newRow("script capitals") << script << u"ΨΥΧ"_qs << IdList{1, 4};
        QTest::newRow("script capital and final sigma") << script << u"ΣΟΦΌΣ"_qs << IdList{5};
        QTest::newRow("script prefix is whole word") << script << u"μ"_qs << IdList{16, 2, 3};
        QTest::newRow("script question mark") << script << u"σοφ?ς"_qs << IdList{5};
        QTest::newRow("script leading star") << script << u"*ία"_qs << IdList{2, 3, 4};
        QTest::newRow("script digit") << script << u"#"_qs << IdList{};
    }
    void dictionarySearches()
    {
        QFETCH(Search, search);
        QFETCH(QString, value);
        QFETCH(IdList, expected);
        RecordSet rows = database().OpenRecordset(search(value));
        QVERIFY2(rows.isOpen(), qPrintable(rows.error()));
        QCOMPARE(rows.RecordCount() != 0, !expected.isEmpty());
        QCOMPARE(idsOf(std::move(rows)), expected);
    }

    // Listing must not drag the meanings along: only the id and the listed column come back.
    void searchesSelectOnlyListedColumn()
    {
        RecordSet rows = database().OpenRecordset(Statement::dictionaryByPlain(u"mania"_qs));
        QVERIFY(rows.hasField(u"id"_qs));
        QVERIFY(rows.hasField(u"m2"_qs));
        QVERIFY(!rows.hasField(u"meanings"_qs));
        QVERIFY(!rows.hasField(u"m3"_qs));
        QCOMPARE(valuesOf(std::move(rows), u"m2"_qs), (QStringList{u"manía"_qs, u"manía"_qs, u"Manía"_qs}));
        QCOMPARE(valuesOf(database().OpenRecordset(Statement::dictionaryByScript(u"ψ"_qs)), u"m1"_qs),
                 (QStringList{u"ψυχή"_qs, u"ψυχολογία"_qs}));
    }

    void textOrderIsCollationThenCodePoint()
    {
        FixtureRows rows;
        const QStringList ordered{u"10"_qs,  u"9"_qs,     u"ábaco"_qs,  u"abc"_qs,   u"Ábc"_qs,
                                  u"abd"_qs, u"apple"_qs, u"éclair"_qs, u"Zebra"_qs, u"σαρ"_qs,
                                  u"σασ"_qs, u"σας"_qs,   u"ΣΑΣ"_qs,    u"σατ"_qs,   u"яблоко"_qs};
        // Written in reverse so that no order of insertion can pass for the right one.
        for (qsizetype i = ordered.size() - 1; i >= 0; --i)
            rows.entries.push_back(entry(100 - i, ordered[i], ordered[i], ordered[i]));
        QFETCH_GLOBAL(bool, withKeys);
        const DatabaseHandle ordering =
            writeAndOpen(m_folder.filePath(u"order%1.mdb"_qs.arg(withKeys)), rows, withKeys);
        QVERIFY(ordering);
        QCOMPARE(valuesOf(ordering->OpenRecordset(Statement::dictionaryByTranslit({})), u"m2"_qs), ordered);
        QCOMPARE(valuesOf(ordering->OpenRecordset(Statement::dictionaryByScript({})), u"m1"_qs), ordered);
    }

    void entryById()
    {
        RecordSet row = database().OpenRecordset(Statement::dictionaryById(1));
        QCOMPARE(row.RecordCount(), 1);
        QCOMPARE(row.Fields(u"m1"_qs), u"ψυχή"_qs);
        QCOMPARE(row.Fields(u"m2"_qs), u"psychḗ"_qs);
        QCOMPARE(row.Fields(u"meanings"_qs), u"soul\r\nmind"_qs); // stored line breaks come back as written
        QCOMPARE(row.Fields(u"id"_qs), u"1"_qs);
        row.MoveNext();
        QVERIFY(row.Eof());
        row = database().OpenRecordset(Statement::dictionaryById(19));
        QCOMPARE(row.Fields(u"m2"_qs), u"x\uFFFDy"_qs);
        row.MoveNext();
        QVERIFY(row.Eof());

        RecordSet empty = database().OpenRecordset(Statement::dictionaryById(18));
        QVERIFY(empty.hasField(u"m1"_qs));
        QCOMPARE(empty.Fields(u"m1"_qs), std::nullopt);
        QCOMPARE(empty.Fields(u"meanings"_qs), u"nothing to find"_qs);

        RecordSet missing = database().OpenRecordset(Statement::dictionaryById(999));
        QVERIFY(missing.isOpen());
        QCOMPARE(missing.RecordCount(), 0);
        QVERIFY(missing.Eof());
    }

    void keyboardIsExactAndCaseSensitive_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("displays");
        QTest::newRow("lower") << u"a'"_qs << QStringList{u"á"_qs};
        QTest::newRow("upper") << u"A'"_qs << QStringList{u"Á"_qs};
        QTest::newRow("duplicates in table order") << u"e'"_qs << QStringList{u"é"_qs, u"ê"_qs};
        QTest::newRow("apostrophe alone") << u"'"_qs << QStringList{u"ʼ"_qs};
        QTest::newRow("double quote") << u"o\""_qs << QStringList{u"ő"_qs};
        QTest::newRow("no prefix match") << u"a"_qs << QStringList{};
        QTest::newRow("no pattern characters") << u"?'"_qs << QStringList{};
        QTest::newRow("no trimming") << u" a'"_qs << QStringList{};
        QTest::newRow("no folding") << u"E'"_qs << QStringList{};
    }
    void keyboardIsExactAndCaseSensitive()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, displays);
        QCOMPARE(valuesOf(database().OpenRecordset(Statement::keyboardByInput(input)), u"display"_qs), displays);
    }

    void configRowsNeedNonEmptyValue()
    {
        QCOMPARE(valuesOf(database().OpenRecordset(Statement::configSettings()), u"name"_qs),
                 (QStringList{u"Orvane"_qs, u"Second"_qs}));
        QCOMPARE(valuesOf(database().OpenRecordset(Statement::configAbout()), u"about"_qs),
                 (QStringList{u"first about"_qs, u"last about"_qs}));
        RecordSet settings = database().OpenRecordset(Statement::configSettings());
        QCOMPARE(settings.Fields(u"fsz1"_qs), u"9.75"_qs);
        QCOMPARE(settings.Fields(u"FNT1"_qs), u"DejaVu Sans"_qs); // column names ignore case, as in SQL
        QCOMPARE(settings.Fields(u"fsz2"_qs), std::nullopt);
    }

    void glyphsByNumericId()
    {
        RecordSet glyphs = database().OpenRecordset(Statement::glyphsInOrder());
        QCOMPARE(valuesOf(std::move(glyphs), u"id"_qs), (QStringList{u"-5"_qs, u"1"_qs, u"9"_qs, u"10"_qs, u"100"_qs}));
        QCOMPARE(valuesOf(database().OpenRecordset(Statement::glyphsInOrder()), u"glyph"_qs),
                 (QStringList{u"<null>"_qs, u"α"_qs, u"ι"_qs, u"κ"_qs, u"ω"_qs}));
    }

    // Both ways of searching against a search done by hand, over many generated rows
    // and patterns: the index range bounds, the key matcher and the orders must agree.
    void generatedRowsAgreeWithBruteForce()
    {
        QFETCH_GLOBAL(bool, withKeys);
        const QStringList pieces{u"a"_qs, u"á"_qs,  u"A"_qs, u"Á"_qs, u"b"_qs, u"σ"_qs, u"ς"_qs, u"Σ"_qs,
                                 u"ß"_qs, u"ss"_qs, u"S"_qs, u"e"_qs, u"é"_qs, u"'"_qs, u"_"_qs, u"%"_qs,
                                 u"1"_qs, u"ψ"_qs,  u"ή"_qs, u"Ή"_qs, u"𝔸"_qs, u"*"_qs, u"["_qs, u" "_qs};
        QRandomGenerator random(20261206);
        const auto randomText = [&]() -> std::optional<QString> {
            const int length = random.bounded(-1, 5);
            if (length < 0)
                return std::nullopt;
            QString text;
            for (int i = 0; i < length; ++i)
                text += pieces[random.bounded(int(pieces.size()))];
            return text;
        };
        FixtureRows rows;
        for (qint64 id = 1; id <= 600; ++id)
            rows.entries.push_back({id, randomText(), randomText(), randomText(), QString()});
        const DatabaseHandle generated =
            writeAndOpen(m_folder.filePath(u"generated%1.mdb"_qs.arg(withKeys)), rows, withKeys);
        QVERIFY(generated);

        struct Kind
        {
            Search search;
            std::optional<QString> DatabaseWriter::Entry::*matched;
            std::optional<QString> DatabaseWriter::Entry::*ordered;
        };
        using E = DatabaseWriter::Entry;
        const Kind kinds[] = {{Statement::dictionaryByScript, &E::m1, &E::m1},
                              {Statement::dictionaryByTranslit, &E::m2, &E::m2},
                              {Statement::dictionaryByPlain, &E::m3, &E::m2}};
        const QStringList values{{},         u"a"_qs,   u"A"_qs,   u"á"_qs,  u"σ"_qs,  u"ς"_qs,  u"ΣΣ"_qs,
                                 u"ss"_qs,   u"ß"_qs,   u"s?"_qs,  u"*a"_qs, u"?"_qs,  u"#"_qs,  u"[aá]"_qs,
                                 u"[!a]"_qs, u"a*b"_qs, u"'"_qs,   u"%"_qs,  u"_"_qs,  u"𝔸"_qs,  u"[a-c]b"_qs,
                                 u"["_qs,    u" "_qs,   u"[*]"_qs, u"*ή"_qs, u"ψή"_qs, u"é*é"_qs};
        for (const Kind& kind : kinds) {
            for (const QString& value : values) {
                const Statement statement = kind.search(value);
                const PatternMatcher matcher(statement.where->value);
                std::vector<const E*> hits;
                for (const E& row : rows.entries) {
                    if (row.*kind.matched && matcher.matches(*(row.*kind.matched)))
                        hits.push_back(&row);
                }
                std::stable_sort(hits.begin(), hits.end(), [&](const E* left, const E* right) {
                    const auto& a = left->*kind.ordered;
                    const auto& b = right->*kind.ordered;
                    if (!a || !b)
                        return !a && b; // nulls first
                    return unicode::compareCollated(*a, *b) < 0;
                });
                IdList expected;
                for (const E* hit : hits)
                    expected << hit->id;
                RecordSet found = generated->OpenRecordset(statement);
                QVERIFY2(found.isOpen(), qPrintable(found.error()));
                const IdList actual = idsOf(std::move(found));
                if (actual != expected)
                    qWarning("%s", qPrintable(statement.displaySql()));
                QCOMPARE(actual, expected);
            }
        }
    }

    void displaySqlIsClassicText_data()
    {
        QTest::addColumn<Statement>("statement");
        QTest::addColumn<QString>("sql");
        QTest::newRow("settings") << Statement::configSettings() << u"select * from tbl_config where name <> ''"_qs;
        QTest::newRow("about") << Statement::configAbout() << u"select * from tbl_config where about <> ''"_qs;
        QTest::newRow("keyboard") << Statement::keyboardByInput(u"a'"_qs)
                                  << u"select * from tbl_keyboard where input='a''"_qs;
        QTest::newRow("script") << Statement::dictionaryByScript(u"ψυ"_qs)
                                << u"select * from tbl_dictionary where m1 like 'ψυ*' order by m1"_qs;
        QTest::newRow("translit") << Statement::dictionaryByTranslit(u"psy"_qs)
                                  << u"select * from tbl_dictionary where m2 like 'psy*' order by m2"_qs;
        QTest::newRow("plain") << Statement::dictionaryByPlain(u"psy"_qs)
                               << u"select * from tbl_dictionary where m3 like 'psy*' order by m2"_qs;
        QTest::newRow("by id") << Statement::dictionaryById(42) << u"select * from tbl_dictionary where id =42"_qs;
        QTest::newRow("glyphs") << Statement::glyphsInOrder() << u"select * from tbl_glyph order by id"_qs;
    }
    void displaySqlIsClassicText()
    {
        QFETCH(Statement, statement);
        QFETCH(QString, sql);
        QCOMPARE(statement.displaySql(), sql);
    }

    void unsafeNamesAreRefused()
    {
        Statement statement = Statement::glyphsInOrder();
        statement.orderBy = u"id; DROP TABLE tbl_glyph"_qs;
        RecordSet refused = database().OpenRecordset(statement);
        QVERIFY(!refused.isOpen());
        QVERIFY(refused.Eof());
        QVERIFY(!refused.error().isEmpty());
        QVERIFY(!database().OpenRecordset(Statement::glyphsInOrder()).Eof());
    }
};

QTEST_APPLESS_MAIN(TestDataStatements)
#include "test_data_statements.moc"
