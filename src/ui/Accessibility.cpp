#include "ui/Accessibility.h"

#include "ui/DeviceCard.h"
#include "ui/MeterBar.h"
#include "ui/SidebarEntry.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace vantorelle {

namespace {

constexpr const char* roleProperty = "vantorelle.accessibleRole";
constexpr const char* hiddenProperty = "vantorelle.hiddenFromScreenReaders";

bool isHidden(const QAccessibleInterface* child)
{
    const auto* widget = qobject_cast<const QWidget*>(child != nullptr ? child->object() : nullptr);
    return widget != nullptr && widget->property(hiddenProperty).toBool();
}

bool hasHiddenChild(const QWidget& widget)
{
    for (const QObject* child : widget.children()) {
        if (child->property(hiddenProperty).toBool()) return true;
    }
    return false;
}

// A widget with the role it was given, whose hidden children are left out of the tree.
class PlainAccessible : public QAccessibleWidget {
public:
    explicit PlainAccessible(QWidget* widget, QAccessible::Role role = QAccessible::Client)
        : QAccessibleWidget(widget, role)
    {
    }

    QAccessible::Role role() const override
    {
        const QVariant given = widget()->property(roleProperty);
        return given.isValid() ? static_cast<QAccessible::Role>(given.toInt()) : QAccessibleWidget::role();
    }
    int childCount() const override { return static_cast<int>(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const std::vector<QAccessibleInterface*> shown = shownChildren();
        return index >= 0 && index < static_cast<int>(shown.size()) ? shown[static_cast<std::size_t>(index)] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const std::vector<QAccessibleInterface*> shown = shownChildren();
        const auto found = std::ranges::find(shown, child);
        return found == shown.end() ? -1 : static_cast<int>(found - shown.begin());
    }

private:
    std::vector<QAccessibleInterface*> shownChildren() const
    {
        std::vector<QAccessibleInterface*> shown;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* each = QAccessibleWidget::child(i);
            if (each != nullptr && !isHidden(each)) shown.push_back(each);
        }
        return shown;
    }
};

class SidebarEntryAccessible final : public PlainAccessible {
public:
    explicit SidebarEntryAccessible(SidebarEntry* entry) : PlainAccessible(entry, QAccessible::PageTab) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name) return paneLabel(entry()->pane());
        return PlainAccessible::text(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = PlainAccessible::state();
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

// Read-only: the toolkit's bridge still lists Increase and Decrease for anything with a value,
// and they change nothing here.
class MeterBarAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MeterBarAccessible(MeterBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar, QCoreApplication::translate("vantorelle::MeterBar", "Input level")) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }
    QVariant currentValue() const override { return static_cast<const MeterBar*>(widget())->level(); }
    void setCurrentValue(const QVariant&) override {} // it only shows the microphone
    QVariant maximumValue() const override { return 1.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }
};

// "Connect" is also an action of the card, so a screen reader reaches it without the menu (the
// moves have their buttons).
class DeviceCardAccessible final : public PlainAccessible {
public:
    explicit DeviceCardAccessible(DeviceCard* card) : PlainAccessible(card) {}

    QStringList actionNames() const override
    {
        QStringList names = PlainAccessible::actionNames();
        if (const std::optional<MenuItem> connect = card()->connectItem()) names << connect->text;
        return names;
    }
    void doAction(const QString& name) override
    {
        const std::optional<MenuItem> connect = card()->connectItem();
        if (connect && connect->text == name) return connect->action();
        PlainAccessible::doAction(name);
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
    // Decided once, at the object's own class, before the toolkit's answer for it.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || className != QLatin1String(object->metaObject()->className())) return nullptr;
    if (widget->property(roleProperty).isValid() || hasHiddenChild(*widget)) return new PlainAccessible(widget);
    return nullptr;
}

// The toolkit's answer, given before the widget was marked (while it was being built), is
// dropped, so the next question gets ours; ours reads the marks whenever it is asked.
void forgetEarlierAnswer(QWidget& widget)
{
    QAccessibleInterface* const earlier = QAccessible::queryAccessibleInterface(&widget);
    if (earlier != nullptr && dynamic_cast<PlainAccessible*>(earlier) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(earlier));
    }
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

void setAccessibleRole(QWidget& widget, QAccessible::Role role, const QString& name)
{
    installAccessibility();
    widget.setProperty(roleProperty, static_cast<int>(role));
    if (!name.isEmpty()) widget.setAccessibleName(name);
    forgetEarlierAnswer(widget);
}

void hideFromScreenReaders(QWidget& widget)
{
    installAccessibility();
    widget.setProperty(hiddenProperty, true);
    if (QWidget* parent = widget.parentWidget()) forgetEarlierAnswer(*parent);
}

} // namespace vantorelle
