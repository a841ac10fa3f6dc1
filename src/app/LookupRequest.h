#pragma once

#include <QString>
#include <optional>

namespace orvane::app {

class WindowRegistry;

// A look-up from outside the window (orvane --lookup, here or handed over by another
// copy): shows the registry's dictionary window and looks `text` up there, or, without
// text, what the user selected last in any program, else the clipboard's text.
void lookUp(WindowRegistry& registry, const std::optional<QString>& text);

} // namespace orvane::app
