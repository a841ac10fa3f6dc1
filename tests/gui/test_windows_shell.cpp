// The tray window: its menu, release-only clicks on the icon, what the menu items open,
// Exit without any window being asked to close, and the start without a tray.
#include "app/Windows.h"
#include "dictionary/frmMdict.h"
#include "shell/Fboard.h"
#include "shell/Systray.h"
#include "shell/fAboutD.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

using orvane::shell::Fboard;
using orvane::shell::pupMenu;
using orvane::shell::TrayReleaseFilter;

namespace {

void closeAllWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Counts close requests that reach a window.
class CloseCounter : public QObject
{
public:
    int closes = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return QObject::eventFilter(watched, event);
    }
};

// Runs the application's event loop until the program ends it, or 5 s pass (code -1).
int runUntilExit(const std::function<void()>& action)
{
    QTimer::singleShot(0, action);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(-1); });
    return QCoreApplication::exec();
}

} // namespace

class TestWindowsShell final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeAllWindows(); }

    void theMenuHoldsItsItemsInOrder()
    {
        pupMenu menu;
        QCOMPARE(menu.objectName(), QStringLiteral("pupMenu"));
        QStringList names, captions;
        for (QAction* item : menu.actions()) {
            names << item->objectName();
            captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
        }
        QCOMPARE(names, (QStringList{"gioithieu", "how", "g2", "dict", "g1", "thoat"}));
        QCOMPARE(captions, (QStringList{"About", "Help", "-", "Dictionary", "-", "Exit"}));
    }

    void theIconActsOnReleasesOverItOnly()
    {
        int left = 0;
        QList<QPoint> right;
        TrayReleaseFilter filter([&] { ++left; }, [&](const QPoint& where) { right << where; });
        QWidget icon;
        icon.resize(22, 22);
        icon.installEventFilter(&filter);
        icon.show();
        QVERIFY(QTest::qWaitForWindowExposed(&icon));
        const QPoint inside(11, 11);

        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
        QCOMPARE(left, 0); // a press alone does nothing
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, inside);
        QCOMPARE(left, 1);

        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(40, 11)); // let go beside the icon
        QCOMPARE(left, 1);

        QTest::mouseRelease(&icon, Qt::LeftButton, {}, inside); // no press came before it
        QCOMPARE(left, 1);

        QTest::mousePress(&icon, Qt::RightButton, {}, inside);
        QVERIFY(right.isEmpty());
        QTest::mouseRelease(&icon, Qt::RightButton, {}, inside);
        QCOMPARE(right.size(), 1);
        QCOMPARE(right[0], icon.mapToGlobal(inside));

        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(&icon, Qt::RightButton, {}, inside); // another button's release
        QCOMPARE(left, 1);
        QCOMPARE(right.size(), 1);

        // The second press of a double click arrives as a double-click event; its release
        // is a click like any other.
        QMouseEvent secondPress(QEvent::MouseButtonDblClick, inside, icon.mapToGlobal(inside), Qt::LeftButton,
                                Qt::LeftButton, {});
        QCoreApplication::sendEvent(&icon, &secondPress);
        QCOMPARE(left, 1);
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, inside);
        QCOMPARE(left, 2);
    }

    void withoutATrayWidgetTheFilterReportsItCannotInstall()
    {
        TrayReleaseFilter filter([] {}, [](const QPoint&) {});
        QVERIFY(!filter.install());
    }

    void theMenuItemsOpenTheirWindows()
    {
        Fboard board;
        board.menu()->dict->trigger();
        QVERIFY(orvane::Windows::dictionary() != nullptr);
        QVERIFY(orvane::Windows::dictionary()->isVisible());
        board.menu()->gioithieu->trigger();
        QVERIFY(orvane::Windows::about() != nullptr);
        QVERIFY(orvane::Windows::about()->parentWidget() == nullptr); // from the tray it has no owner
        QVERIFY(!board.isVisible());
    }

    void exitEndsTheLoopWithoutAskingAnyWindowToClose()
    {
        Fboard board;
        board.menu()->dict->trigger();
        CloseCounter counter;
        orvane::Windows::dictionary()->installEventFilter(&counter);
        QCOMPARE(runUntilExit([&] { board.menu()->thoat->trigger(); }), 0);
        QCOMPARE(counter.closes, 0);
        QVERIFY(orvane::Windows::dictionary() != nullptr);
    }

    void withoutATrayTheDictionaryShowsAndClosingItEndsTheProgram()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen platform has none
        Fboard board;
        board.Form_Load();
        QVERIFY(board.trayIcon() == nullptr);
        QVERIFY(orvane::Windows::dictionary() != nullptr);
        QVERIFY(orvane::Windows::dictionary()->isVisible());
        QCOMPARE(runUntilExit([] { orvane::Windows::dictionary()->close(); }), 0);
    }
};

QTEST_MAIN(TestWindowsShell)
#include "test_windows_shell.moc"
