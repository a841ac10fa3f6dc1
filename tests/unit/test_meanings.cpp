// The query language of the meanings, and the meaning index against reading every entry.
#include "FixtureDatabase.h"
#include "TableRows.h"
#include "core/dictionary/MeaningSearch.h"

#include <QRandomGenerator>
#include <algorithm>
#include <numeric>

using namespace orvane::core::data;
using namespace orvane::core::dictionary;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

namespace {

using QueryCase = std::tuple<const char*, QString, QByteArray>; // typed, the engine's expression

QString manyWords()
{
    QString words;
    for (int i = 0; words.size() < 10000; ++i)
        words += u"w%1 "_s.arg(i);
    return words;
}

// Meanings of words from a small vocabulary (spelled in several ways), so that hits, ties and phrases are many.
const QStringList Vocabulary{u"soul"_s,  u"Soul"_s,  u"SOULS"_s, u"café"_s,  u"cafe"_s,   u"ψυχή"_s, u"ΨΥΧΗ"_s,
                             u"λόγος"_s, u"λογοσ"_s, u"mind"_s,  u"the"_s,   u"the"_s,    u"the"_s,  u"of"_s,
                             u"a"_s,     u"a"_s,     u"well"_s,  u"being"_s, u"spirit"_s, u"ᾠδή"_s};
const QStringList Separators{u" "_s, u", "_s, u"; "_s, u"\r\n"_s, u"-"_s, u" («"_s};

QString randomText(QRandomGenerator& random, const QStringList& from, int most, const QStringList& between)
{
    QString text;
    const int count = int(random.bounded(most + 1));
    for (int i = 0; i < count; ++i)
        text += (i ? between[random.bounded(between.size())] : QString()) + from[random.bounded(from.size())];
    return text;
}

QString describe(const MeaningHits& hits)
{
    QStringList ids;
    for (const qint64 id : hits.ids)
        ids << QString::number(id);
    return u"%1 of %2"_s.arg(ids.join(u' ')).arg(hits.total);
}

} // namespace

class TestMeanings final : public QObject
{
    Q_OBJECT

private slots:
    // What a typed query becomes; the engine is only ever given these quoted strings.
    void queries_data()
    {
        const QueryCase cases[] = {
            {"case and tonos", u"ΨΥΧΉ"_s, R"("ψυχη")"},
            {"final sigma", u"λόγος"_s, R"("λογοσ")"},
            {"dialytika and polytonic marks", u"ϊ ᾠδῇ Ἄ"_s, R"("ι" "ωδη" "α")"},
            {"Latin diacritics and ß", u"Café Straße"_s, R"("cafe" "strasse")"},
            {"Cyrillic: stress goes, й stays", u"мо́й"_s, R"("мой")"},
            {"Arabic vowel marks and tatweel go", u"كَتـَبَ"_s, R"("كتب")"},
            {"Indic vowel signs stay", u"हिंदी"_s, R"("हिंदी")"},
            {"words, all of them", u" soul \t mind\n"_s, R"("soul" "mind")"},
            {"a prefix", u"psych*"_s, R"("psych" *)"},
            {"a phrase", u"\"two  Words\""_s, R"("two words")"},
            {"a phrase as a prefix", u"\"two wo\"*"_s, R"("two wo" *)"},
            {"an unbalanced quote", u"a \"b c"_s, R"("a" "b c")"},
            {"inner punctuation makes a phrase", u"well-being"_s, R"("well being")"},
            {"a term twice counts once", u"soul SOUL"_s, R"("soul")"},
            {"empty quotes", u"\"\" \""_s, ""},
            {"- : ^ + and parentheses", u"-a b:c ^d +e (f)"_s, R"("a" "b c" "d" "e" "f")"},
            {"control characters", u"\u0001soul\u007f\u0000x"_s, R"("soul x")"},
            {"10,000 characters: 16 terms", manyWords(),
             R"("w0" "w1" "w2" "w3" "w4" "w5" "w6" "w7" "w8" "w9" "w10" "w11" "w12" "w13" "w14" "w15")"},
            {"only the first 1,000 characters", QString(999, u' ') + u"ab"_s, R"("a")"},
        };
        addRows(cases);
    }

    void queries()
    {
        const auto& [name, typed, expression] = given<QueryCase>();
        QCOMPARE(meaning::matchExpression(parseMeaningQuery(typed)), expression);
    }

    void matchedWordsKeepTheirSpelling()
    {
        const meaning::Matcher matcher(parseMeaningQuery(u"soul* \"the mind\""_s));
        QCOMPARE(matcher.matchedWords(u"Soul, souls; the soul-mate. The Mind, the mind"_s),
                 (QStringList{u"Soul"_s, u"souls"_s, u"soul"_s, u"The"_s, u"Mind"_s, u"the"_s, u"mind"_s}));
    }

    // The same hits in the same order, with the same total, whether the index answers or every entry is read.
    void theIndexFindsWhatReadingEveryEntryFinds()
    {
        QRandomGenerator random(19);
        FixtureRows rows;
        std::vector<qint64> ids(400);
        std::iota(ids.begin(), ids.end(), 1);
        std::shuffle(ids.begin(), ids.end(), random);
        const QStringList headwords{u"ψυχή"_s, u"λόγος"_s, u"Λόγος"_s, u"α"_s};
        for (const qint64 id : ids) {
            const int kind = int(random.bounded(20));
            rows.entries.push_back(
                entry(id * 3, kind ? std::optional(headwords[random.bounded(4)]) : std::nullopt, {}, {},
                      kind == 1 ? std::nullopt : std::optional(randomText(random, Vocabulary, 9, Separators))));
        }
        FixtureFolder indexed, unindexed, odd;
        QVERIFY(indexed.write(rows));
        QVERIFY(unindexed.write(rows, {.withKeys = false, .meaningIndex = false}));
        // Tables under the index's names that are not what the builder writes are not read as the index.
        rows.extraSql = {
            u"CREATE TABLE tbl_meaning_index_v1 (words); CREATE TABLE tbl_meaning_order_v1 (position, id)"_s};
        QVERIFY(odd.write(rows, {.meaningIndex = false}));
        const DatabaseHandle index = indexed.open(), scan = unindexed.open(), other = odd.open();
        QVERIFY(index);
        QVERIFY(scan);
        QVERIFY(other);
        QVERIFY(index->hasMeaningIndex());
        QVERIFY(!scan->hasMeaningIndex());
        QVERIFY(!other->hasMeaningIndex());

        const QStringList terms =
            Vocabulary +
            QStringList{u"sou*"_s, u"s*"_s, u"ψ*"_s, u"\"the soul\""_s, u"\"a a\""_s, u"\"of the*\""_s, u"nothing"_s};
        int found = 0;
        for (int i = 0; i < 60; ++i) {
            const QString query = randomText(random, terms, 3, {u" "_s});
            const meaning::Query parsed = parseMeaningQuery(query);
            for (const qsizetype limit : {qsizetype(1000), qsizetype(4)}) {
                const MeaningHits hits = index->searchMeanings(parsed, limit);
                QCOMPARE(describe(scan->searchMeanings(parsed, limit)), describe(hits));
                QCOMPARE(describe(other->searchMeanings(parsed, limit)), describe(hits));
                found += hits.total > 4 ? 1 : 0;
            }
        }
        QVERIFY(found > 20); // the queries found enough to compare
    }
};

QTEST_APPLESS_MAIN(TestMeanings)
#include "test_meanings.moc"
