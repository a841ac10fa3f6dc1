#include "ui/shell/Fboard.h"

#include "ui/common/HelpLauncher.h"
#include "ui/common/ProgramIcon.h"
#include "ui/shell/Systray.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QSystemTrayIcon>

namespace orvane::shell {

Fboard::Fboard(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Fboard"));
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(programIcon());

    m_menu = new pupMenu(this);
    connect(m_menu->gioithieu, &QAction::triggered, this, &Fboard::gioithieu_Click);
    connect(m_menu->how, &QAction::triggered, this, &Fboard::how_Click);
    connect(m_menu->dict, &QAction::triggered, this, &Fboard::dict_Click);
    connect(m_menu->thoat, &QAction::triggered, this, &Fboard::thoat_Click);

    m_releaseFilter = new TrayReleaseFilter([this] { trayLeftRelease(); },
                                            [this](const QPoint& where) { trayRightRelease(where); }, this);
}

void Fboard::Form_Load()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        emit startedWithoutTray();
        return;
    }

    m_trayIcon = new QSystemTrayIcon(programIcon(), this);
    m_trayIcon->setToolTip(QString());
    // Used by tray hosts that draw the menu themselves; the X11 icon opens it on release below.
    m_trayIcon->setContextMenu(m_menu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            trayLeftRelease();
    });
    m_trayIcon->show();
    m_releaseFilter->install();
}

void Fboard::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::exit(0);
}

// A tray event while the start-up window is visible is an ordinary mouse event of that window.
void Fboard::trayLeftRelease()
{
    if (!isVisible())
        emit dictionaryRequested();
}

void Fboard::trayRightRelease(const QPoint& where)
{
    if (!isVisible())
        m_menu->popup(where);
}

void Fboard::gioithieu_Click()
{
    emit aboutRequested();
}

void Fboard::how_Click()
{
    showHelp(nullptr);
}

void Fboard::dict_Click()
{
    emit dictionaryRequested();
}

void Fboard::thoat_Click()
{
    // The icon goes first, so it cannot linger in the tray; then the program ends at
    // once, without asking any window to close.
    if (m_trayIcon)
        m_trayIcon->hide();
    QCoreApplication::exit(0);
}

} // namespace orvane::shell
