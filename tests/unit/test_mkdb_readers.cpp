// The builder's readers: dictd dictionaries, TSV files, config files and m17n tables,
// on small files written here, including the faults an author makes and the file
// and line each fault must be reported with.
#include "TestFiles.h"

#include "ConfigFile.h"
#include "DictdReader.h"
#include "EntryTsvReader.h"
#include "InputError.h"
#include "MimReader.h"
#include "TsvReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <zlib.h>

using namespace orvane::mkdb;
using namespace Qt::StringLiterals;

namespace {

QString dictdNumber(qint64 value)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QString text;
    do {
        text.prepend(QLatin1Char(digits[value % 64]));
        value /= 64;
    } while (value > 0);
    return text;
}

QByteArray gzip(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// The expected text of an InputError, or empty when `read` throws none.
QString errorOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const InputError& error) {
        return error.text();
    }
    return {};
}

struct DictdBody
{
    QString headword;
    QByteArray body;
};

} // namespace

class TestMkdbReaders final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        if (!orvane::testing::writeFile(path, bytes))
            qFatal("cannot write the fixture %s", qPrintable(path));
        return path;
    }

    // Writes NAME.index and NAME.dict(.dz) from the bodies; returns the NAME path.
    QString writeDictd(const QString& name, const std::vector<DictdBody>& bodies, bool compressed)
    {
        QByteArray dict;
        QString index;
        for (const auto& [headword, body] : bodies) {
            index += u"%1\t%2\t%3\n"_s.arg(headword, dictdNumber(dict.size()), dictdNumber(body.size()));
            dict += body;
        }
        QFile::remove(m_dir.filePath(name + u".dict"_s));
        QFile::remove(m_dir.filePath(name + u".dict.dz"_s));
        write(name + u".index"_s, index.toUtf8());
        write(name + (compressed ? u".dict.dz"_s : u".dict"_s), compressed ? gzip(dict) : dict);
        return m_dir.filePath(name);
    }

private slots:
    void dictdEntries_data()
    {
        QTest::addColumn<bool>("compressed");
        QTest::newRow("dict.dz") << true;
        QTest::newRow("plain dict") << false;
    }
    void dictdEntries()
    {
        QFETCH(bool, compressed);
        const QString name = writeDictd(u"greek"_s,
                                        {{u"00databaseinfo"_s, "This is the dictionary's own description.\n"},
                                         {u"00-database-url"_s, "http://example.org\n"},
                                         {u"ψυχή"_s, "ψυχή /psiˈçi/ <n>\n1. soul\n2. sound post\n"},
                                         {u"μανία"_s, "μανία /maˈni.a/ <n>\nmania, fury\n\n"},
                                         {u"μανία"_s, "μανία <suffix>\nmania\n"},
                                         {u"λόγος"_s, "word, reason\n"}},
                                        compressed);
        const std::vector<SourceEntry> entries = DictdReader::read(name);
        QCOMPARE(entries.size(), size_t(4)); // the metadata entries are no words
        QCOMPARE(entries[0].m1, u"ψυχή"_s);
        QCOMPARE(entries[0].meanings, u"1. soul\r\n2. sound post"_s);
        QCOMPARE(entries[1].meanings, u"mania, fury"_s);
        QCOMPARE(entries[2].m1, u"μανία"_s); // a headword may have several entries
        QCOMPARE(entries[2].meanings, u"mania"_s);
        // A body that does not repeat its headword keeps its first line.
        QCOMPARE(entries[3].meanings, u"word, reason"_s);
        QVERIFY(!entries[0].m2 && !entries[0].m3);
        // A path given with its .index works the same.
        QCOMPARE(DictdReader::read(name + u".index"_s).size(), size_t(4));
    }

    void dictdNumbers_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        QTest::newRow("zero") << u"A"_s << true << qint64(0);
        QTest::newRow("last digit") << u"/"_s << true << qint64(63);
        QTest::newRow("two digits") << u"BA"_s << true << qint64(64);
        QTest::newRow("real offset") << u"IBP+"_s << true << qint64(((8 * 64 + 1) * 64 + 15) * 64 + 62);
        QTest::newRow("empty") << QString() << false << qint64(0);
        QTest::newRow("not a digit") << u"A-B"_s << false << qint64(0);
        QTest::newRow("padding is no digit") << u"AB="_s << false << qint64(0);
        QTest::newRow("too long") << u"AAAAAAAAAAA"_s << false << qint64(0);
    }
    void dictdNumbers()
    {
        QFETCH(QString, digits);
        QFETCH(bool, valid);
        QFETCH(qint64, value);
        qint64 decoded = -1;
        QCOMPARE(DictdReader::decodeNumber(digits, &decoded), valid);
        if (valid)
            QCOMPARE(decoded, value);
    }

    void dictdFaults_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QByteArray>("dict");
        QTest::addColumn<QString>("expected"); // file name and line the message must start with
        QTest::newRow("bad number") << QByteArray("ok\tA\tC\nbad\tA\t*\n") << QByteArray("ok\n") << u"bad.index:2:"_s;
        QTest::newRow("missing field") << QByteArray("\nhead\tA\n") << QByteArray("x") << u"bad.index:2:"_s;
        QTest::newRow("beyond the end") << QByteArray("a\tA\tC\nb\tC\tZ\n") << QByteArray("abc") << u"bad.index:2:"_s;
        QTest::newRow("index not UTF-8") << QByteArray("a\tA\tB\n\xff\xfe\tA\tB\n") << QByteArray("ab")
                                         << u"bad.index:2:"_s;
        QTest::newRow("body not UTF-8") << QByteArray("a\tA\tB\nb\tB\tB\n") << QByteArray("a\xff") << u"bad.index:2:"_s;
        QTest::newRow("blank headword") << QByteArray(" \tA\tB\n") << QByteArray("a") << u"bad.index:1:"_s;
    }
    void dictdFaults()
    {
        QFETCH(QByteArray, index);
        QFETCH(QByteArray, dict);
        QFETCH(QString, expected);
        QFile::remove(m_dir.filePath(u"bad.dict.dz"_s));
        write(u"bad.index"_s, index);
        write(u"bad.dict"_s, dict);
        const QString error = errorOf([&] { DictdReader::read(m_dir.filePath(u"bad"_s)); });
        QVERIFY2(error.startsWith(m_dir.filePath(expected)), qPrintable(error));
    }

    void dictdMissingOrDamagedDict()
    {
        write(u"lonely.index"_s, "a\tA\tB\n");
        QString error = errorOf([&] { DictdReader::read(m_dir.filePath(u"lonely"_s)); });
        QVERIFY2(error.contains(u"lonely.dict.dz"_s) && error.contains(u"lonely.dict"_s), qPrintable(error));

        write(u"broken.index"_s, "a\tA\tB\n");
        write(u"broken.dict.dz"_s, gzip("some text").left(12)); // cut short
        error = errorOf([&] { DictdReader::read(m_dir.filePath(u"broken"_s)); });
        QVERIFY2(error.startsWith(m_dir.filePath(u"broken.dict.dz: "_s)), qPrintable(error));
    }

    void tsvEscapes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected"); // the text, or "error" for a fault
        QTest::newRow("plain") << u"word"_s << u"word"_s;
        QTest::newRow("tab") << u"a\\tb"_s << u"a\tb"_s;
        QTest::newRow("line break is CR LF") << u"one\\ntwo"_s << u"one\r\ntwo"_s;
        QTest::newRow("backslash") << u"a\\\\n"_s << u"a\\n"_s;
        QTest::newRow("unknown escape") << u"a\\x"_s << u"error"_s;
        QTest::newRow("trailing backslash") << u"a\\"_s << u"error"_s;
    }
    void tsvEscapes()
    {
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QString result;
        const QString error = errorOf([&] { result = TsvReader::unescape(field, u"x.tsv"_s, 7); });
        if (expected == u"error"_s)
            QVERIFY2(error.startsWith(u"x.tsv:7: "_s), qPrintable(error));
        else
            QCOMPARE(result, expected);
    }

    void tsvRowsKeepTheirLineNumbers()
    {
        const QString path = write(u"rows.tsv"_s, "a\tb\r\n\nc\td\n");
        const auto rows = TsvReader::read(path, 2);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[1].line, 3);
        QCOMPARE(rows[1].fields, (QStringList{u"c"_s, u"d"_s}));
        const QString error = errorOf([&] { TsvReader::read(write(u"short.tsv"_s, "a\tb\n\nc\n"), 2); });
        QVERIFY2(error.startsWith(m_dir.filePath(u"short.tsv:3: expected 2"_s)), qPrintable(error));
    }

    void entryTsv()
    {
        const QString path = write(u"entries.tsv"_s, "ψυχή\tpsychḗ\t\tsoul\\nmind\nλόγος\t\t\tword\n");
        const auto entries = EntryTsvReader::read(path);
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0].m2, std::optional<QString>(u"psychḗ"_s));
        QVERIFY(!entries[0].m3); // left for the transform
        QVERIFY(!entries[1].m2);
        QCOMPARE(entries[0].meanings, u"soul\r\nmind"_s);
        const QString error =
            errorOf([&] { EntryTsvReader::read(write(u"nohead.tsv"_s, "a\tb\tc\td\n \tb\tc\td\n")); });
        QVERIFY2(error.startsWith(m_dir.filePath(u"nohead.tsv:2: "_s)), qPrintable(error));
    }

    void config()
    {
        write(u"about.txt"_s, "Line one\nLine two\n\n");
        const QString path = write(u"good.conf"_s, "# settings\nname = Orvane\n\nfnt1 = Noto Sans\nfnt3=DejaVu Sans\n"
                                                   "fnt4 = A\nfnt5 = B\nfsz1 = 12\nfsz2 = 9.75\nfsz5 = 14\n"
                                                   "about-file = about.txt\n");
        const auto config = ConfigFile::read(path);
        QCOMPARE(config.name, std::optional<QString>(u"Orvane"_s));
        QCOMPARE(config.fnt1, std::optional<QString>(u"Noto Sans"_s));
        QCOMPARE(config.fnt3, std::optional<QString>(u"DejaVu Sans"_s));
        QCOMPARE(config.fsz2, std::optional<double>(9.75));
        QVERIFY(!config.fsz3); // not given: left null
        QCOMPARE(config.about, std::optional<QString>(u"Line one\r\nLine two"_s));
    }

    void configFaults_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::newRow("unknown key") << QByteArray("name = x\n# c\nfont1 = y\n") << 3;
        QTest::newRow("size not a number") << QByteArray("fsz1 = big\n") << 1;
        QTest::newRow("size not positive") << QByteArray("\nfsz2 = 0\n") << 2;
        QTest::newRow("key twice") << QByteArray("name = a\nname = b\n") << 2;
        QTest::newRow("no equals sign") << QByteArray("name Orvane\n") << 1;
    }
    void configFaults()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        const QString path = write(u"bad.conf"_s, text);
        const QString error = errorOf([&] { ConfigFile::read(path); });
        QVERIFY2(error.startsWith(u"%1:%2: "_s.arg(path).arg(line)), qPrintable(error));
    }

    void configMissingAboutFile()
    {
        const QString path = write(u"noabout.conf"_s, "about-file = nowhere.txt\n");
        const QString error = errorOf([&] { ConfigFile::read(path); });
        QVERIFY2(error.startsWith(m_dir.filePath(u"nowhere.txt: cannot read"_s)), qPrintable(error));
    }

    void mimRules()
    {
        const QString path = write(u"excerpt.mim"_s, ";; an excerpt; \"quotes\" in comments are ignored\n"
                                                     "(input-method t test)\n"
                                                     "(description \"Test \\\"table\\\".\")\n"
                                                     "(map\n"
                                                     "  (trans\n"
                                                     "   (\"a'\" \"á\")\t   (\"a''\" \"a'\")\n"
                                                     "   ((?e ?-) \"ē\")\n"
                                                     "   (\"e-'\" ?ḗ)\n"
                                                     "   ((?\\\" ?\\\") \"\\\"\")\n"
                                                     "   ((\"x\" 121) 0x3b1)\n"
                                                     "   ((Return) \"\\n\")\n"
                                                     "   (\"k\" (\"κ\" \"ϰ\"))\n"
                                                     "   (\"q\" \"θ\" (shift s2))\n"
                                                     "   (include (t latn-post) map)))\n"
                                                     "(state (init (trans)))\n"
                                                     "\n");
        const MimReader table(path);
        const std::vector<std::pair<QString, QString>> expected{{u"a'"_s, u"á"_s},    {u"a''"_s, u"a'"_s},
                                                                {u"e-"_s, u"ē"_s},    {u"e-'"_s, u"ḗ"_s},
                                                                {u"\"\""_s, u"\""_s}, {u"xy"_s, u"α"_s}};
        QCOMPARE(table.rules().size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(table.rules()[i].keys, expected[i].first);
            QCOMPARE(table.rules()[i].output, expected[i].second);
        }
        QCOMPARE(table.rules()[2].origin, path + u":7"_s);
        // Named keys, candidate lists, commands and includes are passed over, each reported.
        QCOMPARE(table.skipped().size(), 4);
        QVERIFY(table.skipped()[0].startsWith(path + u":11: "_s));
    }

    void mimFaults_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::newRow("string never closed") << QByteArray("(map\n (trans\n  (\"a\" \"b)))\n") << 3;
        QTest::newRow("list never closed") << QByteArray("(title \"x\")\n(map\n (trans (\"a\" \"b\"))\n") << 2;
        QTest::newRow("stray parenthesis") << QByteArray("(map (trans))\n\n)\n") << 3;
        QTest::newRow("nested without end") << QByteArray("\n") + QByteArray(100000, '(') << 2;
    }
    void mimFaults()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        const QString path = write(u"bad.mim"_s, text);
        const QString error = errorOf([&] { MimReader{path}; });
        QVERIFY2(error.startsWith(u"%1:%2: "_s.arg(path).arg(line)), qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestMkdbReaders)
#include "test_mkdb_readers.moc"
