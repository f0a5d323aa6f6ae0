#pragma once

#include "core/join/JoinSession.h"
#include "core/queue/JoinQueue.h"
#include "core/settings/Preferences.h"
#include "core/settings/Settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <functional>

class FileSystem;

/// A join asked for on the command line (reelbind --join TARGET FILE...),
/// without any window: the same session, checks and proof as the windows',
/// driven as a user who answers every question at once would. The parts are
/// joined as one movie where the session offers that, otherwise byte by
/// byte, unless the request says which; the target is the one given (an
/// existing file is replaced, as cp does, but only by a proven join).
///
/// It writes nothing to the settings file: its preferences are the
/// defaults, held in memory. What it has to say goes through `write`, as
/// the text for standard error: progress (one line rewritten in place on a
/// terminal, otherwise a line at most once a second) and, when the join does
/// not end joined, one line naming the file and the reason.
class CommandLineJoin : public QObject
{
    Q_OBJECT
public:
    enum class Method { AsOffered, Bytes, OneMovie };
    struct Request
    {
        QString target;
        QStringList sources;
        Method method = Method::AsOffered;
        /// The other parts of each set whose first part is among the sources
        /// join right after it (PartSets).
        bool withSets = false;
        /// After a proven join the sources go to the trash, as Delete Source
        /// Files does, without asking.
        bool trashSources = false;
    };

    /// The exit statuses.
    static constexpr int kJoined = 0;
    static constexpr int kFailed = 1;

    CommandLineJoin(FileSystem& files, bool terminal, std::function<void(const QString&)> write,
                    QObject* parent = nullptr);

    /// Starts the join; finished() follows, from the event loop.
    void start(const Request& request);
    /// A signal arrived: the join stops and keeps nothing; it then finishes
    /// with `status`, the terminal told that nothing was written.
    void stop(int status);

    /// The session, for what a caller wants to see of it.
    JoinSession& session() { return m_session; }
    /// The live preferences (the chunk size, for one).
    Preferences& prefs() { return m_prefs; }

signals:
    /// The join is over; `status` is the program's exit status.
    void finished(int status);

private:
    void followPhase(JoinSession::Phase phase);
    void answerQuestion();
    /// Fails because the parts cannot be one movie, saying why where the plan knows.
    void failNotOneMovie();
    void showProgress(const JoinFigures& figures, bool force);
    void ended();
    /// Writes `line`, prefixed with the program's name, as a line of its own.
    void say(const QString& line);
    /// Ends with `line` (prefixed with the program's name) and `status`.
    void fail(const QString& line, int status = kFailed);
    void finish(int status);

    Settings m_settings;
    Preferences m_prefs;
    JoinQueue m_queue;
    JoinSession m_session;
    FileSystem& m_files;
    const bool m_terminal;
    std::function<void(const QString&)> m_write;
    Request m_request;
    QElapsedTimer m_lastShown;
    int m_fileIndex = 0;
    int m_shownPercent = -1;
    bool m_lineOpen = false; // a progress line waits on the terminal for its end
    int m_stopStatus = -1;
    bool m_failed = false; // told already; the session's end only finishes
    bool m_finished = false;
};
