#include "core/queue/PartSets.h"

#include "core/text/Format.h"
#include "platform/FileLookup.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace PartSets {

namespace {

using Match = QRegularExpressionMatch;

// A kind of set: the pattern of its first part's name, that part's number, the highest number
// a part may have, and the name of part k made from the first part's name.
struct Rule
{
    QRegularExpression first;
    int (*from)(const Match&);
    int (*last)(const Match&);
    QString (*name)(const Match&, int k);
    bool equalSizes = false;
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

const QList<Rule>& rules()
{
    // The whole name: "$" alone would also let a name end in a line break.
    const auto re = [](const char* pattern) {
        return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)),
                                  QRegularExpression::CaseInsensitiveOption);
    };
    const auto one = [](const Match&) { return 1; };
    const auto many = [](const Match&) { return 99999; };
    static const QList<Rule> all = {
        {re("(vts_\\d\\d_)1(\\.vob)"), one, [](const Match&) { return 9; },
         [](const Match& m, int k) { return m.captured(1) + QString::number(k) + m.captured(2); }},
        {re("(.+\\.)(00[01])"), [](const Match& m) { return m.captured(2).toInt(); }, many,
         [](const Match& m, int k) { return m.captured(1) + pad(k, 3); }, true},
        {re("(.+\\.part)(0*1)(\\.[^.]+)"), one, many,
         [](const Match& m, int k) {
             return m.captured(1) + pad(k, m.captured(2).size()) + m.captured(3);
         }},
        {re("(.+[ _-]cd)1(\\.[^.]+)"), one, many,
         [](const Match& m, int k) { return m.captured(1) + QString::number(k) + m.captured(2); }},
        {re("(.+\\()1( of (\\d+)\\)\\.[^.]+)"), one,
         [](const Match& m) { return m.captured(3).toInt(); },
         [](const Match& m, int k) { return m.captured(1) + QString::number(k) + m.captured(2); }},
        {re("(g)o(p)r(\\d{4}\\.mp4)"), one, [](const Match&) { return 99; },
         [](const Match& m, int k) {
             return k == 1 ? m.captured(0)
                           : m.captured(1) + m.captured(2) + pad(k - 1, 2) + m.captured(3);
         }},
        {re("(g[hx])01(\\d{4}\\.mp4)"), one, [](const Match&) { return 99; },
         [](const Match& m, int k) { return m.captured(1) + pad(k, 2) + m.captured(2); }},
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

} // namespace

QList<Set> find(const QStringList& added, const QStringList& queued, FileLookup& files)
{
    QList<Set> sets;
    QHash<QString, QHash<QString, QString>> folders; // each read once: lower-case name -> name
    QSet<QString> taken;
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
            // The next numbers up to the first missing; later ones there make that a gap. Only
            // regular files that can be read are parts, not a dangling link named like one.
            QStringList run;
            const int last = rule.last(m);
            int k = rule.from(m) + 1;
            for (auto f = names->constFind(rule.name(m, k).toLower());
                 k <= last && f != names->cend() &&
                 files.readableFileSize(folder + QLatin1Char('/') + f.value());
                 f = names->constFind(rule.name(m, ++k).toLower()))
                run << folder + QLatin1Char('/') + f.value();
            QString missing;
            for (int later = k + 1; later <= qMin(last, k + 9) && missing.isEmpty(); ++later)
                if (names->contains(rule.name(m, later).toLower()))
                    missing = rule.name(m, k);
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
                sets.append({path, others, missing});
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
    QStringList lines, gaps;
    for (const Set& set : sets) {
        if (sets.size() > 1)
            lines << name(set.first) + QLatin1Char(':');
        for (const QString& part : set.others)
            lines << name(part);
        if (!set.missing.isEmpty())
            gaps << Text::tr("%1 is missing.").arg(set.missing);
    }
    const QString head =
        sets.size() == 1
            ? Text::tr("%1 is the first part of a set. Its other parts lie in the same folder:")
                  .arg(name(sets[0].first))
            : Text::tr("These files are the first parts of sets whose other parts lie in the same "
                       "folder:");
    return Format::listMessage(head, lines) +
           (gaps.isEmpty() ? QString() : QLatin1Char('\n') + gaps.join(QLatin1Char('\n'))) +
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
