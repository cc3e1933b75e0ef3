#include "platform/qt/SessionEnd.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace qthost {
namespace {

// A signal handler may only write: the event loop reads the other end.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

void catchSignal(int signal)
{
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

void restoreSignal(int signal)
{
    std::signal(signal, SIG_DFL);
}

} // namespace

SessionEnd::SessionEnd(std::function<void()> closeEverything, QObject* parent)
    : QObject(parent), closeEverything_(std::move(closeEverything))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0) {
        notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            [[maybe_unused]] const auto read = ::read(signalPipe[1], &byte, 1);
            ended();
        });
        catchSignal(SIGTERM);
        catchSignal(SIGHUP);
    }
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::commitDataRequest, this, [this] { ended(); });
    }
}

SessionEnd::~SessionEnd()
{
    if (notifier_ != nullptr) {
        restoreSignal(SIGTERM);
        restoreSignal(SIGHUP);
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
    }
}

void SessionEnd::ended()
{
    if (!done_) {
        done_ = true;
        closeEverything_();
    }
}

} // namespace qthost
