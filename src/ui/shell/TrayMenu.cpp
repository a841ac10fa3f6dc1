#include "ui/shell/TrayMenu.h"

namespace orvane::ui::shell {

TrayMenu::TrayMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("trayMenu"));
    m_aboutAction = addAction(QStringLiteral("About"));
    m_helpAction = addAction(QStringLiteral("Help"));
    addSeparator();
    m_dictionaryAction = addAction(QStringLiteral("Dictionary"));
    addSeparator();
    m_exitAction = addAction(QStringLiteral("Exit"));
}

} // namespace orvane::ui::shell
