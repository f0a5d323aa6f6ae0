#include "app/frmReelbind.h"
#include "platform/FakePlatform.h"
#include "settings/Profile.h"
#include "settings/frmPrefs.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {

const char* const kStored = "[Preferences]\n"
                            "SaveSourceDir=1\n"
                            "SaveTargetDir=1\n"
                            "SourceDir=/media/clips\n"
                            "TargetDir=/media/joined\n"
                            "ConfirmDel=1\n"
                            "ClearQue=0\n"
                            "ChunkSizeSave=1\n"
                            "ChunkSize=50000\n";

const QString kPrompt = QStringLiteral("Select your default Source folder:");

/// The value of `key` in the settings file as it is on disk now.
QString onDisk(const TestSupport::App& app, const char* key)
{
    return Profile::getString(app.iniBytes(), QStringLiteral("Preferences"), QLatin1String(key),
                              QStringLiteral("<missing>"));
}

/// Opens the preferences window the way the user does.
frmPrefs* openPrefs(TestSupport::App& app)
{
    app.window->mnu_subPrefs->trigger();
    frmPrefs* p = app.window->existingPrefs();
    if (p)
        QTest::qWaitForWindowExposed(p);
    return p;
}

bool looksLocked(QLineEdit* e)
{
    return e->isReadOnly() &&
           e->palette().color(QPalette::Base) == QApplication::palette(e).color(QPalette::Button);
}

bool looksEditable(QLineEdit* e)
{
    return !e->isReadOnly() &&
           e->palette().color(QPalette::Base) == QApplication::palette(e).color(QPalette::Base);
}

int countPrefsWindows()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmPrefs*>(w))
            ++n;
    return n;
}

} // namespace

class TestPrefs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::initGuiTest(); }
    void cleanup() { QVERIFY(TestSupport::closeAllTopLevels().isEmpty()); }

    void opensWithoutBlockingAndComesForwardWhenShown()
    {
        TestSupport::App app(kStored);
        frmPrefs* hidden = app.window->existingPrefs();
        QVERIFY(hidden); // the live holder exists from start-up, hidden
        QVERIFY(!hidden->isVisible());

        frmPrefs* p = openPrefs(app);
        QCOMPARE(p, hidden);
        QVERIFY(p->isVisible());
        QCOMPARE(p->windowTitle(), QStringLiteral("Preferences"));
        QVERIFY(!p->parentWidget());
        QVERIFY(!p->isModal());
        QCOMPARE(p->windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(app.window->isEnabled());
        QCOMPARE(p->size(), QSize(357, 217));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        QVERIFY(!(p->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(p->windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(p->focusWidget(), p->CmdOK);

        // The main window keeps working while it is open.
        app.window->SldrChunkSize->setValue(30000);
        QCOMPARE(app.window->settings().ChunkSize, QStringLiteral("30000"));

        // A second Preferences brings the same window forward.
        app.window->mnu_subPrefs->trigger();
        QCOMPARE(app.window->existingPrefs(), p);
        QVERIFY(p->isVisible());
        QCOMPARE(countPrefsWindows(), 1);
    }

    void clearingRememberSourceLocksAndKeepsText()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        QVERIFY(looksEditable(p->TextSourceDir));

        // An edit made before the box is cleared is not stored either.
        p->TextSourceDir->setText(QStringLiteral("/media/edited"));
        QTest::mouseClick(p->ChkRememberSource, Qt::LeftButton);
        QCOMPARE(p->ChkRememberSource->checkState(), Qt::Unchecked);
        QVERIFY(looksLocked(p->TextSourceDir));
        QCOMPARE(p->TextSourceDir->text(), QStringLiteral("/media/edited"));

        // Typing into a locked box changes nothing.
        p->TextSourceDir->setFocus();
        QTest::keyClicks(p->TextSourceDir, QStringLiteral("xyz"));
        QCOMPARE(p->TextSourceDir->text(), QStringLiteral("/media/edited"));

        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(app.window->settings().SaveSourceDir, QStringLiteral("0"));
        QCOMPARE(app.window->settings().SourceDir, QStringLiteral("/media/clips"));
        QCOMPARE(onDisk(app, "SaveSourceDir"), QStringLiteral("0"));
        QCOMPARE(onDisk(app, "SourceDir"), QStringLiteral("/media/clips"));
        QCOMPARE(onDisk(app, "TargetDir"), QStringLiteral("/media/joined"));
        QTRY_VERIFY(!app.window->existingPrefs());

        // The next start-up drops the folder that is no longer remembered.
        TestSupport::App again(app.iniBytes().constData());
        QCOMPARE(onDisk(again, "SourceDir"), QStringLiteral("<missing>"));
        QVERIFY(looksLocked(again.window->prefs()->TextSourceDir));
    }

    void tickingRememberUnlocksAgain()
    {
        TestSupport::App app("[Preferences]\nSaveSourceDir=0\nSaveTargetDir=0\n");
        frmPrefs* p = openPrefs(app);
        QVERIFY(looksLocked(p->TextTargetDir));
        QTest::mouseClick(p->ChkRememberTarget, Qt::LeftButton);
        QCOMPARE(p->checkState(LiveSettings::RememberTarget), 1);
        QVERIFY(looksEditable(p->TextTargetDir));
        p->TextTargetDir->setFocus();
        QTest::keyClicks(p->TextTargetDir, QStringLiteral("/srv/out"));
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(onDisk(app, "SaveTargetDir"), QStringLiteral("1"));
        QCOMPARE(onDisk(app, "TargetDir"), QStringLiteral("/srv/out"));
        QCOMPARE(onDisk(app, "SourceDir"), QStringLiteral("<missing>"));
    }

    void clickingOnlyTogglesClearAndTicked()
    {
        // A greyed box (only a hand-edited file makes one) ticks on a click,
        // and clicks never make a box greyed.
        TestSupport::App app("[Preferences]\nSaveSourceDir=1\nConfirmDel=2\nClearQue=2\n");
        frmPrefs* p = openPrefs(app);
        QCOMPARE(p->ChkConfirmDel->checkState(), Qt::PartiallyChecked);
        QTest::mouseClick(p->ChkConfirmDel, Qt::LeftButton);
        QCOMPARE(p->ChkConfirmDel->checkState(), Qt::Checked);
        QTest::mouseClick(p->ChkConfirmDel, Qt::LeftButton);
        QCOMPARE(p->ChkConfirmDel->checkState(), Qt::Unchecked);
        QTest::mouseClick(p->ChkConfirmDel, Qt::LeftButton);
        QCOMPARE(p->ChkConfirmDel->checkState(), Qt::Checked);
        p->ChkChunkSizeSave->setFocus();
        QCOMPARE(p->ChkChunkSizeSave->checkState(), Qt::Unchecked); // key missing: clear
        QTest::keyClick(p->ChkChunkSizeSave, Qt::Key_Space);
        QCOMPARE(p->ChkChunkSizeSave->checkState(), Qt::Checked);
        QTest::keyClick(p->ChkChunkSizeSave, Qt::Key_Space);
        QCOMPARE(p->ChkChunkSizeSave->checkState(), Qt::Unchecked);

        // An untouched greyed box is stored as it came, and does not count as ticked.
        QCOMPARE(p->ChkClearQue->checkState(), Qt::PartiallyChecked);
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(onDisk(app, "ClearQue"), QStringLiteral("2"));
        QCOMPARE(onDisk(app, "ConfirmDel"), QStringLiteral("1"));
        QVERIFY(!app.window->live().isTicked(LiveSettings::ClearQue));
    }

    void browseFillsTicksAndUnlocks_data()
    {
        QTest::addColumn<bool>("target");
        QTest::newRow("source") << false;
        QTest::newRow("target") << true;
    }

    void browseFillsTicksAndUnlocks()
    {
        QFETCH(bool, target);
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        QCheckBox* remember = target ? p->ChkRememberTarget : p->ChkRememberSource;
        QLineEdit* folder = target ? p->TextTargetDir : p->TextSourceDir;
        QPushButton* browse = target ? p->CmdBrowseTarget : p->CmdBrowseSource;
        QLineEdit* other = target ? p->TextSourceDir : p->TextTargetDir;
        const QString otherText = other->text();
        const QString before = folder->text();

        QTest::mouseClick(remember, Qt::LeftButton);
        QVERIFY(looksLocked(folder));

        // A cancelled chooser changes nothing.
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(app.platform->dialogs.size(), 1);
        QCOMPARE(remember->checkState(), Qt::Unchecked);
        QVERIFY(looksLocked(folder));
        QCOMPARE(folder->text(), before);

        app.platform->setNextDirectory(QStringLiteral("/home/u/Videos"));
        QTest::mouseClick(browse, Qt::LeftButton);
        QCOMPARE(app.platform->dialogs.size(), 2);
        const FakePlatform::DialogCall call = app.platform->dialogs.last();
        QCOMPARE(call.kind, QStringLiteral("folder"));
        QCOMPARE(call.prompt, kPrompt); // the same prompt for both folders
        QCOMPARE(call.parent.data(), static_cast<QWidget*>(p));
        QCOMPARE(call.dir, before);
        QCOMPARE(remember->checkState(), Qt::Checked);
        QVERIFY(looksEditable(folder));
        QCOMPARE(folder->text(), QStringLiteral("/home/u/Videos"));
        QCOMPARE(other->text(), otherText);
        QVERIFY(app.platform->messages.isEmpty());

        // Nothing is stored before OK.
        QCOMPARE(onDisk(app, target ? "TargetDir" : "SourceDir"), before);
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(onDisk(app, target ? "TargetDir" : "SourceDir"), QStringLiteral("/home/u/Videos"));
        QCOMPARE(onDisk(app, target ? "SaveTargetDir" : "SaveSourceDir"), QStringLiteral("1"));
    }

    void okStoresChunkSizeOnlyWhenKept()
    {
        TestSupport::App app(kStored);
        QCOMPARE(app.window->SldrChunkSize->value(), 50000);
        frmPrefs* p = openPrefs(app);

        // With the box clear the slider no longer updates the record; OK must
        // still take the slider's value once the box is ticked again.
        QTest::mouseClick(p->ChkChunkSizeSave, Qt::LeftButton);
        app.window->SldrChunkSize->setValue(20000);
        QCOMPARE(app.window->settings().ChunkSize, QStringLiteral("50000"));
        QTest::mouseClick(p->ChkChunkSizeSave, Qt::LeftButton);
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(app.window->SldrChunkSize->value(), 20000);
        QCOMPARE(onDisk(app, "ChunkSize"), QStringLiteral("20000"));
        QCOMPARE(onDisk(app, "ChunkSizeSave"), QStringLiteral("1"));
        QTRY_VERIFY(!app.window->existingPrefs());

        // Cleared: the slider goes back to 40000 at once and so does the file.
        app.window->SldrChunkSize->setValue(70000);
        p = openPrefs(app);
        QTest::mouseClick(p->ChkChunkSizeSave, Qt::LeftButton);
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(app.window->SldrChunkSize->value(), 40000);
        QVERIFY(app.window->FrameChunkSize->title().contains(QStringLiteral("bytes")));
        QCOMPARE(onDisk(app, "ChunkSize"), QStringLiteral("40000"));
        QCOMPARE(onDisk(app, "ChunkSizeSave"), QStringLiteral("0"));
        QCOMPARE(app.window->settings().ChunkSize, QStringLiteral("40000"));
    }

    void okWithEmptyTickedFolderStoresEmptyFolder()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        p->TextSourceDir->clear();
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(app.window->settings().SourceDir, QString(""));
        QVERIFY(app.window->settings().SourceDir.has_value());
        QVERIFY(app.iniBytes().contains("\nSourceDir=\n"));
        QCOMPARE(onDisk(app, "TargetDir"), QStringLiteral("/media/joined"));
    }

    void okThatCannotWriteSaysSoAndKeepsTheValues()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("tarvik.ini"))));
        TestSupport::App app{TestSupport::App::InFolder{dir.path()}};
        frmPrefs* p = openPrefs(app);
        p->ChkClearQue->setCheckState(Qt::Checked);
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        QCOMPARE(app.platform->messages.size(), 1);
        QVERIFY(app.platform->messages[0].contains(app.iniPath()));
        QCOMPARE(app.window->settings().ClearQue, QString("1"));
        QTRY_VERIFY(!app.window->existingPrefs());
    }

    void okStoresEverySwitch()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        QTest::mouseClick(p->ChkConfirmDel, Qt::LeftButton);
        QTest::mouseClick(p->ChkClearQue, Qt::LeftButton);
        p->TextTargetDir->setText(QStringLiteral("/new target"));
        QTest::mouseClick(p->CmdOK, Qt::LeftButton);
        const QByteArray expected = "[Preferences]\n"
                                    "SaveSourceDir=1\n"
                                    "SaveTargetDir=1\n"
                                    "SourceDir=/media/clips\n"
                                    "TargetDir=/new target\n"
                                    "ConfirmDel=0\n"
                                    "ClearQue=1\n"
                                    "ChunkSizeSave=1\n"
                                    "ChunkSize=50000\n";
        QCOMPARE(app.iniBytes(), expected);
        QTRY_VERIFY(!app.window->existingPrefs());
        // The live values now follow what was stored; the rebuilt window shows them.
        QVERIFY(!app.window->live().isTicked(LiveSettings::ConfirmDel));
        QVERIFY(app.window->live().isTicked(LiveSettings::ClearQue));
        QCOMPARE(app.window->live().folderText(LiveSettings::TargetFolder),
                 QStringLiteral("/new target"));
    }

    void cancelAndCloseBoxDiscardEveryChange_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }

    void cancelAndCloseBoxDiscardEveryChange()
    {
        QFETCH(bool, closeBox);
        TestSupport::App app(kStored);
        const QByteArray stored = app.iniBytes();
        frmPrefs* p = openPrefs(app);
        QPointer<frmPrefs> first(p);
        QTest::mouseClick(p->ChkRememberSource, Qt::LeftButton);
        QTest::mouseClick(p->ChkConfirmDel, Qt::LeftButton);
        QTest::mouseClick(p->ChkClearQue, Qt::LeftButton);
        QTest::mouseClick(p->ChkChunkSizeSave, Qt::LeftButton);
        p->TextTargetDir->setText(QStringLiteral("/elsewhere"));
        if (closeBox)
            p->close();
        else
            QTest::mouseClick(p->CmdCancel, Qt::LeftButton);
        QVERIFY(!p->isVisible());
        QTRY_VERIFY(!first); // destroyed
        QCOMPARE(app.iniBytes(), stored);

        // The live values are the stored ones again, and so is the next window.
        QVERIFY(app.window->live().isTicked(LiveSettings::RememberSource));
        QVERIFY(app.window->live().isTicked(LiveSettings::ChunkSizeSave));
        p = openPrefs(app);
        QCOMPARE(p->checkState(LiveSettings::RememberSource), 1);
        QCOMPARE(p->checkState(LiveSettings::ConfirmDel), 1);
        QCOMPARE(p->checkState(LiveSettings::ClearQue), 0);
        QCOMPARE(p->checkState(LiveSettings::ChunkSizeSave), 1);
        QCOMPARE(p->TextSourceDir->text(), QStringLiteral("/media/clips"));
        QCOMPARE(p->TextTargetDir->text(), QStringLiteral("/media/joined"));
        QVERIFY(looksEditable(p->TextSourceDir));
        QCOMPARE(countPrefsWindows(), 1);
    }

    void rebuiltWindowShowsFolderRememberedMeanwhile()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        QTest::mouseClick(p->CmdCancel, Qt::LeftButton);
        QTRY_VERIFY(!app.window->existingPrefs());
        // Adding files stores the folder in the record as well.
        app.window->settings().SourceDir = QStringLiteral("/media/new");
        p = openPrefs(app);
        QCOMPARE(p->TextSourceDir->text(), QStringLiteral("/media/new"));
    }

    void escAndEnterPressNeitherButton()
    {
        TestSupport::App app(kStored);
        const QByteArray stored = app.iniBytes();
        frmPrefs* p = openPrefs(app);
        QSignalSpy ok(p->CmdOK, &QPushButton::clicked);
        QSignalSpy cancel(p->CmdCancel, &QPushButton::clicked);
        QVERIFY(!p->CmdOK->isDefault() && !p->CmdCancel->isDefault());
        p->ChkConfirmDel->setCheckState(Qt::Unchecked);

        p->CmdOK->setFocus();
        QTest::keyClick(p->CmdOK, Qt::Key_Escape);
        p->TextSourceDir->setFocus();
        QTest::keyClick(p->TextSourceDir, Qt::Key_Return);
        QTest::keyClick(p->TextSourceDir, Qt::Key_Enter);
        QTest::keyClick(p->TextSourceDir, Qt::Key_Escape);
        p->TextTargetDir->setFocus();
        QTest::keyClick(p->TextTargetDir, Qt::Key_Return);
        p->ChkClearQue->setFocus();
        QTest::keyClick(p->ChkClearQue, Qt::Key_Return);
        // Focus moved from a button into a folder box: still no default button.
        p->CmdCancel->setFocus();
        p->TextTargetDir->setFocus();
        QTest::keyClick(p->TextTargetDir, Qt::Key_Return);

        QCOMPARE(ok.count(), 0);
        QCOMPARE(cancel.count(), 0);
        QVERIFY(p->isVisible());
        QCOMPARE(app.window->existingPrefs(), p);
        QCOMPARE(p->ChkClearQue->checkState(), Qt::Unchecked);
        QCOMPARE(app.iniBytes(), stored);
        QVERIFY(app.platform->dialogs.isEmpty());
    }

    void enterPressesTheFocusedButton()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        p->CmdBrowseSource->setFocus();
        app.platform->setNextDirectory(QStringLiteral("/picked"));
        QTest::keyClick(p->CmdBrowseSource, Qt::Key_Return);
        QCOMPARE(p->TextSourceDir->text(), QStringLiteral("/picked"));
        QVERIFY(p->isVisible());

        p->CmdOK->setFocus();
        QTest::keyClick(p->CmdOK, Qt::Key_Enter);
        QCOMPARE(onDisk(app, "SourceDir"), QStringLiteral("/picked"));
        QTRY_VERIFY(!app.window->existingPrefs());

        const QByteArray stored = app.iniBytes();
        p = openPrefs(app);
        p->ChkConfirmDel->setCheckState(Qt::Unchecked);
        p->CmdCancel->setFocus();
        QTest::keyClick(p->CmdCancel, Qt::Key_Return);
        QTRY_VERIFY(!app.window->existingPrefs());
        QCOMPARE(app.iniBytes(), stored);
        QVERIFY(app.window->live().isTicked(LiveSettings::ConfirmDel));
    }

    void exitWhileOpenAndEditedStoresTheStoredValues()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        QPointer<frmPrefs> guard(p);
        QTest::mouseClick(p->ChkRememberSource, Qt::LeftButton);
        QTest::mouseClick(p->ChkConfirmDel, Qt::LeftButton);
        QTest::mouseClick(p->ChkChunkSizeSave, Qt::LeftButton);
        p->TextTargetDir->setText(QStringLiteral("/edited"));
        // A change made elsewhere in the meantime does reach the file.
        app.window->settings().TargetDir = QStringLiteral("/media/remembered");

        QTest::mouseClick(app.window->CmdExit, Qt::LeftButton);
        QVERIFY(!guard);
        QVERIFY(!app.window->isVisible());
        QVERIFY(TestSupport::visibleTopLevels().isEmpty());
        const QByteArray expected = "[Preferences]\n"
                                    "SaveSourceDir=1\n"
                                    "SaveTargetDir=1\n"
                                    "SourceDir=/media/clips\n"
                                    "TargetDir=/media/remembered\n"
                                    "ConfirmDel=1\n"
                                    "ClearQue=0\n"
                                    "ChunkSizeSave=1\n"
                                    "ChunkSize=50000\n";
        QCOMPARE(app.iniBytes(), expected);
    }

    void everyTextIsWholeAndNothingOverlaps()
    {
        TestSupport::App app(kStored);
        frmPrefs* p = openPrefs(app);
        const QRect client = p->rect();
        const QList<QWidget*> controls =
            p->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), 14);
        for (QWidget* w : controls) {
            QVERIFY2(client.contains(w->geometry()), qPrintable(w->objectName()));
            const QFontMetrics fm = w->fontMetrics();
            QString text;
            int room = w->width();
            if (auto* b = qobject_cast<QPushButton*>(w)) {
                text = b->text();
                room -= 8; // bevel and margin on each side
            } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
                // Indicator, spacing and text.
                QVERIFY2(c->sizeHint().width() <= c->width(), qPrintable(c->text()));
                text = c->text();
            } else if (auto* l = qobject_cast<QLabel*>(w)) {
                text = l->text();
            }
            if (!text.isEmpty()) {
                QVERIFY2(fm.horizontalAdvance(text) <= room, qPrintable(text));
                QVERIFY2(fm.height() <= w->height(), qPrintable(text));
            }
            for (QWidget* other : controls)
                if (other != w)
                    QVERIFY2(!w->geometry().intersects(other->geometry()),
                             qPrintable(w->objectName() + " / " + other->objectName()));
        }
        // The rule sits between the folder rows and the switches.
        QVERIFY(p->Line1->geometry().top() > p->TextTargetDir->geometry().bottom());
        QVERIFY(p->Line1->geometry().bottom() < p->ChkClearQue->geometry().top());
        QCOMPARE(p->Line1->height(), 2);
    }
};

QTEST_MAIN(TestPrefs)
#include "test_prefs.moc"
