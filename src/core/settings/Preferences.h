#pragma once

#include "core/settings/Settings.h"

#include <QObject>
#include <QString>

/// The live preferences: what the program consults when it acts. Five
/// switches (check states: 0 clear, 1 ticked, 2 greyed), the source and
/// target folders, and the chunk size of the main window's slider, each
/// named by its SettingId.
///
/// The switches and folders are the preferences window's values: while
/// that window is open it shows and edits them here, and its edits count at
/// once. When it closes (OK, Cancel, its close box) it calls
/// discardWindowValues(), and the next access builds them again from the
/// stored Settings, as a freshly opened window would show them: each
/// switch from its stored text, a folder only while its switch is ticked
/// (otherwise empty). The chunk size belongs to the main window and is
/// never rebuilt.
class Preferences : public QObject
{
    Q_OBJECT
public:
    /// `stored` is the program's settings record; moving the chunk size
    /// updates its ChunkSize while "Keep Chunk Size Setting" is ticked.
    explicit Preferences(Settings& stored, QObject* parent = nullptr);

    /// A switch's state.
    int checkState(SettingId id);
    void setCheckState(SettingId id, int state);
    /// Whether the switch counts as on: its state is 1 (2 does not count).
    bool isTicked(SettingId id) { return checkState(id) == 1; }

    /// A folder's text.
    QString folderText(SettingId id);
    void setFolderText(SettingId id, const QString& text);
    /// A folder the user used (Add, Join): with its switch ticked it becomes
    /// the live and the stored folder.
    void rememberFolder(SettingId id, const QString& folder);

    int chunkSize() const { return m_chunkSize; }
    /// Clamped into kChunkMin..kChunkMax, as the slider does. A change
    /// while ChunkSizeSave is ticked is also stored in the record.
    void setChunkSize(int bytes);

    /// The preferences window has closed: its values go.
    void discardWindowValues();

signals:
    void checkStateChanged(SettingId id, int state);
    void folderTextChanged(SettingId id, const QString& text);
    void chunkSizeChanged(int bytes);

private:
    /// Builds the window values from Settings when they are gone.
    void ensureWindowValues();

    Settings& m_stored;
    bool m_haveWindowValues = false;
    int m_states[kSettingCount] = {};
    QString m_folders[kSettingCount];
    int m_chunkSize = kChunkDefault;
};
