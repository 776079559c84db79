#include "support/platform/DBusServices.h"

#include <gtest/gtest.h>

namespace {

// Private buses for the whole binary, up before any test touches D-Bus.
[[maybe_unused]] ::testing::Environment* const dbusEnvironment =
    ::testing::AddGlobalTestEnvironment(new vantorelle::test::DBusServicesEnvironment);

} // namespace
