#pragma once

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
class ActivationWatcher : public QObject
{
    Q_OBJECT
public:
    ActivationWatcher(QWidget* window, std::function<void()> onActivate);

private:
    void focusWindowChanged(QWindow* now);
    void runHandler();

    QWidget* m_window;
    std::function<void()> m_onActivate;
    bool m_inHandler = false;
    bool m_shownOnce = false;
};

} // namespace orvane::shell
