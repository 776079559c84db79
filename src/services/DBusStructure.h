#pragma once

#include <QDBusArgument>

#include <tuple>

namespace vantorelle {

// A D-Bus structure of plain fields, sent and read field by field in their order. A type takes
// part by naming its fields, as `auto fields() { return std::tie(a, b); }` and its const twin.
template <typename Structure>
    requires requires(const Structure& structure) { structure.fields(); }
QDBusArgument& operator<<(QDBusArgument& argument, const Structure& structure)
{
    argument.beginStructure();
    std::apply([&argument](const auto&... field) { (argument << ... << field); }, structure.fields());
    argument.endStructure();
    return argument;
}

template <typename Structure>
    requires requires(Structure& structure) { structure.fields(); }
const QDBusArgument& operator>>(const QDBusArgument& argument, Structure& structure)
{
    argument.beginStructure();
    std::apply([&argument](auto&... field) { (argument >> ... >> field); }, structure.fields());
    argument.endStructure();
    return argument;
}

} // namespace vantorelle
