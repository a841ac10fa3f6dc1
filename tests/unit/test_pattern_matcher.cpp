// The like-pattern language of the searches and the Unicode rules under it.
#include "core/data/PatternMatcher.h"
#include "core/data/Schema.h"
#include "core/data/UnicodeText.h"

#include <QTest>
#include <algorithm>

using orvane::core::data::PatternMatcher;
using orvane::core::data::schema::searchKey;
using namespace orvane::core::data::unicode;

namespace {

// A pattern, a text it matches, one it does not (nullptr: none), its literal start, and whether that start suffices.
struct Row
{
    const char16_t *pattern, *matched, *rejected, *literalPrefix;
    bool plainPrefix;
};

const Row Rows[] = {
    {u"psy*", u"PSYCHE", u"pseudo", u"psy", true},
    {u"psy**", u"psyche", u"pa", u"psy", true},
    {u"psyche", u"psyche", u"psyches", u"psyche", false},
    {u"", u"", u"a", u"", false},
    {u"*", u"", nullptr, u"", true},
    {u"psy*c*", u"psyche", u"psyhe", u"psy", false},
    {u"*ική", u"μουσική", u"μουσικός", u"", false},
    {u"ab*ba", u"abba", u"aba", u"ab", false},
    {u"*ab*b", u"abb", u"ab", u"", false},
    {u"*aba*b", u"ababab", u"abbab", u"", false},
    {u"*s?c*", u"psyche", u"psche", u"", false},
    {u"ps?che*", u"psyche", u"psche", u"ps", false},
    {u"#*", u"٣", u"x", u"", false},
    {u"[abc]x", u"bx", u"dx", u"", false},
    {u"[!abc]x", u"dx", u"ax", u"", false},
    {u"[!α]*", u"β", u"", u"", false},
    {u"[a-f]*", u"dog", u"goat", u"", false},
    {u"[f-a]*", u"dog", u"goat", u"", false},
    {u"[a-]", u"-", u"b", u"", false},
    {u"[a-c-e]", u"-", u"d", u"", false},
    {u"a[*]", u"a*", u"ab", u"a", false},
    {u"[ab*", u"[abc", u"abc", u"[ab", true},
    {u"[]*", u"[]x", u"x", u"[]", true},
    {u"[!]", u"[!]", u"x", u"[!]", false},
    {u"ΣΑΣ", u"σας", nullptr, u"σασ", false},
    {u"Straß*", u"STRASSE", nullptr, u"strass", true},
    {u"stra??e", u"straße", nullptr, u"stra", false},
    {u"Á*", u"ábaco", u"abaco", u"á", true},
    {u"ψυχη\u0301", u"ψυχή", nullptr, u"ψυχή", false},
    {u"[A-C]*", u"beta", u"delta", u"", false},
    {u"?x", u"ax", u"𝔸x", u"", false},
};

} // namespace

class TestPatternMatcher final : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<Row>("row");
        for (const Row& row : Rows) // each row named by its pattern, quoted
            QTest::newRow(u"'%1'"_qs.arg(QString::fromUtf16(row.pattern)).toUtf8().constData()) << row;
    }

    void matches()
    {
        QFETCH(Row, row);
        const PatternMatcher matcher(QString::fromUtf16(row.pattern));
        QCOMPARE(matcher.literalPrefix(), QString::fromUtf16(row.literalPrefix));
        QCOMPARE(matcher.isPlainPrefix(), row.plainPrefix);
        for (const auto& [text, expected] : {std::pair{row.matched, true}, std::pair{row.rejected, false}}) {
            if (!text)
                continue;
            const QString subject = QString::fromUtf16(text);
            QCOMPARE(matcher.matches(subject), expected);
            // The key columns hold searchKey() texts: matching one must agree with matching the text.
            QCOMPARE(matcher.matchesKey(searchKey(subject)), expected);
        }
    }

    // Collation order (root, then code point) as the sort keys give it.
    void collationAndSearchKeys()
    {
        const QStringList ordered =
            u"10 9 ábaco abc Ábc abd apple éclair Zebra σαρ σασ σας ΣΑΣ σατ яблоко"_qs.split(u' ');
        QStringList byKey(ordered.crbegin(), ordered.crend());
        std::sort(byKey.begin(), byKey.end(), [](auto& a, auto& b) { return collationKey(a) < collationKey(b); });
        QCOMPARE(byKey, ordered);
        QCOMPARE(searchKey(u"ΣΑΣ σας Straße Ψυχη\u0301 \u0390"_qs), u"σασ σασ strasse ψυχή \u0390"_qs);
    }

    // Text decoded by hand or by ICU: ill-formed input reads as one U+FFFD per maximal bad part.
    void decoding_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QString>("text");
        QTest::newRow("well-formed") << QByteArray("ψυχή ḗ 𝔸") << u"ψυχή ḗ 𝔸"_qs;
        QTest::newRow("a lone continuation byte") << QByteArray("a\x80z") << u"a\uFFFDz"_qs;
        QTest::newRow("an overlong form") << QByteArray("\xC0\xAF") << u"\uFFFD\uFFFD"_qs;
        QTest::newRow("a surrogate") << QByteArray("\xED\xA0\x80") << u"\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("an overlong three-byte form") << QByteArray("\xE0\x80\x80") << u"\uFFFD\uFFFD\uFFFD"_qs;
        QTest::newRow("a byte never used") << QByteArray("ψ\xFFx") << u"ψ\uFFFDx"_qs;
        QTest::newRow("cut short") << QByteArray("\xE1\xB8") << u"\uFFFD"_qs;
    }

    void decoding()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(QString, text);
        QCOMPARE(fromUtf8(utf8), text);
    }
};

QTEST_APPLESS_MAIN(TestPatternMatcher)
#include "test_pattern_matcher.moc"
