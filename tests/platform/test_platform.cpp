#include "platform/FakePlatform.h"
#include "platform/QtPlatform.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStorageInfo>
#include <QtTest>
#include <functional>

namespace {

// Runs `fn` on the next modal window once it is up.
void whenModal(std::function<void(QWidget*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget* modal = nullptr;
        QTRY_VERIFY((modal = QApplication::activeModalWidget()) != nullptr);
        fn(modal);
    });
}

// What a message box looked like when it was up.
struct BoxSeen
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QStringList buttons;
    QWidget* parent = nullptr;
};

BoxSeen look(QWidget* w)
{
    BoxSeen seen;
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box)
        return seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.parent = box->parentWidget();
    for (QAbstractButton* b : box->buttons())
        seen.buttons << b->text().remove(QLatin1Char('&'));
    seen.buttons.sort();
    return seen;
}

// Records what QDesktopServices would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void messageBox()
    {
        QtPlatform platform;
        QWidget owner;
        BoxSeen seen;
        whenModal([&](QWidget* w) {
            seen = look(w);
            QTest::keyClick(w, Qt::Key_Return);
        });
        platform.message(&owner, QStringLiteral("Not enough free space."));
        QCOMPARE(seen.title, QStringLiteral("Orvel's Reelbind"));
        QCOMPARE(seen.title, appTitle());
        QCOMPARE(seen.text, QStringLiteral("Not enough free space."));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QCOMPARE(seen.parent, &owner);
    }

    void yesNoBox()
    {
        QtPlatform platform;
        const QList<QPair<Qt::Key, bool>> answers = {
            {Qt::Key_Y, true}, {Qt::Key_N, false}, {Qt::Key_Escape, false}};
        for (const auto& answer : answers) {
            BoxSeen seen;
            whenModal([&](QWidget* w) {
                seen = look(w);
                auto* box = qobject_cast<QMessageBox*>(w);
                if (answer.first == Qt::Key_Y)
                    box->button(QMessageBox::Yes)->click();
                else if (answer.first == Qt::Key_N)
                    box->button(QMessageBox::No)->click();
                else
                    QTest::keyClick(w, Qt::Key_Escape);
            });
            const bool yes = platform.askYesNo(nullptr, QStringLiteral("Delete Source Files?"),
                                               QStringLiteral("Really?"));
            QCOMPARE(yes, answer.second);
            QCOMPARE(seen.title, QStringLiteral("Delete Source Files?"));
            QCOMPARE(seen.text, QStringLiteral("Really?"));
            QCOMPARE(seen.icon, QMessageBox::NoIcon);
            QCOMPARE(seen.buttons, QStringList({"No", "Yes"}));
        }
    }

    void openDialog()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        const QString a = TestSupport::makeFile(dir.path(), QStringLiteral("a.mpg"), 3);
        TestSupport::makeFile(dir.path(), QStringLiteral("b.mpg"), 3);
        QStringList filters, initial;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        whenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            filters = d->nameFilters();
            mode = d->fileMode();
            initial << d->directory().absolutePath() << d->selectedNameFilter();
            d->reject();
        });
        const QStringList chosen = platform.getOpenFileNames(
            nullptr, dir.path(),
            {QStringLiteral("MPG Files (*.mpg)"), QStringLiteral("All Files (*)")});
        QVERIFY(chosen.isEmpty()); // cancelled
        QCOMPARE(filters, QStringList({"MPG Files (*.mpg)", "All Files (*)"}));
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        QCOMPARE(initial, QStringList({dir.path(), "MPG Files (*.mpg)"}));
        Q_UNUSED(a);
    }

    void saveDialogAsksBeforeReplacing()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        bool confirms = false;
        QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
        whenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
            acceptMode = d->acceptMode();
            d->reject();
        });
        QCOMPARE(platform.getSaveFileName(nullptr, dir.path(), {QStringLiteral("All Files (*)")}),
                 QString());
        QVERIFY(confirms);
        QCOMPARE(acceptMode, QFileDialog::AcceptSave);
    }

    void folderChooser()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("movies")));
        QWidget owner;
        QString title;
        QWidget* parent = nullptr;
        whenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            title = d->windowTitle();
            parent = d->parentWidget();
            d->selectFile(dir.path() + QStringLiteral("/movies"));
            static_cast<QDialog*>(d)->accept(); // QFileDialog::accept checks the choice
        });
        const QString chosen = platform.getExistingDirectory(
            &owner, QStringLiteral("Select your default Source folder:"), dir.path());
        QCOMPARE(chosen, dir.path() + QStringLiteral("/movies"));
        QCOMPARE(title, QStringLiteral("Select your default Source folder:"));
        QCOMPARE(parent, &owner);

        whenModal([](QWidget* w) { qobject_cast<QFileDialog*>(w)->reject(); });
        QCOMPARE(platform.getExistingDirectory(&owner, QStringLiteral("x"), dir.path()), QString());
    }

    void popupMenu()
    {
        QtPlatform platform;
        QWidget owner;
        QMenu menu(&owner);
        QAction* view = menu.addAction(QStringLiteral("View Selecte File"));
        QAction* remove = menu.addAction(QStringLiteral("Remove Selected File(s)"));
        QSignalSpy viewed(view, &QAction::triggered);
        QSignalSpy removed(remove, &QAction::triggered);

        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activePopupWidget() == &menu);
            menu.setActiveAction(remove);
            QTest::keyClick(&menu, Qt::Key_Return);
        });
        QCOMPARE(platform.popupMenu(&menu, QPoint(10, 10)), remove);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(viewed.count(), 0);

        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activePopupWidget() == &menu);
            QTest::keyClick(&menu, Qt::Key_Escape);
        });
        QCOMPARE(platform.popupMenu(&menu, QPoint(10, 10)), nullptr);
        QCOMPARE(removed.count() + viewed.count(), 1);
    }

    void freeSpace()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        const auto free = platform.freeSpace(dir.path());
        QVERIFY(free.has_value());
        QVERIFY(*free > 0);
        // The same file system as Qt sees it (figures move a little between calls).
        const qint64 qt = QStorageInfo(dir.path()).bytesAvailable();
        QVERIFY(qAbs(*free - qt) < qint64(64) << 20);
        QVERIFY(!platform.freeSpace(dir.path() + QStringLiteral("/no/such/folder")).has_value());
    }

    void shellOpenHandsOverTheRightUrl()
    {
        QtPlatform platform;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QVERIFY(platform.shellOpen(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")));
        QVERIFY(platform.shellOpen(QStringLiteral("/movies/joined clip#1.mpg")));
        QVERIFY(platform.shellOpen(QStringLiteral("//Readme.html")));
        QVERIFY(platform.shellOpen(QStringLiteral("/a:b/c.mpg")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 4);
        QCOMPARE(catcher.urls[0], QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")));
        QCOMPARE(catcher.urls[1].toLocalFile(), QStringLiteral("/movies/joined clip#1.mpg"));
        QCOMPARE(catcher.urls[2].toLocalFile(), QStringLiteral("/Readme.html"));
        QCOMPARE(catcher.urls[2].host(), QString());
        QCOMPARE(catcher.urls[3].toLocalFile(), QStringLiteral("/a:b/c.mpg"));
    }

    void fakeAnswersInOrder()
    {
        FakePlatform fake;
        fake.setNextOpenFiles({QStringLiteral("/m/a.mpg"), QStringLiteral("/m/b.mpg")});
        fake.setNextOpenFiles({QStringLiteral("/m/c.mpg")});
        fake.setNextSaveFile(QStringLiteral("/out/joined.mpg"));
        fake.setNextDirectory(QStringLiteral("/m"));
        fake.setNextAnswer(true);
        fake.setNextAnswer(false);

        QCOMPARE(fake.getOpenFileNames(nullptr, QStringLiteral("/start"), {QStringLiteral("f")}),
                 QStringList({"/m/a.mpg", "/m/b.mpg"}));
        QCOMPARE(fake.getOpenFileNames(nullptr, QStringLiteral("/again"), {}),
                 QStringList({"/m/c.mpg"}));
        QCOMPARE(fake.getOpenFileNames(nullptr, QString(), {}), QStringList()); // cancelled
        QCOMPARE(fake.getSaveFileName(nullptr, QStringLiteral("/t"), {}),
                 QStringLiteral("/out/joined.mpg"));
        QCOMPARE(fake.getSaveFileName(nullptr, QStringLiteral("/t"), {}), QString());
        QCOMPARE(fake.getExistingDirectory(nullptr, QStringLiteral("Pick:"), QStringLiteral("/")),
                 QStringLiteral("/m"));
        QCOMPARE(fake.getExistingDirectory(nullptr, QStringLiteral("Pick:"), QString()), QString());
        QVERIFY(fake.askYesNo(nullptr, QStringLiteral("T"), QStringLiteral("q1")));
        QVERIFY(!fake.askYesNo(nullptr, QStringLiteral("T"), QStringLiteral("q2")));
        QVERIFY(
            !fake.askYesNo(nullptr, QStringLiteral("T"), QStringLiteral("q3"))); // unprepared: No

        QCOMPARE(fake.dialogs.size(), 7);
        QCOMPARE(fake.dialogs[0].dir, QStringLiteral("/start"));
        QCOMPARE(fake.dialogs[0].filters, QStringList{"f"});
        QCOMPARE(fake.dialogs[5].prompt, QStringLiteral("Pick:"));
        QCOMPARE(fake.questions, QStringList({"T|q1", "T|q2", "T|q3"}));
        QCOMPARE(fake.calls.first(), QStringLiteral("open: /start"));
    }

    void fakeMessagesAndPopups()
    {
        FakePlatform fake;
        QStringList seenInside;
        fake.setOnMessage([&](const QString& text) { seenInside << text; });
        fake.message(nullptr, QStringLiteral("one"));
        fake.message(nullptr, QStringLiteral("two"));
        QCOMPARE(fake.messages, QStringList({"one", "two"}));
        QCOMPARE(seenInside, QStringList{"one"}); // runs once

        QMenu menu;
        QAction* a = menu.addAction(QStringLiteral("A"));
        QAction* b = menu.addAction(QStringLiteral("B"));
        QSignalSpy bTriggered(b, &QAction::triggered);
        fake.setNextPopupChoice(1);
        QCOMPARE(fake.popupMenu(&menu, QPoint()), b);
        QCOMPARE(bTriggered.count(), 1);
        QCOMPARE(fake.popupMenu(&menu, QPoint()), nullptr); // unprepared: dismissed
        fake.setNextPopupChoice(5);
        QCOMPARE(fake.popupMenu(&menu, QPoint()), nullptr);
        QCOMPARE(fake.popups.size(), 3);
        QCOMPARE(fake.popups[0], QStringList({"A", "B"}));
        Q_UNUSED(a);

        QVERIFY(fake.freeSpace(QStringLiteral("/x")).value_or(0) > (qint64(1) << 40));
        fake.setFreeSpace(std::nullopt);
        QVERIFY(!fake.freeSpace(QStringLiteral("/y")).has_value());
        QCOMPARE(fake.freeSpaceQueries, QStringList({"/x", "/y"}));
        QVERIFY(fake.shellOpen(QStringLiteral("/r.html")));
        QCOMPARE(fake.opened, QStringList{"/r.html"});
        fake.beep();
        QCOMPARE(fake.beeps, 1);
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
