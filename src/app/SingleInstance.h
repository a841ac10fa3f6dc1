#pragma once

#include <QLocalServer>
#include <QObject>
#include <optional>

namespace orvane {

// The claim of the one running copy of the program for this user, and the channel on
// which later copies hand it their look-ups: a local server on an abstract-namespace
// name, so no file is written and a killed copy leaves nothing behind. That namespace
// has no permissions, so each end checks that the other is a process of its own account.
//
// A message is everything one connection carries before the sender closes it:
//   "ORVL", then 'T' (look up the text that follows) or 'S' (look up the selection),
//   then the text's length in bytes (4 bytes, big-endian), then the text in UTF-8.
// Anything else, anything longer, or a connection still open after the time limit is
// dropped unanswered.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype MaxTextBytes = 1024;

    enum class Probe
    {
        NoCopy,      // nothing answers under the name
        OwnCopy,     // this account's running copy answered and has the message
        OtherAccount // a process of another account holds the name: told nothing
    };

    explicit SingleInstance(QObject* parent = nullptr);

    // Hands `message` (empty: a mere knock) to the copy running under `name`. Only system
    // calls, so that a copy can ask before it creates its application object.
    static Probe handOver(const QByteArray& message, const QString& name = serverName());

    // The message of a look-up of `text`, or of the selection when there is none.
    static QByteArray lookupMessage(const std::optional<QString>& text);

    // Listens under `name`; true when this process is now the running copy.
    bool listen(const QString& name = serverName());

    // How long a connection may take to deliver its message (two seconds unless set).
    void setMessageTimeout(int milliseconds) { m_messageTimeoutMs = milliseconds; }

    static QString serverName(); // holds the user's name

signals:
    // A look-up handed over by another copy of this account: its text, or none for the selection.
    void lookupRequested(const std::optional<QString>& text);

private:
    void accept();
    void received(const QByteArray& message);

    QLocalServer m_server;
    int m_messageTimeoutMs = 2000;
};

} // namespace orvane
