// Composition of an entry: its fixed shape, the header chosen by searchMode, null
// columns, entries that cannot be read, and the text the entry box shows.
#include "FixtureDatabase.h"
#include "data/Mainmode.h"
#include "dictionary/EntryComposer.h"
#include "dictionary/ResultListModel.h"

#include <QtTest>

using orvane::dictionary::composeEntry;
using orvane::dictionary::composeEntryText;
using orvane::dictionary::entryDisplayText;
using orvane::testing::entry;

namespace {
const QString Rule = QStringLiteral("------------------------");
const QString CrLf = QStringLiteral("\r\n");
} // namespace

class TestEntryComposer final : public QObject
{
    Q_OBJECT

    orvane::testing::FixtureFolder m_folder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        orvane::testing::FixtureRows rows;
        rows.entries = {
            entry(1, "ψυχή", "psychḗ", "psyche", "soul\r\nbreath"),
            entry(2, std::nullopt, "kenó", "keno", "void"),
            entry(3, "λόγος", std::nullopt, "logos", std::nullopt),
            entry(4, "ὁ'", "ho'", "ho'", "the"),
        };
        QString error;
        QVERIFY2(m_folder.write(rows, {}, &error), qPrintable(error));
        QVERIFY(orvane::data::ConnectDatabase());
    }

    void shapeOfAnEntry_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("meanings");
        QTest::addColumn<QString>("expected");
        QTest::newRow("example") << "abc"
                                 << "x"
                                 << "abc" + CrLf + Rule + CrLf + "x" + CrLf + CrLf;
        QTest::newRow("empty header keeps its line") << ""
                                                     << "x" << CrLf + Rule + CrLf + "x" + CrLf + CrLf;
        QTest::newRow("empty meanings") << "abc"
                                        << ""
                                        << "abc" + CrLf + Rule + CrLf + CrLf + CrLf;
        QTest::newRow("both empty") << ""
                                    << "" << CrLf + Rule + CrLf + CrLf + CrLf;
        QTest::newRow("meanings of several lines") << "a"
                                                   << "1\r\n2"
                                                   << "a" + CrLf + Rule + CrLf + "1\r\n2" + CrLf + CrLf;
    }
    void shapeOfAnEntry()
    {
        QFETCH(QString, header);
        QFETCH(QString, meanings);
        QFETCH(QString, expected);
        QCOMPARE(composeEntryText(header, meanings), expected);
        QCOMPARE(Rule.size(), 24);
    }

    // The header is the form that was not searched; nulls compose as empty text.
    void entryFromTheDatabase_data()
    {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<int>("searchMode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("native-script search: m2") << qint64(1) << 1 << composeEntryText("psychḗ", "soul\r\nbreath");
        QTest::newRow("other searches: m1") << qint64(1) << 0 << composeEntryText("ψυχή", "soul\r\nbreath");
        QTest::newRow("null m1 header") << qint64(2) << 0 << composeEntryText("", "void");
        QTest::newRow("m2 header present") << qint64(2) << 1 << composeEntryText("kenó", "void");
        QTest::newRow("null m2 and meanings") << qint64(3) << 1 << composeEntryText("", "");
        QTest::newRow("apostrophes are text") << qint64(4) << 0 << composeEntryText("ὁ'", "the");
        QTest::newRow("no such id") << qint64(99) << 0 << QString();
        QTest::newRow("negative id") << qint64(-1) << 1 << QString();
    }
    void entryFromTheDatabase()
    {
        QFETCH(qint64, id);
        QFETCH(int, searchMode);
        QFETCH(QString, expected);
        QCOMPARE(composeEntry(id, static_cast<qint16>(searchMode)), expected);
    }

    void noDatabaseComposesNothing()
    {
        const auto kept = orvane::data::SharedDatabase();
        orvane::data::SharedDatabase().reset();
        QCOMPARE(composeEntry(1, 0), QString());
        orvane::data::SharedDatabase() = kept;
        QVERIFY(!composeEntry(1, 0).isEmpty());
    }

    // The box shows lines, and what is copied from it has one line break per line.
    void displayTextHasPlainLineBreaks()
    {
        const QString shown = entryDisplayText(composeEntryText("abc", "x\r\ny"));
        QCOMPARE(shown, "abc\n" + Rule + "\nx\ny\n\n");
        QVERIFY(!shown.contains(u'\r'));
    }

    void resultRowsCarryTheirIds()
    {
        orvane::dictionary::ResultListModel model;
        orvane::dictionary::SearchResults rows;
        const int count = 70000; // beyond what a 16-bit row counter could reach
        const auto termOf = [](int row) { return row % 3 == 0 ? QString() : QString::number(row); };
        for (int row = 0; row < count; ++row)
            rows.append(1000000 + row, termOf(row));
        model.setRows(std::move(rows));
        QCOMPARE(model.rowCount(), count);
        for (const int row : {0, 1, 2, 3, 32767, 32768, 65535, 65536, count - 2, count - 1}) {
            const QModelIndex index = model.index(row);
            QCOMPARE(index.data().toString(), termOf(row));
            QCOMPARE(index.data(orvane::dictionary::ResultListModel::EntryIdRole).toLongLong(), 1000000 + row);
        }
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestEntryComposer)
#include "test_entry_composer.moc"
