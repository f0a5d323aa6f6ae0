#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class FileLookup;

/// Sets of parts whose names say so, found from their first part: DVD title
/// sets (VTS_01_1.VOB, VTS_01_2.VOB ... up to _9, never the menu _0), split
/// files (name.001 or name.000, .002 ... .999, .1000 ...; all but the last
/// of one size), numbered parts (name.part1.ext, name.part01.ext; name
/// CD1.ext, name-cd1, name_cd1; name (1 of 3).ext, up to its count) and
/// action-camera chapters (GOPRxxxx.MP4, GP01xxxx.MP4, GP02xxxx.MP4 ...;
/// GH01xxxx.MP4, GH02xxxx.MP4 ...; the same with GX). A pattern matches the
/// whole name, without case; a set is the next numbers in the first part's
/// folder that are regular files this user can read, up to the first one
/// that is not. A name that merely ends in a number is no set.
namespace PartSets {

struct Set
{
    QString first;      ///< the first part, as it was added
    QStringList others; ///< the set's other parts in order, full paths
    QString missing;    ///< the name where the set stops though later parts exist
};

/// The sets of which `added` holds the first part, with the other parts that
/// are neither added nor `queued` (a set with none left is none). A folder
/// is read once; one that cannot be read has no sets.
QList<Set> find(const QStringList& added, const QStringList& queued, FileLookup& files);

/// "Add the Other Parts?"
QString questionTitle();
/// The question naming each set's other parts (at most 15 lines, then
/// "... and N more.") and where a set stops at a gap.
QString question(const QList<Set>& sets);

/// `added` with each set's other parts right after its first part.
QStringList withOthers(const QStringList& added, const QList<Set>& sets);

} // namespace PartSets
