#include "app/Windows.h"

#include "dictionary/frmMdict.h"
#include "picker/fGlyph.h"
#include "shell/fAboutD.h"

#include <QPointer>

namespace orvane::Windows {

namespace {

QPointer<frmMdict> theDictionary;
QPointer<fAboutD> theAbout;
QPointer<fGlyph> thePicker;

// A closed window is deleted, so the next show builds it afresh with its designed contents.
template <typename Window> Window* createShared(QPointer<Window>& slot, QWidget* owner)
{
    if (!slot) {
        slot = new Window(owner);
        // An owned window must stay a window of its own, kept above its owner.
        if (!slot->isWindow())
            slot->setWindowFlag(Qt::Tool);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return slot;
}

template <typename Window> Window* bringForward(Window* window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

frmMdict* dictionary()
{
    return theDictionary;
}
fAboutD* about()
{
    return theAbout;
}
fGlyph* picker()
{
    return thePicker;
}

frmMdict* showDictionary()
{
    return bringForward(createShared(theDictionary, nullptr));
}
fAboutD* showAbout(QWidget* owner)
{
    return bringForward(createShared(theAbout, owner ? owner->window() : nullptr));
}
fGlyph* showPicker(QWidget* owner)
{
    return bringForward(createShared(thePicker, owner ? owner->window() : nullptr));
}

} // namespace orvane::Windows
