// The help launcher: the help file of the program folder goes, by its full path and as
// one argument, to the first viewer that exists and starts; then to the desktop; and a
// missing file or a desktop without any viewer is reported, never fatal.
#include "FixtureDatabase.h"
#include "shell/HelpLauncher.h"

#include <QFile>
#include <QUrl>
#include <QtTest>

using orvane::shell::HelpLauncher;

namespace {

struct FakeSystem
{
    QStringList installed;      // viewer names found on the path
    QStringList failingToStart; // installed, but their start fails
    bool desktopOpens = true;
    QList<QPair<QString, QStringList>> started;
    QList<QUrl> opened;

    HelpLauncher launcher()
    {
        return HelpLauncher(
            [this](const QString& name) { return installed.contains(name) ? "/usr/bin/" + name : QString(); },
            [this](const QString& program, const QStringList& arguments) {
                started.append({program, arguments});
                return !failingToStart.contains(program.section('/', -1));
            },
            [this](const QUrl& url) {
                opened.append(url);
                return desktopOpens;
            });
    }
};

} // namespace

class TestWindowsHelp final : public QObject
{
    Q_OBJECT

private:
    orvane::testing::FixtureFolder m_folder;
    QString m_helpFile;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_helpFile = m_folder.path() + "/orvane.chm";
        QFile file(m_helpFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("ITSF");
    }

    void theHelpFileIsTheOneBesideTheProgram() { QCOMPARE(HelpLauncher::helpFilePath(), m_helpFile); }

    void theFirstViewerThatStartsGetsTheFullPathAsOneArgument()
    {
        FakeSystem system;
        system.installed = {"xchm", "kchmviewer"};
        QCOMPARE(system.launcher().open(m_helpFile), HelpLauncher::Result::Started);
        QCOMPARE(system.started.size(), 1);
        QCOMPARE(system.started[0].first, QStringLiteral("/usr/bin/xchm"));
        QCOMPARE(system.started[0].second, QStringList{m_helpFile});
        QVERIFY(system.opened.isEmpty());
    }

    void aViewerThatFailsToStartHandsOverToTheNext()
    {
        FakeSystem system;
        system.installed = {"xchm", "kchmviewer"};
        system.failingToStart = {"xchm"};
        QCOMPARE(system.launcher().open(m_helpFile), HelpLauncher::Result::Started);
        QCOMPARE(system.started.size(), 2);
        QCOMPARE(system.started[1].first, QStringLiteral("/usr/bin/kchmviewer"));
    }

    void withoutAViewerTheDesktopOpensTheFile()
    {
        FakeSystem system;
        QCOMPARE(system.launcher().open(m_helpFile), HelpLauncher::Result::Started);
        QVERIFY(system.started.isEmpty());
        QCOMPARE(system.opened, QList<QUrl>{QUrl::fromLocalFile(m_helpFile)});
    }

    void nothingThatCanShowItIsReported()
    {
        FakeSystem system;
        system.installed = {"xchm"};
        system.failingToStart = {"xchm"};
        system.desktopOpens = false;
        QCOMPARE(system.launcher().open(m_helpFile), HelpLauncher::Result::NoViewer);
    }

    void aMissingFileStartsNothing()
    {
        FakeSystem system;
        system.installed = {"xchm"};
        QCOMPARE(system.launcher().open(m_folder.path() + "/absent.chm"), HelpLauncher::Result::FileMissing);
        QVERIFY(system.started.isEmpty());
        QVERIFY(system.opened.isEmpty());
    }

    void pathsWithSpacesAndQuotesStayOneArgument()
    {
        QTemporaryDir odd(QDir::tempPath() + "/help dir 'quoted' XXXXXX");
        const QString file = odd.path() + "/orvane.chm";
        QFile help(file);
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        FakeSystem system;
        system.installed = {"xchm"};
        QCOMPARE(system.launcher().open(file), HelpLauncher::Result::Started);
        QCOMPARE(system.started[0].second, QStringList{file});
    }
};

QTEST_MAIN(TestWindowsHelp)
#include "test_windows_help.moc"
