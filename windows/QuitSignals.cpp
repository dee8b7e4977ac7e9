#include "windows/QuitSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace skelda {

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void OnSignal(int sig) {
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    if (g_pipe[0] >= 0) {
        const ssize_t n = ::write(g_pipe[0], &byte, 1);
        (void)n;
    }
    errno = saved;
}
}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0) return;  // one instance a process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::OnReadable);
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

QuitSignals::~QuitSignals() {
    if (!notifier_) return;
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

// A shut-down outweighs a Ctrl+C that came with it: nobody is there to answer.
void QuitSignals::OnReadable() {
    char buf[64];
    bool shutDown = false, close = false;
    ssize_t n;
    while ((n = ::read(g_pipe[1], buf, sizeof buf)) > 0)
        for (ssize_t i = 0; i < n; ++i) (buf[i] == SIGINT ? close : shutDown) = true;
    if (shutDown)
        emit shutDownRequested();
    else if (close)
        emit closeRequested();
}

}  // namespace skelda
