#pragma once

#include "core/join/Checksums.h"
#include "core/join/Digest.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThreadPool>
#include <atomic>
#include <memory>

class CancelToken;
class InputFile;

/// The sums a join checks against the checksum files beside its parts
/// (Checksums::ForJoin), computed while the join reads the parts: each
/// part's bytes are read a second time from the same open file, on a thread
/// of the sums' own, so that the hashing runs beside the join however its
/// bytes move (the kernel's copy, shared blocks, read and written, a movie's
/// packets). A part is hashed as far as the join asks (ahead(), through()),
/// a piece at a time; the hashing stops once the join is cancelled.
class JoinSums
{
    Q_DECLARE_TR_FUNCTIONS(JoinSums)

public:
    JoinSums();
    ~JoinSums();

    /// A run begins that checks `sums`, the whole's only with `whole`.
    void begin(const Checksums::ForJoin& sums, bool whole, const CancelToken& cancel);
    /// Part `index` is open as `file`: it is hashed from its first byte on,
    /// where a sum of it or of the whole is checked.
    void beginPart(int index, InputFile& file);
    /// Whether the part is hashed.
    bool hashing() const { return m_file != nullptr; }
    /// Starts hashing the part up to byte `upTo` on the sums' thread and returns.
    void ahead(qint64 upTo);
    enum class Hashed { Yes, Cancelled, Failed };
    /// Returns once the part is hashed up to byte `upTo`: Yes, Cancelled, or
    /// Failed when a read failed (failure() says why; empty: the file ended).
    Hashed through(qint64 upTo);
    const QString& failure() const { return m_failure; }
    /// Stops the part's hashing and waits for it: before the part's file closes.
    void settle();

    /// Once the part is hashed through: the checksum file whose sum of it
    /// does not match; empty when it matches or none names it.
    QString partMismatch() const;
    /// Once every part is hashed through: the checksum file whose sum of the
    /// whole does not match; empty when it matches or none was checked.
    QString wholeMismatch() const;
    /// The outcome of a run that matched: a line for each checksum file it
    /// checked; empty when it checked none.
    QString matchedText() const;
    /// The outcome of a run into `target` that does not match the whole's
    /// sum in `file`.
    static QString mismatchText(const QString& target, const QString& file);

    /// The pieces in which a part is read and hashed.
    static constexpr qint64 kPieceBytes = qint64(1) << 20;

private:
    void hash(qint64 upTo);
    void wait();

    QThreadPool m_thread;
    QSemaphore m_done;
    bool m_busy = false; // the sums' thread hashes
    std::atomic<bool> m_stop{false};
    const CancelToken* m_cancel = nullptr;
    Checksums::ForJoin m_sums;
    QByteArray m_buffer;
    std::unique_ptr<Digest> m_whole, m_part;
    std::optional<Checksums::Sum> m_partSum;
    InputFile* m_file = nullptr; // the part, while it is hashed
    qint64 m_hashed = 0;
    bool m_failed = false;
    QString m_failure;
};
