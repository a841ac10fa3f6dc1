#pragma once

#include "ui/common/ActivationWatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// Helpers of the widget tests.
namespace orvane::testing {

// A control of `window` by its object name; the test stops when there is none.
template <typename T> T* control(const QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// How often the window's activation handler has run.
inline int activations(const QWidget* window)
{
    const auto* watcher = window->findChild<ui::common::ActivationWatcher*>();
    return watcher ? watcher->activations() : -1;
}

// Types `text` key by key, characters beyond Latin-1 too.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

// Accepts every message box that opens while it lives and records its text, so that an
// unexpected box fails a check instead of blocking the test.
class MessageBoxAcceptor
{
public:
    MessageBoxAcceptor()
    {
        m_timer.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }

    QStringList texts;

private:
    QTimer m_timer;
};

// Lets closed windows be deleted.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace orvane::testing
