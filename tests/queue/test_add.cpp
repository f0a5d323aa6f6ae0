// The Add command: dialog set-up, rows, sizes, the estimate, the buttons,
// the remembered source folder, and files that cannot be added.

#include "QueueTestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace QueueTest;

namespace {
// A large file without writing its bytes.
QString sparseFile(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !f.resize(size))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}
} // namespace

class TestAdd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup()
    {
        QLocale::setDefault(m_locale);
        QVERIFY(TestSupport::closeAllTopLevels().isEmpty());
    }

    void dialogStartsInLiveSourceFolderWithMpgFilterFirst()
    {
        TestSupport::App app;
        QTemporaryDir src;
        app.window->live().setFolderText(LiveSettings::SourceFolder, src.path());
        app.window->CmdAdd->click();
        QCOMPARE(app.platform->dialogs.size(), 1);
        const FakePlatform::DialogCall& d = app.platform->dialogs.first();
        QCOMPARE(d.kind, QStringLiteral("open"));
        QCOMPARE(d.dir, src.path());
        QCOMPARE(d.filters, QStringList({QStringLiteral("MPG Files (*.mpg)"),
                                         QStringLiteral("All Files (*)")}));
        QCOMPARE(d.parent.data(), static_cast<QWidget*>(app.window.get()));

        // An empty folder box opens the dialog in the home folder.
        app.window->live().setFolderText(LiveSettings::SourceFolder, QString());
        app.window->CmdAdd->click();
        QCOMPARE(app.platform->dialogs.at(1).dir, QDir::homePath());
    }

    void millionByteFilesShowRoundedSizesAndTheirSum()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        const QStringList paths = {TestSupport::makeFile(dir.path(), "a.mpg", 1000000),
                                   TestSupport::makeFile(dir.path(), "b.mpg", 1000000),
                                   TestSupport::makeFile(dir.path(), "c.mpg", 1000000)};
        QCOMPARE(queueButtons(*app.window), QStringLiteral("000"));
        addViaDialog(app, paths);
        QCOMPARE(names(*app.window), QStringList({"a.mpg", "b.mpg", "c.mpg"}));
        QCOMPARE(column(*app.window, 1), QStringList(3, dir.path() + "/"));
        QCOMPARE(column(*app.window, 2), QStringList(3, QStringLiteral("0.95")));
        // The sum of the sizes as shown (2.85), not of the exact sizes (2.86).
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("2.85"));
        QCOMPARE(queueButtons(*app.window), QStringLiteral("111"));
        QVERIFY(app.platform->messages.isEmpty());

        // The list shows the same texts the rows hold.
        const QModelIndex size = app.window->queue()->index(1, 2);
        QCOMPARE(app.window->ListViewAdd->model()->data(size).toString(), QStringLiteral("0.95"));
        QCOMPARE(app.window->queue()->at(0).fullPath(), paths.at(0));
    }

    void exactMultipleOfMebibyteShowsTwoZeroDecimals()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        addViaDialog(app, {TestSupport::makeFile(dir.path(), "three.mpg", 3 * 1048576)});
        QCOMPARE(column(*app.window, 2), QStringList({"3.00"}));
        QCOMPARE(column(*app.window, 1), QStringList({dir.path() + "/"}));
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("3.00"));
    }

    void germanLocaleUsesItsDecimalComma()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TestSupport::App app;
        QTemporaryDir dir;
        addViaDialog(app, {TestSupport::makeFile(dir.path(), "a.mpg", 1000000),
                           TestSupport::makeFile(dir.path(), "b.mpg", 1000000),
                           TestSupport::makeFile(dir.path(), "c.mpg", 1000000),
                           sparseFile(dir.path() + "/d.mpg", 1234567890)});
        QCOMPARE(column(*app.window, 2), QStringList({"0,95", "0,95", "0,95", "1177,38"}));
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("1180,23"));
    }

    void filesInTheRootFolderGetASingleSlash()
    {
        // Any readable regular files that happen to lie in "/".
        QStringList rootFiles;
        const QFileInfoList entries =
            QDir(QStringLiteral("/")).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& fi : entries)
            if (fi.isReadable() && !fi.isSymLink())
                rootFiles << fi.absoluteFilePath();
        if (rootFiles.isEmpty())
            QSKIP("no readable regular file in the root folder");
        rootFiles = rootFiles.mid(0, 2);

        TestSupport::App app;
        app.window->live().setCheckState(LiveSettings::RememberSource, 1);
        addViaDialog(app, rootFiles);
        QCOMPARE(app.window->queue()->count(), rootFiles.size());
        for (const QueueRow& r : app.window->queue()->rows()) {
            QCOMPARE(r.folder, QStringLiteral("/"));
            QVERIFY(rootFiles.contains(r.fullPath()));
            QVERIFY(!r.name.contains(QLatin1Char('/')));
        }
        // The root is remembered as "/", not as an empty text.
        QCOMPARE(app.window->live().folderText(LiveSettings::SourceFolder), QStringLiteral("/"));
        QCOMPARE(app.window->settings().SourceDir, std::optional<QString>(QStringLiteral("/")));
    }

    void nestedFolderSplitsAtTheLastSlash()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("x.y/z"));
        const QString p = TestSupport::makeFile(dir.path() + "/x.y/z", "name with spaces.mpg", 10);
        addViaDialog(app, {p});
        QCOMPARE(app.window->queue()->at(0).folder, dir.path() + "/x.y/z/");
        QCOMPARE(app.window->queue()->at(0).name, QStringLiteral("name with spaces.mpg"));
        QCOMPARE(app.window->queue()->at(0).size, QStringLiteral("0.00"));
    }

    void sameFileTwiceGivesTwoRowsCountedTwice()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        const QString p = TestSupport::makeFile(dir.path(), "twice.mpg", 2 * 1048576);
        addViaDialog(app, {p});
        addViaDialog(app, {p});
        QCOMPARE(names(*app.window), QStringList({"twice.mpg", "twice.mpg"}));
        QVERIFY(app.window->queue()->at(0).id != app.window->queue()->at(1).id);
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("4.00"));
    }

    void sortedOnByNameAfterStartUpNumericAndCaseBlind()
    {
        TestSupport::App app;
        QVERIFY(app.window->queue()->isSorted());
        QTemporaryDir dir;
        auto f = [&](const char* n) { return TestSupport::makeFile(dir.path(), n, 100); };
        addViaDialog(app, {f("clip10.mpg"), f("clip2.mpg")});
        QCOMPARE(names(*app.window), QStringList({"clip2.mpg", "clip10.mpg"}));
        // Later Adds take their place among the rows already there.
        addViaDialog(app, {f("Clip3.mpg")});
        addViaDialog(app, {f("clip1.mpg"), f("CLIP20.mpg")});
        QCOMPARE(names(*app.window),
                 QStringList({"clip1.mpg", "clip2.mpg", "Clip3.mpg", "clip10.mpg", "CLIP20.mpg"}));
    }

    void rowsGoToTheEndOnceAMoveTurnedSortingOff()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        auto f = [&](const char* n) { return TestSupport::makeFile(dir.path(), n, 100); };
        addViaDialog(app, {f("b.mpg"), f("a.mpg")});
        QCOMPARE(names(*app.window), QStringList({"a.mpg", "b.mpg"}));
        // A move press with nothing selected moves nothing but ends sorting.
        app.window->CmdMoveDown->click();
        QVERIFY(!app.window->queue()->isSorted());
        addViaDialog(app, {f("d.mpg"), f("0.mpg"), f("c.mpg")});
        QCOMPARE(names(*app.window), QStringList({"a.mpg", "b.mpg", "d.mpg", "0.mpg", "c.mpg"}));
        QVERIFY(app.platform->messages.isEmpty());
    }

    void addedRowsKeepTheSelectionOnTheirRows()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        auto f = [&](const char* n) { return TestSupport::makeFile(dir.path(), n, 100); };
        addViaDialog(app, {f("m.mpg"), f("x.mpg")});
        selectRows(*app.window, {1});
        addViaDialog(app, {f("a.mpg"), f("n.mpg"), f("z.mpg")});
        QCOMPARE(names(*app.window), QStringList({"a.mpg", "m.mpg", "n.mpg", "x.mpg", "z.mpg"}));
        QCOMPARE(selectedNames(*app.window), QStringList({"x.mpg"}));
    }

    void rememberSourceOnStoresTheFolderWithoutSlash()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        app.window->live().setCheckState(LiveSettings::RememberSource, 1);
        addViaDialog(app, {TestSupport::makeFile(dir.path(), "a.mpg", 10)});
        QCOMPARE(app.window->live().folderText(LiveSettings::SourceFolder), dir.path());
        QCOMPARE(app.window->settings().SourceDir, std::optional<QString>(dir.path()));
        // The next Add opens there.
        app.window->CmdAdd->click();
        QCOMPARE(app.platform->dialogs.last().dir, dir.path());
        // And it reaches the settings file when the settings are written.
        app.window->CmdExit->click();
        QVERIFY(app.iniBytes().contains("\nSourceDir=" + dir.path().toUtf8() + "\n"));
    }

    void rememberSourceOffOrGreyedLeavesFolderAlone()
    {
        for (int state : {0, 2}) {
            TestSupport::App app;
            QTemporaryDir dir;
            app.window->live().setCheckState(LiveSettings::RememberSource, state);
            const QString before = app.window->live().folderText(LiveSettings::SourceFolder);
            const auto storedBefore = app.window->settings().SourceDir;
            addViaDialog(app, {TestSupport::makeFile(dir.path(), "a.mpg", 10)});
            QCOMPARE(app.window->queue()->count(), 1);
            QCOMPARE(app.window->live().folderText(LiveSettings::SourceFolder), before);
            QCOMPARE(app.window->settings().SourceDir, storedBefore);
        }
    }

    void cancelChangesNothing()
    {
        TestSupport::App app;
        app.window->live().setCheckState(LiveSettings::RememberSource, 1);
        const QString folder = app.window->live().folderText(LiveSettings::SourceFolder);
        app.window->CmdAdd->click(); // no answer prepared: the user cancels
        QCOMPARE(app.window->queue()->count(), 0);
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("0.00"));
        QCOMPARE(queueButtons(*app.window), QStringLiteral("000"));

        QTemporaryDir dir;
        addViaDialog(app, {TestSupport::makeFile(dir.path(), "a.mpg", 1048576)});
        app.window->CmdClear->setEnabled(false); // a state Cancel must not touch
        const QString remembered = app.window->live().folderText(LiveSettings::SourceFolder);
        QVERIFY(remembered != folder);
        app.window->CmdAdd->click();
        QCOMPARE(names(*app.window), QStringList({"a.mpg"}));
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("1.00"));
        QCOMPARE(queueButtons(*app.window), QStringLiteral("101"));
        QCOMPARE(app.window->live().folderText(LiveSettings::SourceFolder), remembered);
        QVERIFY(app.platform->messages.isEmpty());
    }

    void unreadableEntriesAreLeftOutAndNamedInOneMessage()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        app.window->live().setCheckState(LiveSettings::RememberSource, 1);
        const QString a = TestSupport::makeFile(dir.path(), "a.mpg", 1048576);
        const QString missing = dir.path() + "/missing.mpg";
        const QString folder = dir.path() + "/folder.mpg";
        QVERIFY(QDir().mkdir(folder));
        const QString fifo = dir.path() + "/pipe.mpg";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString c = TestSupport::makeFile(dir.path(), "c.mpg", 2 * 1048576);

        addViaDialog(app, {missing, a, folder, fifo, c});
        QCOMPARE(names(*app.window), QStringList({"a.mpg", "c.mpg"}));
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("3.00"));
        QCOMPARE(queueButtons(*app.window), QStringLiteral("111"));
        QCOMPARE(app.window->live().folderText(LiveSettings::SourceFolder), dir.path());

        QCOMPARE(app.platform->messages.size(), 1);
        const QStringList lines = app.platform->messages.first().split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("These files were not added to the queue:"));
        QCOMPARE(lines.mid(2),
                 QStringList({missing + ": " + QString::fromLocal8Bit(strerror(ENOENT)),
                              folder + ": " + QString::fromLocal8Bit(strerror(EISDIR)),
                              fifo + ": Not a regular file"}));
    }

    void nothingAddableLeavesAnEmptyQueueAsItWas()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        app.window->live().setCheckState(LiveSettings::RememberSource, 1);
        const QString before = app.window->live().folderText(LiveSettings::SourceFolder);
        addViaDialog(app, {dir.path() + "/gone.mpg"});
        QCOMPARE(app.window->queue()->count(), 0);
        QCOMPARE(queueButtons(*app.window), QStringLiteral("000"));
        QCOMPARE(app.window->LblEstFilesize->text(), estimate("0.00"));
        QCOMPARE(app.window->live().folderText(LiveSettings::SourceFolder), before);
        QCOMPARE(app.platform->messages,
                 QStringList({"This file was not added to the queue:\n\n" + dir.path() +
                              "/gone.mpg: " + QString::fromLocal8Bit(strerror(ENOENT))}));
    }

    void fileWithoutReadPermissionIsLeftOut()
    {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        TestSupport::App app;
        QTemporaryDir dir;
        const QString locked = TestSupport::makeFile(dir.path(), "locked.mpg", 10);
        QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
        addViaDialog(app, {locked});
        QCOMPARE(app.window->queue()->count(), 0);
        QCOMPARE(app.platform->messages.size(), 1);
        QVERIFY(app.platform->messages.first().endsWith(locked + ": " +
                                                        QString::fromLocal8Bit(strerror(EACCES))));
    }

private:
    QLocale m_locale;
};

QTEST_MAIN(TestAdd)
#include "test_add.moc"
