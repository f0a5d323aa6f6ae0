#include "core/join/JoinTarget.h"

#include "core/text/Format.h"

JoinTarget::JoinTarget(FileStreams& streams, FileLookup& lookup, QString path)
    : m_streams(streams), m_lookup(lookup), m_path(std::move(path)),
      m_existed(m_lookup.identity(m_path).exists)
{
}

bool JoinTarget::create()
{
    FileResult<std::unique_ptr<OutputFile>> created = m_streams.createBeside(m_path);
    if (!created)
        return fail(Op::CreateTarget, m_path, created.error().text());
    m_file = std::move(*created);
    return true;
}

bool JoinTarget::finish(qint64 length)
{
    const FileIdentity written = m_file->identity();
    if (length >= 0 && written.size != length)
        return fail(Op::Length, m_path,
                    tr("it holds %1 bytes where %2 were written")
                        .arg(Format::grouped(written.size), Format::grouped(length)));
    if (const FileError e = m_file->close(); e.failed())
        return fail(Op::CloseTarget, m_path, e.text());
    if (const FileError e = m_file->nameAs(m_path); e.failed())
        return fail(Op::Rename, m_path, e.text());
    m_file.reset();
    m_renamed = true;
    // Another program may have put its own file there in the same moment.
    if (!m_lookup.identity(m_path).sameFile(written))
        return fail(Op::Replaced, m_path, QString());
    m_written = written;
    return true;
}

bool JoinTarget::fail(Op op, const QString& file, const QString& reason)
{
    m_file.reset(); // the partial file goes with it
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
        what =
            tr("Could not read file %1: it ended early, it was changed during the join.").arg(file);
        break;
    case Op::Grew:
        what = tr("Could not read file %1: it grew while it was read, it was changed during the "
                  "join.")
                   .arg(file);
        break;
    case Op::Changed:
        what = tr("Could not read file %1: it was changed during the join.").arg(file);
        break;
    case Op::Sum:
        what =
            tr("Could not join file %1: it does not match its checksum in %2.").arg(file, reason);
        break;
    case Op::ReadMovie:
        what = tr("Could not read file %1 as a movie: %2.").arg(file, reason);
        break;
    case Op::Copy:
        what = tr("Could not copy file %1 into the target file %2: %3.").arg(file, m_path, reason);
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
        what = tr("Could not finish the target file %1: another program put a file in its place "
                  "at the end of the join.")
                   .arg(file);
        break;
    }
    m_failure = what + QLatin1Char('\n') + leftText();
    return false;
}

QString JoinTarget::leftText() const
{
    if (m_renamed)
        return tr("The target file %1 does not hold the joined files.").arg(m_path);
    if (m_existed)
        return tr("The target file %1 was left unchanged.").arg(m_path);
    return tr("The target file %1 was not created.").arg(m_path);
}

QString JoinTarget::keptText() const
{
    return tr("The target file %1 holds what was joined before the cancel.").arg(m_path);
}
