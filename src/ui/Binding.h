#pragma once

#include <functional>

namespace vantorelle {

// A two-way value held elsewhere: reading asks its owner, writing tells it. A control built on
// one shows what `get` says after every write, so an owner that refuses a value wins.
template <typename T>
struct Binding {
    std::function<T()> get;
    std::function<void(T)> set;
};

using BoolBinding = Binding<bool>;

} // namespace vantorelle
