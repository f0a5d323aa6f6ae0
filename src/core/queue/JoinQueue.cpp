#include "core/queue/JoinQueue.h"

#include "core/settings/Preferences.h"
#include "core/text/Format.h"
#include "core/text/StrFunc.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QLocale>

namespace {
const QString kSlash = QStringLiteral("/");
} // namespace

bool JoinQueue::Commands::operator==(const Commands& o) const
{
    return add == o.add && remove == o.remove && clear == o.clear && join == o.join &&
           exit == o.exit;
}

JoinQueue::JoinQueue(Preferences& live, FileSystem& files, QObject* parent)
    : QObject(parent), m_live(live), m_files(files), m_estimate(Format::estimateCaption(0))
{
}

QString JoinQueue::addFolder()
{
    const QString dir = m_live.folderText(SettingId::SourceDir);
    return dir.isEmpty() ? QDir::homePath() : dir;
}

QList<PartSets::Set> JoinQueue::setsOf(const QStringList& paths)
{
    QStringList queued;
    queued.reserve(count());
    for (const QueueRow& row : rows())
        queued << row.fullPath();
    return PartSets::find(paths, queued, m_files, PartSets::movieTiming(m_files));
}

QString JoinQueue::add(const QStringList& paths)
{
    QList<QueueRow> rows;
    rows.reserve(paths.size());
    QStringList leftOut;
    QString lastFolder;
    for (QString path : paths) {
        if (!path.startsWith(kSlash))
            path = QDir::current().absoluteFilePath(path);
        const QString folder = StrFunc::leftOfLast(path, kSlash) + kSlash;
        const QString name = StrFunc::rightOfLast(path, kSlash);
        const FileResult<qint64> size = m_files.readableFileSize(folder + name);
        if (!size) {
            leftOut << Format::fileProblem(folder + name, size.error().text());
            continue;
        }
        rows.append(QueueRow{name, folder, Format::megabytes(*size)});
        lastFolder = folder;
    }
    m_model.append(std::move(rows));
    refreshEstimate();

    if (!lastFolder.isEmpty())
        m_live.rememberFolder(SettingId::SourceDir, StrFunc::folderOf(lastFolder));
    if (count() > 0)
        setQueueCommands(true);

    if (leftOut.isEmpty())
        return QString();
    return Format::listMessage(
        tr("These files were not added to the queue:", nullptr, int(leftOut.size())) +
            QLatin1Char('\n'),
        leftOut);
}

void JoinQueue::remove(const QList<int>& positions)
{
    m_model.removePositions(positions);
    if (count() == 0)
        setQueueCommands(false);
    refreshEstimate();
}

QString JoinQueue::moveUp(const QList<int>& positions)
{
    if (m_model.moveUp(positions))
        return QString();
    return tr("Can't move the selected item above the beginning of the list.");
}

QString JoinQueue::moveDown(const QList<int>& positions)
{
    if (m_model.moveDown(positions))
        return QString();
    return tr("Can't move the selected item below the end of the list.");
}

void JoinQueue::clear()
{
    m_model.clear();
    setEstimate(Format::estimateCaption(0));
    setQueueCommands(false);
}

void JoinQueue::sortByColumn(int column)
{
    m_model.sortByColumn(column);
}

void JoinQueue::removeJoined(const QSet<quint64>& ids)
{
    m_model.removeIds(ids);
    if (count() == 0)
        clear();
    else
        refreshEstimate();
}

void JoinQueue::refreshEstimate()
{
    // The sum of the sizes as shown, kept in single precision at every step.
    const QLocale locale;
    float total = 0.0f;
    for (const QueueRow& r : rows())
        total = float(double(total) + Format::readFixed(r.size, locale).value_or(0.0));
    setEstimate(Format::estimateCaption(total));
}

void JoinQueue::setEstimate(const QString& caption)
{
    if (caption == m_estimate)
        return;
    m_estimate = caption;
    emit estimateChanged(caption);
}

JoinQueue::Commands JoinQueue::commands() const
{
    Commands c;
    c.add = c.exit = !m_joinRunning;
    c.remove = c.clear = c.join = m_queueCommands && !m_joinRunning;
    return c;
}

void JoinQueue::setQueueCommands(bool on)
{
    if (m_queueCommands == on)
        return;
    m_queueCommands = on;
    emit commandsChanged();
}

void JoinQueue::setJoinRunning(bool running)
{
    m_joinRunning = running;
    // However the queue stands, the end of a join brings every command back.
    if (!running)
        m_queueCommands = true;
    emit commandsChanged();
}
