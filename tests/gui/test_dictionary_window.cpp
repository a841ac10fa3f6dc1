// The dictionary window's wiring: placeholders and clearing, the length rule, the search
// buttons, the entry shown for the current row, key input, fonts from the settings,
// activation without a database, and the requests for the picker and the About box.
#include "FixtureDatabase.h"
#include "WidgetTesting.h"
#include "core/dictionary/DisplayConfig.h"
#include "core/dictionary/ResultListModel.h"
#include "ui/dictionary/frmMdict.h"

#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestDictionaryWindow final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    QPointer<frmMdict> m_window;

    QLineEdit* box(const char* name) const { return control<QLineEdit>(m_window, name); }
    QPushButton* button(const char* name) const { return control<QPushButton>(m_window, name); }
    QListView* list() const { return control<QListView>(m_window, "ListBox1"); }
    QString entryText() const { return control<QPlainTextEdit>(m_window, "TextBox2")->toPlainText(); }

    QStringList listed() const
    {
        QStringList terms;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            terms << list()->model()->index(row, 0).data().toString();
        return terms;
    }

    void search(const char* boxName, const char* buttonName, const QString& text)
    {
        box(boxName)->setText(text);
        QTest::mouseClick(button(buttonName), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.write({.entries = {entry(1, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s),
                                            entry(2, u"ψυχρός"_s, u"psychrós"_s, u"psychros"_s, u"cold"_s),
                                            entry(3, u"κινηματογραφικά"_s, u"kinēmatographiká"_s, {}, {})},
                                .keys = {{u"e-"_s, u"ē"_s}, {u"ē'"_s, u"ḗ"_s}},
                                .configs = {{.name = u"Orvane"_s,
                                             .fnt1 = u"DejaVu Serif"_s,
                                             .fnt3 = u"No Such Font"_s,
                                             .fnt4 = u"DejaVu Sans Mono"_s,
                                             .fnt5 = u"DejaVu Sans"_s,
                                             .fsz1 = 12,
                                             .fsz2 = 500,
                                             .fsz3 = 13,
                                             .fsz4 = 14,
                                             .fsz5 = 0}}}));
    }

    void init()
    {
        dictionary::SharedDisplayConfig() = {};
        data::setProgramFolder(m_folder.path());
        QVERIFY(data::ConnectDatabase());
        QGuiApplication::clipboard()->clear();
        m_window = new frmMdict;
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_COMPARE(activations(m_window), 1);
    }

    void cleanup()
    {
        m_window->close();
        settle();
        QVERIFY(m_window.isNull());
    }

    void placeholdersGoOnlyWhenExact()
    {
        QVERIFY(list()->hasFocus()); // so that the placeholders stay in view
        const std::pair<const char*, QString> boxes[] = {{"TextBox1", u"  <native scripts>"_s},
                                                         {"TextBox11", u"    <transliteration>"_s},
                                                         {"TextBox3", u"  <without diacritics>"_s}};
        for (const auto& [name, placeholder] : boxes) {
            QCOMPARE(box(name)->text(), placeholder);
            QCOMPARE(box(name)->toolTip(), u"Double click to clear"_s);
            box(name)->setText(placeholder + u' ');
            box(name)->setFocus();
            QCOMPARE(box(name)->text(), placeholder + u' ');
            list()->setFocus();
            box(name)->setText(placeholder);
            box(name)->setFocus();
            QCOMPARE(box(name)->text(), QString());
            box(name)->setText(u"typed"_s);
            QTest::mouseDClick(box(name), Qt::LeftButton);
            QCOMPARE(box(name)->text(), QString());
        }
    }

    void theNativeScriptBoxEmptiesAtFifteenCharacters()
    {
        QLineEdit* script = box("TextBox1");
        for (const auto& [text, kept] : {std::pair(14, true), {15, false}, {16, true}}) {
            script->setText(QString(text, u'ψ'));
            QCOMPARE(script->text().isEmpty(), !kept);
        }
        script->setText(QString(14, u'ψ'));
        typeText(script, u"ψ"_s);
        QCOMPARE(script->text(), QString());
    }

    void searchButtons()
    {
        control<QPlainTextEdit>(m_window, "TextBox2")->setPlainText(u"old entry"_s);
        search("TextBox11", "Command4", u"psych"_s);
        QCOMPARE(listed(), (QStringList{u"psychḗ"_s, u"psychrós"_s}));
        QCOMPARE(entryText(), QString()); // emptied, and no row is current yet
        QVERIFY(!list()->currentIndex().isValid());
        QVERIFY(list()->hasFocus());

        search("TextBox3", "Command1", u"  "_s); // blank: nothing is searched
        QCOMPARE(listed(), QStringList());
        QVERIFY(list()->hasFocus());

        // An empty box takes the clipboard's text and searches for it.
        QGuiApplication::clipboard()->setText(u"ψυχή"_s);
        box("TextBox1")->setFocus();
        search("TextBox1", "Command2", QString());
        QCOMPARE(box("TextBox1")->text(), u"ψυχή"_s);
        QCOMPARE(listed(), QStringList{u"ψυχή"_s});
        QVERIFY(list()->hasFocus());

        box("TextBox11")->setText(u"psychr"_s);
        QTest::keyClick(box("TextBox11"), Qt::Key_Return); // Enter presses the box's button
        QCOMPARE(listed(), QStringList{u"psychrós"_s});
    }

    // The header is the form that was not searched; the caret goes to the start and the
    // focus back to the list.
    void theCurrentRowShowsItsEntry()
    {
        search("TextBox1", "Command2", u"ψυχ"_s);
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(entryText(), u"psychḗ\n------------------------\nsoul\n\n"_s);
        QCOMPARE(control<QPlainTextEdit>(m_window, "TextBox2")->textCursor().position(), 0);
        QVERIFY(list()->hasFocus());
        QTest::keyClick(list(), Qt::Key_Down);
        QVERIFY(entryText().startsWith(u"psychrós\n"_s));

        search("TextBox11", "Command4", u"psych"_s);
        list()->setCurrentIndex(list()->model()->index(1, 0));
        QVERIFY(entryText().startsWith(u"ψυχρός\n"_s));

        // Any button's release over the list shows the current entry again; only the left
        // button picks a row.
        for (const auto& [button, row] : {std::pair(Qt::RightButton, 0), {Qt::MiddleButton, 0}, {Qt::LeftButton, 1}}) {
            control<QPlainTextEdit>(m_window, "TextBox2")->setPlainText(u"other"_s);
            QTest::mouseClick(list()->viewport(), button, {},
                              list()->visualRect(list()->model()->index(row, 0)).center());
            QCOMPARE(list()->currentIndex().row(), 1);
            QVERIFY(entryText().startsWith(u"ψυχρός\n"_s));
        }
    }

    // With no current row each move key goes where its name says; typed letters never add up.
    void listKeys()
    {
        dictionary::SearchResults results;
        for (int row = 0; row < 40; ++row)
            results.append(row % 2 + 1, row < 20 ? u"ζ"_s : u"σ"_s);
        auto* rows = static_cast<dictionary::ResultListModel*>(list()->model());
        rows->setRows(results);
        const int lastOnPage = list()->viewport()->height() / list()->sizeHintForRow(0) - 1;
        const std::pair<int, int> keys[] = {
            {Qt::Key_End, 39}, {Qt::Key_PageDown, lastOnPage}, {Qt::Key_Home, 0}, {Qt::Key_Down, 0}, {Qt::Key_Up, 0}};
        for (const auto& [key, row] : keys) {
            rows->setRows(results);
            QCOMPARE(list()->verticalScrollBar()->value(), 0); // even after End scrolled the old rows
            control<QPlainTextEdit>(m_window, "TextBox2")->clear();
            QTest::keyClick(list(), Qt::Key(key));
            QCOMPARE(list()->currentIndex().row(), row);
            QVERIFY(entryText().startsWith(row % 2 ? u"ψυχρός\n"_s : u"ψυχή\n"_s));
        }
        typeText(list(), u"ζσ"_s);
        QCOMPARE(list()->currentIndex().row(), 20);
    }

    // A look-up from outside: the box its letters choose, its button, the first hit shown.
    void aLookUpSearchesInTheBoxThatFits()
    {
        const std::tuple<QString, const char*, QString, QString> cases[] = {
            {u" ψυχ\nline two"_s, "TextBox1", u"ψυχ"_s, u"psychḗ\n"_s},
            {u"psychr"_s, "TextBox3", u"psychr"_s, u"ψυχρός\n"_s},
            {u"psychḗ"_s, "TextBox11", u"psychḗ"_s, u"ψυχή\n"_s},
            {u"κινηματογραφικά"_s, "TextBox1", u"κινηματογραφικά "_s, u"kinēmatographiká\n"_s}, // 15 characters
        };
        for (const auto& [text, name, boxText, entry] : cases) {
            m_window->lookUp(text);
            QCOMPARE(box(name)->text(), boxText);
            QVERIFY2(entryText().startsWith(entry), qPrintable(entryText()));
        }
        m_window->lookUp(u" \n "_s); // nothing to look up
        QVERIFY(entryText().startsWith(u"kinē"_s));
    }

    void keySequencesInTheTransliterationBoxOnly()
    {
        box("TextBox11")->clear();
        typeText(box("TextBox11"), u"e-'"_s);
        QCOMPARE(box("TextBox11")->text(), u"ḗ"_s);
        QCOMPARE(box("TextBox11")->cursorPosition(), 1);
        box("TextBox3")->clear();
        typeText(box("TextBox3"), u"e-"_s);
        QCOMPARE(box("TextBox3")->text(), u"e-"_s);
    }

    // Each setting stands alone: an unknown family or a size out of range is skipped.
    void fontsFromTheSettings()
    {
        const struct
        {
            const char* control;
            QString family;
            double points;
        } fonts[] = {{"TextBox1", u"DejaVu Serif"_s, 12},
                     {"TextBox11", u"Arial Unicode MS"_s, 9.75},
                     {"TextBox3", u"Arial Unicode MS"_s, 13},
                     {"ListBox1", u"DejaVu Sans Mono"_s, 14},
                     {"TextBox2", u"DejaVu Sans"_s, 14.25}};
        for (const auto& font : fonts) {
            const QWidget* widget = control<QWidget>(m_window, font.control);
            QCOMPARE(widget->font().family(), font.family);
            QCOMPARE(widget->font().pointSizeF(), font.points);
        }
    }

    void activationWithoutADatabaseTellsTheUserAndGoesOn()
    {
        MessageBoxAcceptor boxes;
        QStringList reported;
        data::setErrorNotifier([&](const QString& message) { reported << message; });
        FixtureFolder empty; // no orvane.mdb
        m_window->Form_Activate();
        data::setErrorNotifier({});
        QCOMPARE(reported, QStringList{u"unexpected error"_s});
        QCOMPARE(boxes.texts, QStringList{u"Cannot continue"_s});
        search("TextBox11", "Command4", u"psych"_s);
        QCOMPARE(listed().size(), 2); // the last connection is kept
    }

    void pickerAndAboutAreRequested()
    {
        QSignalSpy picker(m_window.data(), &frmMdict::pickerRequested);
        QSignalSpy about(m_window.data(), &frmMdict::aboutRequested);
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        QCOMPARE(picker.size(), 1);
        QCOMPARE(about.size(), 1);
        QCOMPARE(m_window->nativeScriptBox(), box("TextBox1"));
    }
};

QTEST_MAIN(TestDictionaryWindow)
#include "test_dictionary_window.moc"
