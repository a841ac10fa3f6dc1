#include "ui/dictionary/DictionaryWindow.h"

#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/Lookup.h"
#include "core/dictionary/ResultListModel.h"
#include "core/dictionary/Search.h"
#include "ui/common/ActivationWatcher.h"
#include "ui/common/ConfiguredFont.h"
#include "ui/common/HelpLauncher.h"
#include "ui/common/Messages.h"
#include "ui/common/ProgramIcon.h"
#include "ui/common/Twips.h"
#include "ui/common/WaitCursor.h"
#include "ui/dictionary/ResultList.h"
#include "ui/dictionary/SearchLineEdit.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>

namespace orvane::ui::dictionary {

namespace {

using common::twipsRect;
using common::twipsToPixels;

QFont designedFont(const char* family, double points, bool bold = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The native-script box empties itself when its text becomes exactly this long, however
// the text got there; a longer text pasted at once stays. Intended, not a limit.
constexpr qsizetype DiscardedScriptLength = 15;

// The size of the native-script box once a picked character replaced its placeholder.
constexpr double PickedCharacterPoints = 11;

const QString DoubleClickToClear = QStringLiteral("Double click to clear");
const QString SearchInMeanings = QStringLiteral("Search in meanings\u2026");

} // namespace

DictionaryWindow::DictionaryWindow(core::dictionary::DictionarySession* session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("dictionaryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(common::programIcon());
    // Fixed single border: no resizing and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(10095), twipsToPixels(5910));

    createControls();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The list holds the focus when the window opens, so that the placeholders of the
    // search boxes stay in view until the user clicks into a box.
    m_resultList->setFocus();

    new common::ActivationWatcher(this, [this] { onActivated(); });
}

// The controls are made in the order of the layout, the top row and then the bottom row from
// left to right, which is the order of the Tab key.
void DictionaryWindow::createControls()
{
    m_entryBox = new QPlainTextEdit(this);
    m_entryBox->setObjectName(QStringLiteral("entryBox"));
    m_entryBox->setGeometry(twipsRect(120, 120, 6255, 5055));
    m_entryBox->setFont(designedFont("Arial Unicode MS", 14.25));
    m_entryBox->setReadOnly(true);
    // Read-only, but the text can be selected and copied, and a caret shows where.
    m_entryBox->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_entryBox->setFocusPolicy(Qt::StrongFocus);
    m_entryBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_entryBox->setAccessibleName(QStringLiteral("Entry"));

    m_resultModel = new core::dictionary::ResultListModel(this);
    m_resultList = new ResultList(m_resultModel, this);
    m_resultList->setObjectName(QStringLiteral("resultList"));
    m_resultList->setGeometry(twipsRect(6480, 120, 3495, 5055));
    m_resultList->setFont(designedFont("Arial Unicode MS", 14.25));
    m_resultList->setUniformItemSizes(true);
    m_resultList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultList->setAccessibleName(QStringLiteral("Search results"));
    m_resultList->viewport()->installEventFilter(this);
    m_resultList->installEventFilter(this); // its context menu from the keyboard
    m_entryBox->installEventFilter(this);
    connect(m_resultList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DictionaryWindow::showCurrentEntry);

    // The rules above and below the row of search boxes; the upper one in the button-shadow colour.
    for (const auto& [top, role] : {std::pair(5280, QPalette::Dark), {5880, QPalette::WindowText}}) {
        auto* rule = new QFrame(this);
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Plain);
        rule->setForegroundRole(role);
        rule->setGeometry(0, twipsToPixels(top), twipsToPixels(10080), 1);
        rule->setAccessibleName(QStringLiteral("Separator"));
    }

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
        auto* lineEdit = new SearchLineEdit(placeholder.toString(), this);
        lineEdit->setObjectName(QString::fromLatin1(name));
        lineEdit->setGeometry(geometry);
        lineEdit->setTextFont(designedFont("Arial Unicode MS", 9.75));
        lineEdit->setCursorPosition(0); // a placeholder wider than its box shows its beginning
        lineEdit->setToolTip(DoubleClickToClear);
        lineEdit->setAccessibleName(QString::fromUtf8(accessibleName));
        lineEdit->installEventFilter(this);
        return lineEdit;
    };
    const QFont okFont = designedFont("MS Sans Serif", 8.25, true);

    m_pickerButton =
        button("pickerButton", "#", twipsRect(120, 5400, 255, 255), designedFont("Arial", 9), "Insert characters");
    // The three "OK"s say which search they start; each box says which form of the word it takes.
    m_scriptBox = searchBox("scriptBox", core::dictionary::ScriptSearch.placeholder, twipsRect(480, 5395, 1755, 390),
                            "Native script");
    m_scriptSearchButton =
        button("scriptSearchButton", "OK", twipsRect(2280, 5400, 465, 360), okFont, "Search native script");
    m_translitBox = searchBox("translitBox", core::dictionary::TranslitSearch.placeholder,
                              twipsRect(2880, 5400, 2055, 375), "Transliteration");
    m_translitSearchButton =
        button("translitSearchButton", "OK", twipsRect(5040, 5400, 465, 375), okFont, "Search transliteration");
    m_plainBox = searchBox("plainBox", core::dictionary::PlainSearch.placeholder, twipsRect(5640, 5400, 2055, 375),
                           "Without diacritics");
    m_plainSearchButton =
        button("plainSearchButton", "OK", twipsRect(7800, 5400, 465, 375), okFont, "Search without diacritics");
    m_helpButton = button("helpButton", "Help", twipsRect(8475, 5400, 690, 375), okFont, "Help");
    m_aboutButton = button("aboutButton", "About", twipsRect(9300, 5400, 690, 375), okFont, "About");

    m_searches[0] = {m_scriptBox, m_scriptSearchButton, &core::dictionary::ScriptSearch};
    m_searches[1] = {m_translitBox, m_translitSearchButton, &core::dictionary::TranslitSearch};
    m_searches[2] = {m_plainBox, m_plainSearchButton, &core::dictionary::PlainSearch};
    for (const SearchBox& search : m_searches) {
        connect(search.button, &QPushButton::clicked, this, [this, &search] { onSearchClicked(search); });
        // Enter in a search box presses its "OK" button.
        connect(search.box, &QLineEdit::returnPressed, search.button, &QPushButton::click);
    }
    connect(m_translitBox, &QLineEdit::textChanged, this, &DictionaryWindow::onTranslitTextChanged);
    connect(m_scriptBox, &QLineEdit::textChanged, this, &DictionaryWindow::onScriptTextChanged);
    connect(m_pickerButton, &QPushButton::clicked, this, &DictionaryWindow::pickerRequested);
    connect(m_aboutButton, &QPushButton::clicked, this, &DictionaryWindow::aboutRequested);
    connect(m_helpButton, &QPushButton::clicked, this, [this] { common::showHelp(this); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            &DictionaryWindow::meaningSearchRequested);
}

// ---- Activation ---------------------------------------------------------------------

void DictionaryWindow::onActivated()
{
    if (!m_session->reconnect())
        common::showMessage(this, QString::fromLatin1(common::CannotContinueText));
    m_session->loadDisplaySettings();
    applyDisplaySettings();
    m_activated = true;
    runPendingLookup();
}

void DictionaryWindow::applyDisplaySettings()
{
    const core::dictionary::DisplayConfig& config = m_session->displaySettings();
    const struct
    {
        QWidget* control;
        const QString& family;
        double points;
    } settings[] = {
        {m_scriptBox, config.font1, config.size1}, {m_translitBox, config.font2, config.size2},
        {m_plainBox, config.font3, config.size3},  {m_resultList, config.font4, config.size4},
        {m_entryBox, config.font5, config.size5},
    };
    // Each of the ten settings stands alone: one that cannot be applied is skipped.
    for (const auto& setting : settings) {
        auto* box = qobject_cast<SearchLineEdit*>(setting.control);
        const QFont font =
            common::configuredFont(box ? box->textFont() : setting.control->font(), setting.family, setting.points);
        if (box)
            box->setTextFont(font);
        else
            setting.control->setFont(font);
    }
}

// ---- Searches -----------------------------------------------------------------------

void DictionaryWindow::onSearchClicked(const SearchBox& search)
{
    const core::dictionary::SearchKind& kind = *search.kind;
    m_entryBox->clear();
    m_searchMode = kind.searchMode;
    // Only a box that is exactly empty takes the clipboard; placeholder or spaces count as text.
    if (search.box->text().isEmpty()) {
        search.box->paste(); // runs the box's change handling before the search reads it
        m_resultModel->clear();
    } else {
        m_resultModel->clear();
        if (kind.listFocus == core::dictionary::ListFocus::BeforeSearchWhenBoxFilled)
            m_resultList->setFocus();
    }
    {
        const common::WaitCursor waitCursor;
        m_resultModel->setRows(core::dictionary::runSearch(m_session->database(), kind, search.box->text()));
    }
    if (kind.listFocus == core::dictionary::ListFocus::AfterSearch)
        m_resultList->setFocus();
}

const DictionaryWindow::SearchBox& DictionaryWindow::searchFor(const QObject* box) const
{
    for (const SearchBox& search : m_searches) {
        if (search.box == box)
            return search;
    }
    return m_searches[0];
}

void DictionaryWindow::lookUp(const QString& text)
{
    m_pendingLookup = core::dictionary::lookupText(text);
    if (m_activated)
        runPendingLookup();
}

void DictionaryWindow::runPendingLookup()
{
    const QString word = std::exchange(m_pendingLookup, QString());
    if (word.isEmpty())
        return;
    const core::dictionary::SearchKind& kind = core::dictionary::searchKindFor(word);
    for (const SearchBox& search : m_searches) {
        if (search.kind != &kind)
            continue;
        // The native box would empty itself at 15 characters; a space after the word
        // keeps it, and the native search trims it away again.
        search.box->setText(search.box == m_scriptBox && word.size() == DiscardedScriptLength ? word + u' ' : word);
        search.button->click();
    }
    if (m_resultModel->rowCount() > 0)
        m_resultList->setCurrentIndex(m_resultModel->index(0, 0));
}

// ---- Entry display ------------------------------------------------------------------

// Runs when the current row changes and when any mouse button is released over the list,
// also over the row that is already current.
void DictionaryWindow::showCurrentEntry()
{
    const QModelIndex current = m_resultList->currentIndex();
    if (current.isValid())
        showComposedEntry(current.data(core::dictionary::ResultListModel::EntryIdRole).toLongLong(), m_searchMode);
    else
        showComposedEntry(-1, m_searchMode); // the caret and the focus as after any pick
    // Back to the list, so that the arrow keys go on walking the results.
    m_entryBox->setFocus();
    m_resultList->setFocus();
}

void DictionaryWindow::showEntry(qint64 id)
{
    showComposedEntry(id, core::dictionary::SearchMode::Latin);
}

void DictionaryWindow::showComposedEntry(qint64 id, core::dictionary::SearchMode header)
{
    const QString composed = id < 0 ? QString() : core::dictionary::composeEntry(m_session->database(), id, header);
    // An entry that cannot be read leaves the box as it was.
    if (!composed.isEmpty())
        m_entryBox->setPlainText(core::dictionary::entryDisplayText(composed));
    QTextCursor caret = m_entryBox->textCursor();
    caret.movePosition(QTextCursor::Start);
    m_entryBox->setTextCursor(caret);
    m_entryBox->ensureCursorVisible();
}

void DictionaryWindow::showContextMenu(QWidget* control, const QPoint& globalPosition)
{
    QMenu* menu = control == m_entryBox ? m_entryBox->createStandardContextMenu() : new QMenu(this);
    if (!menu->isEmpty())
        menu->addSeparator();
    menu->addAction(SearchInMeanings, this, &DictionaryWindow::meaningSearchRequested);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

// ---- Search boxes -------------------------------------------------------------------

void DictionaryWindow::onTranslitTextChanged()
{
    // The replacement below changes the text again; the chain is already complete then.
    if (m_replacingKeys)
        return;
    const QString text = m_translitBox->text();
    if (text.size() < 2)
        return;
    const QString replaced = m_keyInput.applyKeys(m_session->database(), text);
    if (replaced == text)
        return;
    m_replacingKeys = true;
    m_translitBox->setText(replaced);
    m_translitBox->setCursorPosition(static_cast<int>(replaced.size())); // typing goes on at the end
    m_replacingKeys = false;
}

void DictionaryWindow::appendToScriptBox(const QString& glyph)
{
    if (m_scriptBox->text() == core::dictionary::ScriptSearch.placeholder) {
        QFont font = m_scriptBox->textFont();
        font.setPointSizeF(PickedCharacterPoints);
        m_scriptBox->setTextFont(font);
        m_scriptBox->clear();
    }
    // setText, not insert: the glyph goes to the end whatever the caret, and the box's own
    // change handling (the 15-character rule) runs as for any other change.
    m_scriptBox->setText(m_scriptBox->text() + glyph);
}

void DictionaryWindow::onScriptTextChanged()
{
    if (m_scriptBox->text().size() == DiscardedScriptLength)
        m_scriptBox->clear();
}

bool DictionaryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && (watched == m_entryBox || watched == m_resultList->viewport() ||
                                                 watched == m_resultList)) {
        auto* request = static_cast<QContextMenuEvent*>(event);
        const bool list = watched != m_entryBox;
        // A right button over the list shows the current entry again, menu or not.
        if (list && request->reason() == QContextMenuEvent::Mouse)
            showCurrentEntry();
        const QRect current = m_resultList->visualRect(m_resultList->currentIndex());
        const QPoint keyboardPosition = list ? m_resultList->viewport()->mapToGlobal(
                                                   current.isValid() ? current.center() : QPoint(0, 0))
                                             : m_entryBox->viewport()->mapToGlobal(
                                                   m_entryBox->cursorRect().bottomLeft());
        showContextMenu(list ? m_resultList : static_cast<QWidget*>(m_entryBox),
                        request->reason() == QContextMenuEvent::Mouse ? request->globalPos() : keyboardPosition);
        return true;
    }
    if (watched->parent() == m_resultList) { // the list's viewport
        if (event->type() == QEvent::MouseButtonRelease)
            showCurrentEntry();
        return QWidget::eventFilter(watched, event);
    }
    if (watched == m_resultList || watched == m_entryBox)
        return QWidget::eventFilter(watched, event);
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

} // namespace orvane::ui::dictionary
