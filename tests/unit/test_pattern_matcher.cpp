// The like-pattern language of the searches, as a table of pattern, text and verdict.
#include "core/data/PatternMatcher.h"
#include "core/data/Schema.h"

#include <QTest>

using orvane::data::PatternMatcher;

class TestPatternMatcher final : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        const auto row = [](const char* name, const char16_t* pattern, const char16_t* text, bool expected) {
            QTest::newRow(name) << QString::fromUtf16(pattern) << QString::fromUtf16(text) << expected;
        };
        row("prefix", u"psy*", u"psyche", true);
        row("prefix needs its whole start", u"psy*", u"pseudo", false);
        row("prefix equals whole text", u"psyche*", u"psyche", true);
        row("no star means whole text", u"psy", u"psyche", false);
        row("exact whole text", u"psyche", u"psyche", true);
        row("star alone matches empty", u"*", u"", true);
        row("star alone matches anything", u"*", u"ψυχή", true);
        row("empty pattern matches empty", u"", u"", true);
        row("empty pattern rejects text", u"", u"a", false);
        row("star in the middle", u"p*e", u"psyche", true);
        row("star must still end right", u"p*x", u"psyche", false);
        row("several stars backtrack", u"*y*h*", u"psyche", true);
        row("stars in a row", u"ps**", u"psyche", true);
        row("suffix after star", u"*ική", u"μουσική", true);
        row("suffix missing", u"*ική", u"μουσικός", false);
        row("question is one character", u"ps?che", u"psyche", true);
        row("question is not zero characters", u"ps?yche", u"psyche", false);
        row("question at end needs a character", u"psyche?", u"psyche", false);
        row("hash is a digit", u"a#b", u"a7b", true);
        row("hash is not a letter", u"a#b", u"axb", false);
        row("hash takes other scripts' digits", u"#*", u"٣", true);
        row("class member", u"[abc]x", u"bx", true);
        row("class non-member", u"[abc]x", u"dx", false);
        row("range", u"[a-f]*", u"dog", true);
        row("range excludes", u"[a-f]*", u"goat", false);
        row("reversed range", u"[f-a]*", u"dog", true);
        row("negated class", u"[!abc]x", u"dx", true);
        row("negated class rejects member", u"[!abc]x", u"ax", false);
        row("dash at class end is literal", u"[a-]", u"-", true);
        row("dash at class start is literal", u"[-a]", u"-", true);
        row("class escapes star", u"a[*]", u"a*", true);
        row("escaped star is literal", u"a[*]", u"ab", false);
        row("class escapes question", u"[?]", u"x", false);
        row("class escapes hash", u"[#]", u"#", true);
        row("class escapes open bracket", u"[[]x", u"[x", true);
        row("unclosed class is literal", u"[ab*", u"[abc", true);
        row("unclosed class is not a class", u"[ab*", u"abc", false);
        row("empty class is literal", u"[]*", u"[]x", true);
        row("empty negated class is literal", u"[!]", u"[!]", true);
        row("stray close bracket is literal", u"a]*", u"a]b", true);
        row("exclamation outside class is literal", u"!*", u"!x", true);
        row("apostrophe is ordinary", u"d'*", u"d'accord", true);
        row("apostrophe must be there", u"d'*", u"dacc", false);
        row("percent is ordinary", u"50%*", u"50% off", true);
        row("percent is not a wildcard", u"5%", u"50", false);
        row("underscore is ordinary", u"a_b", u"a_b", true);
        row("underscore is not a wildcard", u"a_b", u"axb", false);
        row("double quote is ordinary", u"\"q*", u"\"quoted\"", true);
        row("ascii case folds", u"PSY*", u"psyche", true);
        row("text case folds", u"psy*", u"PSYCHE", true);
        row("capital sigma finds final sigma", u"ΣΑΣ", u"σας", true);
        row("final sigma finds capital", u"σας", u"ΣΑΣ", true);
        row("medial and final sigma fold alike", u"ς*", u"σοφία", true);
        row("sharp s matches SS", u"STRASSE", u"straße", true);
        row("SS pattern prefix of sharp s", u"STRAS*", u"straße", true);
        row("sharp s pattern matches ss text", u"straße", u"STRASSE", true);
        row("sharp s is two characters", u"stra?e", u"straße", false);
        row("sharp s is two characters of ss", u"stra??e", u"straße", true);
        row("accents are significant", u"a*", u"ábaco", false);
        row("accented capital folds", u"Á*", u"ábaco", true);
        row("greek tonos significant", u"ψυχη", u"ψυχή", false);
        row("decomposed pattern composes", u"ψυχη\u0301", u"ψυχή", true);
        row("decomposed text composes", u"ψυχή", u"ψυχη\u0301", true);
        row("class range folds", u"[A-C]*", u"beta", true);
        row("class member folds", u"[Ä]*", u"äpfel", true);
        row("astral literal", u"𝔸*", u"𝔸x", true);
        row("astral character is two units", u"??x", u"𝔸x", true);
        row("one question not enough for astral", u"?x", u"𝔸x", false);
        row("astral letters fold", u"𐐀*", u"𐐨𐐨", true);
    }
    void matches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        const PatternMatcher matcher(pattern);
        QCOMPARE(matcher.matches(text), expected);
        // The key columns hold searchKey() texts: matching one must agree with matching the text.
        QCOMPARE(matcher.matchesKey(orvane::data::schema::searchKey(text)), expected);
    }

    void literalPrefix_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("plain");
        QTest::newRow("plain prefix") << u"Psy*"_qs << u"psy"_qs << true;
        QTest::newRow("two trailing stars") << u"psy**"_qs << u"psy"_qs << true;
        QTest::newRow("wildcard inside") << u"ps?ch*"_qs << u"ps"_qs << false;
        QTest::newRow("class inside") << u"ps[iy]*"_qs << u"ps"_qs << false;
        QTest::newRow("no star") << u"psy"_qs << u"psy"_qs << false;
        QTest::newRow("starts with wildcard") << u"*ική"_qs << QString() << false;
        QTest::newRow("star only") << u"*"_qs << QString() << true;
        QTest::newRow("empty") << QString() << QString() << false;
        QTest::newRow("folded prefix") << u"STRASSE*"_qs << u"strasse"_qs << true;
        QTest::newRow("sharp s folds to ss") << u"Straß*"_qs << u"strass"_qs << true;
        QTest::newRow("unclosed class in prefix") << u"[ab*"_qs << u"[ab"_qs << true;
        QTest::newRow("apostrophe in prefix") << u"d'*"_qs << u"d'"_qs << true;
    }
    void literalPrefix()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, prefix);
        QFETCH(bool, plain);
        const PatternMatcher matcher(pattern);
        QCOMPARE(matcher.literalPrefix(), prefix);
        QCOMPARE(matcher.isPlainPrefix(), plain);
    }

    void searchKeyFoldsThenComposes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::newRow("ascii") << u"PsYcHe"_qs << u"psyche"_qs;
        QTest::newRow("sigma forms") << u"ΣΑΣ σας"_qs << u"σασ σασ"_qs;
        QTest::newRow("sharp s") << u"Straße"_qs << u"strasse"_qs;
        QTest::newRow("decomposed") << u"Ψυχη\u0301"_qs << u"ψυχή"_qs;
        QTest::newRow("iota with dialytika and tonos") << u"\u0390"_qs << u"\u0390"_qs;
        QTest::newRow("accent kept") << u"Ábaco"_qs << u"ábaco"_qs;
        QTest::newRow("empty") << QString() << QString();
    }
    void searchKeyFoldsThenComposes()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QCOMPARE(orvane::data::schema::searchKey(text), key);
    }
};

QTEST_APPLESS_MAIN(TestPatternMatcher)
#include "test_pattern_matcher.moc"
