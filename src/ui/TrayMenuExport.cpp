#include "ui/TrayMenuExport.h"

#include "services/DBusStructure.h"

#include <QActionEvent>
#include <QActionGroup>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <qpa/qplatformmenu.h>

namespace vantorelle {

const QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayout& item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const MenuLayout& child : item.children) argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayout& item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.beginArray();
    item.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        MenuLayout layout;
        child.variant().value<QDBusArgument>() >> layout;
        item.children.push_back(layout);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

namespace {

// A menu text marks its mnemonic with "&" and a literal one as "&&"; the protocol marks the
// mnemonic with "_" and a literal one as "__" (a device named after its server name has many).
QString protocolLabel(const QString& text)
{
    QString label;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == u'&' && i + 1 < text.size()) {
            c = text.at(++i);
            if (c != u'&') label += u'_';
        }
        if (c == u'_') label += u'_';
        label += c;
    }
    return label;
}

QVariantMap itemProperties(const QAction& action)
{
    QVariantMap properties{{QStringLiteral("visible"), action.isVisible()}};
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), protocolLabel(action.text()));
    properties.insert(QStringLiteral("enabled"), action.isEnabled());
    if (action.isCheckable()) {
        const bool radio = action.actionGroup() != nullptr && action.actionGroup()->isExclusive();
        properties.insert(QStringLiteral("toggle-type"), radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
    }
    return properties;
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<MenuItemProperties>();
        qDBusRegisterMetaType<QList<MenuItemProperties>>();
        qDBusRegisterMetaType<MenuItemPropertyNames>();
        qDBusRegisterMetaType<QList<MenuItemPropertyNames>>();
        qDBusRegisterMetaType<MenuLayout>();
        qDBusRegisterMetaType<MenuEvent>();
        qDBusRegisterMetaType<QList<MenuEvent>>();
        return true;
    }();
    (void)registered;
}

} // namespace

void TrayMenuExport::install(QSystemTrayIcon& tray)
{
    QMenu* const menu = tray.contextMenu();
    // The toolkit makes a platform menu only for a tray it serves over D-Bus.
    QObject* const exported = menu != nullptr ? menu->platformMenu() : nullptr;
    // A child of the exported object: it goes with it.
    if (exported != nullptr) new TrayMenuExport(*menu, *exported);
}

TrayMenuExport::TrayMenuExport(QMenu& menu, QObject& exported) : QDBusAbstractAdaptor(&exported), menu_(&menu)
{
    registerTypes();
    announcement_.setSingleShot(true);
    announcement_.setInterval(0);
    connect(&announcement_, &QTimer::timeout, this, &TrayMenuExport::announce);
    menu.installEventFilter(this);
}

QString TrayMenuExport::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

int TrayMenuExport::idOf(QAction* action)
{
    const auto known = ids_.constFind(action);
    if (known != ids_.constEnd()) return *known;
    const int id = nextId_++;
    ids_.insert(action, id);
    return id;
}

QAction* TrayMenuExport::actionOf(int id) const
{
    QAction* const action = ids_.key(id);
    return action != nullptr && !menu_.isNull() && menu_->actions().contains(action) ? action : nullptr;
}

QVariantMap TrayMenuExport::properties(int id, const QStringList& names) const
{
    QVariantMap all;
    if (id == 0) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (const QAction* action = actionOf(id)) {
        all = itemProperties(*action);
    }
    if (names.isEmpty()) return all;
    QVariantMap wanted;
    for (const QString& name : names) {
        if (all.contains(name)) wanted.insert(name, all.value(name));
    }
    return wanted;
}

bool TrayMenuExport::AboutToShow(int)
{
    // The menu follows the engine all the time: nothing to bring up to date first.
    return false;
}

QList<int> TrayMenuExport::AboutToShowGroup(const QList<int>&, QList<int>& idErrors)
{
    idErrors.clear();
    return {};
}

void TrayMenuExport::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    if (eventId != QLatin1String("clicked")) return;
    if (QAction* action = actionOf(id); action != nullptr && action->isEnabled()) action->trigger();
}

QList<int> TrayMenuExport::EventGroup(const QList<MenuEvent>& events)
{
    QList<int> idErrors;
    for (const MenuEvent& event : events) {
        if (event.id != 0 && actionOf(event.id) == nullptr) idErrors << event.id;
        else Event(event.id, event.eventId, event.data, event.timestamp);
    }
    return idErrors;
}

QList<MenuItemProperties> TrayMenuExport::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames)
{
    QList<MenuItemProperties> items;
    for (const int id : ids) {
        if (id == 0 || actionOf(id) != nullptr) items.push_back({id, properties(id, propertyNames)});
    }
    return items;
}

uint TrayMenuExport::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, MenuLayout& layout)
{
    layout = {parentId, properties(parentId, propertyNames), {}};
    if (parentId == 0 && recursionDepth != 0 && !menu_.isNull()) {
        for (QAction* action : menu_->actions()) {
            const int id = idOf(action);
            layout.children.push_back({id, properties(id, propertyNames), {}});
        }
    }
    return revision_;
}

QDBusVariant TrayMenuExport::GetProperty(int id, const QString& name)
{
    return QDBusVariant(properties(id, {}).value(name, QString()));
}

bool TrayMenuExport::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
        layoutChanged_ = true;
        announcement_.start();
        break;
    case QEvent::ActionRemoved: {
        QAction* const action = static_cast<QActionEvent*>(event)->action();
        ids_.remove(action);
        changed_.remove(action);
        layoutChanged_ = true;
        announcement_.start();
        break;
    }
    case QEvent::ActionChanged:
        changed_.insert(static_cast<QActionEvent*>(event)->action());
        announcement_.start();
        break;
    default: break;
    }
    return QDBusAbstractAdaptor::eventFilter(watched, event);
}

void TrayMenuExport::announce()
{
    if (layoutChanged_) {
        emit LayoutUpdated(++revision_, 0);
    } else {
        QList<MenuItemProperties> updated;
        for (QAction* action : std::as_const(changed_)) {
            if (const auto id = ids_.constFind(action); id != ids_.constEnd()) updated.push_back({*id, itemProperties(*action)});
        }
        if (!updated.isEmpty()) emit ItemsPropertiesUpdated(updated, {});
    }
    layoutChanged_ = false;
    changed_.clear();
}

} // namespace vantorelle
