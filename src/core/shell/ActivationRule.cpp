#include "core/shell/ActivationRule.h"

namespace orvane::core::shell {

bool ActivationRule::focusMoved(Focus to)
{
    const bool cameFromOtherWindow = m_focusInOtherWindow;
    m_focusInOtherWindow = to == Focus::OtherWindow || to == Focus::HandlersWindow;
    switch (to) {
    case Focus::Elsewhere:
    case Focus::HandlersWindow:
        return false;
    case Focus::OtherWindow:
        // The user went on to another window of the program: coming back from it is a
        // genuine activation again.
        if (m_phase == Phase::AwaitingReturn)
            m_phase = Phase::Idle;
        return false;
    case Focus::Window:
        break;
    }
    switch (m_phase) {
    case Phase::NeverFocused:
        m_phase = Phase::Queued;
        return true;
    case Phase::Idle:
        if (!cameFromOtherWindow)
            return false; // back in from another application
        m_phase = Phase::Queued;
        return true;
    case Phase::Queued:
    case Phase::Running:
        return false;
    case Phase::AwaitingReturn:
        m_phase = Phase::Idle; // back from the handler's own box
        return false;
    }
    return false;
}

void ActivationRule::handlerFinished(bool showedWindows, bool focusIsOnWindow)
{
    m_phase = showedWindows && !focusIsOnWindow ? Phase::AwaitingReturn : Phase::Idle;
}

} // namespace orvane::core::shell
