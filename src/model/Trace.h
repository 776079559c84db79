#pragma once

#include <string>

namespace vantorelle {

// Where a layer tells what it saw, did and why, for the question "why didn't it switch?". Off
// unless the application connects it to its logging; lines are only made while it is on.
class Trace {
public:
    virtual ~Trace() = default;
    virtual bool isOn() const noexcept = 0;
    virtual void write(const std::string& line) = 0;
};

} // namespace vantorelle
