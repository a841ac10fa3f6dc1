#pragma once

#include <QWidget>

class QSystemTrayIcon;

namespace orvane::shell {

class pupMenu;
class TrayReleaseFilter;

// The start-up window. Never shown: it owns the tray icon and the tray's pop-up menu,
// from which the user opens the dictionary, the About box and the help, and ends the
// program.
class Fboard : public QWidget
{
    Q_OBJECT
public:
    explicit Fboard(QWidget* parent = nullptr);

    // The start-up sequence: the tray icon, or, where no tray exists, the dictionary
    // window, whose closing then ends the program (nothing else could reach it).
    void Form_Load();

    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    pupMenu* menu() const { return m_menu; }

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
    void trayLeftRelease();
    void trayRightRelease(const QPoint& where);

    void gioithieu_Click();
    void how_Click();
    void dict_Click();
    void thoat_Click();

    QSystemTrayIcon* m_trayIcon = nullptr;
    pupMenu* m_menu;
    TrayReleaseFilter* m_releaseFilter;
};

} // namespace orvane::shell
