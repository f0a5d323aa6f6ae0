#pragma once

#include "core/Settings.h"

#include <QObject>
#include <QString>

/// The live preferences: what the program consults when it acts. Five
/// switches (check states: 0 clear, 1 ticked, 2 greyed), the source and
/// target folders, and the chunk size of the main window's slider.
///
/// The switches and folders are the preferences window's values: while
/// that window is open it shows and edits them here, and its edits count at
/// once. When it closes (OK, Cancel, its close box) it calls
/// discardWindowValues(), and the next access builds them again from the
/// stored Settings, as a freshly opened window would show them: each
/// switch from its stored text, a folder only while its remember switch
/// is ticked (otherwise empty). The chunk size belongs to the main window
/// and is never rebuilt.
class Preferences : public QObject
{
    Q_OBJECT
public:
    enum Box { RememberSource, RememberTarget, ConfirmDel, ClearQue, ChunkSizeSave };
    enum Folder { SourceFolder, TargetFolder };
    static constexpr int kBoxCount = 5;

    /// `stored` is the program's settings record; moving the chunk size
    /// updates its ChunkSize while "Keep Chunk Size Setting" is ticked.
    explicit Preferences(Settings& stored, QObject* parent = nullptr);

    int checkState(Box box);
    void setCheckState(Box box, int state);
    /// Whether the switch counts as on: its state is 1 (2 does not count).
    bool isTicked(Box box) { return checkState(box) == 1; }

    QString folderText(Folder folder);
    void setFolderText(Folder folder, const QString& text);

    int chunkSize() const { return m_chunkSize; }
    /// Clamped into kChunkMin..kChunkMax, as the slider does. A change
    /// while ChunkSizeSave is ticked is also stored in Settings.ChunkSize.
    void setChunkSize(int bytes);

    /// The preferences window has closed: its values go.
    void discardWindowValues();

signals:
    void checkStateChanged(Preferences::Box box, int state);
    void folderTextChanged(Preferences::Folder folder, const QString& text);
    void chunkSizeChanged(int bytes);

private:
    /// Builds the window values from Settings when they are gone.
    void ensureWindowValues();

    Settings& m_stored;
    bool m_haveWindowValues = false;
    int m_states[kBoxCount] = {};
    QString m_folders[2];
    int m_chunkSize = kChunkDefault;
};
