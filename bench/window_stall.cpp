// How long the window's thread stalls while the sound server is stopped: the real engine on a Qt
// event loop with a 10 ms timer. After 2 s of calm the server's processes are stopped (SIGSTOP)
// for 3 s; 0.5 s in, COMMAND runs (the script closes the lid with it), so the engine has a reason
// to talk to the stopped server. Prints the timer's longest lateness, calm and while stopped.
// Usage: bench_window_stall COMMAND PID...
#include "engine/SwitchEngine.h"
#include "services/ApplicationEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

enum Phase { settling, calm, stopped, done };

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return 2;
    QCoreApplication app(argc, argv);
    std::vector<pid_t> server;
    for (int i = 2; i < argc; ++i) server.push_back(pid_t(std::atoi(argv[i])));
    const auto signalServer = [&server](int signal) {
        for (const pid_t pid : server) ::kill(pid, signal);
    };

    const auto engine = vantorelle::makeApplicationEngine();
    QTimer::singleShot(0, &app, [&engine] { engine->start(); });

    std::atomic<Phase> phase = settling;
    std::array<qint64, 4> longest{};
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    Phase lastPhase = settling;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.elapsed();
        // A stall belongs to the part in which it began.
        longest[lastPhase] = std::max(longest[lastPhase], now - last - 10);
        last = now;
        lastPhase = phase;
    });
    tick.start(10);

    // Off the window's thread, so the timeline keeps its times however long that thread stalls.
    std::thread timeline([&] {
        using namespace std::chrono_literals;
        std::this_thread::sleep_for(1s);
        phase = calm;
        std::this_thread::sleep_for(2s);
        phase = stopped;
        signalServer(SIGSTOP);
        std::this_thread::sleep_for(500ms);
        [[maybe_unused]] const int status = std::system(argv[1]);
        std::this_thread::sleep_for(2500ms);
        signalServer(SIGCONT);
        phase = done;
        std::this_thread::sleep_for(1s);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    timeline.join();
    std::printf("longest lateness of a 10 ms timer: calm %lld ms, server stopped %lld ms\n",
                static_cast<long long>(longest[calm]), static_cast<long long>(longest[stopped]));
    return 0;
}
