#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <tuple>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace vantorelle {

// One item and its properties, as the menu protocol sends them: (ia{sv}).
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
    auto fields() { return std::tie(id, properties); }
    auto fields() const { return std::tie(id, properties); }
};
// One item's properties by name only, for removed ones: (ias).
struct MenuItemPropertyNames {
    int id = 0;
    QStringList names;
    auto fields() { return std::tie(id, names); }
    auto fields() const { return std::tie(id, names); }
};
// An item with its children: (ia{sv}av), each child a variant holding the same structure.
struct MenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayout> children;
};
// One event sent to an item: (isvu).
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
    auto fields() { return std::tie(id, eventId, data, timestamp); }
    auto fields() const { return std::tie(id, eventId, data, timestamp); }
};

// The tray menu as desktop panels read it over D-Bus, in place of the toolkit's own export: that
// one gives the root item (id 0) no properties and answers every layout request with revision 1
// while its item ids change, so panels warn on each change. This export answers for the root,
// raises the revision whenever items come or go (new ids mean a new layout) and announces checks
// that move as property changes, so an open menu keeps its items. It serves a flat menu.
class TrayMenuExport : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    // Takes over the export of `tray`'s context menu where the toolkit exports it over D-Bus;
    // elsewhere (a tray without D-Bus menus) it does nothing.
    static void install(QSystemTrayIcon& tray);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<vantorelle::MenuEvent>& events);
    QList<vantorelle::MenuItemProperties> GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, vantorelle::MenuLayout& layout);
    QDBusVariant GetProperty(int id, const QString& name);

Q_SIGNALS:
    void ItemsPropertiesUpdated(const QList<vantorelle::MenuItemProperties>& updatedProps,
                                const QList<vantorelle::MenuItemPropertyNames>& removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `exported` is the object the toolkit registered for `menu`; the export replaces its
    // interface there, as the later adaptor of one interface wins.
    TrayMenuExport(QMenu& menu, QObject& exported);

    int idOf(QAction* action);
    QAction* actionOf(int id) const;
    QVariantMap properties(int id, const QStringList& names) const;
    void announce();

    QPointer<QMenu> menu_;
    uint revision_ = 1;
    int nextId_ = 1;
    QHash<QAction*, int> ids_;
    bool layoutChanged_ = false;
    QSet<QAction*> changed_;
    QTimer announcement_;
};

} // namespace vantorelle

Q_DECLARE_METATYPE(vantorelle::MenuItemProperties)
Q_DECLARE_METATYPE(vantorelle::MenuItemPropertyNames)
Q_DECLARE_METATYPE(vantorelle::MenuLayout)
Q_DECLARE_METATYPE(vantorelle::MenuEvent)
