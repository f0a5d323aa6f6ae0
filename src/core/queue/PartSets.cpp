#include "core/queue/PartSets.h"

#include "core/text/Format.h"
#include "platform/FileLookup.h"
#include "platform/FileStreams.h"
#include "platform/MovieContainers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace PartSets {

namespace {

using Match = QRegularExpressionMatch;
using Names = QHash<QString, QString>; // a folder's: lower-case name -> name

// A kind of set: the pattern of its first part's name, that part's number, the highest number
// a part may have, the name of part k made from the first part's name (none: found by the time
// in the name before), and what tells that the parts belong together.
struct Rule
{
    QRegularExpression first;
    int (*from)(const Match&);
    int (*last)(const Match&);
    QString (*name)(const Match&, int k);
    bool equalSizes = false;
    Known known = Known::ByNames;
};

QString pad(int k, qsizetype width)
{
    return QStringLiteral("%1").arg(k, int(width), 10, QLatin1Char('0'));
}

// The context of the texts below.
struct Text
{
    Q_DECLARE_TR_FUNCTIONS(PartSets)
};

// The whole name: "$" alone would also let a name end in a line break.
QRegularExpression whole(const char* pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)),
                              QRegularExpression::CaseInsensitiveOption);
}

// A dashcam's part: the date, the time and what follows them.
const QRegularExpression& loopName()
{
    static const QRegularExpression re = whole("(\\d{8})_(\\d{6})([^.]*\\.(?:mp4|mov|ts|avi|mkv))");
    return re;
}

const QList<Rule>& rules()
{
    const auto one = [](const Match&) { return 1; };
    const auto many = [](const Match&) { return 99999; };
    const auto number = [](const Match& m) { return m.captured(2).toInt(); };
    const auto plain = [](const Match& m, int k) {
        return m.captured(1) + QString::number(k) + m.captured(2);
    };
    const auto numbered = [](const Match& m, int k) {
        return m.captured(1) + pad(k, m.captured(2).size()) + m.captured(3);
    };
    static const QList<Rule> all = {
        {whole("(vts_\\d\\d_)1(\\.vob)"), one, [](const Match&) { return 9; }, plain},
        {whole("(.+\\.)(00[01])"), number, many,
         [](const Match& m, int k) { return m.captured(1) + pad(k, 3); }, true},
        {whole("(.+\\.part)(0*1)(\\.[^.]+)"), one, many, numbered},
        {whole("(.+[ _-]cd)1(\\.[^.]+)"), one, many, plain},
        {whole("(.+\\()1( of (\\d+)\\)\\.[^.]+)"), one,
         [](const Match& m) { return m.captured(3).toInt(); }, plain},
        {whole("(g)o(p)r(\\d{4}\\.mp4)"), one, [](const Match&) { return 99; },
         [](const Match& m, int k) {
             return k == 1 ? m.captured(0)
                           : m.captured(1) + m.captured(2) + pad(k - 1, 2) + m.captured(3);
         }},
        {whole("(g[hx])01(\\d{4}\\.mp4)"), one, [](const Match&) { return 99; },
         [](const Match& m, int k) { return m.captured(1) + pad(k, 2) + m.captured(2); }},
        {whole("()(\\d{5})(\\.m2?ts)"), number, many, numbered, false, Known::ByTimestamps},
        {whole("(dji_|mvi_|c)(\\d{4})(\\.mp4|\\.mov)"), number, [](const Match&) { return 9999; },
         numbered, false, Known::ByCreationTimes},
        {loopName(), one, many, nullptr, false, Known::ByNameTimes},
    };
    return all;
}

bool allButLastEqual(const QString& first, const QStringList& rest, FileLookup& files)
{
    const FileResult<qint64> size = files.fileSize(first);
    for (qsizetype i = 0; size && i + 1 < rest.size(); ++i)
        if (const FileResult<qint64> s = files.fileSize(rest[i]); !s || *s != *size)
            return false;
    return bool(size);
}

// The next numbers after the first part's (which `m` matched) up to the first missing; later ones
// there make that a gap, named in `missing`. Only regular files that can be read are parts, not a
// dangling link named like one.
QStringList namedRun(const Rule& rule, const Match& m, const QString& folder, const Names& names,
                     FileLookup& files, QString& missing)
{
    QStringList run;
    const int last = rule.last(m);
    int k = rule.from(m) + 1;
    for (auto f = names.constFind(rule.name(m, k).toLower());
         k <= last && f != names.cend() &&
         files.readableFileSize(folder + QLatin1Char('/') + f.value());
         f = names.constFind(rule.name(m, ++k).toLower()))
        run << folder + QLatin1Char('/') + f.value();
    for (int later = k + 1; later <= qMin(last, k + 9) && missing.isEmpty(); ++later)
        if (names.contains(rule.name(m, later).toLower()))
            missing = rule.name(m, k);
    return run;
}

// Each file's timing, read once; none where the movie module cannot read it.
struct Timings
{
    const Timing& read;
    QHash<QString, std::optional<MovieTiming>> known;
    std::optional<MovieTiming> of(const QString& path)
    {
        auto t = known.constFind(path);
        if (t == known.cend()) {
            const FileResult<MovieTiming> got = read(path);
            t = known.insert(path, got ? std::optional(*got) : std::nullopt);
        }
        return *t;
    }
};

// Whether `next` goes on where `before` ends. Timestamps within 1 s: a camera splits between two
// pictures, the sound's packets around the cut lead or lag the pictures by a few hundred
// milliseconds at most, and a new recording starts its clock afresh. Creation times within 2 s:
// they are kept in whole seconds. A dashcam's part was found by the time in its name.
bool follows(Known known, const std::optional<MovieTiming>& before,
             const std::optional<MovieTiming>& next)
{
    if (!before || !next || !before->duration)
        return false;
    if (known == Known::ByTimestamps)
        return before->start && next->start &&
               qAbs(*next->start - *before->start - *before->duration) <= 1000000;
    if (known == Known::ByCreationTimes)
        return before->created.isValid() && next->created.isValid() &&
               qAbs(before->created.msecsTo(next->created) * 1000 - *before->duration) <= 2000000;
    return true;
}

// The name of a dashcam's part after `path`: of the same suffix, whose time is the nearest to
// where that part ends, within 2 s; "" where there is none.
QString nameAfter(const QString& path, const std::optional<MovieTiming>& timing, const Names& names)
{
    const Match m = loopName().match(QFileInfo(path).fileName());
    const QDateTime at(QDate::fromString(m.captured(1), QStringLiteral("yyyyMMdd")),
                       QTime::fromString(m.captured(2), QStringLiteral("HHmmss")), Qt::UTC);
    if (!at.isValid() || !timing || !timing->duration)
        return QString();
    const qint64 end = at.toMSecsSinceEpoch() + *timing->duration / 1000;
    QString nearest;
    for (qint64 s = end / 1000 - 2, off = 2001; s <= end / 1000 + 2; ++s) {
        const QString name = QDateTime::fromMSecsSinceEpoch(s * 1000, Qt::UTC)
                                 .toString(QStringLiteral("yyyyMMdd_HHmmss"))
                                 .append(m.captured(3))
                                 .toLower();
        if (s * 1000 > at.toMSecsSinceEpoch() && qAbs(s * 1000 - end) < off && names.contains(name))
            nearest = name, off = qAbs(s * 1000 - end);
    }
    return nearest;
}

// The parts after `path` (which `m` matched) whose timing says that each goes on where the one
// before it ends; the first part is read only once a part may follow it.
QStringList timedRun(const Rule& rule, const Match& m, const QString& path, const QString& folder,
                     const Names& names, Timings& timings)
{
    QStringList run;
    QString before = path;
    for (int k = rule.from(m) + 1; k <= rule.last(m); ++k) {
        const QString name =
            rule.name ? rule.name(m, k) : nameAfter(before, timings.of(before), names);
        const auto next = names.constFind(name.toLower());
        if (next == names.cend() || !follows(rule.known, timings.of(before),
                                             timings.of(folder + QLatin1Char('/') + next.value())))
            break;
        run << (before = folder + QLatin1Char('/') + next.value());
    }
    return run;
}

// How a set found by content was known, naming its first part.
QString known(Known by)
{
    return by == Known::ByTimestamps
               ? Text::tr("%1 and its other parts are one recording split by the camera: the "
                          "timestamps of each part go on where those of the part before it end.")
           : by == Known::ByCreationTimes
               ? Text::tr("%1 and its other parts are one recording split by the camera: each "
                          "part was begun when the part before it ended, as their creation times "
                          "and lengths show.")
               : Text::tr("%1 and its other parts are one recording split by the camera: the time "
                          "in each part's name is when the part before it ended.");
}

} // namespace

Timing movieTiming(FileStreams& files)
{
    return [&files](const QString& path) -> FileResult<MovieTiming> {
        const FileResult<std::unique_ptr<InputFile>> input = files.openInput(path);
        if (!input)
            return input.error();
        return readMovieTiming(**input);
    };
}

QList<Set> find(const QStringList& added, const QStringList& queued, FileLookup& files,
                const Timing& timing)
{
    QList<Set> sets;
    QHash<QString, Names> folders; // each read once
    QSet<QString> taken;
    Timings timings{timing, {}};
    for (const QString& path : added) {
        const QFileInfo info(path);
        for (const Rule& rule : rules()) {
            const Match m = rule.first.match(info.fileName());
            if (!m.hasMatch())
                continue;
            const QString folder = info.absolutePath();
            auto names = folders.find(folder);
            if (names == folders.end()) {
                names = folders.insert(folder, {});
                for (const QString& name : files.fileNames(folder))
                    names->insert(name.toLower(), name);
            }
            QString missing;
            const QStringList run = rule.known == Known::ByNames
                                        ? namedRun(rule, m, folder, *names, files, missing)
                                        : timedRun(rule, m, path, folder, *names, timings);
            if (run.isEmpty() || (rule.equalSizes && !allButLastEqual(path, run, files)))
                break;
            if (taken.isEmpty())
                taken = QSet<QString>(added.cbegin(), added.cend()) +
                        QSet<QString>(queued.cbegin(), queued.cend());
            QStringList others;
            for (const QString& part : std::as_const(run))
                if (!taken.contains(part))
                    others << part;
            if (!others.isEmpty())
                sets.append({path, others, missing, rule.known});
            taken.unite(QSet<QString>(others.cbegin(), others.cend()));
            break;
        }
    }
    return sets;
}

QString questionTitle()
{
    return Text::tr("Add the Other Parts?");
}

QString question(const QList<Set>& sets)
{
    const auto name = [](const QString& path) { return QFileInfo(path).fileName(); };
    QStringList lines, notes;
    for (const Set& set : sets) {
        if (sets.size() > 1)
            lines << name(set.first) + QLatin1Char(':');
        for (const QString& part : set.others)
            lines << name(part);
        if (!set.missing.isEmpty())
            notes << Text::tr("%1 is missing.").arg(set.missing);
        if (set.known != Known::ByNames)
            notes << known(set.known).arg(name(set.first));
    }
    const QString head =
        sets.size() == 1
            ? Text::tr("%1 is the first part of a set. Its other parts lie in the same folder:")
                  .arg(name(sets[0].first))
            : Text::tr("These files are the first parts of sets whose other parts lie in the same "
                       "folder:");
    return Format::listMessage(head, lines) +
           (notes.isEmpty() ? QString() : QLatin1Char('\n') + notes.join(QLatin1Char('\n'))) +
           QStringLiteral("\n\n") +
           Text::tr("Add the other parts to the queue after their first part?");
}

QStringList withOthers(const QStringList& added, const QList<Set>& sets)
{
    QHash<QString, QStringList> after;
    for (const Set& set : sets)
        after[set.first] += set.others;
    QStringList out;
    for (const QString& path : added)
        out << path << after.take(path);
    return out;
}

} // namespace PartSets
