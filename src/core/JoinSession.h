#pragma once

#include "core/QueueModel.h"
#include "platform/FileSystem.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

#include "core/CopyLoop.h"

class FileSystem;
class JoinProgress;
class JoinQueue;
class Preferences;
struct Settings;

/// One join at a time, from Join pressed to the actions after it, without
/// any window. The status window drives it: begin(), the save dialog,
/// chooseTarget(), copy() (which pumps events once per chunk), then end();
/// afterwards finish() or deleteSources().
///
/// A join joins the queue as it stood when Join was pressed; changes to the
/// queue during the run change nothing in it.
class JoinSession : public QObject
{
    Q_OBJECT
public:
    /// How the last join ended (None while it has not, or before the first).
    enum class Ending { None, NoTarget, NoSpace, Joined, Cancelled, Failed };

    JoinSession(JoinQueue& queue, Preferences& live, Settings& stored, FileSystem& files,
                QObject* parent = nullptr);
    ~JoinSession() override;

    /// From begin() to end().
    bool isRunning() const { return m_running; }

    /// Join pressed: takes the queue's rows as they stand and turns the
    /// main window's five commands off. False (nothing happens) while a
    /// join runs.
    bool begin();

    /// Before the save dialog: reads the first bytes of each file this join
    /// takes and returns the question to ask when they will not play joined
    /// (MovieKind::joinQuestion), or an empty text. Stops early (empty text)
    /// when the join was cancelled meanwhile.
    ///
    /// This and chooseTarget() look at every queued file; on a long queue
    /// they let other events in every 20 ms or so.
    QString kindQuestion();
    /// Whether cancel() was called since begin().
    bool cancelled() const { return m_cancelled; }

    /// Where the save dialog opens: the live target folder.
    QString targetFolder();

    /// The path the save dialog gave (empty: cancelled). Refuses a target
    /// that is one of the sources or no regular file (a pipe, a device),
    /// then checks the free space; when the copy may go on, remembers the
    /// target's folder (with RememberTarget ticked). Returns the message the
    /// user must see first: the target is refused, or there is not enough
    /// space; otherwise an empty text. Afterwards ending() is NoTarget or
    /// NoSpace when the join is over (NoTarget also when it was cancelled
    /// meanwhile).
    QString chooseTarget(const QString& path);

    /// 1 when the file system holding `folder` has more free bytes than the
    /// rows' files are long together, 0 when it has as many or fewer, -1
    /// when the query failed.
    int DiskSpace(const QString& folder);

    /// Joins the rows into the target at the live chunk size, reporting to
    /// `progress`. Ends as Joined, Cancelled or Failed.
    Ending copy(JoinProgress& progress);

    /// How the copy loop moves its rounds (tests and benchmarks fix them).
    void setCopyOptions(const CopyOptions& options) { m_options = options; }
    /// Whether the last join's data went through the kernel's copy.
    bool kernelCopied() const { return m_kernelCopied; }
    /// The last join's longest round, in nanoseconds.
    qint64 longestRoundNs() const { return m_longestRoundNs; }

    /// Cancel: the copy stops before its next round (or does not start).
    void cancel();

    /// The join is over: the five commands come back, then whatever waited
    /// for the end (cancelThen) goes on.
    void end();

    /// Cancels a running join and runs `then` once it has ended; runs it
    /// at once when no join runs.
    void cancelThen(std::function<void()> then);

    // What the last join took and how it ended.
    const QList<QueueRow>& rows() const { return m_rows; }
    const QString& target() const { return m_target; }
    Ending ending() const { return m_ending; }
    /// The chunk size the copy used.
    int chunkSize() const { return m_chunk; }
    /// The outcome as the status window words it: its final text and
    /// caption (empty for an ending that shows none).
    QString finalText() const;
    QString caption() const;

    // After the join.

    /// Whether Delete Source Files asks first (ConfirmDel ticked).
    bool asksBeforeDelete();
    /// Finished: the queue is cleared when ClearQue is ticked.
    void finish();
    /// What Delete Source Files did, for the user to see.
    struct Deletion
    {
        /// Why nothing was deleted, or the files kept with their reasons;
        /// empty when there is nothing to tell.
        QString message;
        /// Joined files that no trash takes: deleted for good only when the
        /// user agrees (deleteForGood).
        QStringList noTrash;
    };

    /// Delete Source Files after a join: first the joined file is made
    /// durable (if that fails, or the target is no longer the file the join
    /// wrote, nothing is deleted); then each file this join read (a file
    /// queued twice once) goes to the trash, but only while it is still the
    /// file that was read, unchanged. The rows of the files that went are
    /// removed; a file kept keeps its rows. The clear-queue step of Finished
    /// is not part of it.
    Deletion deleteSources();

    /// Deletes these joined files for good (no trash takes them) and removes
    /// their rows. Returns the message naming each file that could not be
    /// deleted with the reason, or an empty text.
    QString deleteForGood(const QStringList& paths);

    static const QString kNoSpace;
    static const QString kTargetIsSource;
    /// The question before deleting files for good, naming them.
    static QString deleteForGoodQuestion(const QStringList& paths);

private:
    /// `files` more were looked at: lets events in when `pace` says they
    /// are due. False once the join was cancelled.
    bool serveEvents(FilePace& pace, int files = 1);
    /// The ids of this join's rows of the files at `paths`, in one pass.
    QSet<quint64> idsOf(const QSet<QString>& paths) const;

    JoinQueue& m_queue;
    Preferences& m_live;
    Settings& m_stored;
    FileSystem& m_files;
    bool m_running = false;
    bool m_cancelled = false;
    CopyOptions m_options;
    bool m_kernelCopied = false;
    qint64 m_longestRoundNs = 0;
    CopyLoop* m_loop = nullptr;
    QList<QueueRow> m_rows;
    QString m_target;
    Ending m_ending = Ending::None;
    int m_chunk = 0;
    QString m_failure;
    QList<FileSystem::Identity> m_read; // the sources as the copy read them, in order
    FileSystem::Identity m_written;     // the file the copy wrote
    std::vector<std::function<void()>> m_afterRun;
};
