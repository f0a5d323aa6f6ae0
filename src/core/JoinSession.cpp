#include "core/JoinSession.h"

#include "core/CopyLoop.h"
#include "core/Format.h"
#include "core/JoinQueue.h"
#include "core/MovieKind.h"
#include "core/Preferences.h"
#include "core/StrFunc.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

const QString JoinSession::kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");
const QString JoinSession::kTargetIsSource = QStringLiteral(
    "The target file is one of the files to be joined. Please choose another target file.");

namespace {

// How many files the same-file check takes at a time.
constexpr int kFilesPerLook = FilePace::kFilesPerCheck;

// The files that stayed, each with its reason; empty when there is none.
QString notDeleted(const QStringList& problems)
{
    return problems.isEmpty()
               ? QString()
               : Format::listMessage(QStringLiteral("These files could not be deleted:"), problems);
}

QStringList pathsOf(const QList<QueueRow>& rows)
{
    QStringList paths;
    paths.reserve(rows.size());
    for (const QueueRow& row : rows)
        paths << row.fullPath();
    return paths;
}

// As the settings keep a folder: no final "/", except the root.
QString folderOf(const QString& path)
{
    if (!path.contains(QLatin1Char('/')))
        return QString();
    const QString folder = StrFunc::LeftOfLast(path, QStringLiteral("/"));
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

} // namespace

JoinSession::JoinSession(JoinQueue& queue, Preferences& live, Settings& stored, FileSystem& files,
                         QObject* parent)
    : QObject(parent), m_queue(queue), m_live(live), m_stored(stored), m_files(files)
{
}

JoinSession::~JoinSession() = default;

bool JoinSession::begin()
{
    if (m_running)
        return false;
    m_running = true;
    m_cancelled = false;
    m_rows = m_queue.rows();
    m_target.clear();
    m_failure.clear();
    m_read.clear();
    m_written = FileSystem::Identity();
    m_ending = Ending::None;
    m_queue.setJoinRunning(true);
    return true;
}

bool JoinSession::serveEvents(FilePace& pace, int files)
{
    if (pace.due(files))
        QCoreApplication::processEvents();
    return !m_cancelled;
}

QString JoinSession::kindQuestion()
{
    QList<MovieKind::Queued> files;
    files.reserve(m_rows.size());
    QHash<QString, MovieKind::Kind> seen; // a file queued twice is read once
    QByteArray head(MovieKind::kHeadBytes, Qt::Uninitialized);
    FilePace pace;
    for (const QueueRow& row : std::as_const(m_rows)) {
        const QString path = row.fullPath();
        auto it = seen.constFind(path);
        if (it == seen.cend()) {
            // A file that cannot be read is no reason to ask: the join names it.
            MovieKind::Kind kind = MovieKind::Kind::Unknown;
            FileSystem::Status status;
            QString reason;
            if (auto input = m_files.openInput(path, status)) {
                const qint64 got = input->read(head.data(), head.size(), reason);
                if (got > 0)
                    kind = MovieKind::identify(QByteArray::fromRawData(head.constData(), got));
            }
            it = seen.insert(path, kind);
        }
        files.append({path, it.value()});
        if (!serveEvents(pace))
            return QString();
    }
    return MovieKind::joinQuestion(files);
}

QString JoinSession::targetFolder()
{
    return m_live.folderText(Preferences::TargetFolder);
}

QString JoinSession::chooseTarget(const QString& path)
{
    if (path.isEmpty()) {
        m_ending = Ending::NoTarget;
        return QString();
    }
    // Opening a source for writing would destroy it before it was read.
    // Looked at in parts, so that events come in between.
    const QStringList sources = pathsOf(m_rows);
    FilePace pace;
    for (int from = 0; from < sources.size(); from += kFilesPerLook) {
        if (m_files.firstSameFile(sources.mid(from, kFilesPerLook), path) >= 0) {
            m_ending = Ending::NoTarget;
            return kTargetIsSource;
        }
        if (!serveEvents(pace, kFilesPerLook)) {
            m_ending = Ending::NoTarget;
            return QString();
        }
    }
    // A pipe or a device would block the join or swallow it.
    const FileSystem::Identity existing = m_files.identity(path);
    if (existing.exists && !existing.regular) {
        m_ending = Ending::NoTarget;
        return QStringLiteral("The target %1 is not a regular file. Please choose another target "
                              "file.")
            .arg(path);
    }
    m_target = path;
    const QString folder = folderOf(path);
    const int space = DiskSpace(folder);
    if (m_cancelled) {
        m_ending = Ending::NoTarget;
        return QString();
    }
    if (space == 0) {
        m_ending = Ending::NoSpace;
        return kNoSpace;
    }
    if (m_live.isTicked(Preferences::RememberTarget)) {
        m_live.setFolderText(Preferences::TargetFolder, folder);
        m_stored.TargetDir = folder;
    }
    return QString();
}

int JoinSession::DiskSpace(const QString& folder)
{
    const std::optional<qint64> freeBytes = m_files.freeSpace(folder);
    if (!freeBytes)
        return -1;
    // The exact need; a file that cannot be read needs nothing (the join stops there).
    qint64 need = 0;
    FilePace pace;
    for (const QueueRow& row : std::as_const(m_rows)) {
        const FileSystem::Status st = m_files.fileSize(row.fullPath());
        if (st)
            need += st.size;
        if (!serveEvents(pace))
            break;
    }
    return *freeBytes > need ? 1 : 0;
}

JoinSession::Ending JoinSession::copy(JoinProgress& progress)
{
    m_chunk = m_live.chunkSize();
    CopyLoop loop(m_files, pathsOf(m_rows), m_target, m_chunk, progress, m_options);
    m_loop = &loop;
    if (m_cancelled)
        loop.cancel();
    const CopyLoop::Outcome outcome = loop.run();
    m_loop = nullptr;
    m_read = loop.sourcesRead();
    m_written = loop.written();
    m_kernelCopied = loop.kernelCopied();
    m_longestRoundNs = loop.longestRoundNs();
    switch (outcome) {
    case CopyLoop::Outcome::Joined:
        m_ending = Ending::Joined;
        break;
    case CopyLoop::Outcome::Cancelled:
        m_ending = Ending::Cancelled;
        break;
    case CopyLoop::Outcome::Failed:
        m_ending = Ending::Failed;
        m_failure = loop.failureText();
        break;
    }
    return m_ending;
}

void JoinSession::cancel()
{
    m_cancelled = true;
    if (m_loop)
        m_loop->cancel();
}

void JoinSession::end()
{
    m_queue.setJoinRunning(false);
    m_running = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_afterRun);
    for (auto& fn : waiting)
        fn();
}

void JoinSession::cancelThen(std::function<void()> then)
{
    if (!m_running) {
        if (then)
            then();
        return;
    }
    if (then)
        m_afterRun.push_back(std::move(then));
    cancel();
}

QString JoinSession::finalText() const
{
    switch (m_ending) {
    case Ending::Joined:
        return QStringLiteral("File ") + m_target +
               QStringLiteral(" has successfully been joined!");
    case Ending::Cancelled:
        return QStringLiteral("Operation aborted by user");
    case Ending::Failed:
        return m_failure;
    case Ending::NoSpace:
        return kNoSpace;
    default:
        return QString();
    }
}

QString JoinSession::caption() const
{
    const QString base = QStringLiteral("Joining Files...");
    switch (m_ending) {
    case Ending::Joined:
        return base + QStringLiteral("Done!");
    case Ending::Cancelled:
        return base + QStringLiteral("Cancelled!");
    case Ending::Failed:
        return base + QStringLiteral("Failed!");
    default:
        return base;
    }
}

bool JoinSession::asksBeforeDelete()
{
    return m_live.isTicked(Preferences::ConfirmDel);
}

void JoinSession::finish()
{
    if (m_live.isTicked(Preferences::ClearQue))
        m_queue.clear();
}

JoinSession::Deletion JoinSession::deleteSources()
{
    Deletion done;
    const QString safe = !m_files.identity(m_target).unchangedSince(m_written)
                             ? QStringLiteral("it is no longer the file the join wrote")
                             : m_files.makeDurable(m_target);
    if (!safe.isEmpty()) {
        done.message = QStringLiteral("The joined file %1 could not be made safe on disk: %2. No "
                                      "source file was deleted.")
                           .arg(m_target, safe);
        return done;
    }
    // Exactly the files this join read, as they were read; rows queued since then stay.
    QSet<QString> trashed, seen;
    QStringList problems;
    for (int i = 0; i < m_rows.size() && i < m_read.size(); ++i) {
        const QString path = m_rows.at(i).fullPath();
        if (seen.contains(path))
            continue;
        seen.insert(path);
        const FileSystem::Status now = m_files.fileSize(path);
        if (!now) {
            problems << path + QStringLiteral(": ") + now.reason;
            continue;
        }
        if (!m_files.identity(path).unchangedSince(m_read.at(i))) {
            problems << path +
                            QStringLiteral(": it was changed after it was joined, so it was kept");
            continue;
        }
        QString why;
        if (m_files.moveToTrash(path, why) == FileSystem::Trashed::NoTrash)
            done.noTrash << path;
        else
            trashed.insert(path);
    }
    m_queue.removeJoined(idsOf(trashed));
    done.message = notDeleted(problems);
    return done;
}

QString JoinSession::deleteForGood(const QStringList& paths)
{
    QSet<QString> deleted;
    QStringList problems;
    for (const QString& path : paths) {
        const QString why = m_files.removeFile(path);
        if (why.isEmpty())
            deleted.insert(path);
        else
            problems << path + QStringLiteral(": ") + why;
    }
    m_queue.removeJoined(idsOf(deleted));
    return notDeleted(problems);
}

QSet<quint64> JoinSession::idsOf(const QSet<QString>& paths) const
{
    QSet<quint64> ids;
    if (paths.isEmpty())
        return ids;
    for (const QueueRow& row : std::as_const(m_rows))
        if (paths.contains(row.fullPath()))
            ids.insert(row.id);
    return ids;
}

QString JoinSession::deleteForGoodQuestion(const QStringList& paths)
{
    return Format::listMessage(QStringLiteral("No trash takes these files:"), paths) +
           QStringLiteral("\n\nDelete them for good? They cannot be brought back.");
}
