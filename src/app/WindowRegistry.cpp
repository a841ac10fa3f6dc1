#include "app/WindowRegistry.h"

#include "app/WindowActivation.h"
#include "ui/common/Messages.h"
#include "ui/dictionary/DictionaryWindow.h"
#include "ui/dictionary/MeaningSearchDialog.h"
#include "ui/picker/CharacterPicker.h"
#include "ui/shell/AboutDialog.h"
#include "ui/shell/TrayController.h"

#include <QCoreApplication>

namespace orvane::app {

namespace {

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

template <typename Window> Window* bringForward(Window* window, const handover::ActivationToken& token = {})
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    activateWindow(window, token);
    return window;
}

} // namespace

WindowRegistry::WindowRegistry(const QString& databasePath, QObject* parent) : QObject(parent), m_session(databasePath)
{
    connect(&m_session, &core::dictionary::DictionarySession::connectionFailed, this,
            [] { ui::common::showMessage(nullptr, QString::fromLatin1(ui::common::UnexpectedErrorText)); });
}

WindowRegistry::~WindowRegistry()
{
    // The windows hold the session, which goes with the registry; the owned ones go with their owner.
    delete m_meaningSearch.data();
    delete m_picker.data();
    delete m_about.data();
    delete m_dictionary.data();
}

DictionaryWindow* WindowRegistry::dictionary() const
{
    return m_dictionary;
}

AboutDialog* WindowRegistry::about() const
{
    return m_about;
}

CharacterPicker* WindowRegistry::picker() const
{
    return m_picker;
}

MeaningSearchDialog* WindowRegistry::meaningSearch() const
{
    return m_meaningSearch;
}

DictionaryWindow* WindowRegistry::showDictionary(const handover::ActivationToken& token)
{
    if (!m_dictionary) {
        DictionaryWindow* window = share(m_dictionary, new DictionaryWindow(&m_session));
        connect(window, &DictionaryWindow::pickerRequested, this, [this, window] { showPicker(window); });
        connect(window, &DictionaryWindow::aboutRequested, this, [this, window] { showAbout(window); });
        connect(window, &DictionaryWindow::meaningSearchRequested, this, [this, window] { showMeaningSearch(window); });
    }
    return bringForward(m_dictionary.data(), token);
}

AboutDialog* WindowRegistry::showAbout(QWidget* owner)
{
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    // A box opened from the tray is built anew when the dictionary asks, so that it ends up
    // owned by that window: above it, centred on it, out of the task bar.
    if (m_about && ownerWindow && m_about->parentWidget() != ownerWindow)
        delete m_about.data();
    if (!m_about)
        share(m_about, new AboutDialog(&m_session, ownerWindow));
    return bringForward(m_about.data());
}

CharacterPicker* WindowRegistry::showPicker(DictionaryWindow* owner)
{
    if (!m_picker) {
        CharacterPicker* picker = share(m_picker, new CharacterPicker(&m_session, owner));
        if (owner)
            connect(picker, &CharacterPicker::glyphChosen, owner, &DictionaryWindow::appendToScriptBox);
    }
    return bringForward(m_picker.data());
}

MeaningSearchDialog* WindowRegistry::showMeaningSearch(DictionaryWindow* owner)
{
    if (!m_meaningSearch) {
        MeaningSearchDialog* dialog = share(m_meaningSearch, new MeaningSearchDialog(&m_session, owner));
        connect(dialog, &MeaningSearchDialog::entryChosen, owner, &DictionaryWindow::showEntry);
    }
    return bringForward(m_meaningSearch.data());
}

void WindowRegistry::attach(ui::shell::TrayController* tray)
{
    connect(tray, &ui::shell::TrayController::dictionaryRequested, this, [this] { showDictionary(); });
    connect(tray, &ui::shell::TrayController::aboutRequested, this, [this] { showAbout(nullptr); });
    connect(tray, &ui::shell::TrayController::startedWithoutTray, this,
            [this] { connect(showDictionary(), &QObject::destroyed, qApp, [] { QCoreApplication::exit(0); }); });
}

} // namespace orvane::app
