#include "ui/shell/fAboutD.h"

#include "core/data/Mainmode.h"
#include "core/dictionary/DisplayConfig.h"
#include "core/shell/AboutText.h"
#include "ui/common/ActivationWatcher.h"
#include "ui/common/ProgramIcon.h"
#include "ui/common/Twips.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QUrl>

namespace orvane {

// A build setting (ORVANE_ABOUT_LINK); by default the About page of the help beside the program.
const char* const fAboutD::WebAddress = ORVANE_ABOUT_LINK;
const char* const fAboutD::CreditText = "Orvane, written by its authors, 2026";

fAboutD::fAboutD(QWidget* owner)
    // A fixed dialog frame: title and close button only, no minimise or maximise.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("fAboutD"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(shell::programIcon());
    setFixedSize(shell::twipsToPixels(6000), shell::twipsToPixels(3240));
    setSizeGripEnabled(false);

    // Created first so that it is drawn beneath the labels it frames.
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(shell::twipsRect(45, 2205, 5910, 1005));

    TextBox1 = new QPlainTextEdit(this);
    TextBox1->setObjectName(QStringLiteral("TextBox1"));
    TextBox1->setGeometry(shell::twipsRect(45, 60, 5910, 2070));
    TextBox1->setReadOnly(true);
    TextBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextBox1->setFocusPolicy(Qt::ClickFocus); // no tab stop
    QFont designFont(QStringLiteral("Arial Unicode MS"));
    designFont.setPointSizeF(9.75);
    TextBox1->setFont(designFont);
    // The background is the highlight-text colour, which a dark palette makes as light as
    // its text colour: the text takes black or white, whichever stands out from it.
    QPalette boxPalette = TextBox1->palette();
    const QColor background = boxPalette.color(QPalette::HighlightedText);
    boxPalette.setColor(QPalette::Base, background);
    boxPalette.setColor(QPalette::Text, background.lightnessF() > 0.5 ? Qt::black : Qt::white);
    TextBox1->setPalette(boxPalette);

    Label1 = new QLabel(QString::fromUtf8(CreditText), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(shell::twipsRect(150, 2250, 3105, 255));

    // Below the visible client area: it takes the focus so that TextBox1 shows neither
    // caret nor selection.
    TextBox2 = new QLineEdit(this);
    TextBox2->setObjectName(QStringLiteral("TextBox2"));
    TextBox2->setGeometry(shell::twipsRect(150, 3975, 270, 165));

    Label3 = new QLabel(QStringLiteral("For further information, please visit my blog at: "), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(shell::twipsRect(150, 2550, 4065, 240));

    m_link = shell::aboutLink(QString::fromUtf8(WebAddress), data::programFolder());
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(shell::twipsRect(150, 2850, 3465, 240));
    // A page beside the program has a long path: its middle gives way, the tip shows it all.
    const QString shownLink = m_link.toDisplayString(QUrl::PreferLocalFile);
    Label4->setText(Label4->fontMetrics().elidedText(shownLink, Qt::ElideMiddle, Label4->width()));
    Label4->setToolTip(shownLink);
    QPalette linkPalette = Label4->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    Label4->setPalette(linkPalette);
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->installEventFilter(this);

    setTabOrder(TextBox1, TextBox2);
    m_activation = new shell::ActivationWatcher(this, [this] { Form_Activate(); });
}

void fAboutD::Form_Activate()
{
    // Each step stands alone: without a database the caption and font are still set.
    if (const std::optional<QString> about = shell::LoadAboutText())
        TextBox1->setPlainText(*about);

    const dictionary::DisplayConfig& config = dictionary::SharedDisplayConfig();
    if (!config.font5.isEmpty()) {
        QFont font = TextBox1->font();
        font.setFamily(config.font5);
        TextBox1->setFont(font);
    }
    setWindowTitle(QStringLiteral("About ") + config.configName);

    TextBox1->setFocus();
    TextBox1->moveCursor(QTextCursor::Start); // the text shows from its beginning
    TextBox2->setFocus();
}

void fAboutD::Label4_Click()
{
    // Whether a browser could be started is the desktop's business; nothing here may
    // end the program.
    QDesktopServices::openUrl(m_link);
}

bool fAboutD::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label4 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label4->rect().contains(mouse->position().toPoint())) {
            Label4_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvane
