// Adding files through the Add dialog and by a drop from a file manager.

#include "QueueTestUtil.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLocale>
#include <QMimeData>
#include <QUrl>
#include <QtTest>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace QueueTest;

class TestAdd : public QObject
{
    Q_OBJECT
    QLocale m_locale;

    static QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
    /// shown() plus the source folder (live, stored) and the messages shown.
    static QString snapshot(TestSupport::App& app)
    {
        frmReelbind& w = *app.window;
        return QStringList{shown(w), w.live().folderText(LiveSettings::SourceFolder),
                           w.settings().SourceDir.value_or("<none>"),
                           app.platform->messages.join("##")}
            .join(" | ");
    }
    /// Drag-enter, drag-move and drop of `urls` (or of plain `text`) on the
    /// list, as a file manager sends them: "111 copy" when all three are
    /// accepted and the drop copies.
    static QString drop(frmReelbind& w, const QStringList& urls,
                        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction,
                        const QString& text = {})
    {
        QMimeData mime;
        QList<QUrl> list;
        for (const QString& u : urls)
            list << QUrl::fromUserInput(u);
        text.isEmpty() ? mime.setUrls(list) : mime.setText(text);
        const QPoint pos(20, 20);
        QDragEnterEvent enter(pos, offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QDragMoveEvent move(pos, offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(pos, offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QString accepted;
        for (QDropEvent* e : std::initializer_list<QDropEvent*>{&enter, &move, &dropped}) {
            QCoreApplication::sendEvent(w.ListViewAdd->viewport(), e);
            accepted += e->isAccepted() ? '1' : '0';
        }
        if (!dropped.isAccepted())
            return accepted;
        const Qt::DropAction a = dropped.dropAction();
        return accepted + (a == Qt::CopyAction ? " copy" : a == Qt::LinkAction ? " link" : " move");
    }

private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup()
    {
        QLocale::setDefault(m_locale);
        QVERIFY(TestSupport::closeAllTopLevels().isEmpty());
    }

    void dialogOpensInTheSourceFolderMpgFirst()
    {
        TestSupport::App app;
        for (const QString& text : {QStringLiteral("/"), QString()}) { // empty: home
            app.window->live().setFolderText(LiveSettings::SourceFolder, text);
            app.window->CmdAdd->click();
            const FakePlatform::DialogCall& d = app.platform->dialogs.last();
            QCOMPARE(d.kind + ' ' + d.dir, "open " + (text.isEmpty() ? QDir::homePath() : text));
            QCOMPARE(d.filters, QStringList({"MPG Files (*.mpg)", "All Files (*)"}));
            QCOMPARE(d.parent.data(), static_cast<QWidget*>(app.window.get()));
        }
    }

    void sizesAndEstimate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("expected");
        // The estimate sums the sizes as shown (2.85), not the exact ones (2.86).
        QTest::newRow("3 x 1,000,000")
            << "C" << QList<qint64>(3, 1000000) << "f0 f1 f2 | 0.95 0.95 0.95 | 2.85 MB | 111";
        QTest::newRow("3 x 1,048,576")
            << "C" << QList<qint64>{3 * 1048576} << "f0 | 3.00 | 3.00 MB | 111";
        QTest::newRow("de_DE") << "de_DE" << QList<qint64>{1000000, 1000000, 1000000, 1234567890}
                               << "f0 f1 f2 f3 | 0,95 0,95 0,95 1177,38 | 1180,23 MB | 111";
    }

    void sizesAndEstimate()
    {
        QFETCH(QString, locale);
        QFETCH(QList<qint64>, sizes);
        QLocale::setDefault(QLocale(locale));
        TestSupport::App app;
        QStringList paths;
        for (int i = 0; i < sizes.size(); ++i)
            paths << sized(app.folder.path(), QStringLiteral("f%1").arg(i), sizes.at(i));
        addViaDialog(app, paths);
        QTEST(shown(*app.window), "expected");
        QCOMPARE(column(*app.window, 1), QStringList(sizes.size(), app.folder.path() + '/'));
        QVERIFY(app.platform->messages.isEmpty());
    }

    void filesInTheRootFolder()
    {
        QStringList files;
        for (const QFileInfo& fi : QDir("/").entryInfoList(QDir::Files | QDir::Hidden))
            if (fi.isReadable() && !fi.isSymLink() && files.size() < 2)
                files << fi.absoluteFilePath();
        if (files.isEmpty())
            QSKIP("no readable regular file in the root folder");
        TestSupport::App app;
        app.window->live().setCheckState(LiveSettings::RememberSource, 1);
        addViaDialog(app, files);
        QCOMPARE(column(*app.window, 1), QStringList(files.size(), "/"));
        for (const QueueRow& r : app.window->queue()->rows())
            QVERIFY(files.contains(r.fullPath()));
        // Remembered as "/", not as an empty text.
        QVERIFY(snapshot(app).endsWith(" | / | / | "));
    }

    void sameFileTwiceSplitAtTheLastSlash()
    {
        TestSupport::App app;
        const QString folder = app.folder.path() + "/x.y/z";
        QVERIFY(QDir().mkpath(folder));
        const QString p = sized(folder, "name with spaces", 2 * 1048576);
        addViaDialog(app, {p});
        addViaDialog(app, {p});
        QCOMPARE(shown(*app.window),
                 "name with spaces name with spaces | 2.00 2.00 | 4.00 MB | 111");
        QCOMPARE(column(*app.window, 1), QStringList(2, folder + '/'));
        QVERIFY(app.window->queue()->at(0).id != app.window->queue()->at(1).id);
    }

    void sortOrder()
    {
        TestSupport::App app;
        frmReelbind& w = *app.window;
        auto f = [&](const char* n) { return sized(app.folder.path(), n, 100); };
        addViaDialog(app, {f("clip10"), f("Clip1")}); // natural order after start-up
        addViaDialog(app, {f("clip2")});
        QCOMPARE(column(w).join(' '), "Clip1 clip2 clip10");
        // After a move the order is the user's: new rows go to the end.
        selectRows(w, {0});
        w.CmdMoveDown->click();
        addViaDialog(app, {f("d"), f("0")});
        QCOMPARE(column(w).join(' '), "clip2 Clip1 clip10 d 0");
    }

    void rememberSource()
    {
        for (int state : {0, 1, 2}) { // unticked, ticked, greyed
            TestSupport::App app;
            frmReelbind& w = *app.window;
            w.live().setCheckState(LiveSettings::RememberSource, state);
            w.live().setFolderText(LiveSettings::SourceFolder, "/");
            const QString before = snapshot(app).section(" | ", 4), dir = app.folder.path() + "/in";
            QVERIFY(QDir().mkdir(dir));
            addViaDialog(app, {sized(dir, "a", 10)});
            QCOMPARE(snapshot(app).section(" | ", 4),
                     state == 1 ? dir + " | " + dir + " | " : before);
            w.CmdExit->click();
            QCOMPARE(app.iniBytes().contains("\nSourceDir=" + dir.toUtf8() + "\n"), state == 1);
        }
    }

    void cancelChangesNothing()
    {
        TestSupport::App app;
        for (int round = 0; round < 2; ++round) {    // an empty queue, then one with a row
            app.window->CmdClear->setEnabled(false); // a state Cancel must not touch
            const QString before = snapshot(app);
            app.window->CmdAdd->click(); // no answer prepared: the user cancels
            QCOMPARE(app.platform->dialogs.size(), 2 * round + 1);
            QCOMPARE(snapshot(app), before);
            addViaDialog(app, {sized(app.folder.path(), "a", 1048576)});
        }
    }

    void unreadableEntriesAreNamedNotAdded()
    {
        TestSupport::App app;
        const QString dir = app.folder.path(), missing = dir + "/missing";
        const QString before = snapshot(app);
        addViaDialog(app, {missing}); // nothing addable: nothing changes but the message
        QCOMPARE(snapshot(app), before + "This file was not added to the queue:\n\n" + missing +
                                    ": " + reason(ENOENT));

        const QString folder = dir + "/folder", fifo = dir + "/pipe";
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QStringList paths = {missing, sized(dir, "a", 1048576), folder, fifo,
                             sized(dir, "c", 2 * 1048576)};
        QStringList why = {missing + ": " + reason(ENOENT), folder + ": " + reason(EISDIR),
                           fifo + ": Not a regular file"};
        if (::geteuid() != 0) { // root reads every file
            paths << sized(dir, "locked", 10);
            QVERIFY(QFile::setPermissions(paths.last(), QFileDevice::WriteOwner));
            why << paths.last() + ": " + reason(EACCES);
        }
        app.platform->messages.clear();
        addViaDialog(app, paths);
        QCOMPARE(snapshot(app), "a c | 1.00 2.00 | 3.00 MB | 111 | " + dir + " | " + dir +
                                    " | These files were not added to the queue:\n\n" +
                                    why.join('\n'));
    }

    void manyLeftOutFilesStillFitOneBox()
    {
        TestSupport::App app;
        QStringList paths;
        for (int i = 0; i < 1000; ++i)
            paths << app.folder.path() + QStringLiteral("/gone%1").arg(i, 4, 10, QChar('0'));
        addViaDialog(app, paths);
        const QStringList lines = app.platform->messages.value(0).split('\n');
        QCOMPARE(lines.size(), 2 + 15 + 1);
        QCOMPARE(lines[2], paths[0] + ": " + reason(ENOENT));
        QCOMPARE(lines[16], paths[14] + ": " + reason(ENOENT));
        QCOMPARE(lines.last(), QStringLiteral("... and 985 more."));
    }

    void dropAddsLikeTheAddButton()
    {
        for (bool sorted : {true, false}) {
            TestSupport::App byDialog, byDrop;
            const QString dir = byDialog.folder.path(), folder = dir + "/movies";
            QVERIFY(QDir().mkpath(folder));
            sized(folder, "inside", 10);
            const QStringList paths = {sized(dir, "clip10", 1000000), folder,
                                       sized(dir, "clip2", 3 * 1048576),
                                       sized(dir, "clip1", 1000000)};
            for (TestSupport::App* app : {&byDialog, &byDrop})
                if (!sorted) // as after a move
                    app->window->queue()->setSortedOff();
            addViaDialog(byDialog, paths);
            // Never a move: the file manager keeps its files.
            QCOMPARE(drop(*byDrop.window, paths), "111 copy");
            QTRY_COMPARE(snapshot(byDrop), snapshot(byDialog));
            QCOMPARE(column(*byDrop.window).join(' '),
                     sorted ? "clip1 clip2 clip10" : "clip10 clip2 clip1");
            QVERIFY(snapshot(byDrop).endsWith(" queue:\n\n" + folder + ": " + reason(EISDIR)));
        }
    }

    void dropsTheListRefuses()
    {
        TestSupport::App app;
        frmReelbind& w = *app.window;
        const QString file = sized(app.folder.path(), "one", 10);
        const QString web = QStringLiteral("https://example.org/a.mpg");
        QCOMPARE(drop(w, {web}), "000");
        QCOMPARE(drop(w, {file}, Qt::MoveAction), "000");   // the sender would delete the file
        QCOMPARE(drop(w, {}, Qt::CopyAction, file), "000"); // text is no file list
        w.CmdAdd->setEnabled(false);                        // a join runs
        QCOMPARE(drop(w, {file}), "000");
        QCoreApplication::processEvents(); // a queued addition would run here
        QCOMPARE(w.queue()->count(), 0);
        // A link is fine when it is all the sender offers; web entries are passed over.
        w.CmdAdd->setEnabled(true);
        QCOMPARE(drop(w, {web, file}, Qt::LinkAction), "111 link");
        QTRY_COMPARE(column(w), QStringList("one"));
        QVERIFY(app.platform->messages.isEmpty());
    }
};

QTEST_MAIN(TestAdd)
#include "test_add.moc"
