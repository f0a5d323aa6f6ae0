// The preferences window: how it opens, shows and edits the live preferences, and closes.
#include "gui/PreferencesDialog.h"
#include "support/GuiSupport.h"

#include <QtTest>
#include <QtWidgets>

using namespace TestSupport;

class TestPrefs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initGuiTest(); }
    void cleanup() { QVERIFY(closeAllTopLevels().isEmpty()); }

    void opensEditsAndCloses_data()
    {
        // Still open, file written, desktop calls after browsing's four, edits shown when next
        // opened. Enter presses only a focused button, Esc none; a failed OK keeps the edits.
        QTest::addColumn<QString>("after");
        for (const char* row :
             {"OK=0 1 0 1", "OK, file unwritable=0 0 1 1", "Cancel=0 0 0 0", "close box=0 0 0 0",
              "CmdOK Esc=1 0 0 1", "TextSourceDir Esc=1 0 0 1", "TextTargetDir Return=1 0 0 1",
              "ChkClearQue Enter=1 0 0 1", "CmdCancel Return=0 0 0 0", "CmdOK Enter=0 1 0 1"})
            QTest::newRow(QByteArray(row).split('=')[0].constData())
                << QString(row).section('=', 1);
    }
    void opensEditsAndCloses()
    {
        const QString how = QTest::currentDataTag();
        App o("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=2\n" // two greyed
              "SourceDir=/media/clips\nConfirmDel=2\nChunkSizeSave=1\n");
        QAction* menuItem = child<QAction>(o.window.get(), "mnu_subPrefs");
        menuItem->trigger();
        QPointer<PreferencesDialog> p = o.window->prefsWindow();
        const auto c = [&p](const char* name) { return child(p, name); };
        // The switches' live states ("?" after one the window shows otherwise); then per folder
        // box "locked" or "editable" ("?" if it does not look so), its text and the live one.
        const auto shown = [&] {
            QString out;
            for (const SettingInfo& s : kSettingTable) {
                if (s.kind != SettingInfo::Kind::Switch)
                    continue;
                out += QString::number(o.prefs().checkState(s.id));
                if (toStoredCheckState(child<QCheckBox>(p, s.shownBy)->checkState()) !=
                    o.prefs().checkState(s.id))
                    out += '?';
            }
            for (auto f : {SettingId::SourceDir, SettingId::TargetDir}) {
                const QLineEdit* e = child<QLineEdit>(p, settingInfo(f).shownBy);
                const bool grey = e->palette().color(QPalette::Base) ==
                                  QApplication::palette(e).color(QPalette::Button);
                out += QString(" | %1%2 %3 %4")
                           .arg(e->isReadOnly() ? "locked" : "editable",
                                grey == e->isReadOnly() ? "" : "?", e->text(),
                                o.prefs().folderText(f));
            }
            return out;
        };
        QCOMPARE(p->windowTitle(), "Preferences");
        QVERIFY(!p->parentWidget() && !p->isModal());
        QCOMPARE(p->focusWidget(), c("CmdOK"));
        QCOMPARE(layoutFaults(p), QStringList());
        QCOMPARE(unnamedControls(p), QStringList());
        menuItem->trigger();
        QCOMPARE(o.window->prefsWindow(), p.data());
        QCOMPARE(topLevelCount("PreferencesDialog"), 1);
        if (how.contains("unwritable"))
            QVERIFY(QFile::remove(o.iniPath()) && QDir().mkdir(o.iniPath()));
        const QByteArray before = o.iniBytes();

        // A folder box is editable only while its remember box is ticked (greyed is not).
        QCOMPARE(shown(), "12201 | editable /media/clips /media/clips | locked  ");
        for (const char* name : {"ChkConfirmDel", "ChkClearQue", "ChkRememberSource",
                                 "CmdBrowseSource", "CmdBrowseTarget"}) // a click on greyed ticks
            qobject_cast<QAbstractButton*>(c(name))->click();           // the choosers cancelled
        QCOMPARE(shown(), "02111 | locked /media/clips /media/clips | locked  ");
        // A chosen folder ticks its remember box; both choosers ask for the "Source" folder.
        o.desktop.setNextDirectory("/a");
        o.desktop.setNextDirectory("/b");
        for (const char* name : {"CmdBrowseSource", "CmdBrowseTarget"})
            qobject_cast<QAbstractButton*>(c(name))->click();
        c("TextTargetDir")->setFocus();
        QTest::keyClicks(c("TextTargetDir"), "/x");
        QCOMPARE(shown(), "11111 | editable /a /a | editable /b/x /b/x");
        QCOMPARE(o.desktop.calls, QStringList(4, "folder: Select your default Source folder:"));
        QCOMPARE(o.desktop.dialogs[0].dir + "|" + o.desktop.dialogs[1].dir, "/media/clips|");
        QCOMPARE(o.desktop.dialogs[3].parent.data(), static_cast<QWidget*>(p.data()));
        o.prefs().setCheckState(SettingId::SaveTargetDir, 0);
        QCOMPARE(shown(), "10111 | editable /a /a | locked /b/x /b/x");

        c("CmdBrowseSource")->setFocus(); // a focused button must not leave a default behind
        if (QWidget* w = p->findChild<QWidget*>(how.section(' ', 0, 0))) {
            w->setFocus();
            QTest::keyClick(w, QKeySequence(how.section(' ', 1))[0].key());
        } else {
            how == "close box"
                ? void(p->close())
                : child<QPushButton>(p, how == "Cancel" ? "CmdCancel" : "CmdOK")->click();
        }
        const bool open = o.window->prefsWindow();
        QTRY_VERIFY(open || !p);
        menuItem->trigger();
        p = o.window->prefsWindow();
        const bool kept = child<QLineEdit>(p, "TextSourceDir")->text() == "/a" &&
                          child<QCheckBox>(p, "ChkClearQue")->isChecked();
        QTEST(QString::asprintf("%d %d %d %d", open, o.iniBytes() != before,
                                int(o.desktop.calls.size() - 4), kept),
              "after");
    }
};

QTEST_MAIN(TestPrefs)
#include "test_prefs.moc"
