#include "core/CopyLoop.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

JoinProgress::~JoinProgress() = default;

namespace {
constexpr qint64 kPage = 4096;
} // namespace

CopyLoop::CopyLoop(FileSystem& files, QStringList sources, QString target, int chunkSize,
                   JoinProgress& progress)
    : m_files(files), m_sources(std::move(sources)), m_target(std::move(target)),
      m_chunk(chunkSize > 0 ? chunkSize : 1), m_progress(progress)
{
}

CopyLoop::~CopyLoop()
{
    std::free(m_buf);
}

CopyLoop::Outcome CopyLoop::run()
{
    if (m_cancel)
        return Outcome::Cancelled;
    // Memory can run out here or in whatever the progress calls do: that
    // ends the run like any other failure instead of ending the program.
    try {
        return copyAll();
    } catch (const std::bad_alloc&) {
        return fail(Op::Memory, m_target, qt_error_string(ENOMEM));
    }
}

CopyLoop::Outcome CopyLoop::copyAll()
{
    const FileSystem::Identity old = m_files.identity(m_target);
    m_targetExisted = old.exists;

    JoinFigures fig;
    for (const QString& path : std::as_const(m_sources)) {
        const FileSystem::Status st = m_files.fileSize(path);
        if (!st)
            return fail(st.failure == FileSystem::Failure::Lookup ? Op::Size : Op::Open, path,
                        st.reason);
        fig.batchTotal += st.size;
    }
    m_progress.batchStarted(fig.batchTotal);

    // Room for a full gather plus the chunk that overflows it.
    const qint64 capacity = (kGatherBytes + m_chunk + kPage - 1) / kPage * kPage;
    m_buf = static_cast<char*>(std::aligned_alloc(size_t(kPage), size_t(capacity)));
    if (!m_buf)
        return fail(Op::Memory, m_target, qt_error_string(ENOMEM));

    QString reason;
    m_dst = m_files.createBeside(m_target, reason);
    if (!m_dst)
        return fail(Op::CreateTarget, m_target, reason);
    m_temporary = m_dst->path();

    for (int i = 0; i < m_sources.size() && !m_cancel; ++i) {
        const QString& path = m_sources.at(i);
        FileSystem::Status st;
        m_src = m_files.openInput(path, st);
        if (!m_src)
            return fail(st.failure == FileSystem::Failure::Lookup ? Op::Size : Op::Open, path,
                        st.reason);

        fig.fileLength = st.size;
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
            if (!readToTheEnd(path))
                return Outcome::Failed;
            m_read.append(m_src->identity());
            fig.fileDone += tail;
            fig.fileShown = fig.fileDone;
            fig.batchDone += tail;
            m_progress.copied(fig);
        }
        m_src.reset();
    }

    if (!flushAll(reason))
        return fail(Op::WriteTarget, m_target, reason);
    return finishTarget() ? (m_cancel ? Outcome::Cancelled : Outcome::Joined) : Outcome::Failed;
}

bool CopyLoop::readToTheEnd(const QString& path)
{
    char more;
    QString reason;
    const qint64 got = m_src->read(&more, 1, reason);
    if (got < 0) {
        fail(Op::Read, path, reason);
        return false;
    }
    if (got > 0) {
        fail(Op::Grew, path, QString());
        return false;
    }
    return true;
}

bool CopyLoop::finishTarget()
{
    QString reason;
    const FileSystem::Identity written = m_dst->identity();
    if (written.size != m_written) {
        fail(Op::Length, m_target,
             QStringLiteral("it holds %1 bytes where %2 were written")
                 .arg(written.size)
                 .arg(m_written));
        return false;
    }
    const std::unique_ptr<FileSystem::Output> dst = std::move(m_dst);
    if (!dst->close(reason)) {
        fail(Op::CloseTarget, m_target, reason);
        return false;
    }
    reason = m_files.rename(m_temporary, m_target);
    if (!reason.isEmpty()) {
        fail(Op::Rename, m_target, reason);
        return false;
    }
    m_temporary.clear();
    m_renamed = true;
    // Another program may have put its own file there in the same moment.
    if (!m_files.identity(m_target).sameFile(written)) {
        fail(Op::Replaced, m_target, QString());
        return false;
    }
    m_writtenFile = written;
    return true;
}

bool CopyLoop::take(qint64 bytes, const QString& path)
{
    QString reason;
    const qint64 got = m_src->read(m_buf + m_fill, bytes, reason);
    if (got < 0) {
        fail(Op::Read, path, reason);
        return false;
    }
    if (got < bytes) {
        fail(Op::ReadShort, path, QString());
        return false;
    }
    m_fill += bytes;
    if (m_fill >= kGatherBytes && !writeOut(kGatherBytes, reason)) {
        fail(Op::WriteTarget, m_target, reason);
        return false;
    }
    return true;
}

bool CopyLoop::writeOut(qint64 bytes, QString& reason)
{
    if (!m_dst->write(m_buf, bytes, reason))
        return false;
    m_written += bytes;
    m_fill -= bytes;
    if (m_fill > 0)
        std::memmove(m_buf, m_buf + bytes, size_t(m_fill));
    return true;
}

bool CopyLoop::flushAll(QString& reason)
{
    return m_fill == 0 || writeOut(m_fill, reason);
}

CopyLoop::Outcome CopyLoop::fail(Op op, const QString& file, const QString& reason)
{
    m_src.reset();
    m_dst.reset();
    if (!m_temporary.isEmpty()) {
        m_files.removeFile(m_temporary);
        m_temporary.clear();
    }

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
    case Op::Grew:
        what = QStringLiteral("Could not read file %1: it grew while it was read, it was changed "
                              "during the join.")
                   .arg(file);
        break;
    case Op::Memory:
        what = QStringLiteral("Could not get the memory to join into %1: %2.").arg(file, reason);
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
    case Op::Length:
        what = QStringLiteral("Could not finish the target file %1: %2.").arg(file, reason);
        break;
    case Op::Rename:
        what = QStringLiteral("Could not give the joined file the name %1: %2.").arg(file, reason);
        break;
    case Op::Replaced:
        what = QStringLiteral("Could not finish the target file %1: another program put a file "
                              "in its place at the end of the join.")
                   .arg(file);
        break;
    }
    QString left;
    if (m_renamed)
        left = QStringLiteral("The target file %1 does not hold the joined files.");
    else if (m_targetExisted)
        left = QStringLiteral("The target file %1 was left unchanged.");
    else
        left = QStringLiteral("The target file %1 was not created.");
    m_failure = what + QLatin1Char('\n') + left.arg(m_target);
    return Outcome::Failed;
}
