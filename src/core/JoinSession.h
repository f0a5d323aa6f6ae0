#pragma once

#include "core/AfterJoin.h"
#include "core/JoinChecks.h"
#include "core/JoinMethod.h"
#include "core/OneMovie.h"

#include <QObject>
#include <functional>
#include <vector>

class EventPump;
class FileSystem;
class JoinQueue;
class Preferences;

/// One join at a time, from Join pressed to the actions after it, without
/// any window. run() goes through the phases in order and announces each
/// (phaseChanged); the status window follows them and answers the prompts.
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
        ChoosingTarget, ///< the save dialog is up
        Checking,       ///< the target and the free space are checked
        Joining,        ///< the join method runs
        Ended,          ///< ending() says how; the after-join actions may follow
    };
    Q_ENUM(Phase)
    using Ending = JoinEnding;

    /// The answers to the question before a join.
    enum class Choice { Cancel, Bytes, OneMovie };

    /// What a join asks the user on its way.
    class Prompts
    {
    public:
        virtual ~Prompts();
        /// The files will not play joined byte by byte: whether to join them
        /// anyway (Yes: Bytes; No: Cancel), or, when `oneMovie` is offered,
        /// how (MovieKind::oneMovieButtons()).
        virtual Choice howToJoin(const QString& question, bool oneMovie) = 0;
        /// The target's path, the dialog opening in `folder` with `filter`
        /// first (empty: the usual filters); empty: cancelled.
        virtual QString chooseTarget(const QString& folder, const QString& filter) = 0;
        /// A message the user must see before the join ends (the target is
        /// refused, there is too little space).
        virtual void tell(const QString& message) = 0;
    };

    JoinSession(JoinQueue& queue, Preferences& live, FileSystem& files, EventPump& pump,
                QObject* parent = nullptr);
    ~JoinSession() override;

    /// Join pressed: the main window's five commands go off; the files'
    /// kinds are looked at (Ask: prompts.howToJoin); the
    /// target is chosen, checked and, with RememberTarget ticked, its
    /// folder remembered; the join method runs, reporting to `progress`;
    /// then the phase is Ended, and once the windows have taken that in the
    /// five commands come back and whatever waited for the end (cancelThen)
    /// goes on. False (nothing happens) while a join runs.
    bool run(Prompts& prompts, JoinProgress& progress);

    Phase phase() const { return m_phase; }
    /// From Join pressed until the windows have taken in the ending.
    bool isRunning() const { return m_running; }

    /// Cancel: the join stops at its next step (or does not start). With
    /// `keepNothing` no partial target is left and an existing one is kept.
    void cancel(bool keepNothing = false);
    /// Whether cancel() was called since the join started.
    bool cancelled() const { return m_cancelled; }
    /// Cancels a running join and runs `then` once it has ended; runs it at
    /// once when no join runs.
    void cancelThen(std::function<void()> then, bool keepNothing = false);

    // What the last join took and how it ended.
    const QList<QueueRow>& rows() const { return m_record.rows; }
    /// The target, once the checks let it be written (or found it too large).
    const QString& target() const { return m_record.target; }
    Ending ending() const { return m_ending; }
    /// The chunk size the join used.
    int chunkSize() const { return m_chunk; }
    /// The outcome as the status window words it: its final text and
    /// caption (empty for an ending that shows none).
    QString finalText() const;
    QString caption() const;

    /// The actions after the last join.
    AfterJoin& after() { return m_after; }
    /// The byte-for-byte join.
    ByteCopy& byteCopy() { return m_byteCopy; }
    /// The join of movie parts into one movie.
    OneMovie& oneMovie() { return m_oneMovie; }
    /// Whether the last join was chosen to make one movie.
    bool joinsAsOneMovie() const { return m_asOneMovie; }

signals:
    void phaseChanged(JoinSession::Phase phase);

private:
    /// The steps from the look at the files to the join method's end.
    Ending join(Prompts& prompts, JoinProgress& progress);
    void setPhase(Phase phase);
    /// Ends the join: phase Ended, then the commands and what waited.
    void end(Ending ending);

    JoinQueue& m_queue;
    Preferences& m_live;
    bool m_running = false;
    bool m_cancelled = false;
    Phase m_phase = Phase::Idle;
    JoinChecks m_checks;
    ByteCopy m_byteCopy;
    OneMovie m_oneMovie;
    bool m_asOneMovie = false;
    JoinMethod* m_method = nullptr; // while it runs
    JoinRecord m_record;
    AfterJoin m_after;
    Ending m_ending = Ending::None;
    int m_chunk = 0;
    QString m_failure;
    std::vector<std::function<void()>> m_afterRun;
};
