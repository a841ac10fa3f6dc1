#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QtGlobal>
#include <optional>

// The single-instance channel as a starting copy sees it: the one running copy of the
// program for this user listens on an abstract-namespace name, so no file is written and
// a killed copy leaves nothing behind. That namespace has no permissions, so each end
// checks that the other is a process of its own account.
//
// A message is everything one connection carries before the sender closes it:
//   "ORVL", then 'T' (look up the text that follows) or 'S' (look up the selection),
//   then the text's length in bytes (4 bytes, big-endian), then the text in UTF-8;
//   then, for each token of the user's action that the sender's environment held, 'W'
//   (XDG_ACTIVATION_TOKEN) or 'X' (DESKTOP_STARTUP_ID), its length (1 byte) and the token.
// Only system calls and QtCore here: a copy asks before it loads any window library.
namespace orvane::app::handover {

inline constexpr qsizetype MaxTextBytes = 1024;
inline constexpr qsizetype HeaderBytes = 9; // mark, kind, length
inline constexpr qsizetype MaxTokenBytes = 255;
inline constexpr qsizetype MaxMessageBytes = HeaderBytes + MaxTextBytes + 2 * (2 + MaxTokenBytes);

// The token of the user's action (a key press, a click on a launcher) that asked for a
// window: desktops that prevent focus stealing bring a window forward only with it. It is
// opaque: printable ASCII without spaces, at most MaxTokenBytes; anything else is none.
struct ActivationToken
{
    QByteArray wayland; // for xdg-activation, from XDG_ACTIVATION_TOKEN
    QByteArray x11;     // the startup notification id, from DESKTOP_STARTUP_ID

    static ActivationToken
    fromEnvironment(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    bool operator==(const ActivationToken&) const = default;
};

// The user's time of the action, which an X11 startup id ends with ("…_TIME<number>").
std::optional<quint32> startupTime(const QByteArray& startupId);

// What a message asks for.
struct Request
{
    std::optional<QString> text; // none: the selection
    ActivationToken token;
    bool operator==(const Request&) const = default;
};

enum class Probe
{
    NoCopy,      // nothing answers under the name
    OwnCopy,     // this account's running copy answered and has the message
    OtherAccount // a process of another account holds the name: told nothing
};

QString serverName(); // holds the user's name

// The message of a look-up of `text`, or of the selection when there is none.
QByteArray lookupMessage(const std::optional<QString>& text, const ActivationToken& token = {});

// The look-up a message asks for; none for anything that is not exactly one well-formed message.
std::optional<Request> decode(const QByteArray& message);

// Hands `message` (empty: a mere knock) to the copy running under `name`.
Probe handOver(const QByteArray& message, const QString& name = serverName());

// True when the process at the other end of the connected socket `fd` runs as this account.
bool isSameAccount(qintptr fd);

} // namespace orvane::app::handover
