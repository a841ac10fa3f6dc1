#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace orvane::core::dictionary {
class DictionarySession;
}

namespace orvane::ui::shell {

// The About box: the configured name in the caption, the about text of the database,
// an author credit and a link to the author's web page.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    // `owner` keeps the box above that window; nullptr makes it a free window. `session`
    // outlives the box.
    explicit AboutDialog(core::dictionary::DictionarySession* session, QWidget* owner = nullptr);

    static const char* const WebAddress; // as built; relative: a page of the program folder
    static const char* const CreditText;

    // Runs each time the box becomes the active window: the about text, its font, the
    // caption, and the focus out of the text.
    void onActivated();

private:
    // The text's font and the caption's name, from the display settings.
    void applyDisplaySettings();

    core::dictionary::DictionarySession* m_session;
    QPlainTextEdit* m_aboutText;
    // Below the visible client area: it takes the focus so that the about text shows
    // neither caret nor selection.
    QLineEdit* m_focusSink;
    QLabel* m_linkLabel;
    QUrl m_link;
};

} // namespace orvane::ui::shell
