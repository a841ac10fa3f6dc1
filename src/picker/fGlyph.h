#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

class QLineEdit;
class QPushButton;

namespace orvane {

// The character picker "Insert Characters": a grid of 108 buttons showing one page of
// tbl_glyph at a time; a click appends the button's glyph to the native-script box
// (TextBox1) of the window that owns the picker, the dictionary window.
class fGlyph : public QWidget
{
    Q_OBJECT
public:
    static constexpr int GridButtons = 108; // one page
    static constexpr int GridColumns = 12;
    static constexpr int StoreSlots = 5001; // slots 0 to 5000, both ends valid
    static constexpr double GridFontPoints = 14.25;

    explicit fGlyph(QWidget* owner = nullptr);

    QPushButton* CmdB(int index) const;
    QPushButton* tiep1() const { return m_tiep1; } // ">"
    QPushButton* tiep2() const { return m_tiep2; } // "<"
    QPushButton* CommandButton1() const { return m_CommandButton1; }

    const std::vector<QString>& glyphStore() const { return m_glyphStore; }
    int pageIndex() const { return m_pageIndex; }
    QString chosenGlyph() const { return m_chosenGlyph; }

    // Runs each time the picker becomes the program's active window: reconnects,
    // reloads the table (first page) and applies the configured grid font.
    void Form_Activate();
    // Reads tbl_glyph into glyphStore and shows the first page.
    void LoadGlyphs();

private:
    void CmdB_Press(int index);
    void CmdB_Click(int index);
    void tiep1_Click();
    void tiep2_Click();

    void rememberGridBeforeReload();
    void showPage(int page);
    QString slot(int index) const; // empty outside the store
    QString glyphOnButton(int index) const;
    void applyGridFont();
    void setNextPageEnabled(bool enabled);
    QLineEdit* nativeScriptBox() const;

    std::array<QPushButton*, GridButtons> m_CmdB{};
    QPushButton* m_tiep2 = nullptr;
    QPushButton* m_tiep1 = nullptr;
    QPushButton* m_CommandButton1 = nullptr;

    std::vector<QString> m_glyphStore;
    qint16 m_pageIndex = 0;
    QString m_chosenGlyph;

    bool m_loaded = false;
    // What the grid showed before the last reload by activation, and since when it is gone.
    std::array<QString, GridButtons> m_gridBeforeReload;
    QElapsedTimer m_sinceReload;

    // The grid button being pressed and the glyph it showed then.
    struct Press
    {
        int button = -1;
        QString glyph;
    };
    Press m_press;
};

} // namespace orvane
