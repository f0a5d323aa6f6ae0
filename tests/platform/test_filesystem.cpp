#include "platform/PosixFileSystem.h"
#include "support/TestSupport.h"

#include <QStorageInfo>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using Failure = FileSystem::Failure;
Q_DECLARE_METATYPE(Failure)

const QString kMissing = QStringLiteral("No such file or directory");

class TestPosixFileSystem : public QObject
{
    Q_OBJECT
    PosixFileSystem fs;
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        for (const char* name : {"clip1.mpg", ".hidden.mpg", "odd[1].mpg"})
            TestSupport::makeFile(dir.path(), QString::fromLatin1(name), 10);
        TestSupport::makeFile(dir.path(), QStringLiteral("empty.mpg"), 0);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mpg")));
        QVERIFY(QFile::link(at("clip1.mpg"), at("link.mpg")));
        QVERIFY(QFile::link(at("missing.mpg"), at("dangling.mpg")));
        QCOMPARE(mkfifo(QFile::encodeName(at("pipe.mpg")).constData(), 0600), 0);
        QCOMPARE(::link(QFile::encodeName(at("odd[1].mpg")), QFile::encodeName(at("hard"))), 0);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
        QVERIFY(QFile::link(at("real"), at("linked")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("only")));
        TestSupport::makeFile(at("only"), QStringLiteral(".x.mpg"), 1);
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        for (const char* yes : {"clip1.mpg", "empty.mpg", "link.mpg", "clip*.mpg", "?lip1.mpg",
                                "c*1.*", "clip?.mpg", "odd[1].mpg", "odd[1]*", "*"})
            QTest::newRow(yes) << QString(yes) << true;
        for (const char* no : {".hidden.mpg", "folder.mpg", "missing.mpg", "dangling.mpg",
                               "pipe.mpg", "clip??.mpg", "CLIP*.MPG", ".hid*", "fold*", "odd1*",
                               "pipe*", "nothing*", "clip1.mpg/", "nowhere/*"})
            QTest::newRow(no) << QString(no) << false;
        QTest::newRow("no name") << QString() << false;
        QTest::newRow("a hidden file alone") << QStringLiteral("only/*") << false;
    }

    void fileExists()
    {
        QFETCH(QString, name);
        QTEST(fs.File_Exists(at(name)), "found");
    }

    void sizes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("reason");
        auto row = [](const char* name, const char* file, qint64 size, Failure f,
                      const QString& why) {
            QTest::newRow(name) << QString(file) << size << f << why;
        };
        row("file", "clip1.mpg", 10, Failure::None, QString());
        row("empty file", "empty.mpg", 0, Failure::None, QString());
        row("link followed", "link.mpg", 10, Failure::None, QString());
        row("missing", "missing.mpg", -1, Failure::Lookup, kMissing);
        row("dangling link", "dangling.mpg", -1, Failure::Lookup, kMissing);
        row("inside a file", "clip1.mpg/x", -1, Failure::Lookup, "Not a directory");
        row("folder", "folder.mpg", -1, Failure::Kind, "Is a directory");
        // Opening a pipe could wait for a writer forever.
        row("pipe", "pipe.mpg", -1, Failure::Kind, "Not a regular file");
    }

    void sizes()
    {
        QFETCH(QString, name);
        for (const FileSystem::Status& s : {fs.fileSize(at(name)), fs.readableFileSize(at(name))}) {
            QTEST(s.size, "size");
            QTEST(s.failure, "failure");
            QTEST(s.reason, "reason");
        }
        // Reading it goes the same way, and never blocks.
        FileSystem::Status opened;
        const auto input = fs.openInput(at(name), opened);
        QCOMPARE(bool(input), bool(opened));
        QTEST(opened.size, "size");
        QTEST(opened.reason, "reason");
    }

    void unreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        const QString path = TestSupport::makeFile(dir.path(), QStringLiteral("locked.mpg"), 7);
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        QCOMPARE(fs.fileSize(path).size, 7);
        const FileSystem::Status s = fs.readableFileSize(path);
        QCOMPARE(s.failure, Failure::Open);
        QCOMPARE(s.reason, QStringLiteral("Permission denied"));
    }

    void firstSameFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("index"); // in clip1.mpg, odd[1].mpg, odd[1].mpg, real/gone.mpg
        QTest::newRow("the same path") << "odd[1].mpg" << 1;
        QTest::newRow("a roundabout path") << "folder.mpg/../odd[1].mpg" << 1;
        QTest::newRow("a hard link") << "hard" << 1;
        QTest::newRow("a symbolic link") << "link.mpg" << 0;
        // Neither exists: a queued file deleted meanwhile, named through a linked folder.
        QTest::newRow("new file in a linked folder") << "linked/gone.mpg" << 3;
        QTest::newRow("another file") << "empty.mpg" << -1;
        QTest::newRow("a new file") << "new.mpg" << -1;
    }

    void firstSameFile()
    {
        QFETCH(QString, target);
        const QStringList files = {at("clip1.mpg"), at("odd[1].mpg"), at("odd[1].mpg"),
                                   at("real/gone.mpg")};
        QTEST(fs.firstSameFile(files, at(target)), "index");
    }

    void freeSpace()
    {
        const auto free = fs.freeSpace(dir.path());
        QVERIFY(free.has_value() && *free > 0);
        // Figures move a little between calls.
        QVERIFY(qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        QCOMPARE(fs.freeSpace(at("no/such/folder")), std::nullopt);
    }

    void removeAndCreate()
    {
        const QString path = TestSupport::makeFile(dir.path(), QStringLiteral("gone.mpg"), 3);
        QCOMPARE(fs.removeFile(path), QString());
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(fs.removeFile(path), kMissing);
        QString reason;
        QVERIFY(!fs.createOutput(at("nowhere/joined.mpg"), reason));
        QCOMPARE(reason, kMissing);
    }
};

QTEST_GUILESS_MAIN(TestPosixFileSystem)
#include "test_filesystem.moc"
