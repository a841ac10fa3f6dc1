// orvane: the command line. Look-ups are handed to the running copy and entries printed
// here, with the core alone; the windows start in orvane-gui.
#include "app/CommandLine.h"
#include "app/Handover.h"
#include "core/data/Database.h"
#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/Lookup.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <process.h>
#define execv _execv
#else
#include <unistd.h>
#endif

namespace {

using namespace orvane::app;
namespace dictionary = orvane::core::dictionary;

// The terminal's look-up. Only a core application object: it runs where there is no
// display at all.
int define(int argc, char* argv[], const CommandLine& command)
{
    const QCoreApplication app(argc, argv); // the program's folder, where orvane.mdb lies
    dictionary::DictionarySession session(command.database);
    QString error;
    if (!session.reconnect(&error)) {
        print(stderr, QStringLiteral("orvane: cannot open %1: %2\n").arg(session.databasePath(), error));
        return 2;
    }
    const QString word = dictionary::lookupText(*command.text);
    const QStringList entries =
        command.meanings
            ? dictionary::defineMeanings(session.database(), *command.text, command.limit)
            : dictionary::defineEntries(session.database(), word,
                                        command.kind ? *command.kind : dictionary::searchKindFor(word), command.exact,
                                        command.limit);
    // Each entry ends with an empty line, which separates it from the next.
    print(stdout, entries.join(QString()));
    return entries.isEmpty() ? 1 : 0;
}

// The windowed program, orvane-gui, beside this one, started in this process's place with
// the same arguments. Only it loads the window libraries, which cost a start that hands
// over a look-up or prints entries several times what the work itself takes.
int startWindows(int argc, char* argv[])
{
    QString program;
    {
        const QCoreApplication app(argc, argv);
        program = QCoreApplication::applicationDirPath() + QStringLiteral("/orvane-gui");
    }
    // argv[0] stays as the user gave it: the windows keep the program's name and class.
    execv(QFile::encodeName(program).constData(), argv);
    print(stderr,
          QStringLiteral("orvane: cannot start %1: %2\n").arg(program, QString::fromLocal8Bit(strerror(errno))));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine command = parseCommandLine(argc, argv);
    switch (command.mode) {
    case CommandLine::Mode::Error:
        print(stderr, QStringLiteral("orvane: %1 (see orvane --help)\n").arg(command.error));
        return 2;
    case CommandLine::Mode::Help:
        print(stdout, QString::fromUtf8(HelpText));
        return 0;
    case CommandLine::Mode::Version:
        print(stdout, QStringLiteral("orvane " ORVANE_VERSION " on %1\n").arg(orvane::core::data::engineVersion()));
        return 0;
    case CommandLine::Mode::Define:
        return define(argc, argv, command);
    case CommandLine::Mode::Lookup:
    case CommandLine::Mode::Program:
        break;
    }
    // A running copy takes the look-up, and a second plain start leaves at once, silently.
    const bool lookingUp = command.mode == CommandLine::Mode::Lookup;
    const QByteArray message =
        lookingUp ? handover::lookupMessage(command.text, handover::ActivationToken::fromEnvironment()) : QByteArray();
    if (handover::handOver(message) == handover::Probe::OwnCopy)
        return 0;
    return startWindows(argc, argv);
}
