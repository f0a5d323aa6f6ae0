#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class FileSystem;

/// The checksum files that split downloads come with, and what they say
/// about a join. Three kinds, told by the file's ending (any case): md5sum's,
/// sha1sum's and sha256sum's (.md5, .sha1, .sha256: a line "<hex>  name" or
/// "<hex> *name" for each file; a file name.md5 holding a sum alone is
/// name's), and SFV's CRC-32s (.sfv: a line "name <8 hex>" for each file,
/// ';' starting a comment).
class Checksums
{
public:
    enum class Kind { Crc32, Md5, Sha1, Sha256 };
    /// One sum a checksum file gives.
    struct Sum
    {
        Kind kind = Kind::Md5;
        QByteArray digest; ///< its bytes (a CRC-32's in big-endian order)
        QString file;      ///< the checksum file's path
    };
    /// A line of a checksum file: the file it names, as written there
    /// (relative to the checksum file's folder), and its sum.
    struct Line
    {
        QString name;
        Sum sum;
    };
    /// What the checksum files beside a join's parts give for it.
    struct ForJoin
    {
        QList<std::optional<Sum>> parts; ///< each source's, in join order
        std::optional<Sum> whole;        ///< the joined file's
        bool any() const;
    };

    /// The checksum files read: at most this long.
    static constexpr qint64 kMaxBytes = qint64(1) << 20;

    /// The kind of checksum file `path` is by its ending; none for another.
    static std::optional<Kind> kindOf(const QString& path);

    /// The lines of the checksum file at `path` holding `content`; none when
    /// it is no checksum file of its kind (a line that is neither a sum of
    /// that kind, nor blank, nor an SFV comment).
    static QList<Line> parse(const QString& path, const QByteArray& content);

    /// The name of the split file that `sources` are the parts of (movie.mkv
    /// for movie.mkv.001, movie.mkv.002 ...); empty when they are none.
    static QString setName(const QStringList& sources);

    /// Reads the checksum files in the folders of `sources`: a sum of a
    /// source is that part's; a sum of a file named as `target` or as the
    /// split file the sources came from (setName()) is the whole's. The first
    /// found counts (the folders in join order, in each the files by name); a
    /// file that cannot be read or parsed is passed over.
    static ForJoin find(FileSystem& files, const QStringList& sources, const QString& target);
};
