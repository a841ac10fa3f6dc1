// orvane-gui: the tray icon and the windows. orvane starts it when no copy of the program
// runs for this user yet.
#include "app/CommandLine.h"
#include "app/LookupRequest.h"
#include "app/SingleInstance.h"
#include "app/WindowRegistry.h"
#include "ui/common/ProgramIcon.h"
#include "ui/shell/TrayController.h"

#include <QApplication>
#include <QProcessEnvironment>

using namespace orvane::app;

int main(int argc, char* argv[])
{
    const CommandLine command = parseCommandLine(argc, argv);
    if (command.mode != CommandLine::Mode::Program && command.mode != CommandLine::Mode::Lookup) {
        print(stderr, QStringLiteral("orvane-gui: only the windows start here; run orvane\n"));
        return 2;
    }
    const bool lookingUp = command.mode == CommandLine::Mode::Lookup;
    const handover::Request request{command.text, handover::ActivationToken::fromEnvironment()};
    const QByteArray message = lookingUp ? handover::lookupMessage(request.text, request.token) : QByteArray();
    // orvane asked already; asked again before any display is opened, since a copy may have
    // started meanwhile: it takes the look-up, and this one leaves silently.
    const handover::Probe found = handover::handOver(message);
    if (found == handover::Probe::OwnCopy)
        return 0;
    if (const QString line = missingDisplay(command, QProcessEnvironment::systemEnvironment()); !line.isEmpty()) {
        print(stderr, line);
        return 2;
    }

    QApplication app(argc, argv);
    SingleInstance instance;
    if (!instance.listen()) {
        // A copy that started meanwhile takes the message; a name held by another
        // account must not keep this user from the dictionary.
        if (found == handover::Probe::NoCopy && handover::handOver(message) == handover::Probe::OwnCopy)
            return 0;
        print(stderr, QStringLiteral("orvane: another account holds the name %1; running without the "
                                     "single-instance guard\n")
                          .arg(handover::serverName()));
    }

    QApplication::setQuitOnLastWindowClosed(false); // the tray keeps the program alive
    QApplication::setWindowIcon(orvane::ui::common::programIcon());
    // Wayland desktops find the program's name and icon for its windows under this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvane"));

    WindowRegistry registry(command.database);
    orvane::ui::shell::TrayController tray;
    registry.attach(&tray);
    tray.start();
    QObject::connect(&instance, &SingleInstance::lookupRequested, &registry,
                     [&registry](const handover::Request& handedOver) { lookUp(registry, handedOver); });
    if (lookingUp)
        lookUp(registry, request);
    // The token of the action that started this copy served the window it showed (Qt's
    // Wayland platform takes it from here for a window shown without a tray); a later
    // window, or a program started from this one, must not present it again.
    for (const char* token : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"})
        qunsetenv(token);
    return QApplication::exec();
}
