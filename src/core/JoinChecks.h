#pragma once

#include "core/MoviePlan.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

class EventPump;
class FileSystem;

/// What the checks before a join found: go on, ask the user first (the
/// text is the question), refuse the target or find too little space (the
/// text is the message to show), or stop, because the join was cancelled
/// while they looked.
struct JoinVerdict
{
    enum class Kind { Go, Ask, Refused, NoSpace, Stopped };
    Kind kind = Kind::Go;
    QString text;
    /// With Ask: the container the files can be joined into as one movie;
    /// None when they cannot.
    MovieFamily oneMovie = MovieFamily::None;
};

/// The looks at the queued files before a join: their kinds (before the
/// save dialog), then the chosen target and the free space. On a long
/// queue each look lets events in through the pump about every 20 ms, and
/// each stops as soon as `cancelled` turns true.
class JoinChecks
{
    Q_DECLARE_TR_FUNCTIONS(JoinChecks)

public:
    JoinChecks(FileSystem& files, EventPump& pump, const bool& cancelled)
        : m_files(files), m_pump(pump), m_cancelled(cancelled)
    {
    }

    /// Reads the first bytes of each source (a file queued twice once): Ask
    /// with MovieKind::joinQuestion when they will not play joined, else Go.
    /// A file that cannot be read is no reason to ask: the join names it.
    /// When all are MP4/MOV, or all Matroska/WebM, it looks inside each
    /// (describeMovie) to see whether they can be joined as one movie.
    JoinVerdict lookAtKinds(const QStringList& sources);

    /// Refuses a target that is one of the sources (opening it for writing
    /// would destroy it before it was read) or no regular file (a pipe or a
    /// device would block the join or swallow it); then NoSpace when the
    /// free space is too little.
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
    bool lookInside(const QStringList& sources, MoviePlan& plan);

    FileSystem& m_files;
    EventPump& m_pump;
    const bool& m_cancelled;
};

/// As the settings keep a folder: the folder of `path`, without a final
/// "/", except the root.
QString folderOf(const QString& path);
