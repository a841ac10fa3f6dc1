#pragma once

#include "app/Handover.h"

namespace orvane::app {

class WindowRegistry;

// A look-up from outside the window (orvane --lookup, here or handed over by another
// copy): shows the registry's dictionary window, with the token of the user's action, and
// looks the text up there, or, without text, what the user selected last in any program,
// else the clipboard's text.
void lookUp(WindowRegistry& registry, const handover::Request& request);

} // namespace orvane::app
