#pragma once

#include <QListView>

namespace orvane::core::dictionary {
class ResultListModel;
} // namespace orvane::core::dictionary

namespace orvane::ui::dictionary {

// The result list's view. Keys and mouse buttons mean what they say in a list box:
// - New rows show from the first one, however far the old ones were scrolled.
// - Taking the keyboard focus makes no row current: a list view would otherwise make its
//   first row current, showing an entry nobody picked and making the first Down skip it.
// - With no current row, End goes to the last row and Page Down to the last row of the
//   first page;
//   Home, Down and Up go to the first row.
// - A typed letter goes to the next row that begins with it; letters never add up into
//   a longer search text, however quickly they are typed.
// - Only the left button makes the row under the pointer current.
class ResultList : public QListView
{
public:
    ResultList(core::dictionary::ResultListModel* rows, QWidget* parent);

    void keyboardSearch(const QString& typed) override;
    void reset() override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int lastRowOfFirstPage() const;

    core::dictionary::ResultListModel* m_rows;
};

} // namespace orvane::ui::dictionary
