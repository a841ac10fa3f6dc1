// The dictionary window: its design, placeholders and clearing, the length rule of the
// native-script box, the three searches, entry display and walking the list, key input
// in the transliteration box, fonts from the configuration, activation and closing.
#include "FixtureDatabase.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"
#include "dictionary/EntryComposer.h"
#include "dictionary/KeyInput.h"
#include "dictionary/frmMdict.h"
#include "shell/ActivationWatcher.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using orvane::frmMdict;
using orvane::data::DatabaseWriter;

Q_DECLARE_METATYPE(orvane::data::DatabaseWriter::Config)

namespace {

struct Entry
{
    qint64 id;
    QString m1, m2, m3, meanings;
};

// Ordered as the native-script search lists them (by m1).
const QList<Entry> Entries = {
    {5, "ἀλφα", "alpha", "xb", "first letter"},
    {6, "βῆτα", "bēta", "xa", "second letter"},
    {4, "λόγος", "  lógos", "  logos", "word\r\nreason"},
    {3, "μανία", "manía", "mania", "madness"},
    {1, "ψυχή", "psychḗ", "psyche", "soul"},
    {2, "ψυχρός", "psychrós", "psychros", "cold"},
    {7, "ωρολόγιον", "o'clock", "o'clock", "clock"},
};

const Entry& entry(qint64 id)
{
    for (const Entry& candidate : Entries) {
        if (candidate.id == id)
            return candidate;
    }
    qFatal("no entry %lld", id);
}

QStringList m1Of(std::initializer_list<qint64> ids)
{
    QStringList terms;
    for (qint64 id : ids)
        terms << entry(id).m1;
    return terms;
}

QStringList m2Of(std::initializer_list<qint64> ids)
{
    QStringList terms;
    for (qint64 id : ids)
        terms << entry(id).m2;
    return terms;
}

QString shownEntry(const QString& header, const QString& meanings)
{
    using namespace orvane::dictionary;
    return entryDisplayText(composeEntryText(header, meanings));
}

DatabaseWriter::Config fonts(const QString& fnt1, const QString& fnt3, const QString& fnt4, const QString& fnt5,
                             std::array<double, 5> sizes)
{
    DatabaseWriter::Config config;
    config.name = QStringLiteral("Orvane");
    config.fnt1 = fnt1;
    config.fnt3 = fnt3;
    config.fnt4 = fnt4;
    config.fnt5 = fnt5;
    config.fsz1 = sizes[0];
    config.fsz2 = sizes[1];
    config.fsz3 = sizes[2];
    config.fsz4 = sizes[3];
    config.fsz5 = sizes[4];
    return config;
}

const DatabaseWriter::Config StandardFonts =
    fonts("DejaVu Serif", "DejaVu Sans Mono", "Noto Sans", "DejaVu Sans", {12, 13, 14, 15, 16});

// Types `text` key by key; unlike QTest::keyClicks it also types characters beyond Latin-1.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

// Accepts every message box that opens while it lives and records its text, so that an
// unexpected box fails a check instead of blocking the test.
class MessageBoxAcceptor
{
public:
    MessageBoxAcceptor()
    {
        m_timer.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }

    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace

class TestDictionary final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    int m_generation = 0;
    QPointer<frmMdict> m_window;

    // Writes a fresh orvane.mdb with the test entries, keys and `config`, and makes its
    // folder the program folder.
    void writeDatabase(const DatabaseWriter::Config& config)
    {
        const QString folder = m_folder.filePath(QString::number(++m_generation));
        QVERIFY(QDir().mkpath(folder));
        orvane::testing::FixtureRows rows;
        for (const Entry& e : Entries)
            rows.entries.push_back({e.id, e.m1, e.m2, e.m3, e.meanings});
        rows.keys = {{"e-", "ē"}, {"ē'", "ḗ"}, {"x", "ξ"}, {"zz", "zzz"}};
        rows.configs = {config};
        QString error;
        QVERIFY2(orvane::testing::writeFixtureDatabase(folder + QStringLiteral("/orvane.mdb"), rows, {}, &error),
                 qPrintable(error));
        orvane::data::setProgramFolder(folder);
    }

    static int activations(frmMdict* window)
    {
        auto* watcher = window->findChild<orvane::shell::ActivationWatcher*>();
        return watcher ? watcher->activations() : -1;
    }

    // Shows a new dictionary window and waits for its activation to have run.
    void openWindow()
    {
        m_window = new frmMdict;
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_COMPARE(activations(m_window), 1);
    }

    template <typename T> T* control(const char* name) const
    {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(name); }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QListView* list() const { return control<QListView>("ListBox1"); }
    QPlainTextEdit* entryBox() const { return control<QPlainTextEdit>("TextBox2"); }

    QStringList listed() const
    {
        QStringList terms;
        const QAbstractItemModel* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            terms << model->index(row, 0).data().toString();
        return terms;
    }

    void search(const char* boxName, const char* buttonName, const QString& text)
    {
        box(boxName)->setText(text);
        QTest::mouseClick(button(buttonName), Qt::LeftButton);
    }

    void walkTo(int row) { list()->setCurrentIndex(list()->model()->index(row, 0)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        QVERIFY2(QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans")), "the tests need the DejaVu fonts");
    }

    void init()
    {
        orvane::dictionary::SharedDisplayConfig() = {};
        orvane::data::SharedDatabase().reset();
        QGuiApplication::clipboard()->clear();
        writeDatabase(StandardFonts);
        openWindow();
    }

    void cleanup()
    {
        if (m_window)
            m_window->close();
        QTRY_VERIFY(m_window.isNull()); // closing deletes the window
    }

    // ---- Design ---------------------------------------------------------------------

    void window()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("frmMdict"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Orvane"));
        QCOMPARE(m_window->size(), QSize(673, 394));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(m_window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(m_window->testAttribute(Qt::WA_DeleteOnClose));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("rect"); // pixels: twips / 15
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        const QString unicodeFont = "Arial Unicode MS";
        const QString okFont = "MS Sans Serif";
        QTest::newRow("TextBox2") << "TextBox2"
                                  << "QPlainTextEdit" << QRect(8, 8, 417, 337) << "" << unicodeFont << 14.25 << false;
        QTest::newRow("ListBox1") << "ListBox1"
                                  << "QListView" << QRect(432, 8, 233, 337) << "" << unicodeFont << 14.25 << false;
        QTest::newRow("Command5") << "Command5"
                                  << "QPushButton" << QRect(8, 360, 17, 17) << "#"
                                  << "Arial" << 9.0 << false;
        QTest::newRow("TextBox1") << "TextBox1"
                                  << "QLineEdit" << QRect(32, 360, 117, 26) << "  <native scripts>" << unicodeFont
                                  << 9.75 << false;
        QTest::newRow("Command2") << "Command2"
                                  << "QPushButton" << QRect(152, 360, 31, 24) << "OK" << okFont << 8.25 << true;
        QTest::newRow("TextBox11") << "TextBox11"
                                   << "QLineEdit" << QRect(192, 360, 137, 25) << "    <transliteration>" << unicodeFont
                                   << 9.75 << false;
        QTest::newRow("Command4") << "Command4"
                                  << "QPushButton" << QRect(336, 360, 31, 25) << "OK" << okFont << 8.25 << true;
        QTest::newRow("TextBox3") << "TextBox3"
                                  << "QLineEdit" << QRect(376, 360, 137, 25) << "  <without diacritics>" << unicodeFont
                                  << 9.75 << false;
        QTest::newRow("Command1") << "Command1"
                                  << "QPushButton" << QRect(520, 360, 31, 25) << "OK" << okFont << 8.25 << true;
        QTest::newRow("Command6") << "Command6"
                                  << "QPushButton" << QRect(565, 360, 46, 25) << "Help" << okFont << 8.25 << true;
        QTest::newRow("Command3") << "Command3"
                                  << "QPushButton" << QRect(620, 360, 46, 25) << "About" << okFont << 8.25 << true;
        QTest::newRow("Line1") << "Line1"
                               << "QFrame" << QRect(0, 352, 672, 1) << ""
                               << "" << 0.0 << false;
        QTest::newRow("Line2") << "Line2"
                               << "QFrame" << QRect(0, 392, 672, 1) << ""
                               << "" << 0.0 << false;
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QRect, rect);
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(bool, bold);

        // A fresh window without configuration shows the designed fonts.
        m_window->close();
        QTRY_VERIFY(m_window.isNull());
        orvane::dictionary::SharedDisplayConfig() = {};
        writeDatabase(DatabaseWriter::Config{});
        openWindow();

        QWidget* widget = control<QWidget>(name.toLatin1().constData());
        QVERIFY(widget->inherits(kind.toLatin1().constData()));
        QCOMPARE(widget->geometry(), rect);
        QVERIFY2(!widget->accessibleName().isEmpty(), "every control says what it is for");
        if (auto* pushButton = qobject_cast<QPushButton*>(widget))
            QCOMPARE(pushButton->text(), text);
        if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
            QCOMPARE(lineEdit->text(), text);
            QCOMPARE(lineEdit->toolTip(), QStringLiteral("Double click to clear"));
            QCOMPARE(lineEdit->cursorPosition(), 0);
        }
        if (auto* frame = qobject_cast<QFrame*>(widget); frame && kind == "QFrame")
            QCOMPARE(frame->frameShape(), QFrame::HLine);
        if (!family.isEmpty()) {
            QCOMPARE(widget->font().family(), family);
            QCOMPARE(widget->font().pointSizeF(), points);
            QCOMPARE(widget->font().bold(), bold);
        }
    }

    void tabOrder()
    {
        const QStringList expected = {"ListBox1", "TextBox1", "Command2", "Command3", "TextBox11", "Command4",
                                      "TextBox2", "TextBox3", "Command1", "Command5", "Command6"};
        QStringList order;
        QWidget* widget = list();
        do {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus))
                widget = widget->nextInFocusChain();
        } while (widget != list());
        QCOMPARE(order, expected);
    }

    // The list holds the focus at first, so no placeholder is cleared by opening.
    void focusOnOpen()
    {
        QCOMPARE(QApplication::focusWidget(), list());
        QCOMPARE(box("TextBox1")->text(), frmMdict::ScriptPlaceholder);
        QCOMPARE(box("TextBox11")->text(), frmMdict::TranslitPlaceholder);
        QCOMPARE(box("TextBox3")->text(), frmMdict::PlainPlaceholder);
        QVERIFY(!list()->currentIndex().isValid());
    }

    // ---- Placeholders and clearing --------------------------------------------------

    void placeholderClearedOnlyWhenExact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const std::pair<const char*, QString> boxes[] = {{"TextBox1", frmMdict::ScriptPlaceholder},
                                                         {"TextBox11", frmMdict::TranslitPlaceholder},
                                                         {"TextBox3", frmMdict::PlainPlaceholder}};
        for (const auto& [name, placeholder] : boxes) {
            QTest::addRow("%s exact", name) << name << placeholder << "";
            QTest::addRow("%s one space less", name) << name << placeholder.mid(1) << placeholder.mid(1);
            QTest::addRow("%s one character more", name) << name << placeholder + "x" << placeholder + "x";
            QTest::addRow("%s typed text", name) << name << "psych"
                                                 << "psych";
        }
    }
    void placeholderClearedOnlyWhenExact()
    {
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QLineEdit* lineEdit = box(name.toLatin1().constData());
        lineEdit->setText(before);
        QTest::mouseClick(lineEdit, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), lineEdit);
        QCOMPARE(lineEdit->text(), after);
    }

    void doubleClickClears_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (const char* name : {"TextBox1", "TextBox11", "TextBox3"}) {
            QTest::addRow("%s placeholder", name) << name << QString();
            QTest::addRow("%s typed", name) << name << "abc def";
        }
    }
    void doubleClickClears()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QLineEdit* lineEdit = box(name.toLatin1().constData());
        if (!text.isNull())
            lineEdit->setText(text);
        QVERIFY(!lineEdit->text().isEmpty());
        QTest::mouseDClick(lineEdit, Qt::LeftButton);
        QCOMPARE(lineEdit->text(), QString());
    }

    void closingAndReopeningRestoresPlaceholders()
    {
        box("TextBox1")->setText("ψυ");
        box("TextBox11")->clear();
        search("TextBox3", "Command1", "x");
        QVERIFY(!listed().isEmpty());
        m_window->close();
        QTRY_VERIFY(m_window.isNull());
        openWindow();
        QCOMPARE(box("TextBox1")->text(), frmMdict::ScriptPlaceholder);
        QCOMPARE(box("TextBox11")->text(), frmMdict::TranslitPlaceholder);
        QCOMPARE(box("TextBox3")->text(), frmMdict::PlainPlaceholder);
        QVERIFY(listed().isEmpty());
        QVERIFY(entryBox()->toPlainText().isEmpty());
    }

    // ---- The length rule of the native-script box -----------------------------------

    void lengthRule_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");     // typed at the end
        QTest::addColumn<QString>("clipboard"); // pasted into the box after typing
        QTest::addColumn<QString>("after");
        const QString fourteen(14, u'α');
        QTest::newRow("the fifteenth character empties") << fourteen << "β"
                                                         << ""
                                                         << "";
        QTest::newRow("fourteen stay") << QString(13, u'α') << "β"
                                       << "" << QString(13, u'α') + "β";
        QTest::newRow("paste of sixteen into the empty box stays") << ""
                                                                   << "" << QString(16, u'γ') << QString(16, u'γ');
        QTest::newRow("paste of fifteen empties") << ""
                                                  << "" << QString(15, u'γ') << "";
        QTest::newRow("sixteen and more grow on") << QString(16, u'α') << "β"
                                                  << "" << QString(16, u'α') + "β";
        QTest::newRow("the placeholder is never cleared by length") << frmMdict::ScriptPlaceholder << ""
                                                                    << "" << frmMdict::ScriptPlaceholder;
    }
    void lengthRule()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        QLineEdit* textBox1 = box("TextBox1");
        textBox1->setText(before);
        textBox1->setCursorPosition(static_cast<int>(before.size()));
        typeText(textBox1, typed);
        if (!clipboard.isEmpty()) {
            QGuiApplication::clipboard()->setText(clipboard);
            textBox1->paste();
        }
        QCOMPARE(textBox1->text(), after);
    }

    // ---- Searches -------------------------------------------------------------------

    void searches_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("listHasFocus");

        const QStringList everything = m1Of({5, 6, 4, 3, 1, 2, 7});
        QTest::newRow("script prefix") << "TextBox1"
                                       << "Command2"
                                       << "ψυχ" << m1Of({1, 2}) << true;
        QTest::newRow("script text is trimmed") << "TextBox1"
                                                << "Command2"
                                                << "  λόγ  " << m1Of({4}) << true;
        QTest::newRow("script spaces only: everything") << "TextBox1"
                                                        << "Command2"
                                                        << "   " << everything << true;
        QTest::newRow("script placeholder is searched trimmed")
            << "TextBox1"
            << "Command2" << frmMdict::ScriptPlaceholder << QStringList() << true;
        QTest::newRow("script pattern characters") << "TextBox1"
                                                   << "Command2"
                                                   << "ψυχ[ρ]" << m1Of({2}) << true;

        QTest::newRow("transliteration prefix") << "TextBox11"
                                                << "Command4"
                                                << "psych" << m2Of({1, 2}) << true;
        QTest::newRow("transliteration keeps leading spaces") << "TextBox11"
                                                              << "Command4"
                                                              << "  l" << m2Of({4}) << true;
        QTest::newRow("transliteration without the spaces finds nothing") << "TextBox11"
                                                                          << "Command4"
                                                                          << "lóg" << QStringList() << true;
        QTest::newRow("transliteration spaces only: skipped, focus still moved") << "TextBox11"
                                                                                 << "Command4"
                                                                                 << "   " << QStringList() << true;
        QTest::newRow("transliteration placeholder finds nothing")
            << "TextBox11"
            << "Command4" << frmMdict::TranslitPlaceholder << QStringList() << true;
        QTest::newRow("transliteration pattern ?") << "TextBox11"
                                                   << "Command4"
                                                   << "ps?ch" << m2Of({1, 2}) << true;
        QTest::newRow("transliteration apostrophe") << "TextBox11"
                                                    << "Command4"
                                                    << "o'" << m2Of({7}) << true;

        QTest::newRow("plain matches m3, lists and orders by m2") << "TextBox3"
                                                                  << "Command1"
                                                                  << "x" << m2Of({5, 6}) << true;
        QTest::newRow("plain apostrophe") << "TextBox3"
                                          << "Command1"
                                          << "o'c" << m2Of({7}) << true;
        QTest::newRow("plain spaces only: skipped") << "TextBox3"
                                                    << "Command1"
                                                    << " " << QStringList() << true;
        QTest::newRow("plain trailing space kept") << "TextBox3"
                                                   << "Command1"
                                                   << "mania " << QStringList() << true;
    }
    void searches()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, buttonName);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QFETCH(bool, listHasFocus);

        // Something in the entry box and the list from before, to see both emptied.
        search("TextBox11", "Command4", "manía");
        walkTo(0);
        QVERIFY(!entryBox()->toPlainText().isEmpty());

        search(boxName.toLatin1().constData(), buttonName.toLatin1().constData(), text);
        QCOMPARE(listed(), expected);
        QCOMPARE(box(boxName.toLatin1().constData())->text(), text);
        QVERIFY(entryBox()->toPlainText().isEmpty());
        QVERIFY(!list()->currentIndex().isValid());
        QCOMPARE(QApplication::focusWidget() == list(), listHasFocus);
    }

    // An exactly empty box takes the clipboard's text and searches for it; a box that
    // holds anything (its placeholder, spaces) is searched as it is.
    void pasteIntoEmptyBox_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("boxAfter");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("listHasFocus");

        QTest::newRow("transliteration pastes") << "TextBox11"
                                                << "Command4"
                                                << ""
                                                << "psych"
                                                << "psych" << m2Of({1, 2}) << false;
        QTest::newRow("pasted keys are replaced first") << "TextBox11"
                                                        << "Command4"
                                                        << ""
                                                        << "bēta e-"
                                                        << "bēta ē" << QStringList() << false;
        QTest::newRow("transliteration empty clipboard: nothing") << "TextBox11"
                                                                  << "Command4"
                                                                  << ""
                                                                  << ""
                                                                  << "" << QStringList() << false;
        QTest::newRow("plain pastes") << "TextBox3"
                                      << "Command1"
                                      << ""
                                      << "man"
                                      << "man" << m2Of({3}) << false;
        QTest::newRow("script pastes") << "TextBox1"
                                       << "Command2"
                                       << ""
                                       << "μαν"
                                       << "μαν" << m1Of({3}) << true;
        QTest::newRow("script empty clipboard: everything") << "TextBox1"
                                                            << "Command2"
                                                            << ""
                                                            << ""
                                                            << "" << m1Of({5, 6, 4, 3, 1, 2, 7}) << true;
        QTest::newRow("script paste of fifteen is emptied, then everything")
            << "TextBox1"
            << "Command2"
            << "" << QString(15, u'ψ') << "" << m1Of({5, 6, 4, 3, 1, 2, 7}) << true;
        QTest::newRow("placeholder is not empty") << "TextBox11"
                                                  << "Command4" << frmMdict::TranslitPlaceholder << "psych"
                                                  << frmMdict::TranslitPlaceholder << QStringList() << true;
        QTest::newRow("spaces are not empty") << "TextBox3"
                                              << "Command1"
                                              << "  "
                                              << "man"
                                              << "  " << QStringList() << true;
    }
    void pasteIntoEmptyBox()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, buttonName);
        QFETCH(QString, boxText);
        QFETCH(QString, clipboard);
        QFETCH(QString, boxAfter);
        QFETCH(QStringList, expected);
        QFETCH(bool, listHasFocus);

        // A row current from before: clearing the list must not pull the focus to it.
        search("TextBox11", "Command4", "manía");
        walkTo(0);

        if (clipboard.isEmpty())
            QGuiApplication::clipboard()->clear();
        else
            QGuiApplication::clipboard()->setText(clipboard);
        search(boxName.toLatin1().constData(), buttonName.toLatin1().constData(), boxText);
        QCOMPARE(box(boxName.toLatin1().constData())->text(), boxAfter);
        QCOMPARE(listed(), expected);
        QCOMPARE(QApplication::focusWidget() == list(), listHasFocus);
    }

    void enterPressesTheSearchButton_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("TextBox1") << "TextBox1"
                                  << "" << m1Of({5, 6, 4, 3, 1, 2, 7});
        QTest::newRow("TextBox11") << "TextBox11"
                                   << "psych" << m2Of({1, 2});
        QTest::newRow("TextBox3") << "TextBox3"
                                  << "mania" << m2Of({3});
    }
    void enterPressesTheSearchButton()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QLineEdit* lineEdit = box(boxName.toLatin1().constData());
        lineEdit->clear();
        QTest::keyClicks(lineEdit, typed);
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QCOMPARE(listed(), expected);
        QCOMPARE(QApplication::focusWidget(), list());
    }

    // ---- Entry display --------------------------------------------------------------

    // The header is the form that was not searched; the button pressed last decides.
    void headerFollowsTheSearch_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("header");
        QTest::newRow("native script: m2") << "TextBox1"
                                           << "Command2"
                                           << "ψυχή" << entry(1).m2;
        QTest::newRow("transliteration: m1") << "TextBox11"
                                             << "Command4"
                                             << "psychḗ" << entry(1).m1;
        QTest::newRow("without diacritics: m1") << "TextBox3"
                                                << "Command1"
                                                << "psyche" << entry(1).m1;
    }
    void headerFollowsTheSearch()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, buttonName);
        QFETCH(QString, text);
        QFETCH(QString, header);
        // A search of the other kind first, so that searchMode has to change.
        if (buttonName == "Command2")
            search("TextBox3", "Command1", "psyche");
        else
            search("TextBox1", "Command2", "ψυχή");
        walkTo(0);
        search(boxName.toLatin1().constData(), buttonName.toLatin1().constData(), text);
        QCOMPARE(listed().size(), 1);
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(entryBox()->toPlainText(), shownEntry(header, entry(1).meanings));
    }

    // After a search no row is current, so the first Down shows the first hit; each step
    // shows the next entry and the focus stays in the list.
    void arrowKeysWalkTheEntries()
    {
        search("TextBox1", "Command2", "");
        QVERIFY(!list()->currentIndex().isValid());
        QVERIFY(entryBox()->toPlainText().isEmpty());
        const QList<qint64> order = {5, 6, 4, 3, 1, 2, 7};
        for (int row = 0; row < order.size(); ++row) {
            QTest::keyClick(list(), Qt::Key_Down);
            QCOMPARE(list()->currentIndex().row(), row);
            QCOMPARE(entryBox()->toPlainText(), shownEntry(entry(order[row]).m2, entry(order[row]).meanings));
            QCOMPARE(entryBox()->textCursor().position(), 0);
            QCOMPARE(QApplication::focusWidget(), list());
        }
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(entryBox()->toPlainText(), shownEntry(entry(2).m2, entry(2).meanings));

        // Typing a letter jumps to the next row beginning with it.
        QTest::keyClick(list(), Qt::Key_Home);
        QTest::qWait(QApplication::keyboardInputInterval() + 50); // let the previous keys expire
        typeText(list(), QStringLiteral("μ"));
        QCOMPARE(list()->currentIndex().row(), 3);
        QCOMPARE(entryBox()->toPlainText(), shownEntry(entry(3).m2, entry(3).meanings));
    }

    // A release over the row that is already current shows the entry again from its start.
    void mouseReleaseShowsTheEntryAgain()
    {
        search("TextBox11", "Command4", "psych");
        const QRect secondRow = list()->visualRect(list()->model()->index(1, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, secondRow.center());
        const QString shown = shownEntry(entry(2).m1, entry(2).meanings);
        QCOMPARE(entryBox()->toPlainText(), shown);

        QTextCursor caret = entryBox()->textCursor();
        caret.movePosition(QTextCursor::End);
        entryBox()->setTextCursor(caret);
        QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, secondRow.center());
        QCOMPARE(entryBox()->toPlainText(), shown);
        QCOMPARE(entryBox()->textCursor().position(), 0);
        QCOMPARE(QApplication::focusWidget(), list());
    }

    // What a user copies from the entry box has plain line breaks and every line.
    void copyFromTheEntryBox()
    {
        search("TextBox11", "Command4", "  l");
        QTest::keyClick(list(), Qt::Key_Down);
        entryBox()->selectAll();
        entryBox()->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("λόγος\n------------------------\nword\nreason\n\n"));
    }

    // ---- Key input ------------------------------------------------------------------

    void keysTypedIntoTheTransliterationBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a known pair") << "te-"
                                      << "tē";
        QTest::newRow("a chain over two keystrokes") << "e-'"
                                                     << "ḗ";
        QTest::newRow("space and a single key") << "a x"
                                                << "aξ";
        QTest::newRow("unknown pairs stay") << "psych"
                                            << "psych";
        QTest::newRow("a looping table stops at the bound")
            << "zz" << QString(2 + orvane::dictionary::KeyInput::MaxChainedReplacements, u'z');
    }
    void keysTypedIntoTheTransliterationBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QLineEdit* textBox11 = box("TextBox11");
        QTest::mouseClick(textBox11, Qt::LeftButton); // drops the placeholder
        QCOMPARE(textBox11->text(), QString());
        QTest::keyClicks(textBox11, typed);
        QCOMPARE(textBox11->text(), shown);
        QCOMPARE(textBox11->cursorPosition(), shown.size()); // typing goes on at the end
        QTest::keyClicks(textBox11, QStringLiteral("q"));
        QCOMPARE(textBox11->text(), shown + "q");
    }

    // Only the transliteration box replaces keys.
    void otherBoxesTakeKeysAsTheyAre()
    {
        for (const char* name : {"TextBox1", "TextBox3"}) {
            QLineEdit* lineEdit = box(name);
            lineEdit->clear();
            QTest::keyClicks(lineEdit, QStringLiteral("e-"));
            QCOMPARE(lineEdit->text(), QStringLiteral("e-"));
        }
    }

    // ---- Fonts from the configuration -----------------------------------------------

    void fontsFromTheConfiguration_data()
    {
        QTest::addColumn<DatabaseWriter::Config>("config");
        QTest::addColumn<QStringList>("families"); // TextBox1, TextBox11, TextBox3, ListBox1, TextBox2
        QTest::addColumn<QList<double>>("sizes");

        const QString designed = "Arial Unicode MS";
        QTest::newRow("all ten settings")
            << StandardFonts
            << QStringList{"DejaVu Serif", "DejaVu Sans Mono", "DejaVu Sans Mono", "Noto Sans", "DejaVu Sans"}
            << QList<double>{12, 13, 14, 15, 16};
        QTest::newRow("empty names and sizes are skipped")
            << fonts("", "DejaVu Sans Mono", "", "DejaVu Sans", {0, 13, 0, -4, 16})
            << QStringList{designed, "DejaVu Sans Mono", "DejaVu Sans Mono", designed, "DejaVu Sans"}
            << QList<double>{9.75, 13, 9.75, 14.25, 16};
        QTest::newRow("unknown families and absurd sizes are skipped")
            << fonts("No Such Family 4711", "DejaVu Serif", "Noto Sans", "No Such Family 4711",
                     {12, 5000, 200, 15, 201})
            << QStringList{designed, "DejaVu Serif", "DejaVu Serif", "Noto Sans", designed}
            << QList<double>{12, 9.75, 200, 15, 14.25};
        DatabaseWriter::Config unnamed = StandardFonts;
        unnamed.name = QString();
        QTest::newRow("no settings row") << unnamed << QStringList{designed, designed, designed, designed, designed}
                                         << QList<double>{9.75, 9.75, 9.75, 14.25, 14.25};
    }
    void fontsFromTheConfiguration()
    {
        QFETCH(DatabaseWriter::Config, config);
        QFETCH(QStringList, families);
        QFETCH(QList<double>, sizes);
        m_window->close();
        QTRY_VERIFY(m_window.isNull());
        orvane::dictionary::SharedDisplayConfig() = {};
        writeDatabase(config);
        openWindow();
        const char* names[] = {"TextBox1", "TextBox11", "TextBox3", "ListBox1", "TextBox2"};
        for (int i = 0; i < 5; ++i) {
            const QFont font = control<QWidget>(names[i])->font();
            QCOMPARE(font.family(), families[i]);
            QCOMPARE(font.pointSizeF(), sizes[i]);
        }
    }

    // Coming back from another window of the program reconnects and reapplies the
    // configuration: a size the picker set is replaced, a changed table shows.
    void fontsReappliedOnReactivation()
    {
        QFont pickerSize = box("TextBox1")->font();
        pickerSize.setPointSizeF(11);
        box("TextBox1")->setFont(pickerSize);
        writeDatabase(fonts("Noto Sans", "DejaVu Serif", "DejaVu Sans", "DejaVu Sans Mono", {17, 18, 19, 20, 21}));

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_COMPARE(activations(m_window), 2);

        QCOMPARE(box("TextBox1")->font().family(), QStringLiteral("Noto Sans"));
        QCOMPARE(box("TextBox1")->font().pointSizeF(), 17.0);
        QCOMPARE(box("TextBox11")->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(entryBox()->font().pointSizeF(), 21.0);
        search("TextBox11", "Command4", "psych"); // the new database serves the searches
        QCOMPARE(listed(), m2Of({1, 2}));
    }

    // ---- Activation without a database ----------------------------------------------

    void missingDatabase()
    {
        m_window->close();
        QTRY_VERIFY(m_window.isNull());
        orvane::data::SharedDatabase().reset();
        orvane::data::setProgramFolder(m_folder.filePath(QStringLiteral("nowhere")));
        const MessageBoxAcceptor messages;
        openWindow();
        QTRY_COMPARE(messages.texts, QStringList{QStringLiteral("Cannot continue")});
        QVERIFY(m_window->isVisible());
        m_window->activateWindow(); // what the window manager does when the message box closes
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTest::qWait(100);
        QCOMPARE(messages.texts.size(), 1); // once, not again when the message box closes

        // Searches, entries and keys find nothing, without a message.
        search("TextBox1", "Command2", "");
        QVERIFY(listed().isEmpty());
        QTest::mouseClick(box("TextBox11"), Qt::LeftButton);
        QTest::keyClicks(box("TextBox11"), QStringLiteral("e-"));
        QCOMPARE(box("TextBox11")->text(), QStringLiteral("e-"));
        QCOMPARE(messages.texts.size(), 1);
    }
};

QTEST_MAIN(TestDictionary)
#include "test_dictionary.moc"
