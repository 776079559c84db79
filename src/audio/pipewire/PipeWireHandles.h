#pragma once
// Owners of libpipewire's objects: each is released exactly once, listeners before their object.
#include <pipewire/pipewire.h>

#include <memory>

namespace vantorelle::pipewire {

// Our listener on a libpipewire object, removed when it goes, which must be before the object.
class Hook {
public:
    Hook() noexcept { spa_zero(hook_); }
    ~Hook() { spa_hook_remove(&hook_); }
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;
    spa_hook* get() noexcept { return &hook_; }

private:
    spa_hook hook_;
};

struct ProxyDestroy {
    void operator()(pw_proxy* proxy) const noexcept { pw_proxy_destroy(proxy); }
};

// A proxy and our listener on it, which goes first.
template <typename Interface>
class Bound {
public:
    explicit Bound(Interface* object) noexcept : proxy_(reinterpret_cast<pw_proxy*>(object)) {}
    bool isValid() const noexcept { return proxy_ != nullptr; }
    Interface* get() const noexcept { return reinterpret_cast<Interface*>(proxy_.get()); }
    spa_hook* hook() noexcept { return hook_.get(); }

private:
    std::unique_ptr<pw_proxy, ProxyDestroy> proxy_;
    Hook hook_;
};

struct CoreDisconnect {
    void operator()(pw_core* core) const noexcept { pw_core_disconnect(core); }
};

} // namespace vantorelle::pipewire
