#pragma once

namespace vantorelle {

// Gives screen readers the roles the toolkit cannot guess for our own controls: the sidebar
// entries as selectable page tabs with a press action, the level bar as a level indicator, a
// device card's menu items as its actions.
// Safe to call any number of times.
void installAccessibility();

} // namespace vantorelle
