#pragma once

// What the movie module exports, by plain C names, and what MovieModule
// asks of it before it uses its engine: the module answers the version it was
// built for, and one of another build of the program (or of another
// MovieEngine) is refused rather than called.

#include "Product.h"

#include <QByteArray>

class MovieEngine;

namespace MovieModuleEntry {

/// Raised with every change of MovieEngine, MovieWriter or the movie types.
constexpr int kEngineRevision = 2;

/// "1.0.7/1": the program's version and the engine's revision.
inline QByteArray version()
{
    return Product::kVersion.toUtf8() + '/' + QByteArray::number(kEngineRevision);
}

/// const char* reelbind_movies_version(): version() as the module was built.
constexpr char kVersionSymbol[] = "reelbind_movies_version";
using VersionFunction = const char* (*)();

/// MovieEngine* reelbind_movies_engine(): the module's one engine, made on
/// the first call; null when it cannot be made.
constexpr char kEngineSymbol[] = "reelbind_movies_engine";
using EngineFunction = MovieEngine* (*)();

} // namespace MovieModuleEntry
