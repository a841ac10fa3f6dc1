// orvane --define as a terminal runs it: the real program, no display, a locale not UTF-8, --database.
#include "FixtureDatabase.h"

#include <QProcess>
#include <QTest>

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
        QProcess version; // names the engine it runs on
        version.start(QStringLiteral(ORVANE_PROGRAM), {u"--version"_s});
        QVERIFY(version.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(version.readAllStandardOutput()).contains(u" on SQLite 3."_s));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
