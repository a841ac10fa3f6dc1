// The picker's wiring: the grid, "<" and ">", glyphs into the box, and activation's reload.
#include "FixtureDatabase.h"
#include "WidgetTesting.h"
#include "core/dictionary/DictionarySession.h"
#include "ui/picker/CharacterPicker.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

using namespace orvane;
using ui::picker::CharacterPicker;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestPickerWindow final : public QObject
{
    Q_OBJECT

    FixtureFolder m_folder;
    core::dictionary::DictionarySession m_session{m_folder.databasePath()};
    QWidget m_owner;
    QLineEdit* m_box = new QLineEdit(&m_owner);
    QPointer<CharacterPicker> m_picker;

    QStringList captions() const
    {
        QStringList shown;
        for (int i = 0; i < CharacterPicker::GridButtons; ++i)
            shown << m_picker->gridButton(i)->text();
        return shown;
    }

private slots:
    void initTestCase()
    {
        FixtureRows rows;
        for (int id = 1; id <= 120; ++id)
            rows.glyphs.emplace_back(id, id == 1 ? u"&"_s : QString(QChar(0x3B0 + id)));
        rows.configs = {{.name = u"Orvane"_s, .fnt1 = u"DejaVu Serif"_s}};
        QVERIFY(m_folder.write(rows));
        QVERIFY(m_session.reconnect());
        m_session.loadDisplaySettings();
        m_owner.show();
    }

    void init()
    {
        m_box->setText(u"  <native scripts>"_s);
        m_picker = new CharacterPicker(&m_session, &m_owner, m_box);
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
        QCOMPARE(captions().first(), u"&&"_s); // "&" shows as itself
        QCOMPARE(captions().last(), QString(QChar(0x3B0 + 108)));
        QCOMPARE(m_picker->gridButton(0)->font().family(), u"DejaVu Serif"_s);
        QVERIFY(m_picker->nextPageButton()->isEnabled() && !m_picker->previousPageButton()->isEnabled());

        m_picker->nextPageButton()->setFocus();
        QTest::keyClick(m_picker->nextPageButton(), Qt::Key_Space); // ">"
        QCOMPARE(captions()[11], QString(QChar(0x3B0 + 120)));
        QCOMPARE(captions()[12], QString());
        QVERIFY(!m_picker->nextPageButton()->isEnabled() && m_picker->previousPageButton()->isEnabled());
        QVERIFY(m_picker->previousPageButton()->hasFocus()); // not "Close", where the next key would close the picker

        QTest::mouseClick(m_picker->previousPageButton(), Qt::LeftButton); // "<"
        QCOMPARE(captions().first(), u"&&"_s);
        QVERIFY(m_picker->nextPageButton()->isEnabled() && !m_picker->previousPageButton()->isEnabled());
        QVERIFY(m_picker->gridButton(0)->hasFocus());

        // A glyph goes to the end of the box, the placeholder first out.
        QTest::mouseClick(m_picker->gridButton(1), Qt::LeftButton);
        QCOMPARE(m_box->text(), QString(QChar(0x3B0 + 2)));
        QCOMPARE(m_box->font().pointSizeF(), 11.0);
        m_box->setCursorPosition(0);
        QTest::mouseClick(m_picker->gridButton(0), Qt::LeftButton);
        QCOMPARE(m_box->text(), QString(QChar(0x3B0 + 2)) + u'&');

        QTest::mouseClick(m_picker->nextPageButton(), Qt::LeftButton);
        QTest::mouseClick(m_picker->gridButton(50), Qt::LeftButton); // an empty button does nothing
        QCOMPARE(m_box->text(), QString(QChar(0x3B0 + 2)) + u'&');

        MessageBoxAcceptor boxes; // coming back without a database: told, then the first page of the old connection
        const QString away = m_folder.databasePath() + u".away"_s;
        QVERIFY(QFile::rename(m_folder.databasePath(), away));
        m_picker->onActivated();
        QVERIFY(QFile::rename(away, m_folder.databasePath()));
        QCOMPARE(boxes.texts, QStringList{u"Cannot continue"_s});
        QCOMPARE(captions().first(), u"&&"_s);
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
        QCOMPARE(m_box->text(), QString(QChar(0x3B0 + 109)) + QString(4, u'&'));
    }
};

QTEST_MAIN(TestPickerWindow)
#include "test_picker_window.moc"
