#pragma once

class QWidget;

namespace orvane {

class frmMdict;
class fAboutD;
class fGlyph;

// One shared instance per window: created on first show, deleted when closed
// (Qt::WA_DeleteOnClose), created afresh with its designed contents when shown again.
namespace Windows {

frmMdict* dictionary(); // the open dictionary window, or nullptr
fAboutD* about();       // the open About box, or nullptr
fGlyph* picker();       // the open picker, or nullptr

// Show (creating if needed) and bring forward. `owner` keeps an owned window above
// it; nullptr shows a free top-level window.
frmMdict* showDictionary();
fAboutD* showAbout(QWidget* owner);
fGlyph* showPicker(QWidget* owner);

} // namespace Windows
} // namespace orvane
