#include "core/join/JoinChecks.h"

#include "core/join/CancelToken.h"
#include "core/movies/MovieKind.h"
#include "core/text/StrFunc.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {
using Kind = JoinVerdict::Kind;
} // namespace

QString JoinChecks::noSpaceText()
{
    return tr("The drive you have selected does not have enough free space to save the joined "
              "movie to.");
}

JoinVerdict JoinChecks::lookAtKinds(const QStringList& sources)
{
    QList<MovieKind::Queued> files;
    files.reserve(sources.size());
    QHash<QString, MovieKind::Kind> seen;
    QByteArray head(MovieKind::kHeadBytes, Qt::Uninitialized);
    for (const QString& path : sources) {
        auto it = seen.constFind(path);
        if (it == seen.cend()) {
            MovieKind::Kind kind = MovieKind::Kind::Unknown;
            if (auto input = m_files.openInput(path)) {
                const FileResult<qint64> got = (*input)->read(head.data(), head.size());
                if (got && *got > 0)
                    kind = MovieKind::identify(QByteArray::fromRawData(head.constData(), *got));
            }
            it = seen.insert(path, kind);
        }
        files.append({path, it.value()});
        if (m_cancel.cancelled())
            return {Kind::Stopped, QString()};
    }
    MoviePlan plan;
    QList<FileIdentity> compared;
    const MovieKind::Kind first = files.isEmpty() ? MovieKind::Kind::Unknown : files[0].kind;
    if (files.size() > 1 && (first == MovieKind::Kind::Mp4 || first == MovieKind::Kind::Matroska) &&
        std::all_of(files.cbegin(), files.cend(),
                    [first](const MovieKind::Queued& f) { return f.kind == first; })) {
        if (!lookInside(sources, plan, compared))
            return {Kind::Stopped, QString()};
    }
    const QString question = MovieKind::joinQuestion(files, plan);
    if (plan.family == MovieFamily::None)
        compared.clear();
    return {question.isEmpty() ? Kind::Go : Kind::Ask, question, plan.family, compared,
            plan.difference};
}

bool JoinChecks::lookInside(const QStringList& sources, MoviePlan& plan,
                            QList<FileIdentity>& compared)
{
    QHash<QString, std::pair<FileResult<MovieLayout>, FileIdentity>> seen;
    QList<FileResult<MovieLayout>> layouts;
    QStringList names;
    for (const QString& path : sources) {
        auto it = seen.constFind(path);
        if (it == seen.cend()) {
            FileResult<std::unique_ptr<InputFile>> input = m_files.openInput(path);
            it = seen.insert(
                path, {input ? describeMovie(**input) : FileResult<MovieLayout>(input.error()),
                       input ? (*input)->identity() : FileIdentity()});
        }
        layouts << it->first;
        compared << it->second;
        names << QFileInfo(path).fileName();
        if (m_cancel.cancelled())
            return false;
    }
    plan = planMovie(names, layouts);
    return true;
}

JoinVerdict JoinChecks::checkTarget(const QStringList& sources, const QString& target)
{
    // Looked at in parts, so that a cancel is heard in between.
    constexpr int kPart = 64;
    for (int from = 0; from < sources.size(); from += kPart) {
        if (m_files.firstSameFile(sources.mid(from, kPart), target) >= 0)
            return {Kind::Refused, tr("The target file is one of the files to be joined. Please "
                                      "choose another target file.")};
        if (m_cancel.cancelled())
            return {Kind::Stopped, QString()};
    }
    const FileIdentity existing = m_files.identity(target);
    if (existing.exists && !existing.regular)
        return {Kind::Refused,
                tr("The target %1 is not a regular file. Please choose another target file.")
                    .arg(target)};
    // What a killed join left there would count against the space of this one.
    const QString folder = StrFunc::folderOf(target);
    m_files.removeLeftovers(folder);
    const std::optional<bool> enough = enoughSpace(folder, sources);
    if (m_cancel.cancelled())
        return {Kind::Stopped, QString()};
    if (enough == false)
        return {Kind::NoSpace, noSpaceText()};
    return {Kind::Go, QString()};
}

std::optional<bool> JoinChecks::enoughSpace(const QString& folder, const QStringList& sources)
{
    const FileResult<qint64> freeBytes = m_files.freeSpace(folder);
    if (!freeBytes)
        return std::nullopt;
    // Where the file system shares blocks, a source the join will share needs no space: one
    // starting at a block boundary of the target (as the copy does it), on a file system that
    // shares with the target's folder. That is tried once per device, on its largest source
    // (btrfs shares across subvolumes, which are devices of their own).
    QList<FileIdentity> files;
    files.reserve(sources.size());
    QHash<quint64, QString> sample; // a device's largest source there: a whole block, if any is
    QHash<quint64, qint64> sampleSize;
    for (const QString& path : sources) {
        const FileIdentity& f = files.emplaceBack(m_files.identity(path));
        if (f.regular && f.size > sampleSize.value(f.device))
            sample[f.device] = path, sampleSize[f.device] = f.size;
        if (m_cancel.cancelled())
            return std::nullopt;
    }
    qint64 block = 0;
    QSet<quint64> sharing;
    for (auto it = sample.cbegin(); it != sample.cend(); ++it) {
        const qint64 b = m_files.sharedBlockSize(folder, it.value());
        if (b > 0 && (block == 0 || b == block))
            block = b, sharing.insert(it.key());
    }
    qint64 need = 0, at = 0;
    bool aligned = block > 0;
    for (const FileIdentity& f : std::as_const(files)) {
        const qint64 size = f.regular ? f.size : 0;
        need += aligned && sharing.contains(f.device) ? 0 : size;
        at += size;
        aligned = aligned && at % block == 0;
    }
    return *freeBytes > need;
}
