// The program's command line, run as a user runs it: help, version and
// unknown options need no display; without one the program says how to get one.
#include <QProcess>
#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void optionsWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // how stdout | stderr begin; "$" ends a one-line text
        QTest::newRow("--help") << QStringList{"--help"} << 0
                                << "Usage: reelbind [options] [FILE...]\n|";
        QTest::newRow("-h") << QStringList{"-h", "a.mpg"} << 0
                            << "Usage: reelbind [options] [FILE...]\n|";
        QTest::newRow("--version") << QStringList{"--version"} << 0
                                   << "Orvel's Reelbind 1.0.7\n$|";
        QTest::newRow("unknown option") << QStringList{"--join-now", "a.mpg"} << 2
                                        << "|reelbind: Unknown option 'join-now'.\n";
        QTest::newRow("files, no display")
            << QStringList{"a.mpg"} << 1
            << "$|reelbind: no display found; start it from a desktop session, or without one "
               "run: xvfb-run -a ";
    }
    void optionsWithoutADisplay()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("REELBIND_BINARY"), args);
        QVERIFY(p.waitForFinished(30000));
        QTEST(p.exitCode(), "status");
        const QString seen[] = {QString::fromLocal8Bit(p.readAllStandardOutput()),
                                QString::fromLocal8Bit(p.readAllStandardError())};
        for (int i = 0; i < 2; ++i) {
            QString want = out.section('|', i, i);
            const bool oneLine = want.endsWith('$') || (i == 1 && want.isEmpty());
            want.remove('$');
            QVERIFY2(seen[i].left(want.size()) == want, qPrintable(seen[i]));
            QVERIFY2(!oneLine || seen[i].count('\n') <= 1, qPrintable(seen[i]));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
