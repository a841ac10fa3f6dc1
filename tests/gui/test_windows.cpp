// The window registry: one shared instance per window, created on first show, deleted
// when closed and built afresh with its designed contents on the next show; owned
// windows stay windows of their own above their owner and go with it.
#include "app/Windows.h"
#include "dictionary/frmMdict.h"
#include "picker/fGlyph.h"
#include "shell/fAboutD.h"

#include <QApplication>
#include <QPointer>
#include <QWindow>
#include <QtTest>

namespace Windows = orvane::Windows;

namespace {
// Lets the deferred deletions of closed windows happen.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void closeAll()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
    settle();
}
} // namespace

class TestWindows final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeAll(); }

    void aWindowIsCreatedOnFirstShowAndSharedAfterwards()
    {
        QVERIFY(Windows::dictionary() == nullptr);
        orvane::frmMdict* first = Windows::showDictionary();
        QVERIFY(first != nullptr);
        QVERIFY(first->isVisible());
        QCOMPARE(Windows::dictionary(), first);
        QCOMPARE(Windows::showDictionary(), first);
        int dictionaries = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            dictionaries += qobject_cast<orvane::frmMdict*>(window) != nullptr;
        QCOMPARE(dictionaries, 1);
    }

    void closingDeletesTheWindowAndTheNextShowBuildsItAfresh()
    {
        QPointer<orvane::frmMdict> first = Windows::showDictionary();
        first->setWindowTitle(QStringLiteral("changed while open"));
        first->close();
        settle();
        QVERIFY(first.isNull());
        QVERIFY(Windows::dictionary() == nullptr);

        orvane::frmMdict* second = Windows::showDictionary();
        QCOMPARE(second->windowTitle(), QStringLiteral("Orvane"));
    }

    void showingBringsAMinimisedWindowBack()
    {
        orvane::frmMdict* dictionary = Windows::showDictionary();
        dictionary->showMinimized();
        QTRY_VERIFY(dictionary->isMinimized());
        Windows::showDictionary();
        QVERIFY(!dictionary->isMinimized());
        QVERIFY(dictionary->isVisible());
    }

    void ownedWindowsStayAboveTheirOwnerAndGoWithIt()
    {
        orvane::frmMdict* dictionary = Windows::showDictionary();
        QVERIFY(QTest::qWaitForWindowExposed(dictionary));
        QPointer<orvane::fAboutD> about = Windows::showAbout(dictionary);
        QPointer<orvane::fGlyph> picker = Windows::showPicker(dictionary);
        for (QWidget* owned : {static_cast<QWidget*>(about), static_cast<QWidget*>(picker)}) {
            QVERIFY(owned->isWindow());
            QCOMPARE(owned->parentWidget(), dictionary);
            QVERIFY(owned->windowHandle() != nullptr);
            QCOMPARE(owned->windowHandle()->transientParent(), dictionary->windowHandle());
            QVERIFY(owned->testAttribute(Qt::WA_DeleteOnClose));
        }

        dictionary->close();
        settle();
        QVERIFY(about.isNull());
        QVERIFY(picker.isNull());
        QVERIFY(Windows::about() == nullptr);
        QVERIFY(Windows::picker() == nullptr);
    }

    void anOwnerGivenByAControlMeansItsWindow()
    {
        orvane::frmMdict* dictionary = Windows::showDictionary();
        auto* control = new QWidget(dictionary);
        QCOMPARE(Windows::showAbout(control)->parentWidget(), dictionary);
    }

    void theAboutBoxFromTheTrayHasNoOwner()
    {
        orvane::fAboutD* about = Windows::showAbout(nullptr);
        QVERIFY(about->isWindow());
        QVERIFY(about->parentWidget() == nullptr);
        QVERIFY(about->isVisible());
        // Asking again while it is open brings the same box forward.
        QCOMPARE(Windows::showAbout(Windows::showDictionary()), about);
    }
};

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
