#pragma once

#include "ui/common/ActivationWatcher.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
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

// What a screen reader says a control is.
inline QString accessibleName(QObject* control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

// Where the Tab key goes, from `from` round to it: what a screen reader says of each control.
inline QStringList tabOrder(QWidget* from)
{
    QStringList order;
    from->setFocus(Qt::TabFocusReason);
    for (QWidget* at = from; at && (order.isEmpty() || at != from) && order.size() < 50;
         at = QApplication::focusWidget()) {
        order << accessibleName(at);
        QTest::keyClick(at, Qt::Key_Tab);
    }
    return order;
}

// The controls of `window` that show only part of their text, by object name: a line edit drawn with its caret at the
// end scrolls its text only when the text is wider than the box; a label's text must fit its width.
inline QStringList cutTexts(const QWidget* window)
{
    QStringList cut;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(control);
        auto* box = qobject_cast<QLineEdit*>(control);
        const auto startWithCaretAt = [box](qsizetype caret) {
            box->setCursorPosition(static_cast<int>(caret));
            box->grab();
            box->setCursorPosition(0);
            return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        };
        if ((label && label->sizeHint().width() > label->width()) ||
            (box && startWithCaretAt(0) != startWithCaretAt(box->text().size())))
            cut << control->objectName();
    }
    return cut;
}

// Accepts every message box that opens while it lives and records its text, so that an
// unexpected box fails a check instead of blocking the test.
struct MessageBoxAcceptor
{
    QStringList texts;
    QTimer timer;

    MessageBoxAcceptor()
    {
        timer.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        timer.start(10);
    }
};

// Lets closed windows be deleted.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace orvane::testing
