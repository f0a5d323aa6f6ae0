// The preferences window: its looks, the live switches and folder boxes it edits, the folder
// choosers, Enter and Esc, and what OK, Cancel and the close box keep.
#include "gui/PreferencesDialog.h"
#include "support/GuiSupport.h"

#include <QtWidgets>

using namespace TestSupport;

class TestPreferencesWindow : public QObject
{
    Q_OBJECT
private slots:
    void preferencesWindow_data()
    {
        // How the window is left: a button clicked, a key pressed on a control, or the close
        // box (no control); then whether it is still open, the file written, the messages
        // shown, and the edits shown when it is next opened. Enter presses only a focused
        // button, Esc none; a failed OK keeps the edits.
        const Table<QString, QString, bool, bool, bool, int, bool> row(
            {"control", "key", "unwritable", "open", "written", "messages", "kept"});
        row("OK", "CmdOK", "", false, false, true, 0, true);
        row("OK, file unwritable", "CmdOK", "", true, false, false, 1, true);
        row("Cancel", "CmdCancel", "", false, false, false, 0, false);
        row("close box", "", "", false, false, false, 0, false);
        row("Esc on OK", "CmdOK", "Esc", false, true, false, 0, true);
        row("Esc in a folder box", "TextSourceDir", "Esc", false, true, false, 0, true);
        row("Return in a folder box", "TextTargetDir", "Return", false, true, false, 0, true);
        row("Enter on a switch", "ChkClearQue", "Enter", false, true, false, 0, true);
        row("Return on Cancel", "CmdCancel", "Return", false, false, false, 0, false);
        row("Enter on OK", "CmdOK", "Enter", false, false, true, 0, true);
    }
    void preferencesWindow()
    {
        const QString control = fetch<QString>("control"), key = fetch<QString>("key");
        App o("[Preferences]\nSaveSourceDir=1\nSaveTargetDir=2\n" // two greyed
              "SourceDir=/media/clips\nConfirmDel=2\nChunkSizeSave=1\n");
        o.desktop.holdUnprepared = true;
        QAction* menuItem = child<QAction>(o.window.get(), "mnu_subPrefs");
        menuItem->trigger();
        QPointer<PreferencesDialog> p = o.window->prefsWindow();
        const auto click = [&p](const char* name) { child<QAbstractButton>(p, name)->click(); };
        // The switches' live states ("?" and the boxes' if the window shows otherwise); then per
        // folder box "locked" or "editable" ("?" if it does not look so), its text and the live
        // one.
        const auto state = [&] {
            QString live, boxes, out;
            for (const QCheckBox* box : p->findChildren<QCheckBox*>())
                boxes += QString::number(toStoredCheckState(box->checkState()));
            for (const SettingInfo& s : kSettingTable)
                live += s.kind == SettingInfo::Kind::Switch
                            ? QString::number(o.prefs().checkState(s.id))
                            : "";
            for (const QLineEdit* e : p->findChildren<QLineEdit*>()) {
                const bool grey = e->palette().color(QPalette::Base) ==
                                  QApplication::palette(e).color(QPalette::Button);
                out +=
                    QString(e->isReadOnly() ? " | locked" : " | editable") +
                    (grey == e->isReadOnly() ? " " : "? ") + e->text() + ' ' +
                    o.prefs().folderText(e->objectName() == "TextSourceDir" ? SettingId::SourceDir
                                                                            : SettingId::TargetDir);
            }
            return live + (boxes == live ? "" : "?" + boxes) + out;
        };
        QCOMPARE(joined(p->windowTitle(), p->parentWidget() == nullptr, p->isModal(),
                        p->focusWidget()->objectName()),
                 joined("Preferences", true, false, "CmdOK"));
        QCOMPARE(layoutFaults(p) + unnamedControls(p), QStringList());
        // The remember boxes stand at one left edge (3,000 twips), their whole texts inside.
        for (const char* name : {"ChkRememberSource", "ChkRememberTarget"}) {
            const QWidget* box = child(p, name);
            QCOMPARE(joined(box->x(), box->width() >= box->sizeHint().width(),
                            box->geometry().right() < p->width()),
                     joined(200, true, true));
        }
        menuItem->trigger();
        QCOMPARE(o.window->prefsWindow(), p.data());
        QCOMPARE(topLevelCount("PreferencesDialog"), 1);
        if (fetch<bool>("unwritable"))
            QVERIFY(QFile::remove(o.iniPath()) && QDir().mkdir(o.iniPath()));
        const QByteArray before = o.iniBytes();
        // A folder box is editable only while its remember box is ticked (greyed is not).
        QCOMPARE(state(), "12201 | editable /media/clips /media/clips | locked  ");
        for (const char* name : {"ChkConfirmDel", "ChkClearQue", "ChkRememberSource",
                                 "CmdBrowseSource", "CmdBrowseTarget"}) // a click on greyed ticks
            click(name);
        o.desktop.answerOpen(); // both choosers cancelled
        o.desktop.answerOpen();
        QCOMPARE(state(), "02111 | locked /media/clips /media/clips | locked  ");
        // A chosen folder ticks its remember box; both choosers ask for the "Source" folder.
        for (const auto& [name, folder] :
             {std::pair("CmdBrowseSource", "/a"), {"CmdBrowseTarget", "/b"}}) {
            click(name);
            o.desktop.setNextDirectory(folder);
            o.desktop.answerOpen();
        }
        child(p, "TextTargetDir")->setFocus();
        QTest::keyClicks(child(p, "TextTargetDir"), "/x");
        QCOMPARE(state(), "11111 | editable /a /a | editable /b/x /b/x");
        QCOMPARE(o.desktop.texts("folder"), QStringList(4, "Select your default Source folder:"));
        QCOMPARE(joined(o.desktop.calls[0].dir, o.desktop.calls[1].dir,
                        o.desktop.calls[3].parent == p.data()),
                 joined("/media/clips", "", true));
        o.prefs().setCheckState(SettingId::SaveTargetDir, 0);
        QCOMPARE(state(), "10111 | editable /a /a | locked /b/x /b/x");
        child(p, "CmdBrowseSource")->setFocus(); // a focused button must not leave a default
        if (key.isEmpty() && control.isEmpty())
            p->close();
        else if (key.isEmpty())
            click(qPrintable(control));
        else if (QWidget* w = child(p, qPrintable(control)); (w->setFocus(), true))
            QTest::keyClick(w, QKeySequence(key)[0].key());
        const bool open = o.window->prefsWindow();
        QTRY_VERIFY(open || !p);
        menuItem->trigger();
        p = o.window->prefsWindow();
        QCOMPARE(joined(open, o.iniBytes() != before, o.desktop.texts("message").size(),
                        shown(p, "TextSourceDir") == "/a" &&
                            child<QCheckBox>(p, "ChkClearQue")->isChecked()),
                 joined(fetch<bool>("open"), fetch<bool>("written"), fetch<int>("messages"),
                        fetch<bool>("kept")));
    }
};

REELBIND_GUI_TEST_MAIN(TestPreferencesWindow)
#include "test_preferences_window.moc"
