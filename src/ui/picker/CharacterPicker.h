#pragma once

#include "core/picker/GlyphPages.h"

#include <QString>
#include <QWidget>

#include <array>

class QPushButton;

namespace orvane::core::dictionary {
class DictionarySession;
}

namespace orvane::ui::picker {

// The character picker "Insert Characters": a grid of 108 buttons showing one page of
// tbl_glyph at a time; a click on a glyph offers it to whoever listens (the dictionary
// window that owns the picker puts it into its native-script box).
class CharacterPicker : public QWidget
{
    Q_OBJECT
public:
    static constexpr int GridButtons = core::picker::GlyphPages::PageSize;
    static constexpr int GridColumns = 12;
    static constexpr double GridFontPoints = 14.25;

    // `session` outlives the picker; `owner` keeps it above that window.
    CharacterPicker(core::dictionary::DictionarySession* session, QWidget* owner);

    QPushButton* gridButton(int index) const;
    QPushButton* nextPageButton() const { return m_nextPageButton; }         // ">"
    QPushButton* previousPageButton() const { return m_previousPageButton; } // "<"
    QPushButton* closeButton() const { return m_closeButton; }
    const core::picker::GlyphPages& pages() const { return m_pages; }

    // Runs each time the picker becomes the program's active window: reconnects,
    // reloads the table (first page) and applies the configured grid font.
    void onActivated();
    // Reads tbl_glyph and shows the first page.
    void loadGlyphs();

signals:
    // The glyph of a grid button the user clicked; buttons past the end of the list show
    // none and offer nothing.
    void glyphChosen(const QString& glyph);

protected:
    // Watches the picker's window for the press that brought it back (see rememberGridBeforeReload),
    // and the grid buttons for the keyboard.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool gridButtonEvent(int index, QEvent* event);
    void onGridButtonPressed(int index);
    void onGridButtonClicked(int index);
    void showNextPage();
    void showPreviousPage();

    void rememberGridBeforeReload();
    void showPage();
    void applyGridFont();
    void setNextPageEnabled(bool enabled);

    std::array<QPushButton*, GridButtons> m_gridButtons{};
    QPushButton* m_previousPageButton = nullptr;
    QPushButton* m_nextPageButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    core::dictionary::DictionarySession* m_session;

    core::picker::GlyphPages m_pages;

    bool m_loaded = false;
    // What the grid showed before the last reload by activation; whether the next press
    // may be the one that brought the picker back, and whether the last press was.
    std::array<QString, GridButtons> m_gridBeforeReload;
    bool m_returnPressDue = false;
    bool m_pressBringsBack = false;

    // The grid button being pressed and the glyph it showed then.
    struct Press
    {
        int button = -1;
        QString glyph;
    };
    Press m_press;
};

} // namespace orvane::ui::picker
