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
                   JoinProgress& progress, Options options)
    : m_files(files), m_sources(std::move(sources)), m_target(std::move(target)),
      m_chunk(chunkSize > 0 ? chunkSize : 1), m_progress(progress), m_options(options),
      m_kernel(options.kernelCopy), m_roundChunks(qMax(1, options.chunksPerRound))
{
}

bool FilePace::due(int files)
{
    m_count += files;
    if (m_count < m_nextCheck)
        return false;
    m_nextCheck = m_count + kFilesPerCheck;
    if (!m_since.hasExpired(20))
        return false;
    m_since.start();
    return true;
}

qint64 CopyLoop::nextRoundChunks(qint64 chunks, qint64 roundNs, qint64 most)
{
    // Aim at rounds of about 5 ms: quick enough for the window, long enough for speed.
    constexpr qint64 kQuickNs = 2500000, kSlowNs = 10000000;
    if (roundNs < kQuickNs)
        chunks *= 2;
    else if (roundNs > kSlowNs)
        chunks /= 2;
    return qBound(qint64(1), chunks, qMax(qint64(1), most));
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
    FilePace pace;
    for (const QString& path : std::as_const(m_sources)) {
        const FileSystem::Status st = m_files.fileSize(path);
        if (!st)
            return fail(st.failure == FileSystem::Failure::Lookup ? Op::Size : Op::Open, path,
                        st.reason);
        fig.batchTotal += st.size;
        // Thousands of files take a while to look up: the window stays served.
        if (pace.due()) {
            pump();
            if (m_cancel)
                return Outcome::Cancelled;
        }
    }
    m_progress.batchStarted(fig.batchTotal);

    // One page-aligned buffer for reading and writing; a round goes through it
    // in whole pieces, so the writes stay aligned whatever the chunk size.
    m_bufBytes = kBufferBytes;
    m_buf = static_cast<char*>(std::aligned_alloc(size_t(kPage), size_t(m_bufBytes)));
    if (!m_buf)
        return fail(Op::Memory, m_target, qt_error_string(ENOMEM));

    QString reason;
    m_dst = m_files.createBeside(m_target, reason);
    if (!m_dst)
        return fail(Op::CreateTarget, m_target, reason);
    m_temporary = m_dst->path();
    m_sincePump.start();

    for (int i = 0; i < m_sources.size() && !m_cancel; ++i) {
        const QString& path = m_sources.at(i);
        FileSystem::Status st;
        m_src = m_files.openInput(path, st);
        if (!m_src)
            return fail(st.failure == FileSystem::Failure::Lookup ? Op::Size : Op::Open, path,
                        st.reason);
        // Many small or empty files still let the window breathe.
        if (m_sincePump.hasExpired(20))
            pump();

        fig.fileLength = st.size;
        fig.fileDone = 0;
        fig.fileShown = 0;
        m_progress.fileStarted(i, fig);

        while (fig.fileDone < fig.fileLength && !m_cancel) {
            const qint64 left = fig.fileLength - fig.fileDone;
            const qint64 whole = left / m_chunk;
            const qint64 most = kMaxRoundBytes / m_chunk;
            const qint64 round =
                whole > 0 ? qMin(whole, qMin(m_roundChunks, most)) * m_chunk : left;
            QElapsedTimer took;
            took.start();
            if (!moveRound(round, path))
                return Outcome::Failed;
            const qint64 ns = took.nsecsElapsed();
            m_longestRoundNs = qMax(m_longestRoundNs, ns);
            if (whole > 0 && m_options.chunksPerRound <= 0)
                m_roundChunks = nextRoundChunks(round / m_chunk, ns, most);
            fig.fileDone += round;
            fig.batchDone += round;
            const bool last = fig.fileDone == fig.fileLength;
            if (last && !readToTheEnd(path))
                return Outcome::Failed;
            fig.fileShown = last ? fig.fileDone : fig.fileDone - m_chunk;
            m_progress.copied(fig);
            pump();
        }
        if (!m_cancel)
            m_read.append(m_src->identity());
        m_src.reset();
    }
    return finishTarget() ? (m_cancel ? Outcome::Cancelled : Outcome::Joined) : Outcome::Failed;
}

void CopyLoop::pump()
{
    m_progress.pumpEvents();
    m_sincePump.start();
}

bool CopyLoop::moveRound(qint64 bytes, const QString& path)
{
    qint64 done = 0;
    while (done < bytes && m_kernel) {
        const FileSystem::Copied c = m_files.copyRange(*m_src, *m_dst, bytes - done);
        if (c.refused) {
            m_kernel = false; // read and write from here on, this round's rest included
            break;
        }
        if (c.failed) {
            fail(c.targetSide ? Op::WriteTarget : Op::Copy, c.targetSide ? m_target : path,
                 c.reason);
            return false;
        }
        if (c.bytes == 0) {
            fail(Op::ReadShort, path, QString());
            return false;
        }
        done += c.bytes;
        m_written += c.bytes;
        m_kernelCopied = true;
    }
    return done == bytes || readAndWrite(bytes - done, path);
}

bool CopyLoop::readAndWrite(qint64 bytes, const QString& path)
{
    QString reason;
    for (qint64 done = 0; done < bytes;) {
        const qint64 piece = qMin(bytes - done, m_bufBytes);
        const qint64 got = m_src->read(m_buf, piece, reason);
        if (got < 0) {
            fail(Op::Read, path, reason);
            return false;
        }
        if (got < piece) {
            fail(Op::ReadShort, path, QString());
            return false;
        }
        if (!m_dst->write(m_buf, piece, reason)) {
            fail(Op::WriteTarget, m_target, reason);
            return false;
        }
        done += piece;
        m_written += piece;
    }
    return true;
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
    case Op::Copy:
        what = QStringLiteral("Could not copy file %1 into the target file %2: %3.")
                   .arg(file, m_target, reason);
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
