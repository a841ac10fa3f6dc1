#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QUrl;
class QWidget;

namespace orvane::ui::common {

// Opens the help file orvane.chm of the program folder in a help viewer that runs on
// its own (started detached, with an argument list, never through a shell). Viewers,
// in order: on Windows hh.exe; elsewhere xchm, then kchmviewer, then whatever the
// desktop opens the file with.
class HelpLauncher
{
public:
    using FindProgram = std::function<QString(const QString& name)>; // full path, or empty when absent
    using StartDetached = std::function<bool(const QString& program, const QStringList& arguments)>;
    using OpenUrl = std::function<bool(const QUrl& url)>;

    HelpLauncher(); // the real system
    HelpLauncher(FindProgram findProgram, StartDetached startDetached, OpenUrl openUrl);

    enum class Result
    {
        Started,
        FileMissing,
        NoViewer
    };
    Result open(const QString& helpFile) const;

    static QString helpFilePath(); // <program folder>/orvane.chm

private:
    FindProgram m_findProgram;
    StartDetached m_startDetached;
    OpenUrl m_openUrl;
};

// The Help command of the tray menu and the dictionary window: opens the help file or
// tells the user, in a message box over `parent`, why it cannot; the program goes on.
void showHelp(QWidget* parent);

} // namespace orvane::ui::common
