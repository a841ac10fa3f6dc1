#include "app/SingleInstance.h"

#include <QLocalSocket>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {
QString userName()
{
#ifdef Q_OS_WIN
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? QString::fromWCharArray(name) : QString();
#else
    if (const passwd* entry = getpwuid(getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(getuid());
#endif
}
} // namespace

SingleInstance::SingleInstance()
{
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    // Someone knocking (a second copy checking) is simply let go.
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection())
            socket->deleteLater();
    });
}

QString SingleInstance::serverName()
{
    return QStringLiteral("orvane-") + userName();
}

bool SingleInstance::claim()
{
    // Platforms without an abstract namespace may let a second server listen on the
    // same name, so a copy that answers counts first.
    QLocalSocket probe;
    probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    probe.connectToServer(serverName());
    if (probe.waitForConnected(200))
        return false;
    return m_server.listen(serverName());
}

} // namespace orvane
