// A join asked for on the command line: without a window, what it says on stderr, its status.
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
        const Table<QStringList, Method, bool, bool, int, QString, QString> row(
            {"sources", "method", "withSets", "stop", "status", "target", "said"});
        const Method as = Method::AsOffered;
        row("bytes", {"a", "b"}, as, false, false, 0, "a,b", "");
        row("bytes forced", {"b", "a"}, Method::Bytes, false, false, 0, "b,a", "");
        row("a set with its other parts", {"VTS_01_1.VOB"}, as, true, false, 0,
            "VTS_01_1.VOB,VTS_01_2.VOB", "");
        row("a set's first part alone", {"VTS_01_1.VOB"}, as, false, false, 0, "VTS_01_1.VOB", "");
        row("a source missing", {"a", "gone", "b"}, as, false, false, 1, "old",
            "reelbind: %1/gone: No such file or directory\n");
        row("one movie of no movie parts", {"a", "b"}, Method::OneMovie, false, false, 1, "old",
            "reelbind: these files cannot be joined as one movie: only MP4/MOV parts, or only "
            "Matroska/WebM parts, can.\n");
        row("the target among the sources", {"a", "t"}, as, false, false, 1, "old",
            "reelbind: %1/t: The target file is one of the files to be joined. Please choose "
            "another target file.\n");
        row("stopped", {"a", "b"}, as, false, true, 130, "old",
            "reelbind: the join to %1/t was stopped; nothing was written.\n");
        row("not matching t.md5, trashing asked", {"a", "b"}, as, false, false, 1, "a,b",
            "reelbind: The joined file %1/t does not match the checksum in %1/t.md5.\n");
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
        cli.start(
            {dir.filePath("t"), sources, fetch<Method>("method"), fetch<bool>("withSets"), summed});
        if (fetch<bool>("stop"))
            cli.stop(130);
        QVERIFY(waitUntil([&] { return finished.count() == 1; }));
        QByteArray wanted;
        for (const QString& name : fetch<QString>("target").split(','))
            wanted += bytes[name];
        QCOMPARE(joined(finished.first().first().toInt(), readAll(dir.filePath("t")) == wanted,
                        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden) == before,
                        QString(said).remove(QRegularExpression(
                            "^reelbind: joining t: .*\n", QRegularExpression::MultilineOption))),
                 joined(fetch<int>("status"), true, true,
                        fetch<QString>("said").replace("%1", dir.path())));
        QVERIFY2(fetch<int>("status") != 0 || said.startsWith("reelbind: joining t: 0% (file 1 "),
                 qPrintable(said));
    }
    // On a terminal: one line, rewritten in place, ended once the join has.
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
        QVERIFY2(said.startsWith("\rreelbind: joining t: 0% (file 1 of 2)\033[K") &&
                     said.endsWith("\n") && said.count('\n') == 1,
                 qPrintable(said));
    }
};

REELBIND_CORE_TEST_MAIN(TestCommandLine)
#include "test_command_line.moc"
