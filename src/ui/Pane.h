#pragma once

#include <QCoreApplication>
#include <QString>

#include <array>

namespace vantorelle {

// The panes of the window, in sidebar order.
enum class Pane { input, output, settings };

inline constexpr std::array<Pane, 3> allPanes{Pane::input, Pane::output, Pane::settings};

inline QString paneLabel(Pane pane)
{
    switch (pane) {
    case Pane::input: return QCoreApplication::translate("vantorelle::Pane", "Input Devices");
    case Pane::output: return QCoreApplication::translate("vantorelle::Pane", "Output Devices");
    case Pane::settings: return QCoreApplication::translate("vantorelle::Pane", "Settings");
    }
    return {};
}

inline QString paneSymbol(Pane pane)
{
    switch (pane) {
    case Pane::input: return QStringLiteral("mic");
    case Pane::output: return QStringLiteral("speaker.wave.2");
    case Pane::settings: return QStringLiteral("gearshape");
    }
    return {};
}

} // namespace vantorelle
