#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

namespace vantorelle {

// Gives screen readers the roles the toolkit cannot guess for our own controls: the sidebar
// entries as selectable page tabs with a press action, the level bar as a level indicator, a
// device card's Connect as its action, and what setAccessibleRole() and
// hideFromScreenReaders() ask for. Safe to call any number of times; call it before the first
// widget is made, as the toolkit keeps what it first answered.
void installAccessibility();

// Screen readers see `widget` as `role`, named `name` when one is given.
void setAccessibleRole(QWidget& widget, QAccessible::Role role, const QString& name = QString());
// Screen readers skip `widget` and what it holds: decoration, or parts whose meaning the widget
// around them already gives (a card's rank and status, a switch's caption).
void hideFromScreenReaders(QWidget& widget);

} // namespace vantorelle
