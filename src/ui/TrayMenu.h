#pragma once

#include "model/Direction.h"

#include <QMenu>
#include <QString>

#include <array>
#include <string>
#include <vector>

namespace vantorelle {

class SwitchEngine;

// The tray icon's menu: an "Output" and an "Input" section with the usable devices of each
// stack in rank order and the current default checked, then "Open Vantorelle" and Quit.
// Choosing a device makes it the default at once, as a choice in the system's sound settings
// would. The sections follow the engine while the menu is open.
class TrayMenu : public QMenu {
    Q_OBJECT
public:
    struct Entry {
        std::string uid;
        QString name;
        bool isDefault = false;
        bool isAutomatic = true;
        bool operator==(const Entry&) const = default;
    };

    explicit TrayMenu(SwitchEngine& engine, QWidget* parent = nullptr);

    // The devices a section lists: those a choice by hand may take (also the ones kept from the
    // rule, marked so), and the default, under the user's names.
    static std::vector<Entry> entries(const SwitchEngine& engine, Direction direction);

signals:
    void openWindowRequested();

private:
    void refresh();
    void rebuildSections();

    SwitchEngine& engine_;
    QAction* open_;
    // Output first, as the sound that is heard matters most.
    static constexpr std::array<Direction, 2> order_{Direction::output, Direction::input};
    std::array<std::vector<Entry>, 2> shown_;
    std::array<std::vector<QAction*>, 2> deviceActions_;
    // The headers, device items and separators of the sections, for the next rebuild.
    std::vector<QAction*> sectionActions_;
};

} // namespace vantorelle
