#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QTimer>
#include <memory>

namespace orvane::app {

using namespace handover;

SingleInstance::SingleInstance(QObject* parent) : QObject(parent)
{
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

bool SingleInstance::listen(const QString& name)
{
    return m_server.listen(name);
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        const auto drop = [this, socket] {
            disconnect(socket, nullptr, this, nullptr);
            socket->abort();
            socket->deleteLater();
        };
        if (!isSameAccount(socket->socketDescriptor())) {
            drop(); // another account: not one byte is read
            continue;
        }
        auto message = std::make_shared<QByteArray>();
        const auto read = [socket, message] {
            *message += socket->read(MaxMessageBytes + 1 - message->size());
            return message->size() <= MaxMessageBytes;
        };
        QTimer::singleShot(m_messageTimeoutMs, socket, drop);
        connect(socket, &QLocalSocket::readyRead, this, [read, drop] {
            if (!read())
                drop();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, read, message, socket] {
            if (read())
                received(*message);
            socket->deleteLater();
        });
    }
}

void SingleInstance::received(const QByteArray& message)
{
    if (const std::optional<Request> request = decode(message))
        emit lookupRequested(*request);
}

} // namespace orvane::app
