// The dictionary's rules without a window, and the session that holds the connection.
#include "FixtureDatabase.h"
#include "TableRows.h"
#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/KeyInput.h"
#include "core/dictionary/Lookup.h"
#include "core/dictionary/ResultListModel.h"
#include "core/dictionary/Search.h"

#include <QSignalSpy>

using namespace orvane::core::data;
using namespace orvane::core::dictionary;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

FixtureRows dictionaryRows()
{
    return {.entries = {entry(1, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s),
                        entry(2, u"ψυχρός"_s, u"psychrós"_s, u"psychros"_s, u"cold\r\nchilly"_s),
                        entry(3, u"λόγος"_s, u"  lógos"_s, u"  logos"_s, std::nullopt),
                        entry(4, std::nullopt, u"o'clock"_s, u"o'clock"_s, u"clock"_s),
                        entry(5, u"\tταφ"_s, u"zeta"_s, u"ateZ"_s, u"z"_s)},
            // clang-format off
            .keys = {{u"e-"_s, u"ē"_s}, {u"ē'"_s, u"ḗ"_s}, {u"A'"_s, u"Á"_s}, {u"x"_s, u"ξ"_s}, {u""_s, u"(blank)"_s},
                     {u"o-"_s, u"first"_s}, {u"o-"_s, u"ō"_s}, {u"n-"_s, u"ñ"_s}, {u"n-"_s, u""_s},
                     {u"m-"_s, std::nullopt}, {u"zz"_s, u"zzz"_s}, {u"pq"_s, u"qp"_s}, {u"qp"_s, u"pq"_s},
                     {u"abc"_s, u"x"_s}, {u" b"_s, u"y"_s}}};
    // clang-format on
}

QString describe(const DisplayConfig& c)
{
    QStringList parts{c.configName, c.font1, c.font2, c.font3, c.font4, c.font5};
    for (const double size : {c.size1, c.size2, c.size3, c.size4, c.size5})
        parts << QString::number(size);
    return parts.join(u'|');
}

const DisplayConfig OldSettings{u"old"_s, u"f1"_s, u"f2"_s, u"f3"_s, u"f4"_s, u"f5"_s, 1, 2, 3, 4, 5};

using TextCase = std::tuple<const char*, QString, QString>;                      // given, expected
using SearchCase = std::tuple<const char*, const SearchKind*, QString, QString>; // the box, the rows as "id:term …"
using LookupCase = std::tuple<const char*, QString, QString, const SearchKind*>; // given, looked up, its search
using EntryCase = std::tuple<const char*, qint64, SearchMode, QString>;
using SettingsCase = std::tuple<const char*, std::vector<DatabaseWriter::Config>, QStringList, QString>; // SQL after

} // namespace

class TestDictionary final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    DatabaseHandle m_database;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.write(dictionaryRows()));
        m_database = m_folder.open();
        QVERIFY(m_database);
    }

    void searches_data()
    {
        const QString all = u"5:\tταφ 3:λόγος 1:ψυχή 2:ψυχρός"_s;
        const SearchCase cases[] = {
            {"native: trimmed, m1 by m1", &ScriptSearch, u"  ψυχ  "_s, u"1:ψυχή 2:ψυχρός"_s},
            {"native, empty: every m1 but null", &ScriptSearch, u""_s, all},
            {"native: a tab is no space", &ScriptSearch, u"\tταφ"_s, u"5:\tταφ"_s},
            {"translit: m2 by m2", &TranslitSearch, u"psych"_s, u"1:psychḗ 2:psychrós"_s},
            {"translit: leading spaces kept", &TranslitSearch, u"  l"_s, u"3:  lógos"_s},
            {"translit, blank: no search", &TranslitSearch, u"  "_s, u""_s},
            {"plain: matches m3, lists m2", &PlainSearch, u"a"_s, u"5:zeta"_s},
            {"plain, empty: no search", &PlainSearch, u""_s, u""_s},
        };
        addRows(cases);
    }

    void searches()
    {
        const auto& [name, kind, box, rows] = given<SearchCase>();
        const SearchResults results = runSearch(m_database, *kind, box);
        QStringList listed;
        for (qsizetype i = 0; i < results.size(); ++i)
            listed << u"%1:%2"_s.arg(results.id(i)).arg(results.term(i));
        QCOMPARE(listed.join(u' '), rows);
    }

    // A look-up from outside keeps one line of sane length; its letters choose the box.
    void lookups_data()
    {
        const QString as(MaxLookupLength - 1, u'a'), others = u"l’eau ٣ ʼ ps?ch* [a-z]"_s;
        const LookupCase cases[] = {
            {"white space around", u" \t\u00A0ψυχή \n"_s, u"ψυχή"_s, &ScriptSearch},
            {"the first line", u"\n\npsyche \r\nline two"_s, u"psyche"_s, &PlainSearch},
            {"up to a paragraph separator", u"ψυχή\u2029λόγος"_s, u"ψυχή"_s, &ScriptSearch},
            {"any letter beyond Latin", u"café ψ"_s, u"café ψ"_s, &ScriptSearch},
            {"beyond the BMP", u"\U00010330"_s, u"\U00010330"_s, &ScriptSearch},
            {"accents that compose", u"e\u0304\u0301"_s, u"e\u0304\u0301"_s, &TranslitSearch},
            {"an accent with no composed form", u"q\u0301"_s, u"q\u0301"_s, &TranslitSearch},
            {"marks, digits, patterns decide nothing", others, others, &PlainSearch},
            {"cut to length", as + u"bc"_s, as + u"b"_s, &PlainSearch},
            {"never half a character", as + u"\U0001D400"_s, as, &PlainSearch},
            {"blank", u" \n "_s, u""_s, &PlainSearch},
        };
        addRows(cases);
    }

    void lookups()
    {
        const auto& [name, text, lookedUp, kind] = given<LookupCase>();
        QCOMPARE(lookupText(text), lookedUp);
        QCOMPARE(&searchKindFor(lookedUp), kind);
    }

    // A typed letter finds the next row beginning with it.
    void theResultRows()
    {
        ResultListModel model;
        SearchResults words;
        for (const QString& term : {u"ζήτα"_s, u"Σίγμα"_s, u"αλφα"_s, u"σήμα"_s, u"Ζωή"_s})
            words.append(1, term);
        model.setRows(std::move(words));
        QStringList next; // for each letter: from no row, then from each row in turn
        for (const QString& typed : {u"ζ"_s, u"ς"_s, u"α"_s, u"ά"_s}) {
            next << QString();
            for (int current = -1; current < 5; ++current)
                next.back() += QString::number(model.nextRowStartingWith(typed, current));
        }
        QCOMPARE(next.join(u' '), u"044440 113311 222222 -1-1-1-1-1-1"_s);
    }

    void entries_data()
    {
        const QString rule = u"\r\n------------------------\r\n"_s;
        const EntryCase cases[] = {
            {"after a native search: m2", 1, SearchMode::NativeScript, u"psychḗ"_s + rule + u"soul"_s},
            {"after a Latin search: m1", 2, SearchMode::Latin, u"ψυχρός"_s + rule + u"cold\r\nchilly"_s},
            {"null meanings", 3, SearchMode::Latin, u"λόγος"_s + rule},
            {"null header", 4, SearchMode::Latin, rule + u"clock"_s},
        };
        addRows(cases);
    }

    void entries()
    {
        const auto& [name, id, mode, entry] = given<EntryCase>();
        QCOMPARE(composeEntry(m_database, id, mode), entry + u"\r\n\r\n"_s);
    }

    // As shown: a text box needs seconds to lay out megabytes, so a huge entry is cut.
    void entriesAsShown_data()
    {
        const QString full(MaxShownCharacters, u'x'), most = full.chopped(1);
        const TextCase cases[] = {
            {"line breaks", u"a\r\nb\r\n"_s, u"a\nb\n"_s},
            {"longest kept", full, full},
            {"longest with a line break", most + u"\r\n"_s, most + u"\n"_s},
            {"cut", full + u"y"_s, full + u"\n…"_s},
            {"cut before half a character", most + u"\U0001D400"_s, most + u"\n…"_s},
        };
        addRows(cases);
    }

    void entriesAsShown()
    {
        const auto& [name, composed, shown] = given<TextCase>();
        QCOMPARE(entryDisplayText(composed), shown);
    }

    // What the transliteration box shows after a change: the last two characters looked up, chained.
    void keys_data()
    {
        const int bound = KeyInput::MaxChainedReplacements;
        const TextCase cases[] = {
            {"one character: no look-up", u"x"_s, u"x"_s},
            {"found", u"ae-"_s, u"aē"_s},
            {"case matters", u"A'"_s, u"Á"_s},
            {"not found", u"a'"_s, u"a'"_s},
            {"only the last two", u"e-a"_s, u"e-a"_s},
            {"chained", u"ē'"_s, u"ḗ"_s},
            {"leading space trimmed", u"a x"_s, u"aξ"_s},
            {"two spaces: the empty input", u"a  "_s, u"a(blank)"_s},
            {"the last row wins", u"o-"_s, u"ō"_s},
            {"an empty last row", u"n-"_s, u"n-"_s},
            // Rows that lead back to a known sequence stop at the bound instead of hanging.
            {"growing without end", u"zz"_s, QString(2 + bound, u'z')},
        };
        addRows(cases);
    }

    void keys()
    {
        const auto& [name, typed, shown] = given<TextCase>();
        QCOMPARE(KeyInput().applyKeys(m_database, typed), shown);
    }

    // The table as the box applies it (the help shows it): only inputs it can look up, the last row's display.
    void keyTableAsApplied()
    {
        QStringList applied;
        for (const KeyTableRow& row : appliedKeyTable(*m_database).value_or(std::vector<KeyTableRow>()))
            applied << row.input + u'=' + row.display;
        QCOMPARE(applied.join(u' '), u"e-=ē ē'=ḗ A'=Á x=ξ =(blank) o-=ō zz=zzz pq=qp qp=pq"_s);
    }

    void nothingWithoutADatabase()
    {
        QCOMPARE(runSearch(nullptr, ScriptSearch, QString()).size(), 0);
        QCOMPARE(composeEntry(nullptr, 1, SearchMode::Latin), QString());
        QCOMPARE(composeEntry(m_database, 99, SearchMode::Latin), QString()); // nor without the entry
        QCOMPARE(KeyInput().applyKeys(nullptr, u"e-"_s), u"e-"_s);
        DisplayConfig config = OldSettings;
        loadDisplayConfig(nullptr, config);
        QCOMPARE(config, OldSettings);
    }

    // The first settings row is loaded; a failing column ends the load, and what was read before it stays.
    void displaySettings_data()
    {
        // clang-format off
        const DatabaseWriter::Config full{.name = u"Orvane"_s, .fnt1 = u"A"_s, .fnt3 = u"C"_s, .fnt4 = u"D"_s,
                                          .fnt5 = u"E"_s, .fsz1 = 9.75, .fsz2 = 10, .fsz3 = 11, .fsz4 = 14.25,
                                          .fsz5 = 16};
        // clang-format on
        const QString loaded = u"Orvane|A|C|C|D|E|9.75|10|11|14.25|"_s, old = describe(OldSettings);
        const auto set = [](const char* assignment) { return QStringList{u"UPDATE tbl_config SET "_s + assignment}; };
        const SettingsCase cases[] = {
            {"the first row with a name", {{.name = u""_s}, full, {.name = u"L"_s}}, {}, loaded + u"16"_s},
            {"nulls", {{.name = u"N"_s, .fnt1 = u"A"_s, .fsz2 = 10}}, {}, u"N|A|||||0|10|0|0|0"_s},
            {"a size not a number", {full}, set("fsz3 = 'big'"), u"Orvane|A|C|C|D|E|9.75|10|3|4|5"_s},
            {"a size with spaces", {full}, set("fsz5 = ' 12.5 '"), loaded + u"12.5"_s},
            {"a missing column",
             {full},
             {u"CREATE TABLE t AS SELECT name, fnt1, fnt3, fnt5, about FROM tbl_config"_s, u"DROP TABLE tbl_config"_s,
              u"ALTER TABLE t RENAME TO tbl_config"_s},
             u"Orvane|A|C|C|f4|f5|1|2|3|4|5"_s},
            {"no row with a name", {full}, set("name = ''"), old},
            {"no table", {}, {u"DROP TABLE tbl_config"_s}, old},
        };
        addRows(cases);
    }

    void displaySettings()
    {
        const auto& [name, rows, sql, loaded] = given<SettingsCase>();
        FixtureFolder folder;
        QVERIFY(folder.write({.configs = rows, .extraSql = sql}, {.withKeys = false}));
        DisplayConfig config = OldSettings;
        loadDisplayConfig(folder.open(), config);
        QCOMPARE(describe(config), loaded);
    }

    // A failed reconnect keeps the connection it had and says so once; the settings signal when they change.
    void theSession()
    {
        FixtureFolder folder;
        QVERIFY(folder.write({.configs = {{.name = u"Orvane"_s, .fnt1 = u"A"_s}}}));
        DictionarySession session(folder.databasePath());
        QSignalSpy failed(&session, &DictionarySession::connectionFailed);
        QSignalSpy changed(&session, &DictionarySession::displaySettingsChanged);
        QVERIFY(session.reconnect());
        const DatabaseHandle first = session.database();
        session.loadDisplaySettings();
        session.loadDisplaySettings();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(session.displaySettings().font1, u"A"_s);

        QVERIFY(QFile::remove(folder.databasePath()));
        QString error;
        QVERIFY(!session.reconnect(&error));
        QCOMPARE(failed.size(), 1);
        QVERIFY(!error.isEmpty());
        QCOMPARE(session.database(), first);

        QVERIFY(folder.write({.configs = {{.name = u"Orvane"_s, .fnt1 = u"B"_s}}}));
        QVERIFY(session.reconnect());
        QVERIFY(session.database() != first);
        session.loadDisplaySettings();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(failed.size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestDictionary)
#include "test_dictionary.moc"
