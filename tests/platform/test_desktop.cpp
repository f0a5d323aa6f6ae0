#include "platform/QtDesktop.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QtTest>
#include <functional>

namespace {

const QString kTitle = QStringLiteral("Orvel's Reelbind");

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

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void messageAndYesNoBoxes()
    {
        QtDesktop desktop(kTitle);
        QWidget owner;
        QStringList seen;
        QWidget* parent = nullptr;
        whenUp<QMessageBox>([&](QMessageBox* box) {
            seen = look(box);
            parent = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Return);
        });
        desktop.message(&owner, QStringLiteral("Not enough free space."));
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
            QCOMPARE(desktop.askYesNo(nullptr, QStringLiteral("Delete Source Files?"),
                                      QStringLiteral("Really?")),
                     answer == QMessageBox::Yes);
            QCOMPARE(seen, QStringList({"Delete Source Files?", "Really?", "0", "No|Yes"}));
        }
    }

    // The dialogs are looked at while up and always closed; the checks come after,
    // so that a failing check cannot leave a dialog waiting.
    void fileDialogs()
    {
        QtDesktop desktop(kTitle);
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
            desktop.getOpenFileNames(nullptr, dir.path(), {"MPG Files (*.mpg)", "All Files (*)"})
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
        QCOMPARE(desktop.getSaveFileName(nullptr, dir.path(), {"All Files (*)"}), QString());
        QVERIFY(saveAsks);

        QWidget* parent = nullptr;
        whenUp<QFileDialog>([&](QFileDialog* d) {
            seen = QStringList{d->windowTitle()};
            parent = d->parentWidget();
            d->selectFile(dir.path() + QStringLiteral("/movies"));
            static_cast<QDialog*>(d)->accept(); // QFileDialog::accept checks the choice
        });
        QCOMPARE(desktop.getExistingDirectory(
                     &owner, QStringLiteral("Select your default Source folder:"), dir.path()),
                 dir.path() + QStringLiteral("/movies"));
        QCOMPARE(seen, QStringList{"Select your default Source folder:"});
        QCOMPARE(parent, &owner);
    }

    void popupMenu()
    {
        QtDesktop desktop(kTitle);
        QMenu menu;
        menu.addAction(QStringLiteral("View Selecte File"));
        QAction* remove = menu.addAction(QStringLiteral("Remove Selected File(s)"));
        whenUp<QMenu>([&](QMenu* m) {
            m->setActiveAction(remove);
            QTest::keyClick(m, Qt::Key_Return);
        });
        QCOMPARE(desktop.popupMenu(&menu, QPoint(10, 10)), remove);
        whenUp<QMenu>([](QMenu* m) { QTest::keyClick(m, Qt::Key_Escape); });
        QCOMPARE(desktop.popupMenu(&menu, QPoint(10, 10)), nullptr);
    }

    void shellOpen()
    {
        QtDesktop desktop(kTitle);
        UrlCatcher catcher;
        const QStringList schemes = {"https", "file", "refused"};
        const auto unset = qScopeGuard([&] {
            for (const QString& s : schemes)
                QDesktopServices::unsetUrlHandler(s);
        });
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        // A handler without that slot: the desktop refuses.
        QDesktopServices::setUrlHandler(QStringLiteral("refused"), &catcher, "refuse");
        for (const char* target : {"https://en.wikipedia.org/wiki/Indeo",
                                   "/movies/joined clip#1.mpg", "//Readme.html", "/a:b/c.mpg"})
            QVERIFY(desktop.shellOpen(QString::fromUtf8(target)));
        // The classic answer: above 32 is done.
        QCOMPARE(desktop.ShellOpen(QStringLiteral("https://example.org/")), 33);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        QCOMPARE(desktop.ShellOpen(QStringLiteral("refused://example.org/")), 2);
        QCOMPARE(
            catcher.urls,
            QList<QUrl>({QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")),
                         QUrl::fromLocalFile("/movies/joined clip#1.mpg"),
                         QUrl::fromLocalFile("/Readme.html"), QUrl::fromLocalFile("/a:b/c.mpg"),
                         QUrl(QStringLiteral("https://example.org/"))}));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
