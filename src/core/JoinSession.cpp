#include "core/JoinSession.h"

#include "core/CopyLoop.h"
#include "core/Format.h"
#include "core/JoinQueue.h"
#include "core/Preferences.h"
#include "core/StrFunc.h"
#include "platform/FileSystem.h"

#include <QSet>

const QString JoinSession::kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");
const QString JoinSession::kTargetIsSource = QStringLiteral(
    "The target file is one of the files to be joined. Please choose another target file.");

namespace {

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
    m_ending = Ending::None;
    m_queue.setJoinRunning(true);
    return true;
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
    if (m_files.firstSameFile(pathsOf(m_rows), path) >= 0) {
        m_ending = Ending::NoTarget;
        return kTargetIsSource;
    }
    m_target = path;
    const QString folder = folderOf(path);
    if (DiskSpace(folder) == 0) {
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
    // The need is the sizes as shown, each rounded to whole bytes.
    qint64 need = 0;
    for (const QueueRow& row : std::as_const(m_rows)) {
        const double mb = Format::readFixed(row.size).value_or(0.0);
        need += qint64(SettingRules::roundHalfEven(mb * 1048576.0));
    }
    return *freeBytes > need ? 1 : 0;
}

JoinSession::Ending JoinSession::copy(JoinProgress& progress)
{
    m_chunk = m_live.chunkSize();
    CopyLoop loop(m_files, pathsOf(m_rows), m_target, m_chunk, progress);
    m_loop = &loop;
    if (m_cancelled)
        loop.cancel();
    const CopyLoop::Outcome outcome = loop.run();
    m_loop = nullptr;
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

QString JoinSession::deleteSources()
{
    // Exactly the files this join read; rows queued since then stay.
    QSet<quint64> removed;
    QSet<QString> deleted;
    QStringList problems;
    for (const QueueRow& row : std::as_const(m_rows)) {
        const QString path = row.fullPath();
        if (deleted.contains(path)) {
            removed.insert(row.id);
            continue;
        }
        const QString why = m_files.removeFile(path);
        if (why.isEmpty()) {
            deleted.insert(path);
            removed.insert(row.id);
        } else {
            problems << path + QStringLiteral(": ") + why;
        }
    }
    m_queue.removeJoined(removed);
    if (problems.isEmpty())
        return QString();
    return Format::listMessage(QStringLiteral("These files could not be deleted:"), problems);
}
