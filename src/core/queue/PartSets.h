#pragma once

#include "platform/FileResult.h"
#include "platform/MovieTiming.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class FileLookup;
class FileStreams;

/// Sets of parts found from their first part. By their names: DVD title
/// sets (VTS_01_1.VOB, VTS_01_2.VOB ... up to _9, never the menu _0), split
/// files (name.001 or name.000, .002 ... .999, .1000 ...; all but the last
/// of one size), numbered parts (name.part1.ext, name.part01.ext; name
/// CD1.ext, name-cd1, name_cd1; name (1 of 3).ext, up to its count) and
/// action-camera chapters (GOPRxxxx.MP4, GP01xxxx.MP4, GP02xxxx.MP4 ...;
/// GH01xxxx.MP4, GH02xxxx.MP4 ...; the same with GX). By their content, one
/// recording a camera split into files: an AVCHD camcorder's 00000.MTS,
/// 00001.MTS ... (or .m2ts) from any number, whose timestamps go on from part
/// to part (within 1 s); a drone's or camera's DJI_0001.MP4, MVI_0001.MP4,
/// C0001.MP4 ... (or .MOV), each begun (its creation time) when the one
/// before it ended (its creation time and length, within 2 s); a dashcam's
/// loop, 20260701_101500_F.MP4 ..., the part of the same suffix whose name's
/// time is where the one before ended (within 2 s). A pattern matches the
/// whole name, without case; a set is the next parts in the first part's
/// folder that are regular files this user can read (by content: that the
/// movie module reads), up to the first one that is not. A name that merely
/// ends in a number is no set.
namespace PartSets {

/// What told that the parts belong together.
enum class Known { ByNames, ByTimestamps, ByCreationTimes, ByNameTimes };

struct Set
{
    QString first;      ///< the first part, as it was added
    QStringList others; ///< the set's other parts in order, full paths
    QString missing;    ///< the name where the set stops though later parts exist
    Known known = Known::ByNames;
};

/// When the movie at a path runs, or why that cannot be read.
using Timing = std::function<FileResult<MovieTiming>(const QString& path)>;
/// The real Timing: the file opened through `files`, its headers read by
/// the movie module (readMovieTiming()).
Timing movieTiming(FileStreams& files);

/// The sets of which `added` holds the first part, with the other parts that
/// are neither added nor `queued` nor in an earlier set (a set with none left
/// is none). A folder is read once; one that cannot be read has no sets.
/// `timing` is asked only about the files whose names make them candidates
/// for a set by content, each at most once.
QList<Set> find(const QStringList& added, const QStringList& queued, FileLookup& files,
                const Timing& timing);

/// "Add the Other Parts?"
QString questionTitle();
/// The question naming each set's other parts (at most 15 lines, then
/// "... and N more."), where a set stops at a gap, and by what a set found
/// by content was known.
QString question(const QList<Set>& sets);

/// `added` with each set's other parts right after its first part.
QStringList withOthers(const QStringList& added, const QList<Set>& sets);

} // namespace PartSets
