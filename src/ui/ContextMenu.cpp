#include "ui/ContextMenu.h"

#include <QMenu>
#include <QStyleOptionMenuItem>
#include <QWidget>

namespace vantorelle {

namespace {

// Writes destructive items in red (white on the highlight, like every other item).
class ItemMenu final : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override
    {
        QMenu::initStyleOption(option, action);
        if (!action->property("destructive").toBool() || !action->isEnabled()) return;
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
            option->palette.setColor(QPalette::Active, role, destructiveColor);
            option->palette.setColor(QPalette::Inactive, role, destructiveColor);
        }
    }
};

} // namespace

std::unique_ptr<QMenu> buildContextMenu(const std::vector<MenuItem>& items, QWidget* parent)
{
    if (items.empty()) return nullptr;
    std::unique_ptr<QMenu> menu = std::make_unique<ItemMenu>(parent);
    for (const MenuItem& item : items) {
        QAction* action = menu->addAction(item.text);
        action->setProperty("destructive", item.destructive);
        if (item.action) QObject::connect(action, &QAction::triggered, menu.get(), item.action);
    }
    return menu;
}

void installContextMenu(QWidget& widget, std::function<std::vector<MenuItem>()> items)
{
    widget.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&widget, &QWidget::customContextMenuRequested, &widget,
                     [target = &widget, items = std::move(items)](const QPoint& position) {
                         std::unique_ptr<QMenu> menu = buildContextMenu(items ? items() : std::vector<MenuItem>{}, target);
                         if (!menu) return;
                         // The menu deletes itself once closed (it is also a child of the widget).
                         QMenu* shown = menu.release();
                         shown->setAttribute(Qt::WA_DeleteOnClose);
                         shown->popup(target->mapToGlobal(position));
                     });
}

} // namespace vantorelle
