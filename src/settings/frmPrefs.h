#pragma once

#include <QDialog>

#include "settings/Settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QLabel;
class QFrame;
class Platform;

/// Check states: stored numbers (0 clear, 1 ticked, 2 greyed) against Qt's
/// (Unchecked 0, PartiallyChecked 1, Checked 2).
Qt::CheckState toQtCheckState(int stored);
int toStoredCheckState(Qt::CheckState state);

/// The preferences window, and while the program runs the live holder of
/// five switches and two folders. It is created hidden at the first access
/// (its load fills it from the stored Settings), shown without blocking
/// from the Preferences menu, and destroyed when it closes; the next access
/// builds it anew from Settings.
class frmPrefs : public QDialog
{
    Q_OBJECT
public:
    /// `settings` is the program's stored record, `iniPath` its file.
    /// `live` is the whole live copy (these boxes and the main window's
    /// slider); OK stores through it. `platform` gives the folder chooser.
    frmPrefs(Settings& settings, LiveSettings& live, Platform& platform, const QString& iniPath);
    ~frmPrefs() override;

    /// Stored-number check state of a box (0, 1 or 2).
    int checkState(LiveSettings::Box box) const;
    /// Sets a box; its folder box's look follows a remember box's state.
    void setCheckState(LiveSettings::Box box, int state);
    QString folderText(LiveSettings::Folder folder) const;
    void setFolderText(LiveSettings::Folder folder, const QString& text);

    /// Whether the window was closed and only waits to be destroyed: its
    /// controls no longer hold the live values.
    bool isClosed() const { return m_closed; }

    QCheckBox* box(LiveSettings::Box box) const;
    QLineEdit* folderBox(LiveSettings::Folder folder) const;

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
    /// Remember box's look rule: ticked (1) unlocks the folder box on the
    /// window colour, anything else locks it on the button-face colour.
    void followRememberBox(QCheckBox* remember, QLineEdit* folder);
    /// Folder chooser for one folder box; a chosen folder ticks its box.
    void browseFor(QCheckBox* remember, QLineEdit* folder);

    Settings& m_settings;
    LiveSettings& m_live;
    Platform& m_platform;
    QString m_iniPath;
    bool m_closed = false;
};
