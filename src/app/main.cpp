#include "app/CommandLine.h"
#include "app/LookupRequest.h"
#include "app/SingleInstance.h"
#include "app/WindowRegistry.h"
#include "core/data/Mainmode.h"
#include "core/dictionary/Lookup.h"
#include "ui/common/Messages.h"
#include "ui/common/ProgramIcon.h"
#include "ui/shell/Fboard.h"

#include <QApplication>
#include <cstdio>

namespace {

using namespace orvane;

// Terminal output is UTF-8 whatever the locale says.
void print(std::FILE* stream, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
}

// The terminal's look-up. Only a core application object: it runs where there is no
// display at all.
int define(int argc, char* argv[], const CommandLine& command)
{
    const QCoreApplication app(argc, argv); // the program's folder, where orvane.mdb lies
    QString error;
    data::SharedDatabase() =
        data::Database::open(data::databasePath(), QString::fromLatin1(data::DatabasePassword), &error);
    if (!data::SharedDatabase()) {
        print(stderr, QStringLiteral("orvane: cannot open %1: %2\n").arg(data::databasePath(), error));
        return 2;
    }
    const QString word = dictionary::lookupText(*command.text);
    const QStringList entries = dictionary::defineEntries(
        word, command.kind ? *command.kind : dictionary::searchKindFor(word), command.exact, command.limit);
    // Each entry ends with an empty line, which separates it from the next.
    print(stdout, entries.join(QString()));
    return entries.isEmpty() ? 1 : 0;
}

int runProgram(int argc, char* argv[], const CommandLine& command)
{
    const bool lookingUp = command.mode == CommandLine::Mode::Lookup;
    const QByteArray message = lookingUp ? SingleInstance::lookupMessage(command.text) : QByteArray();
    // Asked before any display is opened: a running copy takes the look-up, and a second
    // plain start leaves at once, silently, before any icon exists.
    const SingleInstance::Probe found = SingleInstance::handOver(message);
    if (found == SingleInstance::Probe::OwnCopy)
        return 0;

    QApplication app(argc, argv);
    SingleInstance instance;
    if (!instance.listen()) {
        // A copy that started meanwhile takes the message; a name held by another
        // account must not keep this user from the dictionary.
        if (found == SingleInstance::Probe::NoCopy &&
            SingleInstance::handOver(message) == SingleInstance::Probe::OwnCopy)
            return 0;
        print(stderr, QStringLiteral("orvane: another account holds the name %1; running without the "
                                     "single-instance guard\n")
                          .arg(SingleInstance::serverName()));
    }

    QApplication::setQuitOnLastWindowClosed(false); // the tray keeps the program alive
    QApplication::setWindowIcon(shell::programIcon());
    data::setErrorNotifier([](const QString& text) { shell::showMessage(nullptr, text); });

    shell::Fboard board;
    WindowRegistry::attach(&board);
    board.Form_Load();
    QObject::connect(&instance, &SingleInstance::lookupRequested, &board, &lookUp);
    if (lookingUp)
        lookUp(command.text);
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = parseCommandLine(arguments);
    data::setDatabaseFile(command.database);
    switch (command.mode) {
    case CommandLine::Mode::Error:
        print(stderr, QStringLiteral("orvane: %1 (see orvane --help)\n").arg(command.error));
        return 2;
    case CommandLine::Mode::Help:
        print(stdout, QString::fromUtf8(HelpText));
        return 0;
    case CommandLine::Mode::Version:
        print(stdout, QStringLiteral("orvane " ORVANE_VERSION "\n"));
        return 0;
    case CommandLine::Mode::Define:
        return define(argc, argv, command);
    case CommandLine::Mode::Lookup:
    case CommandLine::Mode::Program:
        break;
    }
    return runProgram(argc, argv, command);
}
