#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace vantorelle {

// The panes of the window, in sidebar order.
enum class Pane { input, output, settings };

inline constexpr std::array<Pane, 3> allPanes{Pane::input, Pane::output, Pane::settings};

constexpr std::string_view rawValue(Pane pane) noexcept
{
    switch (pane) {
    case Pane::input: return "input";
    case Pane::output: return "output";
    case Pane::settings: return "settings";
    }
    return "input";
}

constexpr std::optional<Pane> paneFromRawValue(std::string_view raw) noexcept
{
    for (const Pane pane : allPanes) {
        if (rawValue(pane) == raw) return pane;
    }
    return std::nullopt;
}

inline QString paneLabel(Pane pane)
{
    switch (pane) {
    case Pane::input: return QStringLiteral("Input Devices");
    case Pane::output: return QStringLiteral("Output Devices");
    case Pane::settings: return QStringLiteral("Settings");
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
