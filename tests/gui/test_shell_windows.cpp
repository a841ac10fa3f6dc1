// The shell's wiring: the tray menu and its release clicks, Exit, the window registry,
// the About box, the help launcher, and the activation watcher on real focus changes.
#include "FixtureDatabase.h"
#include "TestFiles.h"
#include "WidgetTesting.h"
#include "app/WindowRegistry.h"
#include "core/dictionary/DisplayConfig.h"
#include "core/shell/AboutText.h"
#include "ui/common/HelpLauncher.h"
#include "ui/dictionary/frmMdict.h"
#include "ui/picker/fGlyph.h"
#include "ui/shell/Fboard.h"
#include "ui/shell/Systray.h"
#include "ui/shell/fAboutD.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

// Qt's X11 tray widget goes by this class name.
class QSystemTrayIconSys : public QWidget
{
    Q_OBJECT
};

namespace {

// Runs the application's event loop until the program ends it, or 5 s pass (code -1).
int runUntilExit(const std::function<void()>& action)
{
    QTimer::singleShot(0, action);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(-1); });
    return QCoreApplication::exec();
}

void closeAll()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
    settle();
}

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class TestShellWindows final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.write({.glyphs = {{1, u"α"_s}},
                                .configs = {{.name = u"Orvane"_s, .fnt5 = u"DejaVu Serif"_s, .about = u"first"_s},
                                            {.about = u"line 1\r\nline 2"_s}}}));
        QVERIFY(data::ConnectDatabase());
    }

    void cleanup() { closeAll(); }

    void theMenuAndItsRequests()
    {
        shell::Fboard board;
        const QList<QAction*> items = board.menu()->actions();
        QStringList shown;
        for (const QAction* item : items)
            shown << item->objectName() + u'=' + (item->isSeparator() ? u"-"_s : item->text());
        QCOMPARE(shown.join(u' '), u"gioithieu=About how=Help g2=- dict=Dictionary g1=- thoat=Exit"_s);
        QSignalSpy dictionary(&board, &shell::Fboard::dictionaryRequested);
        QSignalSpy about(&board, &shell::Fboard::aboutRequested);
        board.menu()->dict->trigger();
        board.menu()->gioithieu->trigger();
        QCOMPARE(dictionary.size(), 1);
        QCOMPARE(about.size(), 1);
    }

    // Presses are swallowed; a release over the icon after a press of the same button acts.
    void theIconActsOnReleasesOverIt()
    {
        int left = 0;
        QList<QPoint> right;
        shell::TrayReleaseFilter filter([&] { ++left; }, [&](const QPoint& where) { right << where; });
        filter.install();
        QSystemTrayIconSys icon; // made after the filter, as when the tray host restarts
        icon.resize(22, 22);
        icon.show();
        QVERIFY(QTest::qWaitForWindowExposed(&icon));
        const QPoint inside(11, 11);
        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
        QCOMPARE(left, 0);
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, inside);
        QCOMPARE(left, 1);
        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(40, 11)); // let go beside the icon
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, inside);         // no press before it
        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(&icon, Qt::RightButton, {}, inside); // another button's release
        QCOMPARE(left, 1);
        QVERIFY(right.isEmpty());
        QTest::mousePress(&icon, Qt::RightButton, {}, inside);
        QTest::mouseRelease(&icon, Qt::RightButton, {}, inside);
        QCOMPARE(right, QList<QPoint>{icon.mapToGlobal(inside)});
        QMouseEvent secondPress(QEvent::MouseButtonDblClick, inside, icon.mapToGlobal(inside), Qt::LeftButton,
                                Qt::LeftButton, {});
        QCoreApplication::sendEvent(&icon, &secondPress);
        QTest::mouseRelease(&icon, Qt::LeftButton, {}, inside);
        QCOMPARE(left, 2);
        QPushButton other; // no tray widget: untouched
        QSignalSpy clicked(&other, &QPushButton::clicked);
        QTest::mouseClick(&other, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
    }

    void exitEndsTheProgramWithoutClosingAnyWindow()
    {
        shell::Fboard board;
        WindowRegistry::attach(&board);
        board.menu()->dict->trigger();
        QPointer<frmMdict> dictionary = WindowRegistry::dictionary();
        QVERIFY(dictionary && dictionary->isVisible());
        QCOMPARE(runUntilExit([&] { board.menu()->thoat->trigger(); }), 0);
        QVERIFY(dictionary && dictionary->isVisible());
    }

    void withoutATrayTheDictionaryShowsAndClosingItEnds()
    {
        shell::Fboard board; // the offscreen platform has no tray
        WindowRegistry::attach(&board);
        board.Form_Load();
        QVERIFY(board.trayIcon() == nullptr);
        QVERIFY(WindowRegistry::dictionary() && WindowRegistry::dictionary()->isVisible());
        QCOMPARE(runUntilExit([] { WindowRegistry::dictionary()->close(); }), 0);
    }

    // One instance per window, built afresh after it was closed; owned windows go with their owner.
    void theRegistrySharesAndOwnsWindows()
    {
        QPointer<frmMdict> dictionary = WindowRegistry::showDictionary();
        QCOMPARE(WindowRegistry::showDictionary(), dictionary.data());
        dictionary->showMinimized();
        QVERIFY(!WindowRegistry::showDictionary()->isMinimized());

        QTest::mouseClick(control<QPushButton>(dictionary, "Command5"), Qt::LeftButton);
        QPointer<fGlyph> picker = WindowRegistry::picker();
        QVERIFY(picker && picker->parentWidget() == dictionary && picker->isWindow());
        QTRY_COMPARE(activations(picker), 1);
        QTest::mouseClick(picker->CmdB(0), Qt::LeftButton);
        QCOMPARE(dictionary->nativeScriptBox()->text(), u"α"_s);
        WindowRegistry::showAbout(nullptr); // from the tray first: rebuilt owned by the dictionary
        QTest::mouseClick(control<QPushButton>(dictionary, "Command3"), Qt::LeftButton);
        QCOMPARE(WindowRegistry::about()->parentWidget(), dictionary.data());

        dictionary->close();
        settle();
        QVERIFY(dictionary.isNull() && picker.isNull() && WindowRegistry::about() == nullptr);
        QVERIFY(WindowRegistry::showDictionary() != nullptr);
        QVERIFY(WindowRegistry::showAbout(nullptr)->parentWidget() == nullptr); // from the tray
    }

    void theAboutBox()
    {
        dictionary::SharedDisplayConfig() = {};
        fAboutD* about = WindowRegistry::showAbout(nullptr);
        QTRY_COMPARE(activations(about), 1);
        QCOMPARE(about->windowTitle(), u"About "_s); // no name before the settings are loaded
        QCOMPARE(about->TextBox1->font().family(), u"Arial Unicode MS"_s);
        QCOMPARE(about->TextBox1->toPlainText(), u"line 1\nline 2"_s); // the last row with a text

        dictionary::LoadDisplayConfig();
        about->TextBox1->moveCursor(QTextCursor::End);
        about->Form_Activate();
        QCOMPARE(about->windowTitle(), u"About Orvane"_s);
        QCOMPARE(about->TextBox1->font().family(), u"DejaVu Serif"_s);
        QCOMPARE(about->TextBox1->textCursor().position(), 0);
        QVERIFY(about->TextBox2->hasFocus());

        UrlRecorder browser;
        const QUrl link = shell::aboutLink(QString::fromUtf8(fAboutD::WebAddress), m_folder.path());
        QCOMPARE(about->Label4->toolTip(), link.toDisplayString(QUrl::PreferLocalFile)); // shown cut to fit
        QVERIFY(about->Label4->fontMetrics().horizontalAdvance(about->Label4->text()) <= about->Label4->width());
        QDesktopServices::setUrlHandler(link.scheme(), &browser, "open");
        QTest::mouseClick(about->Label4, Qt::LeftButton, {}, QPoint(5, 5));
        QDesktopServices::unsetUrlHandler(link.scheme());
        QCOMPARE(browser.urls, QList<QUrl>{link});
    }

    // The text stands out from its highlight-text background on a dark palette, whose text
    // colour is light, whether the highlight text is light or dark.
    void theAboutTextIsReadableOnADarkPalette()
    {
        const QPalette original = QApplication::palette();
        for (const QColor highlightedText : {QColor(Qt::white), QColor(30, 30, 30)}) {
            QPalette dark(QColor(40, 40, 40));
            dark.setColor(QPalette::HighlightedText, highlightedText);
            QApplication::setPalette(dark);
            const QPalette box = fAboutD().TextBox1->palette();
            QCOMPARE(box.color(QPalette::Base), highlightedText);
            QVERIFY(qAbs(box.color(QPalette::Text).lightness() - box.color(QPalette::Base).lightness()) > 128);
        }
        QApplication::setPalette(original);
    }

    // Viewers in order, the full path as one argument, then the desktop; failures are reported.
    void theHelpLauncher()
    {
        const QString file = m_folder.path() + u"/orvane.chm"_s;
        QCOMPARE(shell::HelpLauncher::helpFilePath(), file);
        QVERIFY(writeFile(file, "ITSF"));
        QStringList started;
        QList<QUrl> opened;
        const auto launcher = [&](QStringList installed, QStringList failing, bool desktop) {
            started.clear();
            opened.clear();
            return shell::HelpLauncher(
                [=](const QString& name) { return installed.contains(name) ? u"/bin/"_s + name : QString(); },
                [&, failing](const QString& program, const QStringList& arguments) {
                    started << program + u' ' + arguments.join(u'|');
                    return !failing.contains(program);
                },
                [&, desktop](const QUrl& url) {
                    opened << url;
                    return desktop;
                });
        };
        using Result = shell::HelpLauncher::Result;
        QCOMPARE(launcher({u"xchm"_s, u"kchmviewer"_s}, {}, true).open(file), Result::Started);
        QCOMPARE(started, QStringList{u"/bin/xchm "_s + file});
        QCOMPARE(launcher({u"xchm"_s, u"kchmviewer"_s}, {u"/bin/xchm"_s}, true).open(file), Result::Started);
        QCOMPARE(started.size(), 2);
        QCOMPARE(launcher({}, {}, true).open(file), Result::Started);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(file)});
        QCOMPARE(launcher({}, {}, false).open(file), Result::NoViewer);
        QCOMPARE(launcher({u"xchm"_s}, {}, true).open(file + u".missing"_s), Result::FileMissing);
        QVERIFY(started.isEmpty() && opened.isEmpty());
    }

    // The rule itself is a unit table; here the watcher meets real focus changes.
    void theWatcherOnRealFocusChanges()
    {
        QWidget first, second;
        int runs = 0;
        new shell::ActivationWatcher(&first, [&] { ++runs; });
        first.show();
        QCOMPARE(runs, 0); // never inside show() itself
        QVERIFY(QTest::qWaitForWindowActive(&first));
        QTRY_COMPARE(runs, 1);
        second.show();
        second.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        QCOMPARE(runs, 1);
        first.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&first));
        QTRY_COMPARE(runs, 2);
    }
};

QTEST_MAIN(TestShellWindows)
#include "test_shell_windows.moc"
