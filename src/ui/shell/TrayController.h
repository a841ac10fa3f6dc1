#pragma once

#include <QWidget>

class QSystemTrayIcon;

namespace orvane::ui::shell {

class TrayMenu;
class TrayReleaseFilter;

// The start-up window. Never shown: it owns the tray icon and the tray's pop-up menu,
// from which the user opens the dictionary, the About box and the help, and ends the
// program.
class TrayController : public QWidget
{
    Q_OBJECT
public:
    explicit TrayController(QWidget* parent = nullptr);

    // The start-up sequence: the tray icon, or, where no tray exists, the dictionary
    // window, whose closing then ends the program (nothing else could reach it).
    void start();

    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    TrayMenu* menu() const { return m_menu; }

signals:
    // The window registry shows the windows the tray asks for.
    void dictionaryRequested();
    void aboutRequested();
    // No tray exists: the dictionary window must show now, and its closing end the program.
    void startedWithoutTray();

protected:
    // Ending the start-up window ends the program at once; the icon is left to the system.
    void closeEvent(QCloseEvent* event) override;

private:
    void onLeftRelease();
    void onRightRelease(const QPoint& where);
    void exitProgram();

    QSystemTrayIcon* m_trayIcon = nullptr;
    TrayMenu* m_menu;
    TrayReleaseFilter* m_releaseFilter;
};

} // namespace orvane::ui::shell
