#pragma once

#include "core/join/AfterJoin.h"
#include "core/join/ByteCopy.h"
#include "core/join/CancelToken.h"
#include "core/join/JoinChecks.h"
#include "core/join/JoinEnding.h"
#include "core/join/OneMovie.h"
#include "core/status/ProgressRelay.h"

#include <QObject>
#include <QThread>

class FileSystem;
class JoinQueue;
class Preferences;

/// One join at a time, from Join pressed to the actions after it, without
/// any window. The join goes through its phases in order and announces each
/// (phaseChanged): the looks at the files, the checks and the join method
/// run on a thread of the session's own; the question and the save dialog
/// are the windows' part, answered through answer() and chooseTarget(). The
/// method's progress reaches the windows' thread through queued signals.
///
/// A join joins the queue as it stood when Join was pressed; changes to the
/// queue during the run change nothing in it.
class JoinSession : public QObject
{
    Q_OBJECT
public:
    enum class Phase {
        Idle,           ///< no join yet
        LookingAtFiles, ///< the queued files' kinds are read
        Asking,         ///< the question (question()) waits for answer()
        ChoosingTarget, ///< the save dialog waits for chooseTarget()
        Checking,       ///< the target and the free space are checked
        Joining,        ///< the join method runs
        Ended,          ///< ending() says how; the after-join actions may follow
    };
    Q_ENUM(Phase)
    using Ending = JoinEnding;

    /// The answers to the question before a join.
    enum class Choice { Cancel, Bytes, OneMovie };

    JoinSession(JoinQueue& queue, Preferences& live, FileSystem& files, QObject* parent = nullptr);
    /// Stops a join that still runs, keeping nothing of it, and waits for its thread.
    ~JoinSession() override;

    /// Join pressed: the main window's five commands go off and the files'
    /// kinds are looked at; then, when they will not play joined byte by
    /// byte, the question (Asking); then the save dialog (ChoosingTarget);
    /// the target is checked and, with RememberTarget ticked, its folder
    /// remembered; the join method runs. When the phase turns Ended the five
    /// commands are back. False (nothing happens) while a join runs.
    bool start();
    /// While Asking: the user's answer. Cancel, or One Movie where it was
    /// not offered, ends the join as a cancelled save dialog does.
    void answer(Choice choice);
    /// While ChoosingTarget: the chosen target; empty: the dialog was cancelled.
    void chooseTarget(const QString& target);
    /// Cancel: the join stops at its next step; while the question or the
    /// save dialog is up it ends at once, as their Cancel would. With
    /// `keepNothing` no partial target is left and an existing one is kept.
    void cancel(bool keepNothing = false);

    Phase phase() const { return m_phase; }
    /// From Join pressed until the phase turns Ended.
    bool isRunning() const { return m_phase != Phase::Idle && m_phase != Phase::Ended; }

    /// While Asking: the question, and whether it offers One Movie
    /// (MovieKind::oneMovieButtons()) or asks Yes (Bytes) or No.
    const QString& question() const { return m_question; }
    bool offersOneMovie() const { return m_family != MovieFamily::None; }
    /// While Asking, when One Movie is not offered though the files are all
    /// MP4/MOV or all Matroska/WebM: the part that differs, and how.
    const QString& difference() const { return m_difference; }
    /// While ChoosingTarget: where the save dialog opens, its first filter
    /// (empty: the usual ones) and the ending it adds to a name typed without
    /// one (the movie's; empty for a byte join, whose names stay as typed).
    QString targetFolder() const;
    QString targetFilter() const;
    QString targetSuffix() const;

    // What the last join took and how it ended.
    const QList<QueueRow>& rows() const { return m_record.rows; }
    /// The target, once the checks let it be written (or found it too large).
    const QString& target() const { return m_record.target; }
    Ending ending() const { return m_ending; }
    /// A message the user must see before the ending shows (the target was
    /// refused, there is too little space); empty when there is none.
    const QString& notice() const { return m_notice; }
    /// The chunk size the join used.
    int chunkSize() const { return m_chunk; }
    /// Whether the last join was chosen to make one movie.
    bool joinsAsOneMovie() const { return m_asOneMovie; }
    /// The outcome as the status window words it: its final text (with the
    /// checksum files a join matched, or the one it does not) and caption
    /// (empty for an ending that shows none).
    QString finalText() const;
    QString caption() const;

    /// The actions after the last join.
    AfterJoin& after() { return m_after; }
    /// The byte-for-byte join.
    ByteCopy& byteCopy() { return m_byteCopy; }
    /// The join of movie parts into one movie.
    OneMovie& oneMovie() { return m_oneMovie; }

signals:
    void phaseChanged(JoinSession::Phase phase);
    /// The method's progress, on this object's thread (ProgressRelay).
    void batchStarted(qint64 batchTotal);
    void fileStarted(int index, const JoinFigures& figures);
    void copied(const JoinFigures& figures);

private:
    /// Runs `work` on the join's thread, then `done` with its result here.
    template <typename Work, typename Done> void offThread(Work work, Done done);
    void kindsSeen(const JoinVerdict& kinds);
    void askForTarget();
    void targetChecked(const JoinVerdict& verdict);
    void methodEnded(const JoinMethod::Result& result);
    void setPhase(Phase phase);
    void end(Ending ending);

    JoinQueue& m_queue;
    Preferences& m_live;
    CancelToken m_cancel;
    JoinChecks m_checks;
    ByteCopy m_byteCopy;
    OneMovie m_oneMovie;
    ProgressRelay m_relay;
    Phase m_phase = Phase::Idle;
    QStringList m_sources;
    QString m_question;
    QString m_difference;
    MovieFamily m_family = MovieFamily::None;
    QList<FileIdentity> m_compared; // the sources as the question compared them
    bool m_asOneMovie = false;
    JoinRecord m_record;
    AfterJoin m_after;
    Ending m_ending = Ending::None;
    QString m_notice;
    QString m_message; // the method's: a failure, or what a cancel left
    int m_chunk = 0;
    QThread m_thread;
    QObject* m_worker = nullptr; // lives on m_thread
};
