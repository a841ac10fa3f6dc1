// Key-sequence input of the transliteration box: the look-up of one key, and the chain
// of replacements that one change of the text sets off.
#include "FixtureDatabase.h"
#include "data/Mainmode.h"
#include "dictionary/KeyInput.h"

#include <QtTest>

using orvane::dictionary::KeyInput;

class TestKeyInput final : public QObject
{
    Q_OBJECT

    orvane::testing::FixtureFolder m_folder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        orvane::testing::FixtureRows rows;
        rows.keys = {
            {QStringLiteral("e-"), QStringLiteral("ē")},
            {QStringLiteral("ē'"), QStringLiteral("ḗ")},
            {QStringLiteral("a'"), QStringLiteral("á")},
            {QStringLiteral("A'"), QStringLiteral("Á")},
            {QStringLiteral("x"), QStringLiteral("ξ")},
            {QStringLiteral(""), QStringLiteral("(blank)")},
            {QStringLiteral("o-"), QStringLiteral("first")},
            {QStringLiteral("o-"), QStringLiteral("ō")}, // the row read last wins
            {QStringLiteral("n-"), QStringLiteral("")},
            {QStringLiteral("m-"), std::nullopt},
            {QStringLiteral("zz"), QStringLiteral("zzz")}, // leads back to itself for ever
            {QStringLiteral("pq"), QStringLiteral("qp")},  // and a two-step loop
            {QStringLiteral("qp"), QStringLiteral("pq")},
        };
        QString error;
        QVERIFY2(m_folder.write(rows, {}, &error), qPrintable(error));
        QVERIFY(orvane::data::ConnectDatabase());
    }

    void lookupKey_data()
    {
        QTest::addColumn<QString>("keyInput");
        QTest::addColumn<QString>("keyDisplay");
        QTest::newRow("known sequence") << "e-"
                                        << "ē";
        QTest::newRow("case matters") << "A'"
                                      << "Á";
        QTest::newRow("apostrophe is an ordinary character") << "a'"
                                                             << "á";
        QTest::newRow("unknown sequence") << "q-"
                                          << "";
        QTest::newRow("space trimmed before") << " x"
                                              << "ξ";
        QTest::newRow("space trimmed after") << "x "
                                             << "ξ";
        QTest::newRow("two spaces look up the empty key") << "  "
                                                          << "(blank)";
        QTest::newRow("last matching row wins") << "o-"
                                                << "ō";
        QTest::newRow("empty display") << "n-"
                                       << "";
        QTest::newRow("null display") << "m-"
                                      << "";
        QTest::newRow("a lone quote") << "'"
                                      << "";
    }
    void lookupKey()
    {
        QFETCH(QString, keyInput);
        QFETCH(QString, keyDisplay);
        KeyInput keys;
        keys.keyDisplay = QStringLiteral("left over from before");
        keys.keyInput = keyInput;
        keys.LookupKey();
        QCOMPARE(keys.keyDisplay, keyDisplay);
    }

    void replacements_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("one character is never looked up") << "x"
                                                          << "x";
        QTest::newRow("empty text") << ""
                                    << "";
        QTest::newRow("two characters replaced") << "e-"
                                                 << "ē";
        QTest::newRow("only the end of the text counts") << "ae-"
                                                         << "aē";
        QTest::newRow("a sequence inside the text stays") << "e-a"
                                                          << "e-a";
        QTest::newRow("replacements chain") << "ē'"
                                            << "ḗ";
        QTest::newRow("space and a single key: both replaced") << "a x"
                                                               << "aξ";
        QTest::newRow("two spaces: the empty key") << "a  "
                                                   << "a(blank)";
        QTest::newRow("empty display: no replacement") << "n-"
                                                       << "n-";
        QTest::newRow("null display: no replacement") << "m-"
                                                      << "m-";
        QTest::newRow("a pasted text: only its last two characters") << "e-e-xe-"
                                                                     << "e-e-xē";
    }
    void replacements()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        KeyInput keys;
        QCOMPARE(keys.applyKeys(typed), result);
    }

    // A table whose replacements lead back to a known sequence ends after the bound
    // instead of hanging; the text shows how many replacements were made.
    void loopingTableStopsAtTheBound()
    {
        KeyInput keys;
        const QString grown = keys.applyKeys(QStringLiteral("zz"));
        QCOMPARE(grown, QString(2 + KeyInput::MaxChainedReplacements, u'z'));

        const QString swapped = keys.applyKeys(QStringLiteral("pq"));
        QCOMPARE(swapped, KeyInput::MaxChainedReplacements % 2 == 0 ? QStringLiteral("pq") : QStringLiteral("qp"));
        QCOMPARE(keys.keyInput, QStringLiteral("qp")); // the last look-up before the bound
    }

    void withoutDatabaseNothingIsReplaced()
    {
        const auto kept = orvane::data::SharedDatabase();
        orvane::data::SharedDatabase().reset();
        KeyInput keys;
        QCOMPARE(keys.applyKeys(QStringLiteral("e-")), QStringLiteral("e-"));
        QCOMPARE(keys.keyDisplay, QString());
        orvane::data::SharedDatabase() = kept;
        QCOMPARE(keys.applyKeys(QStringLiteral("e-")), QStringLiteral("ē"));
    }
};

QTEST_GUILESS_MAIN(TestKeyInput)
#include "test_keyinput.moc"
