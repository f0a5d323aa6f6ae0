#include "core/join/ByteCopy.h"

#include "core/join/CancelToken.h"
#include "core/join/JoinProgress.h"
#include "platform/FileSystem.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstdlib>

namespace {
constexpr qint64 kPage = 4096;
using Op = JoinTarget::Op;
} // namespace

ByteCopy::~ByteCopy()
{
    release();
}

qint64 ByteCopy::nextRoundChunks(qint64 chunks, qint64 roundNs, qint64 most)
{
    // Aim at rounds of about 5 ms: quick enough for Cancel and the figures, long enough for speed.
    constexpr qint64 kQuickNs = 2500000, kSlowNs = 10000000;
    if (roundNs < kQuickNs)
        chunks *= 2;
    else if (roundNs > kSlowNs)
        chunks /= 2;
    return qBound(qint64(1), chunks, qMax(qint64(1), most));
}

bool ByteCopy::begin(const Job& job)
{
    m_chunk = job.chunkSize > 0 ? job.chunkSize : 1;
    m_kernel = m_options.kernelCopy;
    m_roundChunks = qMax(1, m_options.chunksPerRound);
    m_written = 0;
    m_kernelCopied = false;
    m_longestRoundNs = 0;
    m_shared.clear();
    // One page-aligned buffer for reading and writing; a round goes through it in whole
    // pieces, so the writes stay aligned whatever the chunk size.
    m_buf = static_cast<char*>(std::aligned_alloc(size_t(kPage), size_t(kBufferBytes)));
    if (!m_buf)
        return fail(Op::Memory, job.target, qt_error_string(ENOMEM));
    m_block = m_options.share ? files().shareBlock(*target().file()) : 0;
    return true;
}

void ByteCopy::release()
{
    std::free(m_buf);
    m_buf = nullptr;
}

PartJoin::Moved ByteCopy::movePart(Part& part)
{
    JoinFigures& fig = part.figures;
    if (part.cancel.cancelled()) // sharing a whole source is a round of its own
        return Moved::Cancelled;
    const Shared shared = share(part);
    m_shared.append(shared == Shared::Yes);
    if (shared == Shared::Failed || (shared == Shared::Yes && !readToTheEnd(part)))
        return Moved::Failed;
    // A shared source is in the target at once; its rounds only hash it, where that is asked.
    const bool inPlace = shared == Shared::Yes;
    if (inPlace && !sums().hashing()) {
        fig.fileDone = fig.fileShown = fig.fileLength;
        fig.batchDone += fig.fileLength;
        part.progress.copied(fig);
    }
    const qint64 most = kMaxRoundBytes / m_chunk;
    while (fig.fileDone < fig.fileLength) {
        if (part.cancel.cancelled())
            return Moved::Cancelled;
        const qint64 left = fig.fileLength - fig.fileDone;
        const qint64 whole = left / m_chunk;
        const qint64 round = whole > 0 ? qMin(whole, qMin(m_roundChunks, most)) * m_chunk : left;
        QElapsedTimer took;
        took.start();
        sums().ahead(fig.fileDone + round); // on the sums' thread, beside the copy
        if (!inPlace && !moveRound(part, round))
            return Moved::Failed;
        if (const Moved hashed = hashedTo(part, fig.fileDone + round); hashed != Moved::Whole)
            return hashed;
        const qint64 ns = took.nsecsElapsed();
        m_longestRoundNs = qMax(m_longestRoundNs, ns);
        if (whole > 0 && m_options.chunksPerRound <= 0)
            m_roundChunks = nextRoundChunks(round / m_chunk, ns, most);
        fig.fileDone += round;
        fig.batchDone += round;
        const bool last = fig.fileDone == fig.fileLength;
        if (last && !inPlace && !readToTheEnd(part))
            return Moved::Failed;
        fig.fileShown = last ? fig.fileDone : fig.fileDone - m_chunk;
        part.progress.copied(fig);
    }
    return Moved::Whole;
}

ByteCopy::Shared ByteCopy::share(Part& part)
{
    // Only at a block boundary of the target: once a file ends off one, the rest is copied.
    if (m_block <= 0 || m_written % m_block != 0) {
        m_block = 0;
        return Shared::No;
    }
    const qint64 length = part.figures.fileLength;
    if (length == 0)
        return Shared::No;
    // Tried across file systems too: btrfs shares between its subvolumes, which have devices
    // of their own; elsewhere the kernel says EXDEV and the part is copied.
    const FileError e = files().shareAll(part.file, *target().file(), length);
    if (e.failed() && !DataMover::cannotShare(e)) {
        fail(Op::WriteTarget, target().path(), e.text());
        return Shared::Failed;
    }
    if (e.failed())
        return Shared::No;
    m_written += length;
    return Shared::Yes;
}

bool ByteCopy::moveRound(Part& part, qint64 bytes)
{
    qint64 done = 0;
    while (done < bytes && m_kernel) {
        const FileResult<qint64> copied =
            files().copyRange(part.file, *target().file(), bytes - done);
        if (!copied && DataMover::refuses(copied.error())) {
            m_kernel = false; // read and write from here on, this round's rest included
            break;
        }
        if (!copied) {
            const bool full = copied.error().isWriteSide();
            return fail(full ? Op::WriteTarget : Op::Copy, full ? target().path() : part.path,
                        copied.error().text());
        }
        if (*copied == 0)
            return fail(Op::ReadShort, part.path, QString());
        done += *copied;
        m_written += *copied;
        m_kernelCopied = true;
    }
    return done == bytes || readAndWrite(part, bytes - done);
}

bool ByteCopy::readAndWrite(Part& part, qint64 bytes)
{
    for (qint64 done = 0; done < bytes;) {
        const qint64 piece = qMin(bytes - done, kBufferBytes);
        const FileResult<qint64> got = part.file.read(m_buf, piece);
        if (!got)
            return fail(Op::Read, part.path, got.error().text());
        if (*got < piece)
            return fail(Op::ReadShort, part.path, QString());
        if (const FileError e = target().file()->write(m_buf, piece); e.failed())
            return fail(Op::WriteTarget, target().path(), e.text());
        done += piece;
        m_written += piece;
    }
    return true;
}

bool ByteCopy::readToTheEnd(Part& part)
{
    char more;
    const FileResult<qint64> got = part.file.read(&more, 1);
    if (!got)
        return fail(Op::Read, part.path, got.error().text());
    if (*got > 0)
        return fail(Op::Grew, part.path, QString());
    return true;
}
