// The loader of the movie module: where it looks, what it refuses and says, and that it
// loads once; and the program without its module, in a process of its own.
#include "Product.h"
#include "platform/MovieEngine.h"
#include "platform/MovieModule.h"
#include "platform/MovieModuleEntry.h"
#include "platform/PosixFileSystem.h"
#include "support/CoreSupport.h"

#include <QtTest>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>
#include <vector>

using namespace TestSupport;

namespace {

const QString kModule = Product::kMoviesModuleFile;

// Without its module (in `folder`, or where the program looks when it is empty): what
// describeMovie() and MovieWriter::create() say, one line each.
int runWithoutModule(const QString& folder)
{
    if (!folder.isEmpty())
        MovieModule::lookIn(folder);
    QTemporaryDir dir;
    PosixFileSystem fs;
    const QString part = makeFile(dir.path(), QStringLiteral("a.mp4"), 1000);
    FileResult<std::unique_ptr<InputFile>> in = fs.openInput(part);
    FileResult<std::unique_ptr<OutputFile>> out = fs.createBeside(dir.path() + "/b.mp4");
    if (!in || !out)
        return 2;
    const FileResult<MovieLayout> layout = describeMovie(**in);
    const FileResult<std::unique_ptr<MovieWriter>> writer =
        MovieWriter::create(**out, MovieFamily::Mp4);
    std::printf("%d %s\n%d %s\n", layout.error().code(), qPrintable(layout.error().text()),
                writer.error().code(), qPrintable(writer.error().text()));
    return layout || writer ? 1 : 0;
}

} // namespace

class TestMovieModule : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    // The one this build made, which the tests' program loader takes.
    void builtModule()
    {
        QCOMPARE(MovieModule::program().folders(), QStringList{REELBIND_BUILT_MODULES});
        MovieModule module({m_dir.path(), REELBIND_BUILT_MODULES});
        const FileResult<MovieEngine*> engine = module.engine();
        QVERIFY2(engine, qPrintable(engine.error().text()));
        QVERIFY(*engine);
        // Its engine reads: a file of no movie fails in the library's words.
        PosixFileSystem fs;
        FileResult<std::unique_ptr<InputFile>> in =
            fs.openInput(makeFile(m_dir.path(), QStringLiteral("noise.mp4"), 5000));
        QVERIFY(in);
        const FileResult<MovieLayout> layout = (*engine)->describe(**in);
        QVERIFY(!layout);
        QVERIFY2(!layout.error().text().isEmpty() &&
                     !layout.error().text().contains(QLatin1String("module")),
                 qPrintable(layout.error().text()));
        // Another loader of the same file gets the same engine.
        MovieModule again({REELBIND_BUILT_MODULES});
        QCOMPARE(*again.engine(), *engine);
    }

    // Asked by many threads at once, before anything loaded it: one engine for all.
    void firstUseFromManyThreads()
    {
        MovieModule module({REELBIND_BUILT_MODULES});
        std::atomic<int> waiting{8};
        QList<MovieEngine*> got(8, nullptr);
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&, i] {
                for (--waiting; waiting > 0;)
                    std::this_thread::yield();
                const FileResult<MovieEngine*> e = module.engine();
                got[i] = e ? *e : nullptr;
            });
        for (std::thread& t : threads)
            t.join();
        QVERIFY(got[0]);
        QCOMPARE(got, QList<MovieEngine*>(8, got[0]));
    }

    // Where there is none: the module and every folder looked in are named.
    void missingModule()
    {
        const QString other = m_dir.path() + "/nowhere";
        MovieModule module({m_dir.path(), other});
        const FileResult<MovieEngine*> engine = module.engine();
        QVERIFY(!engine);
        QCOMPARE(engine.error().code(), ENOENT);
        QCOMPARE(engine.error().text(),
                 QStringLiteral("the movie module %1 was not found in %2, %3")
                     .arg(kModule, m_dir.path(), other));
        // Once failed, it stays failed, in the same words.
        QCOMPARE(module.engine().error().text(), engine.error().text());
    }

    // A module that is not the one this program needs is refused, its engine never asked for.
    void refusedModule_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("another version")
            << REELBIND_FAKE_MODULES "/stale"
            << "it was built for version 0.9.0/1, the program is version " +
                   QString::fromUtf8(MovieModuleEntry::version());
        QTest::newRow("no entry point") << REELBIND_FAKE_MODULES
            "/entryless" << QStringLiteral("it has no entry point reelbind_movies_version");
        QDir().mkpath(m_dir.path() + "/text");
        makeFile(m_dir.path() + "/text", kModule, 3000);
        QTest::newRow("no library")
            << m_dir.path() + "/text" << QStringLiteral("invalid ELF header");
    }
    void refusedModule()
    {
        QFETCH(QString, folder);
        QFETCH(QString, reason);
        MovieModule module({folder});
        const FileResult<MovieEngine*> engine = module.engine();
        QVERIFY(!engine);
        QCOMPARE(engine.error().text(),
                 QStringLiteral("the movie module %1/%2 cannot be loaded: %3")
                     .arg(folder, kModule, reason));
        QVERIFY(engine.error().code() == ELIBBAD || engine.error().code() == ELIBACC);
    }

    // The program without its module: describeMovie() and MovieWriter::create() fail, naming
    // it and where it was looked for, and nothing crashes. In a process of its own, which
    // looks where a program of its folder looks (beside it, then ../lib/reelbind) or in an
    // empty folder.
    void programWithoutModule_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("where");
        const QString bin = QCoreApplication::applicationDirPath();
        QTest::newRow("beside the program, then installed")
            << QString() << bin + ", " + QDir::cleanPath(bin + "/" + Product::kModulesFromBin);
        QTest::newRow("a folder named") << m_dir.path() << m_dir.path();
    }
    void programWithoutModule()
    {
        QFETCH(QString, folder);
        QFETCH(QString, where);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--without-module", folder});
        QVERIFY(child.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() == 0,
                 qPrintable(out + QString::fromLocal8Bit(child.readAllStandardError())));
        const QString line = QStringLiteral("%1 the movie module %2 was not found in %3")
                                 .arg(ENOENT)
                                 .arg(kModule, where);
        QCOMPARE(out, line + '\n' + line + '\n');
    }
};

int main(int argc, char* argv[])
{
    // The child of programWithoutModule: the program's loader untouched by the tests' folder.
    const bool child = argc == 3 && qstrcmp(argv[1], "--without-module") == 0;
    if (!child)
        isolateEnvironment();
    QCoreApplication app(argc, argv);
    if (child)
        return runWithoutModule(QString::fromLocal8Bit(argv[2]));
    TestMovieModule tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "test_movie_module.moc"
