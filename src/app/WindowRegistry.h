#pragma once

class QWidget;

namespace orvane::ui::dictionary {
class DictionaryWindow;
}
namespace orvane::ui::picker {
class CharacterPicker;
}
namespace orvane::ui::shell {
class AboutDialog;
class TrayController;
} // namespace orvane::ui::shell

namespace orvane::app {

using ui::dictionary::DictionaryWindow;
using ui::picker::CharacterPicker;
using ui::shell::AboutDialog;

// One shared instance per window: created on first show, deleted when closed
// (Qt::WA_DeleteOnClose), created afresh with its designed contents when shown again.
// The windows ask for each other through their signals; the registry answers them.
namespace WindowRegistry {

DictionaryWindow* dictionary(); // the open dictionary window, or nullptr
AboutDialog* about();           // the open About box, or nullptr
CharacterPicker* picker();      // the open picker, or nullptr

// Show (creating if needed) and bring forward. `owner` keeps an owned window above
// it; nullptr shows a free top-level window.
DictionaryWindow* showDictionary();
AboutDialog* showAbout(QWidget* owner);
CharacterPicker* showPicker(DictionaryWindow* owner);

// Answers the tray window's requests. Without a tray the dictionary shows at once, and
// closing it ends the program, since nothing else could reach it.
void attach(ui::shell::TrayController* tray);

} // namespace WindowRegistry
} // namespace orvane::app
