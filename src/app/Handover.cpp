#include "app/Handover.h"

#include "core/dictionary/Lookup.h"

#include <QScopeGuard>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <cstring>

#ifndef Q_OS_LINUX
#include <QLocalSocket>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace orvane::app::handover {

namespace {

constexpr char Mark[] = "ORVL";

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

bool isToken(QByteArrayView token)
{
    return !token.isEmpty() && token.size() <= MaxTokenBytes &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

} // namespace

bool isSameAccount([[maybe_unused]] qintptr fd)
{
#ifdef Q_OS_LINUX
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
#else
    return true; // named pipes and socket files carry the account's own permissions
#endif
}

std::optional<Request> decode(const QByteArray& message)
{
    if (message.size() < HeaderBytes || !message.startsWith(Mark))
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(message.constData() + 5);
    if (length > MaxTextBytes || message.size() < HeaderBytes + qsizetype(length))
        return std::nullopt;
    Request request;
    const QByteArrayView text = QByteArrayView(message).sliced(HeaderBytes, length);
    if (message.at(4) == 'T') {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        request.text = utf8(text);
        if (utf8.hasError())
            return std::nullopt;
    } else if (message.at(4) != 'S' || length != 0) {
        return std::nullopt;
    }
    // The tokens, each kind at most once, and nothing after them.
    for (QByteArrayView rest = QByteArrayView(message).sliced(HeaderBytes + length); !rest.isEmpty();) {
        QByteArray* token = rest.front() == 'W'   ? &request.token.wayland
                            : rest.front() == 'X' ? &request.token.x11
                                                  : nullptr;
        const qsizetype size = rest.size() >= 2 ? quint8(rest.at(1)) : 0;
        if (!token || !token->isEmpty() || rest.size() < 2 + size || !isToken(rest.sliced(2, size)))
            return std::nullopt;
        *token = rest.sliced(2, size).toByteArray();
        rest = rest.sliced(2 + size);
    }
    return request;
}

ActivationToken ActivationToken::fromEnvironment(const QProcessEnvironment& environment)
{
    const auto read = [&environment](const char* name) {
        const QByteArray token = environment.value(QString::fromLatin1(name)).toUtf8();
        return isToken(token) ? token : QByteArray();
    };
    return {read("XDG_ACTIVATION_TOKEN"), read("DESKTOP_STARTUP_ID")};
}

std::optional<quint32> startupTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    const QByteArray digits = at < 0 ? QByteArray() : startupId.mid(at + 5);
    bool ok =
        !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    const quint32 time = ok ? digits.toUInt(&ok) : 0;
    return ok ? std::optional(time) : std::nullopt;
}

QString serverName()
{
    return QStringLiteral("orvane-") + userName();
}

QByteArray lookupMessage(const std::optional<QString>& text, const ActivationToken& token)
{
    // Cut here already, so that what is sent always fits the receiver's limit.
    const QByteArray utf8 = text ? core::dictionary::lookupText(*text).toUtf8() : QByteArray();
    QByteArray message(Mark);
    message += text ? 'T' : 'S';
    message.resize(HeaderBytes);
    qToBigEndian<quint32>(quint32(utf8.size()), message.data() + 5);
    message += utf8;
    for (const auto& [kind, value] : {std::pair('W', &token.wayland), {'X', &token.x11}})
        if (isToken(*value))
            message += kind + QByteArray(1, char(value->size())) + *value;
    return message;
}

Probe handOver(const QByteArray& message, const QString& name)
{
#ifdef Q_OS_LINUX
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Probe::NoCopy;
    const auto closeSocket = qScopeGuard([fd] { close(fd); });
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = name.toUtf8().left(qsizetype(sizeof address.sun_path) - 1);
    memcpy(address.sun_path + 1, path.constData(), size_t(path.size())); // sun_path[0] = 0: abstract
    const auto length = socklen_t(sizeof address.sun_family + 1 + size_t(path.size()));
    // Non-blocking, so that a listener whose queue is full (one that never accepts)
    // refuses at once instead of holding this copy up; it counts as no copy.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0)
        return Probe::NoCopy;
    // The listener's credentials, recorded when it began to listen.
    if (!isSameAccount(fd))
        return Probe::OtherAccount;
    // Small enough for the socket's buffer: written whole at once, or the copy is stuck.
    if (!message.isEmpty())
        ::send(fd, message.constData(), size_t(message.size()), MSG_NOSIGNAL);
    return Probe::OwnCopy;
#else
    constexpr int TimeoutMs = 200;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(TimeoutMs))
        return Probe::NoCopy;
    socket.write(message);
    socket.waitForBytesWritten(TimeoutMs);
    return Probe::OwnCopy;
#endif
}

} // namespace orvane::app::handover
