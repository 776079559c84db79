#pragma once

namespace vantorelle {

// libpulse keeps the user's cookie in the config folder and makes one there when there is none.
// Where it cannot (a read-only config folder), every connection says so on standard error, which
// in the window comes to dozens of lines a minute. The cookie is only a random key of the user's
// own, so then one in the runtime folder serves as well: PULSE_COOKIE points there. A cookie that
// exists, a PULSE_COOKIE already set or a missing runtime folder leave everything as it is.
void keepPulseCookieOutOfReadOnlyConfig();

} // namespace vantorelle
