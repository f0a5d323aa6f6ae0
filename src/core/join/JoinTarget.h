#pragma once

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QString>
#include <memory>

/// The target of one join run, whatever the join method: the new file
/// written beside it (FileStreams::createBeside), which gets the target's
/// name only at the end, once proven; and the message of a failed run,
/// which names the file, the operation and the reason, and says what became
/// of the target.
class JoinTarget
{
    Q_DECLARE_TR_FUNCTIONS(JoinTarget)

public:
    /// What failed.
    enum class Op {
        Size,
        Open,
        Read,
        ReadShort,
        Grew,
        Changed,
        Sum,
        ReadMovie,
        Memory,
        Copy,
        CreateTarget,
        WriteTarget,
        CloseTarget,
        Length,
        Rename,
        Replaced
    };

    JoinTarget(FileStreams& streams, FileLookup& lookup, QString path);

    const QString& path() const { return m_path; }
    /// Whether a file stood at the target's name when the run began.
    bool existed() const { return m_existed; }
    /// Creates the new file; false (failure() says why) when it cannot be.
    bool create();
    /// The new file while it is written; null before create() and after
    /// finish() or fail().
    OutputFile* file() const { return m_file.get(); }
    /// Drops the new file: nothing of it stays, an existing target is kept.
    void discard() { m_file.reset(); }

    /// Proves the new file (`length` bytes long, when not -1), closes it,
    /// gives it the target's name and checks that the name then leads to it.
    bool finish(qint64 length = -1);
    /// The file written, under the target's name, after finish().
    const FileIdentity& written() const { return m_written; }

    /// The run failed: drops the new file (when it has not the target's name
    /// yet) and words the message (with Sum, `reason` is the checksum file
    /// whose sum of `file` does not match). Always false.
    bool fail(Op op, const QString& file, const QString& reason);
    const QString& failure() const { return m_failure; }

    /// What became of the target of a run that did not join: left
    /// unchanged, not created, or (named, then failing its proof) not
    /// holding the joined files.
    QString leftText() const;
    /// After a cancel that kept the new file under the target's name.
    QString keptText() const;

private:
    FileStreams& m_streams;
    FileLookup& m_lookup;
    QString m_path;
    bool m_existed = false;
    bool m_renamed = false;
    std::unique_ptr<OutputFile> m_file;
    FileIdentity m_written;
    QString m_failure;
};
