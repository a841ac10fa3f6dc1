#pragma once

#include <QMenu>

class QAction;

namespace orvane::ui::shell {

// The tray's pop-up menu: About, Help, Dictionary and Exit, with separators between
// Help and Dictionary and between Dictionary and Exit.
class TrayMenu : public QMenu
{
    Q_OBJECT
public:
    explicit TrayMenu(QWidget* parent = nullptr);

    QAction* aboutAction() const { return m_aboutAction; }
    QAction* helpAction() const { return m_helpAction; }
    QAction* dictionaryAction() const { return m_dictionaryAction; }
    QAction* exitAction() const { return m_exitAction; }

private:
    QAction* m_aboutAction;
    QAction* m_helpAction;
    QAction* m_dictionaryAction;
    QAction* m_exitAction;
};

} // namespace orvane::ui::shell
