#include "core/JoinSession.h"

#include "core/JoinQueue.h"
#include "core/Preferences.h"

JoinSession::Prompts::~Prompts() = default;

JoinSession::JoinSession(JoinQueue& queue, Preferences& live, FileSystem& files, EventPump& pump,
                         QObject* parent)
    : QObject(parent), m_queue(queue), m_live(live), m_checks(files, pump, m_cancelled),
      m_byteCopy(files, pump), m_oneMovie(files, pump), m_after(queue, live, files, m_record)
{
}

JoinSession::~JoinSession() = default;

bool JoinSession::run(Prompts& prompts, JoinProgress& progress)
{
    if (m_running)
        return false;
    m_running = true;
    m_cancelled = false;
    m_record = JoinRecord();
    m_record.rows = m_queue.rows();
    m_failure.clear();
    m_ending = Ending::None;
    m_asOneMovie = false;
    m_queue.setJoinRunning(true);
    end(join(prompts, progress));
    return true;
}

JoinSession::Ending JoinSession::join(Prompts& prompts, JoinProgress& progress)
{
    using Kind = JoinVerdict::Kind;
    QStringList sources;
    sources.reserve(m_record.rows.size());
    for (const QueueRow& row : std::as_const(m_record.rows))
        sources << row.fullPath();

    // No to the question ends the join as a cancelled save dialog does.
    setPhase(Phase::LookingAtFiles);
    const JoinVerdict kinds = m_checks.lookAtKinds(sources);
    if (kinds.kind == Kind::Stopped)
        return Ending::NoTarget;
    if (kinds.kind == Kind::Ask) {
        const bool offered = kinds.oneMovie != MovieFamily::None;
        const Choice choice = prompts.howToJoin(kinds.text, offered);
        if (choice == Choice::Cancel || (!offered && choice == Choice::OneMovie))
            return Ending::NoTarget;
        m_asOneMovie = choice == Choice::OneMovie;
        m_oneMovie.setFamily(kinds.oneMovie);
    }

    setPhase(Phase::ChoosingTarget);
    const QString target =
        prompts.chooseTarget(m_live.folderText(SettingId::TargetDir),
                             m_asOneMovie ? movieFilter(m_oneMovie.family()) : QString());
    if (target.isEmpty())
        return Ending::NoTarget;

    setPhase(Phase::Checking);
    const JoinVerdict verdict = m_checks.checkTarget(sources, target);
    if (verdict.kind == Kind::Refused || verdict.kind == Kind::NoSpace)
        prompts.tell(verdict.text);
    if (verdict.kind == Kind::Go || verdict.kind == Kind::NoSpace)
        m_record.target = target; // one too large is still named in the window
    if (verdict.kind != Kind::Go)
        return verdict.kind == Kind::NoSpace ? Ending::NoSpace : Ending::NoTarget;
    m_live.rememberFolder(SettingId::TargetDir, folderOf(target));

    m_chunk = m_live.chunkSize();
    JoinMethod& method =
        m_asOneMovie ? static_cast<JoinMethod&>(m_oneMovie) : static_cast<JoinMethod&>(m_byteCopy);
    m_method = &method;
    setPhase(Phase::Joining);
    if (m_cancelled)
        method.cancel(false); // stopped before it wrote anything
    const JoinMethod::Result result = method.run({sources, target, m_chunk}, progress);
    m_method = nullptr;
    m_record.read = result.read;
    m_record.written = result.written;
    m_failure = result.failure;
    return result.ending;
}

void JoinSession::setPhase(Phase phase)
{
    m_phase = phase;
    emit phaseChanged(phase);
}

void JoinSession::end(Ending ending)
{
    m_ending = ending;
    setPhase(Phase::Ended);
    m_queue.setJoinRunning(false);
    m_running = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_afterRun);
    for (auto& fn : waiting)
        fn();
}

void JoinSession::cancel(bool keepNothing)
{
    m_cancelled = true;
    if (m_method)
        m_method->cancel(keepNothing);
}

void JoinSession::cancelThen(std::function<void()> then, bool keepNothing)
{
    if (!m_running) {
        if (then)
            then();
        return;
    }
    if (then)
        m_afterRun.push_back(std::move(then));
    cancel(keepNothing);
}

QString JoinSession::finalText() const
{
    switch (m_ending) {
    case Ending::Joined:
        return tr("File %1 has successfully been joined!").arg(m_record.target);
    case Ending::Cancelled:
        return tr("Operation aborted by user");
    case Ending::Failed:
        return m_failure;
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
    case Ending::Failed:
        return tr("Joining Files...Failed!");
    default:
        return tr("Joining Files...");
    }
}
