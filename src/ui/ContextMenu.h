#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace vantorelle {

// The platform's red, for what removes or destroys something.
inline constexpr QColor destructiveColor{255, 0, 0};

struct MenuItem {
    QString text;
    // Removes or destroys something; the menu marks it (property "destructive") and writes it
    // in destructiveColor.
    bool destructive = false;
    std::function<void()> action;
};

// The menu for these items, or nothing when there are none.
std::unique_ptr<QMenu> buildContextMenu(const std::vector<MenuItem>& items, QWidget* parent);

// Shows a context menu on right click, with the items `items` gives at that moment; no menu
// at all when it gives none.
void installContextMenu(QWidget& widget, std::function<std::vector<MenuItem>()> items);

} // namespace vantorelle
