#include "platform/MovieContainers.h"

#include "platform/MovieEngine.h"
#include "platform/MovieModule.h"

#include <algorithm>

QList<MovieStream> MovieLayout::kept() const
{
    QList<MovieStream> out;
    std::copy_if(streams.cbegin(), streams.cend(), std::back_inserter(out),
                 [](const MovieStream& s) { return s.kept && s.attached.isEmpty(); });
    return out;
}

FileResult<MovieLayout> describeMovie(InputFile& input)
{
    const FileResult<MovieEngine*> engine = MovieModule::program().engine();
    if (!engine)
        return engine.error();
    return (*engine)->describe(input);
}

FileResult<std::unique_ptr<MovieWriter>> MovieWriter::create(OutputFile& output, MovieFamily family)
{
    const FileResult<MovieEngine*> engine = MovieModule::program().engine();
    if (!engine)
        return engine.error();
    return (*engine)->createWriter(output, family);
}
