#pragma once

#include <QByteArray>
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
//   then the text's length in bytes (4 bytes, big-endian), then the text in UTF-8.
// Only system calls and QtCore here: a copy asks before it loads any window library.
namespace orvane::app::handover {

inline constexpr qsizetype MaxTextBytes = 1024;
inline constexpr qsizetype HeaderBytes = 9; // mark, kind, length

enum class Probe
{
    NoCopy,      // nothing answers under the name
    OwnCopy,     // this account's running copy answered and has the message
    OtherAccount // a process of another account holds the name: told nothing
};

QString serverName(); // holds the user's name

// The message of a look-up of `text`, or of the selection when there is none.
QByteArray lookupMessage(const std::optional<QString>& text);

// The look-up a message asks for (nullopt inside: the selection); false for anything that
// is not exactly one well-formed message.
bool decode(const QByteArray& message, std::optional<QString>& text);

// Hands `message` (empty: a mere knock) to the copy running under `name`.
Probe handOver(const QByteArray& message, const QString& name = serverName());

// True when the process at the other end of the connected socket `fd` runs as this account.
bool isSameAccount(qintptr fd);

} // namespace orvane::app::handover
