#include "core/JoinChecks.h"

#include "core/EventPump.h"
#include "core/MovieKind.h"
#include "core/StrFunc.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <QHash>

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
    PacedLook look(m_pump);
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
        look.lookedAt();
        if (m_cancelled)
            return {Kind::Stopped, QString()};
    }
    MoviePlan plan;
    const MovieKind::Kind first = files.isEmpty() ? MovieKind::Kind::Unknown : files[0].kind;
    if (files.size() > 1 && (first == MovieKind::Kind::Mp4 || first == MovieKind::Kind::Matroska) &&
        std::all_of(files.cbegin(), files.cend(),
                    [first](const MovieKind::Queued& f) { return f.kind == first; })) {
        if (!lookInside(sources, plan))
            return {Kind::Stopped, QString()};
    }
    const QString question = MovieKind::joinQuestion(files, plan);
    return {question.isEmpty() ? Kind::Go : Kind::Ask, question, plan.family};
}

bool JoinChecks::lookInside(const QStringList& sources, MoviePlan& plan)
{
    QHash<QString, FileResult<MovieLayout>> seen;
    QList<FileResult<MovieLayout>> layouts;
    QStringList names;
    PacedLook look(m_pump);
    for (const QString& path : sources) {
        auto it = seen.constFind(path);
        if (it == seen.cend()) {
            FileResult<std::unique_ptr<InputFile>> input = m_files.openInput(path);
            it = seen.insert(path, input ? describeMovie(**input)
                                         : FileResult<MovieLayout>(input.error()));
        }
        layouts << it.value();
        names << QFileInfo(path).fileName();
        look.lookedAt(PacedLook::kFilesPerCheck); // each file takes a while
        if (m_cancelled)
            return false;
    }
    plan = planMovie(names, layouts);
    return true;
}

JoinVerdict JoinChecks::checkTarget(const QStringList& sources, const QString& target)
{
    // Looked at in parts, so that events come in between.
    constexpr int kPart = PacedLook::kFilesPerCheck;
    PacedLook look(m_pump);
    for (int from = 0; from < sources.size(); from += kPart) {
        if (m_files.firstSameFile(sources.mid(from, kPart), target) >= 0)
            return {Kind::Refused, tr("The target file is one of the files to be joined. Please "
                                      "choose another target file.")};
        look.lookedAt(kPart);
        if (m_cancelled)
            return {Kind::Stopped, QString()};
    }
    const FileIdentity existing = m_files.identity(target);
    if (existing.exists && !existing.regular)
        return {Kind::Refused,
                tr("The target %1 is not a regular file. Please choose another target file.")
                    .arg(target)};
    const std::optional<bool> enough = enoughSpace(folderOf(target), sources);
    if (m_cancelled)
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
    // Where the file system shares blocks, a source the join will share needs no space: one on
    // the same file system, starting at a block boundary of the target (as the copy does it).
    const quint64 device = m_files.identity(folder).device;
    QList<FileIdentity> files;
    files.reserve(sources.size());
    QString sample; // the largest there: a whole block, if any is
    qint64 sampleSize = 0;
    PacedLook look(m_pump);
    for (const QString& path : sources) {
        const FileIdentity& f = files.emplaceBack(m_files.identity(path));
        if (f.regular && f.device == device && f.size > sampleSize)
            sample = path, sampleSize = f.size;
        look.lookedAt();
        if (m_cancelled)
            return std::nullopt;
    }
    const qint64 block = sample.isEmpty() ? 0 : m_files.sharedBlockSize(folder, sample);
    qint64 need = 0, at = 0;
    bool aligned = block > 0;
    for (const FileIdentity& f : std::as_const(files)) {
        const qint64 size = f.regular ? f.size : 0;
        need += aligned && f.device == device ? 0 : size;
        at += size;
        aligned = aligned && at % block == 0;
    }
    return *freeBytes > need;
}

QString folderOf(const QString& path)
{
    if (!path.contains(QLatin1Char('/')))
        return QString();
    const QString folder = StrFunc::leftOfLast(path, QStringLiteral("/"));
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}
