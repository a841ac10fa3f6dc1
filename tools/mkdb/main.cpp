// orvane-mkdb: builds an orvane.mdb from a dictionary author's sources.
#include "MkdbBuilder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char* const Examples = R"(
Input formats:
  dictd         NAME.index (headword TAB offset TAB length, dictd base64 numbers) and
                NAME.dict.dz (or NAME.dict). The 00database entries are skipped; each
                body without its first (headword) line becomes the meanings.
  entries TSV   one entry per line: m1 TAB m2 TAB m3 TAB meanings. An empty m2 or m3 is
                filled in by the transforms. Escapes: \t TAB, \n line break, \\ backslash.
  keyboard TSV  one rule per line: input TAB display; the input is one or two characters.
                These rules come first and win over rules from m17n tables.
  m17n table    the (map (NAME (KEYS OUTPUT) ...)) rules of a .mim file. Longer key
                sequences become chained two-character rules (a~ -> ã, then ã~ -> ă);
                rules that would make the replacements endless or that cannot be chained
                are left out and listed.
  glyph list    one character per line (same escapes); ids follow the line order.
                Lists come before the set's characters; a character given twice is kept once.
  config        key = value lines; # starts a comment. name = Greek-English names the
                dictionary; fnt1, fnt3, fnt4 and fnt5 = Noto Sans name the fonts of the
                native-script box and the picker, the Latin boxes, the list, and the entry
                and About; fsz1 … fsz5 = 12 give sizes in points; about-file = about.txt
                holds the About text (relative to the config file).

Line breaks in stored texts are written as CR LF. An entry line that cannot be read (an
empty headword, a bad offset, a wrong number of fields) is skipped with a warning naming
the file and line (the first 10, then how many more); with --strict, or when no entry is
left, the build fails. On any fault the tool names the file and line, exits with status 1
and leaves no new file under the output name.

The database also gets an index of the meanings (their words folded as the program
searches them), which the program's search in the meanings uses.

Examples:
  $ orvane-mkdb --entries-tsv words.tsv --m2-transform Devanagari-Latin --output hindi.mdb
  $ orvane-mkdb --dictd /usr/share/dictd/freedict-ell-eng --m2-transform Greek-Latin -o greek.mdb
)";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane-mkdb"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds an orvane.mdb dictionary database (encrypted with the program's password)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The database to write; replaced only when the build succeeds."),
                                    QStringLiteral("file"));
    const QCommandLineOption dictd(QStringLiteral("dictd"),
                                   QStringLiteral("Entries from a dictd dictionary (path without .index). Repeatable."),
                                   QStringLiteral("name"));
    const QCommandLineOption entries(QStringLiteral("entries-tsv"),
                                     QStringLiteral("Entries from a TSV file: m1, m2, m3, meanings. Repeatable."),
                                     QStringLiteral("file"));
    const QCommandLineOption m2(QStringLiteral("m2-transform"),
                                QStringLiteral("ICU transform that makes m2 from m1, e.g. Greek-Latin."),
                                QStringLiteral("id"));
    const QCommandLineOption m3(QStringLiteral("m3-transform"),
                                QStringLiteral("ICU transform that makes m3 from m2 (default: \"NFD; [:Nonspacing "
                                               "Mark:] Remove; NFC\", the diacritics stripped)."),
                                QStringLiteral("id"));
    const QCommandLineOption keyTsv(QStringLiteral("keyboard-tsv"),
                                    QStringLiteral("Key rules from a TSV file: input, display. Repeatable."),
                                    QStringLiteral("file"));
    const QCommandLineOption keyMim(QStringLiteral("keyboard-mim"),
                                    QStringLiteral("Key rules from an m17n input-method table. Repeatable."),
                                    QStringLiteral("file"));
    const QCommandLineOption noCompletion(QStringLiteral("no-keyboard-completion"),
                                          QStringLiteral("Do not add rules for precomposed letters of m2 that no "
                                                         "rule produces (by default ē + ' -> ḗ is added)."));
    const QCommandLineOption glyphSet(QStringLiteral("glyph-set"),
                                      QStringLiteral("Picker characters from an ICU set, e.g. '[[:Greek:]&[:L:]]'."),
                                      QStringLiteral("pattern"));
    const QCommandLineOption glyphList(QStringLiteral("glyph-list"),
                                       QStringLiteral("Picker characters, one per line. Repeatable."),
                                       QStringLiteral("file"));
    const QCommandLineOption config(QStringLiteral("config"), QStringLiteral("The settings row (names, fonts, About)."),
                                    QStringLiteral("file"));
    const QCommandLineOption plain(QStringLiteral("unencrypted"),
                                   QStringLiteral("Write a plain SQLite file (for comparisons; the program cannot "
                                                  "open it)."));
    const QCommandLineOption noKeys(QStringLiteral("no-search-keys"),
                                    QStringLiteral("Leave out the extra search and sort key columns and indexes."));
    const QCommandLineOption noMeaningIndex(
        QStringLiteral("no-meaning-index"),
        QStringLiteral("Leave out the index of the meanings (the program then reads every entry to search them)."));
    const QCommandLineOption strict(QStringLiteral("strict"),
                                    QStringLiteral("Fail at the first entry line that cannot be read (by default such "
                                                   "a line is skipped with a warning)."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("Do not list skipped and left-out rules on the terminal."));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("Write the list of skipped and left-out rules to this file."),
                                    QStringLiteral("file"));
    parser.addOptions({output, dictd, entries, m2, m3, keyTsv, keyMim, noCompletion, glyphSet, glyphList, config, plain,
                       noKeys, noMeaningIndex, strict, quiet, report});

    const QStringList arguments = app.arguments();
    if (arguments.contains(QStringLiteral("-h")) || arguments.contains(QStringLiteral("--help"))) {
        out << parser.helpText() << Examples;
        return 0;
    }
    if (!parser.parse(arguments)) {
        err << "orvane-mkdb: " << parser.errorText() << "\n(see orvane-mkdb --help)\n";
        return 2;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        err << "orvane-mkdb: unexpected argument " << parser.positionalArguments().first()
            << "\n(see orvane-mkdb --help)\n";
        return 2;
    }

    orvane::mkdb::MkdbBuilder::Options options;
    options.output = parser.value(output);
    options.dictd = parser.values(dictd);
    options.entriesTsv = parser.values(entries);
    options.m2Transform = parser.value(m2);
    options.m3Transform = parser.value(m3);
    options.keyboardTsv = parser.values(keyTsv);
    options.keyboardMim = parser.values(keyMim);
    options.completeKeyboard = !parser.isSet(noCompletion);
    options.glyphSet = parser.value(glyphSet);
    options.glyphLists = parser.values(glyphList);
    options.config = parser.value(config);
    options.encrypted = !parser.isSet(plain);
    options.withKeys = !parser.isSet(noKeys);
    options.meaningIndex = !parser.isSet(noMeaningIndex);
    options.strict = parser.isSet(strict);

    orvane::mkdb::MkdbBuilder builder(options);
    const bool built = builder.run();
    if (parser.isSet(report)) {
        QFile file(parser.value(report));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            err << "orvane-mkdb: cannot write the report " << file.fileName() << ": " << file.errorString() << '\n';
            return 1;
        }
        file.write((builder.warnings() + builder.report()).join(QLatin1Char('\n')).toUtf8() + '\n');
    }
    // Skipped entry lines are told even when quiet: the dictionary lacks them.
    for (const QString& warning : builder.warnings())
        err << "warning: " << warning << '\n';
    if (!parser.isSet(quiet)) {
        for (const QString& note : builder.report())
            err << "note: " << note << '\n';
    }
    if (!built) {
        err << "orvane-mkdb: " << builder.error() << '\n';
        return 1;
    }
    out << "wrote " << options.output << ": " << builder.entryCount() << " entries, " << builder.keyCount()
        << " key rules, " << builder.glyphCount() << " glyphs\n";
    return 0;
}
