#pragma once

#include "platform/MovieContainers.h"

#include <memory>

/// MovieWriter through FFmpeg's libraries: each part's packets copied as
/// they are, their times shifted, into one new file of the parts' container
/// written through the seam's OutputFile.
class FfmpegMovieWriter : public MovieWriter
{
public:
    ~FfmpegMovieWriter() override;
    /// A writer of a `family` movie into `output` (which must outlive it);
    /// without memory, the library's reason.
    static FileResult<std::unique_ptr<MovieWriter>> open(OutputFile& output, MovieFamily family);

    Step beginPart(InputFile& part, const QString& chapter) override;
    Step copyPacket() override;
    qint64 partPosition() const override;
    Step finish() override;
    QString failure() const override;

private:
    FfmpegMovieWriter();
    struct Private;
    std::unique_ptr<Private> d;
};
