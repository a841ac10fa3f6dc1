#pragma once

#include "app/Handover.h"

#include <QLocalServer>
#include <QObject>

namespace orvane::app {

// The claim of the one running copy of the program for this user, and the server end of
// the channel (app/Handover.h) on which later copies hand it their look-ups. A message of
// another account, anything malformed or longer, or a connection still open after the
// time limit is dropped unanswered.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);

    // Listens under `name`; true when this process is now the running copy.
    bool listen(const QString& name = handover::serverName());

    // How long a connection may take to deliver its message (two seconds unless set).
    void setMessageTimeout(int milliseconds) { m_messageTimeoutMs = milliseconds; }

signals:
    // A look-up handed over by another copy of this account.
    void lookupRequested(const handover::Request& request);

private:
    void accept();
    void received(const QByteArray& message);

    QLocalServer m_server;
    int m_messageTimeoutMs = 2000;
};

} // namespace orvane::app
