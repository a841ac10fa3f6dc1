#pragma once

#include <QLocalServer>

namespace orvane {

// The claim of the one running copy of the program for this user: a local server on
// an abstract-namespace name, so no file is written and a killed copy leaves nothing behind.
class SingleInstance
{
public:
    SingleInstance();

    // True when this process is now the running copy; false when another copy holds it.
    bool claim();

    static QString serverName(); // holds the user's name

private:
    QLocalServer m_server;
};

} // namespace orvane
