#include "core/join/JoinSession.h"

#include "core/movies/MoviePlan.h"
#include "core/queue/JoinQueue.h"
#include "core/settings/Preferences.h"
#include "core/text/StrFunc.h"

using Kind = JoinVerdict::Kind;

JoinSession::JoinSession(JoinQueue& queue, Preferences& live, FileSystem& files, QObject* parent)
    : QObject(parent), m_queue(queue), m_live(live), m_checks(files, m_cancel), m_byteCopy(files),
      m_oneMovie(files), m_after(queue, live, files, m_record)
{
    connect(&m_relay, &ProgressRelay::batchStartedHere, this, &JoinSession::batchStarted);
    connect(&m_relay, &ProgressRelay::fileStartedHere, this, &JoinSession::fileStarted);
    connect(&m_relay, &ProgressRelay::copiedHere, this, &JoinSession::copied);
}

JoinSession::~JoinSession()
{
    m_cancel.cancel(true);
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

template <typename Work, typename Done> void JoinSession::offThread(Work work, Done done)
{
    if (!m_worker) {
        m_thread.setObjectName(QStringLiteral("join"));
        m_worker = new QObject;
        m_worker->moveToThread(&m_thread);
        m_thread.start();
    }
    QMetaObject::invokeMethod(
        m_worker,
        [this, work = std::move(work), done = std::move(done)]() mutable {
            auto result = work();
            QMetaObject::invokeMethod(
                this, [done = std::move(done), result = std::move(result)] { done(result); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

bool JoinSession::start()
{
    if (isRunning())
        return false;
    m_cancel.reset();
    m_record = JoinRecord();
    m_record.rows = m_queue.rows();
    m_sources.clear();
    m_sources.reserve(m_record.rows.size());
    for (const QueueRow& row : std::as_const(m_record.rows))
        m_sources << row.fullPath();
    m_question.clear();
    m_difference.clear();
    m_notice.clear();
    m_message.clear();
    m_family = MovieFamily::None;
    m_compared.clear();
    m_asOneMovie = false;
    m_ending = Ending::None;
    m_queue.setJoinRunning(true);
    setPhase(Phase::LookingAtFiles);
    offThread([this, sources = m_sources] { return m_checks.lookAtKinds(sources); },
              [this](const JoinVerdict& kinds) { kindsSeen(kinds); });
    return true;
}

void JoinSession::kindsSeen(const JoinVerdict& kinds)
{
    if (m_phase != Phase::LookingAtFiles)
        return;
    if (kinds.kind == Kind::Stopped || m_cancel.cancelled())
        return end(Ending::NoTarget);
    if (kinds.kind != Kind::Ask)
        return askForTarget();
    m_question = kinds.text;
    m_difference = kinds.difference;
    m_family = kinds.oneMovie;
    m_compared = kinds.compared;
    setPhase(Phase::Asking);
}

void JoinSession::answer(Choice choice)
{
    if (m_phase != Phase::Asking)
        return;
    // No to the question ends the join as a cancelled save dialog does.
    if (choice == Choice::Cancel || (choice == Choice::OneMovie && !offersOneMovie()))
        return end(Ending::NoTarget);
    m_asOneMovie = choice == Choice::OneMovie;
    askForTarget();
}

void JoinSession::askForTarget()
{
    setPhase(Phase::ChoosingTarget);
}

QString JoinSession::targetFolder() const
{
    return m_live.folderText(SettingId::TargetDir);
}

QString JoinSession::targetFilter() const
{
    return m_asOneMovie ? movieFilter(m_family) : QString();
}

QString JoinSession::targetSuffix() const
{
    return m_asOneMovie ? movieSuffix(m_family) : QString();
}

void JoinSession::chooseTarget(const QString& target)
{
    if (m_phase != Phase::ChoosingTarget)
        return;
    if (target.isEmpty())
        return end(Ending::NoTarget);
    m_record.target = target;
    setPhase(Phase::Checking);
    offThread([this, sources = m_sources, target] { return m_checks.checkTarget(sources, target); },
              [this](const JoinVerdict& verdict) { targetChecked(verdict); });
}

void JoinSession::targetChecked(const JoinVerdict& verdict)
{
    if (m_phase != Phase::Checking)
        return;
    if (verdict.kind == Kind::Refused || verdict.kind == Kind::NoSpace)
        m_notice = verdict.text;
    if (verdict.kind == Kind::NoSpace) // one too large is still named in the window
        return end(Ending::NoSpace);
    if (verdict.kind != Kind::Go || m_cancel.cancelled()) {
        m_record.target.clear();
        return end(Ending::NoTarget);
    }
    m_live.rememberFolder(SettingId::TargetDir, StrFunc::folderOf(m_record.target));
    m_chunk = m_live.chunkSize();
    setPhase(Phase::Joining);
    JoinMethod* method = m_asOneMovie ? static_cast<JoinMethod*>(&m_oneMovie) : &m_byteCopy;
    offThread([this, method,
               job = JoinMethod::Job{m_sources, m_record.target, m_chunk, m_family,
                                     m_compared}] { return method->run(job, m_relay, m_cancel); },
              [this](const JoinMethod::Result& result) { methodEnded(result); });
}

void JoinSession::methodEnded(const JoinMethod::Result& result)
{
    m_record.read = result.read;
    m_record.written = result.written;
    m_message = result.message;
    end(result.ending);
}

void JoinSession::setPhase(Phase phase)
{
    m_phase = phase;
    emit phaseChanged(phase);
}

void JoinSession::end(Ending ending)
{
    m_ending = m_record.ending = ending;
    m_phase = Phase::Ended;
    m_queue.setJoinRunning(false);
    emit phaseChanged(Phase::Ended);
}

void JoinSession::cancel(bool keepNothing)
{
    if (!isRunning())
        return;
    m_cancel.cancel(keepNothing);
    if (m_phase == Phase::Asking || m_phase == Phase::ChoosingTarget)
        end(Ending::NoTarget);
}

QString JoinSession::finalText() const
{
    const QString more = m_message.isEmpty() ? QString() : QLatin1Char('\n') + m_message;
    switch (m_ending) {
    case Ending::Joined:
        return tr("File %1 has successfully been joined!").arg(m_record.target) + more;
    case Ending::Cancelled:
        return tr("Operation aborted by user") + more;
    case Ending::Mismatched:
    case Ending::Failed:
        return m_message;
    case Ending::NoSpace:
        return JoinChecks::noSpaceText();
    default:
        return QString();
    }
}

QString JoinSession::caption() const
{
    switch (m_ending) {
    case Ending::Joined:
        return tr("Joining Files...Done!");
    case Ending::Cancelled:
        return tr("Joining Files...Cancelled!");
    case Ending::Mismatched: // not done: the joined file is not what the checksum file says
    case Ending::Failed:
        return tr("Joining Files...Failed!");
    default:
        return tr("Joining Files...");
    }
}
