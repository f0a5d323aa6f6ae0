// The real desktop's dialogs, each answered once it is up: what it shows, who owns it, what its
// keys answer; how an ending program closes them (dismissAll()); documents opened.
#include "gui/QtDesktop.h"
#include "support/GuiSupport.h"

#include <QtWidgets>

using namespace TestSupport;

namespace {

/// The modal dialog up now, once there is one, as a W.
template <typename W> W* up()
{
    waitUntil([] { return QApplication::activeModalWidget() != nullptr; }, 5000);
    return qobject_cast<W*>(QApplication::activeModalWidget());
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
    QtDesktop* desktop = nullptr; // a new one for each case: dismissAll() lasts
    QWidget owner;
    QStringList answers; // what each dialog's `done` got, in order
    QList<QUrl> opened;

    /// Opens a dialog of this kind (a message, a Yes/No box whose Enter is Yes or No, a box of
    /// three buttons whose Enter is the first and Esc the last, the open, save or folder dialog).
    void show(const QString& kind, const QString& dir = "/")
    {
        const auto take = [this](const QString& answer) { answers << answer; };
        if (kind == "message")
            desktop->message(&owner, "Not enough free space.", [this] { answers << "closed"; });
        else if (kind == "three")
            desktop->choose(&owner, "Join Files?", "How?", {"One", "Two", "Three"}, 0, 2,
                            [this](int i) { answers << QString::number(i); });
        else if (kind == "open")
            desktop->chooseFilesToOpen(
                &owner, dir, Desktop::movieFilters(),
                [this](const QStringList& f) { answers << "open " + f.join(','); });
        else if (kind == "save")
            desktop->chooseSaveFile(&owner, dir, Desktop::movieFilters(), take);
        else if (kind == "folder")
            desktop->chooseFolder(&owner, "Select your default Source folder:", dir, take);
        else
            desktop->askYesNo(&owner, "Delete Source Files?", "Really?",
                              kind == "No" ? Desktop::Default::No : Desktop::Default::Yes,
                              [this](bool yes) { answers << QVariant(yes).toString(); });
    }

public slots:
    void open(const QUrl& url) { opened << url; } // a URL handler, no test

private slots:
    void init() { desktop = new QtDesktop(QStringLiteral("Orvel's Reelbind")), answers.clear(); }
    void cleanup() { delete desktop, visibleTopLevels(true); } // a failed case leaves none open
    void dialogs_data()
    {
        // The key pressed on the dialog (Enter on a file dialog accepts "movies" as it is);
        // what it shows: title, then a box's text, Enter's button and buttons, or a file
        // dialog's filters, the selected one, file mode and accept mode; what `done` got (%1:
        // the folder the file dialogs open in).
        const Table<QString, int, QStringList, QString> row({"kind", "key", "looks", "answer"});
        const QStringList yes = {"Delete Source Files?", "Really?", "Yes", "Yes", "No"},
                          three = {"Join Files?", "How?", "One", "One", "Two", "Three"};
        const QString mpg = "MPG Files (*.mpg);All Files (*)";
        row("message, Enter", "message", Qt::Key_Return,
            {"Orvel's Reelbind", "Not enough free space.", "-", "OK"}, "closed");
        row("Yes/No, Enter", "Yes", Qt::Key_Return, yes, "true");
        row("Yes/No, Y", "Yes", Qt::Key_Y, yes, "true");
        row("Yes/No, Esc", "Yes", Qt::Key_Escape, yes, "false");
        row("Yes/No whose safe answer is No, Enter", "No", Qt::Key_Return,
            {"Delete Source Files?", "Really?", "No", "Yes", "No"}, "false");
        row("three buttons, Enter", "three", Qt::Key_Return, three, "0");
        row("three buttons, Esc", "three", Qt::Key_Escape, three, "2");
        row("open, Esc", "open", Qt::Key_Escape, {"Open", mpg, "MPG Files (*.mpg)", "3", "0"},
            "open ");
        row("save, Esc", "save", Qt::Key_Escape, {"Save As", mpg, "MPG Files (*.mpg)", "0", "1"},
            "");
        row("folder, Enter", "folder", Qt::Key_Return,
            {"Select your default Source folder:", "All Files (*)", "Directories", "2", "0"},
            "%1/movies");
    }
    void dialogs()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("movies"));
        show(fetch<QString>("kind"), dir.path());
        QVERIFY(answers.isEmpty()); // never inside the call
        QWidget* d = up<QWidget>();
        QVERIFY(d);
        QStringList looks = {d->windowTitle()};
        auto* file = qobject_cast<QFileDialog*>(d);
        if (auto* m = qobject_cast<QMessageBox*>(d)) {
            looks << m->text()
                  << (m->defaultButton() ? m->defaultButton()->text().remove('&') : "-");
            for (QAbstractButton* b : m->buttons())
                looks << b->text().remove('&');
            QCOMPARE(m->icon(), QMessageBox::NoIcon);
        } else if (file) { // a save asks before replacing a file
            looks << file->nameFilters().join(';') << file->selectedNameFilter()
                  << QString::number(file->fileMode()) << QString::number(file->acceptMode());
            QCOMPARE(joined(file->directory().absolutePath(),
                            file->testOption(QFileDialog::DontConfirmOverwrite)),
                     joined(dir.path(), false));
            file->selectFile(dir.filePath("movies"));
        }
        QCOMPARE(looks, fetch<QStringList>("looks"));
        QVERIFY(d->parentWidget() == &owner && d->windowModality() == Qt::ApplicationModal);
        if (file && fetch<int>("key") == Qt::Key_Return)
            static_cast<QDialog*>(file)->accept(); // no checks of its own
        else
            QTest::keyClick(d, Qt::Key(fetch<int>("key")));
        QTRY_COMPARE(answers, QStringList(fetch<QString>("answer").replace("%1", dir.path())));
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }
    // The program ends: every open dialog closes as its Esc would, newest first; later ones are
    // answered so from the event loop, never shown; but the message at the end shows, and the
    // next dismissAll() closes it.
    void dismissAll()
    {
        const QStringList kinds = {"message", "Yes", "three", "open", "save", "folder"};
        for (const QString& kind : kinds)
            show(kind);
        QTRY_COMPARE(visibleTopLevels().size(), 6);
        desktop->dismissAll();
        QCOMPARE(answers, QStringList({"", "", "open ", "2", "false", "closed"}));
        QTRY_COMPARE(visibleTopLevels(), QStringList());
        for (const QString& kind : kinds)
            show(kind);
        QCOMPARE(joined(answers.size(), visibleTopLevels().size()), joined(6, 0));
        QTRY_COMPARE(answers.mid(6), QStringList({"closed", "false", "2", "open ", "", ""}));
        desktop->messageAtExit(&owner, "The settings were not saved.");
        auto* m = up<QMessageBox>();
        QVERIFY(m && m->text() == "The settings were not saved." && m->parentWidget() == &owner);
        desktop->dismissAll();
        QTRY_COMPARE(topLevelCount("QMessageBox"), 0);
    }
    // Documents open through the URL handlers; "refused" names no slot.
    void documents()
    {
        for (const char* scheme : {"https", "file", "refused"})
            QDesktopServices::setUrlHandler(scheme, this, *scheme == 'r' ? "refuse" : "open");
        for (const char* target : {"https://en.wikipedia.org/wiki/Indeo",
                                   "/movies/joined clip#1.mpg", "//Readme.html", "/a:b/c.mpg"})
            QVERIFY(desktop->openDocument(QString::fromUtf8(target)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
        QVERIFY(!desktop->openDocument(QStringLiteral("refused://example.org/")));
        for (const char* scheme : {"https", "file", "refused"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(opened, QList<QUrl>({QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Indeo")),
                                      QUrl::fromLocalFile("/movies/joined clip#1.mpg"),
                                      QUrl::fromLocalFile("/Readme.html"),
                                      QUrl::fromLocalFile("/a:b/c.mpg")}));
    }
};

REELBIND_GUI_TEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
