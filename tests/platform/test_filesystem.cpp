#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"

#include <QStorageInfo>
#include <QtTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using TestSupport::makeFile;
using TestSupport::readAll;
using TestSupport::reason;

class TestPosixFileSystem : public QObject
{
    Q_OBJECT
    PosixFileSystem fs;
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkdir("only"));
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg", "only/.x.mpg", "locked"})
            TestSupport::makeFile(dir.path(), name, 7);
        TestSupport::makeFile(dir.path(), "empty.mpg", 0);
        QVERIFY(QFile::setPermissions(at("locked"), QFile::WriteOwner));
        QVERIFY(QFile::link(at("clip1.mpg"), at("link.mpg")));
        QVERIFY(QFile::link(at("missing.mpg"), at("dangling.mpg")));
        QVERIFY(QFile::link(at("only"), at("linked")));
        QCOMPARE(mkfifo(QFile::encodeName(at("pipe.mpg")).constData(), 0600), 0);
        QCOMPARE(::link(QFile::encodeName(at("odd[1].mpg")), QFile::encodeName(at("hard"))), 0);
    }

    void fileExists_data()
    {
        QTest::addColumn<bool>("found"); // the file the tag names
        // "+": found, "-": not (a lone "-": no name); "only" holds a hidden file alone.
        const QString rows = "+clip1.mpg +empty.mpg +link.mpg +clip*.mpg +?lip1.mpg +c*1.* "
                             "+odd[1].mpg +odd[1]* -.hidden.mpg -only -missing.mpg "
                             "-dangling.mpg -pipe.mpg -clip??.mpg -CLIP*.MPG -.hid* -onl* -odd1* "
                             "-pipe* -clip1.mpg/ -nowhere/* -only/* -";
        for (const QString& row : rows.split(' '))
            QTest::newRow(qPrintable(row.mid(1))) << (row[0] == '+');
    }

    void fileExists() { QTEST(fs.File_Exists(at(QTest::currentDataTag())), "found"); }

    void sizes_data()
    {
        QTest::addColumn<QString>("seen"); // by fileSize, readableFileSize and openInput
        const QString denied = "|O " + TestSupport::reason(EACCES);
        QTest::newRow("link.mpg") << "7|7|7";
        // Opening a pipe could wait for a writer forever.
        QTest::newRow("pipe.mpg") << QStringList(3, "K Not a regular file").join('|');
        if (geteuid() != 0) // root reads every file
            QTest::newRow("locked") << "7" + denied + denied;
    }

    void sizes()
    {
        const QString path = at(QTest::currentDataTag());
        FileSystem::Status opened;
        const auto input = fs.openInput(path, opened);
        QCOMPARE(bool(input), bool(opened));
        QStringList seen;
        for (const FileSystem::Status& s : {fs.fileSize(path), fs.readableFileSize(path), opened})
            seen << (s ? QString::number(s.size) : "-LKO"[int(s.failure)] + (' ' + s.reason));
        QTEST(seen.join('|'), "seen");
    }

    void firstSameFile()
    {
        // The last file, named by the target through a linked folder, was deleted meanwhile.
        const QStringList files = {at("clip1.mpg"), at("odd[1].mpg"), at("odd[1].mpg"),
                                   at("only/gone.mpg")};
        QStringList found;
        for (const char* target : {"odd[1].mpg", "only/../odd[1].mpg", "hard", "link.mpg",
                                   "linked/gone.mpg", "empty.mpg", "new.mpg"})
            found << QString::number(fs.firstSameFile(files, at(target)));
        QCOMPARE(found.join(' '), "1 1 1 0 3 -1 -1");
    }

    void freeSpace()
    {
        const auto free = fs.freeSpace(dir.path()); // figures move a little between calls
        QVERIFY(free && qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        QCOMPARE(fs.freeSpace(at("no/such/folder")), std::nullopt);
    }

    // A new file beside the target takes its place in one step, with the old one's permissions.
    void replaceAndTrash()
    {
        const QString target = at("t.mpg");
        QVERIFY(!makeFile(dir.path(), "t.mpg", 10).isEmpty());
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
        QString why;
        auto out = fs.createBeside(target, why);
        QVERIFY2(out && QFileInfo(out->path()).fileName().startsWith(".t.mpg."), qPrintable(why));
        QVERIFY(out->write("abc", 3, why) && out->identity().size == 3 && out->close(why));
        const FileSystem::Identity written = fs.identity(out->path());
        QCOMPARE(fs.rename(out->path(), target), QString());
        QVERIFY(fs.identity(target).unchangedSince(written) && readAll(target) == "abc");
        QCOMPARE(QFileInfo(target).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(fs.makeDurable(target), QString());
        QCOMPARE(fs.makeDurable(at("nothing")), reason(ENOENT));
        // The user's data folder does not exist yet (Qt 6.4 then put the file in ./files).
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
        QCOMPARE(fs.moveToTrash(target, why), FileSystem::Trashed::Yes);
        QCOMPARE(readAll(home.filePath("data/Trash/files/t.mpg")), QByteArray("abc"));
        QVERIFY(!QFile::exists(target) && !QFile::exists("files/t.mpg"));
        QCOMPARE(fs.moveToTrash(at("nothing"), why), FileSystem::Trashed::NoTrash);
    }
};

QTEST_GUILESS_MAIN(TestPosixFileSystem)
#include "test_filesystem.moc"
