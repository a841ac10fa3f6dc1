// The character picker: paging through tbl_glyph, the buttons' states, the focus rules,
// appending to the dictionary window's native-script box and reloading on activation.
#include "FixtureDatabase.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"
#include "dictionary/frmMdict.h"
#include "picker/fGlyph.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <optional>

using orvane::fGlyph;
using orvane::frmMdict;
using Glyphs = QList<std::optional<QString>>;

namespace {

const QString Placeholder = QStringLiteral("  <native scripts>");

// Distinct one-code-unit glyphs, as many as the largest table needs.
QString glyphFor(int row)
{
    return QString(QChar(0x4E00 + row));
}

Glyphs numberedGlyphs(int count)
{
    Glyphs glyphs;
    for (int row = 0; row < count; ++row)
        glyphs.append(glyphFor(row));
    return glyphs;
}

// The dictionary window that owns the picker, and its native-script box.
struct Owner
{
    frmMdict window;
    QLineEdit* box = window.findChild<QLineEdit*>(QStringLiteral("TextBox1"));
};

// Accepts the next modal message box and records its text.
void acceptNextMessage(QString* text)
{
    QTimer::singleShot(0, [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return acceptNextMessage(text); // not open yet
        *text = box->text();
        box->accept();
    });
}

} // namespace

class TestPicker final : public QObject
{
    Q_OBJECT

    orvane::testing::FixtureFolder m_folder;

    // Writes orvane.mdb with `glyphs` as tbl_glyph (ids 1, 2, ...) and connects to it.
    void useGlyphTable(const Glyphs& glyphs)
    {
        orvane::testing::FixtureRows rows;
        for (int row = 0; row < glyphs.size(); ++row)
            rows.glyphs.emplace_back(row + 1, glyphs[row]);
        QString error;
        QVERIFY2(m_folder.write(rows, {}, &error), qPrintable(error));
        QVERIFY(orvane::data::ConnectDatabase());
    }

    // What button i of page p must show: the row's glyph while the row lies within the
    // store (slots 0..5000), empty for a null glyph or past the end.
    static QString expectedCaption(const Glyphs& glyphs, int page, int button)
    {
        const int slot = page * fGlyph::GridButtons + button;
        if (slot >= fGlyph::StoreSlots || slot >= glyphs.size())
            return {};
        return glyphs[slot].value_or(QString());
    }

    // Shows the dictionary window and over it the picker, as "#" does, and waits for the
    // picker's activation to have loaded the table.
    static fGlyph* openPicker(Owner& owner)
    {
        owner.window.show();
        auto* picker = new fGlyph(&owner.window);
        picker->show();
        picker->activateWindow();
        if (!QTest::qWaitForWindowActive(picker))
            return nullptr;
        QTest::qWait(50); // the activation handler runs from a queued call
        return picker;
    }

    static void verifyPage(const fGlyph& picker, const Glyphs& glyphs, int page)
    {
        QCOMPARE(picker.pageIndex(), page);
        for (int i = 0; i < fGlyph::GridButtons; ++i)
            QCOMPARE(picker.CmdB(i)->text(), expectedCaption(glyphs, page, i));
        QCOMPARE(picker.tiep2()->isEnabled(), page > 0);
    }

private slots:
    void init()
    {
        orvane::dictionary::SharedDisplayConfig() = {};
        orvane::data::setProgramFolder(m_folder.path());
    }

    void designedWindow()
    {
        fGlyph picker;
        QCOMPARE(picker.windowTitle(), QStringLiteral("Insert Characters"));
        QCOMPARE(picker.size(), QSize(384, 319));
        QVERIFY(picker.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!picker.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!picker.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(picker.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!picker.tiep1()->isEnabled());
        QVERIFY(!picker.tiep2()->isEnabled());
        QCOMPARE(picker.CommandButton1()->text(), QStringLiteral("Close"));
        QVERIFY(picker.CommandButton1()->font().bold());
        for (int i = 0; i < fGlyph::GridButtons; ++i) { // 12 across, a 495-twip square every 480 twips
            QPushButton* button = picker.findChild<QPushButton*>(QStringLiteral("CmdB_%1").arg(i));
            QVERIFY(button);
            QCOMPARE(button->geometry(), QRect(32 * (i % 12), 32 * (i / 12), 33, 33));
            QCOMPARE(button->font().pointSizeF(), 14.25);
            QCOMPARE(button->focusPolicy(), Qt::ClickFocus); // no tab stop, yet "<" can focus it
        }
    }

    // Walks forward with ">" as far as it goes and back with "<" to the first page,
    // checking every page's captions and both buttons on the way.
    void paging_data()
    {
        QTest::addColumn<Glyphs>("glyphs");
        QTest::addColumn<QList<bool>>("nextEnabledPerPage"); // one entry per page reachable

        QList<bool> fortySevenPages(46, true);
        fortySevenPages.append(false);

        Glyphs nullOnFirstPage = numberedGlyphs(300);
        nullOnFirstPage[50] = std::nullopt;
        Glyphs emptyOnSecondPage = numberedGlyphs(300);
        emptyOnSecondPage[150] = QString();
        Glyphs nullAtSlot108 = numberedGlyphs(300);
        nullAtSlot108[108] = std::nullopt;

        QTest::newRow("empty table") << Glyphs() << QList<bool>{false};
        QTest::newRow("one glyph") << numberedGlyphs(1) << QList<bool>{false};
        QTest::newRow("108: one full page") << numberedGlyphs(108) << QList<bool>{false};
        QTest::newRow("109: one glyph on page 2") << numberedGlyphs(109) << QList<bool>{true, false};
        QTest::newRow("216: an empty third page") << numberedGlyphs(216) << QList<bool>{true, true, false};
        QTest::newRow("5002: the store ends at slot 5000") << numberedGlyphs(5002) << fortySevenPages;
        QTest::newRow("null glyph on page 1: only slot 108 decides at load")
            << nullOnFirstPage << QList<bool>{true, true, false};
        QTest::newRow("empty glyph on page 2 stops paging") << emptyOnSecondPage << QList<bool>{true, false};
        QTest::newRow("null glyph in slot 108") << nullAtSlot108 << QList<bool>{false};
    }
    void paging()
    {
        QFETCH(Glyphs, glyphs);
        QFETCH(QList<bool>, nextEnabledPerPage);
        useGlyphTable(glyphs);
        fGlyph picker;
        picker.LoadGlyphs();

        const int lastPage = int(nextEnabledPerPage.size()) - 1;
        for (int page = 0;; ++page) {
            verifyPage(picker, glyphs, page);
            QCOMPARE(picker.tiep1()->isEnabled(), nextEnabledPerPage[page]);
            if (page == lastPage)
                break;
            picker.tiep1()->click();
        }
        picker.tiep1()->click(); // disabled: must not turn the page
        QCOMPARE(picker.pageIndex(), lastPage);

        for (int page = lastPage - 1; page >= 0; --page) {
            picker.tiep2()->click();
            verifyPage(picker, glyphs, page);
            QVERIFY(picker.tiep1()->isEnabled());
        }
    }

    void focusAfterPaging()
    {
        useGlyphTable(numberedGlyphs(250)); // three pages, the last one partly filled
        Owner owner;
        fGlyph* picker = openPicker(owner);
        QVERIFY(picker);
        QVERIFY(picker->tiep1()->isEnabled()); // the activation has loaded the table

        // ">" leaves the focus where it was.
        picker->CmdB(5)->setFocus();
        picker->tiep1()->click();
        QCOMPARE(picker->pageIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), picker->CmdB(5));

        // "<" hands it to the first grid button.
        picker->tiep2()->click();
        QCOMPARE(picker->pageIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), picker->CmdB(0));

        // A ">" that disables itself while holding the focus passes it to "<", not to "Close".
        picker->tiep1()->setFocus();
        QTest::keyClick(picker->tiep1(), Qt::Key_Space);
        QTest::keyClick(picker->tiep1(), Qt::Key_Space);
        QCOMPARE(picker->pageIndex(), 2);
        QVERIFY(!picker->tiep1()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), picker->tiep2());

        // Clicking a glyph leaves the focus in the picker, not in the box it writes to.
        picker->CmdB(1)->setFocus();
        QTest::mouseClick(picker->CmdB(1), Qt::LeftButton);
        QCOMPARE(owner.box->text(), glyphFor(217));
        QCOMPARE(QApplication::activeWindow(), picker);
        QVERIFY(!owner.box->hasFocus());
        picker->close();
    }

    void appendToNativeScriptBox_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("after");
        QTest::addColumn<double>("pointSize");

        const QString a = glyphFor(3), b = glyphFor(7);
        QTest::newRow("placeholder: cleared, then the glyph at 11 pt") << Placeholder << QList<int>{3} << a << 11.0;
        QTest::newRow("later clicks append") << Placeholder << QList<int>{3, 7, 3} << a + b + a << 11.0;
        QTest::newRow("typed text: appended, size kept")
            << QStringLiteral("ab") << QList<int>{7} << QStringLiteral("ab") + b << 9.75;
        QTest::newRow("empty box") << QString() << QList<int>{3} << a << 9.75;
        QTest::newRow("placeholder less a blank is text")
            << Placeholder.mid(1) << QList<int>{3} << Placeholder.mid(1) + a << 9.75;
        QTest::newRow("placeholder in other case is text")
            << Placeholder.toUpper() << QList<int>{3} << Placeholder.toUpper() + a << 9.75;
        QTest::newRow("empty button inserts nothing") << Placeholder << QList<int>{60} << Placeholder << 9.75;
        QTest::newRow("empty button after a glyph: nothing more")
            << QStringLiteral("x") << QList<int>{3, 60, 61} << QStringLiteral("x") + a << 9.75;
        QTest::newRow("an ampersand is a glyph like any other") << QString() << QList<int>{9, 9} << "&&" << 9.75;
        // Every write goes through the dictionary's own change handling, as a typed character would.
        const QString fourteen = QStringLiteral("12345678901234");
        QTest::newRow("a 15th character empties the box") << fourteen << QList<int>{3} << QString() << 9.75;
        QTest::newRow("and the next glyph starts it afresh") << fourteen << QList<int>{3, 7} << b << 9.75;
    }
    void appendToNativeScriptBox()
    {
        QFETCH(QString, before);
        QFETCH(QList<int>, clicks);
        QFETCH(QString, after);
        QFETCH(double, pointSize);

        Glyphs glyphs = numberedGlyphs(50);
        glyphs[9] = QStringLiteral("&");
        useGlyphTable(glyphs);
        Owner owner;
        owner.box->setText(before);
        owner.box->setCursorPosition(0); // the caret does not decide where the glyph goes
        fGlyph picker(&owner.window);
        picker.LoadGlyphs();
        QCOMPARE(picker.CmdB(9)->text(), QStringLiteral("&&")); // a single "&" would mark a shortcut
        for (int button : clicks)
            picker.CmdB(button)->click();

        QCOMPARE(owner.box->text(), after);
        QCOMPARE(owner.box->font().pointSizeF(), pointSize);
    }

    // The click that brings the picker back from the dictionary window reloads it on the
    // first page; the window system may deliver the press before or after that reload.
    // Either way the click inserts the glyph the user saw when pressing.
    void clickThatBringsThePickerBack_data()
    {
        QTest::addColumn<bool>("pressBeforeReload");
        QTest::addColumn<int>("doubleClickMs");
        QTest::addColumn<int>("expectedRow"); // button 4 shows row 112 on page 2, row 4 on page 1
        QTest::newRow("press, reload, release") << true << 400 << 112;
        QTest::newRow("reload, then the press within the double-click time") << false << 60000 << 112;
        QTest::newRow("reload, then a press much later") << false << 0 << 4;
    }
    void clickThatBringsThePickerBack()
    {
        QFETCH(bool, pressBeforeReload);
        QFETCH(int, doubleClickMs);
        QFETCH(int, expectedRow);
        QStyleHints* hints = QGuiApplication::styleHints();
        const int savedInterval = hints->mouseDoubleClickInterval();
        hints->setMouseDoubleClickInterval(doubleClickMs);
        const auto restore = qScopeGuard([&] { hints->setMouseDoubleClickInterval(savedInterval); });

        useGlyphTable(numberedGlyphs(150));
        Owner owner;
        fGlyph* picker = openPicker(owner);
        QVERIFY(picker);
        owner.box->clear();
        picker->tiep1()->click();
        QPushButton* button = picker->CmdB(4);

        if (pressBeforeReload) {
            QTest::mousePress(button, Qt::LeftButton);
            picker->Form_Activate();
            QCOMPARE(button->text(), glyphFor(4));
            QTest::mouseRelease(button, Qt::LeftButton);
        } else {
            picker->Form_Activate();
            QTest::qWait(doubleClickMs == 0 ? 20 : 0);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(owner.box->text(), glyphFor(expectedRow));

        QTest::mouseClick(button, Qt::LeftButton); // later clicks take what the button shows
        QCOMPARE(owner.box->text(), glyphFor(expectedRow) + glyphFor(4));
    }

    // Coming back to the picker from the dictionary window re-reads the table and shows
    // the first page, whatever page was showing.
    void reactivationShowsFirstPageAgain()
    {
        useGlyphTable(numberedGlyphs(300));
        Owner owner;
        QPointer<fGlyph> picker = openPicker(owner);
        QVERIFY(picker);
        QVERIFY(picker->tiep1()->isEnabled());
        picker->tiep1()->click();
        picker->tiep1()->click();
        QCOMPARE(picker->pageIndex(), 2);

        const Glyphs changed = numberedGlyphs(120).mid(10);
        useGlyphTable(changed);
        owner.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&owner.window));
        picker->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(picker));

        QTRY_COMPARE(picker->pageIndex(), 0);
        QTRY_COMPARE(picker->CmdB(0)->text(), glyphFor(10));
        verifyPage(*picker, changed, 0);
        QVERIFY(picker->tiep1()->isEnabled());

        picker->CommandButton1()->click();
        QTRY_VERIFY(picker.isNull()); // "Close" unloads the window
    }

    void activationAppliesGridFont_data()
    {
        QTest::addColumn<QString>("font1");
        QTest::addColumn<QString>("expectedFamily");
        QTest::newRow("configured") << QStringLiteral("DejaVu Serif") << QStringLiteral("DejaVu Serif");
        QTest::newRow("not loaded yet: designed font") << QString() << QStringLiteral("Arial Unicode MS");
        QTest::newRow("unknown family: designed font")
            << QStringLiteral("No Such Font 123") << QStringLiteral("Arial Unicode MS");
    }
    void activationAppliesGridFont()
    {
        QFETCH(QString, font1);
        QFETCH(QString, expectedFamily);
        useGlyphTable(numberedGlyphs(5));
        orvane::dictionary::SharedDisplayConfig().font1 = font1;
        fGlyph picker;
        picker.Form_Activate();
        for (int i = 0; i < fGlyph::GridButtons; ++i) {
            QCOMPARE(picker.CmdB(i)->font().family(), expectedFamily);
            QCOMPARE(picker.CmdB(i)->font().pointSizeF(), fGlyph::GridFontPoints);
        }
    }

    void activationWithoutDatabase()
    {
        useGlyphTable(numberedGlyphs(200));
        fGlyph picker;
        picker.LoadGlyphs();
        picker.tiep1()->click();

        orvane::data::SharedDatabase().reset();
        const QTemporaryDir emptyFolder;
        orvane::data::setProgramFolder(emptyFolder.path());
        QString message;
        acceptNextMessage(&message);
        picker.Form_Activate();

        QCOMPARE(message, QStringLiteral("Cannot continue"));
        QCOMPARE(picker.pageIndex(), 0);
        for (int i = 0; i < fGlyph::GridButtons; ++i)
            QVERIFY(picker.CmdB(i)->text().isEmpty());
        QVERIFY(!picker.tiep1()->isEnabled());
        QVERIFY(!picker.tiep2()->isEnabled());
    }
};

QTEST_MAIN(TestPicker)
#include "test_picker.moc"
