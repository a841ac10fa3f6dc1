#include "app/WindowRegistry.h"

#include "ui/dictionary/frmMdict.h"
#include "ui/picker/fGlyph.h"
#include "ui/shell/Fboard.h"
#include "ui/shell/fAboutD.h"

#include <QCoreApplication>
#include <QPointer>

namespace orvane::WindowRegistry {

namespace {

QPointer<frmMdict> theDictionary;
QPointer<fAboutD> theAbout;
QPointer<fGlyph> thePicker;

// A closed window is deleted, so the next show builds it afresh with its designed contents.
template <typename Window> Window* share(QPointer<Window>& slot, Window* created)
{
    slot = created;
    // An owned window must stay a window of its own, kept above its owner.
    if (!created->isWindow())
        created->setWindowFlag(Qt::Tool);
    created->setAttribute(Qt::WA_DeleteOnClose);
    return created;
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
    if (!theDictionary) {
        frmMdict* window = share(theDictionary, new frmMdict());
        QObject::connect(window, &frmMdict::pickerRequested, window, [window] { showPicker(window); });
        QObject::connect(window, &frmMdict::aboutRequested, window, [window] { showAbout(window); });
    }
    return bringForward(theDictionary.data());
}

fAboutD* showAbout(QWidget* owner)
{
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    // A box opened from the tray is built anew when the dictionary asks, so that it ends up
    // owned by that window: above it, centred on it, out of the task bar.
    if (theAbout && ownerWindow && theAbout->parentWidget() != ownerWindow)
        delete theAbout.data();
    if (!theAbout)
        share(theAbout, new fAboutD(ownerWindow));
    return bringForward(theAbout.data());
}

fGlyph* showPicker(frmMdict* owner)
{
    if (!thePicker)
        share(thePicker, new fGlyph(owner, owner ? owner->nativeScriptBox() : nullptr));
    return bringForward(thePicker.data());
}

void attach(shell::Fboard* board)
{
    QObject::connect(board, &shell::Fboard::dictionaryRequested, board, [] { showDictionary(); });
    QObject::connect(board, &shell::Fboard::aboutRequested, board, [] { showAbout(nullptr); });
    QObject::connect(board, &shell::Fboard::startedWithoutTray, board, [] {
        QObject::connect(showDictionary(), &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); });
    });
}

} // namespace orvane::WindowRegistry
