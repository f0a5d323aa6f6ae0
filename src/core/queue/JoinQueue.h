#pragma once

#include "core/queue/PartSets.h"
#include "core/queue/QueueModel.h"

#include <QObject>
#include <QSet>
#include <QStringList>

class FileSystem;
class Preferences;

/// The join queue and its commands: Add (the dialog's answer or a drop),
/// Remove, Move Up/Down, Clear, sorting by a column; the estimate; and which
/// of the main window's commands can be used now.
///
/// Positions are 0-based here. Every command is linear in the number of
/// rows (plus a sort).
class JoinQueue : public QObject
{
    Q_OBJECT
public:
    /// What the main window's five buttons may do now.
    struct Commands
    {
        bool add = true, remove = false, clear = false, join = false, exit = true;
        bool operator==(const Commands& o) const;
    };

    JoinQueue(Preferences& live, FileSystem& files, QObject* parent = nullptr);

    QueueModel& model() { return m_model; }
    const QList<QueueRow>& rows() const { return m_model.rows(); }
    int count() const { return m_model.count(); }

    /// Where the Add dialog opens: the live source folder, or home when it
    /// is empty.
    QString addFolder();

    /// Adds the files at `paths` (full paths, in this order; a relative
    /// path counts from the working folder). A file whose size cannot be
    /// read is left out; the others are added, in sort order while sorting
    /// is on. The estimate is refreshed, the queue commands come on when
    /// the queue is not empty, and with RememberSource ticked the last added
    /// file's folder becomes the source folder (live and stored). Returns
    /// the message naming each file left out with the reason, or an empty
    /// text.
    QString add(const QStringList& paths);

    /// The sets of which `paths` (about to be added) hold the first part,
    /// with their other parts that are not queued yet (PartSets::find; the
    /// movie module reads the timing of the parts that sets by content may
    /// hold).
    QList<PartSets::Set> setsOf(const QStringList& paths);

    /// Removes the rows at `positions`, refreshes the estimate, and turns
    /// the queue commands off when the queue ends empty.
    void remove(const QList<int>& positions);

    /// Moves each run of selected rows one place up (down) as a block.
    /// Sorting ends either way. Refused when the first (last) row is among
    /// them: nothing moves and the message to show is returned; otherwise
    /// an empty text.
    QString moveUp(const QList<int>& positions);
    QString moveDown(const QList<int>& positions);

    /// Removes every row; the estimate shows 0.00 MB and the queue
    /// commands go off.
    void clear();

    /// Sorting by a column header: ascending, from now on.
    void sortByColumn(int column);

    /// Removes the rows with these ids (after Delete Source Files): as
    /// Clear when the queue ends empty, otherwise the estimate is refreshed.
    void removeJoined(const QSet<quint64>& ids);

    /// "Estimated Joined Filesize:  " + the sum of the size texts + " MB".
    const QString& estimate() const { return m_estimate; }
    /// Sums the rows' size texts as shown, in single precision.
    void refreshEstimate();

    Commands commands() const;
    /// A join starts (all five commands go off) or has ended (all five come
    /// back, whatever the queue holds).
    void setJoinRunning(bool running);

signals:
    void estimateChanged(const QString& caption);
    void commandsChanged();

private:
    void setEstimate(const QString& caption);
    void setQueueCommands(bool on);

    Preferences& m_live;
    FileSystem& m_files;
    QueueModel m_model;
    QString m_estimate;
    bool m_queueCommands = false;
    bool m_joinRunning = false;
};
