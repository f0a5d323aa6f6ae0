#pragma once

#include "core/settings/SettingTable.h"

#include <QDialog>

class Desktop;
class Preferences;
class Program;
class QCheckBox;
class QLineEdit;

/// Check states: stored numbers (0 clear, 1 ticked, 2 greyed) against Qt's
/// (Unchecked 0, PartiallyChecked 1, Checked 2).
Qt::CheckState toQtCheckState(int stored);
int toStoredCheckState(Qt::CheckState state);

/// The preferences window (objectName "frmPrefs"): it shows the live
/// preferences' five switches and two folders, each in the control the
/// table of settings names, and edits them in place, so that an edit counts
/// at once. OK stores them and writes the settings file; OK, Cancel and the
/// close box close and destroy it, and the live values it showed are built
/// anew from the stored settings at their next use. It does not block the
/// main window and has no owner.
class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    PreferencesDialog(Program& program, Desktop& desktop);
    ~PreferencesDialog() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QCheckBox* switchBox(SettingId id) const;
    QLineEdit* folderBox(SettingId id) const;
    void showState(SettingId id, int state);
    void showFolder(SettingId id, const QString& text);
    /// A folder box is editable, on the window colour, only while its
    /// switch is ticked; otherwise locked on the button-face colour.
    void followSwitch(SettingId folder);
    /// Folder chooser for one folder; a chosen folder ticks its switch.
    void browseFor(SettingId folder);
    void storeAndClose();

    Program& m_program;
    Preferences& m_prefs;
    Desktop& m_desktop;
};
