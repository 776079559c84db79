#pragma once

#include <chrono>
#include <functional>

namespace vantorelle {

// Runs work a while later on the engine's thread, from the thread's own loop (never from inside
// the call that asks for it).
class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual void after(std::chrono::milliseconds delay, std::function<void()> then) = 0;
};

} // namespace vantorelle
