#pragma once

#include "core/CopyLoop.h"

#include <QList>
#include <QString>
#include <QStringList>

/// How a join ended (None while it has not, or before the first).
enum class JoinEnding { None, NoTarget, NoSpace, Joined, Cancelled, Failed };

/// One way of making the target out of the sources, chosen per join. Today
/// there is one, ByteCopy; another way of joining plugs in here, behind the
/// same checks, status window and after-join actions.
class JoinMethod
{
public:
    struct Job
    {
        QStringList sources; // full paths, in join order
        QString target;
        int chunkSize = 0;
    };
    /// What a run did: how it ended (Joined, Cancelled or Failed), the
    /// message for a failure, and what the after-join actions need: each
    /// source as it was read to its end, in join order, and the file written
    /// under the target's name.
    struct Result
    {
        JoinEnding ending = JoinEnding::Failed;
        QString failure;
        QList<FileIdentity> read;
        FileIdentity written;
    };

    virtual ~JoinMethod();
    /// Runs the job once, reporting to `progress` and letting events in
    /// through the program's pump.
    virtual Result run(const Job& job, JoinProgress& progress) = 0;
    /// Stops the run at its next step; before run(): the next run stops
    /// before it writes anything. With `keepNothing` nothing of the run is
    /// left: no partial target, an existing one as it was.
    virtual void cancel(bool keepNothing) = 0;
};

/// The byte-for-byte join: the copy loop at the job's chunk size.
class ByteCopy : public JoinMethod
{
public:
    ByteCopy(FileSystem& files, EventPump& pump) : m_files(files), m_pump(pump) {}

    Result run(const Job& job, JoinProgress& progress) override;
    void cancel(bool keepNothing) override;

    /// How the copy loop moves its rounds (tests and benchmarks fix them).
    void setOptions(const CopyOptions& options) { m_options = options; }
    /// Whether the last run's data went through the kernel's copy.
    bool kernelCopied() const { return m_kernelCopied; }
    /// The last run's longest round, in nanoseconds.
    qint64 longestRoundNs() const { return m_longestRoundNs; }
    /// For each source of the last run, whether its blocks were shared.
    const QList<bool>& sharedSources() const { return m_shared; }

private:
    FileSystem& m_files;
    EventPump& m_pump;
    CopyOptions m_options;
    CopyLoop* m_loop = nullptr;
    bool m_cancelled = false;
    bool m_keepNothing = false;
    bool m_kernelCopied = false;
    qint64 m_longestRoundNs = 0;
    QList<bool> m_shared;
};
