// The real program under Xvfb: files added and joined through the real
// dialogs and windows, Finished by Enter, a second join cancelled by Esc,
// Exit. The script does the driving and the checking.
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TestJoinE2E : public QObject
{
    Q_OBJECT
private slots:
    void realProgramJoinsUnderXvfb()
    {
        const QString binary = qEnvironmentVariable("REELBIND_BINARY");
        if (binary.isEmpty())
            QSKIP("REELBIND_BINARY is not set");
        for (const char* tool : {"xvfb-run", "openbox", "xdotool", "setsid"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));

        QProcess script;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("MIB"), QStringLiteral("64"));
        script.setProcessEnvironment(env);
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start(QStringLiteral("bash"),
                     {QStringLiteral(QT_TESTCASE_SOURCEDIR "/join/e2e_join.sh"), binary});
        QVERIFY(script.waitForStarted());
        QVERIFY2(script.waitForFinished(240000), "the script did not end within 4 minutes");
        const QString output = QString::fromLocal8Bit(script.readAll());
        QVERIFY2(script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0,
                 qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("e2e-join: PASS")), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestJoinE2E)
#include "test_e2e.moc"
