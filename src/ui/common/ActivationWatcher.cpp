#include "ui/common/ActivationWatcher.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace orvane::ui::common {

using core::shell::ActivationRule;

ActivationWatcher::ActivationWatcher(QWidget* window, std::function<void()> onActivate)
    : QObject(window), m_window(window), m_onActivate(std::move(onActivate))
{
    // Created while another window of the program has the focus: that is where it comes from.
    if (QGuiApplication::focusWindow() != nullptr)
        m_rule.focusMoved(ActivationRule::Focus::OtherWindow);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationWatcher::focusWindowChanged);
}

bool ActivationWatcher::isWatchedWindow(const QWindow* window) const
{
    return window != nullptr && m_window->window()->windowHandle() == window;
}

ActivationRule::Focus ActivationWatcher::classify(QWindow* now)
{
    using Focus = ActivationRule::Focus;
    if (now == nullptr)
        return Focus::Elsewhere;
    if (isWatchedWindow(now))
        return Focus::Window;
    if (m_rule.phase() == ActivationRule::Phase::Running)
        m_handlerWindows.append(now);
    return m_handlerWindows.contains(now) ? Focus::HandlersWindow : Focus::OtherWindow;
}

void ActivationWatcher::focusWindowChanged(QWindow* now)
{
    // Menus and tool tips hold the focus only while they are open; the window under them
    // never really lost it.
    if (now != nullptr && (now->type() == Qt::Popup || now->type() == Qt::ToolTip))
        return;
    const ActivationRule::Focus to = classify(now);
    if (to == ActivationRule::Focus::OtherWindow)
        m_handlerWindows.clear();
    if (m_rule.focusMoved(to))
        QMetaObject::invokeMethod(this, &ActivationWatcher::runHandler, Qt::QueuedConnection);
}

void ActivationWatcher::runHandler()
{
    if (!m_window->isVisible()) {
        m_rule.handlerSkipped();
        return;
    }
    QPointer<ActivationWatcher> self(this);
    m_handlerWindows.clear();
    m_rule.handlerStarted();
    ++m_activations;
    m_onActivate();
    if (!self)
        return; // the handler closed its own window
    // Its message boxes are gone by now (null here), yet they count. Where the window
    // system reports focus changes late (X11), the focus is still on such a closed box,
    // or on none, when the handler returns.
    const bool showedWindows = !m_handlerWindows.isEmpty();
    m_handlerWindows.removeAll(nullptr);
    m_rule.handlerFinished(showedWindows, isWatchedWindow(QGuiApplication::focusWindow()));
}

} // namespace orvane::ui::common
