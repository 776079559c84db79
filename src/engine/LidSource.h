#pragma once

#include <functional>

namespace vantorelle {

// Tells whether the laptop lid is closed and reports each real change once.
class LidSource {
public:
    virtual ~LidSource() = default;
    virtual bool isClosed() const = 0;
    // Called with the new state after each change, on the owner's thread.
    virtual void setOnChange(std::function<void(bool)> onChange) = 0;
    // Begins watching; idempotent, and tries again after a failed start.
    virtual void start() = 0;
};

} // namespace vantorelle
