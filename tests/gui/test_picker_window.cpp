// The picker's wiring: the grid, "<" and ">", the glyphs it offers, the keyboard, and activation's reload.
#include "FixtureDatabase.h"
#include "WidgetTesting.h"
#include "core/dictionary/DictionarySession.h"
#include "ui/picker/CharacterPicker.h"

#include <QPointer>
#include <QPushButton>
#include <QWindow>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;
using ui::picker::CharacterPicker;

namespace {
QString glyph(int id)
{
    return id == 1 ? u"&"_s : QString(QChar(0x3B0 + id));
}
} // namespace

class TestPickerWindow final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    core::dictionary::DictionarySession m_session{m_folder.databasePath()};
    QWidget m_owner;
    QPointer<CharacterPicker> m_picker;
    QStringList m_chosen; // what the picker offered

    QString caption(int button) const { return m_picker->gridButton(button)->text(); }

    // "<>" with "-" for a disabled one.
    QString pageButtons() const
    {
        return QString(m_picker->previousPageButton()->isEnabled() ? u'<' : u'-') +
               (m_picker->nextPageButton()->isEnabled() ? u'>' : u'-');
    }

private slots:
    void initTestCase()
    {
        FixtureRows rows;
        for (int id = 1; id <= 120; ++id)
            rows.glyphs.emplace_back(id, glyph(id));
        rows.configs = {{.name = u"Orvane"_s, .fnt1 = u"DejaVu Serif"_s}};
        QVERIFY(m_folder.write(rows));
        QVERIFY(m_session.reconnect());
        m_session.loadDisplaySettings();
        m_owner.show();
    }

    void init()
    {
        m_chosen.clear();
        m_picker = new CharacterPicker(&m_session, &m_owner);
        connect(m_picker, &CharacterPicker::glyphChosen, this, [this](const QString& chosen) { m_chosen << chosen; });
        m_picker->show();
        QVERIFY(QTest::qWaitForWindowActive(m_picker));
        QTRY_COMPARE(activations(m_picker), 1);
    }

    void cleanup()
    {
        QTest::mouseClick(m_picker->closeButton(), Qt::LeftButton);
        settle();
        QVERIFY(m_picker.isNull());
    }

    void pagesButtonsAndGlyphs()
    {
        QCOMPARE(m_picker->gridButton(0)->font().family(), u"DejaVu Serif"_s);
        QCOMPARE(pageButtons(), u"->"_s);

        // The grid is one Tab stop (its last focused button, named by its glyph); arrow keys move up to its edges.
        QCOMPARE(tabOrder(m_picker->gridButton(0)), (QStringList{u"AMPERSAND"_s, u"Next page"_s, u"Close"_s}));
        const std::pair<Qt::Key, int> walk[] = {{Qt::Key_Left, 1}, {Qt::Key_Up, 1},   {Qt::Key_Right, 12},
                                                {Qt::Key_Down, 9}, {Qt::Key_Left, 1}, {Qt::Key_Space, 1}};
        for (const auto& [key, times] : walk)
            for (int i = 0; i < times; ++i)
                QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(tabOrder(m_picker->closeButton()),
                 (QStringList{u"Close"_s, u"CYRILLIC CAPITAL LETTER EL"_s, u"Next page"_s}));

        m_picker->nextPageButton()->setFocus();
        QTest::keyClick(m_picker->nextPageButton(), Qt::Key_Space); // ">"
        QCOMPARE(caption(11), glyph(120));
        QCOMPARE(accessibleName(m_picker->gridButton(12)), u"Empty"_s); // the name follows the page
        QCOMPARE(pageButtons(), u"<-"_s);
        // The focus is on "<", not on "Close", which the next key would press.
        QCOMPARE(accessibleName(QApplication::focusWidget()), u"Previous page"_s);
        QTest::mouseClick(m_picker->gridButton(50), Qt::LeftButton); // an empty button offers nothing
        QTest::mouseClick(m_picker->gridButton(11), Qt::LeftButton);

        QTest::mouseClick(m_picker->previousPageButton(), Qt::LeftButton); // "<"
        QCOMPARE(caption(0), u"&&"_s);                                     // "&" shows as itself
        QCOMPARE(pageButtons(), u"->"_s);
        QVERIFY(m_picker->gridButton(0)->hasFocus());
        QTest::mouseClick(m_picker->gridButton(0), Qt::LeftButton);
        QCOMPARE(m_chosen, (QStringList{glyph(107), glyph(120), u"&"_s})); // the first by the keyboard

        // Coming back without a database: told, then the first page of the old connection.
        MessageBoxAcceptor boxes;
        QTest::mouseClick(m_picker->nextPageButton(), Qt::LeftButton);
        const QString away = m_folder.databasePath() + u".away"_s;
        QVERIFY(QFile::rename(m_folder.databasePath(), away));
        m_picker->onActivated();
        QVERIFY(QFile::rename(away, m_folder.databasePath()));
        QCOMPARE(boxes.texts, QStringList{u"Cannot continue"_s});
        QCOMPARE(caption(0), u"&&"_s);
    }

    // The press that brings the picker back (after its reload) gets the glyph the user saw, unless other input
    // came first; every other press gets the glyph shown.
    void thePressThatBringsThePickerBack()
    {
        QWindow* window = m_picker->windowHandle();
        QPoint button = m_picker->gridButton(0)->geometry().center();
        QTest::mouseClick(m_picker->nextPageButton(), Qt::LeftButton); // the second page
        QTest::mouseMove(window, button);
        m_picker->onActivated(); // the first page again
        QTest::mouseClick(window, Qt::LeftButton, {}, button);
        QTest::keyClick(window, Qt::Key_Space); // the clicked button has the focus
        const std::function<bool()> otherInputFirst[] = {
            [&] { return m_owner.activateWindow(), QTest::qWaitFor([&] { return !m_picker->isActiveWindow(); }); },
            [&] { return QTest::keyClick(window, Qt::Key_Shift), true; },
            [&] { return QTest::mouseMove(window, button += QPoint(1, 0)), true; }};
        for (const auto& input : otherInputFirst) {
            QTest::mouseClick(m_picker->nextPageButton(), Qt::LeftButton);
            m_picker->onActivated();
            QVERIFY(input());
            QTest::mouseClick(window, Qt::LeftButton, {}, button);
        }
        QCOMPARE(m_chosen, (QStringList{glyph(109)} + QStringList(4, u"&"_s)));
    }
};

QTEST_MAIN(TestPickerWindow)
#include "test_picker_window.moc"
