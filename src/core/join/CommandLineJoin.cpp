#include "core/join/CommandLineJoin.h"

#include "core/queue/PartSets.h"
#include "core/text/Format.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <QLocale>

using Phase = JoinSession::Phase;

namespace {

QString firstLine(const QString& text)
{
    return text.section(QLatin1Char('\n'), 0, 0);
}

} // namespace

CommandLineJoin::CommandLineJoin(FileSystem& files, bool terminal,
                                 std::function<void(const QString&)> write, QObject* parent)
    : QObject(parent), m_settings(Settings::defaults(QString())), m_prefs(m_settings),
      m_queue(m_prefs, files), m_session(m_queue, m_prefs, files), m_files(files),
      m_terminal(terminal), m_write(std::move(write))
{
    connect(&m_session, &JoinSession::phaseChanged, this, &CommandLineJoin::followPhase);
    connect(&m_session, &JoinSession::fileStarted, this,
            [this](int index, const JoinFigures& figures) {
                m_fileIndex = index;
                showProgress(figures, m_terminal);
            });
    connect(&m_session, &JoinSession::copied, this,
            [this](const JoinFigures& figures) { showProgress(figures, false); });
}

void CommandLineJoin::start(const Request& request)
{
    m_request = request;
    m_request.target = QFileInfo(request.target).absoluteFilePath();
    QStringList sources;
    for (const QString& source : request.sources) {
        const QString path = QFileInfo(source).absoluteFilePath();
        const FileResult<qint64> size = m_files.readableFileSize(path);
        if (!size)
            return fail(QStringLiteral("%1: %2").arg(path, size.error().text()));
        sources << path;
    }
    if (m_request.withSets)
        sources = PartSets::withOthers(sources, m_queue.setsOf(sources));
    m_queue.model().setSortedOff(); // the parts join in the order given
    const QString leftOut = m_queue.add(sources);
    if (!leftOut.isEmpty()) // a file gone since it was looked at
        return fail(firstLine(leftOut.section(QLatin1Char('\n'), 1).trimmed()));
    m_session.start();
}

void CommandLineJoin::stop(int status)
{
    if (m_finished)
        return;
    m_stopStatus = status;
    if (m_session.isRunning())
        m_session.cancel(true); // ended() follows
    else
        ended();
}

void CommandLineJoin::followPhase(Phase phase)
{
    switch (phase) {
    case Phase::Asking:
        // Answered from the event loop, as the window's question would be.
        return void(QMetaObject::invokeMethod(this, &CommandLineJoin::answerQuestion,
                                              Qt::QueuedConnection));
    case Phase::ChoosingTarget:
        return void(QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_request.method == Method::OneMovie && !m_session.joinsAsOneMovie()) {
                    failNotOneMovie();
                    return m_session.chooseTarget(QString());
                }
                m_session.chooseTarget(m_request.target);
            },
            Qt::QueuedConnection));
    case Phase::Joining:
        m_lastShown.invalidate();
        return showProgress(JoinFigures(), true);
    case Phase::Ended:
        return ended();
    default:
        return;
    }
}

void CommandLineJoin::answerQuestion()
{
    const bool offered = m_session.offersOneMovie();
    if (m_request.method == Method::OneMovie && !offered) {
        failNotOneMovie();
        return m_session.answer(JoinSession::Choice::Cancel);
    }
    // Without a choice, the question's default where it offers one movie; a join asked for
    // on the command line is joined byte by byte otherwise.
    m_session.answer(m_request.method != Method::Bytes && offered ? JoinSession::Choice::OneMovie
                                                                  : JoinSession::Choice::Bytes);
}

void CommandLineJoin::failNotOneMovie()
{
    fail(m_session.difference().isEmpty()
             ? tr("these files cannot be joined as one movie: only MP4/MOV parts, or only "
                  "Matroska/WebM parts, can.")
             : tr("these files cannot be joined as one movie: %1.").arg(m_session.difference()));
}

void CommandLineJoin::showProgress(const JoinFigures& figures, bool force)
{
    if (m_finished || m_session.phase() != Phase::Joining)
        return;
    const double fraction =
        figures.batchTotal > 0 ? double(figures.batchDone) / double(figures.batchTotal) : 0.0;
    const int percent = Format::wholePercent(fraction);
    // A terminal's line changes where its percentage does, at most ten times a second.
    const qint64 gap = m_terminal ? 100 : 1000;
    if (!force && ((m_lastShown.isValid() && m_lastShown.elapsed() < gap) ||
                   (m_terminal && percent == m_shownPercent)))
        return;
    m_lastShown.start();
    m_shownPercent = percent;
    const QString line = tr("reelbind: joining %1: %2 (file %3 of %n)", nullptr, m_queue.count())
                             .arg(QFileInfo(m_request.target).fileName(), Format::percent(fraction),
                                  QLocale().toString(m_fileIndex + 1));
    if (m_terminal) {
        m_write(QLatin1Char('\r') + line + QStringLiteral("\033[K"));
        m_lineOpen = true;
    } else {
        m_write(line + QLatin1Char('\n'));
    }
}

void CommandLineJoin::ended()
{
    if (m_finished)
        return;
    if (m_failed)
        return finish(kFailed);
    if (m_stopStatus >= 0)
        return fail(tr("the join to %1 was stopped; nothing was written.").arg(m_request.target),
                    m_stopStatus);
    switch (m_session.ending()) {
    case JoinSession::Ending::Joined:
        break;
    case JoinSession::Ending::NoTarget:
    case JoinSession::Ending::NoSpace:
        // Refused targets and too little space: the window's notice, with the target it is about.
        return fail(m_session.notice().isEmpty()
                        ? tr("the join to %1 did not start.").arg(m_request.target)
                        : Format::fileProblem(m_request.target, firstLine(m_session.notice())));
    default: // failed, cancelled, or a joined file that does not match its checksum file
        return fail(firstLine(m_session.finalText()));
    }
    if (!m_request.trashSources)
        return finish(kJoined);
    const AfterJoin::Deletion done = m_session.after().deleteSources();
    QStringList problems;
    if (!done.message.isEmpty())
        problems << done.message.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& kept : done.noTrash)
        problems << tr("%1: kept, because no trash takes it.").arg(kept);
    for (const QString& problem : std::as_const(problems))
        say(problem);
    finish(problems.isEmpty() ? kJoined : kFailed);
}

void CommandLineJoin::say(const QString& line)
{
    if (m_lineOpen)
        m_write(QStringLiteral("\n"));
    m_lineOpen = false;
    m_write(QStringLiteral("reelbind: ") + line + QLatin1Char('\n'));
}

void CommandLineJoin::fail(const QString& line, int status)
{
    if (m_finished || m_failed)
        return;
    m_failed = true;
    say(line);
    // A failure found while the session runs is told at once; the session's end finishes.
    if (!m_session.isRunning())
        finish(status);
}

void CommandLineJoin::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_lineOpen)
        m_write(QStringLiteral("\n"));
    m_lineOpen = false;
    QMetaObject::invokeMethod(
        this, [this, status] { emit finished(status); }, Qt::QueuedConnection);
}
