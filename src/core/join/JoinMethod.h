#pragma once

#include "core/join/JoinEnding.h"
#include "platform/FileTypes.h"
#include "platform/MovieContainers.h"

#include <QList>
#include <QString>
#include <QStringList>

class CancelToken;
class JoinProgress;

/// One way of making the target out of the sources, chosen per join: bytes
/// (ByteCopy) or one movie (OneMovie). It runs on the join's own thread,
/// behind the same checks, status window and after-join actions, and reads
/// the cancel token between its steps.
class JoinMethod
{
public:
    struct Job
    {
        QStringList sources; // full paths, in join order
        QString target;
        int chunkSize = 0;                      // the byte join's unit
        MovieFamily family = MovieFamily::None; // the container of one movie
        // Each source as it stood when the parts were compared; a source
        // that is no longer that file fails the join. Empty: not compared.
        QList<FileIdentity> compared = {};
    };
    /// What a run did: how it ended (Joined, Mismatched, Cancelled or
    /// Failed); for a failure the message naming the file and the reason,
    /// for a cancel what became of the target, for a join the checksum files
    /// it matched (none: empty) or the one it does not match; and what the
    /// after-join actions need: each source as it was read to its end, in
    /// join order, and the file written under the target's name.
    struct Result
    {
        JoinEnding ending = JoinEnding::Failed;
        QString message;
        QList<FileIdentity> read;
        FileIdentity written;
    };

    virtual ~JoinMethod() = default;
    /// Runs the job once, reporting to `progress`; stops at its next step
    /// once `cancel` is set (before it writes anything, when set already).
    virtual Result run(const Job& job, JoinProgress& progress, const CancelToken& cancel) = 0;
};
