// Start-up to the first painted window, built the way the application builds it (same
// application set-up, single-instance claim, engine, shell, window, engine start from the event
// loop). Prints CLOCK_REALTIME stamps so the caller can measure from before the process
// existed; then quits. bench/ui.sh runs it repeatedly.
//   first_paint_ns   the first frame of the window has been painted and flushed
//   filled_paint_ns  the first frame painted after the engine's first scan
//   main_ns          main() entered (the rest is loading and dynamic linking)
#include "engine/SwitchEngine.h"
#include "services/LoginItem.h"
#include "ui/AppMark.h"
#include "ui/AppShell.h"
#include "services/ApplicationEngine.h"
#include "ui/LightAppearance.h"
#include "ui/MainWindow.h"
#include "ui/SingleInstance.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

long long realtimeNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Stamps the end of the first paint pass, and of the first one after the engine started.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QObject* parent) : QObject(parent) {}
    bool engineStarted = false;
    long long firstPaint = 0;
    long long filledPaint = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !pending_) {
            // The paint pass (children included) and the flush finish before the event loop
            // takes the next event: stamp then.
            pending_ = true;
            const bool afterStart = engineStarted;
            QTimer::singleShot(0, this, [this, afterStart] {
                pending_ = false;
                const long long now = realtimeNs();
                if (firstPaint == 0) firstPaint = now;
                if (afterStart && filledPaint == 0) {
                    filledPaint = now;
                    QCoreApplication::quit();
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool pending_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    const long long mainEntered = realtimeNs();
    QApplication app(argc, argv);
    vantorelle::installTranslations(app);
    QApplication::setApplicationName(QStringLiteral("Vantorelle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vantorelle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vantorelle"));
    QApplication::setWindowIcon(vantorelle::AppMark::icon());
    QApplication::setQuitOnLastWindowClosed(false);
    vantorelle::applyLightAppearance();

    vantorelle::SingleInstance instance(QDBusConnection::sessionBus());
    if (!instance.claim()) return 2;

    const auto engine = vantorelle::makeApplicationEngine();
    vantorelle::AppShell shell(*engine, [] { return vantorelle::LoginItem::forCurrentProcess(); });
    auto* watch = new PaintWatch(&shell);
    shell.showWindow();
    shell.window()->installEventFilter(watch);
    QTimer::singleShot(0, &shell, [engine, &shell, watch] {
        engine->start();
        watch->engineStarted = true;
        shell.showWindow();
        // The device list may not change the window at all: a repaint is still asked for.
        shell.window()->update();
    });
    // Never hang a benchmark run.
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(1); });
    const int status = QApplication::exec();
    std::printf("main_ns=%lld first_paint_ns=%lld filled_paint_ns=%lld\n", mainEntered, watch->firstPaint,
                watch->filledPaint);
    return status;
}
