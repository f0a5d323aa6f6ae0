// Files dropped from a file manager onto the queue list are added exactly
// as the Add command adds them.

#include "QueueTestUtil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

using namespace QueueTest;

class TestDrop : public QObject
{
    Q_OBJECT

    /// Everything a user can see of the queue after an addition.
    static QString snapshot(TestSupport::App& app)
    {
        frmReelbind& w = *app.window;
        QStringList parts;
        for (const QueueRow& r : w.queue()->rows())
            parts << r.name + '|' + r.folder + '|' + r.size;
        parts << w.LblEstFilesize->text() << queueButtons(w)
              << w.live().folderText(LiveSettings::SourceFolder)
              << w.settings().SourceDir.value_or(QStringLiteral("<none>"))
              << app.platform->messages.join(QStringLiteral("##"));
        return parts.join('\n');
    }

private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void dropAddsLikeTheAddButton()
    {
        QTemporaryDir dir;
        const QString missing = dir.path() + "/missing.mpg";
        const QStringList paths = {TestSupport::makeFile(dir.path(), "clip10.mpg", 1000000),
                                   missing,
                                   TestSupport::makeFile(dir.path(), "clip2.mpg", 3 * 1048576),
                                   TestSupport::makeFile(dir.path(), "clip1.mpg", 1000000)};
        for (bool sorted : {true, false}) {
            TestSupport::App byDialog;
            TestSupport::App byDrop;
            for (TestSupport::App* app : {&byDialog, &byDrop}) {
                app->window->live().setCheckState(LiveSettings::RememberSource, 1);
                if (!sorted)
                    app->window->queue()->setSortedOff();
            }
            addViaDialog(byDialog, paths);
            Qt::DropAction action = Qt::IgnoreAction;
            QVERIFY(dropFiles(*byDrop.window, paths, Qt::CopyAction | Qt::MoveAction, &action));
            // Never a move: the file manager must keep its files.
            QCOMPARE(action, Qt::CopyAction);
            QTRY_COMPARE(byDrop.window->queue()->count(), 3);
            QCOMPARE(snapshot(byDrop), snapshot(byDialog));
            QCOMPARE(names(*byDrop.window),
                     sorted ? QStringList({"clip1.mpg", "clip2.mpg", "clip10.mpg"})
                            : QStringList({"clip10.mpg", "clip2.mpg", "clip1.mpg"}));
            QCOMPARE(byDrop.window->LblEstFilesize->text(), estimate("4.90"));
            QCOMPARE(byDrop.platform->messages.size(), 1);
            QVERIFY(byDrop.platform->messages.first().contains(missing));
        }
    }

    void droppedFolderIsNamedNotAdded()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        const QString folder = dir.path() + "/movies";
        QVERIFY(QDir().mkpath(folder + "/inner"));
        TestSupport::makeFile(folder, "inside.mpg", 100);
        const QString file = TestSupport::makeFile(dir.path(), "one.mpg", 1048576);
        QVERIFY(dropFiles(*app.window, {folder, file}));
        QTRY_COMPARE(app.platform->messages.size(), 1);
        QCOMPARE(names(*app.window), QStringList({"one.mpg"}));
        QCOMPARE(app.platform->messages.first(), "This file was not added to the queue:\n\n" +
                                                     folder + ": " +
                                                     QString::fromLocal8Bit(strerror(EISDIR)));
        QCOMPARE(queueButtons(*app.window), QStringLiteral("111"));

        // A folder alone: nothing added, the buttons stay as they were.
        TestSupport::App empty;
        QVERIFY(dropFiles(*empty.window, {folder}));
        QTRY_COMPARE(empty.platform->messages.size(), 1);
        QCOMPARE(empty.window->queue()->count(), 0);
        QCOMPARE(queueButtons(*empty.window), QStringLiteral("000"));
    }

    void dropsTheListRefuses()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        const QString file = TestSupport::makeFile(dir.path(), "one.mpg", 10);

        // No local file in it.
        QVERIFY(!dropFiles(*app.window, {QStringLiteral("https://example.org/a.mpg")}));
        // Only a move offered: taking it would let the sender delete the file.
        QVERIFY(!dropFiles(*app.window, {file}, Qt::MoveAction));
        // Plain text is no file list.
        QMimeData text;
        text.setText(file);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(app.window->ListViewAdd->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(app.window->ListViewAdd->viewport(), &drop);
        QVERIFY(!enter.isAccepted());
        QVERIFY(!drop.isAccepted());
        // While Add is off (a join runs), nothing is taken.
        app.window->CmdAdd->setEnabled(false);
        QVERIFY(!dropFiles(*app.window, {file}));

        QTest::qWait(20);
        QCoreApplication::processEvents();
        QCOMPARE(app.window->queue()->count(), 0);
        QVERIFY(app.platform->messages.isEmpty());

        // A link is fine when it is all the sender offers; non-local entries
        // of a mixed list are passed over.
        app.window->CmdAdd->setEnabled(true);
        Qt::DropAction action = Qt::IgnoreAction;
        QVERIFY(dropFiles(*app.window, {QStringLiteral("https://example.org/a.mpg"), file},
                          Qt::LinkAction, &action));
        QCOMPARE(action, Qt::LinkAction);
        QTRY_COMPARE(names(*app.window), QStringList({"one.mpg"}));
        QVERIFY(app.platform->messages.isEmpty());
    }

    void dragEnterIsAcceptedOnlyForFiles()
    {
        TestSupport::App app;
        QTemporaryDir dir;
        const QString file = TestSupport::makeFile(dir.path(), "one.mpg", 10);
        QWidget* vp = app.window->ListViewAdd->viewport();

        std::unique_ptr<QMimeData> files(uriList({file}));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, files.get(),
                              Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDragMoveEvent move(QPoint(8, 8), Qt::CopyAction | Qt::MoveAction, files.get(),
                            Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &move);
        QVERIFY(move.isAccepted());
        QCOMPARE(move.dropAction(), Qt::CopyAction);

        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &other);
        QVERIFY(!other.isAccepted());
        QDragMoveEvent otherMove(QPoint(8, 8), Qt::CopyAction, &text, Qt::LeftButton,
                                 Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &otherMove);
        QVERIFY(!otherMove.isAccepted());
    }
};

QTEST_MAIN(TestDrop)
#include "test_drop.moc"
