// The shell's wiring: the tray icon's release clicks, the menu and Exit, the window registry, the About box.
#include "FixtureDatabase.h"
#include "WidgetTesting.h"
#include "app/WindowRegistry.h"
#include "core/shell/AboutText.h"
#include "ui/dictionary/DictionaryWindow.h"
#include "ui/picker/CharacterPicker.h"
#include "ui/shell/AboutDialog.h"
#include "ui/shell/TrayController.h"
#include "ui/shell/TrayMenu.h"
#include "ui/shell/TrayReleaseFilter.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

using namespace orvane;
using namespace orvane::app;
using ui::dictionary::DictionaryWindow;
using ui::picker::CharacterPicker;
using ui::shell::AboutDialog;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

// Qt's X11 tray widget goes by this class name.
class QSystemTrayIconSys : public QWidget
{
    Q_OBJECT
};

// Stands in for the browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestShellWindows final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    std::unique_ptr<WindowRegistry> m_registry;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.write({.glyphs = {{1, u"α"_s}},
                                .configs = {{.name = u"Orvane"_s, .fnt5 = u"DejaVu Serif"_s, .about = u"first"_s},
                                            {.about = u"line 1\r\nline 2"_s}}}));
    }

    void init()
    {
        m_registry = std::make_unique<WindowRegistry>(m_folder.databasePath());
        QVERIFY(m_registry->session().reconnect());
    }

    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
        settle();
        m_registry.reset();
    }

    // Presses are swallowed; a release over the icon after a press of the same button acts.
    void theIconActsOnReleasesOverIt()
    {
        int left = 0;
        QList<QPoint> right;
        ui::shell::TrayReleaseFilter filter([&] { ++left; }, [&](const QPoint& where) { right << where; });
        filter.install();
        QSystemTrayIconSys icon; // made after the filter, as when the tray host restarts
        icon.resize(22, 22);
        icon.show();
        QVERIFY(QTest::qWaitForWindowExposed(&icon));
        const QPoint inside(11, 11);
        QTest::mousePress(&icon, Qt::LeftButton, {}, inside);
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
    }

    // The menu's windows come from the registry; Exit ends the program without closing any window.
    void theMenuAndExit()
    {
        ui::shell::TrayController tray;
        m_registry->attach(&tray);
        tray.menu()->dictionaryAction()->trigger();
        tray.menu()->aboutAction()->trigger();
        QPointer<DictionaryWindow> dictionary = m_registry->dictionary();
        QVERIFY(dictionary);
        QVERIFY(dictionary->isVisible());
        QVERIFY(m_registry->about());
        QCOMPARE(m_registry->about()->parentWidget(), nullptr); // owned by none
        QTimer::singleShot(0, [&] { tray.menu()->exitAction()->trigger(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(-1); }); // in case Exit does not end the loop
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(dictionary);
        QVERIFY(dictionary->isVisible());
    }

    // One instance per window, built afresh after it was closed; owned windows go with their owner.
    void theRegistrySharesAndOwnsWindows()
    {
        QPointer<DictionaryWindow> dictionary = m_registry->showDictionary();
        QCOMPARE(m_registry->showDictionary(), dictionary.data());
        dictionary->showMinimized();
        QVERIFY(!m_registry->showDictionary()->isMinimized());

        QTest::mouseClick(control<QPushButton>(dictionary, "pickerButton"), Qt::LeftButton);
        QPointer<CharacterPicker> picker = m_registry->picker();
        QVERIFY(picker);
        QCOMPARE(picker->parentWidget(), dictionary.data());
        QVERIFY(picker->isWindow());
        QTRY_COMPARE(activations(picker), 1);
        QTest::mouseClick(picker->gridButton(0), Qt::LeftButton); // its glyph goes into the dictionary
        QCOMPARE(control<QLineEdit>(dictionary, "scriptBox")->text(), u"α"_s);
        m_registry->showAbout(nullptr); // from the tray first: rebuilt owned by the dictionary
        QTest::mouseClick(control<QPushButton>(dictionary, "aboutButton"), Qt::LeftButton);
        QCOMPARE(m_registry->about()->parentWidget(), dictionary.data());

        dictionary->close();
        settle();
        QVERIFY(dictionary.isNull());
        QVERIFY(picker.isNull());
        QCOMPARE(m_registry->about(), nullptr);
        QVERIFY(m_registry->showDictionary()); // anew
    }

    // Before the settings are loaded the box keeps its designed font and "About " as its caption; once loaded, they
    // show at once. Each activation shows the text from its start with the focus out of it.
    void theAboutBox()
    {
        AboutDialog* about = m_registry->showAbout(nullptr);
        QTRY_COMPARE(activations(about), 1);
        auto* text = control<QPlainTextEdit>(about, "aboutText");
        auto* linkLabel = control<QLabel>(about, "linkLabel");
        QCOMPARE(text->font().family(), u"Arial Unicode MS"_s);
        QCOMPARE(about->windowTitle(), u"About "_s);
        QCOMPARE(text->toPlainText(), u"line 1\nline 2"_s); // the last row with a text

        m_registry->session().loadDisplaySettings();
        QCOMPARE(text->font().family(), u"DejaVu Serif"_s);
        QCOMPARE(about->windowTitle(), u"About Orvane"_s);
        text->moveCursor(QTextCursor::End);
        about->onActivated();
        QCOMPARE(text->textCursor().position(), 0);
        QVERIFY(control<QLineEdit>(about, "focusSink")->hasFocus());

        // The link shows cut to fit, its tip and accessible name whole; a click or Enter (Tab reaches it) opens it.
        UrlRecorder browser;
        const QUrl link =
            core::shell::aboutLink(QString::fromUtf8(AboutDialog::WebAddress), QCoreApplication::applicationDirPath());
        QCOMPARE(linkLabel->toolTip(), link.toDisplayString(QUrl::PreferLocalFile));
        QDesktopServices::setUrlHandler(link.scheme(), &browser, "open");
        QTest::mouseClick(linkLabel, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(tabOrder(control<QLineEdit>(about, "focusSink")), (QStringList{u"About"_s, linkLabel->toolTip()}));
        QTest::keyClick(about->focusWidget(), Qt::Key_Tab);
        QTest::keyClick(linkLabel, Qt::Key_Return);
        QDesktopServices::unsetUrlHandler(link.scheme());
        QCOMPARE(browser.urls, (QList<QUrl>{link, link}));

        // On a dark palette the text stands out from its background; in a larger desktop font all text shows whole.
        const QPalette original = QApplication::palette();
        const QFont desktop = QApplication::font();
        QApplication::setFont(QFont(u"DejaVu Sans"_s, 11));
        for (const QColor highlightedText : {QColor(Qt::white), QColor(30, 30, 30)}) {
            QPalette dark(QColor(40, 40, 40));
            dark.setColor(QPalette::HighlightedText, highlightedText);
            QApplication::setPalette(dark);
            const AboutDialog dialog(&m_registry->session());
            QCOMPARE(cutTexts(&dialog), QStringList());
            const QPalette box = control<QPlainTextEdit>(&dialog, "aboutText")->palette();
            QVERIFY(qAbs(box.color(QPalette::Text).lightness() - box.color(QPalette::Base).lightness()) > 128);
        }
        QApplication::setFont(desktop);
        QApplication::setPalette(original);
    }
};

QTEST_MAIN(TestShellWindows)
#include "test_shell_windows.moc"
