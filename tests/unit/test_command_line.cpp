// How a start of the program is read and handed on: the command line, orvane --define as a terminal runs it, and
// the single-instance channel (only this account, only well-formed messages within the limits).
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

// What the command line asks for, in short: the mode and what is set, or the error.
QString describe(const CommandLine& command)
{
    static const char* const Modes[] = {"tray", "lookup", "define", "help", "version", "error:"};
    QStringList said{QString::fromLatin1(Modes[int(command.mode)])};
    if (command.mode == CommandLine::Mode::Error)
        return said.front() + u' ' + command.error;
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

struct ArgumentsCase
{
    const char* name;
    QStringList arguments;
    QString read; // describe()
};
const ArgumentsCase Arguments[] = {
    {"nothing: the tray", {}, u"tray"_s},
    {"look up the selection", {u"--lookup"_s}, u"lookup"_s},
    {"look up a phrase", {u"--lookup"_s, u"two words"_s}, u"lookup [two words]"_s},
    {"define, as the letters choose", {u"--define"_s, u"ψυχή"_s}, u"define [ψυχή]"_s},
    {"define, every option",
     {u"--define"_s, u"w"_s, u"--translit"_s, u"--exact"_s, u"--limit=3"_s},
     u"define [w] m2 exact 3"_s},
    {"define without diacritics", {u"--plain"_s, u"--define"_s, u"w"_s}, u"define [w] m2/m3"_s},
    {"define by meanings: words", {u"--define"_s, u"--meanings"_s, u"a"_s, u"\"b c\""_s}, u"define [a \"b c\"] meanings"_s},
    {"--meanings with --native",
     {u"--define"_s, u"--meanings"_s, u"w"_s, u"--native"_s},
     u"error: --meanings searches the meanings: --native, --translit, --plain and --exact cannot go with it"_s},
    {"a database beside", {u"--database"_s, u"/d/my.mdb"_s}, u"tray /d/my.mdb"_s},
    {"help", {u"-h"_s, u"--define"_s}, u"help"_s},
    {"version", {u"--version"_s}, u"version"_s},
    {"an unknown option", {u"--tray"_s}, u"error: Unknown option 'tray'."_s},
    {"--lookup with --define",
     {u"--lookup"_s, u"--define"_s, u"w"_s},
     u"error: --lookup and --define cannot go together"_s},
    {"two words", {u"--define"_s, u"a"_s, u"b"_s}, u"error: one word at a time: put a phrase in quotes"_s},
    {"--define without a word", {u"--define"_s}, u"error: --define needs a WORD"_s},
    {"a word alone", {u"w"_s}, u"error: unexpected argument 'w'"_s},
    {"an empty --database", {u"--database="_s}, u"error: --database needs a FILE"_s},
    {"--database without a file", {u"--database"_s}, u"error: Missing value after '--database'."_s},
    {"--native without --define",
     {u"--native"_s},
     u"error: --native, --translit and --plain choose one search of --define"_s},
    {"two searches",
     {u"--define"_s, u"w"_s, u"--native"_s, u"--plain"_s},
     u"error: --native, --translit and --plain choose one search of --define"_s},
    {"--exact without --define", {u"--lookup"_s, u"--exact"_s}, u"error: --exact, --meanings and --limit go with --define"_s},
    {"--meanings without --define", {u"--meanings"_s}, u"error: --exact, --meanings and --limit go with --define"_s},
    {"--limit 0", {u"--define"_s, u"w"_s, u"--limit=0"_s}, u"error: --limit needs a number of 1 or more"_s},
    {"--limit -1", {u"--define"_s, u"w"_s, u"--limit=-1"_s}, u"error: --limit needs a number of 1 or more"_s},
    {"--limit x", {u"--define"_s, u"w"_s, u"--limit"_s, u"x"_s}, u"error: --limit needs a number of 1 or more"_s},
};

using DefineRow = std::tuple<QStringList, int, QString>; // arguments, exit status, output

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
        QFETCH(ArgumentsCase, given);
        QCOMPARE(describe(parseCommandLine(QStringList{u"orvane"_s} + given.arguments)), given.read);
    }

    // The real program, as a terminal runs it: no display, a locale that is not UTF-8.
    void define_data()
    {
        QVERIFY(m_folder.write({.entries = {entry(1, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s),
                                            entry(2, u"ψυχρός"_s, u"psychrós"_s, u"psychros"_s, u"cold"_s),
                                            entry(3, u"Ψυχή"_s, u"Psychḗ"_s, u"Psyche"_s, u"Psyche"_s)}}));
        const QString rule = u"\n------------------------\n"_s;
        QTest::addColumn<DefineRow>("row");
        QTest::newRow("found") << DefineRow{{u"--define"_s, u"ψυχρ"_s}, 0, u"psychrós"_s + rule + u"cold\n\n"_s};
        QTest::newRow("exact, case ignored")
            << DefineRow{{u"--define"_s, u"PSYCHE"_s, u"--exact"_s},
                         0,
                         u"ψυχή"_s + rule + u"soul\n\nΨυχή"_s + rule + u"Psyche\n\n"_s};
        QTest::newRow("limited") << DefineRow{
            {u"--define"_s, u"psyche"_s, u"--limit=1"_s}, 0, u"ψυχή"_s + rule + u"soul\n\n"_s};
        QTest::newRow("nothing exact") << DefineRow{{u"--define"_s, u"psych"_s, u"--exact"_s}, 1, {}};
        QTest::newRow("meanings, headed as after a plain search")
            << DefineRow{{u"--define"_s, u"--meanings"_s, u"psyche"_s, u"--limit=1"_s}, 0, u"Ψυχή"_s + rule + u"Psyche\n\n"_s};
        QTest::newRow("nothing in that search") << DefineRow{{u"--define"_s, u"--native"_s, u"psyche"_s}, 1, {}};
        QTest::newRow("no dictionary") << DefineRow{
            {u"--define"_s, u"ψυχή"_s, u"--database"_s, m_folder.path()}, 2, {}};
        QTest::newRow("a wrong command line") << DefineRow{{u"--tray"_s}, 2, {}}; // and no tray is started
        // The windows without a display: one line instead of Qt's abort.
        QTest::newRow("look up without a display") << DefineRow{{u"--lookup"_s, u"ψυχή"_s}, 2, {}};
    }

    void define()
    {
        QFETCH(DefineRow, row);
        const auto& [arguments, status, output] = row;
        QProcessEnvironment environment; // empty: no display, no platform
        environment.insert(u"LC_ALL"_s, u"C"_s);
        // In a network namespace of its own no running copy takes a look-up.
        if (QProcess::execute(u"unshare"_s, {u"-rn"_s, u"true"_s}) != 0)
            QSKIP("no network namespace to run the program in alone");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(u"unshare"_s, QStringList{u"-rn"_s, QStringLiteral(ORVANE_PROGRAM), u"--database"_s,
                                                m_folder.databasePath()} +
                                        arguments);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), output);
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
        const handover::ActivationToken tokens{"wl-1", "launch_TIME42"};
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
        QVERIFY(handover::startupTime(tokens.x11) == 42u && !handover::startupTime("launch_TIME"));

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

    void versionNamesTheEngine()
    {
        QProcess version;
        version.start(QStringLiteral(ORVANE_PROGRAM), {u"--version"_s});
        QVERIFY(version.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(version.readAllStandardOutput()).contains(u" on SQLite 3."_s));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
