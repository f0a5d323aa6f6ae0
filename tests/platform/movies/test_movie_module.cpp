// The loader of the movie module: where it looks, what it refuses and says, that it loads once.
#include "Product.h"
#include "platform/MovieEngine.h"
#include "platform/MovieModule.h"
#include "platform/MovieModuleEntry.h"
#include "platform/PosixFileSystem.h"
#include "support/CoreSupport.h"
#include <future>
using namespace TestSupport;
class TestMovieModule : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    PosixFileSystem fs;
    const QString kModule = Product::kMoviesModuleFile;
private slots:
    // This build's, asked by many threads at once: one engine for all loaders; it reads, and a file
    // of no movie fails in the library's words.
    void builtModule()
    {
        MovieModule module({m_dir.path(), REELBIND_BUILT_MODULES}), again({REELBIND_BUILT_MODULES});
        std::vector<std::future<MovieEngine*>> asked(8);
        for (auto& one : asked)
            one = std::async(std::launch::async,
                             [&] { return module.engine() ? *module.engine() : nullptr; });
        QList<MovieEngine*> got;
        std::for_each(asked.begin(), asked.end(), [&](auto& one) { got << one.get(); });
        auto in = fs.openInput(makeFile(m_dir.path(), "noise.mp4", 5000));
        QVERIFY2(got[0] && in, qPrintable(module.engine().error().text()));
        QCOMPARE(got, QList<MovieEngine*>(8, *again.engine()));
        const QString said = got[0]->describe(**in).error().text();
        QVERIFY2(!said.isEmpty() && !said.contains("module"), qPrintable(said));
    }
    // One of another build is refused, its engine never asked for, in the same words each time.
    void refusedModule_data()
    {
        const Table<QString, int, QString> row({"folder", "code", "reason"});
        row("another version", REELBIND_FAKE_MODULES "/stale", ELIBBAD,
            "it was built for version 0.9.0/1, the program is version " +
                MovieModuleEntry::version());
        row("no entry point", REELBIND_FAKE_MODULES "/entryless", ELIBBAD,
            "it has no entry point reelbind_movies_version");
        makeFile((QDir().mkpath(m_dir.filePath("text")), m_dir.filePath("text")), kModule, 3000);
        row("no library", m_dir.filePath("text"), ELIBACC, "invalid ELF header");
    }
    void refusedModule()
    {
        MovieModule module({fetch<QString>("folder")});
        const FileError error = module.engine().error();
        QCOMPARE(joined(bool(module.engine()), error.code(), error.text()),
                 joined(false, fetch<int>("code"),
                        "the movie module " + fetch<QString>("folder") + "/" + kModule +
                            " cannot be loaded: " + fetch<QString>("reason")));
        QCOMPARE(module.engine().error().text(), error.text());
    }
    // Without it (no other test here uses the program's loader) movies fail naming where it looked.
    void programWithoutModule()
    {
        MovieModule::lookIn(""); // not the tests' folder: where the program looks
        auto in = fs.openInput(makeFile(m_dir.path(), "a.mp4", 1000));
        auto out = fs.createBeside(m_dir.filePath("b.mp4"));
        QVERIFY(in && out);
        const FileError read = describeMovie(**in).error(),
                        write = MovieWriter::create(**out, MovieFamily::Mp4).error();
        const QString bin = QCoreApplication::applicationDirPath(),
                      line = joined(
                          ENOENT, "the movie module " + kModule + " was not found in " + bin +
                                      ", " + QDir::cleanPath(bin + "/" + Product::kModulesFromBin));
        QCOMPARE(joined(read.code(), read.text()) + '\n' + joined(write.code(), write.text()),
                 line + '\n' + line);
    }
};
REELBIND_CORE_TEST_MAIN(TestMovieModule)
#include "test_movie_module.moc"
