#pragma once

#include <QFont>
#include <QLineEdit>

namespace orvane::ui::dictionary {

// A search box of the dictionary window. It starts with a placeholder, ordinary text that says
// what the box is for. The placeholder shows whole: where the box's font would make it wider
// than the box, it alone shows in a smaller size of that font.
class SearchLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    SearchLineEdit(const QString& placeholder, QWidget* parent);

    // The font of what the user types, as designed or configured; font() is the one shown.
    QFont textFont() const { return m_textFont; }
    void setTextFont(const QFont& font);

private:
    void showInFittingFont();

    QString m_placeholder;
    QFont m_textFont;
};

} // namespace orvane::ui::dictionary
