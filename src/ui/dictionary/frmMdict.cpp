#include "ui/dictionary/frmMdict.h"

#include "core/data/Mainmode.h"
#include "core/dictionary/DisplayConfig.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/Lookup.h"
#include "ui/dictionary/ResultList.h"
#include "core/dictionary/ResultListModel.h"
#include "core/dictionary/Search.h"
#include "ui/common/ActivationWatcher.h"
#include "ui/common/HelpLauncher.h"
#include "ui/common/Messages.h"
#include "ui/common/ProgramIcon.h"
#include "ui/common/Twips.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace orvane {

namespace {

using shell::twipsRect;
using shell::twipsToPixels;

QFont designedFont(const char* family, double points, bool bold = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A configured size outside this range is a data error; applying it would make the
// control unreadable or absurdly large, so the control keeps its size.
constexpr double MaxFontPoints = 200.0;

// The native-script box empties itself when its text becomes exactly this long, however
// the text got there; a longer text pasted at once stays. Intended, not a limit.
constexpr qsizetype DiscardedScriptLength = 15;

const QString DoubleClickToClear = QStringLiteral("Double click to clear");

// Shows the wait cursor while a long search fills the list.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

frmMdict::frmMdict(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmMdict"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(shell::programIcon());
    // Fixed single border: no resizing and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(10095), twipsToPixels(5910));

    createControls();
    setUpTabOrder();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The list holds the focus when the window opens, so that the placeholders of the
    // search boxes stay in view until the user clicks into a box.
    ListBox1->setFocus();

    new shell::ActivationWatcher(this, [this] { Form_Activate(); });
}

void frmMdict::createControls()
{
    TextBox2 = new QPlainTextEdit(this);
    TextBox2->setObjectName(QStringLiteral("TextBox2"));
    TextBox2->setGeometry(twipsRect(120, 120, 6255, 5055));
    TextBox2->setFont(designedFont("Arial Unicode MS", 14.25));
    TextBox2->setReadOnly(true);
    // Read-only, but the text can be selected and copied, and a caret shows where.
    TextBox2->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    TextBox2->setFocusPolicy(Qt::StrongFocus);
    TextBox2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextBox2->setAccessibleName(QStringLiteral("Entry"));

    m_results = new dictionary::ResultListModel(this);
    ListBox1 = new ResultList(m_results, this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(twipsRect(6480, 120, 3495, 5055));
    ListBox1->setFont(designedFont("Arial Unicode MS", 14.25));
    ListBox1->setUniformItemSizes(true);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setAccessibleName(QStringLiteral("Search results"));
    ListBox1->viewport()->installEventFilter(this);
    connect(ListBox1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmMdict::ListBox1_Change);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setForegroundRole(QPalette::Dark); // the button-shadow colour
    Line1->setGeometry(0, twipsToPixels(5280), twipsToPixels(10080), 1);
    Line1->setAccessibleName(QStringLiteral("Separator"));

    Line2 = new QFrame(this);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setFrameShape(QFrame::HLine);
    Line2->setFrameShadow(QFrame::Plain);
    Line2->setGeometry(0, twipsToPixels(5880), twipsToPixels(10080), 1);
    Line2->setAccessibleName(QStringLiteral("Separator"));

    const auto button = [this](const char* name, const char* caption, const QRect& geometry, const QFont& font,
                               const char* accessibleName) {
        auto* pushButton = new QPushButton(QString::fromUtf8(caption), this);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setGeometry(geometry);
        pushButton->setFont(font);
        pushButton->setAutoDefault(false);
        pushButton->setAccessibleName(QString::fromUtf8(accessibleName));
        return pushButton;
    };
    const auto searchBox = [this](const char* name, QStringView placeholder, const QRect& geometry,
                                  const char* accessibleName) {
        auto* lineEdit = new QLineEdit(placeholder.toString(), this);
        lineEdit->setObjectName(QString::fromLatin1(name));
        lineEdit->setGeometry(geometry);
        lineEdit->setFont(designedFont("Arial Unicode MS", 9.75));
        lineEdit->setCursorPosition(0); // a placeholder wider than its box shows its beginning
        lineEdit->setToolTip(DoubleClickToClear);
        lineEdit->setAccessibleName(QString::fromUtf8(accessibleName));
        lineEdit->installEventFilter(this);
        return lineEdit;
    };
    const QFont okFont = designedFont("MS Sans Serif", 8.25, true);

    Command5 = button("Command5", "#", twipsRect(120, 5400, 255, 255), designedFont("Arial", 9), "Insert characters");
    TextBox1 = searchBox("TextBox1", dictionary::ScriptSearch.placeholder, twipsRect(480, 5395, 1755, 390), "Search native script");
    Command2 = button("Command2", "OK", twipsRect(2280, 5400, 465, 360), okFont, "Search by native script");
    TextBox11 = searchBox("TextBox11", dictionary::TranslitSearch.placeholder, twipsRect(2880, 5400, 2055, 375), "Search transliteration");
    Command4 = button("Command4", "OK", twipsRect(5040, 5400, 465, 375), okFont, "Search by transliteration");
    TextBox3 = searchBox("TextBox3", dictionary::PlainSearch.placeholder, twipsRect(5640, 5400, 2055, 375), "Search without diacritics");
    Command1 = button("Command1", "OK", twipsRect(7800, 5400, 465, 375), okFont, "Search without diacritics");
    Command6 = button("Command6", "Help", twipsRect(8475, 5400, 690, 375), okFont, "Help");
    Command3 = button("Command3", "About", twipsRect(9300, 5400, 690, 375), okFont, "About");

    m_searches[0] = {TextBox1, Command2, &dictionary::ScriptSearch, &frmMdict::SearchByScript};
    m_searches[1] = {TextBox11, Command4, &dictionary::TranslitSearch, &frmMdict::SearchByTranslit};
    m_searches[2] = {TextBox3, Command1, &dictionary::PlainSearch, &frmMdict::SearchByPlain};

    connect(Command2, &QPushButton::clicked, this, &frmMdict::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMdict::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMdict::Command1_Click);
    for (const SearchBox& search : m_searches) {
        // Enter in a search box presses its "OK" button.
        connect(search.box, &QLineEdit::returnPressed, search.button, &QPushButton::click);
    }
    connect(TextBox11, &QLineEdit::textChanged, this, &frmMdict::TextBox11_Change);
    connect(TextBox1, &QLineEdit::textChanged, this, &frmMdict::TextBox1_Change);
    connect(Command5, &QPushButton::clicked, this, &frmMdict::Command5_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMdict::Command3_Click);
    connect(Command6, &QPushButton::clicked, this, &frmMdict::Command6_Click);
}

void frmMdict::setUpTabOrder()
{
    QWidget* const order[] = {ListBox1, TextBox1, Command2, Command3, TextBox11, Command4,
                              TextBox2, TextBox3, Command1, Command5, Command6};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

// ---- Activation ---------------------------------------------------------------------

void frmMdict::Form_Activate()
{
    if (!data::ConnectDatabase())
        shell::showMessage(this, QString::fromLatin1(shell::CannotContinueText));
    dictionary::LoadDisplayConfig();
    ApplyDisplayConfig();
    m_activated = true;
    runPendingLookup();
}

void frmMdict::ApplyDisplayConfig()
{
    const dictionary::DisplayConfig& config = dictionary::SharedDisplayConfig();
    const struct
    {
        QWidget* control;
        const QString& family;
        double points;
    } settings[] = {
        {TextBox1, config.font1, config.size1}, {TextBox11, config.font2, config.size2},
        {TextBox3, config.font3, config.size3}, {ListBox1, config.font4, config.size4},
        {TextBox2, config.font5, config.size5},
    };
    // Each of the ten settings stands alone: one that cannot be applied is skipped.
    for (const auto& setting : settings) {
        QFont font = setting.control->font();
        if (!setting.family.isEmpty() && QFontDatabase::hasFamily(setting.family))
            font.setFamily(setting.family);
        if (setting.points > 0 && setting.points <= MaxFontPoints)
            font.setPointSizeF(setting.points);
        setting.control->setFont(font);
    }
}

// ---- Searches -----------------------------------------------------------------------

void frmMdict::Command2_Click()
{
    searchButtonClicked(m_searches[0]);
}

void frmMdict::Command4_Click()
{
    searchButtonClicked(m_searches[1]);
}

void frmMdict::Command1_Click()
{
    searchButtonClicked(m_searches[2]);
}

void frmMdict::SearchByScript()
{
    fillResults(m_searches[0]);
}

void frmMdict::SearchByTranslit()
{
    fillResults(m_searches[1]);
}

void frmMdict::SearchByPlain()
{
    fillResults(m_searches[2]);
}

void frmMdict::searchButtonClicked(const SearchBox& search)
{
    const dictionary::SearchKind& kind = *search.kind;
    TextBox2->clear();
    searchMode = kind.searchMode;
    // Only a box that is exactly empty takes the clipboard; placeholder or spaces count as text.
    if (search.box->text().isEmpty()) {
        search.box->paste(); // runs the box's change handling before the search reads it
        m_results->clear();
    } else {
        m_results->clear();
        if (kind.listFocus == dictionary::ListFocus::BeforeSearchWhenBoxFilled)
            ListBox1->setFocus();
    }
    (this->*search.routine)();
    if (kind.listFocus == dictionary::ListFocus::AfterSearch)
        ListBox1->setFocus();
}

void frmMdict::fillResults(const SearchBox& search)
{
    const WaitCursor waitCursor;
    m_results->setRows(dictionary::runSearch(*search.kind, search.box->text()));
}

const frmMdict::SearchBox& frmMdict::searchFor(const QObject* control) const
{
    for (const SearchBox& search : m_searches) {
        if (search.box == control)
            return search;
    }
    return m_searches[0];
}

void frmMdict::lookUp(const QString& text)
{
    m_pendingLookup = dictionary::lookupText(text);
    if (m_activated)
        runPendingLookup();
}

void frmMdict::runPendingLookup()
{
    const QString word = std::exchange(m_pendingLookup, QString());
    if (word.isEmpty())
        return;
    const dictionary::SearchKind& kind = dictionary::searchKindFor(word);
    for (const SearchBox& search : m_searches) {
        if (search.kind != &kind)
            continue;
        // The native box would empty itself at 15 characters; a space after the word
        // keeps it, and the native search trims it away again.
        search.box->setText(search.box == TextBox1 && word.size() == DiscardedScriptLength ? word + u' ' : word);
        search.button->click();
    }
    if (m_results->rowCount() > 0)
        ListBox1->setCurrentIndex(m_results->index(0, 0));
}

// ---- Entry display ------------------------------------------------------------------

void frmMdict::ListBox1_Change()
{
    showCurrentEntry();
}

void frmMdict::ListBox1_MouseUp()
{
    showCurrentEntry();
}

void frmMdict::showCurrentEntry()
{
    ShowEntry();
    QTextCursor caret = TextBox2->textCursor();
    caret.movePosition(QTextCursor::Start);
    TextBox2->setTextCursor(caret);
    TextBox2->ensureCursorVisible();
    // Back to the list, so that the arrow keys go on walking the results.
    TextBox2->setFocus();
    ListBox1->setFocus();
}

void frmMdict::ShowEntry()
{
    const QModelIndex current = ListBox1->currentIndex();
    if (!current.isValid())
        return;
    const qint64 id = current.data(dictionary::ResultListModel::EntryIdRole).toLongLong();
    const QString composed = dictionary::composeEntry(id, searchMode);
    if (!composed.isEmpty())
        TextBox2->setPlainText(dictionary::entryDisplayText(composed));
}

// ---- Search boxes -------------------------------------------------------------------

void frmMdict::TextBox11_Change()
{
    // The replacement below changes the text again; the chain is already complete then.
    if (m_replacingKeys)
        return;
    const QString text = TextBox11->text();
    if (text.size() < 2)
        return;
    const QString replaced = m_keys.applyKeys(text);
    if (replaced == text)
        return;
    m_replacingKeys = true;
    TextBox11->setText(replaced);
    TextBox11->setCursorPosition(static_cast<int>(replaced.size())); // typing goes on at the end
    m_replacingKeys = false;
}

void frmMdict::TextBox1_Change()
{
    if (TextBox1->text().size() == DiscardedScriptLength)
        TextBox1->clear();
}

bool frmMdict::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->parent() == ListBox1) { // the list's viewport
        if (event->type() == QEvent::MouseButtonRelease)
            ListBox1_MouseUp();
        return QWidget::eventFilter(watched, event);
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (box->text() == searchFor(box).kind->placeholder)
            box->clear();
        break;
    case QEvent::MouseButtonDblClick:
        box->clear();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Other windows ------------------------------------------------------------------

void frmMdict::Command5_Click()
{
    emit pickerRequested();
}

void frmMdict::Command3_Click()
{
    emit aboutRequested();
}

void frmMdict::Command6_Click()
{
    shell::showHelp(this);
}

} // namespace orvane
