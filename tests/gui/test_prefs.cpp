// The preferences window: how it opens, shows and edits the live preferences, and closes.
#include "gui/frmPrefs.h"
#include "gui/frmReelbind.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using TestSupport::App;

namespace {

const char* const kStored = "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\n"
                            "SourceDir=/media/clips\nTargetDir=/media/joined\n"
                            "ConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=50000\n";

QString written(const QString& dir, const QByteArray& ini)
{
    QFile f(dir + QStringLiteral("/tarvik.ini"));
    if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size())
        qFatal("cannot write the settings file");
    return dir;
}

/// A main window started on a program folder whose settings file holds `ini`.
struct Stored : QTemporaryDir, App
{
    explicit Stored(const QByteArray& ini = kStored) : App(InFolder{written(path(), ini)}) {}
};

/// "locked", "editable", or "mixed" when the look and the behaviour disagree.
QString look(const QLineEdit* e)
{
    const QColor want =
        QApplication::palette(e).color(e->isReadOnly() ? QPalette::Button : QPalette::Base);
    if (e->palette().color(QPalette::Base) != want)
        return QStringLiteral("mixed");
    return e->isReadOnly() ? QStringLiteral("locked") : QStringLiteral("editable");
}

frmPrefs* openPrefs(App& app)
{
    app.window->mnu_subPrefs->trigger();
    frmPrefs* p = app.window->prefsWindow();
    return p && QTest::qWaitForWindowExposed(p) ? p : nullptr;
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

} // namespace

class TestPrefs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void opensOnceWithoutOwnerOrModality()
    {
        Stored app(QByteArray(kStored).replace("SaveTargetDir=1", "SaveTargetDir=2"));
        frmPrefs* p = openPrefs(app);
        QVERIFY(p);
        QCOMPARE(p->windowTitle(), QStringLiteral("Preferences"));
        // A folder box is editable only while its remember box is ticked (greyed is not).
        QCOMPARE(p->ChkRememberTarget->checkState(), Qt::PartiallyChecked);
        QCOMPARE(look(p->TextTargetDir) + ' ' + look(p->TextSourceDir), "locked editable");
        QVERIFY(!p->parentWidget() && !p->isModal() && !QApplication::activeModalWidget());
        QCOMPARE(p->focusWidget(), p->CmdOK);
        QCOMPARE(TestSupport::layoutFaults(p), QStringList());
        app.window->mnu_subPrefs->trigger();
        QCOMPARE(app.window->prefsWindow(), p);
        QCOMPARE(TestSupport::topLevelCount("frmPrefs"), 1);
        click(p->ChkRememberTarget);
        QCOMPARE(look(p->TextTargetDir), "editable");
    }

    void browseTicksUnlocksAndFills_data()
    {
        QTest::addColumn<bool>("target");
        QTest::newRow("source") << false;
        QTest::newRow("target") << true;
    }
    void browseTicksUnlocksAndFills()
    {
        QFETCH(bool, target);
        Stored app;
        frmPrefs* p = openPrefs(app);
        QCheckBox* remember = target ? p->ChkRememberTarget : p->ChkRememberSource;
        QLineEdit* folder = target ? p->TextTargetDir : p->TextSourceDir;
        QPushButton* browse = target ? p->CmdBrowseTarget : p->CmdBrowseSource;
        const QString before = folder->text();
        click(remember);
        click(browse); // cancelled
        QCOMPARE(remember->checkState(), Qt::Unchecked);
        QCOMPARE(look(folder), "locked");
        QCOMPARE(folder->text(), before);

        app.desktop.setNextDirectory(QStringLiteral("/home/u/Videos"));
        click(browse);
        QCOMPARE(app.desktop.calls, QStringList(2, "folder: Select your default Source folder:"));
        QCOMPARE(app.desktop.dialogs.last().parent.data(), static_cast<QWidget*>(p));
        QCOMPARE(app.desktop.dialogs.last().dir, before);
        QCOMPARE(remember->checkState(), Qt::Checked);
        QCOMPARE(look(folder) + ' ' + folder->text(), "editable /home/u/Videos");
        QCOMPARE(
            app.prefs().folderText(target ? Preferences::TargetFolder : Preferences::SourceFolder),
            "/home/u/Videos");
    }

    void editsAreLiveBothWays()
    {
        Stored app;
        frmPrefs* p = openPrefs(app);
        click(p->ChkClearQue);
        click(p->ChkConfirmDel);
        p->TextTargetDir->setFocus();
        QTest::keyClicks(p->TextTargetDir, "/x");
        QCOMPARE(app.prefs().checkState(Preferences::ClearQue), 1);
        QCOMPARE(app.prefs().checkState(Preferences::ConfirmDel), 0);
        QCOMPARE(app.prefs().folderText(Preferences::TargetFolder), "/media/joined/x");
        // Add remembers the folder of the files it queued; the open window shows it.
        QTemporaryDir movies;
        app.desktop.setNextOpenFiles({TestSupport::sized(movies.path(), "a.mpg", 10)});
        app.window->CmdAdd->click();
        QCOMPARE(p->TextSourceDir->text(), movies.path());
        app.prefs().setCheckState(Preferences::RememberTarget, 0);
        QCOMPARE(p->ChkRememberTarget->checkState(), Qt::Unchecked);
        QCOMPARE(look(p->TextTargetDir), "locked");
    }

    void closingKeepsOrDropsTheEdits_data()
    {
        QTest::addColumn<QString>("closer");
        QTest::addColumn<bool>("kept");
        QTest::newRow("OK") << "CmdOK" << true;
        QTest::newRow("Cancel") << "CmdCancel" << false;
        QTest::newRow("close box") << "" << false;
    }
    void closingKeepsOrDropsTheEdits()
    {
        QFETCH(QString, closer);
        QFETCH(bool, kept);
        Stored app;
        const QByteArray before = app.iniBytes();
        QPointer<frmPrefs> p = openPrefs(app);
        click(p->ChkConfirmDel);
        p->TextTargetDir->setText(QStringLiteral("/new target"));
        if (closer.isEmpty())
            QVERIFY(p->close());
        else
            click(p->findChild<QPushButton*>(closer));
        QVERIFY(!app.window->prefsWindow());
        QTRY_VERIFY(!p);
        QCOMPARE(app.iniBytes() != before, kept);
        p = openPrefs(app);
        QCOMPARE(p->ChkConfirmDel->checkState(), kept ? Qt::Unchecked : Qt::Checked);
        QCOMPARE(p->TextTargetDir->text(), kept ? "/new target" : "/media/joined");
    }

    void okThatCannotWriteSaysSo()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("tarvik.ini"))));
        App app{App::InFolder{dir.path()}};
        frmPrefs* p = openPrefs(app);
        click(p->ChkClearQue);
        click(p->CmdOK);
        QCOMPARE(app.desktop.messages.size(), 1);
        QVERIFY(app.desktop.messages[0].contains(app.iniPath()));
        QVERIFY(!app.window->prefsWindow());
    }

    void enterPressesOnlyAFocusedButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pressed");
        QTest::newRow("Esc on OK") << "CmdOK" << int(Qt::Key_Escape) << "";
        QTest::newRow("Esc in folder") << "TextSourceDir" << int(Qt::Key_Escape) << "";
        QTest::newRow("Return in folder") << "TextTargetDir" << int(Qt::Key_Return) << "";
        QTest::newRow("Enter on switch") << "ChkClearQue" << int(Qt::Key_Enter) << "";
        QTest::newRow("Return on Cancel") << "CmdCancel" << int(Qt::Key_Return) << "CmdCancel";
        QTest::newRow("Enter on OK") << "CmdOK" << int(Qt::Key_Enter) << "CmdOK";
    }
    void enterPressesOnlyAFocusedButton()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, pressed);
        Stored app;
        frmPrefs* p = openPrefs(app);
        QStringList clicked;
        for (QPushButton* b : p->findChildren<QPushButton*>())
            connect(b, &QPushButton::clicked, p, [&clicked, b] { clicked << b->objectName(); });
        // Focus comes from a button, which must not leave a default behind.
        p->CmdBrowseSource->setFocus();
        QWidget* target = p->findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(clicked.join(','), pressed);
        QCOMPARE(p->isVisible(), pressed != "CmdOK" && pressed != "CmdCancel");
    }
};

QTEST_MAIN(TestPrefs)
#include "test_prefs.moc"
