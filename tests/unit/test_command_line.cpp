// orvane as a terminal runs it: the real program, no display, a locale not UTF-8, --database.
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
    void exitStatusesWithoutDisplay()
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
            {{u"--tray"_s}, 2, {}},              // an unknown option, and no tray is started
            {{u"--lookup"_s, u"ψυχή"_s}, 2, {}}, // the windows: one line instead of Qt's abort
        };
        QProcessEnvironment environment; // empty: no display, no platform
        environment.insert(u"LC_ALL"_s, u"C"_s);
        // In a network namespace of its own no running copy takes the look-up of the last row.
        if (QProcess::execute(u"unshare"_s, {u"-rn"_s, u"true"_s}) != 0)
            QSKIP("no network namespace to run the program in alone");
        const QStringList command{u"-rn"_s, QStringLiteral(ORVANE_PROGRAM), u"--database"_s, folder.databasePath()};
        for (const auto& [arguments, status, output] : cases) {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(u"unshare"_s, command + arguments);
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), status);
            QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), output);
            QCOMPARE(program.readAllStandardError().count('\n'), status == 2 ? 1 : 0);
        }
    }

    void windowsNeedTheDisplayOfTheirPlatform_data()
    {
        QTest::addColumn<QString>("given"); // NAME=value: the environment; the rest: arguments after --lookup
        QTest::addColumn<bool>("starts");
        QTest::newRow("X11") << u"DISPLAY=:0"_s << true;
        QTest::newRow("Wayland") << u"WAYLAND_DISPLAY=wayland-1"_s << true;
        QTest::newRow("offscreen") << u"QT_QPA_PLATFORM=offscreen"_s << true;
        QTest::newRow("X11 asked for on Wayland") << u"QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w-1"_s << false;
        QTest::newRow("-display") << u"QT_QPA_PLATFORM=xcb -display :1"_s << true;
        QTest::newRow("-platform over the variable") << u"QT_QPA_PLATFORM=offscreen --platform xcb"_s << false;
        QTest::newRow("a list, X11 at its end") << u"QT_QPA_PLATFORM=wayland;xcb:nograb DISPLAY=:0"_s << true;
    }

    void windowsNeedTheDisplayOfTheirPlatform()
    {
        QFETCH(QString, given);
        QStringList arguments{u"orvane"_s, u"--lookup"_s};
        QProcessEnvironment environment;
        for (const QString& word : given.split(u' '))
            if (word.contains(u'='))
                environment.insert(word.section(u'=', 0, 0), word.section(u'=', 1));
            else
                arguments << word;
        QTEST(missingDisplay(parseCommandLine(arguments), environment).isEmpty(), "starts");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
