#pragma once

#include "core/join/PartJoin.h"
#include "platform/MovieContainers.h"

#include <memory>

/// The join of MP4/MOV or Matroska/WebM parts into one movie (MovieWriter):
/// every packet copied unchanged into one new file of the job's container,
/// with a chapter for each part. Proven as the byte join is, each part the
/// very file the parts' comparison looked at (Job::compared), and the
/// container's ending written. A cancel takes effect between packets and
/// always keeps nothing: a half-written container does not play. Progress
/// follows the bytes read of each part, reported about every 15 ms.
/// Checksums of the parts are checked, each part hashed beside the writer;
/// one of the whole is not: the movie is a new file, which cannot match it.
class OneMovie : public PartJoin
{
public:
    explicit OneMovie(FileSystem& files) : PartJoin(files) {}
    ~OneMovie() override;

    /// The last run's longest time between two reports, in nanoseconds.
    qint64 longestGapNs() const { return m_longestGapNs; }

private:
    bool begin(const Job& job) override;
    Moved movePart(Part& part) override;
    bool end() override;
    void release() override;
    bool keepsBytes() const override { return false; }
    /// The writer failed at `step`: the target or the part is named.
    bool failed(MovieWriter::Step step, const QString& part);

    std::unique_ptr<MovieWriter> m_writer;
    qint64 m_longestGapNs = 0;
    QList<FileIdentity> m_compared; // the parts as the plan compared them
};
