#pragma once

#include "core/JoinMethod.h"
#include "platform/MovieContainers.h"

/// The join of MP4/MOV or Matroska/WebM parts into one movie (MovieWriter):
/// every packet copied unchanged into one new file of the parts' container,
/// with a chapter for each part. The same safety as the byte join: a new
/// file beside the target, named only once proven (every part read to its
/// end and unchanged since it was opened, every packet read written, the
/// container's ending written); a failure names the part or the target and
/// the reason, and keeps an existing target. Cancel takes effect between
/// packets and always keeps nothing: a half-written container does not
/// play. Progress follows the bytes read of each part; events are let in
/// about every 15 ms.
class OneMovie : public JoinMethod
{
public:
    OneMovie(FileSystem& files, EventPump& pump) : m_files(files), m_pump(pump) {}

    /// The container of the next run's movie (the parts').
    void setFamily(MovieFamily family) { m_family = family; }
    MovieFamily family() const { return m_family; }

    Result run(const Job& job, JoinProgress& progress) override;
    void cancel(bool keepNothing) override;

    /// The last run's longest time between two pumps, in nanoseconds.
    qint64 longestGapNs() const { return m_longestGapNs; }

private:
    Result copyAll(const Job& job, JoinProgress& progress, JoinTarget& out);

    FileSystem& m_files;
    EventPump& m_pump;
    MovieFamily m_family = MovieFamily::None;
    bool m_cancelled = false;
    bool m_running = false;
    qint64 m_longestGapNs = 0;
};
