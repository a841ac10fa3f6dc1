#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

class QProcessEnvironment;

namespace orvane::core::dictionary {
struct SearchKind;
}

namespace orvane::app {

// What the command line asks for. It is read before any application object exists, so
// that --define never opens a display and a second start can leave at once.
struct CommandLine
{
    enum class Mode
    {
        Program, // no options: the tray
        Lookup,  // --lookup [TEXT]
        Define,  // --define WORD
        Help,
        Version,
        Error // `error` says what is wrong
    };
    Mode mode = Mode::Program;
    std::optional<QString> text;                        // TEXT or WORD; none: the selection
    QString database;                                   // --database, absolute; empty: orvane.mdb beside the program
    const core::dictionary::SearchKind* kind = nullptr; // forced by --native, --translit or --plain
    bool meanings = false;                              // --meanings: TEXT is a query of the meaning search
    bool exact = false;
    qsizetype limit = 20;
    QString platform; // -platform: Qt's platform of the windows; empty: its choice
    QString display;  // -display: the X11 display; empty: DISPLAY
    QString error;
};

// `arguments` starts with the program's own name.
CommandLine parseCommandLine(const QStringList& arguments);
// The same for main()'s arguments, in the local encoding.
CommandLine parseCommandLine(int argc, char* argv[]);

// The line to leave with, or an empty string, when the windows are to start: Qt's X11 and
// Wayland platforms abort the process, core dump and all, when no display server is named.
QString missingDisplay(const CommandLine& command, const QProcessEnvironment& environment);

extern const char* const HelpText;

// Writes `text` to a terminal stream as UTF-8, whatever the locale says.
void print(std::FILE* stream, const QString& text);

} // namespace orvane::app
