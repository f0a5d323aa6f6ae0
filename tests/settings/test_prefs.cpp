#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/Profile.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <algorithm>
#include <functional>

using TestSupport::App;
using Edit = std::function<void(App&, frmPrefs*)>;
Q_DECLARE_METATYPE(Edit)

namespace {

const char* const kStored = "[Preferences]\nSaveSourceDir=1\nSaveTargetDir=1\n"
                            "SourceDir=/media/clips\nTargetDir=/media/joined\n"
                            "ConfirmDel=1\nClearQue=0\nChunkSizeSave=1\nChunkSize=50000\n";

/// kStored with each given "Key=value" line in place of its own.
QByteArray stored(const QList<QByteArray>& lines = {})
{
    QList<QByteArray> out = QByteArray(kStored).split('\n');
    for (const QByteArray& line : lines)
        for (QByteArray& o : out)
            if (o.startsWith(line.left(line.indexOf('=') + 1)))
                o = line;
    return out.join('\n');
}

QString value(const QByteArray& ini, const char* key)
{
    return Profile::getString(ini, QStringLiteral("Preferences"), QLatin1String(key),
                              QStringLiteral("<missing>"));
}

/// The keys whose value in `ini` the window does not show (a locked folder shows none).
QStringList differences(const frmPrefs* p, const QByteArray& ini)
{
    const char* const boxKeys[] = {"SaveSourceDir", "SaveTargetDir", "ConfirmDel", "ClearQue",
                                   "ChunkSizeSave"};
    QStringList keys;
    for (int b = LiveSettings::RememberSource; b <= LiveSettings::ChunkSizeSave; ++b)
        if (QString::number(p->checkState(LiveSettings::Box(b))) != value(ini, boxKeys[b]))
            keys << QLatin1String(boxKeys[b]);
    for (const auto& [folder, key] :
         {std::pair{p->TextSourceDir, "SourceDir"}, {p->TextTargetDir, "TargetDir"}})
        if (!folder->isReadOnly() && folder->text() != value(ini, key))
            keys << QLatin1String(key);
    return keys;
}

/// "locked", "editable", or "mixed" when the look and the behaviour disagree.
QString look(const QLineEdit* e)
{
    const QColor want =
        QApplication::palette(e).color(e->isReadOnly() ? QPalette::Button : QPalette::Base);
    if (e->palette().color(QPalette::Base) != want)
        return QStringLiteral("mixed");
    return e->isReadOnly() ? QStringLiteral("locked") : QStringLiteral("editable");
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

frmPrefs* openPrefs(App& app)
{
    app.window->mnu_subPrefs->trigger();
    frmPrefs* p = app.window->existingPrefs();
    return p && QTest::qWaitForWindowExposed(p) ? p : nullptr;
}

/// Changes every switch and the target folder.
void editEverything(App&, frmPrefs* p)
{
    for (QWidget* w : {p->ChkRememberSource, p->ChkConfirmDel, p->ChkClearQue, p->ChkChunkSizeSave})
        click(w);
    p->TextTargetDir->setText(QStringLiteral("/edited"));
}

} // namespace

class TestPrefs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void opensWithoutBlockingAndComesForward()
    {
        App app(kStored);
        frmPrefs* hidden = app.window->existingPrefs(); // the live holder, from start-up
        QVERIFY(hidden && !hidden->isVisible());
        frmPrefs* p = openPrefs(app);
        QCOMPARE(p, hidden);
        QVERIFY(!p->parentWidget() && !p->isModal() && !QApplication::activeModalWidget());
        QCOMPARE(p->focusWidget(), p->CmdOK);
        app.window->SldrChunkSize->setValue(30000);
        QCOMPARE(app.window->settings().ChunkSize, QStringLiteral("30000"));

        app.window->mnu_subPrefs->trigger();
        QCOMPARE(app.window->existingPrefs(), p);
        QVERIFY(p->isVisible());
        QCOMPARE(TestSupport::topLevelCount("frmPrefs"), 1);
        QCOMPARE(TestSupport::layoutFaults(p), QStringList());
    }

    void browseTicksAndFills_data()
    {
        QTest::addColumn<bool>("target");
        QTest::newRow("source") << false;
        QTest::newRow("target") << true;
    }

    void browseTicksAndFills()
    {
        QFETCH(bool, target);
        App app(kStored);
        frmPrefs* p = openPrefs(app);
        QCheckBox* remember = target ? p->ChkRememberTarget : p->ChkRememberSource;
        QLineEdit* folder = target ? p->TextTargetDir : p->TextSourceDir;
        QPushButton* browse = target ? p->CmdBrowseTarget : p->CmdBrowseSource;
        const QString before = folder->text();
        click(remember);

        click(browse); // cancelled
        QCOMPARE(remember->checkState(), Qt::Unchecked);
        QCOMPARE(look(folder), QStringLiteral("locked"));
        QCOMPARE(folder->text(), before);

        app.platform->setNextDirectory(QStringLiteral("/home/u/Videos"));
        click(browse);
        QCOMPARE(app.platform->dialogs.size(), 2);
        const FakePlatform::DialogCall call = app.platform->dialogs.last();
        QCOMPARE(call.kind, QStringLiteral("folder"));
        QCOMPARE(call.prompt, QStringLiteral("Select your default Source folder:"));
        QCOMPARE(call.parent.data(), static_cast<QWidget*>(p));
        QCOMPARE(call.dir, before);
        QCOMPARE(remember->checkState(), Qt::Checked);
        QCOMPARE(look(folder), QStringLiteral("editable"));
        QCOMPARE(folder->text(), QStringLiteral("/home/u/Videos"));
    }

    void closingStoresOrDiscards_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("closer");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("OK: switches and target") << Edit([](App&, frmPrefs* p) {
            click(p->ChkConfirmDel);
            click(p->ChkClearQue);
            p->TextTargetDir->setText(QStringLiteral("/new target"));
        }) << "CmdOK" << stored({"TargetDir=/new target", "ConfirmDel=0", "ClearQue=1"});
        // An edit made before the box is cleared is not stored either.
        QTest::newRow("OK: source not remembered") << Edit([](App&, frmPrefs* p) {
            p->TextSourceDir->setText(QStringLiteral("/media/edited"));
            click(p->ChkRememberSource);
        }) << "CmdOK" << stored({"SaveSourceDir=0"});
        QTest::newRow("OK: empty ticked folder")
            << Edit([](App&, frmPrefs* p) { p->TextSourceDir->clear(); }) << "CmdOK"
            << stored({"SourceDir="});
        // While the box is clear the slider no longer updates the record.
        QTest::newRow("OK: chunk size kept") << Edit([](App& app, frmPrefs* p) {
            click(p->ChkChunkSizeSave);
            app.window->SldrChunkSize->setValue(20000);
            click(p->ChkChunkSizeSave);
        }) << "CmdOK" << stored({"ChunkSize=20000"});
        QTest::newRow("OK: chunk size not kept") << Edit([](App& app, frmPrefs* p) {
            app.window->SldrChunkSize->setValue(70000);
            click(p->ChkChunkSizeSave);
        }) << "CmdOK" << stored({"ChunkSizeSave=0", "ChunkSize=40000"});
        // Greyed comes from a hand-edited file only: a click ticks it, an
        // untouched one is stored as it came.
        QTest::newRow("OK: greyed boxes") << Edit([](App&, frmPrefs* p) {
            p->setCheckState(LiveSettings::ConfirmDel, 2);
            p->setCheckState(LiveSettings::ClearQue, 2);
            click(p->ChkConfirmDel);
        }) << "CmdOK" << stored({"ClearQue=2"});
        QTest::newRow("Cancel") << Edit(editEverything) << "CmdCancel" << stored();
        QTest::newRow("close box") << Edit(editEverything) << "" << stored();
        // Exit saves the record, which adding files may have changed meanwhile.
        QTest::newRow("Exit") << Edit([](App& app, frmPrefs* p) {
            editEverything(app, p);
            app.window->settings().TargetDir = QStringLiteral("/media/remembered");
        }) << "CmdExit" << stored({"TargetDir=/media/remembered"});
    }

    void closingStoresOrDiscards()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, closer);
        QFETCH(QByteArray, expected);
        App app(kStored);
        app.window->show();
        QPointer<frmPrefs> p = openPrefs(app);
        edit(app, p);
        if (closer == "CmdExit")
            click(app.window->CmdExit);
        else if (closer.isEmpty())
            p->close();
        else
            click(p->findChild<QPushButton*>(closer));
        QCOMPARE(app.iniBytes(), expected);
        QTRY_VERIFY(!p);
        QCOMPARE(app.window->isVisible(), closer != "CmdExit");
        // The slider and the window built at the next access follow the record.
        QCOMPARE(QString::number(app.window->SldrChunkSize->value()), value(expected, "ChunkSize"));
        QCOMPARE(differences(app.window->prefs(), expected), QStringList());
    }

    void liveValuesAreTheStoredOnesRightAfterCancel()
    {
        // A join's event pump may read the live values before the closed
        // window is destroyed: the edits must be gone already.
        App app(kStored);
        frmPrefs* p = openPrefs(app);
        p->ChkClearQue->setCheckState(Qt::Checked);
        p->TextTargetDir->setText(QStringLiteral("/elsewhere"));
        p->CmdCancel->click();
        QCOMPARE(app.window->live().checkState(LiveSettings::ClearQue), 0);
        QCOMPARE(app.window->live().folderText(LiveSettings::TargetFolder),
                 QStringLiteral("/media/joined"));
        QVERIFY(app.window->prefs() != p);
    }

    void okThatCannotWriteSaysSoAndKeepsTheValues()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("tarvik.ini"))));
        App app{App::InFolder{dir.path()}};
        frmPrefs* p = openPrefs(app);
        p->ChkClearQue->setCheckState(Qt::Checked);
        click(p->CmdOK);
        QCOMPARE(app.platform->messages.size(), 1);
        QVERIFY(app.platform->messages[0].contains(app.iniPath()));
        QCOMPARE(app.window->settings().ClearQue, QString("1"));
        QTRY_VERIFY(!app.window->existingPrefs());
    }

    void enterPressesOnlyAFocusedButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pressed");
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
        App app(kStored);
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
        QCOMPARE(p->isVisible(), pressed.isEmpty());
    }
};

QTEST_MAIN(TestPrefs)
#include "test_prefs.moc"
