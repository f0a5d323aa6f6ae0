#include "platform/MovieContainers.h"

#include "platform/MovieEngine.h"
#include "platform/MovieModule.h"

#include <algorithm>
#include <utility>

QList<MovieStream> MovieLayout::kept() const
{
    QList<MovieStream> out;
    std::copy_if(streams.cbegin(), streams.cend(), std::back_inserter(out),
                 [](const MovieStream& s) { return s.kept && s.attached.isEmpty(); });
    return out;
}

namespace {

// What the program's engine answers, or why there is none.
template <typename Call> auto withEngine(Call call) -> decltype(call(std::declval<MovieEngine&>()))
{
    const FileResult<MovieEngine*> engine = MovieModule::program().engine();
    if (!engine)
        return engine.error();
    return call(**engine);
}

} // namespace

FileResult<MovieLayout> describeMovie(InputFile& input)
{
    return withEngine([&](MovieEngine& engine) { return engine.describe(input); });
}

FileResult<MovieTiming> readMovieTiming(InputFile& input)
{
    return withEngine([&](MovieEngine& engine) { return engine.timing(input); });
}

FileResult<std::unique_ptr<MovieWriter>> MovieWriter::create(OutputFile& output, MovieFamily family)
{
    return withEngine([&](MovieEngine& engine) { return engine.createWriter(output, family); });
}
