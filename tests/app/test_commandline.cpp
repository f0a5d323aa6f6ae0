// The program's command line, run as a user runs it: help, version and
// unknown options need no display.
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
        QTest::addColumn<QString>("out"); // the first line on stdout | on stderr
        QTest::newRow("--help") << QStringList{"--help"} << 0
                                << "Usage: reelbind [options] [FILE...]|";
        QTest::newRow("-h") << QStringList{"-h", "a.mpg"} << 0
                            << "Usage: reelbind [options] [FILE...]|";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "Orvel's Reelbind 1.0.7|";
        QTest::newRow("unknown option")
            << QStringList{"--join-now", "a.mpg"} << 2 << "|reelbind: Unknown option 'join-now'.";
        QTest::newRow("files, no display") << QStringList{"a.mpg"} << 1
                                           << "|reelbind: no display found; start it from a "
                                              "desktop session, or without one run: xvfb-run -a ";
    }
    void optionsWithoutADisplay()
    {
        QFETCH(QStringList, args);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("REELBIND_BINARY"), args);
        QVERIFY(p.waitForFinished(30000));
        QTEST(p.exitCode(), "status");
        const QString seen = QString::fromLocal8Bit(p.readAllStandardOutput()).section('\n', 0, 0) +
                             '|' +
                             QString::fromLocal8Bit(p.readAllStandardError()).section('\n', 0, 0);
        QFETCH(QString, out);
        QVERIFY2(seen.startsWith(out), qPrintable(seen));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
