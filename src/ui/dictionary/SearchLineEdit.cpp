#include "ui/dictionary/SearchLineEdit.h"

#include "ui/common/TextFit.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace orvane::ui::dictionary {

namespace {
// A line edit keeps two pixels either side of its text, and one for the caret.
constexpr int LineEditTextMargins = 2 * 2 + 1;
} // namespace

SearchLineEdit::SearchLineEdit(const QString& placeholder, QWidget* parent)
    : QLineEdit(placeholder, parent), m_placeholder(placeholder), m_textFont(font())
{
    connect(this, &QLineEdit::textChanged, this, &SearchLineEdit::showInFittingFont);
}

void SearchLineEdit::setTextFont(const QFont& font)
{
    if (font == m_textFont) // each activation applies the settings again, mostly unchanged
        return;
    m_textFont = font;
    showInFittingFont();
}

void SearchLineEdit::showInFittingFont()
{
    if (text() != m_placeholder) {
        setFont(m_textFont);
        return;
    }
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this) - textMargins();
    setFont(common::fontToFit(m_textFont, m_placeholder, contents.width() - LineEditTextMargins, this));
}

} // namespace orvane::ui::dictionary
