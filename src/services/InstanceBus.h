#pragma once

namespace vantorelle {

// The bus names of the running instance's interface, shared by the caller and the instance.
namespace instanceBus {
inline constexpr char service[] = "org.vantorelle.Vantorelle";
inline constexpr char path[] = "/org/vantorelle/Vantorelle";
inline constexpr char interface[] = "org.vantorelle.Vantorelle";
inline constexpr char next[] = "Next";
inline constexpr char select[] = "Select";
// A NAME that matched no device or several (exit status 2), and no device to choose (1).
inline constexpr char badNameError[] = "org.vantorelle.Vantorelle.Error.BadName";
inline constexpr char noDeviceError[] = "org.vantorelle.Vantorelle.Error.NoDevice";
} // namespace instanceBus

} // namespace vantorelle
