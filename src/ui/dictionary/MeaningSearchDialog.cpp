#include "ui/dictionary/MeaningSearchDialog.h"

#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/MeaningSearch.h"
#include "ui/common/ConfiguredFont.h"
#include "ui/common/ProgramIcon.h"
#include "ui/common/WaitCursor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace orvane::ui::dictionary {

using core::dictionary::MeaningHitModel;

const char* const MeaningSearchDialog::NoIndexText =
    "This dictionary has no meaning index: searching reads every entry, which may take a while.";

MeaningSearchDialog::MeaningSearchDialog(core::dictionary::DictionarySession* session, QWidget* owner)
    : QDialog(owner), m_session(session)
{
    setObjectName(QStringLiteral("meaningSearchDialog"));
    setWindowTitle(QStringLiteral("Search in meanings"));
    setWindowIcon(common::programIcon());
    resize(480, 420);

    m_queryBox = new QLineEdit(this);
    m_queryBox->setObjectName(QStringLiteral("queryBox"));
    m_queryBox->setAccessibleName(QStringLiteral("Words to look for"));
    m_queryBox->setPlaceholderText(QStringLiteral("Words, word*, \"a phrase\""));
    m_queryBox->setClearButtonEnabled(true);
    m_queryBox->installEventFilter(this);
    m_searchButton = new QPushButton(QStringLiteral("Search"), this);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));
    m_searchButton->setAutoDefault(false); // Enter belongs to the box and the list
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));

    m_hits = new MeaningHitModel(this);
    m_hitList = new QTreeView(this);
    m_hitList->setObjectName(QStringLiteral("hitList"));
    m_hitList->setAccessibleName(QStringLiteral("Entries found"));
    m_hitList->setModel(m_hits);
    m_hitList->setRootIsDecorated(false);
    m_hitList->setUniformRowHeights(true);
    m_hitList->setHeaderHidden(true);
    m_hitList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_hitList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_hitList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_hitList->header()->setStretchLastSection(true);
    m_hitList->setColumnWidth(MeaningHitModel::HeadwordColumn, 180);

    m_noIndexLabel = new QLabel(QString::fromLatin1(NoIndexText), this);
    m_noIndexLabel->setObjectName(QStringLiteral("noIndexLabel"));
    m_noIndexLabel->setWordWrap(true);
    m_noIndexLabel->setForegroundRole(QPalette::PlaceholderText); // quiet: a note, not a warning

    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(m_queryBox);
    queryRow->addWidget(m_searchButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(queryRow);
    layout->addWidget(m_countLabel);
    layout->addWidget(m_hitList, 1);
    layout->addWidget(m_noIndexLabel);

    connect(m_queryBox, &QLineEdit::returnPressed, this, &MeaningSearchDialog::search);
    connect(m_searchButton, &QPushButton::clicked, this, &MeaningSearchDialog::search);
    connect(m_hitList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MeaningSearchDialog::chooseCurrentHit);
    // A click on the hit that is current already, and Enter, show its entry again.
    connect(m_hitList, &QAbstractItemView::clicked, this, &MeaningSearchDialog::chooseCurrentHit);
    connect(m_hitList, &QAbstractItemView::activated, this, &MeaningSearchDialog::chooseCurrentHit);
    connect(m_session, &core::dictionary::DictionarySession::displaySettingsChanged, this,
            &MeaningSearchDialog::applyDisplaySettings);
    applyDisplaySettings();
    showIndexNote();
    m_queryBox->setFocus();
}

void MeaningSearchDialog::search()
{
    core::dictionary::MeaningSearchResult result;
    {
        const common::WaitCursor waitCursor;
        result = core::dictionary::searchMeanings(m_session->database(), m_queryBox->text());
    }
    m_hits->setResult(m_session->database(), result);
    m_countLabel->setText(core::dictionary::meaningCountText(result));
    showIndexNote();
}

void MeaningSearchDialog::chooseCurrentHit()
{
    const QModelIndex current = m_hitList->currentIndex();
    if (current.isValid())
        emit entryChosen(current.data(MeaningHitModel::EntryIdRole).toLongLong());
}

void MeaningSearchDialog::applyDisplaySettings()
{
    // The headwords as the dictionary window's list shows them.
    const core::dictionary::DisplayConfig& settings = m_session->displaySettings();
    m_hitList->setFont(common::configuredFont(m_hitList->font(), settings.font4, settings.size4));
}

void MeaningSearchDialog::showIndexNote()
{
    const core::data::DatabaseHandle& database = m_session->database();
    m_noIndexLabel->setVisible(database && !database->hasMeaningIndex());
}

bool MeaningSearchDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The keys that walk a list walk the hits from the box too, so that typing and picking
    // need no trip to the mouse.
    if (watched == m_queryBox && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_hitList, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvane::ui::dictionary
