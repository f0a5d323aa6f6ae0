// A join asked for on the command line: the session driven without a window, what it says on
// standard error and the status it ends with.
#include "core/join/CommandLineJoin.h"
#include "support/CoreSupport.h"

#include <QDir>
#include <QSignalSpy>

using namespace TestSupport;
using Method = CommandLineJoin::Method;

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void join_data()
    {
        const Table<QStringList, int, bool, bool, int, QString, QString> row(
            {"sources", "method", "withSets", "stop", "status", "target", "said"});
        const QString none;
        row("bytes", {"a", "b"}, int(Method::AsOffered), false, false, 0, "a,b", none);
        row("bytes forced", {"b", "a"}, int(Method::Bytes), false, false, 0, "b,a", none);
        row("a set with its other parts", {"VTS_01_1.VOB"}, int(Method::AsOffered), true, false, 0,
            "VTS_01_1.VOB,VTS_01_2.VOB", none);
        row("a set's first part alone", {"VTS_01_1.VOB"}, int(Method::AsOffered), false, false, 0,
            "VTS_01_1.VOB", none);
        row("a source missing", {"a", "gone", "b"}, int(Method::AsOffered), false, false, 1, "old",
            "reelbind: %1/gone: No such file or directory\n");
        row("one movie of no movie parts", {"a", "b"}, int(Method::OneMovie), false, false, 1,
            "old",
            "reelbind: these files cannot be joined as one movie: only MP4/MOV parts, or only "
            "Matroska/WebM parts, can.\n");
        row("the target among the sources", {"a", "t"}, int(Method::AsOffered), false, false, 1,
            "old",
            "reelbind: %1/t: The target file is one of the files to be joined. Please choose "
            "another target file.\n");
        row("stopped", {"a", "b"}, int(Method::AsOffered), false, true, 130, "old",
            "reelbind: the join to %1/t was stopped; nothing was written.\n");
        row("not matching t.md5, trashing asked", {"a", "b"}, int(Method::AsOffered), false, false,
            1, "a,b", "reelbind: The joined file %1/t does not match the checksum in %1/t.md5.\n");
    }
    void join()
    {
        QTemporaryDir dir;
        QMap<QString, QByteArray> bytes;
        int seed = 0;
        for (const QString name : {"a", "b", "VTS_01_1.VOB", "VTS_01_2.VOB"})
            bytes[name] = readAll(makeFile(dir.path(), name, 5000 + 1000 * seed, seed)), ++seed;
        bytes["old"] = readAll(writeFile(dir.filePath("t"), "old"));
        const bool summed = QString(QTest::currentDataTag()).contains("t.md5");
        if (summed)
            writeFile(dir.filePath("t.md5"), QByteArray(32, '0') + "  t\n");
        QStringList sources;
        for (const QString& name : fetch<QStringList>("sources"))
            sources << dir.filePath(name);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

        TestFileSystem files;
        QString said;
        CommandLineJoin cli(files, false, [&said](const QString& text) { said += text; });
        QSignalSpy finished(&cli, &CommandLineJoin::finished);
        cli.start({dir.filePath("t"), sources, Method(fetch<int>("method")),
                   fetch<bool>("withSets"), summed});
        if (fetch<bool>("stop"))
            cli.stop(130);
        QVERIFY(waitUntil([&] { return finished.count() == 1; }));

        QByteArray wanted;
        for (const QString& name : fetch<QString>("target").split(','))
            wanted += bytes[name];
        const QString progress = said.section('\n', 0, 0);
        QCOMPARE(joined(finished.first().first().toInt(), readAll(dir.filePath("t")) == wanted,
                        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden) == before,
                        QString(said).remove(QRegularExpression(
                            "^reelbind: joining t: .*\n", QRegularExpression::MultilineOption))),
                 joined(fetch<int>("status"), true, true,
                        fetch<QString>("said").replace("%1", dir.path())));
        QVERIFY2(fetch<int>("status") != 0 ||
                     progress.startsWith("reelbind: joining t: 0% (file 1 "),
                 qPrintable(said));
    }

    void progressOnATerminal()
    {
        QTemporaryDir dir;
        const QStringList sources = {makeFile(dir.path(), "a", 5000), makeFile(dir.path(), "b", 5)};
        TestFileSystem files;
        QString said;
        CommandLineJoin cli(files, true, [&said](const QString& text) { said += text; });
        QSignalSpy finished(&cli, &CommandLineJoin::finished);
        cli.start({dir.filePath("t"), sources});
        QVERIFY(waitUntil([&] { return finished.count() == 1; }));
        // One line, rewritten in place, ended once the join has.
        QVERIFY2(said.startsWith("\rreelbind: joining t: 0% (file 1 of 2)\033[K") &&
                     said.endsWith("\n") && said.count('\n') == 1,
                 qPrintable(said));
    }
};

REELBIND_CORE_TEST_MAIN(TestCommandLine)
#include "test_command_line.moc"
