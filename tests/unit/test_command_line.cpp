// The command line, orvane --define as a terminal runs it, and the single-instance channel.
#include "FixtureDatabase.h"
#include "TableRows.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "core/dictionary/Search.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane::app;
using namespace orvane::core::dictionary;
using namespace orvane::testing;
using namespace Qt::StringLiterals;
using Request = handover::Request;

namespace {

// What the command line asks for, in short: the mode and what is set, or "!" and the error.
QString describe(const CommandLine& command)
{
    static const char* const Modes[] = {"tray", "lookup", "define", "help", "version", "!"};
    QStringList said{QString::fromLatin1(Modes[int(command.mode)])};
    if (command.mode == CommandLine::Mode::Error)
        return said.front() + command.error;
    if (command.text)
        said << u'[' + *command.text + u']';
    if (command.kind)
        said << QString(command.kind->listedColumn) + (command.kind == &PlainSearch ? u"/m3"_s : u""_s);
    if (command.exact)
        said << u"exact"_s;
    if (command.meanings)
        said << u"meanings"_s;
    if (command.limit != 20)
        said << QString::number(command.limit);
    if (!command.database.isEmpty())
        said << command.database;
    return said.join(u' ');
}

// Arguments after "orvane" (split at blanks outside double quotes); what they ask for, as describe() says it.
using ArgumentsCase = std::tuple<const char*, const char*, const char*>;
const ArgumentsCase Arguments[] = {
    {"nothing: the tray", "", "tray"},
    {"look up the selection", "--lookup", "lookup"},
    {"look up a phrase", "--lookup \"two words\"", "lookup [two words]"},
    {"define, as the letters choose", "--define ψυχή", "define [ψυχή]"},
    {"define, every option", "--define w --translit --exact --limit=3", "define [w] m2 exact 3"},
    {"define without diacritics", "--plain --define w", "define [w] m2/m3"},
    {"define by meanings: words", "--define --meanings a \"b c\"", "define [a b c] meanings"},
    {"--meanings with --native", "--define --meanings w --native",
     "!--meanings searches the meanings: --native, --translit, --plain and --exact cannot go with it"},
    {"a database beside", "--database /d/my.mdb", "tray /d/my.mdb"},
    {"help", "-h --define", "help"},
    {"version", "--version", "version"},
    {"an unknown option", "--tray", "!Unknown option 'tray'."},
    {"--lookup with --define", "--lookup --define w", "!--lookup and --define cannot go together"},
    {"two words", "--define a b", "!one word at a time: put a phrase in quotes"},
    {"--define without a word", "--define", "!--define needs a WORD"},
    {"a word alone", "w", "!unexpected argument 'w'"},
    {"an empty --database", "--database=", "!--database needs a FILE"},
    {"--native without --define", "--native", "!--native, --translit and --plain choose one search of --define"},
    {"two searches", "--define w --native --plain", "!--native, --translit and --plain choose one search of --define"},
    {"--exact without --define", "--lookup --exact", "!--exact, --meanings and --limit go with --define"},
    {"--meanings without --define", "--meanings", "!--exact, --meanings and --limit go with --define"},
    {"--limit 0", "--define w --limit=0", "!--limit needs a number of 1 or more"},
    {"--limit -1", "--define w --limit=-1", "!--limit needs a number of 1 or more"},
    {"--limit x", "--define w --limit x", "!--limit needs a number of 1 or more"},
};

// Arguments after the fixture's --database ("@": its folder), exit status, output ("|": the rule under a header).
using DefineCase = std::tuple<const char*, const char*, int, const char*>;
const DefineCase Definitions[] = {
    {"found", "--define ψυχρ", 0, "psychrós|cold\n\n"},
    {"exact, case ignored", "--define PSYCHE --exact", 0, "ψυχή|soul\n\nΨυχή|Psyche\n\n"},
    {"limited", "--define psyche --limit=1", 0, "ψυχή|soul\n\n"},
    {"nothing exact", "--define psych --exact", 1, ""},
    {"meanings, headed as after a plain search", "--define --meanings psyche --limit=1", 0, "Ψυχή|Psyche\n\n"},
    {"nothing in that search", "--define --native psyche", 1, ""},
    {"no dictionary", "--define ψυχή --database @", 2, ""},
    {"a wrong command line", "--tray", 2, ""},             // and no tray is started
    {"look up without a display", "--lookup ψυχή", 2, ""}, // one line instead of Qt's abort
};

sockaddr_un address(const QString& name)
{
    sockaddr_un address{AF_UNIX, {}};
    memcpy(address.sun_path + 1, name.toUtf8().constData(), size_t(name.toUtf8().size()));
    return address;
}

} // namespace

class TestCommandLine final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    const QString m_name = u"orvane-test-%1"_s.arg(QCoreApplication::applicationPid());
    const QByteArray m_lookup = handover::lookupMessage(u"ψυχή"_s), m_selection = handover::lookupMessage({});

private slots:
    void arguments_data() { addRows(Arguments); }

    void arguments()
    {
        const auto& [name, arguments, read] = given<ArgumentsCase>();
        const QStringList words = QProcess::splitCommand(u"orvane "_s + QString::fromUtf8(arguments));
        QCOMPARE(describe(parseCommandLine(words)), QString::fromUtf8(read));
    }

    // The real program, as a terminal runs it: no display, a locale that is not UTF-8.
    void define_data()
    {
        QVERIFY(m_folder.write({.entries = {entry(1, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s),
                                            entry(2, u"ψυχρός"_s, u"psychrós"_s, u"psychros"_s, u"cold"_s),
                                            entry(3, u"Ψυχή"_s, u"Psychḗ"_s, u"Psyche"_s, u"Psyche"_s)}}));
        addRows(Definitions);
    }

    void define()
    {
        const auto& [name, arguments, status, output] = given<DefineCase>();
        QProcessEnvironment environment; // empty: no display, no platform
        environment.insert(u"LC_ALL"_s, u"C"_s);
        // In a network namespace of its own no running copy takes a look-up.
        if (QProcess::execute(u"unshare"_s, {u"-rn"_s, u"true"_s}) != 0)
            QSKIP("no network namespace to run the program in alone");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(u"unshare"_s,
                      QStringList{u"-rn"_s, QStringLiteral(ORVANE_PROGRAM), u"--database"_s, m_folder.databasePath()} +
                          QString::fromUtf8(arguments).replace(u'@', m_folder.path()).split(u' '));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()),
                 QString::fromUtf8(output).replace(u'|', u"\n------------------------\n"_s));
        QCOMPARE(program.readAllStandardError().count('\n'), status == 2 ? 1 : 0);
    }

    void windowsNeedTheDisplayOfTheirPlatform_data()
    {
        QTest::addColumn<QString>("given"); // NAME=value: the environment; the rest: arguments after --lookup
        QTest::addColumn<bool>("starts");
        QTest::newRow("X11") << u"DISPLAY=:0"_s << true;
        QTest::newRow("Wayland") << u"WAYLAND_DISPLAY=wayland-1"_s << true;
        QTest::newRow("offscreen") << u"QT_QPA_PLATFORM=offscreen"_s << true;
        QTest::newRow("X11 asked for on Wayland") << u"QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w-1"_s << false;
        QTest::newRow("-display") << u"QT_QPA_PLATFORM=xcb -display :1"_s << true;
        QTest::newRow("-platform over the variable") << u"QT_QPA_PLATFORM=offscreen --platform xcb"_s << false;
        QTest::newRow("a list, X11 at its end") << u"QT_QPA_PLATFORM=wayland;xcb:nograb DISPLAY=:0"_s << true;
    }

    void windowsNeedTheDisplayOfTheirPlatform()
    {
        QFETCH(QString, given);
        QStringList arguments{u"orvane"_s, u"--lookup"_s};
        QProcessEnvironment environment;
        for (const QString& word : given.split(u' '))
            if (word.contains(u'='))
                environment.insert(word.section(u'=', 0, 0), word.section(u'=', 1));
            else
                arguments << word;
        QTEST(missingDisplay(parseCommandLine(arguments), environment).isEmpty(), "starts");
    }

    // Only well-formed messages within the limits are taken; anything else is dropped, a silent one in time.
    void handedOverMessages()
    {
        SingleInstance instance;
        instance.setMessageTimeout(60000); // only the size limit may end the long message
        QVERIFY(instance.listen(m_name));
        QSignalSpy lookups(&instance, &SingleInstance::lookupRequested);

        QLocalSocket longOne, silent;
        longOne.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        longOne.connectToServer(m_name);
        QVERIFY(longOne.waitForConnected());
        longOne.write(QByteArray(handover::MaxMessageBytes + 16, 'a'));
        QTRY_COMPARE(longOne.state(), QLocalSocket::UnconnectedState);

        // The tokens of the user's action follow the text: a kind, a length byte, printable ASCII.
        const QByteArray text = m_lookup, selection = m_selection;
        const handover::ActivationToken tokens{"wl-1", "launch_TIME4200"};
        for (const QByteArray& message :
             {QByteArray("ORVL"), text.chopped(1), text + 'x', selection + 'x',
              QByteArray(text).replace("\xCF\x88", "\xCF\xCF"), QByteArray(text).replace('T', 'X'),
              QByteArray(text).replace('T', 'S'), text + "Z\001z", text + "W\001aW\001b", text + "W\003ab",
              text + "W\003a b", text + 'W', selection, text, handover::lookupMessage(u"ψυχή"_s, tokens)})
            QCOMPARE(handover::handOver(message, m_name), handover::Probe::OwnCopy);
        QTRY_COMPARE(lookups.size(), 3);
        QCOMPARE(lookups[0][0].value<Request>(), Request());
        QCOMPARE(lookups[1][0].value<Request>(), (Request{u"ψυχή"_s, {}}));
        QCOMPARE(lookups[2][0].value<Request>(), (Request{u"ψυχή"_s, tokens}));
        QCOMPARE(handover::lookupMessage({}, {"a b", QByteArray(256, 'x')}), selection); // neither is a token
        QCOMPARE(handover::startupTime(tokens.x11), 4200u);                              // zeros are digits too
        QVERIFY(!handover::startupTime("launch_TIME"));

        instance.setMessageTimeout(100);
        silent.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        silent.connectToServer(m_name);
        QTRY_COMPARE(silent.state(), QLocalSocket::UnconnectedState); // dropped in time
    }

    // Another account is told nothing and heard not at all; acting as another account needs root.
    void otherAccounts()
    {
        if (geteuid() != 0)
            QSKIP("acting as another account needs root");
        SingleInstance instance;
        QVERIFY(instance.listen(m_name));
        QSignalSpy lookups(&instance, &SingleInstance::lookupRequested);
        const sockaddr_un heard = address(m_name), held = address(m_name + u"-held"_s);
        const auto size = socklen_t(sizeof(sa_family_t) + 1 + size_t(m_name.size()));
        const pid_t child = fork();
        if (child == 0) { // as "nobody": a look-up, read until it is dealt with, then hold a name
            const int out = socket(AF_UNIX, SOCK_STREAM, 0), in = socket(AF_UNIX, SOCK_STREAM, 0);
            char byte;
            if (setuid(65534) == 0 && prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && // after setuid, which clears it
                ::connect(out, reinterpret_cast<const sockaddr*>(&heard), size) == 0 &&
                write(out, m_lookup.constData(), size_t(m_lookup.size())) > 0 && shutdown(out, SHUT_WR) == 0) {
                while (read(out, &byte, 1) > 0) {
                }
                ::bind(in, reinterpret_cast<const sockaddr*>(&held), size + 5);
                ::listen(in, 8); // QTRY knocks more than once, and no one accepts
            }
            pause();
            _exit(0);
        }
        // Knocking at another account's name tells it nothing, so it may be repeated.
        QTRY_COMPARE(handover::handOver(m_lookup, m_name + u"-held"_s), handover::Probe::OtherAccount);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QCOMPARE(lookups.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
