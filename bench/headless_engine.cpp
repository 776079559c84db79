// The switching engine on the real services without a window, for benchmarks and fault
// scripts: runs until it receives SIGTERM or SIGINT.
#include "engine/SwitchEngine.h"
#include "services/ApplicationEngine.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) { [[maybe_unused]] const auto ignored = ::write(signalPipe[1], "x", 1); }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    QSocketNotifier quit(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quit, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    const auto engine = vantorelle::makeApplicationEngine();
    QTimer::singleShot(0, &app, [&engine] { engine->start(); });
    return app.exec();
}
