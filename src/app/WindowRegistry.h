#pragma once

#include "app/Handover.h"
#include "core/dictionary/DictionarySession.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace orvane::ui::dictionary {
class DictionaryWindow;
class MeaningSearchDialog;
} // namespace orvane::ui::dictionary
namespace orvane::ui::picker {
class CharacterPicker;
}
namespace orvane::ui::shell {
class AboutDialog;
class TrayController;
} // namespace orvane::ui::shell

namespace orvane::app {

using ui::dictionary::DictionaryWindow;
using ui::dictionary::MeaningSearchDialog;
using ui::picker::CharacterPicker;
using ui::shell::AboutDialog;

// The windowed program's windows and the dictionary session they share. One shared
// instance per window: created on first show, deleted when closed (Qt::WA_DeleteOnClose),
// created afresh with its designed contents when shown again. The windows ask for each
// other through their signals; the registry answers them.
class WindowRegistry : public QObject
{
    Q_OBJECT
public:
    // `databasePath` empty: orvane.mdb in the program folder. A failed connection is
    // told once, as "unexpected error"; the window that needed it says the rest.
    explicit WindowRegistry(const QString& databasePath = {}, QObject* parent = nullptr);
    ~WindowRegistry() override;

    core::dictionary::DictionarySession& session() { return m_session; }

    // The open windows, or nullptr.
    DictionaryWindow* dictionary() const;
    AboutDialog* about() const;
    CharacterPicker* picker() const;
    MeaningSearchDialog* meaningSearch() const;

    // Show (creating if needed) and bring forward. `owner` keeps an owned window above
    // it; nullptr shows a free top-level window. `token`: of the user's action that asked.
    DictionaryWindow* showDictionary(const handover::ActivationToken& token = {});
    AboutDialog* showAbout(QWidget* owner);
    CharacterPicker* showPicker(DictionaryWindow* owner);
    // Its picked hits show in `owner`'s entry box.
    MeaningSearchDialog* showMeaningSearch(DictionaryWindow* owner);

    // Answers the tray's requests. Without a tray the dictionary shows at once, and
    // closing it ends the program, since nothing else could reach it.
    void attach(ui::shell::TrayController* tray);

private:
    core::dictionary::DictionarySession m_session;
    QPointer<DictionaryWindow> m_dictionary;
    QPointer<AboutDialog> m_about;
    QPointer<CharacterPicker> m_picker;
    QPointer<MeaningSearchDialog> m_meaningSearch;
};

} // namespace orvane::app
