#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

namespace orvane::shell {

// Runs a window's activation handler when the window becomes the program's active
// window on its first show, or when the focus comes to it from another window of the
// program. It does not run when the user switches back in from another application
// (the previous focus window was none), nor when a message box that the handler
// itself showed closes (otherwise a window manager would loop). The handler runs
// from a queued call, never inside the activation event itself.
//
// The watcher is a child of the window, so it lives and dies with it.
class ActivationWatcher : public QObject
{
    Q_OBJECT
public:
    ActivationWatcher(QWidget* window, std::function<void()> onActivate);

    // How many times the handler has run; for tests and diagnostics.
    int activations() const { return m_activations; }

private:
    void focusWindowChanged(QWindow* now);
    void runHandler();
    bool isWatchedWindow(const QWindow* window) const;

    QWidget* m_window;
    std::function<void()> m_onActivate;
    bool m_inHandler = false;
    bool m_shownOnce = false;
    bool m_handlerQueued = false;
    // Whether another window of the program held the focus before the current change.
    // A flag rather than a pointer: a window that was closed and deleted still counts.
    bool m_focusWasInOtherWindow = false;
    // Windows that took the focus while the handler ran (its message boxes); when the
    // focus comes back from them after the handler, the handler must not run again.
    QList<QPointer<QWindow>> m_handlerWindows;
    bool m_awaitingReturnFromHandler = false;
    int m_activations = 0;
};

} // namespace orvane::shell
