// Key rules for the transliteration box: the key input only replaces the last two
// characters and chains while the result ends in a known input, so the builder must
// turn longer sequences into chained rules, fill in letters no rule reaches and keep
// out every rule that would make the chain endless or merely swallow a key.
#include "KeyboardBuilder.h"

#include <QHash>
#include <QTest>

using namespace orvane::mkdb;
using namespace Qt::StringLiterals;

namespace {

std::vector<KeySequence> sequences(const std::vector<std::pair<QString, QString>>& rules)
{
    std::vector<KeySequence> result;
    int line = 0;
    for (const auto& [keys, output] : rules)
        result.push_back({keys, output, u"table.mim:%1"_s.arg(++line)});
    return result;
}

QHash<QString, QString> rulesOf(const KeyboardBuilder& builder)
{
    QHash<QString, QString> rules;
    for (const KeyRule& rule : builder.rules())
        rules.insert(rule.input, rule.display);
    return rules;
}

// The key input's own behaviour, written independently of the builder: whatever was
// typed before, the replacements must come to rest within the builder's bound.
bool chainEnds(const QHash<QString, QString>& rules, QString text)
{
    for (int step = 0; step <= KeyboardBuilder::MaxChain; ++step) {
        const auto rule = text.size() < 2 ? rules.cend() : rules.constFind(text.right(2).trimmed());
        if (rule == rules.cend())
            return true;
        text = text.chopped(2) + *rule;
    }
    return false;
}

bool leftOutMentions(const KeyboardBuilder& builder, const QString& text)
{
    for (const QString& line : builder.leftOut()) {
        if (line.contains(text))
            return true;
    }
    return false;
}

} // namespace

class TestMkdbKeyboard final : public QObject
{
    Q_OBJECT

private slots:
    void longerSequencesBecomeChainedRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two keys") << u"a'"_s << u"á"_s;
        QTest::newRow("three keys through the two-key result") << u"a~~"_s << u"ă"_s;
        QTest::newRow("four keys cycle back") << u"a~~~"_s << u"ã"_s;
        QTest::newRow("macron") << u"e-"_s << u"ē"_s;
        QTest::newRow("repeat that only undoes is left out") << u"a''"_s << u"á'"_s;
        QTest::newRow("no rule") << u"xy"_s << u"xy"_s;
        QTest::newRow("in the middle of a word") << u"pse-"_s << u"psē"_s;
    }
    void longerSequencesBecomeChainedRules()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        KeyboardBuilder builder;
        // Deliberately longest first: the builder orders them by length itself.
        builder.addSequences(sequences({{u"a~~~"_s, u"a~"_s},
                                        {u"a''"_s, u"a'"_s},
                                        {u"a~~"_s, u"ă"_s},
                                        {u"a'"_s, u"á"_s},
                                        {u"a~"_s, u"ã"_s},
                                        {u"e-"_s, u"ē"_s}}));
        QCOMPARE(builder.type(typed), shown);
        const QHash<QString, QString> rules = rulesOf(builder);
        QCOMPARE(rules.value(u"ã~"_s), u"ă"_s);
        QVERIFY(!rules.contains(u"á'"_s));
        QVERIFY(leftOutMentions(builder, u"table.mim:2: á' → a' left out"_s));
    }

    void endlessChainsAreLeftOut_data()
    {
        QTest::addColumn<QStringList>("rules"); // input, display, input, display …
        QTest::addColumn<QString>("leftOut");   // the rule that must be left out
        QTest::newRow("display ends in its own input") << QStringList{u"ab"_s, u"xab"_s} << u"ab → xab"_s;
        QTest::newRow("display is its own input") << QStringList{u"ab"_s, u"ab"_s} << u"ab → ab"_s;
        QTest::newRow("two rules feed each other") << QStringList{u"pq"_s, u"qp"_s, u"qp"_s, u"pq"_s} << u"qp → pq"_s;
        QTest::newRow("three rules in a ring")
            << QStringList{u"ab"_s, u"bc"_s, u"bc"_s, u"ca"_s, u"ca"_s, u"ab"_s} << u"ca → ab"_s;
        QTest::newRow("one-character input reached after a blank") << QStringList{u"k"_s, u" k"_s} << u"k →  k"_s;
        QTest::newRow("a shrinking rule feeds a growing one")
            << QStringList{u"ab"_s, u"c"_s, u"xc"_s, u"xab"_s} << u"xc → xab"_s;
    }
    void endlessChainsAreLeftOut()
    {
        QFETCH(QStringList, rules);
        QFETCH(QString, leftOut);
        KeyboardBuilder builder;
        for (qsizetype i = 0; i + 1 < rules.size(); i += 2)
            builder.addRule({rules[i], rules[i + 1], u"keys.tsv:%1"_s.arg(i / 2 + 1)});
        QVERIFY2(leftOutMentions(builder, leftOut + u" left out: the replacements would never end"_s),
                 qPrintable(builder.leftOut().join(u'\n')));
        // What is kept comes to rest after anything the user may have typed.
        const QHash<QString, QString> kept = rulesOf(builder);
        for (const KeyRule& rule : builder.rules()) {
            for (const QString& before : {QString(), u"x"_s, u" "_s, rule.display.right(1), rule.input.left(1)})
                QVERIFY2(chainEnds(kept, before + rule.input), qPrintable(before + rule.input));
        }
    }

    void firstRuleForAnInputWins()
    {
        KeyboardBuilder builder;
        builder.addRule({u"a'"_s, u"ά"_s, u"keys.tsv:1"_s});
        builder.addSequences(sequences({{u"a'"_s, u"á"_s}, {u"e'"_s, u"é"_s}}));
        builder.addRule({u"e'"_s, u"é"_s, u"keys.tsv:2"_s}); // the same rule again is no conflict
        QCOMPARE(rulesOf(builder).value(u"a'"_s), u"ά"_s);
        QCOMPARE(builder.rules().size(), size_t(2));
        QCOMPARE(builder.leftOut().size(), 1);
        QVERIFY(leftOutMentions(builder, u"table.mim:1: a' → á left out: the input is already taken by a' → ά"_s));
    }

    void sequencesThatCannotBeChained()
    {
        KeyboardBuilder builder;
        builder.addSequences(sequences({{u"ae/"_s, u"æ"_s}, {u"/"_s, u"°"_s}}));
        QVERIFY(leftOutMentions(builder, u"ae/ → æ left out: its first keys show ae"_s));
        QCOMPARE(rulesOf(builder).value(u"/"_s), u"°"_s); // one key: reached after a blank
    }

    void emptyDisplayIsLeftOut()
    {
        KeyboardBuilder builder;
        builder.addRule({u"zz"_s, QString(), u"keys.tsv:1"_s});
        QVERIFY(builder.rules().empty());
        QVERIFY(leftOutMentions(builder, u"zz →  left out: an empty display"_s));
    }

    void lettersOfTheTransliterationAreCompleted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("acute on a macron vowel") << u"e-'"_s << u"ḗ"_s;
        QTest::newRow("capital") << u"E-'"_s << u"Ḗ"_s;
        QTest::newRow("acute on a diaeresis") << u"u\"'"_s << u"ǘ"_s;
        QTest::newRow("intermediate letter added too") << u"i\""_s << u"ï"_s;
        QTest::newRow("and the letter built on it") << u"i\"'"_s << u"ḯ"_s;
        QTest::newRow("letter already reached stays") << u"e'"_s << u"é"_s;
    }
    void lettersOfTheTransliterationAreCompleted()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        KeyboardBuilder builder;
        builder.addSequences(sequences(
            {{u"e-"_s, u"ē"_s}, {u"E-"_s, u"Ē"_s}, {u"e'"_s, u"é"_s}, {u"u\""_s, u"ü"_s}, {u"e--"_s, u"e-"_s}}));
        builder.completeAlphabet({u"ḗ"_s, u"Ḗ"_s, u"ǘ"_s, u"ḯ"_s, u"é"_s, u"a"_s, u"ş"_s});
        QCOMPARE(builder.type(typed), shown);
        // No rule adds a cedilla, so ş cannot be completed: reported, not guessed.
        QVERIFY(leftOutMentions(builder, u"ş (U+015f) has no rule"_s));
    }
};

QTEST_APPLESS_MAIN(TestMkdbKeyboard)
#include "test_mkdb_keyboard.moc"
