// The single-instance channel: only this account, only well-formed messages within the limits.
#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane::app;
using namespace Qt::StringLiterals;
using Message = std::optional<QString>;

class TestSingleInstance final : public QObject
{
    Q_OBJECT

    const QString m_name = u"orvane-test-%1"_s.arg(QCoreApplication::applicationPid());

    static sockaddr_un address(const QString& name)
    {
        sockaddr_un address{AF_UNIX, {}};
        memcpy(address.sun_path + 1, name.toUtf8().constData(), size_t(name.toUtf8().size()));
        return address;
    }

private slots:
    void onlyThisAccountAndWellFormedMessagesWithinTheLimits()
    {
        SingleInstance instance;
        instance.setMessageTimeout(60000); // only the size limit may end the long message
        QVERIFY(instance.listen(m_name));
        QSignalSpy lookups(&instance, &SingleInstance::lookupRequested);
        const QByteArray text = handover::lookupMessage(u"ψυχή"_s), selection = handover::lookupMessage({});

        if (geteuid() == 0) { // acting as another account needs root
            const sockaddr_un heard = address(m_name), held = address(m_name + u"-held"_s);
            const auto size = socklen_t(sizeof(sa_family_t) + 1 + size_t(m_name.size()));
            const pid_t child = fork();
            if (child == 0) { // as "nobody": a look-up, read until it is dealt with, then hold a name
                const int out = socket(AF_UNIX, SOCK_STREAM, 0), in = socket(AF_UNIX, SOCK_STREAM, 0);
                char byte;
                if (setuid(65534) == 0 && prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && // after setuid, which clears it
                    ::connect(out, reinterpret_cast<const sockaddr*>(&heard), size) == 0 &&
                    write(out, text.constData(), size_t(text.size())) > 0 && shutdown(out, SHUT_WR) == 0) {
                    while (read(out, &byte, 1) > 0) {
                    }
                    ::bind(in, reinterpret_cast<const sockaddr*>(&held), size + 5);
                    ::listen(in, 8); // QTRY knocks more than once, and no one accepts
                }
                pause();
                _exit(0);
            }
            // Knocking at another account's name tells it nothing, so it may be repeated.
            QTRY_COMPARE(handover::handOver(text, m_name + u"-held"_s), handover::Probe::OtherAccount);
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            QCOMPARE(lookups.size(), 0);
        }

        QLocalSocket longOne, silent;
        longOne.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        longOne.connectToServer(m_name);
        QVERIFY(longOne.waitForConnected());
        longOne.write(QByteArray(handover::MaxTextBytes + 16, 'a'));
        QTRY_COMPARE(longOne.state(), QLocalSocket::UnconnectedState);

        for (const QByteArray& message :
             {QByteArray("ORVL"), text.chopped(1), text + 'x', selection + 'x',
              QByteArray(text).replace("\xCF\x88", "\xCF\xCF"), QByteArray(text).replace('T', 'X'),
              QByteArray(text).replace('T', 'S'), selection, text})
            QCOMPARE(handover::handOver(message, m_name), handover::Probe::OwnCopy);
        QTRY_COMPARE(lookups.size(), 2);
        QCOMPARE(lookups[0][0].value<Message>(), Message());
        QCOMPARE(lookups[1][0].value<Message>(), Message(u"ψυχή"_s));

        instance.setMessageTimeout(100);
        silent.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        silent.connectToServer(m_name);
        QTRY_COMPARE(silent.state(), QLocalSocket::UnconnectedState); // dropped in time
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
