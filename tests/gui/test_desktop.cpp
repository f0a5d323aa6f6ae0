#include "gui/QtDesktop.h"
#include "support/GuiSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

// Runs `fn` on the next modal window once it is up.
template <typename W> void whenUp(std::function<void(W*)> fn)
{
    QTimer::singleShot(0, [fn] {
        QTRY_VERIFY(qobject_cast<W*>(QApplication::activeModalWidget()));
        fn(qobject_cast<W*>(QApplication::activeModalWidget()));
    });
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
    QtDesktop desktop{QStringLiteral("Orvel's Reelbind")};
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; } // a URL handler, no test

private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    // Checked after they closed: a failing check cannot leave a dialog waiting.
    void dialogs()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        QVERIFY(QDir(folder).mkdir(QStringLiteral("movies")));
        QWidget owner;
        QStringList seen;
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Y, Qt::Key_Escape}) {
            whenUp<QMessageBox>([&](QMessageBox* box) {
                QStringList look = {box->windowTitle(), box->text(), QString::number(box->icon()),
                                    QString::number(box->parentWidget() == &owner)};
                for (QAbstractButton* b : box->buttons())
                    look << b->text().remove('&');
                seen << look.join('|');
                QTest::keyClick(box, key);
            });
            if (key == Qt::Key_Return)
                desktop.message(&owner, QStringLiteral("Not enough free space."));
            else
                seen << (desktop.askYesNo(&owner, "Delete Source Files?", "Really?") ? "1" : "0");
        }
        // A question whose safe answer is No: Enter takes it.
        whenUp<QMessageBox>([&](QMessageBox* box) {
            seen << box->defaultButton()->text().remove('&');
            QTest::keyClick(box, Qt::Key_Return);
        });
        seen << (desktop.askYesNo(&owner, "Join Files?", "Sure?", Desktop::Default::No) ? "1"
                                                                                        : "0");
        whenUp<QFileDialog>([&](QFileDialog* d) {
            seen << d->nameFilters().join(';') << d->selectedNameFilter()
                 << d->directory().absolutePath() << QString::number(d->fileMode());
            d->reject();
        });
        seen << desktop.getOpenFileNames(&owner, folder, {"MPG Files (*.mpg)", "All Files (*)"});
        whenUp<QFileDialog>([&](QFileDialog* d) {
            seen << d->windowTitle() << QString::number(d->parentWidget() == &owner);
            d->selectFile(dir.filePath(QStringLiteral("movies")));
            static_cast<QDialog*>(d)->accept(); // QFileDialog::accept checks the choice
        });
        seen << desktop.getExistingDirectory(&owner, "Select your default Source folder:", folder);
        const QString yesNo = "Delete Source Files?|Really?|0|1|Yes|No";
        QCOMPARE(seen, QStringList(
                           {"Orvel's Reelbind|Not enough free space.|0|1|OK", yesNo, "1", yesNo,
                            "0", "No", "0", "MPG Files (*.mpg);All Files (*)", "MPG Files (*.mpg)",
                            folder, QString::number(QFileDialog::ExistingFiles),
                            "Select your default Source folder:", "1", dir.filePath("movies")}));
    }

    void shellOpen()
    {
        // The "refused" handler lacks that slot: the desktop refuses.
        for (const char* scheme : {"https", "file", "refused"})
            QDesktopServices::setUrlHandler(scheme, this, *scheme == 'r' ? "refuse" : "open");
        for (const char* target : {"https://en.wikipedia.org/wiki/Indeo",
                                   "/movies/joined clip#1.mpg", "//Readme.html", "/a:b/c.mpg"})
            QVERIFY(desktop.openDocument(QString::fromUtf8(target)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        QVERIFY(!desktop.openDocument(QStringLiteral("refused://example.org/")));
        for (const char* scheme : {"https", "file", "refused"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(opened, QList<QUrl>({QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")),
                                      QUrl::fromLocalFile("/movies/joined clip#1.mpg"),
                                      QUrl::fromLocalFile("/Readme.html"),
                                      QUrl::fromLocalFile("/a:b/c.mpg")}));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
