#include "ui/common/ActivationWatcher.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace orvane::shell {

ActivationWatcher::ActivationWatcher(QWidget* window, std::function<void()> onActivate)
    : QObject(window), m_window(window), m_onActivate(std::move(onActivate)),
      m_focusWasInOtherWindow(QGuiApplication::focusWindow() != nullptr)
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationWatcher::focusWindowChanged);
}

bool ActivationWatcher::isWatchedWindow(const QWindow* window) const
{
    return window != nullptr && m_window->window()->windowHandle() == window;
}

void ActivationWatcher::focusWindowChanged(QWindow* now)
{
    // Menus and tool tips hold the focus only while they are open; the window under them
    // never really lost it.
    if (now != nullptr && (now->type() == Qt::Popup || now->type() == Qt::ToolTip))
        return;
    const bool cameFromOtherWindow = m_focusWasInOtherWindow;
    m_focusWasInOtherWindow = now != nullptr && !isWatchedWindow(now);
    if (now == nullptr)
        return; // the program lost the focus, or it passes through no window for a moment

    if (!isWatchedWindow(now)) {
        if (m_inHandler) {
            m_handlerWindows.append(now);
        } else if (!m_handlerWindows.contains(now)) {
            // The user went on to another window of the program: coming back from it
            // is a genuine activation again.
            m_awaitingReturnFromHandler = false;
            m_handlerWindows.clear();
        }
        return;
    }

    if (m_inHandler || m_handlerQueued)
        return;
    if (m_awaitingReturnFromHandler) {
        // The focus returns from a message box the handler showed; running the handler
        // again would show that box again, for ever.
        m_awaitingReturnFromHandler = false;
        m_handlerWindows.clear();
        return;
    }
    if (m_shownOnce && !cameFromOtherWindow)
        return; // back in from another application, or the focus never really left

    m_shownOnce = true;
    m_handlerQueued = true;
    // Queued: the handler may open message boxes, and a nested event loop must not run
    // inside the focus change that is being delivered right now.
    QMetaObject::invokeMethod(this, &ActivationWatcher::runHandler, Qt::QueuedConnection);
}

void ActivationWatcher::runHandler()
{
    m_handlerQueued = false;
    if (!m_window->isVisible())
        return;

    QPointer<ActivationWatcher> self(this);
    m_inHandler = true;
    m_handlerWindows.clear();
    ++m_activations;
    m_onActivate();
    if (!self)
        return; // the handler closed its own window
    m_inHandler = false;

    // Where the window system reports focus changes late (X11), the focus is still on
    // the handler's closed message box, or on none, when the handler returns.
    const bool handlerShowedWindows = !m_handlerWindows.isEmpty();
    m_handlerWindows.removeAll(nullptr);
    m_awaitingReturnFromHandler = handlerShowedWindows && !isWatchedWindow(QGuiApplication::focusWindow());
}

} // namespace orvane::shell
