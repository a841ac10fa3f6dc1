#pragma once

#include "app/Handover.h"

class QWidget;

namespace orvane::app {

// Asks the desktop to give `window` (shown already) the keyboard focus, with the token of
// the user's action that asked for it where there is one: desktops that prevent focus
// stealing grant it to a window of a program in the background only with that token.
void activateWindow(QWidget* window, const handover::ActivationToken& token);

} // namespace orvane::app
