#include "app/CommandLine.h"

#include "core/dictionary/Search.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace orvane::app {

const char* const HelpText =
    "Usage: orvane [--database FILE]\n"
    "  or:  orvane --lookup [TEXT] [--database FILE]\n"
    "  or:  orvane --define WORD [--native|--translit|--plain] [--exact] [--limit N] [--database FILE]\n"
    "  or:  orvane --define --meanings WORDS [--limit N] [--database FILE]\n"
    "\n"
    "A dictionary in the system tray. Without options Orvane starts in the tray; starting\n"
    "it again while it runs does nothing.\n"
    "\n"
    "Options:\n"
    "  --lookup [TEXT]   Show the dictionary window and look TEXT up in the search box that\n"
    "                    fits its letters; without TEXT, the text selected last in any\n"
    "                    program, else the clipboard. A running Orvane does it (with its own\n"
    "                    dictionary); otherwise this copy starts. Bind \"orvane --lookup\"\n"
    "                    to a key in the desktop's keyboard settings.\n"
    "  --define WORD     Print the entries found for WORD, without any window:\n"
    "                    exit status 0 found, 1 nothing found, 2 no usable dictionary.\n"
    "    --native        search the native-script forms only\n"
    "    --translit      search the transliterations only\n"
    "    --plain         search the forms without diacritics only\n"
    "                    (without these three, WORD's letters choose the search)\n"
    "    --exact         only entries whose searched form is WORD (case ignored)\n"
    "    --meanings      search the meanings instead: the entries that hold every one of\n"
    "                    WORDS, best first; word* matches words that begin so, and words\n"
    "                    in double quotes match as a phrase (quote them for the shell:\n"
    "                    '\"a phrase\"'); case and accents are ignored\n"
    "    --limit N       at most N entries (default 20)\n"
    "  --database FILE   use FILE instead of orvane.mdb beside the program\n"
    "  -platform NAME    the windows' Qt platform, such as xcb, wayland or offscreen\n"
    "                    (default: the desktop session's, or QT_QPA_PLATFORM)\n"
    "  -display NAME     the X11 display of the windows (default: DISPLAY)\n"
    "  -h, --help        show this help\n"
    "  --version         show the version\n";

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine command;
    const auto fail = [&command](const QString& error) {
        command.mode = CommandLine::Mode::Error;
        command.error = error;
        return command;
    };
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption lookup(QStringLiteral("lookup"));
    const QCommandLineOption define(QStringLiteral("define"));
    const QCommandLineOption database(QStringLiteral("database"), {}, QStringLiteral("FILE"));
    const QCommandLineOption exact(QStringLiteral("exact"));
    const QCommandLineOption meanings(QStringLiteral("meanings"));
    const QCommandLineOption limit(QStringLiteral("limit"), {}, QStringLiteral("N"));
    // Qt's own options for the windows; orvane-gui hands them on to QApplication.
    const QCommandLineOption platform(QStringLiteral("platform"), {}, QStringLiteral("NAME"));
    const QCommandLineOption display(QStringLiteral("display"), {}, QStringLiteral("NAME"));
    const std::pair<QCommandLineOption, const core::dictionary::SearchKind*> kinds[] = {
        {QCommandLineOption(QStringLiteral("native")), &core::dictionary::ScriptSearch},
        {QCommandLineOption(QStringLiteral("translit")), &core::dictionary::TranslitSearch},
        {QCommandLineOption(QStringLiteral("plain")), &core::dictionary::PlainSearch}};

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions); // -platform as Qt spells it
    parser.addOptions({help, version, lookup, define, database, exact, meanings, limit, platform, display});
    for (const auto& [option, kind] : kinds)
        parser.addOption(option);
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        command.mode = CommandLine::Mode::Help;
        return command;
    }
    if (parser.isSet(version)) {
        command.mode = CommandLine::Mode::Version;
        return command;
    }

    const QStringList words = parser.positionalArguments();
    command.meanings = parser.isSet(meanings);
    if (parser.isSet(lookup) && parser.isSet(define))
        return fail(QStringLiteral("--lookup and --define cannot go together"));
    // The meaning search takes any number of words; a look-up of a headword takes one.
    if (words.size() > 1 && !command.meanings)
        return fail(QStringLiteral("one word at a time: put a phrase in quotes"));
    if (!words.isEmpty())
        command.text = words.join(u' ');
    if (parser.isSet(lookup)) {
        command.mode = CommandLine::Mode::Lookup;
    } else if (parser.isSet(define)) {
        command.mode = CommandLine::Mode::Define;
        if (!command.text)
            return fail(QStringLiteral("--define needs a WORD"));
    } else if (command.text) {
        return fail(QStringLiteral("unexpected argument '%1'").arg(*command.text));
    }

    if (parser.isSet(database)) {
        if (parser.value(database).isEmpty())
            return fail(QStringLiteral("--database needs a FILE"));
        command.database = QFileInfo(parser.value(database)).absoluteFilePath();
    }
    command.platform = parser.value(platform);
    command.display = parser.value(display);
    const bool defining = command.mode == CommandLine::Mode::Define;
    for (const auto& [option, kind] : kinds) {
        if (!parser.isSet(option))
            continue;
        if (!defining || command.kind)
            return fail(QStringLiteral("--native, --translit and --plain choose one search of --define"));
        command.kind = kind;
    }
    if (!defining && (parser.isSet(exact) || parser.isSet(limit) || command.meanings))
        return fail(QStringLiteral("--exact, --meanings and --limit go with --define"));
    if (command.meanings && (command.kind || parser.isSet(exact)))
        return fail(QStringLiteral("--meanings searches the meanings: --native, --translit, --plain and --exact "
                                   "cannot go with it"));
    command.exact = parser.isSet(exact);
    if (parser.isSet(limit)) {
        bool isNumber = false;
        command.limit = parser.value(limit).toInt(&isNumber);
        if (!isNumber || command.limit < 1)
            return fail(QStringLiteral("--limit needs a number of 1 or more"));
    }
    return command;
}

QString missingDisplay(const CommandLine& command, const QProcessEnvironment& environment)
{
    const auto isSet = [&environment](const char* name) { return !environment.value(QLatin1String(name)).isEmpty(); };
    const bool x11 = !command.display.isEmpty() || isSet("DISPLAY");
    const bool wayland = isSet("WAYLAND_DISPLAY") || isSet("WAYLAND_SOCKET");
    const QString platforms =
        command.platform.isEmpty() ? environment.value(QStringLiteral("QT_QPA_PLATFORM")) : command.platform;
    if (platforms.isEmpty()) { // Qt chooses X11 or Wayland by these variables
        if (x11 || wayland)
            return {};
        return QStringLiteral(
            "orvane: no display to show the windows on: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
    }
    // Qt tries the platforms of a list in turn; those of neither kind (offscreen, minimal,
    // vnc, eglfs …) need no display server.
    for (const QString& platform : platforms.split(u';')) {
        const QString name = platform.section(u':', 0, 0); // options follow a colon
        if (name == u"xcb" ? x11 : name.startsWith(u"wayland") ? wayland : true)
            return {};
    }
    return QStringLiteral("orvane: no display for the platform %1 to show the windows on\n").arg(platforms);
}

void print(std::FILE* stream, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
}

CommandLine parseCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return parseCommandLine(arguments);
}

} // namespace orvane::app
