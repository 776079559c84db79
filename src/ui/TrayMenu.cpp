#include "ui/TrayMenu.h"

#include "engine/SwitchEngine.h"
#include "ui/EngineChanges.h"

#include <QActionGroup>
#include <QApplication>

#include <algorithm>
#include <set>

namespace vantorelle {

namespace {

QString sectionTitle(Direction direction)
{
    //: Tray menu section heading over the output devices (as in the desktop's sound settings).
    return direction == Direction::output ? TrayMenu::tr("Output")
                                          //: Tray menu section heading over the input devices.
                                          : TrayMenu::tr("Input");
}

// A menu text shows "&" only doubled; a single one would underline the next letter.
QString menuText(const TrayMenu::Entry& entry)
{
    QString text = entry.name;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    //: A device in the tray menu that the rule never switches to; it can still be picked here.
    return entry.isAutomatic ? text : TrayMenu::tr("%1 (never automatic)").arg(text);
}

} // namespace

TrayMenu::TrayMenu(SwitchEngine& engine, QWidget* parent)
    : QMenu(parent), engine_(engine)
{
    open_ = addAction(tr("Open Vantorelle"), this, &TrayMenu::openWindowRequested);
    addSeparator();
    addAction(tr("Quit Vantorelle"), qApp, &QCoreApplication::quit);
    connect(new EngineChanges(engine, this), &EngineChanges::changed, this, &TrayMenu::refresh);
    refresh();
}

std::vector<TrayMenu::Entry> TrayMenu::entries(const SwitchEngine& engine, Direction direction)
{
    std::vector<Entry> result;
    std::set<std::string> seen;
    for (const DeviceRow& row : engine.rows(direction)) {
        // The default is listed even when it could not be chosen now, so one item is always checked.
        const bool listed = row.isUsable || (row.isActive && row.isConnected);
        if (!listed || !seen.insert(row.uid).second) continue;
        result.push_back({row.uid, QString::fromStdString(row.name), row.isActive, row.isAutomatic});
    }
    return result;
}

void TrayMenu::refresh()
{
    std::array<std::vector<Entry>, 2> wanted;
    bool sameDevices = true;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        wanted[i] = entries(engine_, order_[i]);
        sameDevices = sameDevices
            && std::ranges::equal(wanted[i], shown_[i], [](const Entry& a, const Entry& b) {
                   return a.uid == b.uid && a.name == b.name && a.isAutomatic == b.isAutomatic;
               });
    }
    shown_ = std::move(wanted);
    if (!sameDevices) {
        rebuildSections();
        return;
    }
    // Only the defaults moved: check in place, so an open menu (or a tray's copy of it) keeps
    // its items. This also undoes a check the menu made itself for a choice that did not take.
    for (std::size_t i = 0; i < order_.size(); ++i) {
        for (std::size_t j = 0; j < shown_[i].size(); ++j) deviceActions_[i][j]->setChecked(shown_[i][j].isDefault);
    }
}

void TrayMenu::rebuildSections()
{
    for (QAction* action : sectionActions_) {
        removeAction(action);
        // Later: the action may be the one whose choice led here.
        action->deleteLater();
    }
    sectionActions_.clear();
    for (std::size_t i = 0; i < order_.size(); ++i) {
        deviceActions_[i].clear();
        if (shown_[i].empty()) continue;
        const Direction direction = order_[i];
        auto* header = new QAction(sectionTitle(direction), this);
        header->setEnabled(false);
        insertAction(open_, header);
        sectionActions_.push_back(header);
        auto* group = new QActionGroup(header);
        for (const Entry& entry : shown_[i]) {
            auto* item = new QAction(menuText(entry), group);
            item->setCheckable(true);
            item->setChecked(entry.isDefault);
            connect(item, &QAction::triggered, this,
                    [this, uid = entry.uid, direction] { engine_.chooseDefault(uid, direction); });
            insertAction(open_, item);
            sectionActions_.push_back(item);
            deviceActions_[i].push_back(item);
        }
        QAction* separator = insertSeparator(open_);
        sectionActions_.push_back(separator);
    }
}

} // namespace vantorelle
