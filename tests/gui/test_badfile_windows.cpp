// Bad database files as the user meets them: the dictionary window and the character
// picker on each. A file that cannot be opened gives "unexpected error" and then the
// window's "Cannot continue" once per activation; a file that opens but is odd gives no
// message at all. In every case nothing crashes or hangs and the windows stay usable.
#include "FixtureDatabase.h"
#include "app/Windows.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"
#include "dictionary/EntryComposer.h"
#include "dictionary/frmMdict.h"
#include "picker/fGlyph.h"
#include "shell/ActivationWatcher.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace orvane;
using namespace Qt::StringLiterals;
using data::DatabaseWriter;
using testing::FixtureRows;

namespace {

const QString UnexpectedError = QString::fromLatin1(data::UnexpectedErrorText);
const QString CannotContinue = u"Cannot continue"_s;

FixtureRows goodRows()
{
    FixtureRows rows;
    rows.entries = {testing::entry(1, u"μανία"_s, u"manía"_s, u"mania"_s, u"madness"_s),
                    testing::entry(2, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s)};
    rows.keys = {{u"e-"_s, u"ē"_s}};
    for (int id = 1; id <= 20; ++id)
        rows.glyphs.emplace_back(id, QString(QChar(0x3B0 + id)));
    DatabaseWriter::Config config;
    config.name = u"Orvane"_s;
    rows.configs = {config};
    return rows;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator rng(7);
    for (char& c : bytes)
        c = char(rng.bounded(256));
    return bytes;
}

// A good database written to `path`, then changed by `damage`.
bool writeDamaged(const QString& path, const std::function<void(QByteArray&)>& damage)
{
    if (!testing::writeFixtureDatabase(path, goodRows()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    file.close();
    damage(bytes);
    return writeBytes(path, bytes);
}

FixtureRows withExtraSql(QStringList sql)
{
    FixtureRows rows = goodRows();
    rows.extraSql = std::move(sql);
    return rows;
}

// What the user does after the messages, and what must then be true.
enum class Then
{
    NothingFound, // the searches find nothing
    FindsEntries, // the searches still find the entries
    HugeEntry,    // the one entry shows its 10 MB of meanings
    FullPicker,   // the picker holds its 5001 glyphs
    LoopingKeys,  // typing a looping key sequence comes to rest
};

struct BadFile
{
    const char* name;
    bool opens;
    std::function<bool(const QString& path)> write;
    Then then;
};

const std::vector<BadFile>& badFiles()
{
    static const std::vector<BadFile> files{
        {"missing file", false, [](const QString&) { return true; }, Then::NothingFound},
        {"zero bytes", false, [](const QString& path) { return writeBytes(path, {}); }, Then::NothingFound},
        {"random bytes", false, [](const QString& path) { return writeBytes(path, randomBytes(32768)); },
         Then::NothingFound},
        {"plain unencrypted file", false,
         [](const QString& path) {
             DatabaseWriter::Options options;
             options.encrypted = false;
             return testing::writeFixtureDatabase(path, goodRows(), options);
         },
         Then::NothingFound},
        {"truncated to 100 bytes", false,
         [](const QString& path) { return writeDamaged(path, [](QByteArray& b) { b.truncate(100); }); },
         Then::NothingFound},
        {"truncated to 3000 bytes", false,
         [](const QString& path) { return writeDamaged(path, [](QByteArray& b) { b.truncate(3000); }); },
         Then::NothingFound},
        {"first page corrupted", false,
         [](const QString& path) {
             return writeDamaged(path, [](QByteArray& b) {
                 for (int i = 100; i < 200; ++i)
                     b[i] = char(~b[i]);
             });
         },
         Then::NothingFound},
        {"directory named orvane.mdb", false, [](const QString& path) { return QDir().mkpath(path); },
         Then::NothingFound},
        {"no tbl_glyph", true,
         [](const QString& path) {
             return testing::writeFixtureDatabase(path, withExtraSql({u"DROP TABLE tbl_glyph"_s}));
         },
         Then::FindsEntries},
        {"no m3 column", true,
         [](const QString& path) {
             FixtureRows rows = withExtraSql({u"DROP TABLE tbl_dictionary"_s,
                                              u"CREATE TABLE tbl_dictionary(id INTEGER, m1 TEXT, m2 TEXT, "
                                              u"meanings TEXT)"_s,
                                              u"INSERT INTO tbl_dictionary VALUES(1, 'μανία', 'manía', 'madness')"_s,
                                              u"INSERT INTO tbl_dictionary VALUES(2, 'ψυχή', 'psychḗ', 'soul')"_s});
             rows.entries.clear();
             DatabaseWriter::Options options;
             options.withKeys = false;
             return testing::writeFixtureDatabase(path, rows, options);
         },
         Then::FindsEntries},
        {"numbers and texts swapped", true,
         [](const QString& path) {
             FixtureRows rows = withExtraSql(
                 {u"DROP TABLE tbl_config"_s,
                  u"CREATE TABLE tbl_config(name, fnt1, fnt3, fnt4, fnt5, fsz1, fsz2, "
                  u"fsz3, fsz4, fsz5, about)"_s,
                  u"INSERT INTO tbl_config VALUES(12, 14, 'x', 3.5, X'00', 'big', 'huge', -1, 1e308, 0, 99)"_s,
                  u"DROP TABLE tbl_glyph"_s, u"CREATE TABLE tbl_glyph(id, glyph)"_s,
                  u"INSERT INTO tbl_glyph VALUES('first', 7)"_s, u"INSERT INTO tbl_glyph VALUES(2.5, X'CEB1')"_s});
             rows.configs.clear();
             return testing::writeFixtureDatabase(path, rows);
         },
         Then::FindsEntries},
        {"10 MB meanings", true,
         [](const QString& path) {
             FixtureRows rows;
             rows.entries = {testing::entry(1, u"μανία"_s, u"manía"_s, u"mania"_s, QString(10 << 20, u'ω'))};
             return testing::writeFixtureDatabase(path, rows);
         },
         Then::HugeEntry},
        {"5002 glyph rows", true,
         [](const QString& path) {
             FixtureRows rows;
             for (int id = 1; id <= 5002; ++id)
                 rows.glyphs.emplace_back(id, QString(QChar(0x370 + id % 144)));
             return testing::writeFixtureDatabase(path, rows);
         },
         Then::FullPicker},
        {"looping tbl_keyboard", true,
         [](const QString& path) {
             FixtureRows rows;
             rows.keys = {{u"ab"_s, u"ab"_s}, {u"pq"_s, u"qp"_s}, {u"qp"_s, u"pq"_s}, {u"gg"_s, u"ggg"_s}};
             return testing::writeFixtureDatabase(path, rows);
         },
         Then::LoopingKeys},
    };
    return files;
}

int activations(QWidget* window)
{
    auto* watcher = window->findChild<shell::ActivationWatcher*>();
    return watcher ? watcher->activations() : -1;
}

} // namespace

class TestBadFileWindows final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_messages; // every message the user saw, in order
    QTimer m_dismiss;       // answers each message box as a user would, with OK

    // Each failed activation shows exactly this pair.
    static QStringList failedActivations(int count)
    {
        QStringList messages;
        for (int i = 0; i < count; ++i)
            messages << UnexpectedError << CannotContinue;
        return messages;
    }

    template <typename T> static T* control(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    static int listedRows(frmMdict* window) { return control<QListView>(window, "ListBox1")->model()->rowCount(); }

    static void search(frmMdict* window, const char* boxName, const char* buttonName, const QString& text)
    {
        control<QLineEdit>(window, boxName)->setText(text);
        QTest::mouseClick(control<QPushButton>(window, buttonName), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        data::setErrorNotifier([this](const QString& message) { m_messages << message; });
        m_dismiss.setInterval(10);
        connect(&m_dismiss, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_messages << box->text();
                box->accept();
            }
        });
        m_dismiss.start();
    }

    void windows_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(badFiles().size()); ++i)
            QTest::newRow(badFiles()[size_t(i)].name) << i;
    }

    void windows()
    {
        QFETCH(int, index);
        const BadFile& bad = badFiles()[size_t(index)];
        const QString folder = m_dir.filePath(QString::number(index));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(bad.write(folder + u"/orvane.mdb"_s));
        data::setProgramFolder(folder);
        data::SharedDatabase().reset();
        dictionary::SharedDisplayConfig() = {};
        m_messages.clear();

        // The dictionary window's first activation.
        QPointer<frmMdict> window = Windows::showDictionary();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTRY_COMPARE(activations(window), 1);
        QTRY_COMPARE(m_messages, failedActivations(bad.opens ? 0 : 1));
        QVERIFY(window->isVisible());

        // The picker's activation reconnects, with the same outcome.
        QTest::mouseClick(control<QPushButton>(window, "Command5"), Qt::LeftButton);
        QPointer<fGlyph> picker = Windows::picker();
        QVERIFY(picker);
        QVERIFY(QTest::qWaitForWindowActive(picker));
        QTRY_COMPARE(activations(picker), 1);
        QTRY_COMPARE(m_messages, failedActivations(bad.opens ? 0 : 2));

        switch (bad.then) {
        case Then::NothingFound:
            for (int i = 0; i < fGlyph::GridButtons; ++i)
                QVERIFY(picker->CmdB(i)->text().isEmpty());
            QVERIFY(!picker->tiep1()->isEnabled());
            break;
        case Then::FullPicker:
            QCOMPARE(picker->glyphStore().size(), size_t(fGlyph::StoreSlots));
            QVERIFY(!picker->glyphStore().back().isEmpty());
            for (int page = 1; picker->tiep1()->isEnabled() && page < 100; ++page)
                QTest::mouseClick(picker->tiep1(), Qt::LeftButton);
            QCOMPARE(picker->pageIndex(), fGlyph::StoreSlots / fGlyph::GridButtons);
            break;
        default:
            break;
        }
        picker->close();
        QTRY_VERIFY(picker.isNull());

        // Back in the dictionary window (its activations are counted, not assumed).
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::qWait(100); // activation runs from a queued call
        const int dictionaryActivations = activations(window);
        search(window, "TextBox1", "Command2", u"μ"_s);
        const int scriptHits = listedRows(window);
        search(window, "TextBox11", "Command4", u"man"_s);
        const int translitHits = listedRows(window);
        search(window, "TextBox3", "Command1", u"man"_s);
        const int plainHits = listedRows(window);

        switch (bad.then) {
        case Then::NothingFound:
            QCOMPARE(scriptHits + translitHits + plainHits, 0);
            break;
        case Then::FindsEntries:
            QCOMPARE(scriptHits, 1);
            QCOMPARE(translitHits, 1);
            QCOMPARE(plainHits, QByteArrayView(bad.name) == "no m3 column" ? 0 : 1);
            break;
        case Then::HugeEntry: {
            auto* list = control<QListView>(window, "ListBox1");
            QCOMPARE(list->model()->rowCount(), 1);
            list->setCurrentIndex(list->model()->index(0, 0));
            // Shown cut, so that laying it out cannot freeze the window for minutes.
            const QString shown = control<QPlainTextEdit>(window, "TextBox2")->toPlainText();
            QVERIFY(shown.startsWith(u"μανία\n------------------------\nωωω"_s));
            QCOMPARE(shown.size(), dictionary::MaxShownCharacters + 2);
            QVERIFY(shown.endsWith(u"ω\n…"_s));
            break;
        }
        case Then::LoopingKeys: {
            auto* box = control<QLineEdit>(window, "TextBox11");
            for (const QString& typed : {u"ab"_s, u"xpq"_s, u"gg"_s}) {
                box->clear();
                box->setText(typed);
                QVERIFY2(box->text().size() <= typed.size() + dictionary::KeyInput::MaxChainedReplacements,
                         qPrintable(box->text()));
            }
            break;
        }
        case Then::FullPicker:
            break;
        }
        // Whatever the file, searching and typing showed no message of their own.
        QTRY_COMPARE(m_messages, failedActivations(bad.opens ? 0 : dictionaryActivations + 1));

        window->close();
        QTRY_VERIFY(window.isNull());
    }
};

QTEST_MAIN(TestBadFileWindows)
#include "test_badfile_windows.moc"
