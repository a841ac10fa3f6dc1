#pragma once

#include "core/shell/ActivationRule.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

namespace orvane::ui::common {

// Runs a window's activation handler as core::shell::ActivationRule says, from a queued call: the
// handler may open message boxes, and a nested event loop must not run inside the focus
// change that is being delivered. The watcher is a child of the window, so it lives and
// dies with it.
class ActivationWatcher : public QObject
{
    Q_OBJECT
public:
    ActivationWatcher(QWidget* window, std::function<void()> onActivate);

    // How many times the handler has run; for tests and diagnostics.
    int activations() const { return m_activations; }

private:
    void focusWindowChanged(QWindow* now);
    core::shell::ActivationRule::Focus classify(QWindow* now);
    void runHandler();
    bool isWatchedWindow(const QWindow* window) const;

    QWidget* m_window;
    std::function<void()> m_onActivate;
    core::shell::ActivationRule m_rule;
    // Windows that took the focus while the handler ran (its message boxes).
    QList<QPointer<QWindow>> m_handlerWindows;
    int m_activations = 0;
};

} // namespace orvane::ui::common
