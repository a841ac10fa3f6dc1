#include "ui/picker/fGlyph.h"

#include "core/data/Mainmode.h"
#include "core/dictionary/DisplayConfig.h"
#include "core/dictionary/Search.h"
#include "ui/common/ActivationWatcher.h"
#include "ui/common/Messages.h"
#include "ui/common/Twips.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace orvane {

namespace {

constexpr int ButtonPitch = 480; // grid buttons overlap their neighbours by 15 twips
constexpr int ButtonSide = 495;
constexpr double PlaceholderClearedPoints = 11;

// A button caption treats "&" as a mnemonic marker; the glyph "&" must show as itself.
QString captionFor(const QString& glyph)
{
    QString caption = glyph;
    return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

} // namespace

fGlyph::fGlyph(QWidget* owner, QLineEdit* targetBox)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_targetBox(targetBox)
{
    setObjectName(QStringLiteral("fGlyph"));
    setWindowTitle(QStringLiteral("Insert Characters"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(shell::twipsToPixels(5760), shell::twipsToPixels(4785));

    QFont gridFont(QStringLiteral("Arial Unicode MS"));
    gridFont.setPointSizeF(GridFontPoints);
    for (int i = 0; i < GridButtons; ++i) {
        const QRect geometry =
            shell::twipsRect(ButtonPitch * (i % GridColumns), ButtonPitch * (i / GridColumns), ButtonSide, ButtonSide);
        QPushButton* button = makeButton(this, QStringLiteral("CmdB_%1").arg(i), QString(), geometry);
        button->setFont(gridFont);
        // Out of the tab order, yet able to take the focus when clicked or when "<" hands it over.
        button->setFocusPolicy(Qt::ClickFocus);
        connect(button, &QPushButton::pressed, this, [this, i] { CmdB_Press(i); });
        connect(button, &QPushButton::clicked, this, [this, i] { CmdB_Click(i); });
        m_CmdB[static_cast<size_t>(i)] = button;
    }

    m_tiep2 = makeButton(this, QStringLiteral("tiep2"), QStringLiteral("<"), shell::twipsRect(45, 4380, 315, 360));
    m_tiep2->setEnabled(false);
    connect(m_tiep2, &QPushButton::clicked, this, &fGlyph::tiep2_Click);

    m_tiep1 = makeButton(this, QStringLiteral("tiep1"), QStringLiteral(">"), shell::twipsRect(420, 4380, 315, 360));
    m_tiep1->setEnabled(false);
    connect(m_tiep1, &QPushButton::clicked, this, &fGlyph::tiep1_Click);

    m_CommandButton1 = makeButton(this, QStringLiteral("CommandButton1"), QStringLiteral("Close"),
                                  shell::twipsRect(900, 4380, 735, 360));
    QFont closeFont = m_CommandButton1->font();
    closeFont.setBold(true);
    closeFont.setPointSizeF(8.25);
    m_CommandButton1->setFont(closeFont);
    connect(m_CommandButton1, &QPushButton::clicked, this, &QWidget::close);

    // Centred on the screen (not over the owner, where a transient window would go by default).
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());

    new shell::ActivationWatcher(this, [this] { Form_Activate(); }); // owned by the window
}

QPushButton* fGlyph::CmdB(int index) const
{
    return m_CmdB.at(static_cast<size_t>(index));
}

void fGlyph::Form_Activate()
{
    rememberGridBeforeReload();
    if (!data::ConnectDatabase())
        shell::showMessage(this, QString::fromLatin1(shell::CannotContinueText));
    LoadGlyphs();
    applyGridFont();
}

void fGlyph::rememberGridBeforeReload()
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

bool fGlyph::eventFilter(QObject* watched, QEvent* event)
{
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

void fGlyph::LoadGlyphs()
{
    m_pages.load();
    m_loaded = true;
    showPage();
    setNextPageEnabled(m_pages.nextEnabledAfterLoad());
}

void fGlyph::tiep1_Click()
{
    const bool nextStaysEnabled = m_pages.next();
    showPage();
    setNextPageEnabled(nextStaysEnabled);
}

void fGlyph::tiep2_Click()
{
    if (!m_pages.previousEnabled())
        return;
    m_pages.previous();
    showPage();
    setNextPageEnabled(true);
    CmdB(0)->setFocus(Qt::OtherFocusReason);
}

void fGlyph::showPage()
{
    for (int i = 0; i < GridButtons; ++i)
        CmdB(i)->setText(captionFor(m_pages.onButton(i)));
    m_tiep2->setEnabled(m_pages.previousEnabled());
}

void fGlyph::setNextPageEnabled(bool enabled)
{
    // Qt would pass the focus of a disabled ">" on to "Close", where the next key press
    // would close the picker; "<" beside it is the safe place for a keyboard user.
    const bool hadFocus = m_tiep1->hasFocus();
    m_tiep1->setEnabled(enabled);
    if (hadFocus && !enabled && m_tiep2->isEnabled())
        m_tiep2->setFocus(Qt::OtherFocusReason);
}

void fGlyph::applyGridFont()
{
    // Before the dictionary window has loaded its settings font1 is empty, and a family this
    // system lacks would only be substituted: both keep the designed font.
    const QString family = dictionary::SharedDisplayConfig().font1;
    if (family.isEmpty() || !QFontDatabase::hasFamily(family))
        return;
    for (QPushButton* button : m_CmdB) {
        QFont font = button->font();
        font.setFamily(family);
        button->setFont(font);
    }
}

void fGlyph::CmdB_Press(int index)
{
    m_press = {index, m_pressBringsBack ? m_gridBeforeReload[static_cast<size_t>(index)] : m_pages.onButton(index)};
}

void fGlyph::CmdB_Click(int index)
{
    // The glyph the button showed when it was pressed: a reload between press and release
    // (the press that brings the picker back) must not change what the click inserts.
    const QString glyph = m_press.button == index ? m_press.glyph : m_pages.onButton(index);
    m_press = {};
    // A button past the end of the list shows nothing and inserts nothing.
    if (glyph.isEmpty())
        return;
    m_chosenGlyph = glyph;

    QLineEdit* box = m_targetBox;
    if (!box)
        return;
    if (box->text() == dictionary::ScriptSearch.placeholder) {
        QFont font = box->font();
        font.setPointSizeF(PlaceholderClearedPoints);
        box->setFont(font);
        box->setText(QString());
    }
    // setText, not insert: the glyph goes to the end whatever the caret, and the box's own
    // change handling (the 15-character rule) runs as for any other change.
    box->setText(box->text() + m_chosenGlyph);
}

} // namespace orvane
