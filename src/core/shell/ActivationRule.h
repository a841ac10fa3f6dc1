#pragma once

namespace orvane::core::shell {

// When a window's activation handler runs. It runs when the window gets the focus for
// the first time, and again whenever the focus comes to it from another window of the
// program. It does not run when the user switches back in from another application,
// nor when the focus returns from a message box the handler itself showed (with a window
// manager, running again would show that box again, for ever).
//
// The caller reports every focus change and the handler's runs; the rule says when to
// queue the handler. Nothing here knows of windows, so the rule is tested as a table.
class ActivationRule
{
public:
    // Where the focus went.
    enum class Focus
    {
        Elsewhere,      // to no window of the program: another application, or between windows
        Window,         // to the watched window
        HandlersWindow, // to a window the running handler opened, or one it opened before
        OtherWindow     // to any other window of the program
    };

    enum class Phase
    {
        NeverFocused,
        Idle,
        Queued, // the handler will run from a queued call
        Running,
        AwaitingReturn // the handler showed boxes; the focus has not come back from them yet
    };

    // True when the handler must be queued now.
    bool focusMoved(Focus to);

    void handlerStarted() { m_phase = Phase::Running; }
    // `showedWindows`: windows took the focus while it ran; `focusIsOnWindow`: the focus
    // already came back (window systems that report focus changes late have not yet).
    void handlerFinished(bool showedWindows, bool focusIsOnWindow);
    // The queued run found the window hidden and did not run the handler.
    void handlerSkipped() { m_phase = Phase::Idle; }

    Phase phase() const { return m_phase; }

private:
    Phase m_phase = Phase::NeverFocused;
    // Whether the focus left a window of the program for another one of it (a flag rather
    // than the window: one that was closed and deleted meanwhile still counts).
    bool m_focusInOtherWindow = false;
};

} // namespace orvane::core::shell
