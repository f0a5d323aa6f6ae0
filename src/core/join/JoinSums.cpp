#include "core/join/JoinSums.h"

#include "core/join/CancelToken.h"
#include "platform/InputFile.h"

JoinSums::JoinSums()
{
    m_thread.setMaxThreadCount(1);
}

JoinSums::~JoinSums()
{
    settle();
}

void JoinSums::begin(const Checksums::ForJoin& sums, bool whole, const CancelToken& cancel)
{
    settle();
    m_cancel = &cancel;
    m_sums = sums;
    if (!whole)
        m_sums.whole.reset();
    m_whole = m_sums.whole ? std::make_unique<Digest>(m_sums.whole->kind) : nullptr;
    m_buffer.resize(m_sums.any() ? kPieceBytes : 0);
}

void JoinSums::beginPart(int index, InputFile& file)
{
    settle();
    m_partSum = m_sums.parts.value(index);
    m_part = m_partSum ? std::make_unique<Digest>(m_partSum->kind) : nullptr;
    m_file = m_whole || m_part ? &file : nullptr;
    m_hashed = 0;
    m_failed = false;
    m_failure.clear();
    m_stop = false;
}

void JoinSums::hash(qint64 upTo)
{
    while (m_hashed < upTo && !m_failed && !m_stop && !m_cancel->cancelled()) {
        const qint64 piece = qMin(upTo - m_hashed, kPieceBytes);
        const FileResult<qint64> got = m_file->readAt(m_hashed, m_buffer.data(), piece);
        if (!got || *got < piece) {
            m_failed = true;
            m_failure = got ? QString() : got.error().text();
            return;
        }
        for (Digest* d : {m_whole.get(), m_part.get()})
            if (d)
                d->add(m_buffer.constData(), piece);
        m_hashed += piece;
    }
}

void JoinSums::wait()
{
    if (std::exchange(m_busy, false))
        m_done.acquire();
}

void JoinSums::ahead(qint64 upTo)
{
    if (!m_file)
        return;
    wait();
    if (m_hashed >= upTo || m_failed)
        return;
    m_busy = true;
    m_thread.start([this, upTo] {
        hash(upTo);
        m_done.release();
    });
}

JoinSums::Hashed JoinSums::through(qint64 upTo)
{
    if (!m_file)
        return Hashed::Yes;
    wait();
    hash(upTo); // what the sums' thread was not asked for, here
    return m_failed ? Hashed::Failed : m_hashed >= upTo ? Hashed::Yes : Hashed::Cancelled;
}

void JoinSums::settle()
{
    m_stop = true;
    wait();
    m_file = nullptr;
}

QString JoinSums::partMismatch() const
{
    return m_part && m_part->result() != m_partSum->digest ? m_partSum->file : QString();
}

QString JoinSums::wholeMismatch() const
{
    return m_whole && m_whole->result() != m_sums.whole->digest ? m_sums.whole->file : QString();
}

QString JoinSums::matchedText() const
{
    QStringList lines, partFiles;
    if (m_sums.whole)
        lines << tr("The checksum in %1 matches.").arg(m_sums.whole->file);
    for (const std::optional<Checksums::Sum>& sum : m_sums.parts)
        if (sum && !partFiles.contains(sum->file))
            partFiles << sum->file;
    for (const QString& file : std::as_const(partFiles))
        lines << tr("The parts' checksums in %1 match.").arg(file);
    return lines.join(QLatin1Char('\n'));
}

QString JoinSums::mismatchText(const QString& target, const QString& file)
{
    return tr("The joined file %1 does not match the checksum in %2.").arg(target, file) +
           QLatin1Char('\n') + tr("The joined file was kept, but one of its parts may be damaged.");
}
