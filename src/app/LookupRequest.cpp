#include "app/LookupRequest.h"

#include "app/WindowRegistry.h"
#include "core/dictionary/Lookup.h"
#include "ui/dictionary/DictionaryWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWindow>

namespace orvane::app {

namespace {

QString selectedText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection()) {
        const QString selected = clipboard->text(QClipboard::Selection);
        if (!core::dictionary::lookupText(selected).isEmpty())
            return selected;
    }
    return clipboard->text(QClipboard::Clipboard);
}

} // namespace

void lookUp(WindowRegistry& registry, const handover::Request& request)
{
    DictionaryWindow* window = registry.showDictionary(request.token);
    // At most one look-up waits for the focus (below): a newer one takes its place.
    const QString waitingName = QStringLiteral("selectionWaitingForFocus");
    delete window->findChild<QObject*>(waitingName, Qt::FindDirectChildrenOnly);
    if (request.text) {
        window->lookUp(*request.text);
        return;
    }
    // A Wayland compositor tells a program the selections only while one of its windows has
    // the keyboard focus, and then at once: they are read when the window has it.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || window->isActiveWindow()) {
        window->lookUp(selectedText());
        return;
    }
    auto* waiting = new QObject(window);
    waiting->setObjectName(waitingName);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, waiting, [window, waiting](QWindow* focused) {
        if (focused != window->windowHandle())
            return;
        QObject::disconnect(qApp, &QGuiApplication::focusWindowChanged, waiting, nullptr);
        waiting->deleteLater();
        // Queued, behind the selections that came with the focus.
        QMetaObject::invokeMethod(
            window, [window] { window->lookUp(selectedText()); }, Qt::QueuedConnection);
    });
}

} // namespace orvane::app
