#include "ui/shell/AboutDialog.h"

#include "core/dictionary/DictionarySession.h"
#include "core/shell/AboutText.h"
#include "ui/common/ActivationWatcher.h"
#include "ui/common/ProgramIcon.h"
#include "ui/common/TextFit.h"
#include "ui/common/Twips.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUrl>

namespace orvane::ui::shell {

namespace {

// The label of the link: the Tab key that brings the focus in selects the link at once, so that
// the link is one stop of the Tab key and Enter opens it.
class LinkLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QLabel::focusInEvent(event);
        if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
            focusNextPrevChild(event->reason() == Qt::TabFocusReason);
    }
};

} // namespace

// A build setting (ORVANE_ABOUT_LINK); by default the About page of the help beside the program.
const char* const AboutDialog::WebAddress = ORVANE_ABOUT_LINK;
const char* const AboutDialog::CreditText = "Orvane, written by its authors, 2026";

AboutDialog::AboutDialog(core::dictionary::DictionarySession* session, QWidget* owner)
    // A fixed dialog frame: title and close button only, no minimise or maximise.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_session(session)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(common::programIcon());
    setFixedSize(common::twipsToPixels(6000), common::twipsToPixels(3240));
    setSizeGripEnabled(false);

    // Created first so that it is drawn beneath the three labels it frames.
    auto* labelFrame = new QFrame(this);
    labelFrame->setFrameShape(QFrame::Box);
    labelFrame->setGeometry(common::twipsRect(45, 2205, 5910, 1005));

    m_aboutText = new QPlainTextEdit(this);
    m_aboutText->setObjectName(QStringLiteral("aboutText"));
    m_aboutText->setGeometry(common::twipsRect(45, 60, 5910, 2070));
    m_aboutText->setReadOnly(true);
    m_aboutText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_aboutText->setFocusPolicy(Qt::ClickFocus); // no tab stop
    m_aboutText->setAccessibleName(QStringLiteral("About the dictionary"));
    QFont designFont(QStringLiteral("Arial Unicode MS"));
    designFont.setPointSizeF(9.75);
    m_aboutText->setFont(designFont);
    // The background is the highlight-text colour, which a dark palette makes as light as
    // its text colour: the text takes black or white, whichever stands out from it.
    QPalette boxPalette = m_aboutText->palette();
    const QColor background = boxPalette.color(QPalette::HighlightedText);
    boxPalette.setColor(QPalette::Base, background);
    boxPalette.setColor(QPalette::Text, background.lightnessF() > 0.5 ? Qt::black : Qt::white);
    m_aboutText->setPalette(boxPalette);

    // The labels' texts are in the desktop's font, which may be larger than the design's.
    auto* credit = new QLabel(QString::fromUtf8(CreditText), this);
    credit->setObjectName(QStringLiteral("credit"));
    credit->setGeometry(common::twipsRect(150, 2250, 3105, 255));
    common::fitToLabel(credit);

    m_focusSink = new QLineEdit(this);
    m_focusSink->setObjectName(QStringLiteral("focusSink"));
    m_focusSink->setGeometry(common::twipsRect(150, 3975, 270, 165));
    // Out of sight: nothing may be typed into it, and to a screen reader it says what the box is.
    m_focusSink->setReadOnly(true);
    m_focusSink->setAccessibleName(QStringLiteral("About"));
    m_focusSink->setAccessibleDescription(QStringLiteral("Escape closes the box"));

    auto* linkCaption = new QLabel(QStringLiteral("For further information, please visit my blog at: "), this);
    linkCaption->setObjectName(QStringLiteral("linkCaption"));
    linkCaption->setGeometry(common::twipsRect(150, 2550, 4065, 240));
    common::fitToLabel(linkCaption);

    m_link = core::shell::aboutLink(QString::fromUtf8(WebAddress), QCoreApplication::applicationDirPath());
    m_linkLabel = new LinkLabel(this);
    m_linkLabel->setObjectName(QStringLiteral("linkLabel"));
    m_linkLabel->setGeometry(common::twipsRect(150, 2850, 3465, 240));
    // A page beside the program has a long path: its middle gives way; the tip, and the name a
    // screen reader says, give it all. A link in plain blue, which the keyboard reaches too.
    const QString shownLink = m_link.toDisplayString(QUrl::PreferLocalFile);
    const QString elided = m_linkLabel->fontMetrics().elidedText(shownLink, Qt::ElideMiddle, m_linkLabel->width());
    m_linkLabel->setText(QStringLiteral("<a href=\"link\" style=\"color: blue; text-decoration: none\">%1</a>")
                             .arg(elided.toHtmlEscaped()));
    m_linkLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_linkLabel->setToolTip(shownLink);
    m_linkLabel->setAccessibleName(shownLink);
    // Whether a browser could be started is the desktop's business; nothing here may end the program.
    connect(m_linkLabel, &QLabel::linkActivated, this, [this] { QDesktopServices::openUrl(m_link); });

    setTabOrder(m_aboutText, m_focusSink);
    // Settings loaded by the dictionary window while the box is open show at once.
    connect(m_session, &core::dictionary::DictionarySession::displaySettingsChanged, this,
            &AboutDialog::applyDisplaySettings);
    new common::ActivationWatcher(this, [this] { onActivated(); });
}

void AboutDialog::onActivated()
{
    // Each step stands alone: without a database the caption and font are still set.
    if (const std::optional<QString> about = core::shell::loadAboutText(m_session->database()))
        m_aboutText->setPlainText(*about);
    applyDisplaySettings();

    m_aboutText->setFocus();
    m_aboutText->moveCursor(QTextCursor::Start); // the text shows from its beginning
    m_focusSink->setFocus();
}

void AboutDialog::applyDisplaySettings()
{
    const core::dictionary::DisplayConfig& config = m_session->displaySettings();
    if (!config.font5.isEmpty()) {
        QFont font = m_aboutText->font();
        font.setFamily(config.font5);
        m_aboutText->setFont(font);
    }
    setWindowTitle(QStringLiteral("About ") + config.configName);
}

} // namespace orvane::ui::shell
