// Loading the display settings from tbl_config, including leaving at the first error.
#include "FixtureDatabase.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"

#include <QTest>

using namespace orvane::data;
using orvane::dictionary::DisplayConfig;
using orvane::dictionary::LoadDisplayConfig;
using orvane::dictionary::SharedDisplayConfig;
using orvane::testing::FixtureFolder;
using orvane::testing::FixtureRows;

namespace {

// Values no database holds, so a field the loader did not reach is plain to see.
DisplayConfig previousValues()
{
    return {u"old name"_qs, u"old1"_qs, u"old2"_qs, u"old3"_qs, u"old4"_qs, u"old5"_qs, 1, 2, 3, 4, 5};
}

DatabaseWriter::Config fullRow()
{
    return {.name = u"Orvane"_qs,
            .fnt1 = u"Noto Sans"_qs,
            .fnt3 = u"DejaVu Sans"_qs,
            .fnt4 = u"DejaVu Serif"_qs,
            .fnt5 = u"Noto Serif"_qs,
            .about = u"about"_qs,
            .fsz1 = 9.75,
            .fsz2 = 10,
            .fsz3 = 11,
            .fsz4 = 14.25,
            .fsz5 = 16};
}

} // namespace

// Found by argument-dependent lookup from QCOMPARE.
namespace orvane::dictionary {

bool operator==(const DisplayConfig& a, const DisplayConfig& b)
{
    return a.configName == b.configName && a.font1 == b.font1 && a.font2 == b.font2 && a.font3 == b.font3 &&
           a.font4 == b.font4 && a.font5 == b.font5 && a.size1 == b.size1 && a.size2 == b.size2 && a.size3 == b.size3 &&
           a.size4 == b.size4 && a.size5 == b.size5;
}

static char* toString(const DisplayConfig& c)
{
    return QTest::toString(u"{%1 | %2, %3, %4, %5, %6 | %7, %8, %9, %10, %11}"_qs
                               .arg(c.configName, c.font1, c.font2, c.font3, c.font4, c.font5)
                               .arg(c.size1)
                               .arg(c.size2)
                               .arg(c.size3)
                               .arg(c.size4)
                               .arg(c.size5));
}

} // namespace orvane::dictionary

Q_DECLARE_METATYPE(DisplayConfig)

class TestDisplayConfig final : public QObject
{
    Q_OBJECT

    // Writes `rows` as the program's database, connects, and loads over previousValues().
    static bool load(FixtureFolder& folder, const FixtureRows& rows, DatabaseWriter::Options options = {})
    {
        if (!folder.write(rows, std::move(options)) || !ConnectDatabase())
            return false;
        SharedDisplayConfig() = previousValues();
        LoadDisplayConfig();
        return true;
    }

private slots:
    void cleanup() { SharedDatabase().reset(); }

    void loadsFirstSettingsRow()
    {
        FixtureFolder folder;
        FixtureRows rows;
        rows.configs = {{.about = u"no name"_qs}, {.name = QString()}, fullRow(), {.name = u"Later"_qs}};
        QVERIFY(load(folder, rows));
        // fnt3 serves both the transliteration and the plain-letter box.
        const DisplayConfig expected{u"Orvane"_qs,
                                     u"Noto Sans"_qs,
                                     u"DejaVu Sans"_qs,
                                     u"DejaVu Sans"_qs,
                                     u"DejaVu Serif"_qs,
                                     u"Noto Serif"_qs,
                                     9.75,
                                     10,
                                     11,
                                     14.25,
                                     16};
        QCOMPARE(SharedDisplayConfig(), expected);
    }

    void nullsReadAsEmptyAndZero()
    {
        FixtureFolder folder;
        FixtureRows rows;
        rows.configs = {{.name = u"Orvane"_qs, .fnt1 = u"Noto Sans"_qs, .fsz2 = 10}};
        QVERIFY(load(folder, rows));
        const DisplayConfig expected{u"Orvane"_qs, u"Noto Sans"_qs, {}, {}, {}, {}, 0, 10, 0, 0, 0};
        QCOMPARE(SharedDisplayConfig(), expected);
    }

    void leavesAtFirstError_data()
    {
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<DisplayConfig>("expected");
        const DisplayConfig old = previousValues();
        QTest::newRow("no settings row") << QStringList{u"UPDATE tbl_config SET name = ''"_qs} << old;
        QTest::newRow("no config table") << QStringList{u"DROP TABLE tbl_config"_qs} << old;
        QTest::newRow("missing fnt4")
            << QStringList{u"CREATE TABLE t AS SELECT name, fnt1, fnt3, fnt5, fsz1, fsz2, fsz3, fsz4, fsz5 FROM tbl_config"_qs,
                           u"DROP TABLE tbl_config"_qs, u"ALTER TABLE t RENAME TO tbl_config"_qs}
            << DisplayConfig{u"Orvane"_qs, u"Noto Sans"_qs, u"DejaVu Sans"_qs, u"DejaVu Sans"_qs, old.font4, old.font5,
                             old.size1,    old.size2,       old.size3,         old.size4,         old.size5};
        QTest::newRow("size that is no number")
            << QStringList{u"UPDATE tbl_config SET fsz3 = 'large'"_qs} << DisplayConfig{u"Orvane"_qs,
                                                                                        u"Noto Sans"_qs,
                                                                                        u"DejaVu Sans"_qs,
                                                                                        u"DejaVu Sans"_qs,
                                                                                        u"DejaVu Serif"_qs,
                                                                                        u"Noto Serif"_qs,
                                                                                        9.75,
                                                                                        10,
                                                                                        old.size3,
                                                                                        old.size4,
                                                                                        old.size5};
        QTest::newRow("size given as text") << QStringList{u"UPDATE tbl_config SET fsz5 = ' 12.5 '"_qs}
                                            << DisplayConfig{u"Orvane"_qs,
                                                             u"Noto Sans"_qs,
                                                             u"DejaVu Sans"_qs,
                                                             u"DejaVu Sans"_qs,
                                                             u"DejaVu Serif"_qs,
                                                             u"Noto Serif"_qs,
                                                             9.75,
                                                             10,
                                                             11,
                                                             14.25,
                                                             12.5};
    }
    void leavesAtFirstError()
    {
        QFETCH(QStringList, sql);
        QFETCH(DisplayConfig, expected);
        FixtureFolder folder;
        FixtureRows rows;
        rows.configs = {fullRow()};
        rows.extraSql = sql;
        QVERIFY(load(folder, rows, {false, {}, true}));
        QCOMPARE(SharedDisplayConfig(), expected);
    }

    void noDatabaseChangesNothing()
    {
        SharedDatabase().reset();
        SharedDisplayConfig() = previousValues();
        LoadDisplayConfig();
        QCOMPARE(SharedDisplayConfig(), previousValues());
    }

    void reloadShowsChangedTable()
    {
        FixtureFolder folder;
        FixtureRows rows;
        rows.configs = {fullRow()};
        QVERIFY(load(folder, rows));
        rows.configs.front().fnt4 = u"Changed"_qs;
        QVERIFY(folder.write(rows));
        QVERIFY(ConnectDatabase());
        LoadDisplayConfig();
        QCOMPARE(SharedDisplayConfig().font4, u"Changed"_qs);
        QCOMPARE(SharedDisplayConfig().font1, u"Noto Sans"_qs);
    }
};

QTEST_APPLESS_MAIN(TestDisplayConfig)
#include "test_displayconfig.moc"
