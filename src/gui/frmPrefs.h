#pragma once

#include <QDialog>

#include "core/Preferences.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QLabel;
class QFrame;
class Desktop;
class Program;

/// Check states: stored numbers (0 clear, 1 ticked, 2 greyed) against Qt's
/// (Unchecked 0, PartiallyChecked 1, Checked 2).
Qt::CheckState toQtCheckState(int stored);
int toStoredCheckState(Qt::CheckState state);

/// The preferences window: it shows the live preferences' five switches
/// and two folders and edits them in place, so that an edit counts at once.
/// OK stores them and writes the settings file; OK, Cancel and the close
/// box close and destroy it, and the live values it showed are built anew
/// from the stored settings at their next use. It does not block the main
/// window and has no owner.
class frmPrefs : public QDialog
{
    Q_OBJECT
public:
    frmPrefs(Program& program, Desktop& desktop);
    ~frmPrefs() override;

    QCheckBox* box(Preferences::Box box) const;
    QLineEdit* folderBox(Preferences::Folder folder) const;

    // Controls, named as the user's guide and the tests know them.
    QPushButton* CmdOK;
    QPushButton* CmdCancel;
    QLabel* Label1;
    QLineEdit* TextSourceDir;
    QPushButton* CmdBrowseSource;
    QCheckBox* ChkRememberSource;
    QLabel* Label2;
    QLineEdit* TextTargetDir;
    QPushButton* CmdBrowseTarget;
    QCheckBox* ChkRememberTarget;
    QCheckBox* ChkConfirmDel;
    QCheckBox* ChkClearQue;
    QCheckBox* ChkChunkSizeSave;
    QFrame* Line1;

public slots:
    void Form_Load();
    void ChkRememberSource_Click();
    void ChkRememberTarget_Click();
    void CmdBrowseSource_Click();
    void CmdBrowseTarget_Click();
    void CmdOK_Click();
    void CmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showState(Preferences::Box b, int state);
    void showFolder(Preferences::Folder f, const QString& text);
    /// Remember box's look rule: ticked (1) unlocks the folder box on the
    /// window colour, anything else locks it on the button-face colour.
    void followRememberBox(QCheckBox* remember, QLineEdit* folder);
    /// Folder chooser for one folder; a chosen folder ticks its remember box.
    void browseFor(Preferences::Box remember, Preferences::Folder folder);

    Program& m_program;
    Preferences& m_prefs;
    Desktop& m_desktop;
    bool m_showing = false; // the controls are being set from the live values
    bool m_closed = false;
};
