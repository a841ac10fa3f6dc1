#pragma once

#include <QListView>

namespace orvane {

// The result list's view. Taking the keyboard focus makes no row current: a list view
// would otherwise make its first row current, showing an entry nobody picked and making
// the first Down key skip that row.
class ResultList : public QListView
{
public:
    using QListView::QListView;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace orvane
