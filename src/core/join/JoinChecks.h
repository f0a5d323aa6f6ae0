#pragma once

#include "core/join/JoinVerdict.h"
#include "core/movies/MoviePlan.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

class CancelToken;
class FileSystem;

/// The looks at the queued files before a join: their kinds (before the
/// save dialog), then the chosen target and the free space. They run on the
/// join's thread, and each stops soon after the cancel token is set.
class JoinChecks
{
    Q_DECLARE_TR_FUNCTIONS(JoinChecks)

public:
    JoinChecks(FileSystem& files, const CancelToken& cancel) : m_files(files), m_cancel(cancel) {}

    /// Reads the first bytes of each source (a file queued twice once): Ask
    /// with MovieKind::joinQuestion when they will not play joined, else Go.
    /// A file that cannot be read is no reason to ask: the join names it.
    /// When all are MP4/MOV, or all Matroska/WebM, it looks inside each
    /// (describeMovie) to see whether they can be joined as one movie.
    JoinVerdict lookAtKinds(const QStringList& sources);

    /// Refuses a target that is one of the sources (opening it for writing
    /// would destroy it before it was read) or no regular file (a pipe or a
    /// device would block the join or swallow it); then removes what killed
    /// joins left in the target's folder, and finds NoSpace when the free
    /// space is too little.
    JoinVerdict checkTarget(const QStringList& sources, const QString& target);

    /// Whether the file system holding `folder` has more free bytes than the
    /// join needs: the sources' lengths together (a file that cannot be read
    /// needs nothing: the join stops there), less those the join will share
    /// where the file system shares blocks; nullopt when its free space
    /// cannot be read.
    std::optional<bool> enoughSpace(const QString& folder, const QStringList& sources);

    static QString noSpaceText();

private:
    /// Describes each source as a movie and compares them; false when the
    /// join was cancelled meanwhile.
    bool lookInside(const QStringList& sources, MoviePlan& plan, QList<FileIdentity>& compared);

    FileSystem& m_files;
    const CancelToken& m_cancel;
};
