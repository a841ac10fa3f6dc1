// The dictionary builder: readers, keyboard rules, whole builds and file permissions.
#include "FixtureDatabase.h"
#include "TableRows.h"

#include "ConfigFile.h"
#include "DictdReader.h"
#include "EntryTsvReader.h"
#include "GlyphSource.h"
#include "InputError.h"
#include "KeyboardBuilder.h"
#include "MimReader.h"
#include "MkdbBuilder.h"

#include <QProcess>
#include <QTest>
#include <sys/stat.h> // umask

using namespace orvane;
using namespace orvane::mkdb;
using orvane::testing::addRows;
using orvane::testing::given;
using namespace Qt::StringLiterals;

namespace {

// One file per row, x.KIND (x.index for dictd). extra: the .dict beside a dictd index (in
// hex for dictd.dz, which is read through the .index name), the about file of a conf.
// expected: what the reader made of it (entries, then the lines it skipped), or "!" and the start of the error. "(*"
// is 100,000 "(".
using SourceCase = std::tuple<const char*, const char*, const char*, const char*, const char*>;
const SourceCase sourceCases[] = {
    {"dictd", "dictd", "00databaseinfo\tA\tBH\nlogos\tBH\tX\nlogos\tBe\tN\nkosmos\tBr\tN\n00-database-url\tB4\tJ\n",
     "A Greek-English test dictionary, written for the tests of the builder.\n"
     "logos <n>\nword\nreason\n\nlogos\nspeech\nworld, order\nhttp://x\n",
     "logos|-|-|word\r\nreason\nlogos|-|-|speech\nkosmos|-|-|world, order"},
    {"dictd.dz of two members", "dictd.dz", "a\tA\tD\nb\tD\tD\n",
     "1f8b08000000000002034be4aa000081696512030000001f8b08000000000002034be2aa04004ee7246703000000",
     "a|-|-|x\nb|-|-|y"},
    {"dictd: ten digits", "dictd", "a\tAAAAAAAAAA\tB\n", "a", "a|-|-|"},
    {"dictd: eleven digits", "dictd", "a\tAAAAAAAAAAA\tB\n", "a",
     "skipped x.index:1: offset or length is not a dictd base64 number: AAAAAAAAAAA B"},
    {"dictd: bad number", "dictd", "ok\tA\tC\nbad\tA\t*\n", "ok\n",
     "ok|-|-|\nskipped x.index:2: offset or length is not a dictd base64 number: A *"},
    {"dictd: beyond the end", "dictd", "a\tA\tC\nb\tC\tZ\n", "abc",
     "a|-|-|\nskipped x.index:2: entry lies beyond the end of x.dict (3 bytes)"},
    {"dictd: body not UTF-8", "dictd", "a\tA\tB\nb\tB\tB\n", "a\xff",
     "a|-|-|\nskipped x.index:2: the entry's text in x.dict is not valid UTF-8"},
    {"dictd: blank headword, fields", "dictd", " \tA\tB\nb\tA\n", "a",
     "skipped x.index:1: empty headword\nskipped x.index:2: expected headword, offset and length separated by tabs"},
    {"dictd: no dict", "dictd", "a\tA\tB\n", nullptr, "!x.dict.dz: no such file (nor x.dict)"},
    {"dictd: dict.dz cut short", "dictd.dz", "a\tA\tB\n", "1f8b08000000000002034be4", "!x.dict.dz: not a complete"},
    {"tsv", "tsv", "\357\273\277a\tb\t\tc\\nd\r\n\ne\t\t\tf\\tg\\\\n\n", nullptr, "a|b|-|c\r\nd\ne|-|-|f\tg\\n"}, // BOM
    {"tsv: unknown escape", "tsv", "a\tb\tc\td\\x\n", nullptr,
     "skipped x.tsv:1: unknown escape \\x (use \\t, \\n or \\\\)"},
    {"tsv: fields", "tsv", "a\tb\tc\td\n\nc\n", nullptr,
     "a|b|c|d\nskipped x.tsv:3: expected 4 tab-separated fields, found 1"},
    {"tsv: blank headword", "tsv", "a\tb\tc\td\n \tb\tc\td\n", nullptr,
     "a|b|c|d\nskipped x.tsv:2: the headword (first field, m1) is empty"},
    {"tsv: not UTF-8", "tsv", "a\tb\tc\td\nb\xff\tc\td\te\n", nullptr, "!x.tsv:2: the text is not valid UTF-8"},
    {"conf", "conf", "# c\nname = O\n\nfnt1 = N S\nfnt3=D\nfsz2 = 9.75\nfsz5 = 400\nabout-file = a\n", "1\n2\n\n",
     "O|N S|D|-|-|-|9.75|-|-|400|1\r\n2"},
    {"conf: unknown key", "conf", "name = x\n# c\nfont1 = y\n", nullptr, "!x.conf:3: unknown key \"font1\""},
    {"conf: size not a number", "conf", "fsz1 = big\n", nullptr, "!x.conf:1: fsz1 must be a font size"},
    {"conf: size not positive", "conf", "\nfsz2 = 0\n", nullptr, "!x.conf:2: fsz2 must be a font size"},
    {"conf: key twice", "conf", "name = a\nname = b\n", nullptr, "!x.conf:2: name is given twice"},
    {"conf: no about file", "conf", "about-file = nowhere\n", nullptr, "!nowhere: cannot read the file"},
    {"mim", "mim",
     ";; a comment; \"quotes\" in it are ignored\n(input-method t test)\n(description \"A \\\"t\\\".\")\n"
     "(map\n (trans\n  (\"a'\" \"á\")\t(\"a''\" \"a'\")\n  ((?e ?-) \"ē\") ((a \"𝐛\") ?𝐜) ()\n  (\"e-'\" ?ḗ)\n"
     "  ((?\\\" ?\\\") \"\\\"\")\n  ((\"x\" 121) 0x3b1)\n  ((Return) \"\\n\")\n  (\"k\" (\"κ\" \"ϰ\"))\n"
     "  (\"q\" \"θ\" (shift s2))\n  (include (t latn-post) map)))\n(state (init (trans)))\n",
     nullptr, "a'=á@6 a''=a'@6 e-=ē@7 a𝐛=𝐜@7 e-'=ḗ@8 \"\"=\"@9 xy=α@10 skip@7 skip@11 skip@12 skip@13 skip@14"},
    {"mim: string never closed", "mim", "(map\n (trans\n  (\"a\" \"b)))\n", nullptr, "!x.mim:3: this string is never"},
    {"mim: list never closed", "mim", "(title \"x\")\n(map\n (t (\"a\" \"b\"))\n", nullptr, "!x.mim:2: this list"},
    {"mim: stray parenthesis", "mim", "(map (trans))\n\n)\n", nullptr, "!x.mim:3: unbalanced closing parenthesis"},
    {"mim: nested too deep", "mim", "\n(*", nullptr, "!x.mim:2: lists are nested more than 256 deep"},
    {"mim: ends in an escape", "mim", "(map (\"a\\", nullptr, "!x.mim:1: unexpected end of the file"},
    {"glyph list: blank", "txt", "α\n \n", nullptr, "!x.txt:2: a glyph must not be blank"},
};

QString readSource(const char* kindName, const char* contents, const char* extra, const QString& folder)
{
    const QString kind = QString::fromLatin1(kindName);
    const bool dictd = kind.startsWith(u"dictd"_s), dz = kind == u"dictd.dz"_s;
    const QString path = folder + (dictd ? u"/x.index"_s : u"/x."_s + kind);
    testing::writeFile(path, QByteArray(contents).replace("(*", QByteArray(100000, '(')));
    if (extra)
        testing::writeFile(folder + (dictd ? (dz ? u"/x.dict.dz"_s : u"/x.dict"_s) : u"/a"_s),
                           dz ? QByteArray::fromHex(extra) : QByteArray(extra));
    const auto text = [](const std::optional<QString>& value) { return value.value_or(u"-"_s); };
    const auto size = [](const std::optional<double>& value) { return value ? QString::number(*value) : u"-"_s; };
    SkippedLines skipped;
    const auto entries = [&](const std::vector<SourceEntry>& read) {
        QStringList lines;
        for (const SourceEntry& e : read)
            lines << QStringList{e.m1, text(e.m2), text(e.m3), e.meanings}.join(u'|');
        for (const InputError& fault : skipped)
            lines << u"skipped "_s + fault.text().remove(folder + u'/');
        return lines.join(u'\n');
    };
    try {
        if (dictd)
            return entries(DictdReader::read(dz ? path : path.chopped(6), &skipped));
        if (kind == u"tsv"_s)
            return entries(EntryTsvReader::read(path, &skipped));
        if (kind == u"txt"_s)
            return GlyphSource::fromList(path).join(u' ');
        if (kind == u"conf"_s) {
            const core::data::DatabaseWriter::Config c = ConfigFile::read(path);
            return QStringList{text(c.name), text(c.fnt1), text(c.fnt3), text(c.fnt4), text(c.fnt5), size(c.fsz1),
                               size(c.fsz2), size(c.fsz3), size(c.fsz4), size(c.fsz5), text(c.about)}
                .join(u'|');
        }
        const MimReader table(path);
        QStringList read;
        for (const KeySequence& rule : table.rules())
            read << rule.keys + u'=' + rule.output + u'@' + rule.origin.mid(path.size() + 1);
        for (const QString& note : table.skipped())
            read << u"skip@"_s + note.mid(path.size() + 1).section(u':', 0, 0);
        return read.join(u' ');
    } catch (const InputError& error) {
        return u'!' + error.text().remove(folder + u'/');
    }
}

// Rules "input=display|…" of keys.tsv and table.mim; alphabet: the letters to complete; typed "keys>shown|…";
// leftOut: a part of each line of leftOut(), in order.
using KeyCase = std::tuple<const char*, const char*, const char*, const char*, const char*, const char*>;
const KeyCase keyCases[] = {
    {"longer sequences chain", "", "a~~~=a~|a''=a'|a~~=ă|a'=á|a~=ã|e-=ē", "", "a'>á|a~~>ă|a~~~>ã|pse->psē|a''>á'|xy>xy",
     "table.mim:2: á' → a' left out: the chain á' → a' → á only swallows the key"},
    {"display ends in its input", "ab=xab", "", "", "ab>ab", "keys.tsv:1: ab → xab left out: the replacements would"},
    {"three in a ring", "ab=bc|bc=ca|ca=ab", "", "", "ab>ca", "keys.tsv:3: ca → ab left out: the replacements would"},
    {"one key after a blank", "k= k", "", "", "", "keys.tsv:1: k →  k left out: the replacements would never end"},
    {"shrinking feeds growing", "ab=c|xc=xab", "", "", "xab>xc", "keys.tsv:2: xc → xab left out: the replacements"},
    {"first rule wins", "a'=ά|e'=é", "a'=á|e'=é|o'=ó|o'=ò", "", "a'>ά|e'>é|o'>ó",
     "table.mim:1: a' → á left out: the input is already taken by a' → ά (keys.tsv:1)|table.mim:4: o' → ò left out"},
    {"first keys show one character", "", "ae/=æ|/=°", "", " />°|ae/>ae/", "table.mim:1: ae/ → æ left out: its first"},
    {"empty display", "zz=", "", "", "zz>zz", "keys.tsv:1: zz →  left out: an empty display never replaces anything"},
    {"alphabet completed", "", "e-=ē|E-=Ē|e'=é|u\"=ü", "ḗ Ḗ ǘ ḯ é a ş", "e-'>ḗ|E-'>Ḗ|u\"'>ǘ|i\">ï|i\"'>ḯ|e'>é",
     "letter of the transliteration: ş (U+015f) has no rule"},
    {"alphabet by another mark", "e-=ē|e'=é|zḗ=zē'", "", "ḗ", "é->ḗ|ē'>ē'", "ē' → ḗ left out: the replacements would"},
};

std::vector<KeySequence> rulesOf(const char* text, const QString& file)
{
    std::vector<KeySequence> rules;
    for (const QString& rule : QString::fromUtf8(text).split(u'|', Qt::SkipEmptyParts))
        rules.push_back({rule.section(u'=', 0, 0), rule.section(u'=', 1), u"%1:%2"_s.arg(file).arg(rules.size() + 1)});
    return rules;
}

// orvane-mkdb on the fixture ("@": its folder), a file rewritten, arguments added: status, output ("!": never output).
using BuildCase = std::tuple<const char*, const char*, const char*, const char*, const char*, int>;
const BuildCase buildCases[] = {
    {"no completion", "", "", "--no-keyboard-completion", "wrote @/out.mdb: 4 entries, 5 key rules", 0},
    {"key too long", "keys.tsv", "ab\tx\nabc\ty\n", "", "@/keys.tsv:2: ", 1},
    {"key with a blank", "keys.tsv", "ab\tx\na \ty\n", "", "@/keys.tsv:2: ", 1},
    {"m2 transform", "", "", "--m2-transform Greek-Klingon", "--m2-transform: ICU has no transform", 1},
    {"glyph set", "", "", "--glyph-set [[:Greek:]", "--glyph-set: not a valid ICU set", 1},
    {"output folder", "", "", "-o @/no/x.mdb", "@/no/x.mdb: cannot write the database", 1},
    {"no output", "", "", "--output=", "--output: no output file given", 1},
    {"unknown option", "", "", "--bogus", "Unknown option 'bogus'", 2},
    {"5001 glyphs fit", "", "", "--glyph-set [\\u4E00-\\u6185]", "!note: glyphs", 0}, // and 3 from the list
    {"5002 glyphs do not", "", "", "--glyph-set [\\u4E00-\\u6186]", "picker offers only the first 5001", 0},
    {"no name", "settings.conf", "fnt1 = A\n", "", "note: @/settings.conf: no name given, so the program", 0},
    {"a skipped line is told, quiet or not", "entries.tsv", "a\tb\tc\td\nb\n", "-q",
     "warning: @/entries.tsv:2: expected 4 tab-separated fields, found 1 (line skipped)", 0},
};

} // namespace

class TestMkdb final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString at(const char* text) const { return QString::fromUtf8(text).replace(u'@', m_dir.path()); }
    void write(const char* name, const QByteArray& bytes) { QVERIFY(testing::writeFile(at("@/") + name, bytes)); }

    // A small dictionary from every kind of source.
    void writeFixture()
    {
        write("greek.dict", "ψυχή <n>\nsoul\nmind\ninfo\n"); // the first entry is 23 bytes long
        write("greek.index", "ψυχή\tA\tX\n00databaseinfo\tX\tF\n");
        write("entries.tsv", "λόγος\tlógos\t\tword\\nreason\nκόσμος\tkósmos\tkosmos-x\tworld\nμανία\t\t\tmania\n");
        write("keys.tsv", "s_\ts̱\n");
        write("table.mim", "(map (t (\"e-\" \"ē\") (\"e'\" \"é\") (\"a~\" \"ã\") (\"a~~\" \"ă\") (\"zz\" \"azz\")))");
        write("glyphs.txt", "ϐ\nβ\nϑ\n"); // β is in the set too: offered once, in list order
        write("about.txt", "Fixture dictionary\nCC BY-SA 3.0\n");
        write("settings.conf", "name = F\nfnt1 = Noto Sans\nfnt3 = DejaVu Sans\nfsz1 = 12.5\nabout-file = about.txt\n");
    }

    // orvane-mkdb on the fixture with `arguments` added: its exit status and all it writes.
    std::pair<int, QString> mkdb(const char* arguments)
    {
        QProcess tool;
        tool.start(QStringLiteral(ORVANE_MKDB_PROGRAM),
                   at("--dictd @/greek --entries-tsv @/entries.tsv --m2-transform Greek-Latin --keyboard-tsv "
                      "@/keys.tsv --keyboard-mim @/table.mim --glyph-set [αβγ] --glyph-list @/glyphs.txt --config "
                      "@/settings.conf -o @/out.mdb ")
                       .append(at(arguments))
                       .split(u' ', Qt::SkipEmptyParts));
        tool.waitForFinished(60000);
        return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
    }

private slots:
    void sources_data() { addRows(sourceCases); }

    void sources()
    {
        const auto& [name, kind, contents, extra, expected] = given<SourceCase>();
        const QTemporaryDir folder;
        const QString read = readSource(kind, contents, extra, folder.path());
        if (*expected == '!')
            QVERIFY2(read.startsWith(QString::fromUtf8(expected)), qPrintable(read));
        else
            QCOMPARE(read, QString::fromUtf8(expected));
    }

    void keyboard_data() { addRows(keyCases); }

    void keyboard()
    {
        const auto& [name, tsv, mim, letters, typed, leftOutParts] = given<KeyCase>();
        KeyboardBuilder builder;
        for (const KeySequence& rule : rulesOf(tsv, u"keys.tsv"_s))
            builder.addRule({rule.keys, rule.output, rule.origin});
        builder.addSequences(rulesOf(mim, u"table.mim"_s));
        const QStringList alphabet = QString::fromUtf8(letters).split(u' ', Qt::SkipEmptyParts);
        builder.completeAlphabet(QSet<QString>(alphabet.begin(), alphabet.end()));
        const QStringList leftOut = QString::fromUtf8(leftOutParts).split(u'|', Qt::SkipEmptyParts);
        QCOMPARE(builder.leftOut().size(), leftOut.size());
        for (qsizetype i = 0; i < leftOut.size(); ++i)
            QVERIFY2(builder.leftOut()[i].contains(leftOut[i]), qPrintable(builder.leftOut()[i]));
        for (const QString& typing : QString::fromUtf8(typed).split(u'|', Qt::SkipEmptyParts))
            QCOMPARE(builder.type(typing.section(u'>', 0, 0)), typing.section(u'>', 1));
    }

    void aWholeBuild()
    {
        writeFixture();
        const mode_t previous = umask(027);
        const auto [built, said] = mkdb("-o @/every.mdb");
        umask(previous);
        QCOMPARE(built, 0);
        QVERIFY2(said.contains(at("wrote @/every.mdb: 4 entries, 12 key rules, 5 glyphs")), qPrintable(said));
        QVERIFY2(said.contains(at("note: @/table.mim:1: zz → azz left out")), qPrintable(said));
        // A dictionary is read by every user: it gets the permissions of any new file (Qt's flags for rw- r-- ---).
        QCOMPARE(int(QFile::permissions(at("@/every.mdb")) & 0x7777), 0x6640);
        const auto database = core::data::Database::open(at("@/every.mdb"), core::data::DatabasePassword);
        QVERIFY(database);
        const auto rows = [&](const char* table, const QString& names) {
            const QStringList columns = names.split(u'|');
            return testing::rowsOf(database->exec({QString::fromLatin1(table), columns, std::nullopt, {}}), columns);
        };
        QCOMPARE(rows("tbl_dictionary", u"id|m1|m2|m3|meanings"_s),
                 (QStringList{u"1|ψυχή|psychḗ|psyche|soul\r\nmind"_s, u"2|λόγος|lógos|logos|word\r\nreason"_s,
                              u"3|κόσμος|kósmos|kosmos-x|world"_s, u"4|μανία|manía|mania|mania"_s}));
        const QStringList keys = rows("tbl_keyboard", u"input|display"_s);
        for (const QString& rule : {u"s_|s̱"_s, u"e-|ē"_s, u"ã~|ă"_s, u"ē'|ḗ"_s, u"i'|í"_s})
            QVERIFY2(keys.contains(rule), qPrintable(rule));
        QVERIFY(keys.filter(u"zz"_s).isEmpty());
        QCOMPARE(rows("tbl_glyph", u"id|glyph"_s), (QStringList{u"1|ϐ"_s, u"2|β"_s, u"3|ϑ"_s, u"4|α"_s, u"5|γ"_s}));
        QCOMPARE(rows("tbl_config", u"name|fnt1|fnt3|fnt4|fsz1|about"_s),
                 QStringList{u"F|Noto Sans|DejaVu Sans|-|12.5|Fixture dictionary\r\nCC BY-SA 3.0"_s});
    }

    // Bad entry lines are skipped, ten told one by one; --strict fails at the first, as does a build left empty.
    void skippedLines()
    {
        write("bad.tsv", QByteArray("\tx\ty\tz\n").repeated(12));
        write("good.tsv", "a\tb\tc\td\n");
        MkdbBuilder::Options options{.output = at("@/skipping.mdb"), .entriesTsv = {at("@/good.tsv"), at("@/bad.tsv")}};
        MkdbBuilder lenient(options);
        QVERIFY2(lenient.run(), qPrintable(lenient.error()));
        QCOMPARE(lenient.warnings().size(), 11);
        QCOMPARE(lenient.warnings()[9], at("@/bad.tsv:10: the headword (first field, m1) is empty (line skipped)"));
        QCOMPARE(lenient.warnings()[10], u"2 more entry lines skipped, 12 in all"_s);
        options.strict = true;
        MkdbBuilder strict(options);
        QVERIFY(!strict.run());
        QCOMPARE(strict.error(), at("@/bad.tsv:1: the headword (first field, m1) is empty"));
        MkdbBuilder nothingLeft({.output = at("@/skipping.mdb"), .entriesTsv = {at("@/bad.tsv")}});
        QVERIFY(!nothingLeft.run());
        QVERIFY2(nothingLeft.error().startsWith(at("@/bad.tsv: no usable entry: all 12 entry lines were skipped")),
                 qPrintable(nothingLeft.error()));
    }

    void buildOptions_data() { addRows(buildCases); }

    void buildOptions()
    {
        const auto& [name, file, contents, arguments, said, expectedStatus] = given<BuildCase>();
        writeFixture();
        if (*file)
            write(file, contents);
        const auto [status, output] = mkdb(arguments);
        const QString says = at(said);
        QCOMPARE(status, expectedStatus);
        QVERIFY2(says.startsWith(u'!') ? !output.contains(says.mid(1)) : output.contains(says), qPrintable(output));
    }
};

QTEST_APPLESS_MAIN(TestMkdb)
#include "test_mkdb.moc"
