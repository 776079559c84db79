#pragma once


namespace vantorelle {

// The interface is designed light only: a fixed style and a light palette, whatever the
// desktop's theme says.
void applyLightAppearance();

} // namespace vantorelle
