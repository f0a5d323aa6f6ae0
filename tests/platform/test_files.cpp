// The file system seam on the real file system: lookups, writes, the trash, the XDG folders.
#include "platform/PosixFileSystem.h"
#include "platform/XdgFolders.h"
#include "support/CoreSupport.h"

#include <QtTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

class TestFiles : public QObject
{
    Q_OBJECT
    PosixFileSystem fs;
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }
private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir("only") &&
                ::mkfifo(QFile::encodeName(at("pipe.mpg")), 0600) == 0);
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg", "only/.x.mpg", "locked"})
            makeFile(dir.path(), name, 7);
        makeFile(dir.path(), "empty.mpg", 0);
        QVERIFY(QFile::setPermissions(at("locked"), QFile::WriteOwner) &&
                QFile::link(at("clip1.mpg"), at("link.mpg")) &&
                QFile::link(at("only"), at("linked")) &&
                QFile::link(at("missing.mpg"), at("dangling.mpg")) &&
                ::link(QFile::encodeName(at("odd[1].mpg")), QFile::encodeName(at("hard"))) == 0);
    }
    // Whether a directory search finds `name` ("only" holds a hidden file alone), and what
    // fileSize, readableFileSize and openInput say of it as a path (a pipe is never waited for).
    void lookups_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("readableSize");
        QTest::addColumn<QString>("openError");
        const QString none = reason(ENOENT), folder = reason(EISDIR), notDir = reason(ENOTDIR),
                      special = FileError::notRegular(false).text(), denied = reason(EACCES);
        const auto row = [](const char* name, bool found, const QString& size,
                            const QString& readable, const QString& open) {
            QTest::newRow(*name ? name : "the folder") << name << found << size << readable << open;
        };
        row("clip1.mpg", true, "7", "7", "");
        row("empty.mpg", true, "0", "0", "");
        row("link.mpg", true, "7", "7", "");
        row("odd[1].mpg", true, "7", "7", "");
        row(".hidden.mpg", false, "7", "7", "");
        const bool root = ::geteuid() == 0; // reads what the file's mode forbids
        row("locked", true, "7", root ? "7" : denied, root ? "" : denied);
        for (const char* pattern : {"clip*.mpg", "?lip1.mpg", "c*1.*", "odd[1]*"})
            row(pattern, true, none, none, none);
        for (const char* name : {"missing.mpg", "dangling.mpg", "gone", "clip??.mpg", "CLIP*.MPG",
                                 ".hid*", "onl*", "odd1*", "pipe*", "nowhere/*", "only/*"})
            row(name, false, none, none, none);
        row("only", false, folder, folder, folder);
        row("", false, folder, folder, folder);
        row("pipe.mpg", false, special, special, special);
        row("clip1.mpg/", false, notDir, notDir, notDir);
    }
    void lookups()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, size);
        QFETCH(QString, readableSize);
        QFETCH(QString, openError);
        const auto text = [](const auto& r) { return r ? QString::number(*r) : r.error().text(); };
        QCOMPARE(fs.fileExists(at(name)), found);
        QCOMPARE(text(fs.fileSize(at(name))), size);
        QCOMPARE(text(fs.readableFileSize(at(name))), readableSize);
        QCOMPARE(fs.openInput(at(name)).error().text(), openError);
    }
    // The same file (the last one, named through a linked folder, is gone), free space, writes.
    void sameFileFreeSpaceAndWrites()
    {
        const QStringList files = {at("clip1.mpg"), at("odd[1].mpg"), at("odd[1].mpg"),
                                   at("only/gone.mpg")};
        QStringList found;
        for (const char* target : {"odd[1].mpg", "only/../odd[1].mpg", "hard", "link.mpg",
                                   "linked/gone.mpg", "empty.mpg", "new.mpg"})
            found << QString::number(fs.firstSameFile(files, at(target)));
        QCOMPARE(found.join(' '), "1 1 1 0 3 -1 -1");
        const auto free = fs.freeSpace(dir.path()); // figures move a little between calls
        QVERIFY(free && qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        QVERIFY(!fs.freeSpace(at("no/such/folder")));
        // A new file takes the target's place with its permissions, made durable; then to the
        // trash, and deleted ("": well). Small files are read whole up to a limit; a replaced one
        // keeps its permissions.
        const QString target = makeFile(dir.path(), "t.mpg", 10),
                      trashed = emptyTrash() + "files/t.mpg", ini = at("s.ini");
        const QFileDevice::Permissions mine = QFile::ReadOwner | QFile::WriteOwner;
        const qint64 limit = 4 << 20;
        QVERIFY(QFile::setPermissions(target, mine));
        const auto all = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
        const QStringList before = all();
        auto out = fs.createBeside(target);
        QVERIFY(out);
        // Unnamed while written (ext4), hidden and marked as the program's own once closed.
        QStringList seen = {(*out)->path() + QString::number(all() == before),
                            (*out)->write("abc", 3).text(), (*out)->close().text(),
                            QFileInfo((*out)->path()).fileName().left(16)};
        const FileIdentity written = fs.identity((*out)->path());
        seen << (*out)->nameAs(target).text() << readAll(target)
             << QString::number(written.size == 3 && fs.identity(target).unchangedSince(written))
             << QString::number((QFileInfo(target).permissions() & 0x7077) == mine)
             << fs.makeDurable(target).text() << fs.makeDurable(at("no")).text()
             << fs.moveToTrash(target).text() << readAll(trashed) << readAll(target)
             << QString::number(fs.moveToTrash(at("no")).failed()) << fs.removeFile(trashed).text()
             << fs.removeFile(at("no")).text();
        out->reset();
        // A folder moved while a file is written in it: the naming fails, the file goes with it.
        auto moved = (QDir().mkdir(at("sub")), fs.createBeside(at("sub/t.mpg")));
        QVERIFY(moved && QDir().rename(at("sub"), at("moved")) && !(*moved)->close().failed() &&
                (*moved)->nameAs(at("sub/t.mpg")).code() == ENOENT && (moved->reset(), true));
        QCOMPARE(QDir(at("moved")).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(seen.join('|'), "1|||.t.mpg.reelbind-||abc|1|1||" + reason(ENOENT) +
                                     "||abc|<missing>|1||" + reason(ENOENT));
        QVERIFY(!writeFile(ini, QByteArray(limit, ';')).isEmpty() &&
                fs.readSmallFile(ini, limit)->size() == limit);
        writeFile(ini, QByteArray(limit + 1, ';'));
        QCOMPARE(fs.readSmallFile(ini, limit).error().text(), reason(EFBIG));
        QVERIFY(!writeFile(ini, "k=1").isEmpty() && QFile::setPermissions(ini, mine) &&
                !fs.replaceFile(ini, "k=2").failed() && *fs.readSmallFile(ini, limit) == "k=2");
        QCOMPARE(QFileInfo(ini).permissions() & 0x7077, mine);
    }
    // The trash records each name exactly for its way back; a file on another file system (a
    // second view of the folder through FUSE) goes to that file system's own trash.
    void trashRecordsExactNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("elsewhere");
        QTest::newRow("a newline") << "new\nline.mpg" << false;
        QTest::newRow("percent, spaces") << "sp ace%25.mpg" << false;
        QTest::newRow("other scripts") << "日本 ü #1.mpg" << false;
        QTest::newRow("another file system") << "away.mpg" << true;
    }
    void trashRecordsExactNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, elsewhere);
        QTemporaryDir view;
        if (elsewhere && QProcess::execute("bindfs", {dir.path(), view.path()}) != 0)
            QSKIP("bindfs (FUSE) cannot mount here: the case on a second file system was not run");
        const auto unmount = qScopeGuard([&] {
            if (elsewhere && QProcess::execute("fusermount", {"-u", "-z", view.path()}) != 0)
                QProcess::execute("umount", {"-l", view.path()});
        });
        const QString bin = elsewhere ? view.filePath(".Trash-%1/").arg(::geteuid()) : emptyTrash();
        const QString path = makeFile(elsewhere ? view.path() : dir.path(), name, 10, 4);
        QCOMPARE(fs.moveToTrash(path).text(), "");
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readAll(bin + "files/" + name), pattern(10, 4));
        const QByteArray info = readAll(bin + "info/" + name + ".trashinfo");
        const QByteArray recorded = info.mid(info.indexOf("\nPath=") + 6).split('\n')[0];
        QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(recorded)),
                 elsewhere ? name : at(name));
    }
    // A relative XDG folder is ignored, each row in a program of its own (GLib keeps the data
    // folder it read first): the trash stays in HOME's data folder, the settings in HOME's config
    // folder, nothing lands in the current folder. "" for `after`: unset.
    void relativeXdgFoldersAreIgnored_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("after");
        const auto row = [](const char* tag, const char* variable, const char* value,
                            const char* after) {
            QTest::newRow(tag) << variable << value << after;
        };
        row("data home", "XDG_DATA_HOME", "data", "");
        row("config home", "XDG_CONFIG_HOME", "./config", "");
        row("cache home", "XDG_CACHE_HOME", "cache/", "");
        row("state home", "XDG_STATE_HOME", "../state", "");
        row("runtime folder", "XDG_RUNTIME_DIR", "run", "");
        row("an absolute one", "XDG_CACHE_HOME", "/var/cache/x", "/var/cache/x");
        row("data folders", "XDG_DATA_DIRS", "share:/usr/share::s/x:/opt/share",
            "/usr/share:/opt/share");
        row("config folders", "XDG_CONFIG_DIRS", "etc:xdg", "");
    }
    void relativeXdgFoldersAreIgnored()
    {
        if (qgetenv("REELBIND_TEST_ROW") != QTest::currentDataTag()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("REELBIND_TEST_ROW", QTest::currentDataTag());
            QProcess row;
            row.setProcessEnvironment(env);
            row.setProcessChannelMode(QProcess::MergedChannels);
            row.start(QCoreApplication::applicationFilePath(),
                      {QTest::currentTestFunction() + QString(':') + QTest::currentDataTag()});
            QVERIFY2(row.waitForFinished(60000) && row.exitStatus() == QProcess::NormalExit &&
                         row.exitCode() == 0,
                     row.readAll().constData());
            return;
        }
        QFETCH(QString, variable);
        QFETCH(QString, value);
        QFETCH(QString, after);
        QTemporaryDir current;
        const QString home = qEnvironmentVariable("HOME"), was = QDir::currentPath();
        const auto back = qScopeGuard([&] { QDir::setCurrent(was); });
        QVERIFY(QDir::setCurrent(current.path()));
        qputenv(qPrintable(variable), QFile::encodeName(value));
        ignoreRelativeXdgFolders();
        QCOMPARE(qEnvironmentVariable(qPrintable(variable), "<unset>"),
                 after.isEmpty() ? "<unset>" : after);
        const QString trashed = makeFile(current.path(), "t.mpg", 3);
        QCOMPARE(fs.moveToTrash(trashed).text(), "");
        QCOMPARE(readAll(home + "/.local/share/Trash/files/t.mpg"), pattern(3, 0));
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                 home + "/.config");
        QCOMPARE(
            QDir(current.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }
};

REELBIND_CORE_TEST_MAIN(TestFiles)
#include "test_files.moc"
