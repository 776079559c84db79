#include "cli/WindowModule.h"

#include "cli/NoDisplayMessage.h"
#include "ui/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <type_traits>
#include <cstdlib>

namespace {

// Warnings a normal start gives for conditions that are expected and change nothing: the
// offscreen and minimal platforms cannot raise a window, and a session without a runtime
// folder gets Qt's private one. Every other message keeps its usual form.
bool isExpected(const QMessageLogContext& context, const QString& message)
{
    const QLatin1String category(context.category != nullptr ? context.category : "");
    if (message == QLatin1String("This plugin does not support raise()")) return true;
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return true;
    // These come just before the failure below, which says it in one line (or, when another
    // display opens, before a window that works).
    if (category == QLatin1String("qt.qpa.xcb") && message.startsWith(QLatin1String("could not connect to display"))) return true;
    if (message.startsWith(QLatin1String("Failed to create wl_display"))) return true;
    // Qt 6.5 and later name the library their X11 support lacks even where no X11 display is
    // named, so X11 was never to be tried; with one named, it says why that display failed.
    if (message.startsWith(QLatin1String("From 6.5.0, xcb-cursor0")) && qEnvironmentVariableIsEmpty("DISPLAY")) return true;
    return category == QLatin1String("qt.qpa.plugin")
        && (message.startsWith(QLatin1String("Could not load the Qt platform plugin"))
            || message.startsWith(QLatin1String("Could not find the Qt platform plugin")));
}

bool waylandPluginInstalled()
{
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        if (!QDir(folder + QStringLiteral("/platforms")).entryList({QStringLiteral("libqwayland-*")}, QDir::Files).isEmpty()) {
            return true;
        }
    }
    return false;
}

void filterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("no Qt platform plugin could be initialized"))) {
        const vantorelle::DisplaysFound found{qEnvironmentVariable("WAYLAND_DISPLAY").toStdString(),
                                              qEnvironmentVariable("DISPLAY").toStdString(), waylandPluginInstalled()};
        std::fputs(vantorelle::noDisplayMessage(found).c_str(), stderr);
        std::_Exit(EXIT_FAILURE);
    }
    if (type != QtFatalMsg && isExpected(context, message)) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

extern "C" __attribute__((visibility("default"))) int vantorelle_window_main(int argc, char** argv)
{
    qInstallMessageHandler(filterMessages);
    return vantorelle::runApplication(argc, argv);
}

// The loader calls the entry through this type; a change of either shows here.
static_assert(std::is_same_v<decltype(&vantorelle_window_main), vantorelle::windowModule::Entry>);
