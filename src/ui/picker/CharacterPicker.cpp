#include "ui/picker/CharacterPicker.h"

#include "core/dictionary/DictionarySession.h"
#include "core/picker/GlyphName.h"
#include "ui/common/ActivationWatcher.h"
#include "ui/common/Messages.h"
#include "ui/common/Twips.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace orvane::ui::picker {

namespace {

constexpr int ButtonPitch = 480; // grid buttons overlap their neighbours by 15 twips
constexpr int ButtonSide = 495;

// A button caption treats "&" as a mnemonic marker; the glyph "&" must show as itself.
QString captionFor(const QString& glyph)
{
    QString caption = glyph;
    return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, QRect geometry,
                        const QString& accessibleName = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAccessibleName(accessibleName);
    return button;
}

// The grid button an arrow key moves to from button `index`; the grid's edges stop it. -1 for
// any other key.
int gridNeighbour(int index, int key)
{
    constexpr int Columns = CharacterPicker::GridColumns;
    const int column = index % Columns;
    switch (key) {
    case Qt::Key_Left:
        return column > 0 ? index - 1 : index;
    case Qt::Key_Right:
        return column + 1 < Columns ? index + 1 : index;
    case Qt::Key_Up:
        return index >= Columns ? index - Columns : index;
    case Qt::Key_Down:
        return index + Columns < CharacterPicker::GridButtons ? index + Columns : index;
    default:
        return -1;
    }
}

} // namespace

CharacterPicker::CharacterPicker(core::dictionary::DictionarySession* session, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    setObjectName(QStringLiteral("characterPicker"));
    setWindowTitle(QStringLiteral("Insert Characters"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(common::twipsToPixels(5760), common::twipsToPixels(4785));

    QFont gridFont(QStringLiteral("Arial Unicode MS"));
    gridFont.setPointSizeF(GridFontPoints);
    for (int i = 0; i < GridButtons; ++i) {
        const QRect geometry =
            common::twipsRect(ButtonPitch * (i % GridColumns), ButtonPitch * (i / GridColumns), ButtonSide, ButtonSide);
        QPushButton* button = makeButton(this, QStringLiteral("gridButton%1").arg(i), QString(), geometry);
        button->setFont(gridFont);
        // The grid is a single stop of the Tab key, the button that had the focus last; the
        // arrow keys move within it (see eventFilter).
        button->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        button->installEventFilter(this);
        connect(button, &QPushButton::pressed, this, [this, i] { onGridButtonPressed(i); });
        connect(button, &QPushButton::clicked, this, [this, i] { onGridButtonClicked(i); });
        m_gridButtons[static_cast<size_t>(i)] = button;
    }

    m_previousPageButton = makeButton(this, QStringLiteral("previousPageButton"), QStringLiteral("<"),
                                      common::twipsRect(45, 4380, 315, 360), QStringLiteral("Previous page"));
    m_previousPageButton->setEnabled(false);
    connect(m_previousPageButton, &QPushButton::clicked, this, &CharacterPicker::showPreviousPage);

    m_nextPageButton = makeButton(this, QStringLiteral("nextPageButton"), QStringLiteral(">"),
                                  common::twipsRect(420, 4380, 315, 360), QStringLiteral("Next page"));
    m_nextPageButton->setEnabled(false);
    connect(m_nextPageButton, &QPushButton::clicked, this, &CharacterPicker::showNextPage);

    m_closeButton = makeButton(this, QStringLiteral("closeButton"), QStringLiteral("Close"),
                               common::twipsRect(900, 4380, 735, 360));
    QFont closeFont = m_closeButton->font();
    closeFont.setBold(true);
    closeFont.setPointSizeF(8.25);
    m_closeButton->setFont(closeFont);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    // Centred on the screen (not over the owner, where a transient window would go by default).
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());

    // The dictionary window reloads the settings; the grid follows at once.
    connect(m_session, &core::dictionary::DictionarySession::displaySettingsChanged, this,
            &CharacterPicker::applyGridFont);
    new common::ActivationWatcher(this, [this] { onActivated(); }); // owned by the window
}

QPushButton* CharacterPicker::gridButton(int index) const
{
    return m_gridButtons.at(static_cast<size_t>(index));
}

void CharacterPicker::onActivated()
{
    rememberGridBeforeReload();
    if (!m_session->reconnect())
        common::showMessage(this, QString::fromLatin1(common::CannotContinueText));
    loadGlyphs();
    applyGridFont();
}

void CharacterPicker::rememberGridBeforeReload()
{
    // A click on a glyph of a later page that brings the picker back from the dictionary
    // window: the window manager moves the focus on the press and only then passes the
    // press on, so the focus change, then this reload, and only then the press arrive.
    // The press is meant for the glyph the user saw, so the first press after the reload
    // gets the grid as it was, unless other input came first (the pointer held still
    // while the window manager had the press). A press that came before the focus change
    // has taken the glyph it saw already; its release ends the wait.
    if (!m_loaded)
        return;
    for (int i = 0; i < GridButtons; ++i)
        m_gridBeforeReload.at(static_cast<size_t>(i)) = m_pages.onButton(i);
    m_returnPressDue = true;
    if (QWindow* window = windowHandle())
        window->installEventFilter(this); // input reaches the window before any of its buttons
}

bool CharacterPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (const auto button = std::find(m_gridButtons.begin(), m_gridButtons.end(), watched);
        button != m_gridButtons.end())
        return gridButtonEvent(static_cast<int>(button - m_gridButtons.begin()), event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressBringsBack = m_returnPressDue;
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::FocusOut: // a press after the focus went elsewhere brings the picker back anew
        m_returnPressDue = m_pressBringsBack = false;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool CharacterPicker::gridButtonEvent(int index, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (QPushButton* button : m_gridButtons)
            button->setFocusPolicy(button == gridButton(index) ? Qt::StrongFocus : Qt::ClickFocus);
    } else if (event->type() == QEvent::KeyPress) {
        const int neighbour = gridNeighbour(index, static_cast<QKeyEvent*>(event)->key());
        if (neighbour >= 0) {
            gridButton(neighbour)->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

void CharacterPicker::loadGlyphs()
{
    m_pages.load(m_session->database());
    m_loaded = true;
    showPage();
    setNextPageEnabled(m_pages.nextEnabledAfterLoad());
}

void CharacterPicker::showNextPage()
{
    const bool nextStaysEnabled = m_pages.next();
    showPage();
    setNextPageEnabled(nextStaysEnabled);
}

void CharacterPicker::showPreviousPage()
{
    if (!m_pages.previousEnabled())
        return;
    m_pages.previous();
    showPage();
    setNextPageEnabled(true);
    gridButton(0)->setFocus(Qt::OtherFocusReason);
}

void CharacterPicker::showPage()
{
    for (int i = 0; i < GridButtons; ++i) {
        const QString glyph = m_pages.onButton(i);
        gridButton(i)->setText(captionFor(glyph));
        gridButton(i)->setAccessibleName(core::picker::glyphName(glyph));
    }
    m_previousPageButton->setEnabled(m_pages.previousEnabled());
}

void CharacterPicker::setNextPageEnabled(bool enabled)
{
    // Qt would pass the focus of a disabled ">" on to "Close", where the next key press
    // would close the picker; "<" beside it is the safe place for a keyboard user.
    const bool hadFocus = m_nextPageButton->hasFocus();
    m_nextPageButton->setEnabled(enabled);
    if (hadFocus && !enabled && m_previousPageButton->isEnabled())
        m_previousPageButton->setFocus(Qt::OtherFocusReason);
}

void CharacterPicker::applyGridFont()
{
    // Before the dictionary window has loaded its settings font1 is empty, and a family this
    // system lacks would only be substituted: both keep the designed font.
    const QString family = m_session->displaySettings().font1;
    if (family.isEmpty() || !QFontDatabase::hasFamily(family))
        return;
    for (QPushButton* button : m_gridButtons) {
        QFont font = button->font();
        font.setFamily(family);
        button->setFont(font);
    }
}

void CharacterPicker::onGridButtonPressed(int index)
{
    m_press = {index, m_pressBringsBack ? m_gridBeforeReload[static_cast<size_t>(index)] : m_pages.onButton(index)};
}

void CharacterPicker::onGridButtonClicked(int index)
{
    // The glyph the button showed when it was pressed: a reload between press and release
    // (the press that brings the picker back) must not change what the click inserts.
    const QString glyph = m_press.button == index ? m_press.glyph : m_pages.onButton(index);
    m_press = {};
    if (!glyph.isEmpty())
        emit glyphChosen(glyph);
}

} // namespace orvane::ui::picker
