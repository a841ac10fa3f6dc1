// The dictionary's rules without a window: searches, look-ups, entries, key sequences and display settings.
#include "FixtureDatabase.h"
#include "core/dictionary/DisplayConfig.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/KeyInput.h"
#include "core/dictionary/Lookup.h"
#include "core/dictionary/ResultListModel.h"
#include "core/dictionary/Search.h"

#include <QTest>

using namespace orvane::data;
using namespace orvane::dictionary;
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

QString listed(const SearchResults& results)
{
    QStringList rows;
    for (qsizetype row = 0; row < results.size(); ++row)
        rows << u"%1:%2"_s.arg(results.id(row)).arg(results.term(row));
    return rows.join(u' ');
}

QString describe(const DisplayConfig& c)
{
    QStringList parts{c.configName, c.font1, c.font2, c.font3, c.font4, c.font5};
    for (const double size : {c.size1, c.size2, c.size3, c.size4, c.size5})
        parts << QString::number(size);
    return parts.join(u'|');
}

} // namespace

class TestDictionary final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.write(dictionaryRows()));
        QVERIFY(ConnectDatabase());
    }

    void searchKinds()
    {
        const std::tuple<const SearchKind&, QString, QString> cases[] = {
            {ScriptSearch, u"  ψυχ  "_s, u"1:ψυχή 2:ψυχρός"_s},          // spaces trimmed, m1 listed by m1
            {ScriptSearch, u""_s, u"5:\tταφ 3:λόγος 1:ψυχή 2:ψυχρός"_s}, // every m1 but the null one
            {ScriptSearch, u"   "_s, u"5:\tταφ 3:λόγος 1:ψυχή 2:ψυχρός"_s},
            {ScriptSearch, u"\tταφ"_s, u"5:\tταφ"_s},               // a tab is no space
            {TranslitSearch, u"psych"_s, u"1:psychḗ 2:psychrós"_s}, // m2 listed by m2
            {TranslitSearch, u"  l"_s, u"3:  lógos"_s},             // leading spaces kept
            {TranslitSearch, u"l"_s, u""_s},
            {TranslitSearch, u"  "_s, u""_s},          // blank: no search at all
            {TranslitSearch, u"o'"_s, u"4:o'clock"_s}, // an apostrophe is a character
            {TranslitSearch, u"*ó*"_s, u"3:  lógos 2:psychrós"_s},
            {PlainSearch, u"a"_s, u"5:zeta"_s}, // matches m3, lists and orders by m2
            {PlainSearch, u"psych"_s, u"1:psychḗ 2:psychrós"_s},
            {PlainSearch, u""_s, u""_s},
        };
        for (const auto& [kind, box, rows] : cases)
            QCOMPARE(listed(runSearch(kind, box)), rows);

        const DatabaseHandle kept = SharedDatabase();
        SharedDatabase().reset();
        QCOMPARE(runSearch(ScriptSearch, QString()).size(), 0);
        SharedDatabase() = kept;
    }

    // A look-up from outside keeps one line of sane length; its letters choose the box.
    void lookupTextAndItsBox()
    {
        const QString as(MaxLookupLength - 1, u'a');
        const std::tuple<QString, QString, const SearchKind*> cases[] = {
            {u" \t\u00A0ψυχή \n"_s, u"ψυχή"_s, &ScriptSearch},
            {u"\n\npsyche \r\nline two"_s, u"psyche"_s, &PlainSearch},
            {u"ψυχή\u2029λόγος"_s, u"ψυχή"_s, &ScriptSearch},
            {u"café ψ"_s, u"café ψ"_s, &ScriptSearch},         // any letter beyond Latin
            {u"\U00010330"_s, u"\U00010330"_s, &ScriptSearch}, // Gothic, beyond the BMP
            {u"psychḗ"_s, u"psychḗ"_s, &TranslitSearch},
            {u"psyche\u0304\u0301"_s, u"psyche\u0304\u0301"_s, &TranslitSearch}, // composes to ḗ
            {u"q\u0301"_s, u"q\u0301"_s, &TranslitSearch},                       // has no composed form
            {u"l’eau ٣ ʼ ps?ch* [a-z]"_s, u"l’eau ٣ ʼ ps?ch* [a-z]"_s, &PlainSearch},
            {as + u"bc"_s, as + u"b"_s, &PlainSearch},
            {as + u"\U0001D400"_s, as, &PlainSearch}, // never half a character
            {u" \n "_s, u""_s, &PlainSearch},
        };
        for (const auto& [given, text, kind] : cases) {
            QCOMPARE(lookupText(given), text);
            QCOMPARE(&searchKindFor(text), kind);
        }
    }

    // Every row keeps its own entry, however many; a typed letter finds the next row beginning with it.
    void resultListModel()
    {
        SearchResults results;
        for (int id = 1; id <= 70000; ++id)
            results.append(id * 3, QString::number(id));
        ResultListModel model;
        model.setRows(std::move(results));
        QCOMPARE(model.rowCount(), 70000);
        QCOMPARE(model.index(69999).data().toString(), u"70000"_s);
        QCOMPARE(model.index(32768).data(ResultListModel::EntryIdRole).toLongLong(), 98307);

        SearchResults words;
        for (const QString& term : {u"ζήτα"_s, u"Σίγμα"_s, u"αλφα"_s, u"σήμα"_s, u"Ζωή"_s})
            words.append(1, term);
        model.setRows(std::move(words));
        const std::tuple<QString, int, int> cases[] = {{u"ζ"_s, -1, 0}, {u"ζ"_s, 0, 4}, {u"ζ"_s, 4, 0},
                                                       {u"σ"_s, 0, 1},  {u"ς"_s, 1, 3}, {u"α"_s, 2, 2},
                                                       {u"ά"_s, 2, -1}, {u"β"_s, 1, -1}};
        for (const auto& [typed, current, next] : cases)
            QCOMPARE(model.nextRowStartingWith(typed, current), next);
    }

    // Entries as composed, and as shown: a text box needs seconds to lay out megabytes, so a huge entry is cut.
    void entries()
    {
        const QString rule = u"------------------------"_s;
        QCOMPARE(composeEntry(1, SearchMode::NativeScript), u"psychḗ\r\n"_s + rule + u"\r\nsoul\r\n\r\n"_s);
        QCOMPARE(composeEntry(2, SearchMode::Latin), u"ψυχρός\r\n"_s + rule + u"\r\ncold\r\nchilly\r\n\r\n"_s);
        QCOMPARE(composeEntry(3, SearchMode::Latin), u"λόγος\r\n"_s + rule + u"\r\n\r\n\r\n"_s);
        QCOMPARE(composeEntry(4, SearchMode::Latin), u"\r\n"_s + rule + u"\r\nclock\r\n\r\n"_s);
        QCOMPARE(composeEntry(99, SearchMode::Latin), QString());

        const QString full(MaxShownCharacters, u'x');
        const QString pair = u"\U0001D400"_s;
        const std::pair<QString, QString> cases[] = {
            {u"a\r\nb\r\n"_s, u"a\nb\n"_s},
            {full, full},
            {full.left(MaxShownCharacters - 1) + u"\r\n"_s, full.left(MaxShownCharacters - 1) + u"\n"_s},
            {full + u"y"_s, full + u"\n…"_s},
            {full.left(MaxShownCharacters - 1) + pair, full.left(MaxShownCharacters - 1) + u"\n…"_s},
        };
        for (const auto& [composed, shown] : cases)
            QCOMPARE(entryDisplayText(composed), shown);
    }

    // Look-ups of one key sequence, and the sequences replaced at the end of the text.
    void keyInput()
    {
        const std::pair<QString, QString> lookups[] = {
            {u"e-"_s, u"ē"_s}, {u"A'"_s, u"Á"_s}, {u"a'"_s, u""_s},        // case matters
            {u" x"_s, u"ξ"_s}, {u"x "_s, u"ξ"_s}, {u"  "_s, u"(blank)"_s}, // spaces trimmed
            {u"o-"_s, u"ō"_s}, {u"n-"_s, u""_s},  {u"m-"_s, u""_s},        {u"'"_s, u""_s},
        };
        for (const auto& [input, display] : lookups) {
            KeyInput keys{input, u"left over"_s};
            keys.LookupKey();
            QCOMPARE(keys.keyDisplay, display);
        }
        // The table as the box applies it (the help shows it): only inputs it can look up, the last row's display.
        QStringList applied;
        for (const KeyTableRow& row : appliedKeyTable(*SharedDatabase()).value_or(std::vector<KeyTableRow>()))
            applied << row.input + u'=' + row.display;
        QCOMPARE(applied.join(u' '), u"e-=ē ē'=ḗ A'=Á x=ξ =(blank) o-=ō zz=zzz pq=qp qp=pq"_s);

        const std::pair<QString, QString> endings[] = {
            {u"x"_s, u"x"_s},          {u"ae-"_s, u"aē"_s}, {u"e-a"_s, u"e-a"_s},
            {u"e-'"_s, u"e-'"_s},      {u"ē'"_s, u"ḗ"_s},   {u"a x"_s, u"aξ"_s},
            {u"a  "_s, u"a(blank)"_s}, {u"n-"_s, u"n-"_s},  {u"e-e-xe-"_s, u"e-e-xē"_s},
        };
        for (const auto& [typed, shown] : endings)
            QCOMPARE(KeyInput().applyKeys(typed), shown);
        KeyInput keys;
        // Rows that lead back to a known sequence stop at the bound instead of hanging.
        QCOMPARE(keys.applyKeys(u"zz"_s), QString(2 + KeyInput::MaxChainedReplacements, u'z'));
        QCOMPARE(keys.applyKeys(u"pq"_s), KeyInput::MaxChainedReplacements % 2 ? u"qp"_s : u"pq"_s);

        const DatabaseHandle kept = SharedDatabase();
        SharedDatabase().reset();
        QCOMPARE(keys.applyKeys(u"e-"_s), u"e-"_s);
        SharedDatabase() = kept;
    }

    // The first settings row is loaded; a failing column ends the load, and what was read before it stays.
    void displaySettings()
    {
        const DisplayConfig old{u"old"_s, u"f1"_s, u"f2"_s, u"f3"_s, u"f4"_s, u"f5"_s, 1, 2, 3, 4, 5};
        // clang-format off
        const DatabaseWriter::Config full{.name = u"Orvane"_s, .fnt1 = u"A"_s, .fnt3 = u"C"_s, .fnt4 = u"D"_s,
                                          .fnt5 = u"E"_s, .fsz1 = 9.75, .fsz2 = 10, .fsz3 = 11, .fsz4 = 14.25,
                                          .fsz5 = 16};
        // clang-format on
        const std::tuple<std::vector<DatabaseWriter::Config>, QStringList, QString> cases[] = {
            {{{.name = u""_s, .fnt1 = u"no"_s}, full, {.name = u"Later"_s}},
             {},
             u"Orvane|A|C|C|D|E|9.75|10|11|14.25|16"_s},
            {{{.name = u"N"_s, .fnt1 = u"A"_s, .fsz2 = 10}}, {}, u"N|A|||||0|10|0|0|0"_s},
            {{full}, {u"UPDATE tbl_config SET fsz3 = 'large'"_s}, u"Orvane|A|C|C|D|E|9.75|10|3|4|5"_s},
            {{full}, {u"UPDATE tbl_config SET fsz5 = ' 12.5 '"_s}, u"Orvane|A|C|C|D|E|9.75|10|11|14.25|12.5"_s},
            {{full},
             {u"CREATE TABLE t AS SELECT name, fnt1, fnt3, fnt5, about FROM tbl_config"_s, u"DROP TABLE tbl_config"_s,
              u"ALTER TABLE t RENAME TO tbl_config"_s},
             u"Orvane|A|C|C|f4|f5|1|2|3|4|5"_s},
            {{full}, {u"UPDATE tbl_config SET name = ''"_s}, describe(old)},
            {{}, {u"DROP TABLE tbl_config"_s}, describe(old)},
        };
        for (const auto& [rows, sql, loaded] : cases) {
            FixtureFolder folder;
            QVERIFY(folder.write({.configs = rows, .extraSql = sql}, {.withKeys = false}));
            QVERIFY(ConnectDatabase());
            SharedDisplayConfig() = old;
            LoadDisplayConfig();
            QCOMPARE(describe(SharedDisplayConfig()), loaded);
        }
        SharedDatabase().reset();
        LoadDisplayConfig();
        QCOMPARE(describe(SharedDisplayConfig()), describe(old));
    }
};

QTEST_APPLESS_MAIN(TestDictionary)
#include "test_dictionary.moc"
