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
    : m_files(files), m_pump(pump), m_sources(std::move(sources)), m_target(std::move(target)),
      m_chunk(chunkSize > 0 ? chunkSize : 1), m_progress(progress), m_options(options),
      m_kernel(options.kernelCopy), m_roundChunks(qMax(1, options.chunksPerRound))
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
        return fail(Op::Memory, m_target, qt_error_string(ENOMEM));
    }
}

CopyLoop::Outcome CopyLoop::copyAll()
{
    m_targetExisted = m_files.identity(m_target).exists;

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
        return fail(Op::Memory, m_target, qt_error_string(ENOMEM));

    FileResult<std::unique_ptr<OutputFile>> created = m_files.createBeside(m_target);
    if (!created)
        return fail(Op::CreateTarget, m_target, created.error().text());
    m_dst = std::move(*created);
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
        m_dst.reset();
        return Outcome::Cancelled;
    }
    return finishTarget() ? (m_cancel ? Outcome::Cancelled : Outcome::Joined) : Outcome::Failed;
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
        const FileResult<qint64> copied = m_files.copyRange(*m_src, *m_dst, bytes - done);
        if (!copied && DataMover::refuses(copied.error())) {
            m_kernel = false; // read and write from here on, this round's rest included
            break;
        }
        if (!copied) {
            const bool full = copied.error().isWriteSide();
            fail(full ? Op::WriteTarget : Op::Copy, full ? m_target : path, copied.error().text());
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
        if (const FileError e = m_dst->write(m_buf, piece); e.failed()) {
            fail(Op::WriteTarget, m_target, e.text());
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

bool CopyLoop::finishTarget()
{
    const FileIdentity written = m_dst->identity();
    if (written.size != m_written) {
        fail(Op::Length, m_target,
             tr("it holds %1 bytes where %2 were written").arg(written.size).arg(m_written));
        return false;
    }
    if (const FileError e = m_dst->close(); e.failed()) {
        fail(Op::CloseTarget, m_target, e.text());
        return false;
    }
    if (const FileError e = m_dst->nameAs(m_target); e.failed()) {
        fail(Op::Rename, m_target, e.text());
        return false;
    }
    m_dst.reset();
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
    m_dst.reset(); // the partial file goes with it

    QString what;
    switch (op) {
    case Op::Size:
        what = tr("Could not read the size of file %1: %2.").arg(file, reason);
        break;
    case Op::Open:
        what = tr("Could not open file %1: %2.").arg(file, reason);
        break;
    case Op::Read:
        what = tr("Could not read file %1: %2.").arg(file, reason);
        break;
    case Op::ReadShort:
        what = tr("Could not read file %1: it ended early, it was changed during the "
                  "join.")
                   .arg(file);
        break;
    case Op::Grew:
        what = tr("Could not read file %1: it grew while it was read, it was changed "
                  "during the join.")
                   .arg(file);
        break;
    case Op::Copy:
        what =
            tr("Could not copy file %1 into the target file %2: %3.").arg(file, m_target, reason);
        break;
    case Op::Memory:
        what = tr("Could not get the memory to join into %1: %2.").arg(file, reason);
        break;
    case Op::CreateTarget:
        what = tr("Could not create the target file %1: %2.").arg(file, reason);
        break;
    case Op::WriteTarget:
        what = tr("Could not write to the target file %1: %2.").arg(file, reason);
        break;
    case Op::CloseTarget:
        what = tr("Could not close the target file %1: %2.").arg(file, reason);
        break;
    case Op::Length:
        what = tr("Could not finish the target file %1: %2.").arg(file, reason);
        break;
    case Op::Rename:
        what = tr("Could not give the joined file the name %1: %2.").arg(file, reason);
        break;
    case Op::Replaced:
        what = tr("Could not finish the target file %1: another program put a file "
                  "in its place at the end of the join.")
                   .arg(file);
        break;
    }
    QString left;
    if (m_renamed)
        left = tr("The target file %1 does not hold the joined files.");
    else if (m_targetExisted)
        left = tr("The target file %1 was left unchanged.");
    else
        left = tr("The target file %1 was not created.");
    m_failure = what + QLatin1Char('\n') + left.arg(m_target);
    return Outcome::Failed;
}
