// The file system seam on the real file system: lookups, writes, the trash, the XDG folders.
#include "platform/PosixFileSystem.h"
#include "platform/XdgFolders.h"
#include "support/CoreSupport.h"
#include <QtTest>
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
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg", "only/.x.mpg", "locked"})
            makeFile((QDir().mkpath(at("only")), dir.path()), name, 7);
        makeFile(dir.path(), "empty.mpg", 0);
        QVERIFY(::mkfifo(QFile::encodeName(at("pipe.mpg")), 0600) == 0 &&
                QFile::setPermissions(at("locked"), QFile::WriteOwner) &&
                QFile::link(at("clip1.mpg"), at("link.mpg")) &&
                QFile::link(at("only"), at("linked")) &&
                QFile::link(at("missing.mpg"), at("dangling.mpg")) &&
                ::link(QFile::encodeName(at("odd[1].mpg")), QFile::encodeName(at("hard"))) == 0);
    }
    // Whether a directory search finds `name` ("only" holds a hidden file alone); what fileSize,
    // readableFileSize and openInput (its error where that gives none) say; a pipe never blocks.
    void lookups_data()
    {
        const Table<QString, bool, QString, QString> row({"name", "found", "size", "readable"});
        const QString none = reason(ENOENT), folder = reason(EISDIR),
                      special = FileError::notRegular(false).text();
        for (const char* name : {"clip1.mpg", "link.mpg", "odd[1].mpg"})
            row(name, name, true, "7", "7");
        row("empty", "empty.mpg", true, "0", "0");
        row("hidden", ".hidden.mpg", false, "7", "7");
        row("locked", "locked", true, "7", ::geteuid() == 0 ? "7" : reason(EACCES)); // root reads
        for (const char* pattern : {"clip*.mpg", "?lip1.mpg", "c*1.*", "odd[1]*"})
            row(pattern, pattern, true, none, none);
        for (const char* name : {"missing.mpg", "dangling.mpg", "gone", "clip??.mpg", "CLIP*.MPG",
                                 ".hid*", "onl*", "odd1*", "pipe*", "nowhere/*", "only/*"})
            row(name, name, false, none, none);
        row("a folder", "only", false, folder, folder);
        row("the folder", "", false, folder, folder);
        row("a pipe", "pipe.mpg", false, special, special);
        row("a file as a folder", "clip1.mpg/", false, reason(ENOTDIR), reason(ENOTDIR));
    }
    void lookups()
    {
        const QString path = at(fetch<QString>("name")), readable = fetch<QString>("readable");
        const auto text = [](const auto& r) { return r ? QString::number(*r) : r.error().text(); };
        QCOMPARE(joined(fs.fileExists(path), text(fs.fileSize(path)),
                        text(fs.readableFileSize(path)), fs.openInput(path).error().text()),
                 joined(fetch<bool>("found"), fetch<QString>("size"), readable,
                        readable[0].isDigit() ? "" : readable));
    }
    // The same file; free space; a new file (unnamed while written, then hidden) takes a target's
    // place and permissions, made durable; to the trash, deleted ("": well); small files, replaced.
    void sameFileFreeSpaceAndWrites()
    {
        QStringList seen;
        for (const char* target : {"odd[1].mpg", "only/../odd[1].mpg", "hard", "link.mpg",
                                   "linked/gone.mpg", "empty.mpg", "new.mpg"})
            seen << QString::number(fs.firstSameFile(
                {at("clip1.mpg"), at("odd[1].mpg"), at("odd[1].mpg"), at("only/gone.mpg")},
                at(target)));
        const auto free = fs.freeSpace(dir.path()); // figures move a little between calls
        QVERIFY(free && qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        const QString target = makeFile(dir.path(), "t.mpg", 10),
                      trashed = emptyTrash() + "files/t.mpg", ini = at("s.ini");
        const QFileDevice::Permissions mine = QFile::ReadOwner | QFile::WriteOwner;
        const qint64 limit = 4 << 20;
        const auto all = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
        const QStringList before = (QFile::setPermissions(target, mine), all());
        auto out = fs.createBeside(target);
        QVERIFY(out && !fs.freeSpace(at("no/such/folder")));
        seen << (*out)->path() + QString::number(all() == before) << (*out)->write("abc", 3).text()
             << (*out)->close().text() << QFileInfo((*out)->path()).fileName().left(16);
        const FileIdentity written = fs.identity((*out)->path());
        seen << (*out)->nameAs(target).text() << readAll(target)
             << QString::number(written.size == 3 && fs.identity(target).unchangedSince(written))
             << QString::number((QFileInfo(target).permissions() & 0x7077) == mine)
             << fs.makeDurable(target).text() << fs.makeDurable(at("no")).text()
             << fs.moveToTrash(target).text() << readAll(trashed) << readAll(target)
             << QString::number(fs.moveToTrash(at("no")).failed()) << fs.removeFile(trashed).text()
             << fs.removeFile(at("no")).text();
        out->reset();
        QCOMPARE(seen.join('|'), "1|1|1|0|3|-1|-1|1|||.t.mpg.reelbind-||abc|1|1||" +
                                     reason(ENOENT) + "||abc|<missing>|1||" + reason(ENOENT));
        // A folder moved while a file is written in it: the naming fails, the file goes with it.
        auto moved = (QDir().mkdir(at("sub")), fs.createBeside(at("sub/t.mpg")));
        QVERIFY(moved && QDir().rename(at("sub"), at("moved")) && !(*moved)->close().failed() &&
                (*moved)->nameAs(at("sub/t.mpg")).code() == ENOENT && (moved->reset(), true));
        QCOMPARE(QDir(at("moved")).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(fs.readSmallFile(writeFile(ini, QByteArray(limit, ';')), limit)->size() == limit);
        QCOMPARE(fs.readSmallFile(writeFile(ini, QByteArray(limit + 1, ';')), limit).error().text(),
                 reason(EFBIG));
        QVERIFY(QFile::setPermissions(writeFile(ini, "k=1"), mine) &&
                !fs.replaceFile(ini, "k=2").failed() && *fs.readSmallFile(ini, limit) == "k=2" &&
                (QFileInfo(ini).permissions() & 0x7077) == mine);
    }
    // The trash records each name exactly; another file system (FUSE) has a trash of its own.
    void trashRecordsExactNames_data()
    {
        const Table<QString, bool> row({"name", "elsewhere"});
        row("a newline", "new\nline.mpg", false);
        row("percent, spaces", "sp ace%25.mpg", false);
        row("other scripts", "日本 ü #1.mpg", false);
        row("another file system", "away.mpg", true);
    }
    void trashRecordsExactNames()
    {
        const QString name = fetch<QString>("name");
        const auto view =
            fetch<bool>("elsewhere") ? std::make_unique<BindView>(dir.path()) : nullptr;
        if (view && !view->mounted)
            QSKIP("bindfs (FUSE) cannot mount here: the case on a second file system was not run");
        const QString bin = view ? view->filePath(".Trash-%1/").arg(::geteuid()) : emptyTrash();
        const QString path = makeFile(view ? view->path() : dir.path(), name, 10, 4),
                      moved = fs.moveToTrash(path).text();
        const QByteArray info = readAll(bin + "info/" + name + ".trashinfo");
        const QByteArray recorded = info.mid(info.indexOf("\nPath=") + 6).split('\n')[0];
        QCOMPARE(joined(moved, QFile::exists(path),
                        readAll(bin + "files/" + name) == pattern(10, 4),
                        QString::fromUtf8(QByteArray::fromPercentEncoding(recorded))),
                 joined("", false, true, view ? name : at(name)));
    }
    // A relative XDG folder is unset (GLib then trashes under HOME), a list loses relative entries.
    void relativeXdgFoldersAreIgnored_data()
    {
        const Table<QString, QString, QString> row({"variable", "value", "after"});
        row("data home", "XDG_DATA_HOME", "data", "<unset>");
        row("config home", "XDG_CONFIG_HOME", "./config", "<unset>");
        row("cache home", "XDG_CACHE_HOME", "cache/", "<unset>");
        row("state home", "XDG_STATE_HOME", "../state", "<unset>");
        row("runtime folder", "XDG_RUNTIME_DIR", "run", "<unset>");
        row("an absolute one", "XDG_CACHE_HOME", "/var/cache/x", "/var/cache/x");
        row("data folders", "XDG_DATA_DIRS", "share:/usr/share::s/x:/opt/share",
            "/usr/share:/opt/share");
        row("config folders", "XDG_CONFIG_DIRS", "etc:xdg", "<unset>");
    }
    void relativeXdgFoldersAreIgnored()
    {
        const QByteArray variable = fetch<QString>("variable").toLatin1(), was = qgetenv(variable);
        const bool set = qEnvironmentVariableIsSet(variable);
        const auto back = qScopeGuard([&] { set ? qputenv(variable, was) : qunsetenv(variable); });
        qputenv(variable, QFile::encodeName(fetch<QString>("value")));
        ignoreRelativeXdgFolders();
        QCOMPARE(qEnvironmentVariable(variable, "<unset>"), fetch<QString>("after"));
    }
};
REELBIND_CORE_TEST_MAIN(TestFiles)
#include "test_files.moc"
