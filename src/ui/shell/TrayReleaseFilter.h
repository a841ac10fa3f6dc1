#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

namespace orvane::ui::shell {

// The tray acts on button releases over the icon: a left release shows the dictionary,
// a right release opens the menu, a press alone does nothing. Qt's X11 tray widget
// (QSystemTrayIconSys) acts on the press, so this filter swallows its presses and
// double-clicks and reports a release only when the same button was pressed on the icon
// and is released over it. Qt builds a new such widget whenever the tray host restarts,
// so the filter watches the whole application for them rather than one widget. Where
// the icon goes through another tray protocol there is no such widget, and
// QSystemTrayIcon::activated serves instead.
class TrayReleaseFilter : public QObject
{
    Q_OBJECT
public:
    TrayReleaseFilter(std::function<void()> onLeftRelease, std::function<void(const QPoint&)> onRightRelease,
                      QObject* parent = nullptr);

    // Filters every tray widget, those Qt makes later included.
    void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onLeftRelease;
    std::function<void(const QPoint&)> m_onRightRelease;
    Qt::MouseButton m_pressedButton = Qt::NoButton;
};

} // namespace orvane::ui::shell
