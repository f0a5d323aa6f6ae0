#include "join/JoinEngine.h"

#include "queue/FileCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

JoinProgress::~JoinProgress() = default;

using FileCheck::systemReason;

namespace {

constexpr qint64 kPage = 4096;

// Reads until `n` bytes arrived or the file ended; -1 on an error (errno set).
qint64 readFully(int fd, char* into, qint64 n)
{
    qint64 got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, into + got, size_t(n - got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        got += r;
    }
    return got;
}

// A target path that does not exist yet still has a canonical folder.
QString canonicalOf(const QString& path)
{
    const QFileInfo info(path);
    const QString whole = info.canonicalFilePath();
    if (!whole.isEmpty())
        return whole;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + QLatin1Char('/') +
           info.fileName();
}

} // namespace

JoinEngine::JoinEngine(QStringList sources, QString target, int chunkSize, JoinProgress& progress)
    : m_sources(std::move(sources)), m_target(std::move(target)),
      m_chunk(chunkSize > 0 ? chunkSize : 1), m_progress(progress)
{
}

JoinEngine::~JoinEngine()
{
    closeFiles();
    std::free(m_buf);
}

int JoinEngine::sourceMatching(const QStringList& sources, const QString& target)
{
    struct stat t;
    const bool targetExists = ::stat(QFile::encodeName(target).constData(), &t) == 0;
    const QString targetPath = canonicalOf(target);
    for (int i = 0; i < sources.size(); ++i) {
        struct stat s;
        if (targetExists && ::stat(QFile::encodeName(sources.at(i)).constData(), &s) == 0 &&
            s.st_dev == t.st_dev && s.st_ino == t.st_ino)
            return i;
        if (canonicalOf(sources.at(i)) == targetPath)
            return i;
    }
    return -1;
}

JoinEngine::Outcome JoinEngine::run()
{
    if (m_cancel)
        return Outcome::Cancelled;

    const QByteArray targetName = QFile::encodeName(m_target);
    struct stat tst;
    m_targetExisted = ::stat(targetName.constData(), &tst) == 0;

    JoinFigures fig;
    for (const QString& path : std::as_const(m_sources)) {
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            return fail(Op::Size, path, systemReason(errno));
        if (const QString why = FileCheck::whyNotRegular(st.st_mode); !why.isEmpty())
            return fail(Op::Open, path, why);
        fig.batchTotal += st.st_size;
    }
    m_progress.batchStarted(fig.batchTotal);

    // Room for a full gather plus the chunk that overflows it.
    const qint64 capacity = (kGatherBytes + m_chunk + kPage - 1) / kPage * kPage;
    m_buf = static_cast<char*>(std::aligned_alloc(size_t(kPage), size_t(capacity)));
    if (!m_buf)
        throw std::bad_alloc();

    m_dst = ::open(targetName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_dst < 0)
        return fail(Op::CreateTarget, m_target, systemReason(errno));
    m_targetOpened = true;

    for (int i = 0; i < m_sources.size() && !m_cancel; ++i) {
        const QString& path = m_sources.at(i);
        m_src = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (m_src < 0)
            return fail(Op::Open, path, systemReason(errno));
        struct stat st;
        if (::fstat(m_src, &st) != 0)
            return fail(Op::Size, path, systemReason(errno));
        if (const QString why = FileCheck::whyNotRegular(st.st_mode); !why.isEmpty())
            return fail(Op::Open, path, why);
        ::posix_fadvise(m_src, 0, 0, POSIX_FADV_SEQUENTIAL);

        fig.fileLength = st.st_size;
        fig.fileDone = 0;
        fig.fileShown = 0;
        m_progress.fileStarted(i, fig);

        const qint64 chunks = fig.fileLength / m_chunk;
        const qint64 tail = fig.fileLength % m_chunk;
        for (qint64 c = 0; c < chunks && !m_cancel; ++c) {
            if (!take(m_chunk, path))
                return Outcome::Failed;
            fig.fileShown = fig.fileDone;
            fig.fileDone += m_chunk;
            fig.batchDone += m_chunk;
            m_progress.copied(fig);
            m_progress.pumpEvents();
        }
        if (!m_cancel) {
            if (tail > 0 && !take(tail, path))
                return Outcome::Failed;
            fig.fileDone += tail;
            fig.fileShown = fig.fileDone;
            fig.batchDone += tail;
            m_progress.copied(fig);
        }
        ::close(m_src);
        m_src = -1;
    }

    if (!flushAll())
        return fail(Op::WriteTarget, m_target, systemReason(errno));
    const int dst = m_dst;
    m_dst = -1;
    if (::close(dst) != 0)
        return fail(Op::CloseTarget, m_target, systemReason(errno));
    return m_cancel ? Outcome::Cancelled : Outcome::Joined;
}

bool JoinEngine::take(qint64 bytes, const QString& path)
{
    const qint64 got = readFully(m_src, m_buf + m_fill, bytes);
    if (got < 0) {
        fail(Op::Read, path, systemReason(errno));
        return false;
    }
    if (got < bytes) {
        fail(Op::ReadShort, path, QString());
        return false;
    }
    m_fill += bytes;
    if (m_fill >= kGatherBytes && !writeOut(kGatherBytes)) {
        fail(Op::WriteTarget, m_target, systemReason(errno));
        return false;
    }
    return true;
}

bool JoinEngine::writeOut(qint64 bytes)
{
    qint64 done = 0;
    while (done < bytes) {
        const ssize_t w = ::write(m_dst, m_buf + done, size_t(bytes - done));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (w == 0) {
            errno = ENOSPC;
            return false;
        }
        done += w;
        m_written += w;
    }
    m_fill -= bytes;
    if (m_fill > 0)
        std::memmove(m_buf, m_buf + bytes, size_t(m_fill));
    return true;
}

bool JoinEngine::flushAll()
{
    return m_fill == 0 || writeOut(m_fill);
}

void JoinEngine::closeFiles()
{
    if (m_src >= 0)
        ::close(m_src);
    if (m_dst >= 0)
        ::close(m_dst);
    m_src = -1;
    m_dst = -1;
}

JoinEngine::Outcome JoinEngine::fail(Op op, const QString& file, const QString& reason)
{
    // What was read whole still goes to the target, so it ends with the last whole chunk.
    const bool sourceSide =
        op == Op::Size || op == Op::Open || op == Op::Read || op == Op::ReadShort;
    if (sourceSide && m_dst >= 0)
        flushAll();
    closeFiles();

    QString what;
    switch (op) {
    case Op::Size:
        what = QStringLiteral("Could not read the size of file %1: %2.").arg(file, reason);
        break;
    case Op::Open:
        what = QStringLiteral("Could not open file %1: %2.").arg(file, reason);
        break;
    case Op::Read:
        what = QStringLiteral("Could not read file %1: %2.").arg(file, reason);
        break;
    case Op::ReadShort:
        what = QStringLiteral("Could not read file %1: it ended early, it was changed during the "
                              "join.")
                   .arg(file);
        break;
    case Op::CreateTarget:
        what = QStringLiteral("Could not create the target file %1: %2.").arg(file, reason);
        break;
    case Op::WriteTarget:
        what = QStringLiteral("Could not write to the target file %1: %2.").arg(file, reason);
        break;
    case Op::CloseTarget:
        what = QStringLiteral("Could not close the target file %1: %2.").arg(file, reason);
        break;
    }
    QString left;
    if (m_targetOpened)
        left = QStringLiteral("The target file %1 was left incomplete.");
    else if (m_targetExisted)
        left = QStringLiteral("The target file %1 was left unchanged.");
    else
        left = QStringLiteral("The target file %1 was not created.");
    m_failure = what + QLatin1Char('\n') + left.arg(m_target);
    return Outcome::Failed;
}
