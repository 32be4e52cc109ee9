#include "QuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] read by the event loop, [1] written by the handler.
int pipeEnds[2] = {-1, -1};

extern "C" void WriteWakeByte(int signal)
{
    const int savedErrno = errno;
    const char byte = char(signal);
    // A full pipe already holds a wake-up; nothing else is safe to do here.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        throw std::runtime_error("Cannot create the pipe for the quit signals");
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Drain);

    struct sigaction action = {};
    action.sa_handler = WriteWakeByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int signal : {SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::Drain()
{
    char bytes[64];
    int signal = 0;
    for (ssize_t got; (got = ::read(pipeEnds[0], bytes, sizeof bytes)) > 0;)
        signal = bytes[got - 1];
    emit Received(signal);
}
