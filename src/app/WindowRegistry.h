#pragma once

class QWidget;

namespace orvane {

class frmMdict;
class fAboutD;
class fGlyph;
namespace shell {
class Fboard;
}

// One shared instance per window: created on first show, deleted when closed
// (Qt::WA_DeleteOnClose), created afresh with its designed contents when shown again.
// The windows ask for each other through their signals; the registry answers them.
namespace WindowRegistry {

frmMdict* dictionary(); // the open dictionary window, or nullptr
fAboutD* about();       // the open About box, or nullptr
fGlyph* picker();       // the open picker, or nullptr

// Show (creating if needed) and bring forward. `owner` keeps an owned window above
// it; nullptr shows a free top-level window.
frmMdict* showDictionary();
fAboutD* showAbout(QWidget* owner);
fGlyph* showPicker(frmMdict* owner);

// Answers the tray window's requests. Without a tray the dictionary shows at once, and
// closing it ends the program, since nothing else could reach it.
void attach(shell::Fboard* board);

} // namespace WindowRegistry
} // namespace orvane
