#include "ui/shell/TrayController.h"

#include "ui/common/HelpLauncher.h"
#include "ui/common/ProgramIcon.h"
#include "ui/shell/TrayMenu.h"
#include "ui/shell/TrayReleaseFilter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QSystemTrayIcon>

namespace orvane::ui::shell {

TrayController::TrayController(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("trayController"));
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(common::programIcon());

    m_menu = new TrayMenu(this);
    connect(m_menu->aboutAction(), &QAction::triggered, this, &TrayController::aboutRequested);
    connect(m_menu->helpAction(), &QAction::triggered, this, [] { common::showHelp(nullptr); });
    connect(m_menu->dictionaryAction(), &QAction::triggered, this, &TrayController::dictionaryRequested);
    connect(m_menu->exitAction(), &QAction::triggered, this, &TrayController::exitProgram);

    m_releaseFilter = new TrayReleaseFilter([this] { onLeftRelease(); },
                                            [this](const QPoint& where) { onRightRelease(where); }, this);
}

void TrayController::start()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        emit startedWithoutTray();
        return;
    }

    m_trayIcon = new QSystemTrayIcon(common::programIcon(), this);
    m_trayIcon->setToolTip(QString());
    // Used by tray hosts that draw the menu themselves; the X11 icon opens it on release below.
    m_trayIcon->setContextMenu(m_menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            onLeftRelease();
    });
    m_trayIcon->show();
    m_releaseFilter->install();
}

void TrayController::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::exit(0);
}

// A tray event while the start-up window is visible is an ordinary mouse event of that window.
void TrayController::onLeftRelease()
{
    if (!isVisible())
        emit dictionaryRequested();
}

void TrayController::onRightRelease(const QPoint& where)
{
    if (!isVisible())
        m_menu->popup(where);
}

void TrayController::exitProgram()
{
    // The icon goes first, so it cannot linger in the tray; then the program ends at
    // once, without asking any window to close.
    if (m_trayIcon)
        m_trayIcon->hide();
    QCoreApplication::exit(0);
}

} // namespace orvane::ui::shell
