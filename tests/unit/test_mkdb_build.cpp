// The builder as a whole: sources written here go in, a keyed database comes out and
// is read back through the core. Faults name their file and line and never leave a
// partial database under the target name. Last, the bundled dictionary itself.
#include "TestFiles.h"

#include "MkdbBuilder.h"

#include "core/data/Database.h"
#include "core/data/Mainmode.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace orvane;
using namespace Qt::StringLiterals;
using mkdb::MkdbBuilder;

namespace {

data::DatabaseHandle openBuilt(const QString& path)
{
    QString error;
    data::DatabaseHandle database = data::Database::open(path, QString::fromLatin1(data::DatabasePassword), &error);
    if (!database)
        qWarning("cannot open %s: %s", qPrintable(path), qPrintable(error));
    return database;
}

// Every row of a statement, each as the values of `columns` ("<null>" for null).
QList<QStringList> rowsOf(data::Database& database, data::Statement statement, const QStringList& columns)
{
    QList<QStringList> rows;
    statement.columns = columns;
    for (data::RecordSet set = database.OpenRecordset(statement); !set.Eof(); set.MoveNext()) {
        QStringList row;
        for (const QString& column : columns)
            row << set.Fields(column).value_or(u"<null>"_s);
        rows << row;
    }
    return rows;
}

data::Statement wholeTable(const QString& table, const QString& orderBy = {})
{
    return {table, {}, std::nullopt, orderBy};
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestMkdbBuild final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        if (!testing::writeFile(path, bytes))
            qFatal("cannot write the fixture %s", qPrintable(path));
        return path;
    }

    // A small dictionary from every kind of source.
    MkdbBuilder::Options fixtureOptions(const QString& output)
    {
        // dictd: "00databaseinfo" at 0 (18 bytes), ψυχή at 18 (36 bytes), μανία at 54 (30 bytes).
        const QByteArray dict = "about the dictionary\n"
                                "ψυχή /psiˈçi/ <n>\nsoul\nmind\n"
                                "μανία /maˈni.a/\nmania, fury\n";
        const qsizetype psyche = dict.indexOf("ψυχή"), mania = dict.indexOf("μανία");
        auto number = [](qint64 value) {
            static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
            QByteArray text;
            do {
                text.prepend(digits[value % 64]);
                value /= 64;
            } while (value > 0);
            return text;
        };
        write(u"greek.dict"_s, dict);
        write(u"greek.index"_s, "00databaseinfo\tA\t" + number(psyche) + "\nψυχή\t" + number(psyche) + "\t" +
                                    number(mania - psyche) + "\nμανία\t" + number(mania) + "\t" +
                                    number(dict.size() - mania) + "\n");
        write(u"entries.tsv"_s, "λόγος\tlógos\t\tword\\nreason\nκόσμος\tkósmos\tkosmos-x\tworld\n");
        write(u"keys.tsv"_s, "s_\ts̱\n");
        write(u"table.mim"_s, "(map (trans (\"e-\" \"ē\") (\"e'\" \"é\") (\"a~\" \"ã\") (\"a~~\" \"ă\")\n"
                              "  (\"zz\" \"azz\")))\n");
        write(u"glyphs.txt"_s, "ϐ\nβ\nϑ\n"); // β is in the set too: offered once, in list order
        write(u"about.txt"_s, "Fixture dictionary\nCC BY-SA 3.0\n");
        write(u"settings.conf"_s, "name = Fixture\nfnt1 = Noto Sans\nfnt3 = DejaVu Sans\nfsz1 = 12.5\n"
                                  "about-file = about.txt\n");
        MkdbBuilder::Options options;
        options.output = output;
        options.dictd = {m_dir.filePath(u"greek"_s)};
        options.entriesTsv = {m_dir.filePath(u"entries.tsv"_s)};
        options.m2Transform = u"Greek-Latin"_s;
        options.keyboardTsv = {m_dir.filePath(u"keys.tsv"_s)};
        options.keyboardMim = {m_dir.filePath(u"table.mim"_s)};
        options.glyphSet = u"[αβγ]"_s;
        options.glyphLists = {m_dir.filePath(u"glyphs.txt"_s)};
        options.config = m_dir.filePath(u"settings.conf"_s);
        return options;
    }

private slots:
    void buildsEveryTable()
    {
        const QString output = m_dir.filePath(u"fixture.mdb"_s);
        MkdbBuilder builder(fixtureOptions(output));
        const mode_t previousMask = umask(022);
        const bool built = builder.run();
        umask(previousMask);
        QVERIFY2(built, qPrintable(builder.error()));
        // Readable by every user of the program, like any file made with this umask.
        QCOMPARE(QFile::permissions(output) & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner),
                 QFile::ReadOther | QFile::WriteOwner);
        const data::DatabaseHandle database = openBuilt(output);
        QVERIFY(database);

        const QStringList columns{u"id"_s, u"m1"_s, u"m2"_s, u"m3"_s, u"meanings"_s};
        const QList<QStringList> expected{
            {u"1"_s, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul\r\nmind"_s},
            {u"2"_s, u"μανία"_s, u"manía"_s, u"mania"_s, u"mania, fury"_s},
            {u"3"_s, u"λόγος"_s, u"lógos"_s, u"logos"_s, u"word\r\nreason"_s}, // m3 from the given m2
            {u"4"_s, u"κόσμος"_s, u"kósmos"_s, u"kosmos-x"_s, u"world"_s},     // both given: kept
        };
        QCOMPARE(rowsOf(*database, wholeTable(u"tbl_dictionary"_s, u"id"_s), columns), expected);
        // The search keys are there: a search without diacritics finds ψυχή.
        QCOMPARE(rowsOf(*database, data::Statement::dictionaryByPlain(u"PSY"_s), {u"id"_s}),
                 QList<QStringList>{{u"1"_s}});

        const QList<QStringList> keys = rowsOf(*database, wholeTable(u"tbl_keyboard"_s), {u"input"_s, u"display"_s});
        for (const QStringList& rule : {QStringList{u"e-"_s, u"ē"_s}, QStringList{u"ē'"_s, u"ḗ"_s},
                                        QStringList{u"ã~"_s, u"ă"_s}, QStringList{u"s_"_s, u"s̱"_s}})
            QVERIFY2(keys.contains(rule), qPrintable(rule.join(u" → "_s)));
        for (const QStringList& rule : keys)
            QVERIFY2(rule[0] != u"zz"_s, "a rule that never comes to rest was written");
        QVERIFY(builder.report().join(u'\n').contains(u"zz → azz left out"_s));

        QCOMPARE(rowsOf(*database, data::Statement::glyphsInOrder(), {u"id"_s, u"glyph"_s}),
                 (QList<QStringList>{
                     {u"1"_s, u"ϐ"_s}, {u"2"_s, u"β"_s}, {u"3"_s, u"ϑ"_s}, {u"4"_s, u"α"_s}, {u"5"_s, u"γ"_s}}));
        QCOMPARE(rowsOf(*database, data::Statement::configSettings(),
                        {u"name"_s, u"fnt1"_s, u"fnt3"_s, u"fnt4"_s, u"fsz1"_s, u"about"_s}),
                 (QList<QStringList>{{u"Fixture"_s, u"Noto Sans"_s, u"DejaVu Sans"_s, u"<null>"_s, u"12.5"_s,
                                      u"Fixture dictionary\r\nCC BY-SA 3.0"_s}}));
    }

    void faultsNameFileAndLineAndKeepTheTarget_data()
    {
        QTest::addColumn<QString>("file");    // the source to spoil
        QTest::addColumn<QByteArray>("text"); // its spoilt content
        QTest::addColumn<QString>("where");   // the start of the message
        QTest::newRow("entries TSV") << u"entries.tsv"_s << QByteArray("a\tb\tc\td\nonly\ttwo\n")
                                     << u"entries.tsv:2: "_s;
        QTest::newRow("keyboard TSV") << u"keys.tsv"_s << QByteArray("ab\tx\nabc\ty\n") << u"keys.tsv:2: "_s;
        QTest::newRow("m17n table") << u"table.mim"_s << QByteArray("(map\n (trans\n (\"a\" \"b\"\n")
                                    << u"table.mim:3: "_s;
        QTest::newRow("config") << u"settings.conf"_s << QByteArray("name = x\nfsz9 = 3\n") << u"settings.conf:2: "_s;
        QTest::newRow("dictd index") << u"greek.index"_s << QByteArray("word\tA\t!!\n") << u"greek.index:1: "_s;
        QTest::newRow("glyph list") << u"glyphs.txt"_s << QByteArray("α\n \n") << u"glyphs.txt:2: "_s;
    }
    void faultsNameFileAndLineAndKeepTheTarget()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QString, where);
        const QString output = m_dir.filePath(u"kept.mdb"_s);
        MkdbBuilder good(fixtureOptions(output));
        QVERIFY2(good.run(), qPrintable(good.error()));
        const QByteArray before = fileHash(output);
        const QStringList filesBefore = QDir(m_dir.path()).entryList(QDir::Files);

        MkdbBuilder::Options options = fixtureOptions(output);
        write(file, text);
        MkdbBuilder bad(options);
        QVERIFY(!bad.run());
        QVERIFY2(bad.error().startsWith(m_dir.filePath(where)), qPrintable(bad.error()));
        QCOMPARE(fileHash(output), before);                               // the earlier database is untouched
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), filesBefore); // and nothing is left behind

        // Without an earlier database, no file appears at all.
        options.output = m_dir.filePath(u"fresh.mdb"_s);
        QVERIFY(!MkdbBuilder(options).run());
        QVERIFY(!QFile::exists(options.output));
    }

    void faultsWithoutALine_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // a part of the message
        QTest::newRow("unknown transform")
            << u"m2"_s << u"Greek-Klingon"_s << u"--m2-transform: ICU has no transform"_s;
        QTest::newRow("bad set pattern") << u"glyphs"_s << u"[[:Greek:]"_s << u"--glyph-set: not a valid ICU set"_s;
        QTest::newRow("missing dictionary") << u"dictd"_s << u"nowhere"_s << u"nowhere.dict.dz: no such file"_s;
        QTest::newRow("folder that does not exist")
            << u"output"_s << u"no/such/folder/x.mdb"_s << u"x.mdb: cannot write the database"_s;
    }
    void faultsWithoutALine()
    {
        QFETCH(QString, option);
        QFETCH(QString, value);
        QFETCH(QString, message);
        MkdbBuilder::Options options = fixtureOptions(m_dir.filePath(u"never.mdb"_s));
        if (option == u"m2"_s)
            options.m2Transform = value;
        else if (option == u"glyphs"_s)
            options.glyphSet = value;
        else if (option == u"dictd"_s)
            options.dictd = {m_dir.filePath(value)};
        else
            options.output = m_dir.filePath(value);
        MkdbBuilder builder(options);
        QVERIFY(!builder.run());
        QVERIFY2(builder.error().contains(message), qPrintable(builder.error()));
        QVERIFY(!QFile::exists(options.output));
    }

    void notesOnSettingsTheProgramWouldIgnore()
    {
        MkdbBuilder::Options options = fixtureOptions(m_dir.filePath(u"notes.mdb"_s));
        options.glyphSet = u"[\\u4E00-\\u9FFF]"_s; // more than the picker holds
        write(u"settings.conf"_s, "fnt1 = Noto Sans\n");
        MkdbBuilder builder(options);
        QVERIFY2(builder.run(), qPrintable(builder.error()));
        const QString report = builder.report().join(u'\n');
        QVERIFY2(report.contains(u"the picker offers only the first 5001"_s), qPrintable(report));
        QVERIFY2(report.contains(u"settings.conf: no name given"_s), qPrintable(report));
    }

    void commandLine()
    {
        const QString program = QStringLiteral(ORVANE_MKDB_PROGRAM);
        QVERIFY2(QFile::exists(program), "build orvane-mkdb first");
        QProcess help;
        help.start(program, {u"--help"_s});
        QVERIFY(help.waitForFinished(30000));
        QCOMPARE(help.exitCode(), 0);
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        for (const QString& option : {u"--output"_s, u"--dictd"_s, u"--entries-tsv"_s, u"--m2-transform"_s,
                                      u"--m3-transform"_s, u"--keyboard-tsv"_s, u"--keyboard-mim"_s, u"--glyph-set"_s,
                                      u"--glyph-list"_s, u"--config"_s, u"Example"_s})
            QVERIFY2(text.contains(option), qPrintable(option));

        write(u"broken.tsv"_s, "a\tb\tc\td\nno tabs here\n");
        const QString output = m_dir.filePath(u"cli.mdb"_s);
        QProcess build;
        build.start(program, {u"--entries-tsv"_s, m_dir.filePath(u"broken.tsv"_s), u"--output"_s, output});
        QVERIFY(build.waitForFinished(30000));
        QCOMPARE(build.exitCode(), 1);
        QVERIFY(QString::fromUtf8(build.readAllStandardError()).contains(m_dir.filePath(u"broken.tsv:2: "_s)));
        QVERIFY(!QFile::exists(output));
    }

    void bundledDictionary()
    {
        const QString path = QStringLiteral(ORVANE_BUNDLED_DATABASE);
        if (!QFile::exists(path))
            QSKIP("the bundled dictionary is not built (ORVANE_BUILD_DICTIONARY is off)");
        const data::DatabaseHandle database = openBuilt(path);
        QVERIFY(database);
        QCOMPARE(rowsOf(*database, data::Statement::dictionaryByScript(QString()), {u"id"_s}).size(), 35308);

        const QStringList columns{u"m1"_s, u"m2"_s, u"m3"_s, u"meanings"_s};
        const QList<QStringList> psyche = rowsOf(*database, data::Statement::dictionaryByScript(u"ψυχή"_s), columns);
        QVERIFY(!psyche.isEmpty());
        QCOMPARE(psyche.first().mid(0, 3), (QStringList{u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s}));
        QVERIFY(psyche.first()[3].startsWith(u"1. soul\r\n2. sound post"_s));
        const QList<QStringList> mania = rowsOf(*database, data::Statement::dictionaryByPlain(u"mania"_s), columns);
        QVERIFY(mania.contains(QStringList{u"μανία"_s, u"manía"_s, u"mania"_s, u"mania, furore, fury"_s}));
        const QList<QStringList> abacus =
            rowsOf(*database, data::Statement::dictionaryByTranslit(u"ábakas"_s), columns);
        QCOMPARE(abacus.value(0).value(3), u"abacus"_s);

        const QList<QStringList> keys = rowsOf(*database, wholeTable(u"tbl_keyboard"_s), {u"input"_s, u"display"_s});
        QVERIFY(keys.contains(QStringList{u"e-"_s, u"ē"_s}));
        QVERIFY(keys.contains(QStringList{u"ē'"_s, u"ḗ"_s}));
        QVERIFY(keys.contains(QStringList{u"ō'"_s, u"ṓ"_s}));
        QVERIFY(keys.size() > 200);

        const QList<QStringList> glyphs = rowsOf(*database, data::Statement::glyphsInOrder(), {u"glyph"_s});
        QVERIFY(glyphs.size() > 300 && glyphs.size() <= 5001);
        QVERIFY(glyphs.contains(QStringList{u"ψ"_s}) && glyphs.contains(QStringList{u"ἀ"_s}));
        QVERIFY(!glyphs.contains(QStringList{u"a"_s}));
        // The everyday alphabet opens the picker's first page, each letter offered once.
        QCOMPARE(glyphs.mid(0, 3), (QList<QStringList>{{u"α"_s}, {u"β"_s}, {u"γ"_s}}));
        QCOMPARE(glyphs.count(QStringList{u"α"_s}), 1);

        const QList<QStringList> config =
            rowsOf(*database, data::Statement::configSettings(), {u"name"_s, u"fnt1"_s, u"about"_s});
        QCOMPARE(config.size(), 1);
        QCOMPARE(config[0][0], u"Orvane"_s);
        QVERIFY(!config[0][1].isEmpty() && config[0][1] != u"<null>"_s);
        QVERIFY(config[0][2].contains(u"CC BY-SA 3.0"_s) && config[0][2].contains(u"Wiktionary"_s));
        QVERIFY(!config[0][2].contains(QRegularExpression(u"[^\r]\n"_s))); // stored line breaks are CR LF
    }
};

QTEST_APPLESS_MAIN(TestMkdbBuild)
#include "test_mkdb_build.moc"
