#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace orvane::core::dictionary {
class DictionarySession;
class MeaningHitModel;
} // namespace orvane::core::dictionary

namespace orvane::ui::dictionary {

// "Search in meanings": a box for the words, a line with the count, and the hits as
// headwords with the words of their meanings that matched. Enter searches; picking a hit
// (a click, the arrow keys, Enter) offers its entry to the dictionary window that owns it.
class MeaningSearchDialog : public QDialog
{
    Q_OBJECT
public:
    // Said where the dictionary has no meaning index.
    static const char* const NoIndexText;

    // `session` outlives the window; `owner` keeps it above that window.
    MeaningSearchDialog(core::dictionary::DictionarySession* session, QWidget* owner);

    // Runs the query in the box.
    void search();

signals:
    // The entry of the hit the user picked.
    void entryChosen(qint64 id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseCurrentHit();
    void applyDisplaySettings();
    void showIndexNote();

    core::dictionary::DictionarySession* m_session;
    QLineEdit* m_queryBox;
    QPushButton* m_searchButton;
    QLabel* m_countLabel;
    QTreeView* m_hitList;
    core::dictionary::MeaningHitModel* m_hits;
    QLabel* m_noIndexLabel;
};

} // namespace orvane::ui::dictionary
