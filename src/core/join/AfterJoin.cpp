#include "core/join/AfterJoin.h"

#include "core/queue/JoinQueue.h"
#include "core/settings/Preferences.h"
#include "core/text/Format.h"
#include "platform/FileSystem.h"

QString AfterJoin::notDeleted(const QStringList& problems)
{
    return problems.isEmpty() ? QString()
                              : Format::listMessage(tr("These files could not be deleted:", nullptr,
                                                       int(problems.size())),
                                                    problems);
}

bool AfterJoin::asksBeforeDelete()
{
    return m_live.isTicked(SettingId::ConfirmDel);
}

void AfterJoin::finish()
{
    if (m_live.isTicked(SettingId::ClearQue))
        m_queue.clear();
}

AfterJoin::Deletion AfterJoin::deleteSources()
{
    Deletion done;
    const QString& target = m_record.target;
    if (!mayDelete()) {
        done.message =
            tr("The join into %1 did not succeed. No source file was deleted.").arg(target);
        return done;
    }
    const QString safe = !m_files.identity(target).unchangedSince(m_record.written)
                             ? tr("it is no longer the file the join wrote")
                             : m_files.makeDurable(target).text();
    if (!safe.isEmpty()) {
        done.message = tr("The joined file %1 could not be made safe on disk: %2. No source "
                          "file was deleted.")
                           .arg(target, safe);
        return done;
    }
    // Exactly the files the join read, as they were read; rows queued since then stay.
    QSet<QString> trashed, seen;
    QStringList problems;
    for (int i = 0; i < m_record.rows.size() && i < m_record.read.size(); ++i) {
        const QString path = m_record.rows.at(i).fullPath();
        if (seen.contains(path))
            continue;
        seen.insert(path);
        const FileResult<qint64> now = m_files.fileSize(path);
        if (!now) {
            problems << Format::fileProblem(path, now.error().text());
            continue;
        }
        if (!m_files.identity(path).unchangedSince(m_record.read.at(i))) {
            problems << Format::fileProblem(
                path, tr("it was changed after it was joined, so it was kept"));
            continue;
        }
        if (m_files.moveToTrash(path).failed())
            done.noTrash << path;
        else
            trashed.insert(path);
    }
    m_queue.removeJoined(idsOf(trashed));
    done.message = notDeleted(problems);
    return done;
}

QString AfterJoin::deleteForGood(const QStringList& paths)
{
    QSet<QString> deleted;
    QStringList problems;
    for (const QString& path : paths) {
        const FileError e = m_files.removeFile(path);
        if (e.failed())
            problems << Format::fileProblem(path, e.text());
        else
            deleted.insert(path);
    }
    m_queue.removeJoined(idsOf(deleted));
    return notDeleted(problems);
}

QSet<quint64> AfterJoin::idsOf(const QSet<QString>& paths) const
{
    QSet<quint64> ids;
    if (paths.isEmpty())
        return ids;
    for (const QueueRow& row : m_record.rows)
        if (paths.contains(row.fullPath()))
            ids.insert(row.id);
    return ids;
}

QString AfterJoin::deleteForGoodQuestion(const QStringList& paths)
{
    const int n = int(paths.size());
    return Format::listMessage(tr("No trash takes these files:", nullptr, n), paths) +
           QStringLiteral("\n\n") +
           tr("Delete them for good? They cannot be brought back.", nullptr, n);
}
