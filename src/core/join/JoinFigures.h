#pragma once

#include <QMetaType>
#include <QtGlobal>

/// Figures of a join after one step, in bytes.
struct JoinFigures
{
    qint64 batchTotal = 0; // sum of the sources' lengths taken before the copy
    qint64 batchDone = 0;  // bytes of the batch copied so far
    qint64 fileLength = 0; // length of the current source when it was opened
    qint64 fileDone = 0;   // bytes of the current source copied so far
    /// What the file percentage shows: it trails fileDone by the last chunk
    /// copied, until the source's last round, after which it equals fileDone.
    qint64 fileShown = 0;
};
Q_DECLARE_METATYPE(JoinFigures)
