#pragma once

#include "core/dictionary/KeyInput.h"
#include "core/dictionary/Search.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace orvane::core::dictionary {
class DictionarySession;
class ResultListModel;
} // namespace orvane::core::dictionary

namespace orvane::ui::dictionary {

class ResultList;
class SearchLineEdit;

// The dictionary window: three search boxes with their "OK" buttons, the result list,
// the entry box, and the buttons of the character picker, help and the About box.
class DictionaryWindow : public QWidget
{
    Q_OBJECT
public:
    // `session` outlives the window.
    explicit DictionaryWindow(core::dictionary::DictionarySession* session, QWidget* parent = nullptr);

    // Runs on every activation: reconnect, then reload the display settings and apply
    // them. Public so that the benchmark can time it.
    void onActivated();

    // A character from the picker: appended to the native-script box, whatever its caret;
    // the placeholder goes first, and the box's font size becomes 11 points then.
    void appendToScriptBox(const QString& glyph);

    // A look-up from outside: the text goes into the search box that fits it, that box's
    // button is pressed and the first hit shown. Before the window's first activation
    // has connected the database, it waits for it.
    void lookUp(const QString& text);

    // An entry chosen elsewhere (a hit of the search in meanings): shown in the entry box
    // with the header of a plain search, the native-script form. The list stays as it is.
    void showEntry(qint64 id);

signals:
    // "#", "About" and Ctrl+F: the window registry opens them, owned by this window.
    void pickerRequested();
    void aboutRequested();
    void meaningSearchRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One search box with its button and what sets its search apart.
    struct SearchBox
    {
        SearchLineEdit* box;
        QPushButton* button;
        const core::dictionary::SearchKind* kind;
    };

    void createControls();

    void applyDisplaySettings();

    void onSearchClicked(const SearchBox& search);
    const SearchBox& searchFor(const QObject* box) const;
    void runPendingLookup();

    void showCurrentEntry();
    void showComposedEntry(qint64 id, core::dictionary::SearchMode header);
    // The entry box's own menu and the list's, each with "Search in meanings…".
    void showContextMenu(QWidget* control, const QPoint& globalPosition);

    void onTranslitTextChanged();
    void onScriptTextChanged();

    core::dictionary::DictionarySession* m_session;

    QPlainTextEdit* m_entryBox = nullptr;
    ResultList* m_resultList = nullptr;
    core::dictionary::ResultListModel* m_resultModel = nullptr;
    QPushButton* m_pickerButton = nullptr;
    SearchLineEdit* m_scriptBox = nullptr;
    QPushButton* m_scriptSearchButton = nullptr;
    SearchLineEdit* m_translitBox = nullptr;
    QPushButton* m_translitSearchButton = nullptr;
    SearchLineEdit* m_plainBox = nullptr;
    QPushButton* m_plainSearchButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_aboutButton = nullptr;

    SearchBox m_searches[3];

    // Which search filled the list; decides the header of an entry.
    core::dictionary::SearchMode m_searchMode = core::dictionary::SearchMode::Latin;
    core::dictionary::KeyInput m_keyInput;
    bool m_replacingKeys = false;
    bool m_activated = false;
    QString m_pendingLookup;
};

} // namespace orvane::ui::dictionary
