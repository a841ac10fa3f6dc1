#include "ui/shell/TrayReleaseFilter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace orvane::ui::shell {

TrayReleaseFilter::TrayReleaseFilter(std::function<void()> onLeftRelease,
                                     std::function<void(const QPoint&)> onRightRelease, QObject* parent)
    : QObject(parent), m_onLeftRelease(std::move(onLeftRelease)), m_onRightRelease(std::move(onRightRelease))
{}

void TrayReleaseFilter::install()
{
    qApp->installEventFilter(this);
}

bool TrayReleaseFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool mouseButton =
        type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonRelease;
    if (!mouseButton || !watched->inherits("QSystemTrayIconSys"))
        return QObject::eventFilter(watched, event);
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a quick pair
        m_pressedButton = static_cast<QMouseEvent*>(event)->button();
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* icon = qobject_cast<QWidget*>(watched);
        // Like any button: pressing on the icon and letting go elsewhere is no click.
        const bool overIcon = icon && icon->rect().contains(mouse->position().toPoint());
        const bool clicked = overIcon && mouse->button() == m_pressedButton;
        m_pressedButton = Qt::NoButton;
        if (clicked && mouse->button() == Qt::LeftButton)
            m_onLeftRelease();
        else if (clicked && mouse->button() == Qt::RightButton)
            m_onRightRelease(mouse->globalPosition().toPoint());
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace orvane::ui::shell
