#include "core/CopyLoop.h"

#include "core/EventPump.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

JoinProgress::~JoinProgress() = default;

namespace {
constexpr qint64 kPage = 4096;
} // namespace

CopyLoop::CopyLoop(FileSystem& files, EventPump& pump, QStringList sources, QString target,
                   int chunkSize, JoinProgress& progress, Options options)
    : m_files(files), m_pump(pump), m_sources(std::move(sources)),
      m_out(files, files, std::move(target)), m_chunk(chunkSize > 0 ? chunkSize : 1),
      m_progress(progress), m_options(options), m_kernel(options.kernelCopy),
      m_roundChunks(qMax(1, options.chunksPerRound))
{
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
        return fail(Op::Memory, m_out.path(), qt_error_string(ENOMEM));
    }
}

CopyLoop::Outcome CopyLoop::copyAll()
{
    JoinFigures fig;
    PacedLook look(m_pump);
    for (const QString& path : std::as_const(m_sources)) {
        const FileResult<qint64> size = m_files.fileSize(path);
        if (!size)
            return fail(size.error().isNotRegular() ? Op::Open : Op::Size, path,
                        size.error().text());
        fig.batchTotal += *size;
        // Thousands of files take a while to look up: the window stays served.
        if (look.lookedAt() && m_cancel)
            return Outcome::Cancelled;
    }
    m_progress.batchStarted(fig.batchTotal);

    // One page-aligned buffer for reading and writing; a round goes through it
    // in whole pieces, so the writes stay aligned whatever the chunk size.
    m_bufBytes = kBufferBytes;
    m_buf = static_cast<char*>(std::aligned_alloc(size_t(kPage), size_t(m_bufBytes)));
    if (!m_buf)
        return fail(Op::Memory, m_out.path(), qt_error_string(ENOMEM));

    if (!m_out.create())
        return Outcome::Failed;
    m_block = m_options.share ? m_files.shareBlock(*m_out.file()) : 0;
    m_device = m_out.file()->identity().device;
    m_sincePump.start();

    for (int i = 0; i < m_sources.size() && !m_cancel; ++i) {
        const QString& path = m_sources.at(i);
        FileResult<std::unique_ptr<InputFile>> opened = m_files.openInput(path);
        if (!opened)
            return fail(Op::Open, path, opened.error().text());
        m_src = std::move(*opened);
        // Many small or empty files still let the window breathe.
        if (m_sincePump.hasExpired(20))
            pump();

        fig.fileLength = m_src->size();
        fig.fileDone = 0;
        fig.fileShown = 0;
        m_progress.fileStarted(i, fig);
        const Shared shared = share(fig.fileLength);
        m_shared.append(shared == Shared::Yes);
        if (shared == Shared::Failed)
            return Outcome::Failed;
        if (shared == Shared::Yes) { // the whole file in one round
            fig.fileDone = fig.fileShown = fig.fileLength;
            fig.batchDone += fig.fileLength;
            if (!readToTheEnd(path))
                return Outcome::Failed;
            m_progress.copied(fig);
            pump();
        }

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
    if (m_cancel && m_keepNothing) {
        m_out.discard();
        return Outcome::Cancelled;
    }
    if (!m_out.finish(m_written))
        return Outcome::Failed;
    return m_cancel ? Outcome::Cancelled : Outcome::Joined;
}

CopyLoop::Shared CopyLoop::share(qint64 length)
{
    // Only at a block boundary of the target: once a file ends off one, the rest is copied.
    if (m_block <= 0 || m_written % m_block != 0) {
        m_block = 0;
        return Shared::No;
    }
    if (length == 0 || m_src->identity().device != m_device)
        return Shared::No;
    const FileError e = m_files.shareAll(*m_src, *m_out.file(), length);
    if (e.failed() && !DataMover::cannotShare(e)) {
        fail(Op::WriteTarget, m_out.path(), e.text());
        return Shared::Failed;
    }
    if (e.failed())
        return Shared::No;
    m_written += length;
    return Shared::Yes;
}

void CopyLoop::pump()
{
    m_pump.pumpEvents();
    m_sincePump.start();
}

bool CopyLoop::moveRound(qint64 bytes, const QString& path)
{
    qint64 done = 0;
    while (done < bytes && m_kernel) {
        const FileResult<qint64> copied = m_files.copyRange(*m_src, *m_out.file(), bytes - done);
        if (!copied && DataMover::refuses(copied.error())) {
            m_kernel = false; // read and write from here on, this round's rest included
            break;
        }
        if (!copied) {
            const bool full = copied.error().isWriteSide();
            fail(full ? Op::WriteTarget : Op::Copy, full ? m_out.path() : path,
                 copied.error().text());
            return false;
        }
        if (*copied == 0) {
            fail(Op::ReadShort, path, QString());
            return false;
        }
        done += *copied;
        m_written += *copied;
        m_kernelCopied = true;
    }
    return done == bytes || readAndWrite(bytes - done, path);
}

bool CopyLoop::readAndWrite(qint64 bytes, const QString& path)
{
    for (qint64 done = 0; done < bytes;) {
        const qint64 piece = qMin(bytes - done, m_bufBytes);
        const FileResult<qint64> got = m_src->read(m_buf, piece);
        if (!got) {
            fail(Op::Read, path, got.error().text());
            return false;
        }
        if (*got < piece) {
            fail(Op::ReadShort, path, QString());
            return false;
        }
        if (const FileError e = m_out.file()->write(m_buf, piece); e.failed()) {
            fail(Op::WriteTarget, m_out.path(), e.text());
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
    const FileResult<qint64> got = m_src->read(&more, 1);
    if (!got) {
        fail(Op::Read, path, got.error().text());
        return false;
    }
    if (*got > 0) {
        fail(Op::Grew, path, QString());
        return false;
    }
    return true;
}

CopyLoop::Outcome CopyLoop::fail(Op op, const QString& file, const QString& reason)
{
    m_src.reset();
    m_out.fail(op, file, reason);
    return Outcome::Failed;
}
