// The dictionary window's wiring, what the keyboard and a screen reader meet, and the search in meanings it opens.
#include "FixtureDatabase.h"
#include "TableRows.h"
#include "WidgetTesting.h"
#include "app/WindowRegistry.h"
#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/ResultListModel.h"
#include "ui/dictionary/DictionaryWindow.h"
#include "ui/dictionary/MeaningSearchDialog.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;
using ui::dictionary::DictionaryWindow;
using TextCase = std::tuple<const char*, const char*, QString>; // a control, a text
using FontCase = std::tuple<const char*, const char*, QString, double>;
using ButtonCase = std::tuple<const char*, Qt::MouseButton, int>;
using LookUpCase = std::tuple<const char*, QString, const char*, QString, QString>; // the box, its text, the header
using KeyCase = std::tuple<const char*, Qt::Key, int>;

class TestDictionaryWindow final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    std::unique_ptr<core::dictionary::DictionarySession> m_session;
    QPointer<DictionaryWindow> m_window;

    QLineEdit* box(const char* name) const { return control<QLineEdit>(m_window, name); }
    QListView* list() const { return control<QListView>(m_window, "resultList"); }
    QPlainTextEdit* entryBox() const { return control<QPlainTextEdit>(m_window, "entryBox"); }
    QString header() const { return entryBox()->toPlainText().section(u'\n', 0, 0); }
    int rows() const { return list()->model()->rowCount(); }

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

    // It opens centred, at the scale the test runs at with the icon drawn for it, showing all of every text, the
    // placeholders in their configured size or smaller. From the list, where the focus is, Tab follows the layout and
    // each control says what it is, the three "OK"s apart.
    void opens()
    {
        const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", u"1"_s).toDouble();
        QCOMPARE(m_window->devicePixelRatioF(), scale);
        QCOMPARE(m_window->windowIcon().pixmap(QSize(22, 22), scale).size(), QSize(22, 22) * scale);
        const QPoint offCentre =
            m_window->geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 4); // a frame may shift it by a pixel or two
        QCOMPARE(cutTexts(m_window), QStringList());
        QVERIFY(list()->hasFocus()); // so that the placeholders stay in view
        QCOMPARE(tabOrder(list()), (QStringList{u"Search results"_s, u"Insert characters"_s, u"Native script"_s,
                                                u"Search native script"_s, u"Transliteration"_s,
                                                u"Search transliteration"_s, u"Without diacritics"_s,
                                                u"Search without diacritics"_s, u"Help"_s, u"About"_s, u"Entry"_s}));
    }

    // A placeholder goes when its box takes the focus, but only when exact; a double click empties any text.
    void placeholders_data()
    {
        const TextCase cases[] = {{"native script", "scriptBox", u"  <native scripts>"_s},
                                  {"transliteration", "translitBox", u"    <transliteration>"_s},
                                  {"without diacritics", "plainBox", u"  <without diacritics>"_s}};
        addRows(cases);
    }

    void placeholders()
    {
        const auto& [name, boxName, placeholder] = given<TextCase>();
        QLineEdit* searchBox = box(boxName);
        QCOMPARE(searchBox->text(), placeholder);
        searchBox->setFocus();
        QCOMPARE(searchBox->text(), QString());
        list()->setFocus();
        searchBox->setText(placeholder + u' ');
        searchBox->setFocus();
        QCOMPARE(searchBox->text(), placeholder + u' ');
        QTest::mouseDClick(searchBox, Qt::LeftButton);
        QCOMPARE(searchBox->text(), QString());
    }

    // A picked character goes to the end of the native box, the placeholder first out and the box to 11 points. 15
    // characters empty the native box, however they came; only the transliteration box applies keys.
    void theBoxesRules()
    {
        m_window->appendToScriptBox(u"ψ"_s);
        QCOMPARE(box("scriptBox")->text(), u"ψ"_s);
        QCOMPARE(box("scriptBox")->font().pointSizeF(), 11.0);
        box("scriptBox")->setCursorPosition(0);
        m_window->appendToScriptBox(u"χ"_s);
        QCOMPARE(box("scriptBox")->text(), u"ψχ"_s);
        for (const int length : {14, 16}) {
            box("scriptBox")->setText(QString(length, u'ψ'));
            QCOMPARE(box("scriptBox")->text().size(), length);
        }
        box("scriptBox")->setText(QString(15, u'ψ'));
        QCOMPARE(box("scriptBox")->text(), QString());
        box("translitBox")->clear();
        typeText(box("translitBox"), u"e-'"_s);
        QCOMPARE(box("translitBox")->text(), u"ḗ"_s);
        QCOMPARE(box("translitBox")->cursorPosition(), 1);
        box("plainBox")->clear();
        typeText(box("plainBox"), u"e-"_s);
        QCOMPARE(box("plainBox")->text(), u"e-"_s);
    }

    // Each font setting stands alone: an unknown family or a size out of range is skipped.
    void fonts_data()
    {
        const FontCase cases[] = {{"native script: fnt1, fsz1", "scriptBox", u"DejaVu Serif"_s, 12.0},
                                  {"transliteration: no such font, 500 pt", "translitBox", u"Arial Unicode MS"_s, 9.75},
                                  {"without diacritics: fnt3, fsz3", "plainBox", u"Arial Unicode MS"_s, 13.0},
                                  {"result list: fnt4, fsz4", "resultList", u"DejaVu Sans Mono"_s, 14.0},
                                  {"entry: fnt5, 0 pt", "entryBox", u"DejaVu Sans"_s, 14.25}};
        addRows(cases);
    }

    void fonts()
    {
        const auto& [name, controlName, family, points] = given<FontCase>();
        QWidget* widget = control<QWidget>(m_window, controlName);
        if (auto* box = qobject_cast<QLineEdit*>(widget))
            box->clear(); // a placeholder may show smaller
        QCOMPARE(widget->font().family(), family);
        QCOMPARE(widget->font().pointSizeF(), points);
    }

    // A box's button or Enter runs its search, empties the entry and moves the focus to the list.
    void searches()
    {
        entryBox()->setPlainText(u"old entry"_s);
        search("translitBox", "translitSearchButton", u"psych"_s);
        QCOMPARE(rows(), 2);
        QCOMPARE(entryBox()->toPlainText(), QString()); // emptied, and no row is current yet
        QVERIFY(list()->hasFocus());

        // An empty box takes the clipboard's text and searches for it.
        QGuiApplication::clipboard()->setText(u"ψυχή"_s);
        box("scriptBox")->setFocus();
        search("scriptBox", "scriptSearchButton", QString());
        QCOMPARE(box("scriptBox")->text(), u"ψυχή"_s);
        QCOMPARE(rows(), 1);
        QVERIFY(list()->hasFocus());

        box("plainBox")->setText(u"psychro"_s);
        QTest::keyClick(box("plainBox"), Qt::Key_Return); // Enter presses the box's button
        QCOMPARE(rows(), 1);
    }

    // Any button's release over the list shows the current entry again; only the left picks a row.
    void releasesOverTheList_data()
    {
        const ButtonCase cases[] = {{"left", Qt::LeftButton, 0}, {"right", Qt::RightButton, 1}};
        addRows(cases);
    }

    void releasesOverTheList()
    {
        const auto& [name, button, current] = given<ButtonCase>();
        search("scriptBox", "scriptSearchButton", u"ψυχ"_s);
        list()->setCurrentIndex(list()->model()->index(1, 0));
        entryBox()->setPlainText(u"other"_s);
        QTest::mouseClick(list()->viewport(), button, {}, list()->visualRect(list()->model()->index(0, 0)).center());
        QCOMPARE(list()->currentIndex().row(), current);
        QCOMPARE(header(), current ? u"psychrós"_s : u"psychḗ"_s);
    }

    // A look-up from outside: the box its letters choose, its button, the first hit shown.
    void lookUps_data()
    {
        const LookUpCase cases[] = {
            {"native script", u"ψυχ"_s, "scriptBox", u"ψυχ"_s, u"psychḗ"_s},
            {"transliteration", u"psychḗ"_s, "translitBox", u"psychḗ"_s, u"ψυχή"_s},
            {"15 characters, kept", u"κινηματογραφικά"_s, "scriptBox", u"κινηματογραφικά "_s, u"kinēmatographiká"_s},
        };
        addRows(cases);
    }

    void lookUps()
    {
        const auto& [name, text, boxName, boxText, firstHit] = given<LookUpCase>();
        m_window->lookUp(text);
        QCOMPARE(box(boxName)->text(), boxText);
        QCOMPARE(header(), firstHit);
        m_window->lookUp(u" \n "_s); // nothing to look up
        QCOMPARE(header(), firstHit);
    }

    // With no current row each move key goes where its name says, from the top however far old rows were scrolled.
    // Typed letters never add up into a longer search text.
    void listKeys_data()
    {
        // -1: the last row of the first page. Home and Down go to the first row as Up does.
        const KeyCase cases[] = {{"End", Qt::Key_End, 39}, {"Page Down", Qt::Key_PageDown, -1}, {"Up", Qt::Key_Up, 0}};
        addRows(cases);
    }

    void listKeys()
    {
        auto [name, key, row] = given<KeyCase>();
        core::dictionary::SearchResults results;
        for (int i = 0; i < 40; ++i)
            results.append(i % 2 + 1, i < 20 ? u"ζ"_s : u"σ"_s);
        auto* rows = static_cast<core::dictionary::ResultListModel*>(list()->model());
        rows->setRows(results);
        QTest::keyClick(list(), Qt::Key_End);
        rows->setRows(results);
        QCOMPARE(list()->verticalScrollBar()->value(), 0);
        if (row < 0)
            row = list()->viewport()->height() / list()->sizeHintForRow(0) - 1;
        QTest::keyClick(list(), key);
        QCOMPARE(list()->currentIndex().row(), row);
        QCOMPARE(header(), row % 2 ? u"ψυχρός"_s : u"ψυχή"_s);
        typeText(list(), u"ζσ"_s); // the next row that begins with each, wherever the keys left it
        QCOMPARE(list()->currentIndex().row(), 20);
        QTest::keyClick(list(), Qt::Key_Down); // from a current row the keys move on from it
        QCOMPARE(list()->currentIndex().row(), 21);
        typeText(list(), u"ζ"_s); // past the last row that begins with it, round to the first
        QCOMPARE(list()->currentIndex().row(), 0);
    }

    // Ctrl+F or a context menu opens the window's search; Enter searches, a hit walked to shows in the window.
    void searchInMeanings()
    {
        app::WindowRegistry registry(m_folder.databasePath());
        DictionaryWindow* window = registry.showDictionary();
        QTRY_COMPARE(activations(window), 1);
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        const QPointer<ui::dictionary::MeaningSearchDialog> dialog = registry.meaningSearch();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), window);
        QVERIFY(!control<QLabel>(dialog, "noIndexLabel")->isVisibleTo(dialog));
        auto* queryBox = control<QLineEdit>(dialog, "queryBox");
        typeText(queryBox, u"SOUL"_s);
        QTest::keyClick(queryBox, Qt::Key_Return);
        QCOMPARE(control<QLabel>(dialog, "countLabel")->text(), u"1 entry"_s);
        QCOMPARE(control<QAbstractItemView>(dialog, "hitList")->model()->index(0, 1).data().toString(), u"soul"_s);
        QTest::keyClick(queryBox, Qt::Key_Down);
        QCOMPARE(control<QPlainTextEdit>(window, "entryBox")->toPlainText().section(u'\n', 0, 0), u"ψυχή"_s);

        dialog->close();
        settle();
        QContextMenuEvent fromKeyboard(QContextMenuEvent::Keyboard, {}, {});
        QApplication::sendEvent(control<QPlainTextEdit>(window, "entryBox"), &fromKeyboard);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().last()->text(), u"Search in meanings…"_s);
        menu->actions().last()->trigger();
        QVERIFY(registry.meaningSearch());
        QVERIFY(registry.meaningSearch() != dialog);
        menu->close();

        FixtureFolder unindexed;
        QVERIFY(unindexed.write({.entries = {entry(1, u"ψυχή"_s, {}, {}, {})}}, {.meaningIndex = false}));
        core::dictionary::DictionarySession session(unindexed.databasePath());
        QVERIFY(session.reconnect());
        const ui::dictionary::MeaningSearchDialog withoutIndex(&session, nullptr);
        QVERIFY(control<QLabel>(&withoutIndex, "noIndexLabel")->isVisibleTo(&withoutIndex));
    }
};

QTEST_MAIN(TestDictionaryWindow)
#include "test_dictionary_window.moc"
