#pragma once

namespace vantorelle {

// One-shot read of UPower's lid on a private system-bus connection of its own, with libdbus
// alone, so the reports need no toolkit. True only when UPower reports a lid that is present and
// closed; false when the bus, UPower, the lid or either property is not there, or UPower does
// not answer within half a second.
bool readUpowerLidClosed() noexcept;

} // namespace vantorelle
