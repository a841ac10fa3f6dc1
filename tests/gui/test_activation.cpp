// The activation rule shared by every window: first show, focus from another window of
// the program, never from another application, never again for the return from the
// handler's own message box, never inside the focus change itself.
#include "shell/ActivationWatcher.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

using orvane::shell::ActivationWatcher;

namespace {

// A window with a watcher that counts its handler's runs.
struct WatchedWindow
{
    QWidget widget;
    int runs = 0;
    bool ranInsideShow = false;
    ActivationWatcher* watcher = new ActivationWatcher(&widget, [this] { ++runs; });

    WatchedWindow() { widget.resize(200, 100); }
};

bool showAndActivate(QWidget& widget)
{
    widget.show();
    widget.activateWindow();
    return QTest::qWaitForWindowActive(&widget);
}

void focusMovesTo(QWindow* window)
{
    // Deliver a focus change exactly as the window system reports it.
    emit qGuiApp->focusWindowChanged(window);
    QCoreApplication::processEvents();
}

} // namespace

class TestActivation final : public QObject
{
    Q_OBJECT

private slots:
    void runsOnFirstShowFromAQueuedCall()
    {
        QWidget window;
        int runs = 0;
        bool activeWhileRunning = false;
        new ActivationWatcher(&window, [&] {
            ++runs;
            activeWhileRunning = window.isActiveWindow();
        });
        window.show();
        window.activateWindow();
        QCOMPARE(runs, 0); // nothing runs inside show() itself
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(runs, 1);
        QVERIFY(activeWhileRunning);
    }

    void runsWhenTheFocusComesFromAnotherWindowOfTheProgram()
    {
        WatchedWindow a;
        QWidget b;
        QVERIFY(showAndActivate(a.widget));
        QTRY_COMPARE(a.runs, 1);
        QVERIFY(showAndActivate(b));
        QVERIFY(showAndActivate(a.widget));
        QTRY_COMPARE(a.runs, 2);
        QTest::qWait(50);
        QCOMPARE(a.runs, 2);
    }

    void aClosedAndDeletedWindowStillCountsAsAWindowOfTheProgram()
    {
        WatchedWindow a;
        QVERIFY(showAndActivate(a.widget));
        QTRY_COMPARE(a.runs, 1);
        auto* box = new QWidget;
        QVERIFY(showAndActivate(*box));
        QPointer<QWindow> boxWindow = box->windowHandle();
        delete box;
        QVERIFY(boxWindow.isNull());
        focusMovesTo(a.widget.windowHandle());
        QTRY_COMPARE(a.runs, 2);
    }

    void doesNotRunWhenTheUserComesBackFromAnotherApplication()
    {
        WatchedWindow a;
        QVERIFY(showAndActivate(a.widget));
        QTRY_COMPARE(a.runs, 1);
        focusMovesTo(nullptr);
        focusMovesTo(a.widget.windowHandle());
        QTest::qWait(50);
        QCOMPARE(a.runs, 1);
    }

    void menusOpenedOverTheWindowDoNotCount()
    {
        WatchedWindow a;
        QVERIFY(showAndActivate(a.widget));
        QTRY_COMPARE(a.runs, 1);
        QMenu menu;
        menu.addAction(QStringLiteral("item"));
        menu.popup(a.widget.geometry().center());
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        focusMovesTo(menu.windowHandle());
        menu.close();
        focusMovesTo(a.widget.windowHandle());
        QTest::qWait(50);
        QCOMPARE(a.runs, 1);
    }

    void theHandlersOwnMessageBoxDoesNotStartItAgain()
    {
        QWidget a;
        QWidget b;
        int runs = 0;
        new ActivationWatcher(&a, [&] {
            ++runs;
            QTimer::singleShot(50, [] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                    box->accept();
            });
            QMessageBox::information(&a, QStringLiteral("Orvane"), QStringLiteral("Cannot continue"));
        });
        QVERIFY(showAndActivate(a));
        QTRY_COMPARE(runs, 1);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        // However the window system reports the box's end, the handler stays quiet.
        focusMovesTo(a.windowHandle());
        QTest::qWait(200);
        QCOMPARE(runs, 1);

        // A genuine activation afterwards shows the box once more, and only once.
        QVERIFY(showAndActivate(b));
        QVERIFY(showAndActivate(a));
        QTRY_COMPARE(runs, 2);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QTest::qWait(200);
        QCOMPARE(runs, 2);
    }

    void aHandlerMayCloseItsOwnWindow()
    {
        auto* window = new QWidget;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<QWidget> guard(window);
        int runs = 0;
        new ActivationWatcher(window, [&] {
            ++runs;
            window->close();
        });
        window->show();
        window->activateWindow();
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(runs, 1);
    }

    void aLateReportedReturnFromTheHandlersBoxIsNoActivation()
    {
        // Under X11 the focus reaches the box while it is open and comes back to the
        // window only after the handler has returned and the box is gone.
        QWidget a;
        QWidget other;
        int runs = 0;
        new ActivationWatcher(&a, [&] {
            ++runs;
            QWidget box;
            box.show();
            emit qGuiApp->focusWindowChanged(box.windowHandle());
        });
        QVERIFY(showAndActivate(a));
        QTRY_COMPARE(runs, 1);
        focusMovesTo(a.windowHandle()); // reported after the box is gone
        QTest::qWait(50);
        QCOMPARE(runs, 1);

        // The user moving on to another window makes the next return a real activation.
        QVERIFY(showAndActivate(other));
        QVERIFY(showAndActivate(a));
        QTRY_COMPARE(runs, 2);
    }

    void aWindowHiddenBeforeItsQueuedRunSkipsIt()
    {
        QWidget window;
        int runs = 0;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        new ActivationWatcher(&window, [&] { ++runs; });
        emit qGuiApp->focusWindowChanged(window.windowHandle()); // queues the first run
        window.hide();
        QTest::qWait(50);
        QCOMPARE(runs, 0);
    }
};

QTEST_MAIN(TestActivation)
#include "test_activation.moc"
