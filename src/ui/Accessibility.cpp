#include "ui/Accessibility.h"

#include "ui/DeviceCard.h"
#include "ui/MeterBar.h"
#include "ui/SidebarEntry.h"

#include <QAccessibleWidget>

namespace vantorelle {

namespace {

class SidebarEntryAccessible final : public QAccessibleWidget {
public:
    explicit SidebarEntryAccessible(SidebarEntry* entry) : QAccessibleWidget(entry, QAccessible::PageTab) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name) return paneLabel(entry()->pane());
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = entry()->isSelected();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction()) emit entry()->clicked();
    }

private:
    SidebarEntry* entry() const { return static_cast<SidebarEntry*>(widget()); }
};

class MeterBarAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MeterBarAccessible(MeterBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar, QStringLiteral("Input level")) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return static_cast<const MeterBar*>(widget())->level(); }
    void setCurrentValue(const QVariant&) override {} // it only shows the microphone
    QVariant maximumValue() const override { return 1.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }
};

// What the card's context menu offers ("Connect", "Remove from list") is also an action of the
// card, so a screen reader reaches it without opening the menu.
class DeviceCardAccessible final : public QAccessibleWidget {
public:
    explicit DeviceCardAccessible(DeviceCard* card) : QAccessibleWidget(card) {}

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        for (const MenuItem& item : card()->menuItems()) names << item.text;
        return names;
    }
    void doAction(const QString& name) override
    {
        for (const MenuItem& item : card()->menuItems()) {
            if (item.text == name && item.action) return item.action();
        }
        QAccessibleWidget::doAction(name);
    }

private:
    DeviceCard* card() const { return static_cast<DeviceCard*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("vantorelle::SidebarEntry")) {
        return new SidebarEntryAccessible(static_cast<SidebarEntry*>(object));
    }
    if (className == QLatin1String("vantorelle::DeviceCard")) return new DeviceCardAccessible(static_cast<DeviceCard*>(object));
    if (className == QLatin1String("vantorelle::MeterBar")) return new MeterBarAccessible(static_cast<MeterBar*>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleFor);
        return true;
    }();
    (void)installed;
}

} // namespace vantorelle
