#include "app/WindowRegistry.h"

#include "ui/dictionary/DictionaryWindow.h"
#include "ui/picker/CharacterPicker.h"
#include "ui/shell/AboutDialog.h"
#include "ui/shell/TrayController.h"

#include <QCoreApplication>
#include <QPointer>

namespace orvane::app::WindowRegistry {

namespace {

QPointer<DictionaryWindow> theDictionary;
QPointer<AboutDialog> theAbout;
QPointer<CharacterPicker> thePicker;

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

DictionaryWindow* dictionary()
{
    return theDictionary;
}
AboutDialog* about()
{
    return theAbout;
}
CharacterPicker* picker()
{
    return thePicker;
}

DictionaryWindow* showDictionary()
{
    if (!theDictionary) {
        DictionaryWindow* window = share(theDictionary, new DictionaryWindow());
        QObject::connect(window, &DictionaryWindow::pickerRequested, window, [window] { showPicker(window); });
        QObject::connect(window, &DictionaryWindow::aboutRequested, window, [window] { showAbout(window); });
    }
    return bringForward(theDictionary.data());
}

AboutDialog* showAbout(QWidget* owner)
{
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    // A box opened from the tray is built anew when the dictionary asks, so that it ends up
    // owned by that window: above it, centred on it, out of the task bar.
    if (theAbout && ownerWindow && theAbout->parentWidget() != ownerWindow)
        delete theAbout.data();
    if (!theAbout)
        share(theAbout, new AboutDialog(ownerWindow));
    return bringForward(theAbout.data());
}

CharacterPicker* showPicker(DictionaryWindow* owner)
{
    if (!thePicker)
        share(thePicker, new CharacterPicker(owner, owner ? owner->scriptBox() : nullptr));
    return bringForward(thePicker.data());
}

void attach(ui::shell::TrayController* tray)
{
    QObject::connect(tray, &ui::shell::TrayController::dictionaryRequested, tray, [] { showDictionary(); });
    QObject::connect(tray, &ui::shell::TrayController::aboutRequested, tray, [] { showAbout(nullptr); });
    QObject::connect(tray, &ui::shell::TrayController::startedWithoutTray, tray, [] {
        QObject::connect(showDictionary(), &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); });
    });
}

} // namespace orvane::app::WindowRegistry
