#include "platform/FakePlatform.h"
#include "platform/QtPlatform.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStorageInfo>
#include <QtTest>
#include <functional>

namespace {

// Runs `fn` on the next modal window (or pop-up) once it is up.
template <typename W> void whenUp(std::function<void(W*)> fn)
{
    QTimer::singleShot(0, [fn] {
        W* w = nullptr;
        QTRY_VERIFY((w = qobject_cast<W*>(QApplication::activePopupWidget()
                                              ? QApplication::activePopupWidget()
                                              : QApplication::activeModalWidget())));
        fn(w);
    });
}

// Title, text, icon and sorted button texts of a message box.
QStringList look(QMessageBox* box)
{
    QStringList buttons;
    for (QAbstractButton* b : box->buttons())
        buttons << b->text().remove(QLatin1Char('&'));
    buttons.sort();
    return {box->windowTitle(), box->text(), QString::number(box->icon()), buttons.join('|')};
}

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

    void messageAndYesNoBoxes()
    {
        QtPlatform platform;
        QWidget owner;
        QStringList seen;
        QWidget* parent = nullptr;
        whenUp<QMessageBox>([&](QMessageBox* box) {
            seen = look(box);
            parent = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Return);
        });
        platform.message(&owner, QStringLiteral("Not enough free space."));
        QCOMPARE(seen, QStringList({"Orvel's Reelbind", "Not enough free space.", "0", "OK"}));
        QCOMPARE(parent, &owner);

        for (QMessageBox::StandardButton answer :
             {QMessageBox::Yes, QMessageBox::No, QMessageBox::NoButton}) {
            whenUp<QMessageBox>([&](QMessageBox* box) {
                seen = look(box);
                if (answer == QMessageBox::NoButton) // the Escape key
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->button(answer)->click();
            });
            QCOMPARE(platform.askYesNo(nullptr, QStringLiteral("Delete Source Files?"),
                                       QStringLiteral("Really?")),
                     answer == QMessageBox::Yes);
            QCOMPARE(seen, QStringList({"Delete Source Files?", "Really?", "0", "No|Yes"}));
        }
    }

    // The dialogs are looked at while up and always closed; the checks come after,
    // so that a failing check cannot leave a dialog waiting.
    void fileDialogs()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("movies")));
        QWidget owner;
        QStringList seen;
        whenUp<QFileDialog>([&](QFileDialog* d) {
            seen << d->nameFilters() << d->directory().absolutePath() << d->selectedNameFilter()
                 << QString::number(d->fileMode());
            d->reject();
        });
        QVERIFY(
            platform.getOpenFileNames(nullptr, dir.path(), {"MPG Files (*.mpg)", "All Files (*)"})
                .isEmpty());
        QCOMPARE(seen,
                 QStringList({"MPG Files (*.mpg)", "All Files (*)", dir.path(), "MPG Files (*.mpg)",
                              QString::number(QFileDialog::ExistingFiles)}));

        bool saveAsks = false;
        whenUp<QFileDialog>([&](QFileDialog* d) {
            saveAsks = d->acceptMode() == QFileDialog::AcceptSave &&
                       !d->testOption(QFileDialog::DontConfirmOverwrite);
            d->reject();
        });
        QCOMPARE(platform.getSaveFileName(nullptr, dir.path(), {"All Files (*)"}), QString());
        QVERIFY(saveAsks);

        QWidget* parent = nullptr;
        whenUp<QFileDialog>([&](QFileDialog* d) {
            seen = QStringList{d->windowTitle()};
            parent = d->parentWidget();
            d->selectFile(dir.path() + QStringLiteral("/movies"));
            static_cast<QDialog*>(d)->accept(); // QFileDialog::accept checks the choice
        });
        QCOMPARE(platform.getExistingDirectory(
                     &owner, QStringLiteral("Select your default Source folder:"), dir.path()),
                 dir.path() + QStringLiteral("/movies"));
        QCOMPARE(seen, QStringList{"Select your default Source folder:"});
        QCOMPARE(parent, &owner);
    }

    void popupMenu()
    {
        QtPlatform platform;
        QMenu menu;
        menu.addAction(QStringLiteral("View Selecte File"));
        QAction* remove = menu.addAction(QStringLiteral("Remove Selected File(s)"));
        whenUp<QMenu>([&](QMenu* m) {
            m->setActiveAction(remove);
            QTest::keyClick(m, Qt::Key_Return);
        });
        QCOMPARE(platform.popupMenu(&menu, QPoint(10, 10)), remove);
        whenUp<QMenu>([](QMenu* m) { QTest::keyClick(m, Qt::Key_Escape); });
        QCOMPARE(platform.popupMenu(&menu, QPoint(10, 10)), nullptr);
    }

    void freeSpaceAndShellOpen()
    {
        QtPlatform platform;
        QTemporaryDir dir;
        const auto free = platform.freeSpace(dir.path());
        QVERIFY(free.has_value() && *free > 0);
        // Figures move a little between calls.
        QVERIFY(qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < qint64(64) << 20);
        QVERIFY(!platform.freeSpace(dir.path() + QStringLiteral("/no/such/folder")).has_value());

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        for (const char* target : {"https://en.wikipedia.org/wiki/Indeo",
                                   "/movies/joined clip#1.mpg", "//Readme.html", "/a:b/c.mpg"})
            QVERIFY(platform.shellOpen(QString::fromUtf8(target)));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(
            catcher.urls,
            QList<QUrl>({QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")),
                         QUrl::fromLocalFile("/movies/joined clip#1.mpg"),
                         QUrl::fromLocalFile("/Readme.html"), QUrl::fromLocalFile("/a:b/c.mpg")}));
    }

    // What the other tests rely on: answers in order, an unprepared dialog
    // cancels and an unprepared question answers No, the message hook runs once.
    void fakeAnswersInOrder()
    {
        FakePlatform fake;
        fake.setNextOpenFiles({QStringLiteral("/m/a.mpg"), QStringLiteral("/m/b.mpg")});
        fake.setNextOpenFiles({QStringLiteral("/m/c.mpg")});
        fake.setNextAnswer(true);
        QCOMPARE(fake.getOpenFileNames(nullptr, {}, {}), QStringList({"/m/a.mpg", "/m/b.mpg"}));
        QCOMPARE(fake.getOpenFileNames(nullptr, {}, {}), QStringList({"/m/c.mpg"}));
        QCOMPARE(fake.getOpenFileNames(nullptr, {}, {}), QStringList());
        QCOMPARE(fake.getSaveFileName(nullptr, {}, {}), QString());
        QVERIFY(fake.askYesNo(nullptr, QStringLiteral("T"), QStringLiteral("q1")));
        QVERIFY(!fake.askYesNo(nullptr, QStringLiteral("T"), QStringLiteral("q2")));
        QStringList seenInside;
        fake.setOnMessage([&](const QString& text) { seenInside << text; });
        fake.message(nullptr, QStringLiteral("one"));
        fake.message(nullptr, QStringLiteral("two"));
        QCOMPARE(fake.messages, QStringList({"one", "two"}));
        QCOMPARE(seenInside, QStringList{"one"});
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
