// orvane as a terminal runs it: --define with no display, a locale not UTF-8, --database;
// the windows without a display.
#include "FixtureDatabase.h"
#include "app/CommandLine.h"

#include <QProcess>
#include <QTest>

using namespace orvane;
using namespace orvane::testing;
using namespace Qt::StringLiterals;

class TestCommandLine final : public QObject
{
    Q_OBJECT

private slots:
    void defineWithItsExitStatuses()
    {
        FixtureFolder folder;
        QVERIFY(folder.write({.entries = {entry(1, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s),
                                          entry(2, u"ψυχρός"_s, u"psychrós"_s, u"psychros"_s, u"cold"_s),
                                          entry(3, u"Ψυχή"_s, u"Psychḗ"_s, u"Psyche"_s, u"Psyche"_s)}}));
        const QString rule = u"\n------------------------\n"_s;
        const std::tuple<QStringList, int, QString> cases[] = {
            {{u"--define"_s, u"ψυχρ"_s}, 0, u"psychrós"_s + rule + u"cold\n\n"_s},
            {{u"--define"_s, u"PSYCHE"_s, u"--exact"_s},
             0,
             u"ψυχή"_s + rule + u"soul\n\nΨυχή"_s + rule + u"Psyche\n\n"_s},
            {{u"--define"_s, u"psyche"_s, u"--limit=1"_s}, 0, u"ψυχή"_s + rule + u"soul\n\n"_s},
            {{u"--define"_s, u"psych"_s, u"--exact"_s}, 1, {}},
            {{u"--define"_s, u"--native"_s, u"psyche"_s}, 1, {}},
            {{u"--define"_s, u"ψυχή"_s, u"--database"_s, folder.path()}, 2, {}},
            {{u"--define"_s, u"ψυχή"_s, u"--limit"_s, u"0"_s}, 2, {}},
            {{u"--tray"_s}, 2, {}}, // an unknown option, and no tray is started
        };
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"none"_s); // any use of the GUI would abort
        environment.insert(u"LC_ALL"_s, u"C"_s);
        for (const auto& [arguments, status, output] : cases) {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(ORVANE_PROGRAM),
                          QStringList{u"--database"_s, folder.databasePath()} + arguments);
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), status);
            QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), output);
            QCOMPARE(program.readAllStandardError().count('\n'), status == 2 ? 1 : 0);
        }
    }

    void windowsNeedTheDisplayOfTheirPlatform_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<bool>("starts");
        QTest::newRow("X11") << QStringList() << QStringList{u"DISPLAY=:0"_s} << true;
        QTest::newRow("Wayland") << QStringList() << QStringList{u"WAYLAND_DISPLAY=wayland-1"_s} << true;
        QTest::newRow("an empty DISPLAY") << QStringList() << QStringList{u"DISPLAY="_s} << false;
        QTest::newRow("offscreen") << QStringList() << QStringList{u"QT_QPA_PLATFORM=offscreen"_s} << true;
        QTest::newRow("-platform minimal") << QStringList{u"-platform"_s, u"minimal"_s} << QStringList() << true;
        QTest::newRow("X11 asked for on Wayland")
            << QStringList() << QStringList{u"QT_QPA_PLATFORM=xcb"_s, u"WAYLAND_DISPLAY=wayland-1"_s} << false;
        QTest::newRow("-display") << QStringList{u"-display"_s, u":1"_s} << QStringList{u"QT_QPA_PLATFORM=xcb"_s}
                                  << true;
        QTest::newRow("-platform over the variable")
            << QStringList{u"--platform"_s, u"xcb"_s} << QStringList{u"QT_QPA_PLATFORM=offscreen"_s} << false;
        QTest::newRow("a list, X11 at its end")
            << QStringList() << QStringList{u"QT_QPA_PLATFORM=wayland-egl;xcb:nograb"_s, u"DISPLAY=:0"_s} << true;
        QTest::newRow("a list, no display") << QStringList{u"-platform"_s, u"wayland;xcb"_s} << QStringList() << false;
    }

    void windowsNeedTheDisplayOfTheirPlatform()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(bool, starts);
        QProcessEnvironment variables;
        for (const QString& variable : environment)
            variables.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        const CommandLine command = parseCommandLine(QStringList{u"orvane"_s, u"--lookup"_s} + arguments);
        QCOMPARE(command.error, QString());
        QCOMPARE(missingDisplay(command, variables).isEmpty(), starts);
    }

    void windowsWithoutDisplayLeaveWithOneLine()
    {
        // In a network namespace of its own the program meets no running copy, which would
        // take the look-up; abstract socket names live there.
        const QStringList alone{u"--net"_s, u"--map-root-user"_s};
        if (QProcess::execute(u"unshare"_s, alone + QStringList{u"true"_s}) != 0)
            QSKIP("no network namespace to run the program alone in");
        for (const QStringList& arguments : {QStringList(), QStringList{u"--lookup"_s, u"ψυχή"_s}}) {
            QProcess program;
            program.setProcessEnvironment(QProcessEnvironment()); // no DISPLAY, no WAYLAND_DISPLAY
            program.start(u"unshare"_s, alone + QStringList{QStringLiteral(ORVANE_PROGRAM)} + arguments);
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit); // not Qt's abort
            QCOMPARE(program.exitCode(), 2);
            QCOMPARE(program.readAllStandardError().count('\n'), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
