#pragma once

#include "core/join/JoinRecord.h"

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QStringList>

class FileSystem;
class JoinQueue;
class Preferences;

/// The actions after a join: Finished, Delete Source Files and deleting for
/// good what no trash takes. (View Joined MPG opens record().target.)
class AfterJoin
{
    Q_DECLARE_TR_FUNCTIONS(AfterJoin)

public:
    AfterJoin(JoinQueue& queue, Preferences& live, FileSystem& files, const JoinRecord& record)
        : m_queue(queue), m_live(live), m_files(files), m_record(record)
    {
    }

    const JoinRecord& record() const { return m_record; }

    /// Whether the sources may be deleted: the join ended Joined. (One whose
    /// file does not match its checksum file ended Mismatched: a part may be
    /// damaged, and the sources are what is left to mend it.)
    bool mayDelete() const { return m_record.ending == JoinEnding::Joined; }
    /// Whether Delete Source Files asks first (ConfirmDel ticked).
    bool asksBeforeDelete();
    /// Finished: the queue is cleared when ClearQue is ticked.
    void finish();

    /// What Delete Source Files did, for the user to see.
    struct Deletion
    {
        /// Why nothing was deleted, or the files kept with their reasons;
        /// empty when there is nothing to tell.
        QString message;
        /// Joined files that no trash takes: deleted for good only when the
        /// user agrees (deleteForGood).
        QStringList noTrash;
    };

    /// Nothing is deleted unless mayDelete(). First the joined file is made
    /// durable (if that fails, or the target is no longer the file the join
    /// wrote, nothing is deleted); then each file the join read (a file
    /// queued twice once) goes to the trash, but only while it is still the
    /// file that was read, unchanged. The rows of the files that went are
    /// removed; a file kept keeps its rows. The clear-queue step of Finished
    /// is not part of it.
    Deletion deleteSources();

    /// Deletes these joined files for good and removes their rows. Returns
    /// the message naming each file that could not be deleted with the
    /// reason, or an empty text.
    QString deleteForGood(const QStringList& paths);

    /// The question before deleting files for good, naming them.
    static QString deleteForGoodQuestion(const QStringList& paths);

private:
    /// The files that stayed, each with its reason; empty when there is none.
    static QString notDeleted(const QStringList& problems);
    /// The ids of the join's rows of the files at `paths`, in one pass.
    QSet<quint64> idsOf(const QSet<QString>& paths) const;

    JoinQueue& m_queue;
    Preferences& m_live;
    FileSystem& m_files;
    const JoinRecord& m_record;
};
