#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace vantorelle {

struct MenuItem {
    QString text;
    // Removes or destroys something; the menu marks it (property "destructive").
    bool destructive = false;
    std::function<void()> action;
};

// The menu for these items, or nothing when there are none.
std::unique_ptr<QMenu> buildContextMenu(const std::vector<MenuItem>& items, QWidget* parent);

// Shows a context menu on right click, with the items `items` gives at that moment; no menu
// at all when it gives none.
void installContextMenu(QWidget& widget, std::function<std::vector<MenuItem>()> items);

} // namespace vantorelle
