// The dictionary window's wiring: its boxes, search buttons, list keys and clicks, look-ups and fonts.
#include "FixtureDatabase.h"
#include "WidgetTesting.h"
#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/ResultListModel.h"
#include "ui/dictionary/DictionaryWindow.h"

#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using namespace orvane;
using ui::dictionary::DictionaryWindow;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestDictionaryWindow final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    std::unique_ptr<core::dictionary::DictionarySession> m_session;
    QPointer<DictionaryWindow> m_window;

    QLineEdit* box(const char* name) const { return control<QLineEdit>(m_window, name); }
    QListView* list() const { return control<QListView>(m_window, "resultList"); }
    QString entryText() const { return control<QPlainTextEdit>(m_window, "entryBox")->toPlainText(); }

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
        QTest::mouseClick(control<QPushButton>(m_window, buttonName), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        // clang-format off
        QVERIFY(m_folder.write({.entries = {entry(1, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s),
                                            entry(2, u"ψυχρός"_s, u"psychrós"_s, u"psychros"_s, u"cold"_s),
                                            entry(3, u"κινηματογραφικά"_s, u"kinēmatographiká"_s, {}, {})},
                                .keys = {{u"e-"_s, u"ē"_s}, {u"ē'"_s, u"ḗ"_s}},
                                .configs = {{.name = u"Orvane"_s, .fnt1 = u"DejaVu Serif"_s, .fnt3 = u"No Such Font"_s,
                                             .fnt4 = u"DejaVu Sans Mono"_s, .fnt5 = u"DejaVu Sans"_s,
                                             .fsz1 = 12, .fsz2 = 500, .fsz3 = 13, .fsz4 = 14, .fsz5 = 0}}}));
        // clang-format on
    }

    void init()
    {
        m_session = std::make_unique<core::dictionary::DictionarySession>(m_folder.databasePath());
        QGuiApplication::clipboard()->clear();
        m_window = new DictionaryWindow(m_session.get());
        m_window->show();
        QCOMPARE(activations(m_window), 0); // never inside show() itself
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_COMPARE(activations(m_window), 1);
    }

    void cleanup()
    {
        m_window->close();
        settle();
        QVERIFY(m_window.isNull());
    }

    // Placeholders go only when exact; 15 characters empty the native box; only TextBox11 applies keys.
    void theBoxesAndTheFonts()
    {
        QVERIFY(list()->hasFocus()); // so that the placeholders stay in view
        const QPoint offCentre =
            m_window->geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 4); // opens centred (a frame may shift it by a pixel or two)
        const std::pair<const char*, QString> boxes[] = {{"scriptBox", u"  <native scripts>"_s},
                                                         {"translitBox", u"    <transliteration>"_s},
                                                         {"plainBox", u"  <without diacritics>"_s}};
        for (const auto& [name, placeholder] : boxes) {
            QCOMPARE(box(name)->text(), placeholder);
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
        for (const auto& [length, kept] : {std::pair(14, true), {15, false}, {16, true}}) {
            box("scriptBox")->setText(QString(length, u'ψ'));
            QCOMPARE(box("scriptBox")->text().isEmpty(), !kept);
        }
        typeText(box("translitBox"), u"e-'"_s);
        QCOMPARE(box("translitBox")->text(), u"ḗ"_s);
        QCOMPARE(box("translitBox")->cursorPosition(), 1);
        typeText(box("plainBox"), u"e-"_s);
        QCOMPARE(box("plainBox")->text(), u"e-"_s);

        // Each font setting stands alone: an unknown family or a size out of range is skipped.
        const std::tuple<const char*, QString, double> fonts[] = {{"scriptBox", u"DejaVu Serif"_s, 12},
                                                                  {"translitBox", u"Arial Unicode MS"_s, 9.75},
                                                                  {"plainBox", u"Arial Unicode MS"_s, 13},
                                                                  {"resultList", u"DejaVu Sans Mono"_s, 14},
                                                                  {"entryBox", u"DejaVu Sans"_s, 14.25}};
        for (const auto& [name, family, points] : fonts) {
            QCOMPARE(control<QWidget>(m_window, name)->font().family(), family);
            QCOMPARE(control<QWidget>(m_window, name)->font().pointSizeF(), points);
        }
    }

    void searchesLookUpsAndTheEntryShown()
    {
        control<QPlainTextEdit>(m_window, "entryBox")->setPlainText(u"old entry"_s);
        search("translitBox", "translitSearchButton", u"psych"_s);
        QCOMPARE(listed(), (QStringList{u"psychḗ"_s, u"psychrós"_s}));
        QCOMPARE(entryText(), QString()); // emptied, and no row is current yet
        QVERIFY(list()->hasFocus());

        // An empty box takes the clipboard's text and searches for it.
        QGuiApplication::clipboard()->setText(u"ψυχή"_s);
        box("scriptBox")->setFocus();
        search("scriptBox", "scriptSearchButton", QString());
        QCOMPARE(box("scriptBox")->text(), u"ψυχή"_s);
        QCOMPARE(listed(), QStringList{u"ψυχή"_s});
        QVERIFY(list()->hasFocus());

        box("translitBox")->setText(u"psychr"_s);
        QTest::keyClick(box("translitBox"), Qt::Key_Return); // Enter presses the box's button
        QCOMPARE(listed(), QStringList{u"psychrós"_s});

        // The header is the form not searched; the caret goes to the start, the focus to the list.
        search("scriptBox", "scriptSearchButton", u"ψυχ"_s);
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(entryText(), u"psychḗ\n------------------------\nsoul\n\n"_s);
        QCOMPARE(control<QPlainTextEdit>(m_window, "entryBox")->textCursor().position(), 0);
        QVERIFY(list()->hasFocus());

        // Any button's release over the list shows the current entry again; only the left picks a row.
        list()->setCurrentIndex(list()->model()->index(1, 0));
        for (const auto& [button, row] : {std::pair(Qt::RightButton, 0), {Qt::MiddleButton, 0}, {Qt::LeftButton, 1}}) {
            control<QPlainTextEdit>(m_window, "entryBox")->setPlainText(u"other"_s);
            QTest::mouseClick(list()->viewport(), button, {},
                              list()->visualRect(list()->model()->index(row, 0)).center());
            QCOMPARE(list()->currentIndex().row(), 1);
            QVERIFY(entryText().startsWith(u"psychrós\n"_s));
        }

        // A look-up from outside: the box its letters choose, its button, the first hit shown.
        const std::tuple<QString, const char*, QString, QString> cases[] = {
            {u" ψυχ\nline two"_s, "scriptBox", u"ψυχ"_s, u"psychḗ\n"_s},
            {u"psychr"_s, "plainBox", u"psychr"_s, u"ψυχρός\n"_s},
            {u"psychḗ"_s, "translitBox", u"psychḗ"_s, u"ψυχή\n"_s},
            {u"κινηματογραφικά"_s, "scriptBox", u"κινηματογραφικά "_s, u"kinēmatographiká\n"_s}, // 15 characters
        };
        for (const auto& [text, name, boxText, entry] : cases) {
            m_window->lookUp(text);
            QCOMPARE(box(name)->text(), boxText);
            QVERIFY2(entryText().startsWith(entry), qPrintable(entryText()));
        }
        m_window->lookUp(u" \n "_s); // nothing to look up
        QVERIFY(entryText().startsWith(u"kinē"_s));
    }

    // A picked character goes to the end of the native box, the placeholder first out and the box to 11 points.
    void pickedCharacters()
    {
        m_window->appendToScriptBox(u"ψ"_s);
        QCOMPARE(box("scriptBox")->text(), u"ψ"_s);
        QCOMPARE(box("scriptBox")->font().pointSizeF(), 11.0);
        box("scriptBox")->setCursorPosition(0);
        m_window->appendToScriptBox(u"χ"_s);
        QCOMPARE(box("scriptBox")->text(), u"ψχ"_s);
    }

    // With no current row each move key goes where its name says; typed letters never add up.
    void listKeys()
    {
        core::dictionary::SearchResults results;
        for (int row = 0; row < 40; ++row)
            results.append(row % 2 + 1, row < 20 ? u"ζ"_s : u"σ"_s);
        auto* rows = static_cast<core::dictionary::ResultListModel*>(list()->model());
        rows->setRows(results);
        const int lastOnPage = list()->viewport()->height() / list()->sizeHintForRow(0) - 1;
        const std::pair<int, int> keys[] = {
            {Qt::Key_End, 39}, {Qt::Key_PageDown, lastOnPage}, {Qt::Key_Home, 0}, {Qt::Key_Down, 0}, {Qt::Key_Up, 0}};
        for (const auto& [key, row] : keys) {
            rows->setRows(results);
            QCOMPARE(list()->verticalScrollBar()->value(), 0); // even after End scrolled the old rows
            control<QPlainTextEdit>(m_window, "entryBox")->clear();
            QTest::keyClick(list(), Qt::Key(key));
            QCOMPARE(list()->currentIndex().row(), row);
            QVERIFY(entryText().startsWith(row % 2 ? u"ψυχρός\n"_s : u"ψυχή\n"_s));
        }
        typeText(list(), u"ζσ"_s);
        QCOMPARE(list()->currentIndex().row(), 20);
        QTest::keyClick(list(), Qt::Key_Down); // from a current row the keys move on from it
        QCOMPARE(list()->currentIndex().row(), 21);
    }
};

QTEST_MAIN(TestDictionaryWindow)
#include "test_dictionary_window.moc"
