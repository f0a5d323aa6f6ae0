#include "core/JoinMethod.h"

JoinMethod::~JoinMethod() = default;

JoinMethod::Result ByteCopy::run(const Job& job, JoinProgress& progress)
{
    CopyLoop loop(m_files, m_pump, job.sources, job.target, job.chunkSize, progress, m_options);
    m_loop = &loop;
    if (m_cancelled)
        loop.cancel(m_keepNothing);
    const CopyLoop::Outcome outcome = loop.run();
    m_loop = nullptr;
    m_cancelled = m_keepNothing = false;
    m_kernelCopied = loop.kernelCopied();
    m_longestRoundNs = loop.longestRoundNs();
    m_shared = loop.sharedSources();

    Result r;
    r.read = loop.sourcesRead();
    r.written = loop.written();
    switch (outcome) {
    case CopyLoop::Outcome::Joined:
        r.ending = JoinEnding::Joined;
        break;
    case CopyLoop::Outcome::Cancelled:
        r.ending = JoinEnding::Cancelled;
        break;
    case CopyLoop::Outcome::Failed:
        r.failure = loop.failureText();
        break;
    }
    return r;
}

void ByteCopy::cancel(bool keepNothing)
{
    m_cancelled = true;
    m_keepNothing |= keepNothing;
    if (m_loop)
        m_loop->cancel(keepNothing);
}
