// The About box: its design, the about text of the configuration (the last row wins),
// the caption and font before and after the configuration is loaded, the focus rule,
// and the link.
#include "FixtureDatabase.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"
#include "shell/ActivationWatcher.h"
#include "shell/fAboutD.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QtTest>

using orvane::fAboutD;
using orvane::data::DatabaseWriter;
using orvane::shell::ActivationWatcher;

namespace {

// Receives the addresses the box asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

void resetSharedState()
{
    orvane::data::SharedDatabase().reset();
    orvane::dictionary::SharedDisplayConfig() = {};
}

bool connectTo(const orvane::testing::FixtureFolder& folder, const std::vector<DatabaseWriter::Config>& configs)
{
    orvane::testing::FixtureRows rows;
    rows.configs = configs;
    QString error;
    if (!folder.write(rows, {}, &error)) {
        qWarning() << "fixture:" << error;
        return false;
    }
    return orvane::data::ConnectDatabase();
}

int activations(const fAboutD& box)
{
    return box.findChild<ActivationWatcher*>()->activations();
}

// Shows the box and waits until its activation has run.
bool showAndActivate(fAboutD& box)
{
    const int before = activations(box);
    box.show();
    box.activateWindow();
    return QTest::qWaitForWindowActive(&box) && QTest::qWaitFor([&] { return activations(box) > before; });
}

} // namespace

class TestAbout final : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetSharedState(); }
    void cleanup() { resetSharedState(); }

    void controlsAreWhereTheDesignPutsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect"); // pixels: twips / 15
        QTest::newRow("TextBox1") << "TextBox1" << QRect(3, 4, 394, 138);
        QTest::newRow("Label1") << "Label1" << QRect(10, 150, 207, 17);
        QTest::newRow("TextBox2") << "TextBox2" << QRect(10, 265, 18, 11);
        QTest::newRow("Label3") << "Label3" << QRect(10, 170, 271, 16);
        QTest::newRow("Label4") << "Label4" << QRect(10, 190, 231, 16);
        QTest::newRow("Shape1") << "Shape1" << QRect(3, 147, 394, 67);
    }

    void controlsAreWhereTheDesignPutsThem()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        fAboutD box;
        auto* control = box.findChild<QWidget*>(name);
        QVERIFY2(control != nullptr, qPrintable(name));
        QCOMPARE(control->geometry(), rect);
    }

    void theDesign()
    {
        fAboutD box;
        QCOMPARE(box.objectName(), QStringLiteral("fAboutD"));
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.size(), QSize(400, 216));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        QVERIFY(box.TextBox1->isReadOnly());
        QCOMPARE(box.TextBox1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!(box.TextBox1->focusPolicy() & Qt::TabFocus));
        QCOMPARE(box.TextBox1->font().family(), QStringLiteral("Arial Unicode MS"));
        QCOMPARE(box.TextBox1->font().pointSizeF(), 9.75);
        QCOMPARE(box.TextBox1->palette().color(QPalette::Base), box.palette().color(QPalette::HighlightedText));
        QVERIFY(box.TextBox1->toPlainText().isEmpty());

        QCOMPARE(box.Label3->text(), QStringLiteral("For further information, please visit my blog at: "));
        QCOMPARE(box.Label4->text(), QString::fromUtf8(fAboutD::WebAddress));
        QCOMPARE(box.Label4->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(box.Label4->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(box.Label1->text(), QString::fromUtf8(fAboutD::CreditText));
        // TextBox2 lies below the visible client area.
        QVERIFY(box.TextBox2->geometry().top() >= box.height());
        QCOMPARE(box.Shape1->frameShape(), QFrame::Box);
    }

    void beforeAnyConfigurationTheCaptionIsAboutAloneAndTheDesignFontStays()
    {
        fAboutD box; // no database, no configuration yet
        QVERIFY(showAndActivate(box));
        QCOMPARE(box.windowTitle(), QStringLiteral("About "));
        QCOMPARE(box.TextBox1->font().family(), QStringLiteral("Arial Unicode MS"));
        QVERIFY(box.TextBox1->toPlainText().isEmpty());
    }

    void activationShowsTheLastAboutTextTheNameAndFont5()
    {
        orvane::testing::FixtureFolder folder;
        QVERIFY(connectTo(folder, {{.name = QStringLiteral("Lexicon"), .about = QStringLiteral("first\r\nabout")},
                                   {.about = QString()},
                                   {.about = QStringLiteral("Ελληνικά–English\r\nsecond line")}}));
        auto& config = orvane::dictionary::SharedDisplayConfig();
        config.configName = QStringLiteral("Lexicon");
        config.font5 = QStringLiteral("DejaVu Serif");

        fAboutD box;
        QVERIFY(showAndActivate(box));
        QCOMPARE(box.windowTitle(), QStringLiteral("About Lexicon"));
        QVERIFY(box.TextBox1->toPlainText().startsWith(QStringLiteral("Ελληνικά–English")));
        QVERIFY(box.TextBox1->toPlainText().contains(QStringLiteral("second line")));
        QCOMPARE(box.TextBox1->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(box.TextBox1->font().pointSizeF(), 9.75);
    }

    void noRowWithAnAboutKeepsTheTextButStillSetsTheCaption()
    {
        orvane::testing::FixtureFolder folder;
        QVERIFY(connectTo(folder, {{.name = QStringLiteral("Lexicon"), .about = QString()}}));
        orvane::dictionary::SharedDisplayConfig().configName = QStringLiteral("Lexicon");
        fAboutD box;
        box.TextBox1->setPlainText(QStringLiteral("kept"));
        QVERIFY(showAndActivate(box));
        QCOMPARE(box.TextBox1->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(box.windowTitle(), QStringLiteral("About Lexicon"));
    }

    void focusEndsInTextBox2WithTheTextShownFromItsStart()
    {
        // A row without an about text leaves the text where the user had scrolled it;
        // activation still puts it back to its beginning.
        orvane::testing::FixtureFolder folder;
        QVERIFY(connectTo(folder, {{.name = QStringLiteral("Lexicon"), .about = QString()}}));
        fAboutD box;
        QString longText;
        for (int line = 1; line <= 60; ++line)
            longText += QStringLiteral("line %1\n").arg(line);
        box.TextBox1->setPlainText(longText);
        QVERIFY(showAndActivate(box));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        box.TextBox1->setFocus();
        box.TextBox1->moveCursor(QTextCursor::End);
        QVERIFY(box.TextBox1->verticalScrollBar()->value() > 0);

        QVERIFY(showAndActivate(box)); // back from another window of the program
        QVERIFY(box.TextBox2->hasFocus());
        QCOMPARE(box.TextBox1->textCursor().position(), 0);
        QCOMPARE(box.TextBox1->verticalScrollBar()->value(), 0);
    }

    void comingBackFromAnotherWindowReadsTheTextAgain()
    {
        orvane::testing::FixtureFolder folder;
        QVERIFY(connectTo(folder, {{.name = QStringLiteral("Lexicon"), .about = QStringLiteral("old")}}));
        fAboutD box;
        QVERIFY(showAndActivate(box));
        QCOMPARE(box.TextBox1->toPlainText(), QStringLiteral("old"));

        QVERIFY(connectTo(folder, {{.name = QStringLiteral("Lexicon"), .about = QStringLiteral("new")}}));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        box.TextBox1->setFocus(); // where a click would leave it
        QVERIFY(showAndActivate(box));
        QCOMPARE(box.TextBox1->toPlainText(), QStringLiteral("new"));
        QVERIFY(box.TextBox2->hasFocus());
    }

    void clickingTheLinkOpensTheAddressAndNothingElse()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        fAboutD box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.Label3, Qt::LeftButton);
        QVERIFY(recorder.opened.isEmpty());
        QTest::mouseClick(box.Label4, Qt::RightButton);
        QVERIFY(recorder.opened.isEmpty());
        QTest::mouseClick(box.Label4, Qt::LeftButton);
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl(QString::fromUtf8(fAboutD::WebAddress))});
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
