#pragma once

#include "platform/FileTypes.h"

#include <QStringList>
#include <mutex>
#include <optional>

class MovieEngine;

/// The movie module (reelbind-movies.so), which holds the only code that
/// links FFmpeg's libraries, loaded when a movie is first looked at instead
/// of at every start of the program. The program's loader (program()) looks
/// beside the program (a build, a portable folder), then where an install
/// puts it (lib/reelbind, found from the program's own folder). A module is
/// loaded once, whichever thread asks first, and never unloaded; one built
/// for another version of the program is refused.
class MovieModule
{
public:
    /// A loader that looks in `folders`, in order, and loads the first
    /// module it finds.
    explicit MovieModule(QStringList folders);
    MovieModule(const MovieModule&) = delete;
    MovieModule& operator=(const MovieModule&) = delete;

    /// The module's engine, loaded on the first call; otherwise why it
    /// cannot be loaded, naming the module (the same on every call).
    FileResult<MovieEngine*> engine();
    /// Where it looks.
    const QStringList& folders() const { return m_folders; }

    /// The program's loader, which describeMovie() and MovieWriter::create()
    /// use.
    static MovieModule& program();
    /// Makes program() look in `folder` alone: for programs built elsewhere
    /// than the program, the tests and benchmarks. Before the first use of
    /// program().
    static void lookIn(const QString& folder);

private:
    FileResult<MovieEngine*> load() const;

    const QStringList m_folders;
    std::mutex m_mutex;
    std::optional<FileResult<MovieEngine*>> m_loaded;
};
