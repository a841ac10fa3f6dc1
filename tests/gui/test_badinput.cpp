// Awkward text in every search box: quotes, SQL wildcards, the pattern characters alone
// and unbalanced, lone surrogates, control characters, bidi and combining marks, and a
// 100,000-character paste. Each search finds exactly what the pattern language says,
// shows no message and leaves the window working.
#include "FixtureDatabase.h"
#include "app/Windows.h"
#include "data/Mainmode.h"
#include "dictionary/DisplayConfig.h"
#include "dictionary/ResultListModel.h"
#include "dictionary/frmMdict.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

using Ids = QList<qint64>;

// The three boxes with their buttons, in the order of the expectation columns.
const char* const Boxes[][2] = {{"TextBox1", "Command2"}, {"TextBox11", "Command4"}, {"TextBox3", "Command1"}};

testing::FixtureRows rows()
{
    testing::FixtureRows rows;
    rows.entries = {
        testing::entry(1, u"o'clock"_s, u"o'clock"_s, u"oclock"_s),
        testing::entry(2, u"say \"hi\""_s, u"say \"hi\""_s, u"say hi"_s),
        testing::entry(3, u"100%"_s, u"100%"_s, u"100"_s),
        testing::entry(4, u"a_b"_s, u"a_b"_s, u"a_b"_s),
        testing::entry(5, u"abc"_s, u"abc"_s, u"abc"_s),
        testing::entry(6, u"[x]"_s, u"[x]"_s, u"x"_s),
        testing::entry(7, u"\u202Eevil"_s, u"\u202Eevil"_s, u"evil"_s),
        testing::entry(8, u"e\u0301"_s, u"é"_s, u"e"_s),
    };
    data::DatabaseWriter::Config config;
    config.name = u"Orvane"_s;
    rows.configs = {config};
    return rows;
}

} // namespace

class TestBadInput final : public QObject
{
    Q_OBJECT

    testing::FixtureFolder m_folder;
    QPointer<frmMdict> m_window;
    QStringList m_messages;
    QTimer m_dismiss;

    template <typename T> T* control(const char* name) const
    {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    Ids listedIds() const
    {
        Ids ids;
        const QAbstractItemModel* model = control<QListView>("ListBox1")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            ids << model->index(row, 0).data(dictionary::ResultListModel::EntryIdRole).toLongLong();
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.write(rows()));
        data::setErrorNotifier([this](const QString& message) { m_messages << message; });
        m_dismiss.setInterval(10);
        connect(&m_dismiss, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_messages << box->text();
                box->accept();
            }
        });
        m_dismiss.start();
        m_window = Windows::showDictionary();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        QTRY_VERIFY(data::SharedDatabase());
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ids>("script");   // hits of TextBox1 (m1)
        QTest::addColumn<Ids>("translit"); // TextBox11 (m2)
        QTest::addColumn<Ids>("plain");    // TextBox3 (m3)
        const Ids all{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("apostrophe") << u"o'"_s << Ids{1} << Ids{1} << Ids{};
        QTest::newRow("apostrophe alone") << u"'"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("double quote") << u"say \""_s << Ids{2} << Ids{2} << Ids{};
        QTest::newRow("percent is plain") << u"100%"_s << Ids{3} << Ids{3} << Ids{};
        QTest::newRow("percent alone") << u"%"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("underscore is plain") << u"a_"_s << Ids{4} << Ids{4} << Ids{4};
        QTest::newRow("underscore alone") << u"_"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("star alone") << u"*"_s << all << all << all;
        QTest::newRow("question mark alone") << u"?"_s << all << all << all;
        QTest::newRow("hash alone") << u"#"_s << Ids{3} << Ids{3} << Ids{3};
        QTest::newRow("open bracket alone") << u"["_s << Ids{6} << Ids{6} << Ids{};
        QTest::newRow("close bracket alone") << u"]"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("unclosed class") << u"[ab"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("unclosed negation") << u"[!"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("class") << u"[ax]"_s << Ids{4, 5} << Ids{4, 5} << Ids{4, 5, 6};
        QTest::newRow("negated class") << u"[!a-z]"_s << Ids{3, 6, 7, 8} << Ids{3, 6, 7, 8} << Ids{3}; // é is no a-z
        QTest::newRow("reversed range reads as a-z")
            << u"[z-a]"_s << Ids{1, 2, 4, 5} << Ids{1, 2, 4, 5} << Ids{1, 2, 4, 5, 6, 7, 8};
        QTest::newRow("bang and dash") << u"!-"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("upper case folds") << u"O'C"_s << Ids{1} << Ids{1} << Ids{};
        // A lone surrogate is one literal character; it once became the ? wildcard on its way to the engine.
        QTest::newRow("lone high surrogate") << u"\xD800"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("lone low surrogate then text") << u"\xDC00"
                                                         "a"_s
                                                      << Ids{} << Ids{} << Ids{};
        QTest::newRow("control characters") << u"\x01\x02\t\x7F"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("nul") << QString(QChar(0)) << Ids{} << Ids{} << Ids{};
        QTest::newRow("bidi override") << u"\u202E"_s << Ids{7} << Ids{7} << Ids{};
        QTest::newRow("bidi marks only") << u"\u200F\u200E\u2066"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("combining mark alone") << u"\u0301"_s << Ids{} << Ids{} << Ids{};
        QTest::newRow("decomposed accent") << u"e\u0301"_s << Ids{8} << Ids{8} << Ids{};
        QTest::newRow("sql") << u"') OR 1=1 --"_s << Ids{} << Ids{} << Ids{};
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(Ids, script);
        QFETCH(Ids, translit);
        QFETCH(Ids, plain);
        const Ids expected[] = {script, translit, plain};
        for (int i = 0; i < 3; ++i) {
            auto* box = control<QLineEdit>(Boxes[i][0]);
            box->setText(text);
            QTest::mouseClick(control<QPushButton>(Boxes[i][1]), Qt::LeftButton);
            QCOMPARE(box->text(), text); // the key input has no rows here: the text stays as typed
            QCOMPARE(listedIds(), expected[i]);
        }
        QCOMPARE(m_messages, QStringList());
    }

    // A paste far longer than any word: each box keeps what a line edit holds and the
    // search simply finds nothing.
    void hugePaste()
    {
        const QString huge = QString(100000, u'a') + u"'%_*?#["_s;
        QGuiApplication::clipboard()->setText(huge);
        for (const auto& [boxName, buttonName] : Boxes) {
            auto* box = control<QLineEdit>(boxName);
            box->clear();
            box->setFocus();
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QVERIFY(huge.startsWith(box->text()));
            QCOMPARE(box->text().size(), qMin(huge.size(), qsizetype(box->maxLength())));
            QTest::mouseClick(control<QPushButton>(buttonName), Qt::LeftButton);
            QCOMPARE(listedIds(), Ids{});
        }
        // The window still answers: an ordinary search right after.
        control<QLineEdit>("TextBox11")->setText(u"ab"_s);
        QTest::mouseClick(control<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(listedIds(), Ids{5});
        QCOMPARE(m_messages, QStringList());
    }
};

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
