#include "platform/SignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int s_pipe[2] = {-1, -1};

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t w = ::write(s_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(const QList<int>& signalNumbers, QObject* parent)
    : QObject(parent), m_signals(signalNumbers)
{
    if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPipe);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int number : std::as_const(m_signals))
        ::sigaction(number, &sa, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    for (int number : std::as_const(m_signals))
        ::signal(number, SIG_DFL);
    delete m_notifier;
    for (int& fd : s_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalWatcher::readPipe()
{
    unsigned char byte;
    while (::read(s_pipe[0], &byte, 1) == 1)
        emit received(byte);
}
