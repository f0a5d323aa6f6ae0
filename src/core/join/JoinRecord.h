#pragma once

#include "core/join/JoinEnding.h"
#include "core/queue/QueueRow.h"
#include "platform/FileTypes.h"

#include <QList>
#include <QString>

/// What a join took and made: the queue's rows as they stood when Join was
/// pressed, the target, each source as the join read it (in order), the
/// file it wrote under the target's name, and how it ended.
struct JoinRecord
{
    QList<QueueRow> rows;
    QString target;
    QList<FileIdentity> read;
    FileIdentity written;
    JoinEnding ending = JoinEnding::None;
};
